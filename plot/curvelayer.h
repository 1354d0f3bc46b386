#pragma once

#include "plot/curvereduction.h"
#include "plot/plotlayout.h"
#include "plot/reductioncache.h"

#include <QImage>
#include <QPen>
#include <QVector>

class QPainter;

// A plot's curves as drawn: each curve's reduction for the current view and
// size (kept in the reduction cache), and for dense curves an image of the
// plot area that later repaints blend in while nothing it shows has changed.
// Owned by Grafiks, GUI thread; invalidate() whenever the curves change.
class CurveLayer
{
public:
    // One visible curve: its index among the series, samples and pen.
    struct Curve
    {
        int index = 0;
        const double *values = nullptr;
        const CurveReduction::Summary *summary = nullptr;
        QPen pen;
    };

    void invalidate();
    // Draws the curves, all with `count` samples at xValues (null: at their
    // index); increasing tells whether those x values never decrease.
    void paint(QPainter &painter, const PlotLayout &layout, const QVector<Curve> &curves,
               const double *xValues, int count, bool increasing);

    const ReductionCache &cache() const { return m_cache; }

private:
    ReductionCache m_cache;
    // The signature says what the image shows.
    QImage m_image;
    QVector<qint64> m_signature;
};
