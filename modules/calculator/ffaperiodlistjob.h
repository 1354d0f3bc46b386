#pragma once

#include "astro/ffaperiodlist.h"

#include <QObject>

#include <atomic>
#include <thread>

// Builds the text of an FFA plan's trial periods on a worker thread and hands
// progress and the finished text back on the GUI thread. Lives on the GUI
// thread and owns at most one worker: a new start, cancel() and the
// destructor stop the previous worker and wait for it; results of a stopped
// worker are dropped.
class FfaPeriodListJob : public QObject
{
    Q_OBJECT

public:
    explicit FfaPeriodListJob(QObject *parent = nullptr);
    ~FfaPeriodListJob() override;

    void start(const FfaPlan &plan);
    void cancel();
    bool isRunning() const;

signals:
    void progressChanged(int percent);
    void finished(const FfaPeriodListText &list);

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    quint64 m_generation = 0;   // of the worker whose results count
    bool m_running = false;
};
