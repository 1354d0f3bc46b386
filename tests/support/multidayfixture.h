#pragma once

// Observation days for the multi-day tests, written by the synthetic
// generator: one module and one beam, a few thousand points, dated one day
// apart from 2026.07.16; and fresh directories to put them in.

#include "synth/syntheticobservation.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

namespace multiday {

// An empty directory of that name in the test's temporary directory.
inline QString freshDir(const QTemporaryDir &root, const QString &name)
{
    const QString path = root.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

inline SyntheticObservation::Params dayParams(int day)
{
    SyntheticObservation::Params p;
    p.nRays = 1;
    p.nBands = 8;
    p.npoints = 3000;
    p.firstModule = 3;
    p.firstRay = 2;
    p.seed = quint64(200 + day);
    p.snr = 6.0;
    p.utcBegin = QDateTime(QDate(2026, 7, 16).addDays(day), QTime(2, 0, 0), Qt::UTC);
    return p;
}

// Writes the observation into dir (under its own name in the given suffix,
// or under `name`) and returns the path, empty on failure.
inline QString writeDay(const QString &dir, const SyntheticObservation::Params &p, const QString &suffix,
                        const QString &name = QString())
{
    const SyntheticObservation observation(p);
    const QString fileName = !name.isEmpty() ? name
        : suffix == QLatin1String("txt")      ? observation.textFileName()
                                               : observation.fileName(suffix);
    const QString path = QDir(dir).filePath(fileName);
    if (!QDir().mkpath(QFileInfo(path).path()) || !observation.write(path, nullptr))
        return QString();
    return path;
}

} // namespace multiday
