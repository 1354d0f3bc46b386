#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Margins, font sizes and fixed tick steps of a graph: normal, compact
// (thumbnails) or large.
enum class GraphLayout { Normal, Compact, Large };

// How an axis places its ticks: at a distance in pixels, or at listed values.
enum class TickMode { Automatic, Explicit };

// A y axis without automatic value ticks: a line at the left edge with marks
// every 100 px from the bottom, or a zero line across the plot labelled "0"
// with marks above and below it.
enum class ZeroAxis { None, Line };

// One entry of a graph: a curve of samples or a horizontal or vertical guide
// line. A plain value; the samples are implicitly shared, so copying a series
// (or a whole GraphSpec) never copies them.
struct GraphSeries
{
    enum SeriesKind { Curve = 0, HorizontalLine = 1, VerticalLine = 2 };

    GraphSeries() = default;
    GraphSeries(const QString &seriesName, const QVector<double> &seriesValues,
                const QColor &seriesColor = QColor())
        : name(seriesName), color(seriesColor), values(seriesValues)
    {
    }

    SeriesKind kind = Curve;
    QString name;
    QString details;
    QColor color;
    bool visible = true;
    bool inLegend = true;
    bool drawOnTop = false;
    int lineWidth = 0;
    QVector<double> values;
    double yValue = 0.0;
    int sampleIndex = -1;
};

// One labelled row of an x axis.
struct AxisRow
{
    QString name;
    QString title;
    QStringList labels;
    std::function<QString(double)> tickFormatter;
    std::function<QString(double, int)> readoutFormatter;
    int readoutDecimals = -1;
};

// One (caption, value) line of the info panel's header table.
struct HeaderRow
{
    HeaderRow() = default;
    HeaderRow(const QString &rowCaption, const QString &rowValue)
        : caption(rowCaption), value(rowValue)
    {
    }

    QString caption;
    QString value;
};

// An x axis under or above the plot, with any number of labelled rows.
struct XAxisSpec
{
    bool enabled = false;
    QVector<double> xValues;
    QVector<double> tickValues;
    int tickSpacing = 50;
    int decimals = -1;
    QVector<AxisRow> rows;
    TickMode tickMode = TickMode::Automatic;
    int rowTickSpacing = 0;
    int rowDecimals = -1;
    bool ticksIncludeEnds = true;
    bool tickBandOnly = false;
    double bandMin = 0.0;
    double bandMax = 1.0;
    QVector<double> explicitTicks;
    QStringList explicitTickLabels;
};

// The y axis: the quantity, its range and its ticks.
struct YAxisSpec
{
    QString name;
    QString title;
    std::function<QString(double, int)> formatter;
    QVector<double> tickValues;
    ZeroAxis zeroAxis = ZeroAxis::None;
    bool autoRange = true;
    double min = 0.0;
    double max = 1.0;
    int defaultDecimals = 2;
    int decimals = -1;
    TickMode tickMode = TickMode::Automatic;
    int tickSpacing = 0;
    int tickDecimals = -1;
    bool ticksIncludeEnds = true;
    bool tickBandOnly = false;
    double bandMin = 0.0;
    double bandMax = 1.0;
    QVector<double> explicitTicks;
};

// Everything a module tells the plotting toolkit about one graph. Built fresh
// by the module whenever its graph changes, copied freely and never modified by
// the widgets that receive it.
struct GraphSpec
{
    QVector<GraphSeries> series;
    QString key;
    QString title;
    QStringList infoLines;
    GraphLayout layoutMode = GraphLayout::Normal;
    YAxisSpec yAxis;
    XAxisSpec bottomAxis;
    XAxisSpec topAxis;
    int lineWidth = 1;
    bool zoomEnabled = false;
    bool peakSelectionEnabled = false;
    bool infoPanelVisible = true;
    QString headerText;
    QVector<HeaderRow> headerRows;
    bool headerSpacerBeforeLast = false;
};
