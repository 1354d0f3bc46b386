#pragma once

#include <QString>
#include <QVector>

// The integral signal-to-noise figure of a point range chosen on the plot of
// an average profile, with its clipboard line and its Russian report. Pure
// functions on values.

struct IntegralSnr
{
    bool valid = false;      // false without a profile
    int np = 0;              // points of the profile
    int lo = 0;              // the range, ordered and clamped to the points
    int hi = 0;
    int nPeak = 0;           // hi - lo
    double maxSnr = 0.0;     // largest value of the profile
    double peakSnr = 0.0;    // sum of the values strictly between lo and hi, / np
    double fullSnr = 0.0;    // sum of all values / np
};

// Non-finite values count for nothing, so every number is finite.
IntegralSnr integralSnr(const QVector<double> &values, int a, int b);

// "<first 10 characters of the pulsar name>,  date=...:  max_snr=...  sum_snr=...  np=...\n"
QString integralSnrClipboardLine(const IntegralSnr &snr, const QString &pulsarName, const QString &date);

QString integralSnrReportTitle();
// The report; it ends with the clipboard line.
QString integralSnrReportText(const IntegralSnr &snr, const QString &clipboardLine);
