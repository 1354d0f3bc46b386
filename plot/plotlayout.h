#pragma once

#include "plot/graphspec.h"
#include "plot/plotview.h"

#include <QRect>
#include <QSize>

// Where a plot's values land on the widget for one paint or mouse event: the
// visible ranges, the margins and the scale factors. Valid only when a curve
// has samples and the plot area is at least one pixel in each direction. A
// plain value computed for Grafiks by place().
struct PlotLayout
{
    bool valid = false;
    double xMin = 0.0;
    double xMax = 1.0;
    double yMin = 0.0;
    double yMax = 1.0;
    double kx = 1.0;
    double ky = 1.0;
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int widgetHeight = 0;
    int plotWidth = 0;
    int plotHeight = 0;

    // The layout of a widget of the given size showing view, with extra x
    // rows (beyond the first) under and above the plot area; count is the
    // curves' sample count.
    static PlotLayout place(GraphLayout mode, const PlotRange &view, const QSize &size, int extraBottomRows,
                            int extraTopRows, int rowHeight, int count);

    int pixelX(double x) const;
    int pixelY(double y) const;
    double valueX(int px) const;
    double valueY(int py) const;
    // The pixels that values of the visible range map to.
    QRect plotRect() const;
};
