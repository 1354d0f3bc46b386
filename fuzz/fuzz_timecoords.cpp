// Feeds arbitrary text to the parsers of dates, times, right ascensions,
// declinations and sample intervals that passport values and the user's
// fields go through. The input is split at line feeds into a date, a time,
// a right ascension, a declination and an interval.

#include "astro/timecoords.h"
#include "data/nativereader.h"

#include <QDate>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList fields =
        QString::fromLatin1(reinterpret_cast<const char *>(data), int(size)).split(QLatin1Char('\n'));
    const QString dateText = fields.value(0);
    const QString timeText = fields.value(1);
    const QString alphaText = fields.value(2);
    const QString deltaText = fields.value(3);
    const QString intervalValue = fields.value(4);

    const QString date = passportDateToInternal(dateText);
    if (!date.isEmpty() && !QDate::fromString(date, QStringLiteral("yyyy.MM.dd")).isValid())
        std::abort();
    static const QRegularExpression timePattern(QStringLiteral("^[0-9]{2}:[0-9]{2}:[0-9]{2}(\\.[0-9]{3})?$"));
    const QString time = normalizeTimeText(timeText);
    if (!time.isEmpty() && !timePattern.match(time).hasMatch())
        std::abort();
    QString local, utc;
    splitBeginHalves(dateText, &local, &utc);
    timeZoneHours(date, time, passportDateToInternal(utc), normalizeTimeText(timeText));
    observationStart(date, time);
    const QDateTime start = beginDateTimeOfPoint(date, time, 12345, 0.0124928);

    double seconds = 0.0;
    if (parseAlphaSeconds(alphaText, &seconds) && !(seconds >= 0.0 && seconds < 86400.0))
        std::abort();
    double delta = 0.0;
    const bool deltaOk = parseDeclination(deltaText, &delta);
    if (deltaOk && !(std::fabs(delta) <= 2.0 * std::atan(1.0) + 1e-12))
        std::abort();
    formatSexagesimal(parseSexagesimalFixed(deltaText));
    formatDegreesText(parseSexagesimalFixed(deltaText));
    expandSixDigits(alphaText);
    pulsarJName(alphaText, deltaText);
    intervalText(intervalValue, 3);
    intervalText(intervalValue, 0);

    if (start.isValid() && deltaOk) {
        constexpr int lastPoint = 100000;
        int point = -1;
        if (findPointForAlpha(start, 0.0124928, delta, alphaText, 0, lastPoint, 3, &point) == AlphaFound
            && (point < 0 || point > lastPoint))
            std::abort();
    }
    return 0;
}
