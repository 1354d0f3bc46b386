#include "plot/plotview.h"

#include "plot/plotnumbers.h"

#include <QtGlobal>

#include <cmath>

namespace {

bool differs(double a, double b, double span)
{
    return std::fabs(a - b) > viewTolerance(span);
}

} // namespace

void PlotView::setFull(const PlotRange &full, bool keep)
{
    const PlotRange remembered = m_visible;
    m_full = full;
    if (keep) {
        m_visible = clamped(remembered);
    } else {
        m_visible = full;
        m_history.clear();
    }
}

PlotRange PlotView::clamped(const PlotRange &range) const
{
    PlotRange cut;
    cut.xMin = qMax(range.xMin, m_full.xMin);
    cut.xMax = qMin(range.xMax, m_full.xMax);
    if (!(cut.xMax > cut.xMin)) {
        cut.xMin = m_full.xMin;
        cut.xMax = m_full.xMax;
    }
    cut.yMin = qMax(range.yMin, m_full.yMin);
    cut.yMax = qMin(range.yMax, m_full.yMax);
    if (!(cut.yMax > cut.yMin)) {
        cut.yMin = m_full.yMin;
        cut.yMax = m_full.yMax;
    }
    return cut;
}

PlotRange PlotView::withXRange(double a, double b) const
{
    double lo = qBound(m_full.xMin, qMin(a, b), m_full.xMax);
    double hi = qBound(m_full.xMin, qMax(a, b), m_full.xMax);
    if (!(hi > lo) && m_full.xMax > m_full.xMin) {
        lo = qMax(m_full.xMin, lo - 0.5);
        hi = qMin(m_full.xMax, hi + 0.5);
    }
    if (!(hi > lo)) {
        lo = m_full.xMin;
        hi = m_full.xMax;
    }
    PlotRange range = m_visible;
    range.xMin = lo;
    range.xMax = hi;
    return range;
}

bool PlotView::zoomIn(PlotRange next)
{
    next.xMin = qMax(m_full.xMin, next.xMin);
    next.xMax = qMin(m_full.xMax, next.xMax);
    next.yMin = qMax(m_full.yMin, next.yMin);
    next.yMax = qMin(m_full.yMax, next.yMax);
    const double xSpan = m_visible.xMax - m_visible.xMin;
    const double ySpan = m_visible.yMax - m_visible.yMin;
    const bool changed = differs(next.xMin, m_visible.xMin, xSpan) || differs(next.xMax, m_visible.xMax, xSpan)
        || differs(next.yMin, m_visible.yMin, ySpan) || differs(next.yMax, m_visible.yMax, ySpan);
    if (!(next.xMax > next.xMin && next.yMax > next.yMin && changed))
        return false;
    m_history.append(m_visible);
    m_visible = next;
    return true;
}

bool PlotView::zoomBack()
{
    if (m_history.isEmpty())
        return false;
    m_visible = clamped(m_history.takeLast());
    return true;
}

bool PlotView::xDiffers(const PlotRange &a, const PlotRange &b)
{
    const double span = a.xMax - a.xMin;
    return differs(a.xMin, b.xMin, span) || differs(a.xMax, b.xMax, span);
}
