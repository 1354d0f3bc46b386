#include "data/daygraphcontent.h"

#include "astro/seriesstats.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>
#include <vector>

namespace {

const QString approximationDm0Colour = QStringLiteral("#008000");
const QString approximationDmColour = QStringLiteral("#00FF00");

bool isHexDigits(const QStringRef &text)
{
    for (const QChar c : text) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
              || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
            return false;
    }
    return true;
}

} // namespace

QString curveColourName(const QString &field, const QString &fallback)
{
    QString name = field.trimmed();
    if (!name.startsWith(QLatin1Char('#')))
        name.prepend(QLatin1Char('#'));
    // The hexadecimal forms a colour name may take: #rgb, #rrggbb, #aarrggbb,
    // #rrrgggbbb and #rrrrggggbbbb.
    const int digits = name.size() - 1;
    const bool valid = (digits == 3 || digits == 6 || digits == 8 || digits == 9 || digits == 12)
        && isHexDigits(name.midRef(1));
    return valid ? name : fallback;
}

QStringList dayHeaderLines(const DayPlot &day, double maximum, const DayGraphSettings &settings)
{
    QStringList lines;
    if (settings.showFileName)
        lines.append(day.fileName);
    if (settings.showDate)
        lines.append(day.date);
    if (settings.showMax)
        lines.append(QStringLiteral("max=%1").arg(maximum, 0, 'f', 2));
    return lines;
}

DayGraphContent dayGraphContent(const DayPlot &day, const DayGraphSettings &settings)
{
    const SeriesProcessing &processing = settings.processing;
    const QString dmText = QString::number(settings.dm, 'g', 6);

    DayGraphContent content;
    content.curves.append({QStringLiteral("Sum of channels, DM=0"),
                           processSeries(day.channelSumDm0, day.tresolution, false, processing), QString()});
    content.curves.append({QStringLiteral("Sum of channels, DM=%1").arg(dmText),
                           processSeries(day.channelSumDm, day.tresolution, false, processing), QString()});
    if (processing.showApproximation) {
        content.curves.append({QStringLiteral("Approximation for DM=0"),
                               processSeries(day.channelSumDm0, day.tresolution, true, processing),
                               approximationDm0Colour, true});
        content.curves.append({QStringLiteral("Approximation for DM=%1").arg(dmText),
                               processSeries(day.channelSumDm, day.tresolution, true, processing),
                               approximationDmColour, true});
    }

    // Ranges over every curve, shown or not.
    bool any = false;
    for (const DayCurve &curve : content.curves) {
        double min = 0.0;
        double max = 0.0;
        if (!finiteValueRange(curve.values, &min, &max))
            continue;
        content.rawRange.min = any ? std::min(content.rawRange.min, min) : min;
        content.rawRange.max = any ? std::max(content.rawRange.max, max) : max;
        any = true;
    }
    content.maximum = any ? content.rawRange.max : 0.0;
    content.paddedRange = paddedValueRange(content.rawRange.min, content.rawRange.max);

    restyleDayGraphContent(&content, day, settings);
    return content;
}

void restyleDayGraphContent(DayGraphContent *content, const DayPlot &day, const DayGraphSettings &settings)
{
    if (content->curves.size() < 2)
        return;
    const QString dm0Colour = curveColourName(settings.dm0Colour, QStringLiteral("#ff0000"));
    const QString dmColour = std::fabs(settings.dm) <= 1e-12
        ? dm0Colour
        : curveColourName(settings.dmColour, QStringLiteral("#0000ff"));
    DayCurve &dm0 = content->curves[0];
    dm0.colour = dm0Colour;
    dm0.visible = settings.showDm0;
    DayCurve &dm = content->curves[1];
    dm.colour = dmColour;
    dm.visible = settings.showDm;
    content->headerLines = dayHeaderLines(day, content->maximum, settings);
}

QVector<DayGraphContent> dayGraphContents(const QVector<DayPlot> &days, const DayGraphSettings &settings)
{
    QVector<DayGraphContent> contents(days.size());
    // Each day is written by one thread into its own element.
    DayGraphContent *out = contents.data();
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int k = next++; k < days.size(); k = next++)
            out[k] = dayGraphContent(days.at(k), settings);
    };
    std::vector<std::thread> helpers;
    const int threads = std::min(QThread::idealThreadCount(), int(days.size()));
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break;   // fewer helpers; the calling thread does the rest
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    return contents;
}
