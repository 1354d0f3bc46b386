#pragma once

#include "astro/valuerange.h"

#include <QString>
#include <QVector>

#include <algorithm>
#include <cmath>

// Number rules shared by the plots and by modules that prepare plot ranges.
// QtCore only, so code without widgets can use them too.

// Fixed-point text of a plot number; tiny magnitudes and texts of a negative
// zero ("-0", "-0.00") read "0".
inline QString formatPlotNumber(double value, int decimals)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::fabs(value) < 1e-12)
        return QStringLiteral("0");
    const QString text = QString::number(value, 'f', qBound(0, decimals, 17));
    if (text.startsWith(QLatin1Char('-'))) {
        bool allZero = true;
        for (int i = 1; i < text.size() && allZero; ++i)
            allZero = text.at(i) == QLatin1Char('0') || text.at(i) == QLatin1Char('.');
        if (allZero)
            return QStringLiteral("0");
    }
    return text;
}

// Pixel offsets of automatic ticks along an axis of the given length: the
// length is split into max(1, length / spacing) equal steps.
inline QVector<int> tickPixelOffsets(int length, int spacing, bool includeEnds)
{
    QVector<int> offsets;
    if (length < 0)
        return offsets;
    const int n = std::max(1, length / std::max(spacing, 1));
    const int first = includeEnds ? 0 : 1;
    const int last = includeEnds ? n : n - 1;
    for (int i = first; i <= last; ++i)
        offsets.append(int(std::lround(double(i) * length / n)));
    return offsets;
}

// Sample index nearest to x on an axis running from xMin (sample 0) to xMax
// (sample n - 1), clamped to the samples.
inline int sampleIndexAtValue(double x, double xMin, double xMax, int n)
{
    if (n <= 1 || !(xMax > xMin) || !std::isfinite(x))
        return 0;
    const double position = std::round((x - xMin) / (xMax - xMin) * (n - 1));
    if (position <= 0.0)
        return 0;
    if (position >= n - 1)
        return n - 1;
    return int(position);
}

// How much a view end may move before it counts as a change.
inline double viewTolerance(double span)
{
    return span > 1.0 ? 1e-9 * span : 1e-9;
}

// Which axis labels to draw, given their boxes (left edges and widths) in tick
// order: left to right, a label whose left edge is within gap pixels of the
// previous kept label's right edge is skipped; the last label is always kept
// and kept labels that crowd it are dropped.
inline QVector<int> thinnedLabelIndexes(const QVector<int> &lefts, const QVector<int> &widths, int gap)
{
    QVector<int> kept;
    const int count = qMin(lefts.size(), widths.size());
    auto crowds = [&](int previous, int next) {
        return lefts.at(next) - (lefts.at(previous) + widths.at(previous)) <= gap;
    };
    for (int i = 0; i + 1 < count; ++i) {
        if (!kept.isEmpty() && crowds(kept.last(), i))
            continue;
        kept.append(i);
    }
    if (count > 0) {
        while (!kept.isEmpty() && crowds(kept.last(), count - 1))
            kept.removeLast();
        kept.append(count - 1);
    }
    return kept;
}
