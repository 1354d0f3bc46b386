#include "data/nativereader.h"

#include "astro/beamtables.h"
#include "astro/filenames.h"
#include "astro/timecoords.h"
#include "data/mappingguard.h"
#include "data/nativetext.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace {

// Bounds that keep a damaged or hostile passport from exhausting memory:
// real passports are a few kilobytes.
constexpr int maxPassportLineBytes = 1 << 20;
constexpr qint64 maxPassportBytes = qint64(16) << 20;
constexpr int minPassportLines = 16;

// False when the caller asks the read to stop.
bool report(const NativeProgress &progress, int percent)
{
    return !progress || progress(percent);
}

bool fail(NativeFile *file, qint32 code)
{
    file->clearSamples();
    file->npoints = code;
    return false;
}

enum class LineRead { Ok, End, TooLong };

// One line with its line feed, at most maxPassportLineBytes long.
LineRead readPassportLine(QFile &in, std::vector<char> &buffer, QByteArray *line)
{
    buffer.resize(size_t(maxPassportLineBytes) + 1);
    const qint64 n = in.readLine(buffer.data(), maxPassportLineBytes + 1);
    if (n <= 0)
        return LineRead::End;
    *line = QByteArray(buffer.data(), int(n));
    if (n >= maxPassportLineBytes && buffer[size_t(n) - 1] != '\n' && !in.atEnd())
        return LineRead::TooLong;
    return LineRead::Ok;
}

QString decodeLine(const QByteArray &bytes)
{
    // Every byte one character, a zero byte too.
    QString text = QString::fromLatin1(bytes.constData(), bytes.size());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return text;
}

int intValue(const QString &text, bool *ok = nullptr)
{
    return text.trimmed().toInt(ok);
}

// Text after the last directory separator of either platform.
QString withoutDirectories(const QString &path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

qint64 passportFailure(NativeFile *file, qint32 code)
{
    file->npoints = code;
    return code;
}

// Passport fields of a fresh record, keeping the samples the caller owns.
void resetPassport(NativeFile *file)
{
    NativeFile fresh;
    fresh.loaded = file->loaded;
    fresh.samples = std::move(file->samples);
    fresh.mapping = std::move(file->mapping);
    *file = std::move(fresh);
}

// Copies `count` points of one slot (module, ray, channel) out of file order.
template <qint64 count>
inline void dealSlot(const float *in, qint64 stride, float *out)
{
    for (qint64 k = 0; k < count; ++k)
        out[k] = in[k * stride];
}

// Writes the values of whole points from file order into the channel-major
// array. Works on blocks of points small enough to stay in the first-level
// cache, so that both the reads and the writes run along cache lines.
void dealPoints(const float *src, qint64 pointCount, qint64 stride, float *dst, qint64 npoints,
                qint64 firstPoint)
{
    constexpr qint64 block = 16;
    qint64 pb = 0;
    for (; pb + block <= pointCount; pb += block) {
        const float *in = src + pb * stride;
        float *out = dst + firstPoint + pb;
        for (qint64 s = 0; s < stride; ++s)
            dealSlot<block>(in + s, stride, out + s * npoints);
    }
    for (; pb < pointCount; ++pb) {
        const float *in = src + pb * stride;
        float *out = dst + firstPoint + pb;
        for (qint64 s = 0; s < stride; ++s)
            out[s * npoints] = in[s];
    }
}

// Deals count file-order values, the first of which has file-order index flat.
void dealValues(const float *src, qint64 count, qint64 flat, qint64 stride, float *dst, qint64 npoints)
{
    qint64 point = flat / stride;
    qint64 slot = flat % stride;
    qint64 done = 0;
    while (slot != 0 && done < count) {
        dst[slot * npoints + point] = src[done++];
        if (++slot == stride) {
            slot = 0;
            ++point;
        }
    }
    const qint64 whole = (count - done) / stride;
    dealPoints(src + done, whole, stride, dst, npoints, point);
    done += whole * stride;
    point += whole;
    while (done < count)
        dst[slot++ * npoints + point] = src[done++];
}

void toHostOrder(float *values, qint64 count)
{
    if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN) {
        for (qint64 i = 0; i < count; ++i) {
            quint32 bits;
            std::memcpy(&bits, values + i, sizeof bits);
            bits = qFromLittleEndian(bits);
            std::memcpy(values + i, &bits, sizeof bits);
        }
    } else {
        Q_UNUSED(values)
        Q_UNUSED(count)
    }
}

// The common start of both binary readers: progress 0, the old samples
// dropped, the passport parsed. Returns the passport length, or -1 after
// storing the error code.
qint64 beginBinaryRead(const QString &path, NativeFile *file, const NativeProgress &progress)
{
    file->clearSamples();
    if (!report(progress, 0)) {
        fail(file, NativeError::Cancelled);
        return -1;
    }
    const qint64 passportLength = parsePassport(path, file);
    if (passportLength < 0) {
        fail(file, file->npoints < 0 ? file->npoints : NativeError::CannotOpen);
        return -1;
    }
    return passportLength;
}

} // namespace

qint64 maxSampleArraySize()
{
    // A Qt 5 array block, header included, must stay below INT_MAX bytes.
    return (qint64(std::numeric_limits<int>::max()) - 64) / qint64(sizeof(float));
}

QString intervalText(const QString &valueText, int shift)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+)(?:\\.([0-9]*))?(?:[eE]([+-]?[0-9]+))?$"));
    const QString text = valueText.trimmed();
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return text;
    bool exponentOk = false;
    qint64 exponent = match.captured(3).toLongLong(&exponentOk);
    if (!exponentOk && !match.captured(3).isEmpty())
        exponent = match.captured(3).startsWith(QLatin1Char('-')) ? -1000 : 1000;
    exponent = std::clamp<qint64>(exponent, -1000, 1000);
    const qint64 decimals =
        std::clamp<qint64>(match.captured(2).size() + qint64(shift) - exponent, 0, 16);
    return QString::number(text.toDouble() / std::pow(10.0, shift), 'f', int(decimals));
}

QString trimmedHeaderValue(const QString &text)
{
    const auto blank = [](QChar c) { return c.unicode() == ' ' || (c.unicode() >= '\t' && c.unicode() <= '\r'); };
    int begin = 0;
    int end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool splitBeginHalves(const QString &value, QString *local, QString *utc)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList parts = value.split(blanks, Qt::SkipEmptyParts);
    const bool ok = parts.size() >= 3 && parts.at(1) == QLatin1String("UTC");
    if (local)
        *local = ok ? parts.at(0) : QString();
    if (utc)
        *utc = ok ? parts.at(2) : QString();
    return ok;
}

qint64 parsePassport(const QString &path, NativeFile *file)
{
    if (!file)
        return NativeError::CannotOpen;
    resetPassport(file);
    file->path = path;
    file->fileName = QFileInfo(path).fileName();
    file->nativeFileName = file->fileName;
    file->plosh = file->fileName.mid(10, 2);
    file->observationDate = dateFromFileName(file->fileName);
    file->firstPoint = 0;
    file->npoints = 0;

    // Only regular files: opening a pipe could block, a device never ends.
    QFile in(path);
    if (!QFileInfo(path).isFile() || !in.open(QIODevice::ReadOnly))
        return passportFailure(file, NativeError::CannotOpen);

    std::vector<char> buffer;
    QByteArray line;
    if (readPassportLine(in, buffer, &line) != LineRead::Ok)
        return passportFailure(file, NativeError::BadHeader);
    qint64 passportLength = line.size();
    const QString first = decodeLine(line);
    const int blank = first.indexOf(QLatin1Char(' '), 1);
    const int numpar = blank >= 1 ? intValue(first.mid(blank + 1)) : 0;
    if (numpar < minPassportLines)
        return passportFailure(file, NativeError::BadHeader);

    QHash<QString, QString> keys;
    for (int i = 2; i <= numpar; ++i) {
        const LineRead status = readPassportLine(in, buffer, &line);
        if (status == LineRead::End)
            break;
        passportLength += line.size();
        if (status == LineRead::TooLong || passportLength > maxPassportBytes)
            return passportFailure(file, NativeError::BadHeader);
        const QString text = decodeLine(line);
        const int cut = text.indexOf(QLatin1Char(' '));
        if (cut <= 0)
            continue;
        int valueStart = cut + 1;
        while (valueStart < text.size() && text.at(valueStart) == QLatin1Char(' '))
            ++valueStart;
        keys.insert(text.left(cut), text.mid(valueStart));
    }
    const auto has = [&keys](const char *key) { return keys.contains(QLatin1String(key)); };
    const auto value = [&keys](const char *key) { return keys.value(QLatin1String(key)); };

    const int npoints = has("npoints") ? intValue(value("npoints")) : 0;
    if (npoints < 1)
        return passportFailure(file, NativeError::BadHeader);
    file->npoints = npoints;
    const qint64 channels = value("nbands").trimmed().toLongLong() + 1;
    if (channels > std::numeric_limits<qint32>::max() || channels < std::numeric_limits<qint32>::min())
        return passportFailure(file, NativeError::BadHeader);
    file->nChannels = qint32(channels);

    const QStringList modules =
        (has("modulus") ? value("modulus") : value("module")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    file->nModules = modules.size();
    file->firstModule = modules.isEmpty() ? 1 : intValue(modules.first());
    const int ray = intValue(value("ray"));
    file->firstRay = ray > 0 ? ray : 1;
    file->nRays = has("rays") ? intValue(value("rays")) : (ray > 0 ? 1 : 8);
    for (const QString &item : value("fbands").split(QLatin1Char(' '), Qt::SkipEmptyParts))
        file->fbands.append(item.toDouble());

    const bool milliseconds = has("tresolution");
    if (!milliseconds && !has("tres"))
        return passportFailure(file, NativeError::BadHeader);
    const QString intervalValue = milliseconds ? value("tresolution") : value("tres");
    bool intervalOk = false;
    const double interval = intervalValue.trimmed().toDouble(&intervalOk) / (milliseconds ? 1000.0 : 1.0);
    if (!intervalOk || !std::isfinite(interval) || !(interval > 0.0))
        return passportFailure(file, NativeError::BadHeader);
    file->tresolution = interval;
    file->tresolutionText = intervalText(intervalValue, milliseconds ? 3 : 0);

    const QString firstPoint =
        has("firstPoint") ? value("firstPoint") : (has("first_point") ? value("first_point") : QStringLiteral("0"));
    file->firstPoint = intValue(firstPoint);
    const QString parent = withoutDirectories(trimmedHeaderValue(value("nativeFileName")));
    if (!parent.isEmpty())
        file->nativeFileName = parent;
    if (has("area"))
        file->plosh = trimmedHeaderValue(value("area"));
    file->wbands = value("wbands");
    file->source = trimmedHeaderValue(value("source"));
    file->alpha = trimmedHeaderValue(has("alpha") ? value("alpha") : value("alfa"));
    file->delta = trimmedHeaderValue(value("delta"));
    file->fcentral = trimmedHeaderValue(value("fcentral"));
    file->wbTotal = trimmedHeaderValue(value("wb_total"));

    if (file->plosh == QLatin1String("N4")) {
        static const QRegularExpression position(
            QStringLiteral("^kvxII\\s+([0-9]{2})\\s+([0-9])\\s+([0-9]{2})\\s+([0-9])"));
        const QRegularExpressionMatch match = position.match(file->source);
        if (!match.hasMatch())
            return passportFailure(file, NativeError::BadHeader);
        const QString key = QStringLiteral("%1 %2 %3").arg(match.captured(1), match.captured(2), match.captured(4));
        const auto found = positionCodeTable().constFind(key);
        if (found == positionCodeTable().constEnd())
            return passportFailure(file, NativeError::BadHeader);
        file->positionCodeKey = key;
        file->firstModule = found->index;
        file->nModules = 1;
    }

    QString localDate, utcDate, localTime, utcTime;
    splitBeginHalves(value("date_begin"), &localDate, &utcDate);
    splitBeginHalves(value("time_begin"), &localTime, &utcTime);
    file->localBeginDate = passportDateToInternal(localDate);
    file->utcBeginDate = passportDateToInternal(utcDate);
    file->localBeginTime = normalizeTimeText(localTime);
    file->utcBeginTime = normalizeTimeText(utcTime);
    file->zone = has("zone") ? intValue(value("zone"))
                             : timeZoneHours(file->localBeginDate, file->localBeginTime, file->utcBeginDate,
                                             file->utcBeginTime);

    if (!checkFileSize(path, passportLength, file->npoints, file->nModules, file->nRays, file->nChannels))
        return passportFailure(file, NativeError::SizeMismatch);
    return passportLength;
}

bool checkFileSize(const QString &path, qint64 passportLength, qint64 npoints, qint64 nModules,
                   qint64 nRays, qint64 nChannels)
{
    if (passportLength < 0 || npoints < 0 || nModules < 0 || nRays < 0 || nChannels < 0)
        return false;
    qint64 expected = npoints;
    if (__builtin_mul_overflow(expected, nModules, &expected) || __builtin_mul_overflow(expected, nRays, &expected)
        || __builtin_mul_overflow(expected, nChannels, &expected)
        || __builtin_mul_overflow(expected, qint64(sizeof(float)), &expected)
        || __builtin_add_overflow(expected, passportLength, &expected))
        return false;
    const QFileInfo info(path);
    return info.exists() && info.size() == expected;
}

namespace {

bool isTextSuffix(const QFileInfo &info)
{
    return info.suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool isMappedNativeFile(const QString &path)
{
    const QFileInfo info(path);
    return !isTextSuffix(info) && info.size() >= nativeMappedThreshold;
}

bool readNativeFile(const QString &path, NativeFile *file, const NativeProgress &progress)
{
    if (isTextSuffix(QFileInfo(path)))
        return readNativeText(path, file, progress);
    if (isMappedNativeFile(path))
        return readBinaryMapped(path, file, progress);
    return readBinaryStreamed(path, file, progress);
}

bool readBinaryStreamed(const QString &path, NativeFile *file, const NativeProgress &progress)
{
    if (!file)
        return false;
    const qint64 passportLength = beginBinaryRead(path, file, progress);
    if (passportLength < 0)
        return false;

    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return fail(file, NativeError::BadHeader);
    const qint64 total = file->declaredSampleCount();
    if (total < 1)
        return fail(file, NativeError::BadHeader);
    if (total > maxSampleArraySize())
        return fail(file, NativeError::TooLarge);
    try {
        file->samples.resize(int(total));
    } catch (const std::bad_alloc &) {
        return fail(file, NativeError::TooLarge);
    }
    file->loaded = true;
    if (!in.seek(passportLength))
        return fail(file, NativeError::EndOfData);

    const qint64 npoints = file->npoints;
    const qint64 stride = total / npoints;
    const qint64 step = std::max<qint64>(npoints / 100, 1);
    float *dst = file->samples.data();
    std::unique_ptr<float[]> chunk(new float[size_t(nativeReadChunkBytes / sizeof(float))]);
    char *bytes = reinterpret_cast<char *>(chunk.get());

    qint64 flat = 0;       // values dealt so far
    qint64 carry = 0;      // bytes of an incomplete value at the start of the chunk
    qint64 nextReport = step;
    int percent = 0;
    while (flat < total) {
        const qint64 got = in.read(bytes + carry, nativeReadChunkBytes - carry);
        if (got <= 0)
            return fail(file, NativeError::EndOfData);
        const qint64 available = carry + got;
        const qint64 count = std::min(available / qint64(sizeof(float)), total - flat);
        toHostOrder(chunk.get(), count);
        dealValues(chunk.get(), count, flat, stride, dst, npoints);
        flat += count;
        carry = available - count * qint64(sizeof(float));
        if (carry > 0)
            std::memmove(bytes, bytes + count * qint64(sizeof(float)), size_t(carry));

        const qint64 pointsDone = flat / stride;
        bool reported = false;
        for (; nextReport <= pointsDone; nextReport += step) {
            percent = int(nextReport * 100 / npoints);
            if (!report(progress, percent))
                return fail(file, NativeError::Cancelled);
            reported = true;
        }
        if (pointsDone == npoints && npoints % step != 0) {
            percent = 100;
            if (!report(progress, percent))
                return fail(file, NativeError::Cancelled);
            reported = true;
        }
        // A chunk that ends no step still hears a stop request.
        if (!reported && !report(progress, percent))
            return fail(file, NativeError::Cancelled);
    }
    in.close();
    if (!report(progress, 100))
        return fail(file, NativeError::Cancelled);
    return true;
}

bool readBinaryMapped(const QString &path, NativeFile *file, const NativeProgress &progress)
{
    if (!file)
        return false;
    const qint64 passportLength = beginBinaryRead(path, file, progress);
    if (passportLength < 0)
        return false;

    auto mapping = std::make_shared<NativeMapping>();
    mapping->file = std::make_unique<QFile>(path);
    if (!mapping->file->open(QIODevice::ReadOnly))
        return fail(file, NativeError::BadHeader);
    const qint64 total = file->declaredSampleCount();
    if (total < 1)
        return fail(file, NativeError::BadHeader);
    uchar *bytes = mapping->file->map(passportLength, total * qint64(sizeof(float)));
    if (!bytes)
        return fail(file, NativeError::EndOfData);
    mapping->bytes = bytes;
    mapping->count = total;
    mapping->offset = passportLength;
    // A mapping the guard does not know would end the program if the file shrank.
    mapping->guard = MappingGuard::add(bytes, total * qint64(sizeof(float)));
    if (mapping->guard < 0)
        return fail(file, NativeError::EndOfData);
    // The record, and with it the file, may be released on another thread.
    mapping->file->moveToThread(nullptr);
    file->mapping = std::move(mapping);
    file->loaded = true;
    if (!report(progress, 100))
        return fail(file, NativeError::Cancelled);
    // Checked last: the file may have been cut short since its size was
    // checked, while it was mapped or while the caller heard the last report.
    if (file->mapping->lost())
        return fail(file, NativeError::EndOfData);
    return true;
}

float nativeSample(const NativeFile &file, int moduleIndex, int rayIndex, int channel, qint64 point)
{
    if (!file.loaded || moduleIndex < 0 || moduleIndex >= file.nModules || rayIndex < 0
        || rayIndex >= file.nRays || channel < 0 || channel >= file.nChannels || point < 0
        || point >= file.npoints)
        return 0.0f;
    if (file.mapping) {
        const qint64 index =
            ((point * file.nModules + moduleIndex) * file.nRays + rayIndex) * file.nChannels + channel;
        return index < file.mapping->count ? file.mapping->at(index) : 0.0f;
    }
    const qint64 index =
        ((qint64(moduleIndex) * file.nRays + rayIndex) * file.nChannels + channel) * file.npoints + point;
    return index < file.samples.size() ? file.samples.at(int(index)) : 0.0f;
}

bool nativeSamplesLost(const NativeFile &file)
{
    return file.mapping && file.mapping->lost();
}

bool checkSelection(const NativeFile &file, const NativeSelection &selection, bool singleRayRequired,
                    int *moduleIndex, QString *error)
{
    bool ok;
    if (selection.ray == 0) {
        ok = file.nRays == 8 && file.firstRay == 1 && !singleRayRequired;
    } else {
        const qint64 rayIndex = qint64(selection.ray) - file.firstRay;
        ok = rayIndex >= 0 && rayIndex < file.nRays;
    }
    const qint64 module = qint64(selection.module) - file.firstModule;
    ok = ok && module >= 0 && module < file.nModules;
    ok = ok && file.loaded && selection.startPoint >= 0 && selection.count > 0
        && qint64(selection.startPoint) + selection.count <= file.npoints;
    if (!ok) {
        if (error)
            *error = QStringLiteral("Invalid data range, module or ray.");
        return false;
    }
    if (moduleIndex)
        *moduleIndex = int(module);
    return true;
}

QStringList validateNativeFile(const NativeFile &file)
{
    QStringList problems;
    if (!file.loaded)
        problems << QStringLiteral("The signal array was not loaded.");
    if (file.npoints < 1)
        problems << QStringLiteral("npoints must be greater than zero.");
    const bool shapeOk = file.nModules >= 1 && file.nRays >= 1 && file.nChannels >= 1;
    if (!shapeOk)
        problems << QStringLiteral("The numbers of modules, beams and channels must be positive.");
    if (!std::isfinite(file.tresolution) || !(file.tresolution > 0.0))
        problems << QStringLiteral("tresolution must be a positive number.");
    if (file.firstPoint < 0)
        problems << QStringLiteral("firstPoint cannot be negative.");
    const QDate date = QDate::fromString(file.utcBeginDate, QStringLiteral("yyyy.MM.dd"));
    const QTime time = QTime::fromString(file.utcBeginTime.left(8), QStringLiteral("hh:mm:ss"));
    if (!date.isValid() || !time.isValid())
        problems << QStringLiteral("A valid UTC date and time are required.");
    if (file.plosh.isEmpty())
        problems << QStringLiteral("The observatory site is not specified.");
    if (file.fbands.size() < std::max(file.nChannels - 1, 0))
        problems << QStringLiteral("The channel frequency list is shorter than the physical channel count.");
    if (shapeOk && file.npoints >= 1) {
        const qint64 declared = file.declaredSampleCount();
        if (declared < 0 || file.sampleCount() < declared)
            problems << QStringLiteral("The signal array is shorter than declared in the passport.");
    }
    return problems;
}
