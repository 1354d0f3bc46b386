#pragma once

#include <QPoint>
#include <QVector>

// Turns the samples of one curve into the pixel polylines that draw it, keeping
// per run of samples in one pixel column only the first, smallest, largest and
// last sample. Drawn as separate square-capped segments with a 1-pixel pen
// without antialiasing, they cover exactly the pixels of drawing every segment
// between neighbouring samples (a polyline would not: the raster engine leaves
// out some join pixels depending on the path). Plain data, any thread.
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

    // Polylines: polyline k runs over points[starts[k]] up to the next start.
    // The same as drawing input: segment end pairs, and the dots of lone samples.
    struct Result
    {
        QVector<QPoint> points;
        QVector<int> starts;
        QVector<QPoint> segmentEnds;
        QVector<QPoint> dots;
        int polylineCount() const { return starts.size(); }
        int polylineSize(int k) const;
    };

    // values and xValues (null: x = sample index) hold count samples; a
    // non-finite value or x breaks the line. xIncreasing promises that the x
    // coordinates never decrease, so only the visible samples are read.
    static Result reduce(const double *values, const double *xValues, int count, bool xIncreasing,
                         const PixelMap &map);

    // True when every x is finite and none is smaller than the one before.
    static bool isIncreasing(const QVector<double> &xValues);
};
