#pragma once

#include <algorithm>
#include <cmath>

// The value interval of automatic y ranges, shared by the plots and by the
// modules that fix a range before drawing. QtCore-free arithmetic.

// A closed value interval.
struct ValueRange
{
    double min = 0.0;
    double max = 1.0;
};

// The automatic range around raw data [min, max]: a flat range is widened by
// 10 % outward (also for negative values, so the data stay inside), then 5 %
// of the span is added at both ends; a lower end within 1e-12 of zero is 0.
inline ValueRange paddedValueRange(double min, double max)
{
    if (max - min < 0.001 * std::max(1.0, std::fabs(max))) {
        max = max >= 0.0 ? max * 1.1 : max * 0.9;
        min = min >= 0.0 ? min * 0.9 : min * 1.1;
    }
    const double pad = (max - min) / 20.0;
    ValueRange range{min - pad, max + pad};
    if (std::fabs(range.min) < 1e-12)
        range.min = 0.0;
    return range;
}
