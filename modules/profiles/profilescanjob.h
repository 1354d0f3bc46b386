#pragma once

#include "data/profileset.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <atomic>
#include <thread>

// A scanned profile directory with the maximum SNR of each date.
struct ProfileScanOutcome
{
    bool ok = false;
    QString directory;
    ProfileSet set;
    QMap<QString, double> maxima;
    QString error;   // worded for the user when not ok
};

// Scans a profile directory and builds its maximum-SNR map on a worker
// thread, handing progress and the outcome back on the GUI thread. Lives on
// the GUI thread and owns at most one worker: a new start, cancel() and the
// destructor stop the running worker and wait for it (the scan stops at the
// next file); the results of a stopped worker are dropped.
class ProfileScanJob : public QObject
{
    Q_OBJECT

public:
    explicit ProfileScanJob(QObject *parent = nullptr);
    ~ProfileScanJob() override;

    void start(const QString &directory);
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    // percent of the files read; -1 while the directory is still being walked.
    void progressChanged(int percent);
    void finished(const ProfileScanOutcome &outcome);

private:
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    quint64 m_generation = 0;   // of the worker whose results count
    bool m_running = false;
};
