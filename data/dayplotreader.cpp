#include "data/dayplotreader.h"

#include "astro/beamtables.h"
#include "astro/channelsumstream.h"
#include "astro/filenames.h"
#include "data/channelsum.h"
#include "data/greendates.h"
#include "data/mappingguard.h"
#include "data/nativereader.h"
#include "data/nativetext.h"

#include <QDate>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Bytes of a binary file mapped at a time: large enough that mapping costs
// little beside the adding, small enough that a file per core stays far below
// the size of the files. A file that cannot be mapped is read() in pieces
// small enough for the second-level cache.
constexpr qint64 mapPieceBytes = qint64(4) << 20;
constexpr qint64 readPieceBytes = 256 * 1024;

bool isStopped(const std::function<bool()> &stopRequested)
{
    return stopRequested && stopRequested();
}

// The date of the file name when it is a real date, else the passport's local
// begin date, else its UTC begin date.
QString dayDate(const QString &fileName, const NativeFile &header)
{
    const QString fromName = dateFromFileName(fileName);
    if (QDate::fromString(fromName, QStringLiteral("yyyy.MM.dd")).isValid())
        return fromName;
    return header.localBeginDate.isEmpty() ? header.utcBeginDate : header.localBeginDate;
}

// The site of the file name, else of the passport's parent file name, else the
// passport's site when it is one of the four sites.
QString daySite(const QString &fileName, const NativeFile &header)
{
    QString site = ploshFromPath(fileName);
    if (site.isEmpty())
        site = ploshFromPath(header.nativeFileName);
    if (site.isEmpty() && isKnownPlosh(header.plosh))
        site = header.plosh;
    return site;
}

void fillDay(const QString &path, const NativeFile &header, QVector<double> sumDm0, QVector<double> sumDm,
             DayPlot *day)
{
    const QFileInfo info(path);
    day->filePath = path;
    day->fileName = info.fileName();
    day->suffix = info.suffix().toLower();
    day->date = dayDate(day->fileName, header);
    day->plosh = daySite(day->fileName, header);
    day->tresolutionText = header.tresolutionText;
    day->tresolution = header.tresolution;
    day->channelSumDm0 = std::move(sumDm0);
    day->channelSumDm = std::move(sumDm);
}

// The text form is read whole (such files are small); its samples are
// dropped when the function returns.
bool readTextDay(const QString &path, double dm, DayPlot *day, bool *severalPairs)
{
    NativeFile file;
    if (!readNativeText(path, &file) || file.nModules < 1 || file.nRays < 1)
        return false;
    if (file.nModules > 1 || file.nRays > 1) {
        *severalPairs = true;
        return false;
    }
    QVector<double> sumDm0;
    QVector<double> sumDm;
    if (dispersedChannelSum(file, &sumDm0, 0, 0.0, 0, 0, file.npoints) <= 0
        || dispersedChannelSum(file, &sumDm, 0, dm, 0, 0, file.npoints) <= 0)
        return false;
    fillDay(path, file, std::move(sumDm0), std::move(sumDm), day);
    return true;
}

enum class MappedRead { Done, NotMapped, Failed };

// Adds the sample rows of an open binary file to the stream from its next
// row on, a mapped piece at a time. NotMapped when a piece cannot be mapped
// (the caller reads the rest); Failed when the read was abandoned or the file
// was cut short meanwhile.
MappedRead addMappedRows(QFile &in, qint64 passportLength, qint64 rowBytes, qint64 npoints,
                         ChannelSumStream &stream, const std::function<bool()> &stopRequested)
{
    // Whole rows, eight at a time where they fit, which the adding likes best.
    const qint64 pieceRows = std::max(mapPieceBytes / rowBytes / 8 * 8, qint64(1));
    while (stream.rowsDone() < npoints) {
        if (isStopped(stopRequested))
            return MappedRead::Failed;
        const qint64 rows = std::min(pieceRows, npoints - stream.rowsDone());
        const qint64 bytes = rows * rowBytes;
        uchar *piece = in.map(passportLength + stream.rowsDone() * rowBytes, bytes);
        if (!piece)
            return MappedRead::NotMapped;
        // Without the guard a file cut short while it is mapped would end the program.
        const int guard = MappingGuard::add(piece, bytes);
        if (guard < 0) {
            in.unmap(piece);
            return MappedRead::NotMapped;
        }
        stream.addRows(piece, rows);
        const bool lost = MappingGuard::isLost(guard);
        MappingGuard::remove(guard);
        in.unmap(piece);
        if (lost)
            return MappedRead::Failed;
    }
    return MappedRead::Done;
}

// The same with read(), through one buffer.
bool addReadRows(QFile &in, qint64 passportLength, qint64 rowBytes, qint64 npoints, ChannelSumStream &stream,
                 const std::function<bool()> &stopRequested)
{
    if (!in.seek(passportLength + stream.rowsDone() * rowBytes))
        return false;
    const qint64 capacity = std::max(readPieceBytes / rowBytes, qint64(1)) * rowBytes;
    std::unique_ptr<uchar[]> piece(new (std::nothrow) uchar[size_t(capacity)]);
    if (!piece)
        return false;
    qint64 carry = 0;   // bytes of an incomplete row at the start of the piece
    while (stream.rowsDone() < npoints) {
        if (isStopped(stopRequested))
            return false;
        const qint64 got = in.read(reinterpret_cast<char *>(piece.get()) + carry, capacity - carry);
        if (got <= 0)
            return false;   // the file got shorter since its passport was read
        const qint64 available = carry + got;
        const qint64 rows = available / rowBytes;
        stream.addRows(piece.get(), rows);
        carry = available - rows * rowBytes;
        if (carry > 0)
            std::memmove(piece.get(), piece.get() + rows * rowBytes, size_t(carry));
    }
    return true;
}

// Binary files are summed as they are read, a piece at a time.
bool readBinaryDay(const QString &path, double dm, DayPlot *day, bool *severalPairs,
                   const std::function<bool()> &stopRequested)
{
    NativeFile header;
    const qint64 passportLength = parsePassport(path, &header);
    if (passportLength < 0 || header.nModules < 1 || header.nRays < 1)
        return false;
    if (header.nModules > 1 || header.nRays > 1) {
        *severalPairs = true;
        return false;
    }
    const qint64 rowBytes = qint64(header.nChannels) * qint64(sizeof(float));
    ChannelSumStream stream(header.fbands, header.nChannels, header.tresolution, header.npoints,
                            header.nChannels, 0, {0.0, dm});
    QFile in(path);
    if (!stream.isValid() || !in.open(QIODevice::ReadOnly))
        return false;
    const MappedRead mapped = addMappedRows(in, passportLength, rowBytes, header.npoints, stream, stopRequested);
    if (mapped == MappedRead::Failed
        || (mapped == MappedRead::NotMapped
            && !addReadRows(in, passportLength, rowBytes, header.npoints, stream, stopRequested)))
        return false;
    QVector<QVector<double>> sums = stream.takeSums();
    if (sums.size() != 2)
        return false;
    fillDay(path, header, std::move(sums[0]), std::move(sums[1]), day);
    return true;
}

} // namespace

QStringList scanObservationDirectory(const QString &dir)
{
    QStringList paths;
    QDirIterator it(dir, {QStringLiteral("*.pnt"), QStringLiteral("*.pnthr"), QStringLiteral("*.txt")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (it.fileName().compare(greenDatesFileName(), Qt::CaseInsensitive) != 0)
            paths.append(path);
    }
    // Paths equal but for case keep a fixed order.
    std::sort(paths.begin(), paths.end(), [](const QString &a, const QString &b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return paths;
}

bool readDayPlot(const QString &path, double dm, DayPlot *day, bool *severalPairs,
                 const std::function<bool()> &stopRequested)
{
    bool several = false;
    bool ok = false;
    if (day && !isStopped(stopRequested)) {
        try {
            ok = QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0
                ? readTextDay(path, dm, day, &several)
                : readBinaryDay(path, dm, day, &several, stopRequested);
        } catch (const std::bad_alloc &) {
            ok = false;   // sums of a file too large for memory: the day is skipped
        }
    }
    if (severalPairs)
        *severalPairs = several;
    return ok;
}
