#include "data/nativefileloader.h"

#include "data/nativereader.h"

#include <utility>

NativeFileLoader::NativeFileLoader(const QString &path, QObject *parent) : QObject(parent), m_path(path) {}

QString NativeFileLoader::path() const
{
    return m_path;
}

const NativeFile &NativeFileLoader::file() const
{
    return m_file;
}

NativeFile NativeFileLoader::takeFile()
{
    return std::exchange(m_file, NativeFile());
}

void NativeFileLoader::run()
{
    const bool ok = readNativeFile(m_path, &m_file, [this](int percent) { emit progress(percent); });
    emit finished(ok);
}
