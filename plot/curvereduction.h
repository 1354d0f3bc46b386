#pragma once

#include <QPoint>
#include <QVector>

// Turns the samples of one curve into the pixel segments that draw it. Per
// pixel column only the extremes matter: a run of samples in one column
// becomes one vertical segment from its smallest to its largest value, joined
// to the next column's run by the segment from its last to the next run's first
// sample. Drawn as separate square-capped segments with a 1-pixel pen without
// antialiasing, they cover exactly the pixels of drawing every segment between
// neighbouring samples. Plain data, any thread.
class CurveReduction
{
public:
    // How sample coordinates become pixels: the plot's pixel rule with
    // truncation toward zero, pixel y growing downward from yBase.
    struct PixelMap
    {
        double xMin = 0.0;
        double kx = 1.0;
        int left = 0;
        double yMin = 0.0;
        double ky = 1.0;
        int yBase = 0;
        // Pixel columns that can show anything; samples further out are only
        // needed as the far ends of the segments that enter this band.
        int clipLeft = 0;
        int clipRight = 0;

        int pixelX(double x) const;
        int pixelY(double y) const;
    };

    // Per block of samples: the smallest and largest finite value and whether
    // a NaN or infinity occurs, so that long column runs need not be re-read.
    struct Summary
    {
        static constexpr int blockSize = 256;
        QVector<double> blockMin;
        QVector<double> blockMax;
        QVector<bool> blockBroken;
        bool anyFinite = false;
        double min = 0.0;
        double max = 0.0;

        static Summary build(const double *values, int count);
    };

    // Segment end pairs (segment k runs from segmentEnds[2k] to [2k + 1]); a
    // lone sample is a segment of length 0.
    struct Result
    {
        QVector<QPoint> segmentEnds;
        // Pixels a 1-pixel pen covers at most: what drawing the segments costs.
        qint64 pixelLength = 0;
        int segmentCount() const { return segmentEnds.size() / 2; }
    };

    // values and xValues (null: x = sample index) hold count samples; a
    // non-finite value or x breaks the line. xIncreasing promises that the x
    // coordinates never decrease, so only the visible samples are read, column
    // by column. summary, when given, must have been built from values.
    static Result reduce(const double *values, const double *xValues, int count, bool xIncreasing,
                         const PixelMap &map, const Summary *summary = nullptr);

    // True when every x is finite and none is smaller than the one before.
    static bool isIncreasing(const QVector<double> &xValues);
};
