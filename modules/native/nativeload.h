#pragma once

#include "data/nativefile.h"

#include <QObject>
#include <QPointer>
#include <QString>

class NativeFileLoader;
class QThread;

// The background read of one native file: the worker thread and the loader
// of the running read, the record it delivers and the generation that tells
// its signals from those of the reads it replaced. Owns the running pair until
// it ends; a newer start() or the destruction abandons it: asks it to stop and
// never waits (the pair deletes itself as its thread ends, and the process
// waits for it at exit). GUI thread, except the reading inside the loader.
class NativeLoad : public QObject
{
    Q_OBJECT

public:
    explicit NativeLoad(QObject *parent = nullptr);
    ~NativeLoad() override;

    // Abandons the running read and starts reading path 50 ms later.
    void start(const QString &path);
    void abandon();

    bool isRunning() const { return !m_thread.isNull(); }
    NativeFileLoader *loader() const;
    // Increased by every start().
    quint64 generation() const { return m_generation; }
    // The record of the read that ended last; empty afterwards.
    NativeFile takeFile();

signals:
    // Only of the newest read.
    void progress(int percent);
    void finished(bool ok);

private:
    QPointer<QThread> m_thread;
    QPointer<NativeFileLoader> m_loader;
    NativeFile m_finished;
    quint64 m_generation = 0;
};
