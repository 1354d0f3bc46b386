#pragma once

#include "data/nativefile.h"

#include <QObject>
#include <QString>

#include <atomic>

// Reads one native file on a worker thread. Owns the path and the record it
// fills; it is moved to a dedicated thread and `run` is called once there.
// The record may be read, or taken, only after `finished` has been received;
// it is replaced by the next `run`. `cancel` may be called from any thread:
// the read then stops within one chunk and finishes with false and the code
// NativeError::Cancelled.
class NativeFileLoader : public QObject
{
    Q_OBJECT

public:
    explicit NativeFileLoader(const QString &path, QObject *parent = nullptr);

    QString path() const;
    const NativeFile &file() const;
    // Hands the record over without copying its samples; leaves an empty one.
    NativeFile takeFile();
    // Asks the read to stop; a read not begun yet stops at its start.
    void cancel();

public slots:
    void run();

signals:
    void progress(int percent);
    void finished(bool ok);

private:
    QString m_path;
    NativeFile m_file;
    std::atomic<bool> m_cancelled{false};
};
