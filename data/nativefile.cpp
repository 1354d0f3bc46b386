#include "data/nativefile.h"

#include "data/mappingguard.h"

#include <QFile>

#include <sys/stat.h>

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
    samples = QVector<float>();
    mapping.reset();
    loaded = false;
}
