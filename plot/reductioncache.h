#pragma once

#include "plot/curvereduction.h"

#include <QRect>
#include <vector>

// The reduced polylines of a plot's curves, one entry per series, reused while
// the samples, the view and the plot geometry stay the same (repaints during a
// drag, legend toggles). Owned by one plot on the GUI thread. The owner must
// invalidate it whenever its series change: the key holds sample addresses,
// which a new series may reuse.
class ReductionCache
{
public:
    struct Key
    {
        int seriesIndex = -1;
        const double *values = nullptr;
        int count = 0;
        const double *xValues = nullptr;
        double xMin = 0.0;
        double xMax = 0.0;
        double yMin = 0.0;
        double yMax = 0.0;
        QRect plotRect;
        int yBase = 0;

        bool operator==(const Key &other) const;
    };

    // The cached polylines for the key, or null. The pointer stays valid until
    // the next store or invalidate.
    const CurveReduction::Result *find(const Key &key);
    // The entry stored for a series, whatever its key; null when none.
    const CurveReduction::Result *cached(int seriesIndex) const;
    const CurveReduction::Result &store(const Key &key, const CurveReduction::Result &result);
    void invalidate();

    int hitCount() const { return m_hits; }
    int missCount() const { return m_misses; }
    int entryCount() const;

private:
    struct Entry
    {
        Key key;
        CurveReduction::Result result;
        bool filled = false;
    };
    std::vector<Entry> m_entries;
    int m_hits = 0;
    int m_misses = 0;
};
