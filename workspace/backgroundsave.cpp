#include "workspace/backgroundsave.h"

#include <QThread>

BackgroundSave::BackgroundSave(Job job, QObject *parent)
    : QObject(parent)
    , m_job(std::move(job))
{
    m_thread = QThread::create([this] {
        const Progress report = [this](int percent) {
            if (m_stop.load())
                return false;
            // Emitted on this thread; receivers on the GUI thread get it queued.
            emit progress(percent);
            return true;
        };
        m_ok = m_job(report, &m_error);
    });
    m_thread->setParent(this);
    connect(m_thread, &QThread::finished, this, [this] { emit finished(m_ok, m_error); });
}

BackgroundSave::~BackgroundSave()
{
    m_stop = true;
    m_thread->wait();
}

void BackgroundSave::start()
{
    m_thread->start();
}
