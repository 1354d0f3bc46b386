#pragma once

#include "plot/graphspec.h"
#include "plot/legendentry.h"
#include "plot/reductioncache.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>

// The line-plot widget: draws the curves and guide lines of a GraphSpec with a
// y axis, labelled x-axis rows, a text block and a frame; zooms by mouse drags,
// selects peak areas and reports the value under the mouse. Owns a copy of the
// spec's contents (samples shared, never copied) and the reduction cache of
// its curves, which every new spec or clear() invalidates. GUI thread only.
class Grafiks : public QWidget
{
    Q_OBJECT

public:
    using GraphSpec = ::GraphSpec;
    using XAxisSpec = ::XAxisSpec;

    // Visible or full ranges of both axes.
    struct ViewRange
    {
        double xMin = 0.0;
        double xMax = 1.0;
        double yMin = 0.0;
        double yMax = 1.0;
    };

    // Geometry of one paint or mouse event; valid only when a curve has samples
    // and the plot area is at least one pixel in each direction.
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

        int pixelX(double x) const;
        int pixelY(double y) const;
        double valueX(int px) const;
        double valueY(int py) const;
        // The pixels that values of the visible range map to.
        QRect plotRect() const;
    };

    explicit Grafiks(QWidget *parent = nullptr);

    void setGraphSpec(const GraphSpec &spec);
    void clear();
    void setNoDataText(const QString &text, int fontSizeDelta = 0);
    void setSeriesVisible(int index, bool visible);
    void setSeriesColor(int index, const QColor &color);
    void setVerticalLineIndex(int index, int sampleIndex);
    void setAxisVisible(int axisIndex, bool visible);
    QVector<bool> axisVisibility() const;
    QVector<LegendEntry> legendEntries() const;
    QString axisTexts() const;
    void setZoomEnabled(bool enabled);
    void setPeakSelectionEnabled(bool enabled);
    void setShowTextBlock(bool show);
    void resetZoom();
    void setVisibleXRange(double a, double b);
    QPair<double, double> visibleXRange() const;

    const QVector<GraphSeries> &series() const { return m_series; }
    QString key() const { return m_key; }
    ViewRange fullRange() const { return m_full; }
    ViewRange visibleRange() const { return m_view; }
    int zoomDepth() const { return m_zoomHistory.size(); }
    bool showTextBlock() const { return m_showTextBlock; }
    bool zoomEnabled() const { return m_zoomEnabled; }
    bool peakSelectionEnabled() const { return m_peakSelectionEnabled; }
    int lineWidth() const { return m_lineWidth; }
    GraphLayout layoutMode() const { return m_layoutMode; }
    QRect selectionRect() const { return m_selection; }
    // Sample count shared by the drawn curves; 0 when nothing is drawn.
    int commonSampleCount() const { return m_count; }
    PlotLayout plotLayout() const;
    // The read-out text for a widget position: empty outside the plot.
    QString cursorText(const QPoint &pos) const;
    const ReductionCache &reductionCache() const { return m_cache; }

signals:
    void cursorInfoChanged(QString text);
    void graphClicked();
    void graphRightClicked();
    void xAxisValuesClicked(QStringList variableNames, QStringList values, double xValue,
                            int pointIndex);
    void peakAreaSelected(int n1, int n2);
    void simplePeakInfoRequested(int n1, int n2);
    void plotLayersChanged();
    void visibleXRangeChanged(double minimum, double maximum);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    struct ValueDescriptor
    {
        QString name;
        QString title;
        std::function<QString(double, int)> formatter;
        int decimals = -1;
    };

    struct XScale
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
    };

    struct AxisLabel
    {
        int tickX = 0;
        QRect box;
        QString text;
    };

    void setSeries(const QVector<GraphSeries> &series);
    void addAxisRows(const XAxisSpec &axis, bool bottom);
    void computeFullRange();
    ViewRange clampedView(const ViewRange &view) const;
    void applyView(const ViewRange &view);
    bool hasCurveData() const;
    bool usesXValues() const;
    QColor defaultColor(int seriesIndex) const;
    int curvePenWidth(const GraphSeries &series) const;
    int visibleRowCount(bool bottom) const;
    int rowHeight() const;
    int tickLength() const;
    int sampleIndexAt(const PlotLayout &layout, int px) const;
    QString descriptorLabel(QChar letter, int index, int count) const;
    QString xReadoutText(int row, double x, int sampleIndex) const;
    QString yReadoutText(int descriptor, double y, int sampleIndex) const;
    void endDrag();

    void paintCurves(QPainter &painter, const PlotLayout &layout);
    void paintLines(QPainter &painter, const PlotLayout &layout, bool onTop);
    void paintYAxis(QPainter &painter, const PlotLayout &layout);
    void paintXRows(QPainter &painter, const PlotLayout &layout);
    void paintXRow(QPainter &painter, const PlotLayout &layout, int scaleIndex, bool bottom,
                   int level);
    void paintTextBlock(QPainter &painter, const PlotLayout &layout);
    void paintFrame(QPainter &painter);

    QVector<GraphSeries> m_series;
    QString m_key;
    QString m_title;
    QStringList m_infoLines;
    GraphLayout m_layoutMode = GraphLayout::Normal;
    int m_lineWidth = 1;
    bool m_zoomEnabled = false;
    bool m_peakSelectionEnabled = false;
    bool m_showTextBlock = true;
    QString m_noDataText;
    int m_noDataFontDelta = 0;

    // The spec's y axis with its decimals and ticks settled (see setGraphSpec).
    YAxisSpec m_yAxis;

    QVector<ValueDescriptor> m_yDescriptors;
    QVector<ValueDescriptor> m_xDescriptors;
    QVector<XScale> m_xScales;
    int m_bottomRows = 0;
    int m_topRows = 0;
    QVector<bool> m_yAxisVisible;
    QVector<bool> m_xAxisVisible;

    ViewRange m_full;
    ViewRange m_view;
    QVector<ViewRange> m_zoomHistory;
    int m_count = 0;
    bool m_xIncreasing = true;
    // Block extremes of each curve's samples, index-aligned with m_series.
    QVector<CurveReduction::Summary> m_summaries;

    bool m_pressed = false;
    bool m_pressOutside = false;
    bool m_selectionAtPress = false;
    bool m_dragged = false;
    QPoint m_pressPoint;
    QRect m_selection;

    QFont m_labelFont;
    QFont m_rowFont;
    ReductionCache m_cache;
    // Dense curves drawn once into an image of the plot area and blended in on
    // repaints while the curves, their look, the view and the size stay the
    // same; the signature says what the image shows.
    QImage m_curveLayer;
    QVector<qint64> m_curveLayerSignature;
};
