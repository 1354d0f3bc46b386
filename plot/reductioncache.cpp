#include "plot/reductioncache.h"

bool ReductionCache::Key::operator==(const Key &other) const
{
    return seriesIndex == other.seriesIndex && values == other.values && count == other.count
        && xValues == other.xValues && xMin == other.xMin && xMax == other.xMax
        && yMin == other.yMin && yMax == other.yMax && plotRect == other.plotRect
        && yBase == other.yBase;
}

const CurveReduction::Result *ReductionCache::find(const Key &key)
{
    if (key.seriesIndex >= 0 && key.seriesIndex < int(m_entries.size())) {
        const Entry &entry = m_entries[size_t(key.seriesIndex)];
        if (entry.filled && entry.key == key) {
            ++m_hits;
            return &entry.result;
        }
    }
    ++m_misses;
    return nullptr;
}

const CurveReduction::Result &ReductionCache::store(const Key &key,
                                                    const CurveReduction::Result &result)
{
    Q_ASSERT(key.seriesIndex >= 0);
    if (key.seriesIndex >= int(m_entries.size()))
        m_entries.resize(size_t(key.seriesIndex) + 1);
    Entry &entry = m_entries[size_t(key.seriesIndex)];
    entry.key = key;
    entry.result = result;
    entry.filled = true;
    return entry.result;
}

const CurveReduction::Result *ReductionCache::cached(int seriesIndex) const
{
    if (seriesIndex < 0 || seriesIndex >= int(m_entries.size()) || !m_entries[size_t(seriesIndex)].filled)
        return nullptr;
    return &m_entries[size_t(seriesIndex)].result;
}

void ReductionCache::invalidate()
{
    m_entries.clear();
}

int ReductionCache::entryCount() const
{
    int filled = 0;
    for (const Entry &entry : m_entries)
        filled += entry.filled ? 1 : 0;
    return filled;
}
