#pragma once

#include "plot/graphspec.h"
#include "plot/plotlayout.h"

#include <QFont>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QPainter;

// One labelled x row as the plot draws it: where its samples stand, its tick
// placement and how its labels are written (the settled form of an AxisRow
// of an XAxisSpec).
struct PlotXScale
{
    QVector<double> xValues;
    QVector<double> tickValues;
    QStringList labels;
    std::function<QString(double)> tickFormatter;
    int spacing = 50;
    int decimals = -1;
    TickMode tickMode = TickMode::Automatic;
    bool includeEnds = true;
    bool bandOnly = false;
    double bandMin = 0.0;
    double bandMax = 1.0;
    QVector<double> explicitTicks;

    // One row of an axis, with the axis's settings settled (explicit ticks
    // from the tick values, the row's decimals and spacing over the axis's).
    static PlotXScale of(const XAxisSpec &axis, const AxisRow &row);
};

// Draws the frame around a plot: the y axis with its ticks, the labelled x
// rows under and above the plot area, and the text block (title and info
// lines) in its top-right corner. Holds nothing between paints; made for one
// paint event on the GUI thread.
class PlotAxesPainter
{
public:
    PlotAxesPainter(QPainter &painter, const PlotLayout &layout, GraphLayout mode, int widgetWidth,
                    const QFont &labelFont);

    // Length of the tick marks at the plot's edges.
    static int tickLength(GraphLayout mode);

    // The y axis of settled decimals and ticks; lineWidth is the plot's curve
    // width, which thickens the zero line.
    void paintYAxis(const YAxisSpec &axis, int lineWidth);
    // One x row, `level` rows away from the bottom (or top) edge.
    void paintXRow(const PlotXScale &scale, bool bottom, int level, int rowHeight);
    // The title box and the info lines, at least `top` px from the top edge.
    void paintTextBlock(const QString &title, const QStringList &lines, int top);

private:
    QPainter &m_painter;
    const PlotLayout &m_layout;
    GraphLayout m_mode;
    int m_width;
    QFont m_labelFont;
};
