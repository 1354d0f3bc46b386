#pragma once

#include <QDateTime>
#include <QString>

// Metadata read from observation and profile file names: date, site, module
// and ray, right ascension and declination. Pure functions; the patterns are
// compiled once and shared read-only.

QString dateFromFileName(const QString &name);
// "DDMMYY_HH_N1_00": base name of the observation file of a site that begins
// at the hour of the given telescope time (clock values; minutes ignored).
QString hourFileBaseName(const QDateTime &telescopeTime, const QString &plosh);
QString ploshFromPath(const QString &path);
bool moduleRayFromFileName(const QString &name, int *module, int *ray);
QString moduleRayTag(const QString &name);
bool alphaDeltaFromFileName(const QString &name, QString *alpha, QString *delta);
QString alphaFromFileName(const QString &name);
QString jNameFromFileName(const QString &name);
QString deltaFromFileName(const QString &name);
QString defaultTresolutionText(const QString &name, const QString &plosh);
bool hasCosSuffix(const QString &name);
