#include "data/nativefile.h"

#include "data/mappingguard.h"

#include <QFile>

#include <algorithm>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Hands the pages of a large array this record alone holds back to the system
// a piece at a time. Freeing a gigabyte in one call keeps the process's
// memory map locked for a long while, and every other thread that maps or
// unmaps memory meanwhile (the GUI thread painting) waits for it.
void releaseGradually(QVector<float> &samples)
{
    constexpr qint64 piece = qint64(16) << 20;
    const qint64 bytes = qint64(samples.size()) * qint64(sizeof(float));
    if (bytes < 4 * piece || !samples.isDetached())
        return;
    const auto pageSize = quintptr(sysconf(_SC_PAGESIZE));
    const auto begin = (quintptr(samples.constData()) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (quintptr(samples.constData()) + quintptr(bytes)) & ~(pageSize - 1);
    for (quintptr at = begin; at < end; at += quintptr(piece))
        madvise(reinterpret_cast<void *>(at), std::min(quintptr(piece), end - at), MADV_DONTNEED);
}

} // namespace

NativeMapping::NativeMapping() = default;

NativeMapping::~NativeMapping()
{
    MappingGuard::remove(guard);
    if (file && bytes)
        file->unmap(const_cast<uchar *>(bytes));
}

bool NativeMapping::lost() const
{
    if (MappingGuard::isLost(guard))
        return true;
    struct stat info = {};
    return file && fstat(file->handle(), &info) == 0 && qint64(info.st_size) < offset + count * qint64(sizeof(float));
}

void NativeMapping::releasePages(qint64 first, qint64 count) const
{
    first = std::max<qint64>(first, 0);
    count = std::min(count, this->count - first);
    if (!bytes || count <= 0)
        return;
    // The pages at the ends are mapped whole, and dropping a page of a
    // read-only file mapping loses nothing.
    const auto pageSize = quintptr(sysconf(_SC_PAGESIZE));
    const auto begin = quintptr(bytes + 4 * first) & ~(pageSize - 1);
    const auto end = (quintptr(bytes + 4 * (first + count)) + pageSize - 1) & ~(pageSize - 1);
    madvise(reinterpret_cast<void *>(begin), end - begin, MADV_DONTNEED);
}

qint64 NativeFile::sampleCount() const
{
    return mapping ? mapping->count : qint64(samples.size());
}

qint64 NativeFile::declaredSampleCount() const
{
    if (npoints < 1 || nModules < 1 || nRays < 1 || nChannels < 1)
        return -1;
    qint64 product = npoints;
    for (qint64 factor : {qint64(nModules), qint64(nRays), qint64(nChannels)}) {
        if (__builtin_mul_overflow(product, factor, &product))
            return -1;
    }
    return product;
}

void NativeFile::clearSamples()
{
    releaseGradually(samples);
    samples = QVector<float>();
    mapping.reset();
    loaded = false;
}
