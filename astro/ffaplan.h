#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The plan of a fast folding algorithm (FFA) periodicity search of one time
// series, laid out as the published FFA search does it (Morello et al. 2020,
// MNRAS 497, 4654): the data are downsampled step by step so that every
// trial period is folded into a number of phase bins within [bins min,
// bins max); each bin count b of a step folds the m = samples / b rows at the
// m - 1 trial periods tau * (b + s / (m - 1)), s = 0 .. m - 2, and the
// folded profiles are matched against boxcars of the width trials. Pure
// functions; the periodogram has a row per trial period and a column per width.

struct FfaInput
{
    QString points;             // samples in the series
    QString tresolution;        // sample interval, s
    QString ducyMax;            // largest duty cycle searched optimally
    QString wtsp;               // growth factor of the boxcar widths
    QString binsMin;
    QString binsMax;            // exclusive
    QString periodMin;          // s; ignored when bound to the bins
    QString periodMax;          // s, exclusive
    bool periodMinBoundToBins = false;  // period min = bins min x tresolution
};

// One downsampling step.
struct FfaStep
{
    double downsampling = 1.0;  // factor applied to the input samples
    double tau = 0.0;           // effective sample interval, s
    qint64 samples = 0;         // after downsampling
    int binsFirst = 0;          // bin counts folded in this step
    int binsLast = 0;
    double periodMin = 0.0;     // trial periods of the step lie in [periodMin, periodMax)
    double periodMax = 0.0;
    qint64 periodTrials = 0;
};

// The folds of one bin count within a step: the unit the period list walks.
struct FfaFold
{
    int step = 0;
    int bins = 0;
    qint64 rows = 0;
    qint64 periodTrials = 0;
};

struct FfaPlan
{
    QStringList errors;         // input errors worded for the user; nothing below is set then
    qint64 points = 0;
    double tresolution = 0.0;
    double ducyMax = 0.0;
    double wtsp = 0.0;
    int binsMin = 0;
    int binsMax = 0;
    double periodMin = 0.0;
    double periodMaxRequested = 0.0;
    double periodMax = 0.0;     // searched: the request, or less so that 8 pulses are folded
    bool periodMaxCapped = false;
    QVector<FfaStep> steps;
    QVector<FfaFold> folds;
    QVector<int> widths;        // boxcar width trials, bins
    qint64 periodTrials = 0;

    int columns() const { return widths.size(); }
    qint64 rows() const { return periodTrials; }
    // Trial period s (0-based) of a fold.
    double trialPeriod(const FfaFold &fold, qint64 s) const;
};

// Pulses the longest searched period must fit into the series.
constexpr int ffaMinimumPulses = 8;
// Folds (bin counts over all steps) a plan may have.
constexpr int ffaMaximumFolds = 100000;

FfaPlan ffaPlan(const FfaInput &input);
// floor((bins min + bins max - 1) / 2): the middle of the bin counts folded.
int ffaAverageBins(int binsMin, int binsMax);
// 1, then each next max(w + 1, floor(wtsp x w)), up to floor(max(1, ducyMax x averageBins)).
QVector<int> ffaWidthTrials(int averageBins, double ducyMax, double wtsp);
// The period minimum bound to the bins: bins min x tresolution, as text;
// empty when either does not parse.
QString ffaBoundPeriodMinText(const QString &binsMin, const QString &tresolution);
