#include "data/backgroundjob.h"

BackgroundJob::BackgroundJob(QObject *parent)
    : QObject(parent)
{
}

BackgroundJob::~BackgroundJob()
{
    cancel();
}

void BackgroundJob::run(Work work)
{
    cancel();
    m_stop = false;
    m_running = true;
    const quint64 generation = ++m_generation;
    m_worker = std::thread([this, work = std::move(work), generation] {
        const auto progress = [this, generation](int percent) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, percent] {
                    if (generation == m_generation && m_running)
                        emit progressChanged(percent);
                },
                Qt::QueuedConnection);
        };
        Delivery deliver = work(m_stop, progress);
        if (!deliver || m_stop)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, deliver = std::move(deliver)] {
                if (generation != m_generation || !m_running)
                    return;
                m_running = false;
                deliver();
            },
            Qt::QueuedConnection);
    });
}

void BackgroundJob::cancel()
{
    m_running = false;
    m_stop = true;
    if (m_worker.joinable())
        m_worker.join();
}
