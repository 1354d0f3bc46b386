#include "astro/ffaperiodlist.h"

#include <QLocale>

FfaPeriodListText ffaPeriodListText(const FfaPlan &plan, qint64 keepEachEnd,
                                    const std::function<void(int)> &progress,
                                    const std::atomic<bool> *cancel)
{
    FfaPeriodListText list;
    list.total = plan.periodTrials;
    const qint64 keep = qMax(qint64(0), keepEachEnd);
    const bool cut = list.total > 2 * keep;
    // Shown: numbers [0, headEnd) and [tailBegin, total), 0-based.
    const qint64 headEnd = cut ? keep : list.total;
    const qint64 tailBegin = cut ? list.total - keep : list.total;
    list.omitted = tailBegin - headEnd;
    const qint64 lines = list.total - list.omitted;

    QString &text = list.text;
    text.reserve(int(qMin(lines, qint64(1) << 24) * 37 + 200));
    text += QStringLiteral("%1 %2 %3\n")
                .arg(QStringLiteral("No."), 10)
                .arg(QStringLiteral("Period, s"), 18)
                .arg(QStringLiteral("Bins"), 6);

    qint64 written = 0;
    int lastPercent = -1;
    auto write = [&](const FfaFold &fold, qint64 first, qint64 from, qint64 to) {
        for (qint64 index = from; index < to; ++index) {
            text += QStringLiteral("%1 %2 %3\n")
                        .arg(index + 1, 10)
                        .arg(plan.trialPeriod(fold, index - first), 18, 'f', 9)
                        .arg(fold.bins, 6);
            if (++written % 1000 != 0)
                continue;
            if (cancel && cancel->load())
                return false;
            const int percent = int(written * 100 / lines);
            if (progress && percent != lastPercent) {
                lastPercent = percent;
                progress(percent);
            }
        }
        return true;
    };

    bool noteWritten = list.omitted == 0;
    qint64 first = 0;
    for (const FfaFold &fold : plan.folds) {
        const qint64 end = first + fold.periodTrials;
        if (!write(fold, first, first, qMin(end, headEnd))) {
            list.cancelled = true;
            return list;
        }
        if (!noteWritten && end > headEnd) {
            const QLocale english(QLocale::English);
            text += QStringLiteral("... %1 trial periods not shown (Nos. %2 to %3) ...\n")
                        .arg(english.toString(list.omitted), english.toString(headEnd + 1),
                             english.toString(tailBegin));
            noteWritten = true;
        }
        if (!write(fold, first, qMax(first, tailBegin), end)) {
            list.cancelled = true;
            return list;
        }
        first = end;
    }
    if (progress)
        progress(100);
    return list;
}
