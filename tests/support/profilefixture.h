#pragma once

// Profile files for the profile tests: hand-made texts and files of the
// synthetic generator, whose written values the tests can recompute.

#include "synth/profilewriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QVector>

namespace profilefixture {

// Writes text to dir/name (creating dir) and returns the path; empty on failure.
inline QString writeFile(const QString &dir, const QString &name, const QByteArray &text)
{
    if (!QDir().mkpath(dir))
        return QString();
    const QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
        return QString();
    return path;
}

// A generator file of one date and DM; path empty on failure.
inline QString writeGenerated(const QString &dir, const ProfileWriter::Params &params)
{
    QString path;
    QString error;
    if (!QDir().mkpath(dir) || !ProfileWriter::write(dir, params, &path, &error))
        return QString();
    return path;
}

// The values the generator wrote for one period: printed with 4 decimals.
inline QVector<double> writtenValues(const ProfileWriter::Params &params, double period)
{
    QVector<double> values = ProfileWriter::profile(params, period);
    for (double &v : values)
        v = QByteArray::number(v, 'f', 4).toDouble();
    return values;
}

} // namespace profilefixture
