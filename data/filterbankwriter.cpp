#include "data/filterbankwriter.h"

#include "data/exchangesource.h"
#include "data/nativetimes.h"
#include "data/pointprogress.h"
#include "data/savebuffer.h"

#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Floats of one piece of output: large writes, and a mapped piece small
// enough to come and go without weighing on memory.
constexpr qint64 pieceFloats = qint64(1) << 20;
// Points of a tile of the in-memory transposition.
constexpr qint64 tilePoints = 1024;
// Share of the spacing a channel may lie off its even place.
constexpr double spacingTolerance = 0.01;

class HeaderWriter
{
public:
    void string(const QByteArray &text)
    {
        integer(qint32(text.size()));
        m_bytes += text;
    }
    void integer(const char *key, qint32 value)
    {
        string(key);
        integer(value);
    }
    void real(const char *key, double value)
    {
        string(key);
        char bytes[sizeof(double)];
        qToLittleEndian(value, bytes);
        m_bytes.append(bytes, sizeof bytes);
    }
    void text(const char *key, const QString &value)
    {
        string(key);
        // Passport texts are kept byte for byte as Latin-1.
        string(value.toLatin1());
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    void integer(qint32 value)
    {
        char bytes[sizeof value];
        qToLittleEndian(value, bytes);
        m_bytes.append(bytes, sizeof bytes);
    }

    QByteArray m_bytes;
};

QByteArray header(const NativeFile &file, const NativeSelection &selection, const FilterbankChannels &channels)
{
    const ExchangeSource source = exchangeSource(file, selection);
    HeaderWriter h;
    h.string("HEADER_START");
    h.integer("telescope_id", 0);
    h.integer("machine_id", 0);
    h.integer("data_type", 1);
    h.text("source_name", source.name);
    if (source.hasAlpha)
        h.real("src_raj", sigprocSexagesimal(source.alphaSeconds));
    if (source.hasDelta)
        h.real("src_dej", sigprocSexagesimal(source.deltaArcseconds));
    h.real("tstart", utcMjdOfPoint(file, selection.startPoint).value());
    h.real("tsamp", file.tresolution);
    h.integer("nbits", 32);
    h.real("fch1", channels.fch1);
    h.real("foff", channels.foff);
    h.integer("nchans", channels.order.size());
    h.integer("nifs", 1);
    h.integer("nbeams", file.nRays);
    h.integer("ibeam", selection.ray);
    h.string("HEADER_END");
    return h.bytes();
}

} // namespace

bool filterbankChannels(const NativeFile &file, FilterbankChannels *channels, QString *error)
{
    const int count = file.nChannels - 1;
    const auto refuse = [error](const char *text) {
        if (error)
            *error = QString::fromLatin1(text);
        return false;
    };
    if (count < 1)
        return refuse("The file holds no frequency channel.");
    if (file.fbands.size() < count)
        return refuse("The channel frequency list is shorter than the physical channel count.");
    QVector<int> order(count);
    for (int c = 0; c < count; ++c) {
        if (!std::isfinite(file.fbands.at(c)))
            return refuse("A channel frequency is not a number.");
        order[c] = c;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&file](int a, int b) { return file.fbands.at(a) > file.fbands.at(b); });
    const double fch1 = file.fbands.at(order.first());
    if (count == 1) {
        const double width = firstChannelWidth(file);
        if (!(width > 0.0))
            return refuse("A filterbank header needs the width of a single channel, "
                          "and the passport gives none (wbands).");
        if (channels)
            *channels = {order, fch1, -width};
        return true;
    }
    const double foff = (file.fbands.at(order.last()) - fch1) / (count - 1);
    bool even = foff < 0.0;
    for (int k = 1; k < count - 1 && even; ++k)
        even = std::fabs(file.fbands.at(order.at(k)) - (fch1 + k * foff)) <= spacingTolerance * -foff;
    if (!even)
        return refuse("The channel frequencies are not evenly spaced, and a filterbank header "
                      "can only describe evenly spaced channels.");
    if (channels)
        *channels = {order, fch1, foff};
    return true;
}

bool writeFilterbank(const QString &path, const NativeFile &file, const NativeSelection &selection,
                     QString *error, const NativeProgress &progress)
{
    int moduleIndex = 0;
    if (!checkSelection(file, selection, true, &moduleIndex, error))
        return false;
    const qint64 declared = file.declaredSampleCount();
    if (declared < 0 || file.sampleCount() < declared) {
        if (error)
            *error = QStringLiteral("The signal array is shorter than declared in the passport.");
        return false;
    }
    FilterbankChannels channels;
    if (!filterbankChannels(file, &channels, error))
        return false;

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return saveFailure(out, error);
    const QByteArray head = header(file, selection, channels);
    if (!writeAll(out, head.constData(), head.size()))
        return cancelSave(out, error);

    const int rayIndex = selection.ray - file.firstRay;
    const int nchans = channels.order.size();
    const qint64 beam = qint64(moduleIndex) * file.nRays + rayIndex;
    const qint64 rowStride = qint64(file.nModules) * file.nRays * file.nChannels;
    const qint64 piecePoints = std::max<qint64>(1, pieceFloats / nchans);
    std::vector<char> piece(size_t(piecePoints * nchans * 4));
    PointProgress points(progress, selection.count);
    if (!points.written(0))
        return stoppedSave(out, error);
    const qint64 end = qint64(selection.startPoint) + selection.count;
    for (qint64 p0 = selection.startPoint; p0 < end; p0 += piecePoints) {
        const qint64 n = std::min(piecePoints, end - p0);
        if (file.mapping) {
            const NativeMapping &map = *file.mapping;
            const qint64 first = p0 * rowStride + beam * file.nChannels;
            for (qint64 i = 0; i < n; ++i) {
                const qint64 row = first + i * rowStride;
                char *to = piece.data() + i * nchans * 4;
                for (int k = 0; k < nchans; ++k)
                    putLittleEndianFloat(map.at(row + channels.order.at(k)), to + 4 * k);
            }
            map.releasePages(p0 * rowStride, n * rowStride);
        } else {
            // Channel-major in memory: each channel's points run on, and go
            // to every nchans-th float of the piece, a tile at a time so that
            // the tile being filled stays in the cache.
            const float *samples = file.samples.constData() + beam * file.nChannels * file.npoints + p0;
            for (qint64 i0 = 0; i0 < n; i0 += tilePoints) {
                const qint64 tile = std::min(tilePoints, n - i0);
                for (int k = 0; k < nchans; ++k) {
                    const float *from = samples + qint64(channels.order.at(k)) * file.npoints + i0;
                    char *to = piece.data() + (i0 * nchans + k) * 4;
                    for (qint64 i = 0; i < tile; ++i)
                        putLittleEndianFloat(from[i], to + i * nchans * 4);
                }
            }
        }
        if (!writeAll(out, piece.data(), n * nchans * 4))
            return cancelSave(out, error);
        if (!points.written(p0 + n - selection.startPoint))
            return stoppedSave(out, error);
    }
    if (nativeSamplesLost(file))
        return sourceChanged(out, error);
    if (!out.commit())
        return saveFailure(out, error);
    return true;
}
