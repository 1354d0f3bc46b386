#include "astro/kvxtocatalog.h"

#include "astro/beamtables.h"
#include "astro/calculatorinput.h"
#include "astro/rigorousprecession.h"

#include <QTime>

#include <cmath>

namespace {

constexpr qint64 hourMs = 3600 * 1000;

// Hour of the day and seconds from its start of a telescope time text.
bool parseTelescopeTime(const QString &text, int *hour, double *secondsFromHour)
{
    double secondsOfDay = 0.0;
    if (!parseAlphaSeconds(text, &secondsOfDay))
        return false;
    *hour = int(secondsOfDay / 3600.0);
    *secondsFromHour = secondsOfDay - *hour * 3600.0;
    return true;
}

bool parseTresolution(const QString &text, double *tres)
{
    return parseCalculatorNumber(text, tres) && *tres > 0;
}

bool parsePoint(const QString &text, double tres, qint64 *point)
{
    return parseCalculatorWholeNumber(text, point) && *point >= 0 && *point <= lastPointOfHour(tres);
}

QString degreesText(double radians)
{
    return formatSexagesimal(radians * 180.0 / programPi);
}

} // namespace

qint64 lastPointOfHour(double tresolution)
{
    return qint64(std::ceil(3600.0 / tresolution)) - 1;
}

QString kvxPointForTime(const QString &time, const QString &tresolution)
{
    int hour = 0;
    double seconds = 0.0;
    double tres = 0.0;
    if (!parseTelescopeTime(time, &hour, &seconds) || !parseTresolution(tresolution, &tres))
        return QString();
    return QString::number(qMin(qint64(std::llround(seconds / tres)), lastPointOfHour(tres)));
}

QString kvxTimeForPoint(const QString &time, const QString &point, const QString &tresolution)
{
    int hour = 0;
    double seconds = 0.0;
    double tres = 0.0;
    qint64 p = 0;
    if (!parseTelescopeTime(time, &hour, &seconds) || !parseTresolution(tresolution, &tres)
        || !parsePoint(point, tres, &p))
        return QString();
    const qint64 ms = qMin(qint64(std::llround(double(p) * tres * 1000.0)), hourMs - 1);
    return QTime(hour, 0).addMSecs(int(ms)).toString(QStringLiteral("hh:mm:ss.zzz"));
}

KvxToCatalogResult kvxToCatalog(const KvxToCatalogInput &input)
{
    KvxToCatalogResult result;
    QDate date;
    if (!parseCalculatorDate(input.date, &date))
        result.errors << QStringLiteral("KVX date: enter the date as dd.MM.yyyy, for example 01.04.2015.");
    int hour = 0;
    double seconds = 0.0;
    if (!parseTelescopeTime(input.time, &hour, &seconds))
        result.errors << QStringLiteral("KVX time: enter the telescope time as hh:mm:ss or hh:mm:ss.ss; "
                                        "its hour names the hour file.");
    double tres = 0.0;
    const bool tresOk = parseTresolution(input.tresolution, &tres);
    if (!tresOk)
        result.errors << QStringLiteral("Tresolution: select a sample interval above 0 s.");
    qint64 point = 0;
    if (input.lead == KvxTimeField::Point && tresOk && !parsePoint(input.point, tres, &point))
        result.errors << QStringLiteral("Point number: enter a whole number from 0 to %1, the points of one "
                                        "hour at this tresolution.")
                             .arg(lastPointOfHour(tres));
    double delta = 0.0;
    if (!parseDeclination(input.delta, &delta))
        result.errors << QStringLiteral("KVX delta: enter the declination as dd:mm:ss, dd mm ss or decimal "
                                        "degrees, from -90 to 90.");
    else if (!std::isfinite(beamHourAngle(delta)))
        result.errors << QStringLiteral("KVX delta: the telescope's beam formula has no solution at this "
                                        "declination.");
    if (!result.errors.isEmpty())
        return result;

    if (input.lead == KvxTimeField::Point) {
        result.point = double(point);
        seconds = double(point) * tres;
    } else {
        result.point = seconds / tres;
    }
    // The same arithmetic as the native module's alpha of a sample point.
    const double t = tres * result.point;
    const QDateTime hourStart(date, QTime(hour, 0), Qt::UTC);
    const QDateTime hourStartUtc = hourStart.addSecs(-qint64(telescopeZoneHours) * 3600);
    const qint64 ms = qint64(std::llround(seconds * 1000.0));
    result.tresolution = tres;
    result.secondsFromHour = seconds;
    result.telescopeTime = hourStart.addMSecs(ms);
    result.utc = hourStartUtc.addMSecs(ms);

    result.ofDate = {meridianAlphaOfDate(hourStartUtc, t, delta), delta};
    const QDate pointDate = hourStartUtc.addMSecs(qint64(std::floor(t * 1000.0))).date();
    result.j2000 = precessToJ2000(result.ofDate, precessionYears(pointDate));
    if (!rigorousPrecessionToJ2000(result.utc, result.ofDate, &result.rigorous)) {
        result.errors << QStringLiteral("KVX date: the rigorous reduction does not know this year.");
        return result;
    }

    result.alphaDecimals = autoAlphaDecimals(tres);
    result.alpha = alphaTextAtPoint(hourStartUtc, tres, delta, result.point, result.alphaDecimals);
    result.delta = degreesText(result.j2000.delta);
    result.pulsarName = pulsarJName(result.alpha, result.delta);
    result.alphaRigorous = formatAlphaHours(result.rigorous.alpha * 12.0 / programPi, result.alphaDecimals);
    result.deltaRigorous = degreesText(result.rigorous.delta);
    result.alphaDifferenceSeconds =
        std::remainder(result.j2000.alpha - result.rigorous.alpha, 2.0 * programPi) * 12.0 / programPi * 3600.0;
    result.deltaDifferenceArcsec = (result.j2000.delta - result.rigorous.delta) * 180.0 / programPi * 3600.0;
    return result;
}
