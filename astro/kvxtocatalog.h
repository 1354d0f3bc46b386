#pragma once

#include "astro/timecoords.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// "From KVX to catalog": the J2000 place the beam meridian looked at, at a
// telescope date and time or a sample point of an hour file, and the KVX
// (of date) declination of the beam. The program's own alpha and delta, the
// pulsar name of that place, and beside them the same place by a rigorous
// reduction (ERFA) to show how far the program's short precession is from
// the standard. Pure functions.

// Which of the two tied fields the user entered last, and so which counts.
enum class KvxTimeField { Time, Point };

struct KvxToCatalogInput
{
    QString date;           // telescope date "dd.MM.yyyy"
    QString time;           // telescope time "hh:mm:ss[.s]"; its hour names the hour file
    QString point;          // sample point from the start of the hour file
    QString delta;          // KVX declination (of date)
    QString tresolution;    // sample interval, s
    KvxTimeField lead = KvxTimeField::Time;
};

struct KvxToCatalogResult
{
    QStringList errors;             // input errors worded for the user; nothing below is set then
    double tresolution = 0.0;
    QDateTime telescopeTime;        // clock values of telescope time, kept as UTC
    QDateTime utc;
    double secondsFromHour = 0.0;
    double point = 0.0;
    EquatorialCoords ofDate;        // radians
    EquatorialCoords j2000;         // by the program's formulas
    EquatorialCoords rigorous;      // by ERFA's IAU 2006 precession
    int alphaDecimals = 0;          // as the native module shows alphas at this sample interval
    QString alpha;                  // alphaTextAtPoint
    QString delta;                  // "dd:mm:ss"
    QString pulsarName;
    QString alphaRigorous;
    QString deltaRigorous;
    double alphaDifferenceSeconds = 0.0;  // program minus rigorous, seconds of time
    double deltaDifferenceArcsec = 0.0;   // program minus rigorous
};

KvxToCatalogResult kvxToCatalog(const KvxToCatalogInput &input);

// The tie of the two fields (points = seconds from the hour / tresolution):
// the nearest whole point of a telescope time, and the telescope time
// "hh:mm:ss.zzz" of a point of the hour file that `time` is in. Empty when
// an input does not parse or the point lies outside the hour file.
QString kvxPointForTime(const QString &time, const QString &tresolution);
// The last whole point whose time is still inside an hour file.
qint64 lastPointOfHour(double tresolution);
QString kvxTimeForPoint(const QString &time, const QString &point, const QString &tresolution);
