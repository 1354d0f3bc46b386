#pragma once

#include <QVector>

// The processing chain of a day's channel sum before it is drawn: removal of
// the receiver's calibration step, a piecewise-linear approximation through
// block medians, the signal above that baseline in units of its noise, and
// averaging. Pure functions; the input is never changed.

enum class AveragingType { Pairwise = 0, Moving = 1 };

// The chain's settings, as the multi-day form holds them.
struct SeriesProcessing
{
    bool removeStep = false;
    int approximationLength = 64;
    bool showApproximation = false;
    bool subtractNoise = false;
    int averaging = 0;   // N: 2^N points per mean, or a moving window of N
    AveragingType averagingType = AveragingType::Pairwise;
};

// Replaces one calibration pattern (a dip, a plateau above the data and a dip
// again, 15 s long in all) by the median of ten samples beside it: before it,
// or after it when it starts within the first eleven samples. The series
// comes back unchanged when it has fewer than 20 values, no pattern, or one
// whose length is more than max(4, 2 %) samples off the 15 s.
QVector<double> removeStep(const QVector<double> &x, double tresolution);

// One value per sample on the broken line through the medians of whole
// blocks of blockLength samples, placed at the blocks' centres and held flat
// before the first and after the last centre. Empty for an empty series, a
// block length below 3 or longer than the series.
QVector<double> medianApproximation(const QVector<double> &x, int blockLength);

// The series minus its median approximation, divided by the sample standard
// deviation of that difference. False, *out untouched, when there is no
// approximation or the deviation is not a finite number of at least 1e-12.
bool subtractNoiseBaseline(const QVector<double> &x, int blockLength, QVector<double> *out);

// Means of consecutive blocks of 2^times samples, an incomplete last block
// dropped: averaging over two points `times` times. Unchanged for times < 1
// or an empty series; empty when no whole block fits or times >= 31.
QVector<double> pairwiseAverage(const QVector<double> &x, int times);

// The whole chain for one series: step removal when set; then the median
// approximation when approximationWanted (the series stays when there is
// none), else the noise baseline subtraction when set and possible; then
// the averaging of the chosen type when N >= 1.
QVector<double> processSeries(const QVector<double> &x, double tresolution, bool approximationWanted,
                              const SeriesProcessing &settings);
