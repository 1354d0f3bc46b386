#pragma once

#include <QVector>

// A rectangle of plot values: an x range and a y range.
struct PlotRange
{
    double xMin = 0.0;
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
};

// Which part of a plot's full range is on show, and the zoom steps that led
// there (each step remembers the range it left). A plain value owned by
// Grafiks on the GUI thread; a new full range replaces the visible one unless
// the caller keeps it.
class PlotView
{
public:
    const PlotRange &full() const { return m_full; }
    const PlotRange &visible() const { return m_visible; }
    int depth() const { return m_history.size(); }

    // A new full range: the visible range becomes it, or with keep stays as it
    // was as far as it lies inside (the zoom steps stay too).
    void setFull(const PlotRange &full, bool keep);
    void setVisible(const PlotRange &range) { m_visible = range; }
    void clearSteps() { m_history.clear(); }

    // The range cut to the full range; the full range where nothing is left.
    PlotRange clamped(const PlotRange &range) const;
    // The visible range with its x range from a to b (either order) inside the
    // full range; a single point widens to one unit.
    PlotRange withXRange(double a, double b) const;
    // A zoom into next (cut to the full range): false, with nothing changed,
    // when next is empty or shows what is already shown.
    bool zoomIn(PlotRange next);
    // Back one zoom step: false when there is none.
    bool zoomBack();

    // Whether two ranges differ in x by more than rounding, relative to a's span.
    static bool xDiffers(const PlotRange &a, const PlotRange &b);

private:
    PlotRange m_full;
    PlotRange m_visible;
    QVector<PlotRange> m_history;
};
