#include "astro/seriesstats.h"

#include <cmath>

QVector<double> movingAverage(const QVector<double> &x, int window)
{
    const int n = x.size();
    if (window < 2 || window > n)
        return x;
    QVector<double> out(n);
    // A running sum over the full windows; recomputing each tail window keeps
    // the rounding of a running sum from drifting into the short tail means.
    double sum = 0.0;
    for (int i = 0; i < window; ++i)
        sum += x.at(i);
    for (int i = 0; i + window <= n; ++i) {
        if (i > 0)
            sum += x.at(i + window - 1) - x.at(i - 1);
        out[i] = sum / window;
    }
    double tail = 0.0;
    for (int i = n - 1; i > n - window; --i) {
        tail += x.at(i);
        out[i] = tail / (n - i);
    }
    return out;
}

double sampleStandardDeviation(const QVector<double> &x)
{
    const int n = x.size();
    if (n < 2)
        return -1.0;
    double mean = 0.0;
    for (const double v : x)
        mean += v;
    mean /= n;
    double squares = 0.0;
    for (const double v : x)
        squares += (v - mean) * (v - mean);
    return std::sqrt(squares / (n - 1));
}
