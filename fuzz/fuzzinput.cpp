#include "fuzzinput.h"

#include "data/nativereader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QTemporaryDir &fuzzDir()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/orvalis-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/orvalis-fuzz-XXXXXX"));
    return dir;
}

} // namespace

QString fuzzScratchPath(const QString &fileName)
{
    return fuzzDir().isValid() ? fuzzDir().filePath(fileName) : QString();
}

QString writeFuzzInput(const QString &fileName, const uint8_t *data, size_t size)
{
    const QString path = fuzzScratchPath(fileName);
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    if (file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return QString();
    return path;
}

QString asWritten(QString value)
{
    for (const QChar c : {QLatin1Char('\r'), QLatin1Char('\n'), QLatin1Char('\t')})
        value.replace(c, QLatin1Char(' '));
    return trimmedHeaderValue(value);
}

bool sameHeaderValues(const NativeFile &source, const NativeFile &extract)
{
    const bool sourceWritten =
        !source.source.isEmpty() && source.source.compare(QLatin1String("source"), Qt::CaseInsensitive) != 0;
    return asWritten(source.plosh) == extract.plosh && asWritten(source.delta) == extract.delta
        && asWritten(source.fcentral) == extract.fcentral && asWritten(source.wbTotal) == extract.wbTotal
        && asWritten(source.wbands) == trimmedHeaderValue(extract.wbands)
        && asWritten(source.nativeFileName) == extract.nativeFileName
        && (!sourceWritten || asWritten(source.source) == extract.source);
}
