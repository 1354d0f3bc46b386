#pragma once

#include <QHash>
#include <QString>
#include <QVector>

// Constant tables of the telescope: beam declinations by site, module and ray,
// the N4 position codes and their beams. Built once on first use, read-only
// afterwards and safe to read from any thread.

struct PositionCode
{
    qint32 index = 0;                // 1..20
    QString centralDeclination;      // "dd:mm:ss"
};

struct N4Beam
{
    qint32 position = 0;             // position index 1..20
    qint32 beam = 0;                 // 1..8
    QString code;                    // position code, e.g. "10 1 0"
    double declination = 0.0;        // degrees
};

// Hours of telescope time ahead of UTC: Moscow time, as the headers of the
// data of every site record it.
constexpr qint32 telescopeZoneHours = 3;

// Returned by the declination lookups when nothing is known.
constexpr double unknownDeclination = -1000.0;

bool isKnownPlosh(const QString &plosh);
// Keys "m%1_r%2_p%3" (module, ray, last character of the site code).
const QHash<QString, double> &beamDeclinationTable();
const QHash<QString, PositionCode> &positionCodeTable();
const QVector<N4Beam> &n4BeamTable();

// Degrees, or unknownDeclination. At site N4 the module is the position index.
double beamDeclination(qint32 module, qint32 ray, const QString &plosh);
// "dd:mm:ss" (truncated fields, "-" for negative), empty when unknown.
QString beamDeclinationText(qint32 module, qint32 ray, const QString &plosh);
// Mean of the eight beams of a module, as text; empty when any beam is unknown.
QString centralDeclinationText(qint32 module, const QString &plosh);
