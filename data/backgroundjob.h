#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

// Runs one piece of work at a time on a worker thread of its own and hands
// its progress and its result back to the thread the job lives on (the GUI
// thread). Owns at most one worker: a new run, cancel() and the destructor
// stop the running worker and wait for it; whatever a stopped worker would
// still report is dropped.
class BackgroundJob : public QObject
{
    Q_OBJECT

public:
    explicit BackgroundJob(QObject *parent = nullptr);
    ~BackgroundJob() override;

    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void progressChanged(int percent);

protected:
    // What a finished work hands back: called on the job's thread, unless the
    // work was stopped meanwhile. An empty delivery reports nothing.
    using Delivery = std::function<void()>;
    // The work runs on the worker; it sees the stop flag and tells progress
    // through the function it is given.
    using Work = std::function<Delivery(const std::atomic<bool> &stop,
                                        const std::function<void(int)> &progress)>;
    void run(Work work);

private:
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    quint64 m_generation = 0;   // of the worker whose reports count
    bool m_running = false;
};
