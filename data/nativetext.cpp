#include "data/nativetext.h"

#include "astro/filenames.h"
#include "astro/timecoords.h"
#include "data/pointprogress.h"
#include "data/savebuffer.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

// Longest text line accepted; longer lines mean the file is not native text.
constexpr int maxTextLineBytes = 1 << 20;
// A sample array is always allowed this size, and otherwise this many times
// the size of the file (a full row needs about 2 bytes of text per value).
constexpr qint64 maxTextArrayBytes = qint64(64) << 20;
constexpr qint64 textArrayBytesPerFileByte = 32;

const char *const headerKeys[] = {
    "points", "channels", "module", "ray", "tresolution", "tres", "fbands", "nativeFileName",
    "file_path", "firstPoint", "first_point", "area", "delta", "alpha", "alfa", "fcentral",
    "fcenral", "wb_total", "wbands", "zone", "date_begin", "time_begin", "utc_date", "utc_time",
};

// False when the caller asks the read to stop.
bool report(const NativeProgress &progress, int percent)
{
    return !progress || progress(percent);
}

// White space of the text format: ASCII only. Lines are read as Latin-1, and
// bytes such as A0 and 85 are parts of values, not separators.
bool isBlank(QChar c)
{
    const ushort u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

bool isBlankLine(const QString &line)
{
    return std::all_of(line.begin(), line.end(), isBlank);
}

bool failText(NativeFile *file, qint32 code)
{
    *file = NativeFile();
    file->npoints = code;
    return false;
}

enum class LineRead { Ok, End, TooLong, OverBudget };

// Reads lines of bounded length from a file opened in text mode, decoded as
// Latin-1 (one character per byte, so that header values keep their bytes)
// without their line ends. With a budget, stops once more bytes were read.
class LineReader
{
public:
    explicit LineReader(QFile &file, qint64 budget = -1)
        : m_file(file), m_buffer(size_t(maxTextLineBytes) + 1), m_budget(budget)
    {
    }

    LineRead next(QString *line)
    {
        if (m_budget >= 0 && m_consumed > m_budget)
            return LineRead::OverBudget;
        const qint64 n = m_file.readLine(m_buffer.data(), maxTextLineBytes + 1);
        if (n <= 0)
            return LineRead::End;
        m_consumed += n;
        if (n >= maxTextLineBytes && m_buffer[size_t(n) - 1] != '\n' && !m_file.atEnd())
            return LineRead::TooLong;
        qint64 end = n;
        while (end > 0 && (m_buffer[size_t(end) - 1] == '\n' || m_buffer[size_t(end) - 1] == '\r'))
            --end;
        *line = QString::fromLatin1(m_buffer.data(), int(end));
        return LineRead::Ok;
    }

    // Next line that is not blank.
    LineRead nextNonEmpty(QString *line)
    {
        for (;;) {
            const LineRead status = next(line);
            if (status != LineRead::Ok || !isBlankLine(*line))
                return status;
        }
    }

    qint64 consumed() const { return m_consumed; }

private:
    QFile &m_file;
    std::vector<char> m_buffer;
    qint64 m_budget;
    qint64 m_consumed = 0;
};

// Splits at runs of white space into references to the line.
void tokenize(const QString &line, QVector<QStringRef> *tokens)
{
    tokens->clear();
    const int size = line.size();
    int i = 0;
    while (i < size) {
        while (i < size && isBlank(line.at(i)))
            ++i;
        const int begin = i;
        while (i < size && !isBlank(line.at(i)))
            ++i;
        if (i > begin)
            tokens->append(QStringRef(&line, begin, i - begin));
    }
}

// Channel index of each channel-line column: 0-based channel, `channels` for
// the sum column, -1 for a column that is read past.
QVector<int> columnChannels(const QString &channelLine, int channels)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList tokens = channelLine.split(blanks, Qt::SkipEmptyParts);
    bool numbered = false;
    if (!tokens.isEmpty()) {
        const QString first = tokens.first().toLower();
        numbered = first == QLatin1String("channel:") || first == QLatin1String("channel")
            || first == QLatin1String("channel_num:") || first == QLatin1String("channel_num");
        if (numbered)
            tokens.removeFirst();
    }
    const QString prefix = QStringLiteral("channel_");
    QVector<int> columns;
    columns.reserve(tokens.size());
    for (const QString &token : qAsConst(tokens)) {
        const QString lower = token.toLower();
        if (lower == QLatin1String("sum") || lower == QLatin1String("channel_sum")) {
            columns.append(channels);
            continue;
        }
        bool ok = false;
        int number = 0;
        if (numbered)
            number = token.toInt(&ok);
        else if (lower.startsWith(prefix))
            number = token.mid(prefix.size()).toInt(&ok);
        columns.append(ok && number >= 1 && number <= channels ? number - 1 : -1);
    }
    return columns;
}

QString fileNamePart(const QString &path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

// Header values are single lines: a line break inside one would shift every
// following line of the written file.
QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString dateText(const QDateTime &dateTime)
{
    return dateTime.isValid() ? dateTime.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

struct ExtractTimes
{
    QDateTime localBegin;
    QDateTime utcBegin;
    QDateTime end;
};

ExtractTimes extractTimes(const NativeFile &file, const NativeSelection &selection)
{
    const qint64 last = qint64(selection.startPoint) + selection.count - 1;
    return {beginDateTimeOfPoint(file.localBeginDate, file.localBeginTime, selection.startPoint, file.tresolution),
            beginDateTimeOfPoint(file.utcBeginDate, file.utcBeginTime, selection.startPoint, file.tresolution),
            beginDateTimeOfPoint(file.localBeginDate, file.localBeginTime, last, file.tresolution)};
}

// What the header and the two table lines of a text file say, checked as far
// as they can be without the rows.
struct TextHeader
{
    QHash<QString, QString> keys;   // known keys only, values trimmed
    int points = 0;
    int channels = 0;
    int module = 0;
    int ray = 0;
    bool milliseconds = false;      // "tresolution" rather than "tres"
    QString intervalValue;
    double interval = 0.0;          // seconds
    QVector<int> columns;           // channel index of each column, -1 read past
    QVector<double> fbands;

    bool has(const char *key) const { return keys.contains(QLatin1String(key)); }
    QString value(const char *key) const { return keys.value(QLatin1String(key)); }
};

enum class HeaderCheck { Ok, Refused, Undecided };

// Reads the header and the two table lines and makes every check of the
// reader that does not need the rows, so that the reader and the listing's
// quick look never disagree. Undecided when the reader's budget ran out first.
HeaderCheck readTextHeader(QFile &in, LineReader &reader, TextHeader *header)
{
    const auto verdict = [](LineRead status) {
        return status == LineRead::OverBudget ? HeaderCheck::Undecided : HeaderCheck::Refused;
    };
    QString line;
    for (;;) {
        const LineRead status = reader.next(&line);
        if (status == LineRead::TooLong || status == LineRead::OverBudget)
            return verdict(status);
        if (status == LineRead::End || isBlankLine(line))
            break;
        int cut = 0;
        while (cut < line.size() && !isBlank(line.at(cut)))
            ++cut;
        const QString key = line.left(cut);
        for (const char *known : headerKeys) {
            if (key == QLatin1String(known)) {
                header->keys.insert(key, trimmedHeaderValue(line.mid(cut)));
                break;
            }
        }
    }

    QString first, second;
    LineRead status = reader.nextNonEmpty(&first);
    if (status == LineRead::Ok)
        status = reader.nextNonEmpty(&second);
    if (status != LineRead::Ok)
        return verdict(status);
    const bool frequencyFirst = first.trimmed().startsWith(QLatin1String("frequency"), Qt::CaseInsensitive);
    const QString channelLine = frequencyFirst ? second : first;

    header->points = header->value("points").trimmed().toInt();
    header->channels = header->value("channels").trimmed().toInt();
    header->module = header->value("module").trimmed().toInt();
    header->ray = header->value("ray").trimmed().toInt();
    header->milliseconds = header->has("tresolution");
    header->intervalValue = header->milliseconds ? header->value("tresolution") : header->value("tres");
    bool intervalOk = false;
    header->interval =
        header->intervalValue.trimmed().toDouble(&intervalOk) / (header->milliseconds ? 1000.0 : 1.0);
    if (header->points < 1 || header->channels < 1 || header->module < 1 || header->ray < 1
        || !(header->milliseconds || header->has("tres")) || !intervalOk || !std::isfinite(header->interval)
        || !(header->interval > 0.0))
        return HeaderCheck::Refused;

    header->columns = columnChannels(channelLine, header->channels);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString &item : header->value("fbands").split(blanks, Qt::SkipEmptyParts))
        header->fbands.append(item.toDouble());
    if (header->fbands.size() != header->channels)
        return HeaderCheck::Refused;

    // Every row holds one token per column and a separator after each, so the
    // rest of the file bounds the number of rows it can hold; a header that
    // claims more is damaged, and must not make us allocate for it. Channels
    // without a column stay zero; a file may leave out some, but an array far
    // larger than the file itself means a damaged channel count.
    const qint64 columnCount = header->columns.size();
    const qint64 remaining = in.size() - in.pos();
    const qint64 total = qint64(header->points) * (qint64(header->channels) + 1);
    const qint64 arrayLimit = std::max(maxTextArrayBytes, textArrayBytesPerFileByte * in.size());
    if (columnCount == 0 || qint64(header->points) * 2 * columnCount - 1 > remaining
        || total > maxSampleArraySize() || total * qint64(sizeof(float)) > arrayLimit)
        return HeaderCheck::Refused;
    return HeaderCheck::Ok;
}

} // namespace

QString timeTextOfDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return QString();
    return dateTime.toString(QStringLiteral("hh:mm:ss.zzz")) + QLatin1Char('0');
}

QString parentFileName(const NativeFile &file)
{
    return fileNamePart(file.nativeFileName.isEmpty() ? file.fileName : file.nativeFileName);
}

QString frequencyListText(const NativeFile &file)
{
    const int count = std::min(std::max(file.nChannels - 1, 0), file.fbands.size());
    QStringList parts;
    parts.reserve(count);
    for (int i = 0; i < count; ++i)
        parts << QString::number(file.fbands.at(i), 'g', 16);
    return parts.join(QLatin1Char(' '));
}

bool readNativeText(const QString &path, NativeFile *file, const NativeProgress &progress)
{
    if (!file)
        return false;
    if (!report(progress, 0))
        return failText(file, NativeError::Cancelled);
    const QFileInfo info(path);
    QFile in(path);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly | QIODevice::Text))
        return failText(file, NativeError::CannotOpen);
    LineReader reader(in);
    TextHeader header;
    if (readTextHeader(in, reader, &header) != HeaderCheck::Ok)
        return failText(file, NativeError::BadHeader);
    const auto has = [&header](const char *key) { return header.has(key); };
    const auto value = [&header](const char *key) { return header.value(key); };
    const int points = header.points;
    const int channels = header.channels;
    const double interval = header.interval;

    NativeFile record;
    record.path = info.absoluteFilePath();
    record.fileName = info.fileName();
    QString parent = fileNamePart(value("nativeFileName"));
    if (parent.isEmpty())
        parent = fileNamePart(value("file_path"));
    if (parent.isEmpty())
        parent = record.fileName;
    record.nativeFileName = parent;
    record.observationDate = dateFromFileName(parent);
    const QString firstPoint = has("firstPoint") ? value("firstPoint")
                                                 : (has("first_point") ? value("first_point") : QStringLiteral("0"));
    record.firstPoint = firstPoint.trimmed().toInt();
    record.firstModule = header.module;
    record.firstRay = header.ray;
    record.plosh = has("area") ? value("area") : parent.mid(10, 2);
    record.delta = value("delta");
    record.alpha = has("alpha") ? value("alpha") : value("alfa");
    record.fcentral = has("fcentral") ? value("fcentral") : value("fcenral");
    record.wbTotal = value("wb_total");
    record.wbands = value("wbands");
    record.tresolution = interval;
    record.tresolutionText = intervalText(header.intervalValue, header.milliseconds ? 3 : 0);
    record.zone = value("zone").trimmed().toInt();
    record.fbands = header.fbands;

    const QString sourcePath = value("file_path");
    if (!has("zone") && !sourcePath.isEmpty() && QFileInfo(sourcePath).isFile()) {
        NativeFile scratch;
        if (parsePassport(sourcePath, &scratch) >= 0) {
            record.zone = scratch.zone;
            record.source = scratch.source;
            record.positionCodeKey = scratch.positionCodeKey;
            if (record.wbTotal.isEmpty())
                record.wbTotal = scratch.wbTotal;
        }
    }

    QString localDate, utcDate, localTime, utcTime;
    const bool dateHalves = splitBeginHalves(value("date_begin"), &localDate, &utcDate);
    const bool timeHalves = splitBeginHalves(value("time_begin"), &localTime, &utcTime);
    if (dateHalves && timeHalves) {
        record.localBeginDate = passportDateToInternal(localDate);
        record.utcBeginDate = passportDateToInternal(utcDate);
        record.localBeginTime = normalizeTimeText(localTime);
        record.utcBeginTime = normalizeTimeText(utcTime);
        if (!has("zone"))
            record.zone = timeZoneHours(record.localBeginDate, record.localBeginTime, record.utcBeginDate,
                                        record.utcBeginTime);
    } else {
        const QDateTime middle = beginDateTimeOfPoint(value("utc_date"), value("utc_time"), 0, interval);
        if (middle.isValid()) {
            const QDateTime utcBegin = middle.addMSecs(-qRound64(interval * (points / 2) * 1000.0));
            const QDateTime localBegin = utcBegin.addSecs(qint64(record.zone) * 3600);
            record.utcBeginDate = utcBegin.toString(QStringLiteral("yyyy.MM.dd"));
            record.utcBeginTime = utcBegin.toString(QStringLiteral("hh:mm:ss.zzz"));
            record.localBeginDate = localBegin.toString(QStringLiteral("yyyy.MM.dd"));
            record.localBeginTime = localBegin.toString(QStringLiteral("hh:mm:ss.zzz"));
        }
    }

    record.nModules = 1;
    record.nRays = 1;
    record.nChannels = channels + 1;
    record.npoints = points;
    try {
        record.samples.resize(int(qint64(points) * (qint64(channels) + 1)));
    } catch (const std::bad_alloc &) {
        return failText(file, NativeError::BadHeader);
    }
    record.loaded = true;

    const QVector<int> &columns = header.columns;
    float *samples = record.samples.data();
    const int step = std::max(points / 100, 1);
    int percent = 0;
    qint64 polled = reader.consumed();
    QVector<QStringRef> tokens;
    QString line;
    int row = 0;
    while (row < points) {
        // Rows between two reports may span far more than a chunk of text.
        if (reader.consumed() - polled >= nativeReadChunkBytes) {
            if (!report(progress, percent))
                return failText(file, NativeError::Cancelled);
            polled = reader.consumed();
        }
        const LineRead status = reader.next(&line);
        if (status != LineRead::Ok)
            break;
        tokenize(line, &tokens);
        if (tokens.isEmpty())
            continue;
        if (tokens.size() != columns.size())
            break;
        bool rowOk = true;
        for (int i = 0; i < tokens.size() && rowOk; ++i) {
            const int channel = columns.at(i);
            if (channel < 0)
                continue;
            const double v = tokens.at(i).toDouble(&rowOk);
            samples[qint64(channel) * points + row] = float(v);
        }
        if (!rowOk)
            break;
        ++row;
        if (row % step == 0 || row == points) {
            percent = int(qint64(row) * 100 / points);
            if (!report(progress, percent))
                return failText(file, NativeError::Cancelled);
            polled = reader.consumed();
        }
    }
    if (row < points)
        return failText(file, NativeError::BadHeader);
    *file = std::move(record);
    if (!report(progress, 100))
        return failText(file, NativeError::Cancelled);
    return true;
}

bool mayBeNativeText(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    QFile in(path);
    if (!info.isFile() || !in.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    LineReader reader(in, maxBytes);
    TextHeader header;
    return readTextHeader(in, reader, &header) != HeaderCheck::Refused;
}

bool writeTextExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                      QString *error, const NativeProgress &progress)
{
    int moduleIndex = 0;
    if (!checkSelection(file, selection, true, &moduleIndex, error))
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered))
        return saveFailure(out, error);
    const ExtractTimes times = extractTimes(file, selection);
    const int n = std::max(file.nChannels - 1, 0);
    const int rayIndex = selection.ray - file.firstRay;

    SaveBuffer buffer(out);
    const auto line = [&buffer](const char *key, const QString &value) {
        buffer.append((QLatin1String(key) + QLatin1Char(' ') + oneLine(value) + QLatin1Char('\n')).toLatin1());
    };
    line("nativeFileName", parentFileName(file));
    line("firstPoint", QString::number(qint64(selection.startPoint) + file.firstPoint));
    line("date_begin", dateText(times.localBegin) + QLatin1String(" UTC ") + dateText(times.utcBegin));
    line("time_begin",
         timeTextOfDateTime(times.localBegin) + QLatin1String(" UTC ") + timeTextOfDateTime(times.utcBegin));
    line("date_end", dateText(times.end));
    line("time_end", timeTextOfDateTime(times.end));
    line("zone", QString::number(file.zone));
    line("area", file.plosh);
    line("module", QString::number(selection.module));
    line("ray", QString::number(selection.ray));
    line("delta", selection.delta);
    line("channels", QString::number(n));
    line("fcentral", file.fcentral);
    line("wb_total", file.wbTotal);
    line("fbands", frequencyListText(file));
    line("wbands", file.wbands);
    line("tres", QString::number(file.tresolution, 'g', 16));
    line("points", QString::number(selection.count));

    QString text = QStringLiteral("\nfrequency:\t");
    for (int c = n - 1; c >= 0; --c) {
        if (c < file.fbands.size())
            text += QString::number(file.fbands.at(c), 'f', 2);
        text += QLatin1Char('\t');
    }
    text += QLatin1String("\nchannel:\t");
    for (int c = n; c >= 1; --c)
        text += QString::number(c) + QLatin1String("\t\t");
    text += QLatin1String("sum\n");
    buffer.append(text.toLatin1());

    PointProgress points(progress, selection.count);
    if (!points.written(0))
        return stoppedSave(out, error);
    const qint64 end = qint64(selection.startPoint) + selection.count;
    for (qint64 p = selection.startPoint; p < end && buffer.ok(); ++p) {
        text.clear();
        for (int c = n - 1; c >= 0; --c) {
            text += QString::number(nativeSample(file, moduleIndex, rayIndex, c, p), 'f', 6);
            if (c > 0)
                text += QLatin1Char('\t');
        }
        text += QLatin1Char('\t')
            + QString::number(nativeSample(file, moduleIndex, rayIndex, file.nChannels - 1, p), 'f', 6)
            + QLatin1Char('\n');
        buffer.append(text.toLatin1());
        if (!points.written(p - selection.startPoint + 1))
            return stoppedSave(out, error);
    }
    if (nativeSamplesLost(file))
        return sourceChanged(out, error);
    if (!buffer.flush())
        return cancelSave(out, error);
    if (!out.commit())
        return saveFailure(out, error);
    return true;
}

bool writeBinaryExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                        QString *error, const NativeProgress &progress)
{
    int moduleIndex = 0;
    if (!checkSelection(file, selection, false, &moduleIndex, error))
        return false;
    const ExtractTimes times = extractTimes(file, selection);
    const bool allRays = selection.ray == 0;

    QStringList lines;
    if (!file.source.isEmpty() && file.source.compare(QLatin1String("source"), Qt::CaseInsensitive) != 0)
        lines << QStringLiteral("source      %1").arg(oneLine(file.source));
    lines << QStringLiteral("nativeFileName %1").arg(oneLine(parentFileName(file)))
          << QStringLiteral("firstPoint  %1").arg(qint64(selection.startPoint) + file.firstPoint)
          << QStringLiteral("area        %1").arg(oneLine(file.plosh))
          << QStringLiteral("delta       %1").arg(allRays ? QString() : oneLine(selection.delta))
          << QStringLiteral("fcentral    %1").arg(oneLine(file.fcentral))
          << QStringLiteral("wb_total    %1").arg(oneLine(file.wbTotal))
          << QStringLiteral("zone        %1").arg(file.zone)
          << QStringLiteral("date_begin  %1 UTC %2").arg(dateText(times.localBegin), dateText(times.utcBegin))
          << QStringLiteral("time_begin  %1 UTC %2")
                 .arg(timeTextOfDateTime(times.localBegin), timeTextOfDateTime(times.utcBegin))
          << QStringLiteral("date_end    %1").arg(dateText(times.end))
          << QStringLiteral("time_end    %1").arg(timeTextOfDateTime(times.end))
          << QStringLiteral("module      %1").arg(selection.module)
          << QStringLiteral("ray         %1").arg(selection.ray)
          << QStringLiteral("tres        %1").arg(QString::number(file.tresolution, 'g', 16))
          << QStringLiteral("npoints     %1").arg(selection.count)
          << QStringLiteral("nbands      %1").arg(std::max(file.nChannels - 1, 0))
          << QStringLiteral("wbands      %1").arg(oneLine(file.wbands))
          << QStringLiteral("fbands      %1").arg(frequencyListText(file));
    lines.prepend(QStringLiteral("numpar      %1").arg(lines.size() + 1));

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailure(out, error);
    SaveBuffer buffer(out);
    buffer.append((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toLatin1());

    const int firstRay = allRays ? 0 : selection.ray - file.firstRay;
    const int lastRay = allRays ? file.nRays - 1 : firstRay;
    PointProgress points(progress, selection.count);
    if (!points.written(0))
        return stoppedSave(out, error);
    const qint64 end = qint64(selection.startPoint) + selection.count;
    for (qint64 p = selection.startPoint; p < end && buffer.ok(); ++p) {
        for (int r = firstRay; r <= lastRay; ++r) {
            for (int c = 0; c < file.nChannels; ++c) {
                char bytes[4];
                putLittleEndianFloat(nativeSample(file, moduleIndex, r, c, p), bytes);
                buffer.append(bytes, sizeof bytes);
            }
        }
        if (!points.written(p - selection.startPoint + 1))
            return stoppedSave(out, error);
    }
    if (nativeSamplesLost(file))
        return sourceChanged(out, error);
    if (!buffer.flush())
        return cancelSave(out, error);
    if (!out.commit())
        return saveFailure(out, error);
    return true;
}
