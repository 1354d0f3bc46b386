#include "fuzzinput.h"

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
