#pragma once

#include "astro/ffaplan.h"

#include <QString>

#include <atomic>
#include <functional>

// The trial periods of an FFA plan as text, one line per period with its
// number, the period and the bins it is folded into. A long list keeps only
// its first and last lines around a note of how many are left out, so that
// the text stays small whatever the plan. Pure function, safe on any thread.

struct FfaPeriodListText
{
    QString text;
    qint64 total = 0;           // trial periods of the plan
    qint64 omitted = 0;         // periods left out of the text
    bool cancelled = false;     // the text is incomplete then
};

// Lines kept at each end of a long list.
constexpr qint64 ffaPeriodListEndLines = 10000;

// progress receives percentages (on the calling thread); a set cancel flag
// ends the work early.
FfaPeriodListText ffaPeriodListText(const FfaPlan &plan, qint64 keepEachEnd = ffaPeriodListEndLines,
                                    const std::function<void(int)> &progress = {},
                                    const std::atomic<bool> *cancel = nullptr);
