#include "data/prestowriter.h"

#include "astro/dispersion.h"
#include "data/channelsum.h"
#include "data/exchangesource.h"
#include "data/nativetext.h"
#include "data/nativetimes.h"
#include "data/pointprogress.h"
#include "data/savebuffer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// PRESTO's label column: a blank, the label padded to this width, "=  ".
constexpr int labelWidth = 39;

QString infLine(const char *label, const QString &value)
{
    return QLatin1Char(' ') + QString::fromLatin1(label).leftJustified(labelWidth) + QLatin1String("=  ") + value
        + QLatin1Char('\n');
}

QString number(double value)
{
    return QString::number(value, 'g', 12);
}

// "day.fraction" with 15 decimals, as PRESTO writes epochs.
QString epochText(const ModifiedJulianDate &mjd)
{
    if (!mjd.valid)
        return QStringLiteral("0.0");
    QString fraction = QString::number(mjd.fraction, 'f', 15);
    qint64 day = mjd.day;
    if (fraction.startsWith(QLatin1Char('1'))) {   // rounded up to the next day
        ++day;
        fraction = QString::number(0.0, 'f', 15);
    }
    return QString::number(day) + fraction.mid(1);
}

// Lowest frequency, channel width and count of the frequency channels.
struct Band
{
    double lowest = 0.0;
    double width = 0.0;
    int count = 0;
};

Band frequencyBand(const NativeFile &file)
{
    Band band;
    band.count = std::min(std::max(file.nChannels - 1, 0), file.fbands.size());
    if (band.count < 1)
        return band;
    const auto range = std::minmax_element(file.fbands.begin(), file.fbands.begin() + band.count);
    band.lowest = *range.first;
    band.width = band.count > 1 ? (*range.second - *range.first) / (band.count - 1) : firstChannelWidth(file);
    return band;
}

bool commitBoth(QSaveFile &first, QSaveFile &second, QString *error)
{
    if (!first.commit()) {
        second.cancelWriting();
        return saveFailure(first, error);
    }
    if (!second.commit()) {
        saveFailure(second, error);
        QFile::remove(first.fileName());
        return false;
    }
    return true;
}

} // namespace

QString prestoBasePath(const QString &output)
{
    for (const char *suffix : {".dat", ".inf"}) {
        if (output.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return output.left(output.size() - 4);
    }
    return output;
}

QString prestoInfText(const NativeFile &file, const NativeSelection &selection, double dm,
                      const QString &baseName)
{
    const ExchangeSource source = exchangeSource(file, selection);
    const Band band = frequencyBand(file);
    const qint64 firstNumber = nativePointNumber(file, selection.startPoint);
    QStringList unknown;
    if (!source.hasAlpha)
        unknown << QStringLiteral("right ascension");
    if (!source.hasDelta)
        unknown << QStringLiteral("declination");
    QString notes = QStringLiteral("Dispersion-corrected sum of points %1-%2 of %3 (site %4, module %5, beam %6), "
                                   "times of arrival at the file's last frequency channel, %7 MHz.")
                        .arg(firstNumber)
                        .arg(firstNumber + selection.count - 1)
                        .arg(parentFileName(file), file.plosh)
                        .arg(selection.module)
                        .arg(selection.ray)
                        .arg(number(file.fbands.value(file.nChannels - 2)));
    if (!unknown.isEmpty())
        notes += QStringLiteral(" The file gives no %1.").arg(unknown.join(QStringLiteral(" and ")));

    return infLine("Data file name without suffix", baseName)
        + infLine("Telescope used", QStringLiteral("KVX"))
        + infLine("Instrument used",
                  QStringLiteral("KVX site %1 module %2 beam %3").arg(file.plosh).arg(selection.module).arg(selection.ray))
        + infLine("Object being observed", source.name)
        + infLine("J2000 Right Ascension (hh:mm:ss.ssss)", sexagesimalText(source.alphaSeconds, 4))
        + infLine("J2000 Declination     (dd:mm:ss.ssss)", sexagesimalText(source.deltaArcseconds, 4))
        + infLine("Data observed by", QStringLiteral("KVX"))
        + infLine("Epoch of observation (MJD)", epochText(utcMjdOfPoint(file, selection.startPoint)))
        + infLine("Barycentered?           (1=yes, 0=no)", QStringLiteral("0"))
        + infLine("Number of bins in the time series", QString::number(selection.count))
        + infLine("Width of each time series bin (sec)", QString::number(file.tresolution, 'g', 15))
        + infLine("Any breaks in the data? (1=yes, 0=no)", QStringLiteral("0"))
        + infLine("Type of observation (EM band)", QStringLiteral("Radio"))
        + infLine("Beam diameter (arcsec)", QStringLiteral("0"))
        + infLine("Dispersion measure (cm-3 pc)", number(dm))
        + infLine("Central freq of low channel (Mhz)", number(band.lowest))
        + infLine("Total bandwidth (Mhz)", number(band.width * band.count))
        + infLine("Number of channels", QString::number(band.count))
        + infLine("Channel bandwidth (Mhz)", number(band.width))
        + infLine("Data analyzed by", QStringLiteral("orvalis-tool"))
        + QStringLiteral(" Any additional notes:\n    ") + notes + QStringLiteral("\n\n");
}

bool writePrestoTimeSeries(const QString &basePath, const NativeFile &file, const NativeSelection &selection,
                           double dm, QString *error, const NativeProgress &progress)
{
    int moduleIndex = 0;
    if (!checkSelection(file, selection, true, &moduleIndex, error))
        return false;
    QVector<double> sum;
    if (dispersedChannelSum(file, &sum, selection.startPoint, dm, moduleIndex, selection.ray - file.firstRay,
                            selection.count)
        != selection.count) {
        if (error)
            *error = nativeSamplesLost(file)
                ? QStringLiteral("The file changed on disk while the extract was written.")
                : QStringLiteral("The channel sum needs non-zero channel frequencies and sample interval.");
        return false;
    }

    QSaveFile dat(basePath + QStringLiteral(".dat"));
    QSaveFile inf(basePath + QStringLiteral(".inf"));
    if (!dat.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailure(dat, error);
    if (!inf.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        dat.cancelWriting();
        return saveFailure(inf, error);
    }
    const QByteArray infBytes =
        prestoInfText(file, selection, dm, QFileInfo(basePath).fileName()).toLatin1();
    if (!writeAll(inf, infBytes.constData(), infBytes.size())) {
        dat.cancelWriting();
        return cancelSave(inf, error);
    }
    SaveBuffer buffer(dat);
    PointProgress points(progress, selection.count);
    for (int i = 0; i < sum.size() && buffer.ok(); ++i) {
        char bytes[4];
        putLittleEndianFloat(float(sum.at(i)), bytes);
        buffer.append(bytes, sizeof bytes);
        if (!points.written(i + 1)) {
            inf.cancelWriting();
            return stoppedSave(dat, error);
        }
    }
    if (!buffer.flush()) {
        inf.cancelWriting();
        return cancelSave(dat, error);
    }
    return commitBoth(dat, inf, error);
}
