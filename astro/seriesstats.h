#pragma once

#include <QVector>

// Statistics of sampled series shared by the multi-day and the profile
// processing. Plain functions without state; the input is never changed.

// Moving average with window w: value i is the mean of x[i .. i+w-1] while a
// whole window fits, and of x[i .. n-1] near the end, where the window
// shrinks (so the last value equals the last sample). A window below 2 or
// longer than the series returns the series unchanged. A series handed over
// (std::move) is averaged in its own storage.
QVector<double> movingAverage(QVector<double> x, int window);

// Sample standard deviation: squared deviations from the mean summed and
// divided by n - 1, square root; -1 for fewer than two values.
double sampleStandardDeviation(const QVector<double> &x);

// Minimum and maximum of the finite values of a sample vector; false when it
// holds none.
bool finiteValueRange(const QVector<double> &values, double *min, double *max);
