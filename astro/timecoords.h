#pragma once

#include <QDateTime>
#include <QString>

// Time scales, sidereal time, right ascension of sample points and the
// sexagesimal texts of the program. Pure functions without state.

// The value of pi the observatory's formulas have always used, in radians
// from hours and degrees and back; results must match earlier releases.
constexpr double programPi = 3.14159265358979;

// Right ascension and declination, radians.
struct EquatorialCoords
{
    double alpha = 0.0;
    double delta = 0.0;
};

// Status values of findPointForAlpha.
enum AlphaSearchStatus { AlphaFound = 0, AlphaTextInvalid = 1, AlphaNotFound = 2 };

// UTC instant of "yyyy.MM.dd" and the first 8 characters "hh:mm:ss" of a time;
// invalid when either does not parse.
QDateTime observationStart(const QString &date, const QString &time);
// Local minus UTC in hours, rounded half away from zero; 0 when either is invalid.
int timeZoneHours(const QString &localDate, const QString &localTime,
                  const QString &utcDate, const QString &utcTime);
// Instant of the sample `point` samples after the one at start: start +
// point * tres * 1000 ms, rounded.
QDateTime samplePointTime(const QDateTime &start, qint64 point, double tres);
// The readers' variant: date "yyyy.MM.dd" and time "hh:mm:ss.zzz" (else its first
// 8 characters as "hh:mm:ss") plus round(point * tres * 1000) ms; invalid on a bad start.
QDateTime beginDateTimeOfPoint(const QString &date, const QString &time, qint64 point, double tres);
// "dd.MM.yyyy" (trimmed) to "yyyy.MM.dd"; empty when the date is invalid.
QString passportDateToInternal(const QString &text);

double greenwichSiderealHours(const QDateTime &instant);
// Local sidereal time at the telescope, hours in [0, 24), `seconds` after start.
double localSiderealHours(const QDateTime &start, double seconds);
// Hour angle (radians) of the beam meridian at a declination of date, from the
// beam plane's rotation; NaN where the beam geometry has no solution.
double beamHourAngle(double deltaRadians);
// Right ascension of date (radians, [0, 2 pi)) the beam meridian looks at,
// `seconds` after start, at a declination of date; NaN on failure.
double meridianAlphaOfDate(const QDateTime &start, double seconds, double deltaRadians);
// The inverse: seconds in [0, one sidereal day) after start until the beam
// meridian reaches the right ascension of date; NaN on failure.
double secondsToMeridianAlpha(const QDateTime &start, double alphaOfDate, double deltaRadians);
// Years from 2000 as the program's precession counts them for a calendar
// date: year + month / 12 + day / 365 - 2000.
double precessionYears(const QDate &date);
// The program's short precession from the equinox of date to J2000 (46.1" and
// 20.4" a year, two rounds); alpha reduced into [0, 2 pi).
EquatorialCoords precessToJ2000(const EquatorialCoords &ofDate, double years);
// Its inverse by iteration: the place of date that precessToJ2000 takes to
// j2000; false when it does not converge (next to the pole).
bool precessFromJ2000(const EquatorialCoords &j2000, double years, EquatorialCoords *ofDate);
// "HH:MM:SS" of hours (wrapped into one day), with a point and `decimals`
// (0..6) digits when decimals > 0; the last digit rounded half up.
QString formatAlphaHours(double hours, int decimals);
QString alphaTextAtPoint(const QDateTime &start, double tresolution, double deltaRadians,
                         double point, int decimals);
int autoAlphaDecimals(double tresolution);
bool parseAlphaSeconds(const QString &text, double *seconds);
AlphaSearchStatus findPointForAlpha(const QDateTime &start, double tresolution, double deltaRadians,
                                    const QString &alphaText, int firstPoint, int lastPoint,
                                    int decimals, int *point);
bool parseDeclination(const QString &text, double *radians);
double parseSexagesimalFixed(const QString &text);
QString formatSexagesimal(double value);
QString formatDegreesText(double value);
QString normalizeTimeText(const QString &text);
// "HHMMSS" or "DDMMSS" (at least 6 characters) to "%1:%2:%3"; shorter gives "".
QString expandSixDigits(const QString &text);
QString pulsarJName(const QString &alpha, const QString &delta);
