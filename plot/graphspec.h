#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

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

    int kind = Curve;
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
    int tickMode = 0;
    int rowTickSpacing = 0;
    int rowDecimals = -1;
    bool ticksIncludeEnds = true;
    bool tickBandOnly = false;
    double bandMin = 0.0;
    double bandMax = 1.0;
    QVector<double> explicitTicks;
    QStringList explicitTickLabels;
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
    int layoutMode = 0;
    QString yName;
    QString yTitle;
    std::function<QString(double, int)> yFormatter;
    QVector<double> yTickValues;
    int yZeroAxis = 0;
    bool yAutoRange = true;
    double yMin = 0.0;
    double yMax = 1.0;
    int yDefaultDecimals = 2;
    int yDecimals = -1;
    int yTickMode = 0;
    int yTickSpacing = 0;
    int yTickDecimals = -1;
    bool yTicksIncludeEnds = true;
    bool yTickBandOnly = false;
    double yBandMin = 0.0;
    double yBandMax = 1.0;
    QVector<double> yExplicitTicks;
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
