#pragma once

#include <QString>

// Decisions of the native data module that need no window: clamping of point
// ranges, the ranges that follow zooms and scrolls, typed search points,
// centring, the animation step and default file names of saved pictures and
// extracts. Plain functions without state.

// A run of sample points inside a file.
struct PointRange
{
    int first = 0;
    int count = 0;
};

// Largest number of points the dynamic spectrum takes from the native graph;
// beyond it the dispersion lines can no longer be seen.
constexpr int maxDynamicSpectrumPoints = 12000;

// A points field that is not a decimal number counts as 0.
int pointsFieldValue(const QString &text);

// first into [0, npoints - 1], count into [1, npoints - first]; both 0 for an
// empty file.
PointRange clampPointRange(qint64 first, qint64 count, int npoints);

// Whole points inside the visible x range [a, b]: first = a rounded up,
// last = b rounded down, both clamped into [0, npoints - 1]; count 0 when
// nothing remains.
PointRange visiblePointRange(double a, double b, int npoints);

// The range the native fields follow after a zoom or pan: as visiblePointRange
// but never fewer than one point.
PointRange followedPointRange(double a, double b, int npoints);

// The first point that centres a window of count points on the point, kept
// inside the file: max(0, min(npoints - count, point - count / 2)).
int centredFirstPoint(qint64 point, int count, int npoints);

// A typed search point: a decimal 64-bit integer among the numbers of the
// file's points, firstNumber .. firstNumber + npoints - 1; gives its index.
bool parseSearchPoint(const QString &text, qint64 firstNumber, int npoints, int *index);

// The point of a click at x on the native graph: rounded half away from zero
// and clamped into [0, npoints - 1].
int clickedPoint(double x, int npoints);

// Columns of a scrolled dynamic spectrum that the viewport shows. The range
// (first, count) starts at widget x `imageX`; cellWidth is at least 1.
PointRange visibleSpectrumColumns(int first, int count, int cellWidth, int imageX,
                                  int scrollPosition, int viewportWidth);

// Points shown at once by the animation: viewport width / cell width, at most
// npoints, at least 1.
int animationWindowPoints(int viewportWidth, int cellWidth, int npoints);

// One timer tick of the animation.
struct AnimationStep
{
    int value = 0;
    double accumulator = 0.0;
    bool finished = false;    // the window reached the end of the file
};
AnimationStep animationStep(int value, int maximum, int speed, qint64 elapsedMs, double accumulator);

// "J%1_file%2_m%3_r%4_n%5%6.%7": the first six digits of the alpha, the source
// name without directory, suffix and a trailing "_00" or "_00_p<n>-<n>", the
// module, beam, number (not below 0), "_" + tag when a tag is given, extension.
QString defaultSaveFileName(const QString &sourceName, const QString &alpha, int module, int beam,
                            qint64 number, const QString &tag, const QString &extension);

// "pnt" or "pnthr" when the parent file has that suffix (any case), else "pnt".
QString binaryExtractExtension(const QString &parentFileName);

// Header lines as the rich text the info panel shows: escaped, one line each.
QString headerLinesHtml(const QString &lines);
