#include "synth/syntheticnativefile.h"

#include "astro/filenames.h"
#include "synth/synthtext.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The sample interval text as the passport reader derives it: the decimal
// shifted by `shift` places, printed with exactly the digits the text carried.
QString normalisedIntervalText(const QString &text, int shift)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+)(?:\\.(\\d*))?(?:[eE]([+-]?\\d+))?$"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch match = number.match(trimmed);
    if (!match.hasMatch())
        return trimmed;
    const int fraction = match.captured(2).size();
    const int exponent = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    const int decimals = std::clamp(fraction + shift - exponent, 0, 16);
    return QString::number(trimmed.toDouble() / std::pow(10.0, shift), 'f', decimals);
}

} // namespace

NativeFile syntheticNativeFile(const SyntheticObservation &observation, const QString &path)
{
    const SyntheticObservation::Params &p = observation.params();
    const SyntheticObservation::BandTexts &texts = observation.bandTexts();
    const bool text = QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
    const bool n4 = p.plosh == QLatin1String("N4");
    NativeFile file;
    file.path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    file.fileName = path.isEmpty() ? observation.fileName(QStringLiteral("pnt")) : QFileInfo(path).fileName();
    const QDateTime local = observation.localBegin();
    file.nativeFileName = text ? hourFileBaseName(local, p.plosh) + QStringLiteral(".pnt") : file.fileName;
    const QString &dated = file.nativeFileName;
    file.observationDate = QStringLiteral("20%1.%2.%3").arg(dated.mid(4, 2), dated.mid(2, 2), dated.left(2));
    file.npoints = p.npoints;
    file.nModules = text ? 1 : (n4 ? 1 : p.nModules);
    file.nRays = text ? 1 : p.nRays;
    file.nChannels = p.nBands + 1;
    file.firstModule = n4 && !text ? synthPositionIndex(p.positionCode) : p.firstModule;
    file.firstRay = p.firstRay;
    file.firstPoint = p.firstPoint;
    if (p.tresInSeconds || text) {
        const QString value = synthNumberText(p.tresolution);
        file.tresolution = value.toDouble();
        file.tresolutionText = normalisedIntervalText(value, 0);
    } else {
        const QString value = QString::number(p.tresolution * 1000.0, 'g', 12);
        file.tresolution = value.toDouble() / 1000.0;
        file.tresolutionText = normalisedIntervalText(value, 3);
    }
    file.plosh = p.plosh;
    if (n4 && !text) {
        file.positionCodeKey = p.positionCode;
        file.source = synthN4SourceText(p.positionCode);
    } else if (!text) {
        file.source = synthOneLine(p.source).trimmed();
    }
    file.alpha = synthOneLine(p.alpha).trimmed();
    file.delta = synthOneLine(p.delta).trimmed();
    file.fcentral = texts.fcentral;
    file.wbTotal = texts.wbTotal;
    if (!text)
        file.wbands = texts.wbands;
    const QDateTime utc = p.utcBegin.toUTC();
    file.localBeginDate = local.toString(QStringLiteral("yyyy.MM.dd"));
    file.utcBeginDate = utc.toString(QStringLiteral("yyyy.MM.dd"));
    file.localBeginTime = text ? local.toString(QStringLiteral("hh:mm:ss.zzz")) : synthTimeText(local.time());
    file.utcBeginTime = text ? utc.toString(QStringLiteral("hh:mm:ss.zzz")) : synthTimeText(utc.time());
    file.zone = p.zone;
    file.fbands = observation.frequencies();

    const qint64 perPoint = observation.valuesPerPoint();
    const qint64 total = perPoint * p.npoints;
    if (total <= 0 || total > std::numeric_limits<int>::max())
        return file;
    file.samples.resize(int(total));
    QVector<float> buffer(static_cast<int>(SyntheticObservation::pointsPerBlock * perPoint));
    for (qint64 first = 0; first < p.npoints; first += SyntheticObservation::pointsPerBlock) {
        const qint64 count = std::min<qint64>(SyntheticObservation::pointsPerBlock, p.npoints - first);
        observation.fillPoints(first, count, buffer.data());
        for (qint64 i = 0; i < count; ++i) {
            for (qint64 series = 0; series < perPoint; ++series)
                file.samples[int(series * p.npoints + first + i)] = buffer.at(int(i * perPoint + series));
        }
    }
    file.loaded = true;
    return file;
}

