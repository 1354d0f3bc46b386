#pragma once

#include <QDateTime>
#include <QString>

// Time scales, sidereal time, right ascension of sample points and the
// sexagesimal texts of the program. Pure functions without state.

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
