#include "data/nativefile.h"

#include <QFile>

NativeMapping::NativeMapping() = default;

NativeMapping::~NativeMapping()
{
    if (file && bytes)
        file->unmap(const_cast<uchar *>(bytes));
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
