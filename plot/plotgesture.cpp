#include "plot/plotgesture.h"

#include <QtGlobal>

#include <cmath>

namespace {

// A press and release closer than this are a click, not a drag.
constexpr int dragThreshold = 3;

QPoint clampedInto(const QPoint &point, const QRect &rect)
{
    return QPoint(qBound(rect.left(), point.x(), rect.right()), qBound(rect.top(), point.y(), rect.bottom()));
}

// Where the segment from p0 to p1 first enters rect; false when it never does.
bool segmentEntry(const QPoint &p0, const QPoint &p1, const QRect &rect, QPoint *entry)
{
    if (rect.contains(p0)) {
        *entry = p0;
        return true;
    }
    const double dx = p1.x() - p0.x();
    const double dy = p1.y() - p0.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(p0.x() - rect.left()), double(rect.right() - p0.x()),
                         double(p0.y() - rect.top()), double(rect.bottom() - p0.y())};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = qMax(t0, t);
        else
            t1 = qMin(t1, t);
    }
    if (t0 > t1)
        return false;
    *entry = clampedInto(QPoint(int(std::lround(p0.x() + t0 * dx)), int(std::lround(p0.y() + t0 * dy))),
                         rect);
    return true;
}

} // namespace

void PlotGesture::press(const QPoint &pos, bool outside)
{
    m_pressed = true;
    m_outside = outside;
    m_dragged = false;
    m_pressPoint = pos;
}

bool PlotGesture::enter(const QPoint &pos, const QRect &area)
{
    if (!m_outside)
        return true;
    QPoint entry;
    if (!segmentEntry(m_pressPoint, pos, area, &entry))
        return false;
    m_pressPoint = entry;
    m_outside = false;
    return true;
}

bool PlotGesture::move(const QPoint &pos, const QRect &area, QRect *dragged)
{
    if (!m_pressed || !enter(pos, area))
        return false;
    if (!m_dragged && (pos - m_pressPoint).manhattanLength() < dragThreshold)
        return false;
    m_dragged = true;
    *dragged = spanned(m_pressPoint, clampedInto(pos, area));
    return true;
}

PlotGesture::Release PlotGesture::release(const QPoint &pos, const QRect &area)
{
    Release result;
    m_pressed = false;
    if (!enter(pos, area)) {
        m_outside = false;
        m_dragged = false;
        return result;
    }
    if (!m_dragged && (pos - m_pressPoint).manhattanLength() >= dragThreshold)
        m_dragged = true;
    result.kind = m_dragged ? Release::Drag : Release::Click;
    result.pressPoint = m_pressPoint;
    result.end = clampedInto(pos, area);
    m_dragged = false;
    return result;
}

bool PlotGesture::cancel()
{
    const bool dragging = m_pressed && m_dragged;
    m_pressed = false;
    m_outside = false;
    m_dragged = false;
    return dragging;
}

QRect PlotGesture::spanned(const QPoint &a, const QPoint &b)
{
    return QRect(QPoint(qMin(a.x(), b.x()), qMin(a.y(), b.y())), QPoint(qMax(a.x(), b.x()), qMax(a.y(), b.y())));
}
