#pragma once

// Writers of small native files for the data tests: a passport built from an
// ordered key list and samples in file order from a known formula, so that
// every test can tell which (point, module, ray, channel) a value came from.

#include <QByteArray>
#include <QFile>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtEndian>

#include <cstring>
#include <functional>

namespace fixture {

using Entries = QVector<QPair<QString, QString>>;

// Value stored for point p, module index m, ray index r, channel c.
inline float value(qint64 p, int m, int r, int c)
{
    return float(p % 100000) * 0.5f + float(m) * 1000.0f + float(r) * 100.0f + float(c) + 0.25f;
}

// A complete passport of a well-formed file (17 entries plus "numpar").
inline Entries entries(int npoints, int nModules, int nRays, int nChannels, int firstModule = 3,
                       int firstRay = 1)
{
    QStringList modules;
    for (int i = 0; i < nModules; ++i)
        modules << QString::number(firstModule + i);
    QStringList fbands;
    for (int i = 0; i < nChannels - 1; ++i)
        fbands << QString::number(109.0 + 0.5 * i, 'g', 16);
    return {
        {QStringLiteral("source"), QStringLiteral("B0531+21")},
        {QStringLiteral("nativeFileName"), QStringLiteral("C:\\data\\010415_13_N1_00.pnt")},
        {QStringLiteral("area"), QStringLiteral("N1")},
        {QStringLiteral("alpha"), QStringLiteral("05:34:31")},
        {QStringLiteral("delta"), QStringLiteral("22:00:52")},
        {QStringLiteral("fcentral"), QStringLiteral("110.25")},
        {QStringLiteral("wb_total"), QStringLiteral("2.5")},
        {QStringLiteral("date_begin"), QStringLiteral("01.04.2015 UTC 01.04.2015")},
        {QStringLiteral("time_begin"), QStringLiteral("15:13:20.66 UTC 12:13:20.66")},
        {QStringLiteral("modulus"), modules.join(QLatin1Char(' '))},
        {QStringLiteral("rays"), QString::number(nRays)},
        {QStringLiteral("ray"), QString::number(firstRay)},
        {QStringLiteral("tresolution"), QStringLiteral("12.4928")},
        {QStringLiteral("npoints"), QString::number(npoints)},
        {QStringLiteral("nbands"), QString::number(nChannels - 1)},
        {QStringLiteral("wbands"), QStringLiteral("0.078 0.078")},
        {QStringLiteral("fbands"), fbands.join(QLatin1Char(' '))},
    };
}

inline void set(Entries *list, const QString &key, const QString &value)
{
    for (auto &entry : *list) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    list->append({key, value});
}

inline void remove(Entries *list, const QString &key)
{
    for (int i = list->size() - 1; i >= 0; --i) {
        if (list->at(i).first == key)
            list->remove(i);
    }
}

// "numpar N" and one "key value" line per entry, each ending in a line feed.
inline QByteArray passport(const Entries &list, int numpar = -1)
{
    QByteArray out = "numpar " + QByteArray::number(numpar < 0 ? list.size() + 1 : numpar) + '\n';
    for (const auto &entry : list)
        out += entry.first.toLatin1() + ' ' + entry.second.toLatin1() + '\n';
    return out;
}

inline QByteArray samples(int npoints, int nModules, int nRays, int nChannels,
                          const std::function<float(qint64, int, int, int)> &f = value)
{
    QByteArray out;
    out.reserve(npoints * nModules * nRays * nChannels * 4);
    for (qint64 p = 0; p < npoints; ++p)
        for (int m = 0; m < nModules; ++m)
            for (int r = 0; r < nRays; ++r)
                for (int c = 0; c < nChannels; ++c) {
                    const float v = f(p, m, r, c);
                    quint32 bits;
                    std::memcpy(&bits, &v, 4);
                    char le[4];
                    qToLittleEndian(bits, le);
                    out.append(le, 4);
                }
    return out;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A well-formed binary native file of the given shape.
inline bool writeNative(const QString &path, int npoints, int nModules, int nRays, int nChannels)
{
    return writeFile(path, passport(entries(npoints, nModules, nRays, nChannels))
                               + samples(npoints, nModules, nRays, nChannels));
}

} // namespace fixture
