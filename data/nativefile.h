#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtEndian>

#include <cstring>
#include <memory>

class QFile;

// A read-only mapping of a native file's sample block. It owns the open file;
// the mapping stays valid while any NativeFile copy holds this object.
// Immutable after construction, safe to read from any thread. When the file
// shrinks on disk, the mapping guard puts zeros in place of the block and
// `lost` turns true (for a mapping registered with the guard).
struct NativeMapping
{
    std::unique_ptr<QFile> file;
    const uchar *bytes = nullptr;   // start of the sample block (not always 4-byte aligned)
    qint64 count = 0;               // number of mapped floats
    qint64 offset = 0;              // file offset of the sample block
    int guard = -1;                 // MappingGuard registration, -1 when unguarded

    // True when the file no longer holds the whole block: a page past its new
    // end was touched, or it is shorter now. What was read may be zeros.
    bool lost() const;

    // Float at file-order index i; no bounds check. The file is little-endian.
    float at(qint64 i) const
    {
        const quint32 bits = qFromLittleEndian<quint32>(bytes + 4 * i);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // Hands the pages of the floats [first, first + count) back to the
    // system: a pass over a file far larger than it needs at once keeps
    // only the part it works on. Touched again, they are read from the file.
    void releasePages(qint64 first, qint64 count) const;

    NativeMapping();
    ~NativeMapping();
    NativeMapping(const NativeMapping &) = delete;
    NativeMapping &operator=(const NativeMapping &) = delete;
};

// The in-memory record of one native observation file: passport fields,
// dimensions and samples. Samples are either one channel-major array
// (streamed files; implicitly shared, so copies are cheap) or a shared
// read-only mapping in file order (files of 2 GiB and more).
// A value type with no thread affinity: a reader fills it on one thread and
// hands it over whole. Reading a new file into a record replaces everything.
struct NativeFile
{
    bool loaded = false;
    qint32 npoints = 0;          // negative: a read error code (NativeError)
    qint32 nModules = 0;
    qint32 nChannels = 0;        // frequency channels plus the receiver's total
    qint32 nRays = 0;
    qint32 firstModule = 1;
    qint32 firstRay = 1;
    qint32 firstPoint = 0;

    double tresolution = 0.0;    // seconds
    QString tresolutionText;

    QString path;
    QString fileName;
    QString nativeFileName;      // the observation file this one was cut from
    QString plosh;               // site code
    QString positionCodeKey;     // site N4 only, e.g. "12 0 1"
    QString observationDate;     // "yyyy.MM.dd", from the file name
    QString source;
    QString alpha;
    QString delta;
    QString fcentral;
    QString wbTotal;

    QString localBeginDate;      // "yyyy.MM.dd"
    QString localBeginTime;      // "hh:mm:ss" or "hh:mm:ss.zzz"
    QString utcBeginDate;
    QString utcBeginTime;
    qint32 zone = 0;             // hours of local time ahead of UTC

    QString wbands;
    QVector<double> fbands;      // MHz, in channel order

    QVector<float> samples;      // channel-major: ((m*nRays + r)*nChannels + c)*npoints + p
    std::shared_ptr<const NativeMapping> mapping;   // file order when set

    // Number of samples actually held (array size or mapped count).
    qint64 sampleCount() const;
    // npoints * nModules * nRays * nChannels, or -1 when a dimension is below 1
    // or the product does not fit in 64 bits.
    qint64 declaredSampleCount() const;
    // Drops samples and mapping and marks the record unloaded.
    void clearSamples();
};

// Error codes stored in NativeFile::npoints after a failed read.
namespace NativeError {
constexpr qint32 CannotOpen = -1;
constexpr qint32 SizeMismatch = -2;
constexpr qint32 BadHeader = -3;
constexpr qint32 TooLarge = -4;      // the samples do not fit in one array in memory
constexpr qint32 Cancelled = -5;     // the caller asked the read to stop
constexpr qint32 EndOfData = -9;
}

// Addresses part of a record: module number, ray number (0 = all rays),
// start point, point count and the delta text written into extracts.
struct NativeSelection
{
    qint32 module = 0;
    qint32 ray = 0;
    qint32 startPoint = 0;
    qint32 count = 0;
    QString delta;
};
