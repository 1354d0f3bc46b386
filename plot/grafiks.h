#pragma once

#include "plot/curvelayer.h"
#include "plot/graphspec.h"
#include "plot/legendentry.h"
#include "plot/plotaxespainter.h"
#include "plot/plotgesture.h"
#include "plot/plotlayout.h"
#include "plot/plotreadout.h"
#include "plot/plotview.h"

#include <QFont>
#include <QRect>
#include <QWidget>

// The line-plot widget: takes in a GraphSpec and keeps the user's view of it.
// It draws the curves and guide lines (the curve layer) with the axes and the
// text block (the axes painter), zooms by mouse drags and selects peak areas
// (the gesture), and reports the value under the mouse (the read-out). Owns a
// copy of the GraphSpec's contents (samples shared, never copied) and the curve
// layer, which every new spec or clear() invalidates. GUI thread only.
class Grafiks : public QWidget
{
    Q_OBJECT

public:
    using GraphSpec = ::GraphSpec;
    using XAxisSpec = ::XAxisSpec;
    using PlotLayout = ::PlotLayout;
    // Visible or full ranges of both axes.
    using ViewRange = PlotRange;

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
    ViewRange fullRange() const { return m_view.full(); }
    ViewRange visibleRange() const { return m_view.visible(); }
    int zoomDepth() const { return m_view.depth(); }
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
    const ReductionCache &reductionCache() const { return m_curves.cache(); }

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
    void addAxisRows(const XAxisSpec &axis, bool bottom);
    void setSeries(const QVector<GraphSeries> &series, bool keepView);
    PlotRange computeFullRange();
    // Shows the range, telling listeners when its x range moved.
    void applyView(const PlotRange &view);
    // Repaints after a change of the visible range; before is the range shown until then.
    void viewMoved(const PlotRange &before);
    bool hasCurveData() const;
    bool usesXValues() const;
    QColor defaultColor(int seriesIndex) const;
    int curvePenWidth(const GraphSeries &series) const;
    int visibleRowCount(bool bottom) const;
    int rowHeight() const;
    int sampleIndexAt(const PlotLayout &layout, int px) const;
    void endDrag();
    void zoomOrSelect(const PlotLayout &layout, const QPoint &from, const QPoint &to);
    void clicked(const PlotLayout &layout, const QPoint &at);

    void paintCurves(QPainter &painter, const PlotLayout &layout);
    void paintLines(QPainter &painter, const PlotLayout &layout, bool onTop);
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

    // The GraphSpec's y axis with its decimals and ticks settled (see setGraphSpec).
    YAxisSpec m_yAxis;
    PlotReadout m_readout;
    QVector<PlotXScale> m_xScales;
    int m_bottomRows = 0;
    int m_topRows = 0;
    QVector<bool> m_yAxisVisible;
    QVector<bool> m_xAxisVisible;

    PlotView m_view;
    int m_count = 0;
    bool m_xIncreasing = true;
    // Block extremes of each curve's samples, index-aligned with m_series.
    QVector<CurveReduction::Summary> m_summaries;

    PlotGesture m_gesture;
    // Whether a selection was shown when the button went down.
    bool m_selectionAtPress = false;
    // The dragged rectangle while a drag runs, then a selected peak area.
    QRect m_selection;

    QFont m_labelFont;
    QFont m_rowFont;
    CurveLayer m_curves;
};
