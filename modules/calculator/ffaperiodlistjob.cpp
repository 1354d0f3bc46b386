#include "modules/calculator/ffaperiodlistjob.h"

FfaPeriodListJob::FfaPeriodListJob(QObject *parent)
    : QObject(parent)
{
}

FfaPeriodListJob::~FfaPeriodListJob()
{
    cancel();
}

void FfaPeriodListJob::start(const FfaPlan &plan)
{
    cancel();
    m_cancel = false;
    m_running = true;
    const quint64 generation = ++m_generation;
    m_worker = std::thread([this, plan, generation] {
        const auto progress = [this, generation](int percent) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, percent] {
                    if (generation == m_generation && m_running)
                        emit progressChanged(percent);
                },
                Qt::QueuedConnection);
        };
        FfaPeriodListText list = ffaPeriodListText(plan, ffaPeriodListEndLines, progress, &m_cancel);
        if (list.cancelled)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, list = std::move(list)] {
                if (generation != m_generation || !m_running)
                    return;
                m_running = false;
                emit finished(list);
            },
            Qt::QueuedConnection);
    });
}

void FfaPeriodListJob::cancel()
{
    m_running = false;
    m_cancel = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool FfaPeriodListJob::isRunning() const
{
    return m_running;
}
