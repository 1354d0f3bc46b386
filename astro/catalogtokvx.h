#pragma once

#include "astro/timecoords.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

// "From catalog to KVX": when, in which hour file and at which sample point
// the beam meridian of the telescope passes a source of the catalog (J2000)
// on a given telescope date. Pure function; the crossing is the instant at
// which the program's own alpha of the meridian (alphaTextAtPoint) at the
// source's declination of date equals the catalog alpha.

struct CatalogToKvxInput
{
    QString alpha;          // catalog (J2000) right ascension "hh:mm:ss[.s]"
    QString delta;          // catalog (J2000) declination
    QString date;           // telescope date "dd.MM.yyyy"
    QString plosh;          // site code
    QString tresolution;    // sample interval, s
};

struct KvxCrossing
{
    QDateTime telescopeTime;        // clock values of telescope time, kept as UTC like the file headers
    QDateTime utc;
    QDateTime hourStartUtc;         // start of the hour file: point 0
    QString fileName;               // hour file of the site, ".pnt" form
    double secondsFromHour = 0.0;
    double point = 0.0;             // secondsFromHour / tresolution
    qint64 wholePoint = 0;          // the sample nearest to it
    QString wholePointAlpha;        // the alpha the native module shows at that sample
    EquatorialCoords ofDate;        // the source's place of date (radians); its delta is the KVX delta
};

struct NearestBeam
{
    bool found = false;
    int module = 0;                 // position index at site N4
    int ray = 0;
    double declination = 0.0;       // degrees
};

struct CatalogToKvxResult
{
    QStringList errors;             // input errors worded for the user; nothing below is set then
    EquatorialCoords catalog;       // radians
    double tresolution = 0.0;
    QVector<KvxCrossing> crossings; // in time order; two when the source passes twice that day
    NearestBeam beam;               // the site's beam nearest to the KVX delta of the first crossing
};

CatalogToKvxResult catalogToKvx(const CatalogToKvxInput &input);
// The beam of a site whose declination is nearest to the given one (degrees).
NearestBeam nearestBeam(const QString &plosh, double declinationDegrees);
