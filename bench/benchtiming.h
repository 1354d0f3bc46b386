#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

// Timing helpers shared by the benchmarks.

template <typename F>
double secondsOf(F &&run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return double(timer.nsecsElapsed()) * 1e-9;
}

// Median of a non-empty set of measurements.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
