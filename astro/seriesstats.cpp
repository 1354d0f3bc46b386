#include "astro/seriesstats.h"

#include <cmath>

QVector<double> movingAverage(const QVector<double> &x, int window)
{
    const int n = x.size();
    if (window < 2 || window > n)
        return x;
    QVector<double> out(n);
    const double *in = x.constData();
    double *values = out.data();
    // A running sum over the full windows; recomputing each tail window keeps
    // the rounding of a running sum from drifting into the short tail means.
    double sum = 0.0;
    for (int i = 0; i < window; ++i)
        sum += in[i];
    values[0] = sum / window;
    for (int i = 1; i + window <= n; ++i) {
        sum += in[i + window - 1] - in[i - 1];
        values[i] = sum / window;
    }
    double tail = 0.0;
    for (int i = n - 1; i > n - window; --i) {
        tail += in[i];
        values[i] = tail / (n - i);
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

bool finiteValueRange(const QVector<double> &values, double *min, double *max)
{
    bool any = false;
    for (const double v : values) {
        if (!std::isfinite(v))
            continue;
        if (!any) {
            *min = *max = v;
            any = true;
        } else {
            if (v < *min)
                *min = v;
            if (v > *max)
                *max = v;
        }
    }
    return any;
}
