#pragma once

#include "data/nativereader.h"

// Tells a writer's progress callback how many of the points are written,
// once per whole percent; false when the caller asks the writer to stop.
// Lives on the writer's stack; the callback must outlive it.
class PointProgress
{
public:
    PointProgress(const NativeProgress &progress, qint64 count) : m_progress(progress), m_count(count) {}

    bool written(qint64 points)
    {
        const int percent = m_count > 0 ? int(points * 100 / m_count) : 100;
        if (!m_progress || percent == m_percent)
            return true;
        m_percent = percent;
        return m_progress(percent);
    }

private:
    const NativeProgress &m_progress;
    qint64 m_count;
    int m_percent = -1;
};
