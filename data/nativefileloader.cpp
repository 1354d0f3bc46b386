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

void NativeFileLoader::cancel()
{
    m_cancelled.store(true, std::memory_order_relaxed);
}

void NativeFileLoader::run()
{
    // The readers ask once per chunk; the GUI hears each percentage once.
    int last = -1;
    const bool ok = readNativeFile(m_path, &m_file, [this, &last](int percent) {
        if (percent != last) {
            last = percent;
            emit progress(percent);
        }
        return !m_cancelled.load(std::memory_order_relaxed);
    });
    emit finished(ok);
}
