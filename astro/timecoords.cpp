#include "astro/timecoords.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

// Constants as the observatory's software has always used them; results must
// match earlier releases digit for digit.
constexpr double siderealRate = 1.002737909;
constexpr double siteLongitudeHours = 2.508666666666667;
constexpr double twoPiValue = 6.28318530717958;
constexpr double beamB = 1.6346794731811694;
constexpr double beamC = 0.3319082106334796;
constexpr double beamFourA = 3.999809822573784;
constexpr double beamTwoA = 1.999904911286892;
constexpr double beamK = 0.008435899940825067;
constexpr double precessionM = 0.00022349910699149587;
constexpr double precessionN = 9.890199094634522e-5;

// Largest millisecond offset we hand to QDateTime; beyond it dates are meaningless.
constexpr double maxOffsetMs = 1e15;

QDate internalDate(const QString &text)
{
    return QDate::fromString(text, QStringLiteral("yyyy.MM.dd"));
}

QTime wholeSecondsTime(const QString &text)
{
    return QTime::fromString(text.left(8), QStringLiteral("hh:mm:ss"));
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString twoDigitsOf(double value)
{
    return QStringLiteral("%1").arg(value, 2, 'f', 0, QLatin1Char('0'));
}

double reduce(double value, double period)
{
    double r = std::fmod(value, period);
    if (r < 0)
        r += period;
    if (r >= period)
        r = 0.0;
    return r;
}

// Fields of |value| as whole units, minutes and seconds, each truncated.
QString formatTruncated(double value, const QString &pattern)
{
    if (!std::isfinite(value))
        return QString();
    const double v = std::fabs(value);
    const double a = std::trunc(v);
    const double r = (v - a) * 60.0;
    const double b = std::trunc(r);
    const double c = std::trunc((r - b) * 60.0);
    QString text = pattern.arg(twoDigitsOf(a), twoDigitsOf(b), twoDigitsOf(c));
    if (value < 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

bool isDecimalDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

QDateTime observationStart(const QString &date, const QString &time)
{
    const QDate d = internalDate(date);
    const QTime t = wholeSecondsTime(time);
    if (!d.isValid() || !t.isValid())
        return QDateTime();
    return QDateTime(d, t, Qt::UTC);
}

int timeZoneHours(const QString &localDate, const QString &localTime,
                  const QString &utcDate, const QString &utcTime)
{
    const QDateTime local = observationStart(localDate, localTime);
    const QDateTime utc = observationStart(utcDate, utcTime);
    if (!local.isValid() || !utc.isValid())
        return 0;
    return int(std::lround(double(utc.secsTo(local)) / 3600.0));
}

QDateTime samplePointTime(const QDateTime &start, qint64 point, double tres)
{
    const double ms = std::round(double(point) * tres * 1000.0);
    if (!start.isValid() || !std::isfinite(ms) || std::fabs(ms) > maxOffsetMs)
        return QDateTime();
    return start.addMSecs(qint64(ms));
}

QDateTime beginDateTimeOfPoint(const QString &date, const QString &time, qint64 point, double tres)
{
    const QDate d = internalDate(date);
    QTime t = QTime::fromString(time, QStringLiteral("hh:mm:ss.zzz"));
    if (!t.isValid())
        t = wholeSecondsTime(time);
    if (!d.isValid() || !t.isValid())
        return QDateTime();
    return samplePointTime(QDateTime(d, t, Qt::UTC), point, tres);
}

QString passportDateToInternal(const QString &text)
{
    const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!d.isValid())
        return QString();
    return d.toString(QStringLiteral("yyyy.MM.dd"));
}

double greenwichSiderealHours(const QDateTime &instant)
{
    if (!instant.isValid())
        return 0.0;
    const QDateTime utc = instant.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    const int year = date.year();
    const int month = date.month();

    static const int monthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int dayOfYear = date.day();
    for (int m = 1; m < month; ++m)
        dayOfYear += monthLengths[m - 1] + ((m == 2 && year % 4 == 0) ? 1 : 0);

    const double t = ((year - 1900) * 365.0 + std::floor((year - 1901) * 0.25) + dayOfYear - 0.5 - 36525.0)
            / 36525.0;
    const double dayFraction =
            ((time.msec() / 1000.0 + time.second()) / 3600.0 + time.hour() + time.minute() / 60.0) / 24.0;
    const double g = dayFraction * siderealRate
            + (24110.54841 + 8640184.812866 * t + 0.093104 * t * t - 6.2e-6 * t * t * t) / 86400.0;
    double fraction = g - std::floor(g);
    if (fraction < 0)
        fraction += 1.0;
    return fraction * 24.0;
}

double localSiderealHours(const QDateTime &start, double seconds)
{
    return reduce(greenwichSiderealHours(start) + siderealRate * seconds / 3600.0 + siteLongitudeHours, 24.0);
}

double beamHourAngle(double deltaRadians)
{
    const double invalid = std::numeric_limits<double>::quiet_NaN();
    const double cosDelta = std::cos(deltaRadians);
    if (!std::isfinite(deltaRadians) || std::fabs(cosDelta) < 1e-12)
        return invalid;
    const double sinDelta = std::sin(deltaRadians);
    const double b = beamB * sinDelta;
    double d = b * b - (sinDelta * sinDelta - beamC) * beamFourA;
    if (d < -1e-12)
        return invalid;
    if (d < 0)
        d = 0.0;
    double u = ((std::sqrt(d) + b) / beamTwoA) * beamK / cosDelta;
    if (std::fabs(u) > 1.0) {
        if (std::fabs(u) - 1.0 > 1e-12)
            return invalid;
        u = u > 0 ? 1.0 : -1.0;
    }
    const double rest = 1.0 - u * u;
    return std::atan2(u, rest <= 0 ? 0.0 : std::sqrt(rest));
}

double meridianAlphaOfDate(const QDateTime &start, double seconds, double deltaRadians)
{
    const double hourAngle = beamHourAngle(deltaRadians);
    if (!start.isValid() || !std::isfinite(seconds) || !std::isfinite(hourAngle))
        return std::numeric_limits<double>::quiet_NaN();
    return reduce(localSiderealHours(start, seconds) * programPi / 12.0 + hourAngle, twoPiValue);
}

double secondsToMeridianAlpha(const QDateTime &start, double alphaOfDate, double deltaRadians)
{
    const double hourAngle = beamHourAngle(deltaRadians);
    if (!start.isValid() || !std::isfinite(alphaOfDate) || !std::isfinite(hourAngle))
        return std::numeric_limits<double>::quiet_NaN();
    const double siderealHours = (alphaOfDate - hourAngle) * 12.0 / programPi
            - greenwichSiderealHours(start) - siteLongitudeHours;
    return reduce(siderealHours, 24.0) * 3600.0 / siderealRate;
}

double precessionYears(const QDate &date)
{
    return date.year() + date.month() / 12.0 + date.day() / 365.0 - 2000.0;
}

EquatorialCoords precessToJ2000(const EquatorialCoords &ofDate, double years)
{
    // Two rounds: the second takes the rates at the middle of the path.
    const double alpha = ofDate.alpha;
    const double delta = ofDate.delta;
    double alphaMean = alpha;
    double deltaMean = delta;
    EquatorialCoords j2000 = ofDate;
    for (int round = 0; round < 2; ++round) {
        j2000.alpha = alpha - (std::tan(deltaMean) * std::sin(alphaMean) * precessionN + precessionM) * years;
        j2000.delta = delta - std::cos(alphaMean) * precessionN * years;
        alphaMean = (j2000.alpha + alpha) / 2.0;
        deltaMean = (j2000.delta + delta) / 2.0;
    }
    j2000.alpha = reduce(j2000.alpha, twoPiValue);
    return j2000;
}

bool precessFromJ2000(const EquatorialCoords &j2000, double years, EquatorialCoords *ofDate)
{
    // Fixed-point iteration on the correction: the precession moves a place by
    // far less than it changes with the place, so each round gains digits.
    EquatorialCoords guess = j2000;
    for (int round = 0; round < 60; ++round) {
        const EquatorialCoords back = precessToJ2000(guess, years);
        const double alphaError = std::remainder(j2000.alpha - back.alpha, twoPiValue);
        const double deltaError = j2000.delta - back.delta;
        if (!std::isfinite(alphaError) || !std::isfinite(deltaError))
            return false;
        guess.alpha += alphaError;
        guess.delta += deltaError;
        if (std::fabs(alphaError) < 1e-12 && std::fabs(deltaError) < 1e-12) {
            guess.alpha = reduce(guess.alpha, twoPiValue);
            if (ofDate)
                *ofDate = guess;
            return std::fabs(guess.delta) < programPi / 2.0;
        }
    }
    return false;
}

QString formatAlphaHours(double hours, int decimals)
{
    if (!std::isfinite(hours))
        return QString();
    const int digits = qBound(0, decimals, 6);
    qint64 unit = 1;
    for (int i = 0; i < digits; ++i)
        unit *= 10;
    const qint64 dayUnits = 86400 * unit;
    qint64 total = qint64(std::floor(reduce(hours, 24.0) * 3600.0 * double(unit) + 0.5)) % dayUnits;
    if (total < 0)
        total += dayUnits;

    QString text = QStringLiteral("%1:%2:%3")
            .arg(twoDigits(total / (3600 * unit)), twoDigits((total / (60 * unit)) % 60),
                 twoDigits((total / unit) % 60));
    if (digits > 0)
        text += QLatin1Char('.') + QStringLiteral("%1").arg(total % unit, digits, 10, QLatin1Char('0'));
    return text;
}

QString alphaTextAtPoint(const QDateTime &start, double tresolution, double deltaRadians,
                         double point, int decimals)
{
    if (!start.isValid() || !(tresolution > 0) || !std::isfinite(tresolution)
        || !std::isfinite(deltaRadians) || !std::isfinite(point))
        return QString();

    const double t = tresolution * point;
    const double offsetMs = std::floor(t * 1000.0);
    if (std::fabs(offsetMs) > maxOffsetMs)
        return QString();
    const QDate pointDate = start.addMSecs(qint64(offsetMs)).date();

    const double alpha = meridianAlphaOfDate(start, t, deltaRadians);
    if (!std::isfinite(alpha) || !pointDate.isValid())
        return QString();
    const EquatorialCoords j2000 = precessToJ2000({alpha, deltaRadians}, precessionYears(pointDate));
    return formatAlphaHours(j2000.alpha * 12.0 / programPi, decimals);
}

int autoAlphaDecimals(double tresolution)
{
    if (!(tresolution > 0) || !std::isfinite(tresolution))
        return 0;
    const double digits = std::ceil(-std::log(tresolution * siderealRate) / 2.302585092994046) + 1.0;
    return int(qBound(0.0, digits, 6.0));
}

bool parseAlphaSeconds(const QString &text, double *seconds)
{
    const QStringList parts = text.trimmed().split(QLatin1Char(':'), Qt::KeepEmptyParts);
    // Hours and minutes are unsigned: a sign would turn the text into a time before 0h.
    if (parts.size() != 3 || !isDecimalDigits(parts[0].trimmed()) || !isDecimalDigits(parts[1].trimmed()))
        return false;
    bool ok = false;
    const int hours = parts[0].toInt(&ok);
    if (!ok || hours > 23)
        return false;
    const int minutes = parts[1].toInt(&ok);
    if (!ok || minutes > 59)
        return false;
    const double secs = parts[2].toDouble(&ok);
    if (!ok || !std::isfinite(secs) || secs < 0 || secs >= 60)
        return false;
    if (seconds)
        *seconds = hours * 3600.0 + minutes * 60.0 + secs;
    return true;
}

AlphaSearchStatus findPointForAlpha(const QDateTime &start, double tresolution, double deltaRadians,
                                    const QString &alphaText, int firstPoint, int lastPoint,
                                    int decimals, int *point)
{
    if (!point || firstPoint < 0 || lastPoint < firstPoint)
        return AlphaNotFound;
    double target = 0.0;
    if (!parseAlphaSeconds(alphaText, &target))
        return AlphaTextInvalid;

    auto alphaSeconds = [&](int p, double *s) {
        return parseAlphaSeconds(alphaTextAtPoint(start, tresolution, deltaRadians, p, decimals), s);
    };

    double a0 = 0.0;
    double a1 = 0.0;
    if (!alphaSeconds(firstPoint, &a0) || !alphaSeconds(lastPoint, &a1))
        return AlphaNotFound;
    while (a1 < a0)
        a1 += 86400.0;

    auto distance = [&](double c) {
        if (c < a0)
            return a0 - c;
        if (c > a1)
            return c - a1;
        return 0.0;
    };
    double c = target;
    if (distance(target - 86400.0) < distance(c))
        c = target - 86400.0;
    if (distance(target + 86400.0) < distance(c))
        c = target + 86400.0;

    const double tolerance = std::pow(10.0, -qBound(0, decimals, 6)) * 0.5;
    if (c < a0 - tolerance || c > a1 + tolerance)
        return AlphaNotFound;
    c = qBound(a0, c, a1);

    auto unwrapped = [&](int p, double *s) {
        if (!alphaSeconds(p, s))
            return false;
        while (*s < a0)
            *s += 86400.0;
        return true;
    };

    int lo = firstPoint;
    int hi = lastPoint;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        double s = 0.0;
        if (!unwrapped(mid, &s))
            return AlphaNotFound;
        if (c > s)
            lo = mid + 1;
        else
            hi = mid;
    }

    double best = 86400.0;
    int found = lo;
    // 64-bit so that a range ending at the largest point number still ends the loop.
    const qint64 from = qMax(qint64(lo) - 1, qint64(firstPoint));
    const qint64 to = qMin(qint64(lo) + 1, qint64(lastPoint));
    for (qint64 p = from; p <= to; ++p) {
        double s = 0.0;
        if (!unwrapped(int(p), &s))
            continue;
        const double dist = std::fabs(s - c);
        if (dist < best) {
            best = dist;
            found = int(p);
        }
    }
    *point = found;
    return AlphaFound;
}

bool parseDeclination(const QString &text, double *radians)
{
    QString work = text.trimmed();
    if (work.isEmpty())
        return false;
    work.replace(QLatin1Char(','), QLatin1Char('.'));
    work.replace(QLatin1Char('\t'), QLatin1Char(' '));
    double sign = 1.0;
    if (work.startsWith(QLatin1Char('-')) || work.startsWith(QLatin1Char('+'))) {
        sign = work.startsWith(QLatin1Char('-')) ? -1.0 : 1.0;
        work = work.mid(1).trimmed();
    }
    const QChar separator = work.contains(QLatin1Char(':')) ? QLatin1Char(':') : QLatin1Char(' ');
    const QStringList parts = work.split(separator, Qt::SkipEmptyParts);

    double degrees = 0.0;
    bool ok = false;
    if (parts.size() == 1) {
        degrees = parts[0].toDouble(&ok);
        if (!ok)
            return false;
    } else if (parts.size() == 3) {
        bool okD = false;
        bool okM = false;
        bool okS = false;
        const double d = parts[0].toDouble(&okD);
        const double m = parts[1].toDouble(&okM);
        const double s = parts[2].toDouble(&okS);
        if (!okD || !okM || !okS || !(m >= 0 && m < 60) || !(s >= 0 && s < 60))
            return false;
        degrees = d + m / 60.0 + s / 3600.0;
    } else {
        return false;
    }
    degrees *= sign;
    if (!std::isfinite(degrees) || std::fabs(degrees) > 90.0)
        return false;
    if (radians)
        *radians = degrees * programPi / 180.0;
    return true;
}

double parseSexagesimalFixed(const QString &text)
{
    QString work = text;
    const bool negative = work.startsWith(QLatin1Char('-'));
    if (negative)
        work.remove(0, 1);
    if (work.size() < 8)
        return 0.0;
    const double a = work.left(2).toDouble();
    const double b = work.mid(3, 2).toDouble();
    const double c = work.right(2).toDouble();
    const double value = a + b / 60.0 + c / 3600.0;
    return negative ? -value : value;
}

QString formatSexagesimal(double value)
{
    return formatTruncated(value, QStringLiteral("%1:%2:%3"));
}

QString formatDegreesText(double value)
{
    return formatTruncated(value, QStringLiteral("%1\u00B0%2\u2032%3\u2033"));
}

QString normalizeTimeText(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{1,2}):(\\d{1,2})(?:\\.(\\d+))?$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return QString();
    QString result = QStringLiteral("%1:%2:%3")
            .arg(twoDigits(match.captured(1).toInt()), twoDigits(match.captured(2).toInt()),
                 twoDigits(match.captured(3).toInt()));
    const QString fraction = match.captured(4);
    if (!fraction.isEmpty())
        result += QLatin1Char('.') + fraction.leftJustified(3, QLatin1Char('0'), true);
    return result;
}

QString expandSixDigits(const QString &text)
{
    if (text.size() < 6)
        return QString();
    return QStringLiteral("%1:%2:%3").arg(text.left(2), text.mid(2, 2), text.right(2));
}

QString pulsarJName(const QString &alpha, const QString &delta)
{
    const bool negative = delta.startsWith(QLatin1Char('-'));
    const QString unsignedDelta = negative ? delta.mid(1) : delta;
    if (alpha.size() < 8 || unsignedDelta.size() < 8)
        return QString();
    return QStringLiteral("J%1%2%3%4%5")
            .arg(alpha.left(2), alpha.mid(3, 2), negative ? QStringLiteral("-") : QStringLiteral("+"),
                 unsignedDelta.left(2), unsignedDelta.mid(3, 2));
}
