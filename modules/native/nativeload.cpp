#include "modules/native/nativeload.h"

#include "data/nativefileloader.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <memory>

namespace {

// Worker threads of loads that were asked to stop and may still be reading
// (one chunk at most). They belong to no module; the process waits for them
// as the application object goes, so that no read outlives what it uses.
QVector<QPointer<QThread>> &abandonedThreads()
{
    static QVector<QPointer<QThread>> threads;
    return threads;
}

void waitForAbandonedThreads()
{
    for (const QPointer<QThread> &thread : qAsConst(abandonedThreads())) {
        if (thread)
            thread->wait();
    }
}

void waitAtExit(QThread *thread)
{
    static const bool registered = [] {
        qAddPostRoutine(waitForAbandonedThreads);
        return true;
    }();
    Q_UNUSED(registered)
    QVector<QPointer<QThread>> &threads = abandonedThreads();
    threads.erase(std::remove_if(threads.begin(), threads.end(), [](const QPointer<QThread> &t) { return t.isNull(); }),
                  threads.end());
    threads.append(thread);
}

} // namespace

NativeLoad::NativeLoad(QObject *parent)
    : QObject(parent)
{
}

NativeLoad::~NativeLoad()
{
    abandon();
}

void NativeLoad::abandon()
{
    QThread *thread = m_thread;
    NativeFileLoader *loader = m_loader;
    m_thread = nullptr;
    m_loader = nullptr;
    if (!thread)
        return;
    if (loader) {
        disconnect(loader, nullptr, this, nullptr);
        loader->cancel();
    }
    if (!thread->isRunning() && !thread->isFinished()) {
        // Never started: nothing will delete the pair through the thread's end.
        delete loader;
        delete thread;
        return;
    }
    // The read stops within one chunk, and the thread's end deletes both.
    waitAtExit(thread);
}

NativeFileLoader *NativeLoad::loader() const
{
    return m_loader.data();
}

NativeFile NativeLoad::takeFile()
{
    NativeFile file = std::move(m_finished);
    m_finished = NativeFile();
    return file;
}

void NativeLoad::start(const QString &path)
{
    abandon();
    const quint64 generation = ++m_generation;
    // Neither is a child of this object: a replaced or closed load ends on its own.
    auto *thread = new QThread;
    auto *loader = new NativeFileLoader(path);
    loader->moveToThread(thread);
    // The record is taken on the worker thread as the read ends, so the GUI
    // never touches a loader that its thread may already be deleting.
    auto result = std::make_shared<NativeFile>();
    connect(thread, &QThread::started, loader, &NativeFileLoader::run);
    connect(
        loader, &NativeFileLoader::finished, loader,
        [loader, result](bool) { *result = loader->takeFile(); }, Qt::DirectConnection);
    connect(loader, &NativeFileLoader::progress, this, [this, generation](int percent) {
        if (generation == m_generation)
            emit progress(percent);
    });
    connect(loader, &NativeFileLoader::finished, this, [this, generation, result](bool ok) {
        if (generation != m_generation)
            return;
        m_finished = std::move(*result);
        *result = NativeFile();
        emit finished(ok);
    });
    // Quit from the worker itself: an abandoned load must end even while the
    // GUI thread is busy or gone.
    connect(loader, &NativeFileLoader::finished, thread, &QThread::quit, Qt::DirectConnection);
    connect(thread, &QThread::finished, loader, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread.data() == thread) {
            m_thread = nullptr;
            m_loader = nullptr;
        }
    });
    m_thread = thread;
    m_loader = loader;
    QTimer::singleShot(50, this, [this, generation] {
        if (generation == m_generation && m_thread && !m_thread->isRunning() && !m_thread->isFinished())
            m_thread->start();
    });
}
