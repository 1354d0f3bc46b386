#include "data/nativefileloader.h"

#include "data/nativereader.h"

#include <QElapsedTimer>

#include <utility>

namespace {

constexpr qint64 progressInterval = 40;   // milliseconds

} // namespace

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
    // The readers ask once per chunk. The GUI hears a new percentage at most
    // every progressInterval (and always the last one): a small file read in
    // a few milliseconds must not queue a hundred repaints of the bar.
    int last = -1;
    QElapsedTimer sinceReport;
    const bool ok = readNativeFile(m_path, &m_file, [this, &last, &sinceReport](int percent) {
        if (percent != last && (percent == 100 || !sinceReport.isValid() || sinceReport.elapsed() >= progressInterval)) {
            last = percent;
            sinceReport.start();
            emit progress(percent);
        }
        return !m_cancelled.load(std::memory_order_relaxed);
    });
    emit finished(ok);
}
