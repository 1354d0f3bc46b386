#include "fuzzinput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

QString writeFuzzInput(const QString &fileName, const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/orvalis-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/orvalis-fuzz-XXXXXX"));
    if (!dir.isValid())
        return QString();
    const QString path = dir.filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    if (file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return QString();
    return path;
}
