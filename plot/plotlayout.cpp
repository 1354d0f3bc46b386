#include "plot/plotlayout.h"

#include "plot/curvereduction.h"

#include <cmath>

PlotLayout PlotLayout::place(GraphLayout mode, const PlotRange &view, const QSize &size, int extraBottomRows,
                             int extraTopRows, int rowHeight, int count)
{
    PlotLayout layout;
    if (mode == GraphLayout::Compact) {
        layout.left = 40;
        layout.right = 20;
        layout.bottom = 30;
        layout.top = 15;
    } else {
        layout.left = 70;
        layout.right = 70;
        layout.bottom = 50;
        layout.top = 50;
    }
    if (extraBottomRows > 0)
        layout.bottom += rowHeight * extraBottomRows + 10;
    if (extraTopRows > 0)
        layout.top += rowHeight * extraTopRows + 10;
    layout.xMin = view.xMin;
    layout.xMax = view.xMax;
    layout.yMin = view.yMin;
    layout.yMax = view.yMax;
    if (!(layout.xMax > layout.xMin))
        layout.xMax = layout.xMin + qMax(1, count - 1);
    if (!(layout.yMax > layout.yMin))
        layout.yMax = layout.yMin + 1.0;
    layout.widgetHeight = size.height();
    layout.plotWidth = size.width() - layout.left - layout.right;
    layout.plotHeight = size.height() - layout.top - layout.bottom;
    if (layout.plotWidth < 1 || layout.plotHeight < 1)
        return layout;
    layout.kx = layout.plotWidth / (layout.xMax - layout.xMin);
    layout.ky = layout.plotHeight / (layout.yMax - layout.yMin);
    layout.valid = std::isfinite(layout.kx) && std::isfinite(layout.ky) && layout.kx > 0.0 && layout.ky > 0.0;
    return layout;
}

int PlotLayout::pixelX(double x) const
{
    CurveReduction::PixelMap map;
    map.xMin = xMin;
    map.kx = kx;
    map.left = left;
    return map.pixelX(x);
}

int PlotLayout::pixelY(double y) const
{
    CurveReduction::PixelMap map;
    map.yMin = yMin;
    map.ky = ky;
    map.yBase = widgetHeight - 1 - bottom;
    return map.pixelY(y);
}

double PlotLayout::valueX(int px) const
{
    return (px - left) / kx + xMin;
}

double PlotLayout::valueY(int py) const
{
    return yMin + ((widgetHeight - 1 - bottom) - py) / ky;
}

QRect PlotLayout::plotRect() const
{
    return QRect(left, top - 1, plotWidth + 1, plotHeight + 1);
}
