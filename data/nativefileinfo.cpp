#include "data/nativefileinfo.h"

#include "data/nativelisting.h"
#include "data/nativetimes.h"

#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>

namespace {

// One fact about a file, in both forms.
struct InfoField
{
    const char *key;      // JSON key
    const char *label;    // label of the text line
    QJsonValue value;
    QString text;
};

QString range(qint64 count, qint64 first)
{
    return QStringLiteral("%1 (numbers %2 to %3)").arg(count).arg(first).arg(first + count - 1);
}

// "hh:mm:ss.zzz" of a duration in seconds, the hours not wrapped.
QString durationText(double seconds)
{
    const qint64 ms = qRound64(seconds * 1000.0);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

QVector<InfoField> infoFields(const QString &path, const NativeFile &file, const QStringList &problems)
{
    QVector<InfoField> fields;
    const auto add = [&fields](const char *key, const char *label, const QJsonValue &value, const QString &text) {
        fields.append({key, label, value, text});
    };
    const auto addText = [&add](const char *key, const char *label, const QString &text) {
        if (!text.isEmpty())
            add(key, label, text, text);
    };
    add("path", "File", QFileInfo(path).absoluteFilePath(), QFileInfo(path).absoluteFilePath());
    addText("source", "Source", file.source);
    addText("observationFile", "Observation file", file.nativeFileName);
    addText("site", "Site", file.plosh);
    addText("positionCode", "Position code", file.positionCodeKey);
    addText("alpha", "Alpha", file.alpha);
    addText("delta", "Delta", file.delta);
    addText("centralFrequency", "Central frequency", file.fcentral);
    addText("totalBandwidth", "Total bandwidth", file.wbTotal);
    addText("channelWidths", "Channel widths", file.wbands);

    if (file.npoints >= 1) {
        const int channels = std::max(file.nChannels - 1, 0);
        add("points", "Points", file.npoints, range(file.npoints, file.firstPoint));
        add("firstPoint", "", file.firstPoint, QString());
        add("modules", "Modules", file.nModules, range(file.nModules, file.firstModule));
        add("firstModule", "", file.firstModule, QString());
        add("beams", "Beams", file.nRays, range(file.nRays, file.firstRay));
        add("firstBeam", "", file.firstRay, QString());
        add("channels", "Channels", channels, QStringLiteral("%1 frequency channels and the total").arg(channels));
        QJsonArray frequencies;
        QStringList texts;
        for (int c = 0; c < std::min(channels, file.fbands.size()); ++c) {
            frequencies.append(file.fbands.at(c));
            texts << QString::number(file.fbands.at(c), 'g', 16);
        }
        add("frequenciesMHz", "Frequencies (MHz)", frequencies, texts.join(QLatin1Char(' ')));
        add("sampleIntervalSeconds", "Sample interval (s)", file.tresolution, file.tresolutionText);

        const QDateTime local = localBeginInstant(file);
        const QDateTime utc = utcBeginInstant(file);
        const ModifiedJulianDate mjd = utcMjdOfPoint(file, 0);
        const QString stamp = QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz");
        if (local.isValid()) {
            const QString sign = file.zone < 0 ? QStringLiteral("-") : QStringLiteral("+");
            // The telescope's clock as an ISO instant with its offset from UTC.
            const QString iso = local.toString(QStringLiteral("yyyy-MM-ddThh:mm:ss.zzz"))
                + QStringLiteral("%1%2:00").arg(sign).arg(qAbs(file.zone), 2, 10, QLatin1Char('0'));
            add("telescopeTimeStart", "Start, telescope time", iso,
                local.toString(stamp) + QStringLiteral(" (UTC%1%2)").arg(sign).arg(qAbs(file.zone)));
        }
        if (utc.isValid())
            add("utcStart", "Start, UTC", utc.toString(Qt::ISODateWithMs), utc.toString(stamp));
        if (mjd.valid)
            add("mjdStart", "Start, MJD (UTC)", mjd.value(), QString::number(mjd.value(), 'f', 9));
        const double duration = file.npoints * file.tresolution;
        add("durationSeconds", "Duration", duration,
            QStringLiteral("%1 s (%2)").arg(QString::number(duration, 'f', 3), durationText(duration)));
    }
    add("problems", "Problems", QJsonArray::fromStringList(problems),
        problems.isEmpty() ? QStringLiteral("none") : problems.join(QStringLiteral("\n")));
    return fields;
}

} // namespace

bool loadCheckedNativeFile(const QString &path, NativeFile *file, QStringList *problems,
                           const NativeProgress &progress, SampleAccess access)
{
    problems->clear();
    *file = NativeFile();
    const QString refusal = nativeFileChoiceProblem(path);
    const bool mapped = access == SampleAccess::Mapped && isBinaryNativeSuffix(QFileInfo(path).suffix());
    if (!refusal.isEmpty())
        *problems << refusal;
    else if (!(mapped ? readBinaryMapped(path, file, progress) : readNativeFile(path, file, progress)))
        *problems << loadErrorText(*file);
    else
        *problems = validateNativeFile(*file);
    return problems->isEmpty();
}

QString nativeFileInfoText(const QString &path, const NativeFile &file, const QStringList &problems)
{
    const QVector<InfoField> fields = infoFields(path, file, problems);
    int width = 0;
    for (const InfoField &field : fields)
        width = std::max(width, int(qstrlen(field.label)));
    QString text;
    for (const InfoField &field : fields) {
        if (field.text.isEmpty())
            continue;
        const QString label = QString(QLatin1String(field.label) + QLatin1Char(':')).leftJustified(width + 2);
        // Further lines of a value line up under its first.
        text += label + QString(field.text).replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(width + 2, QLatin1Char(' ')))
            + QLatin1Char('\n');
    }
    return text;
}

QJsonObject nativeFileInfoJson(const QString &path, const NativeFile &file, const QStringList &problems)
{
    QJsonObject object;
    for (const InfoField &field : infoFields(path, file, problems))
        object.insert(QLatin1String(field.key), field.value);
    object.insert(QStringLiteral("ok"), problems.isEmpty());
    return object;
}
