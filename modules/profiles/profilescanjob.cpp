#include "modules/profiles/profilescanjob.h"

ProfileScanJob::ProfileScanJob(QObject *parent)
    : QObject(parent)
{
}

ProfileScanJob::~ProfileScanJob()
{
    cancel();
}

void ProfileScanJob::start(const QString &directory)
{
    cancel();
    m_cancel = false;
    m_running = true;
    const quint64 generation = ++m_generation;
    m_worker = std::thread([this, directory, generation] {
        // Told at most once per percent, so that a walk of many files does
        // not flood the GUI thread's queue.
        int lastPercent = -2;
        const auto tell = [this, generation, &lastPercent](int percent) {
            if (percent == lastPercent)
                return;
            lastPercent = percent;
            QMetaObject::invokeMethod(
                this,
                [this, generation, percent] {
                    if (generation == m_generation && m_running)
                        emit progressChanged(percent);
                },
                Qt::QueuedConnection);
        };
        // The check for readable data reads few files; the maximum-SNR map
        // reads them all, so the map is most of the bar.
        ProfileScanOutcome outcome;
        outcome.directory = directory;
        const ProfileScanResult scan = scanProfileDirectory(directory, [&](int done, int total) {
            tell(total > 0 ? 10 * done / total : -1);
            return !m_cancel;
        });
        if (m_cancel)
            return;
        outcome.error = scan.error;
        if (scan.ok) {
            outcome.set = scan.set;
            const bool done = maximumSnrByDate(scan.set, &outcome.maxima, [&](int done, int total) {
                tell(10 + 90 * done / qMax(1, total));
                return !m_cancel;
            });
            if (!done)
                return;
            outcome.ok = true;
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, outcome = std::move(outcome)] {
                if (generation != m_generation || !m_running)
                    return;
                m_running = false;
                emit finished(outcome);
            },
            Qt::QueuedConnection);
    });
}

void ProfileScanJob::cancel()
{
    m_running = false;
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}
