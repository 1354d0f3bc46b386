#include "synth/synthetictextform.h"

#include "astro/filenames.h"
#include "synth/synthtext.h"

#include <QByteArray>
#include <QSaveFile>
#include <QVector>

#include <algorithm>
#include <cmath>

bool writeSyntheticText(const SyntheticObservation &observation, const QString &path, QString *error)
{
    QString wrong = observation.problem();
    if (wrong.isEmpty() && (observation.params().nModules != 1 || observation.params().nRays != 1))
        wrong = QStringLiteral("A text observation holds one module and one ray.");
    if (!wrong.isEmpty()) {
        if (error)
            *error = wrong;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const SyntheticObservation::Params &p = observation.params();
    const SyntheticObservation::BandTexts &texts = observation.bandTexts();
    const auto timeText4 = [](const QDateTime &when) -> QString {
        return when.toString(QStringLiteral("hh:mm:ss.zzz")) + QLatin1Char('0');
    };
    const QDateTime local = observation.localBegin();
    const QDateTime utc = p.utcBegin.toUTC();
    const QDateTime end = local.addMSecs(qint64(std::round((p.npoints - 1) * p.tresolution * 1000.0)));
    const int bands = p.nBands;
    const QString dateFormat = QStringLiteral("dd.MM.yyyy");

    QByteArray header;
    const auto add = [&header](const char *key, const QString &value) {
        header += key;
        header += ' ';
        header += synthOneLine(value).toUtf8();
        header += '\n';
    };
    add("nativeFileName", hourFileBaseName(local, p.plosh) + QStringLiteral(".pnt"));
    add("firstPoint", QString::number(p.firstPoint));
    add("date_begin", local.toString(dateFormat) + QStringLiteral(" UTC ") + utc.toString(dateFormat));
    add("time_begin", timeText4(local) + QStringLiteral(" UTC ") + timeText4(utc));
    add("date_end", end.toString(dateFormat));
    add("time_end", timeText4(end));
    add("zone", QString::number(p.zone));
    add("area", p.plosh);
    add("module", QString::number(p.firstModule));
    add("ray", QString::number(p.firstRay));
    add("alpha", p.alpha);
    add("delta", p.delta);
    add("channels", QString::number(bands));
    add("fcentral", texts.fcentral);
    add("wb_total", texts.wbTotal);
    add("fbands", texts.fbands);
    add("tres", synthNumberText(p.tresolution));
    add("points", QString::number(p.npoints));
    header += "\nfrequency:\t";
    for (int c = bands - 1; c >= 0; --c)
        header += QByteArray::number(observation.frequencies().at(c), 'f', 2) + '\t';
    header += "\nchannel:\t";
    for (int c = bands; c >= 1; --c)
        header += QByteArray::number(c) + "\t\t";
    header += "sum\n";
    if (file.write(header) != header.size()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }

    QVector<float> buffer(SyntheticObservation::pointsPerBlock * (bands + 1));
    QByteArray rows;
    for (qint64 first = 0; first < p.npoints; first += SyntheticObservation::pointsPerBlock) {
        const qint64 count = std::min<qint64>(SyntheticObservation::pointsPerBlock, p.npoints - first);
        observation.fillPoints(first, count, buffer.data());
        // Appending piece by piece keeps the buffer's growth amortised; a
        // string-builder sum would reserve the exact size on every append.
        rows.clear();
        rows.reserve(int(count * (bands + 1) * 16));
        for (qint64 i = 0; i < count; ++i) {
            const float *values = buffer.constData() + i * (bands + 1);
            for (int c = bands - 1; c >= 0; --c) {
                rows.append(QByteArray::number(values[c], 'g', 9));
                rows.append('\t');
            }
            rows.append(QByteArray::number(values[bands], 'g', 9));
            rows.append('\n');
        }
        if (file.write(rows) != rows.size()) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

