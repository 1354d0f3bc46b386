#include "data/multidayloader.h"

#include "data/dayplotreader.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>

// What the loader shares with the reading tasks of one load. The receiver is
// cleared, under the lock, when the load is abandoned or the loader goes, so
// a task never posts to a loader that is being destroyed.
struct MultiDayLoader::Job
{
    QStringList paths;
    double dm = 0.0;
    quint64 generation = 0;
    std::atomic<int> next{0};
    std::atomic<bool> abandoned{false};
    QMutex lock;
    MultiDayLoader *receiver = nullptr;
};

struct MultiDayLoader::Result
{
    int index = 0;
    bool ok = false;
    bool severalPairs = false;
    DayPlot day;
};

void MultiDayLoader::readFiles(const std::shared_ptr<Job> &job)
{
    const auto stopRequested = [&job] { return job->abandoned.load(std::memory_order_relaxed); };
    while (!stopRequested()) {
        const int index = job->next.fetch_add(1);
        if (index >= job->paths.size())
            return;
        Result result;
        result.index = index;
        result.ok = readDayPlot(job->paths.at(index), job->dm, &result.day, &result.severalPairs, stopRequested);
        QMutexLocker locker(&job->lock);
        MultiDayLoader *receiver = job->receiver;
        if (!receiver)
            return;
        const quint64 generation = job->generation;
        QMetaObject::invokeMethod(
            receiver,
            [receiver, generation, result = std::move(result)]() mutable {
                receiver->accept(generation, std::move(result));
            },
            Qt::QueuedConnection);
    }
}

int multiDayLoadProgress(int done, int total)
{
    if (total <= 0)
        return 0;
    return int((qint64(done) * 200 + total) / (qint64(total) * 2));
}

MultiDayLoader::MultiDayLoader(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<DayPlot>();
}

MultiDayLoader::~MultiDayLoader()
{
    abandon();
}

void MultiDayLoader::abandon()
{
    if (m_job) {
        m_job->abandoned = true;
        QMutexLocker locker(&m_job->lock);
        m_job->receiver = nullptr;
    }
    m_job.reset();
    m_waiting.clear();
}

void MultiDayLoader::start(const QStringList &paths, double dm)
{
    abandon();
    ++m_generation;
    m_total = paths.size();
    m_delivered = 0;
    m_lastPercent = 0;
    m_job = std::make_shared<Job>();
    m_job->paths = paths;
    m_job->dm = dm;
    m_job->generation = m_generation;
    m_job->receiver = this;
    if (paths.isEmpty()) {
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            this, [this, generation] { accept(generation, Result{-1, false, false, DayPlot()}); },
            Qt::QueuedConnection);
        return;
    }
    const int tasks = std::min(std::max(QThread::idealThreadCount(), 1), int(paths.size()));
    for (int i = 0; i < tasks; ++i) {
        const std::shared_ptr<Job> job = m_job;
        QThreadPool::globalInstance()->start([job] { readFiles(job); });
    }
}

void MultiDayLoader::accept(quint64 generation, Result &&result)
{
    if (generation != m_generation || !m_job)
        return;
    if (result.index >= 0)
        m_waiting.emplace(result.index, std::move(result));
    deliverInOrder();
}

void MultiDayLoader::deliverInOrder()
{
    // A slot may start a new load or delete the loader; stop as soon as either happens.
    const QPointer<MultiDayLoader> self(this);
    const quint64 generation = m_generation;
    const auto stillCurrent = [&] { return self && m_generation == generation && m_job; };
    while (m_delivered < m_total) {
        const auto found = m_waiting.find(m_delivered);
        if (found == m_waiting.end())
            return;
        const Result result = std::move(found->second);
        m_waiting.erase(found);
        ++m_delivered;
        if (result.ok)
            emit dayReady(result.index, result.day);
        else
            emit daySkipped(result.index, result.severalPairs, QFileInfo(m_job->paths.at(result.index)).fileName());
        if (!stillCurrent())
            return;
        const int percent = multiDayLoadProgress(m_delivered, m_total);
        if (percent != m_lastPercent) {
            m_lastPercent = percent;
            emit progress(percent);
            if (!stillCurrent())
                return;
        }
    }
    m_job.reset();
    emit finished();
}
