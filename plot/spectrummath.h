#pragma once

#include <QString>
#include <QVector>

#include <cmath>

// Arithmetic of the dynamic spectrum picture, kept free of widgets so that the
// grey scale, the axis ticks and the mouse-to-point rules can be checked alone.
namespace SpectrumMath {

// Cell widths at or below this count as this when a pixel is turned into a column.
constexpr double minColumnWidth = 0.01;

// Grey level of v in a row scaled to [lo, hi]: the maximum is black (0), the
// minimum white (255); a flat row and a value that is not a number are white.
inline int greyLevel(float v, float lo, float hi)
{
    if (!(hi > lo) || std::isnan(v))
        return 255;
    // Rounded half up: for the positive values left after the checks the
    // truncation of t is its floor (and needs no call into the maths library).
    const float t = (hi - v) * 255.0f / (hi - lo) + 0.5f;
    if (!(t >= 1.0f))
        return 0;
    if (t >= 255.0f)
        return 255;
    return int(t);
}

// Smallest and largest finite value of values[first .. first + count - 1];
// false when there is none (both are then 0).
bool finiteRange(const float *values, int first, int count, float *lo, float *hi);
bool finiteRange(const double *values, int first, int count, double *lo, double *hi);

// Duration text: milliseconds when |reference| < 1 s, else seconds; the
// decimals follow the magnitude and trailing zeros are dropped.
QString timeSpanText(double seconds, double reference, bool withUnit);

// Columns that carry a tick under an image of imageWidth pixels showing
// pointCount columns: inner columns only, each at most once, ascending.
QVector<int> tickColumns(int pointCount, double imageWidth);

// Column under the pixel x of an image starting at left, clamped into
// 0 .. pointCount - 1 (so the right edge itself belongs to the last column).
int columnAt(double x, double left, double cellWidth, int pointCount);

// Points covered by the pixel span [x0, x1] of an image starting at left:
// *first and *count (count at least 1); false when the span is under 1 px wide
// or there are no points.
bool fragmentAt(double x0, double x1, double left, double cellWidth, int pointCount, int *first,
                int *count);

} // namespace SpectrumMath
