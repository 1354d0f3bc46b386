#include "plot/plotlayout.h"

#include "plot/curvereduction.h"

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
