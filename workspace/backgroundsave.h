#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

// One save running on a worker thread of its own, so that the window keeps
// answering while a large file is written. The job receives a progress
// callback (0..100; when it returns false the job should stop and leave its
// target as it was) and returns false with the user's error text on failure.
// Owns the thread and the job, with whatever the job holds (the data it
// writes). Created, started and destroyed on the GUI thread; progress and the
// result arrive there as queued signals. Destroying it while the job runs
// asks the job to stop and waits for it.
class BackgroundSave : public QObject
{
    Q_OBJECT

public:
    using Progress = std::function<bool(int)>;
    using Job = std::function<bool(const Progress &progress, QString *error)>;

    explicit BackgroundSave(Job job, QObject *parent = nullptr);
    ~BackgroundSave() override;

    void start();

signals:
    void progress(int percent);
    // Once, after the job has returned.
    void finished(bool ok, const QString &error);

private:
    Job m_job;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    // Written by the job's thread before it ends, read here after that.
    bool m_ok = false;
    QString m_error;
};
