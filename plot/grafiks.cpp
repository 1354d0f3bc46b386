#include "plot/grafiks.h"

#include "plot/plotnumbers.h"
#include "plot/serieslegend.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor frameColor(64, 64, 64);
const QColor selectionFill(0, 50, 200, 100);

} // namespace

Grafiks::Grafiks(QWidget *parent)
    : QWidget(parent),
      m_noDataText(QStringLiteral("No data")),
      m_labelFont(QStringLiteral("Arial"), 9),
      m_rowFont(QStringLiteral("Arial"), 9)
{
    setMouseTracking(true);
}

void Grafiks::setGraphSpec(const GraphSpec &spec)
{
    const bool keepView = !spec.key.isEmpty() && spec.key == m_key && hasCurveData();

    m_key = spec.key;
    m_title = spec.title;
    m_infoLines = spec.infoLines;
    m_layoutMode = spec.layoutMode;
    m_lineWidth = qBound(1, spec.lineWidth, 10);
    m_zoomEnabled = spec.zoomEnabled;
    m_peakSelectionEnabled = spec.peakSelectionEnabled;
    m_labelFont.setPointSize(m_layoutMode == GraphLayout::Compact ? 8 : 9);

    m_yAxis = spec.yAxis;
    m_yAxis.defaultDecimals = qMax(0, m_yAxis.defaultDecimals);
    if (m_yAxis.tickDecimals < 0)
        m_yAxis.tickDecimals = m_yAxis.defaultDecimals;
    if (m_yAxis.explicitTicks.isEmpty() && !m_yAxis.tickValues.isEmpty()) {
        m_yAxis.tickMode = TickMode::Explicit;
        m_yAxis.explicitTicks = m_yAxis.tickValues;
    }

    // The axes the user switched off stay off in a spec that has them again.
    const PlotReadout old = m_readout;
    const QVector<bool> oldYVisible = m_yAxisVisible;
    const QVector<bool> oldXVisible = m_xAxisVisible;
    m_readout.reset(m_yAxis.defaultDecimals);
    m_readout.setY(m_yAxis);
    m_xScales.clear();
    m_bottomRows = 0;
    m_topRows = 0;
    addAxisRows(spec.bottomAxis, true);
    addAxisRows(spec.topAxis, false);

    m_yAxisVisible = PlotReadout::carriedVisibility(m_readout.y(), old.y(), oldYVisible);
    m_xAxisVisible = PlotReadout::carriedVisibility(m_readout.x(), old.x(), oldXVisible);

    const PlotRange before = m_view.visible();
    m_curves.invalidate();
    setSeries(spec.series, keepView);
    m_gesture.cancel();
    if (!keepView)
        m_selection = QRect();
    viewMoved(before);
}

void Grafiks::addAxisRows(const XAxisSpec &axis, bool bottom)
{
    if (!axis.enabled)
        return;
    QVector<AxisRow> rows = axis.rows;
    if (rows.isEmpty())
        rows.append(AxisRow());
    for (const AxisRow &row : qAsConst(rows)) {
        m_xScales.append(PlotXScale::of(axis, row));
        m_readout.addX(row, m_xScales.last().decimals);
        if (bottom)
            ++m_bottomRows;
        else
            ++m_topRows;
    }
}

void Grafiks::setSeries(const QVector<GraphSeries> &series, bool keepView)
{
    m_series = SeriesLegend::carried(series, m_series);
    m_view.setFull(computeFullRange(), keepView);
    emit plotLayersChanged();
}

PlotRange Grafiks::computeFullRange()
{
    m_count = 0;
    for (const GraphSeries &entry : qAsConst(m_series)) {
        if (entry.kind == GraphSeries::Curve && !entry.values.isEmpty()) {
            m_count = entry.values.size();
            break;
        }
    }
    m_xIncreasing = true;
    PlotRange full;
    if (m_count > 0) {
        if (usesXValues()) {
            const QVector<double> &xs = m_xScales.at(0).xValues;
            full.xMin = xs.first();
            full.xMax = xs.last();
            m_xIncreasing = CurveReduction::isIncreasing(xs);
        } else {
            full.xMin = 0.0;
            full.xMax = qMax(1, m_count - 1);
        }
        if (!(full.xMax > full.xMin))
            full.xMax = full.xMin + qMax(1, m_count - 1);
    }
    m_summaries.clear();
    m_summaries.reserve(m_series.size());
    bool any = false;
    double lo = 0.0;
    double hi = 1.0;
    for (const GraphSeries &entry : qAsConst(m_series)) {
        if (entry.kind != GraphSeries::Curve || entry.values.isEmpty()) {
            m_summaries.append(CurveReduction::Summary());
            continue;
        }
        m_summaries.append(CurveReduction::Summary::build(entry.values.constData(), entry.values.size()));
        const CurveReduction::Summary &summary = m_summaries.last();
        if (!summary.anyFinite)
            continue;
        lo = any ? qMin(lo, summary.min) : summary.min;
        hi = any ? qMax(hi, summary.max) : summary.max;
        any = true;
    }
    if (m_yAxis.autoRange) {
        if (any) {
            const ValueRange padded = paddedValueRange(lo, hi);
            full.yMin = padded.min;
            full.yMax = padded.max;
        }
    } else if (std::isfinite(m_yAxis.min) && std::isfinite(m_yAxis.max)) {
        full.yMin = m_yAxis.min;
        full.yMax = m_yAxis.max;
    }
    return full;
}

void Grafiks::applyView(const PlotRange &view)
{
    const PlotRange before = m_view.visible();
    m_view.setVisible(view);
    viewMoved(before);
}

void Grafiks::viewMoved(const PlotRange &before)
{
    if (PlotView::xDiffers(before, m_view.visible()))
        emit visibleXRangeChanged(m_view.visible().xMin, m_view.visible().xMax);
    update();
}

bool Grafiks::hasCurveData() const
{
    return m_count > 0;
}

bool Grafiks::usesXValues() const
{
    if (m_xScales.isEmpty() || m_count <= 0)
        return false;
    const QVector<double> &xs = m_xScales.at(0).xValues;
    return xs.size() == m_count && std::isfinite(xs.first()) && std::isfinite(xs.last());
}

void Grafiks::clear()
{
    m_series.clear();
    m_key.clear();
    m_count = 0;
    m_selection = QRect();
    setGraphSpec(GraphSpec());
}

void Grafiks::setNoDataText(const QString &text, int fontSizeDelta)
{
    m_noDataText = text;
    m_noDataFontDelta = fontSizeDelta;
    update();
}

void Grafiks::setSeriesVisible(int index, bool visible)
{
    if (index < 0 || index >= m_series.size() || m_series.at(index).visible == visible)
        return;
    m_series[index].visible = visible;
    emit plotLayersChanged();
    update();
}

void Grafiks::setSeriesColor(int index, const QColor &color)
{
    if (index < 0 || index >= m_series.size() || m_series.at(index).color == color)
        return;
    m_series[index].color = color;
    emit plotLayersChanged();
    update();
}

void Grafiks::setVerticalLineIndex(int index, int sampleIndex)
{
    if (index < 0 || index >= m_series.size()
        || m_series.at(index).kind != GraphSeries::VerticalLine
        || m_series.at(index).sampleIndex == sampleIndex)
        return;
    m_series[index].sampleIndex = sampleIndex;
    update();
}

void Grafiks::setAxisVisible(int axisIndex, bool visible)
{
    if (axisIndex < 0)
        return;
    if (axisIndex < m_yAxisVisible.size()) {
        m_yAxisVisible[axisIndex] = visible;
    } else {
        const int row = axisIndex - m_yAxisVisible.size();
        if (row >= m_xAxisVisible.size())
            return;
        m_xAxisVisible[row] = visible;
    }
    update();
}

QVector<bool> Grafiks::axisVisibility() const
{
    return m_yAxisVisible + m_xAxisVisible;
}

QColor Grafiks::defaultColor(int seriesIndex) const
{
    return SeriesLegend::colour(m_series, seriesIndex);
}

QVector<LegendEntry> Grafiks::legendEntries() const
{
    return SeriesLegend::entries(m_series);
}

QString Grafiks::axisTexts() const
{
    return m_readout.axisTexts();
}

void Grafiks::setZoomEnabled(bool enabled)
{
    m_zoomEnabled = enabled;
    if (!enabled)
        endDrag();
    update();
}

void Grafiks::setPeakSelectionEnabled(bool enabled)
{
    m_peakSelectionEnabled = enabled;
    if (!enabled) {
        endDrag();
        m_selection = QRect();
    }
    update();
}

void Grafiks::setShowTextBlock(bool show)
{
    if (m_showTextBlock == show)
        return;
    m_showTextBlock = show;
    update();
}

void Grafiks::resetZoom()
{
    m_view.clearSteps();
    applyView(m_view.full());
}

void Grafiks::setVisibleXRange(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    applyView(m_view.withXRange(a, b));
}

QPair<double, double> Grafiks::visibleXRange() const
{
    return qMakePair(m_view.visible().xMin, m_view.visible().xMax);
}

int Grafiks::rowHeight() const
{
    return QFontMetrics(m_rowFont).height();
}

int Grafiks::visibleRowCount(bool bottom) const
{
    if (m_xScales.isEmpty())
        return bottom ? 1 : 0;
    const int first = bottom ? 0 : m_bottomRows;
    const int last = bottom ? m_bottomRows : m_bottomRows + m_topRows;
    int count = 0;
    for (int i = first; i < last && i < m_xAxisVisible.size(); ++i)
        count += m_xAxisVisible.at(i) ? 1 : 0;
    return count;
}

Grafiks::PlotLayout Grafiks::plotLayout() const
{
    if (!hasCurveData())
        return PlotLayout();
    return PlotLayout::place(m_layoutMode, m_view.visible(), size(), visibleRowCount(true) - 1,
                             visibleRowCount(false) - 1, rowHeight(), m_count);
}

int Grafiks::sampleIndexAt(const PlotLayout &layout, int px) const
{
    return sampleIndexAtValue(layout.valueX(px), m_view.full().xMin, m_view.full().xMax, m_count);
}

QString Grafiks::cursorText(const QPoint &pos) const
{
    const PlotLayout layout = plotLayout();
    if (!layout.valid || !layout.plotRect().contains(pos))
        return QString();
    return m_readout.cursorText(layout.valueX(pos.x()), layout.valueY(pos.y()), sampleIndexAt(layout, pos.x()));
}

void Grafiks::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const PlotLayout layout = plotLayout();
    if (!layout.valid)
        return;
    const bool inside = layout.plotRect().contains(event->pos());
    // Zoom-only plots take drags that start in the margin.
    if (!inside && !(m_zoomEnabled && !m_peakSelectionEnabled))
        return;
    m_selectionAtPress = !m_selection.isNull();
    if (inside && m_peakSelectionEnabled && m_selectionAtPress && m_selection.contains(event->pos())) {
        const int a = sampleIndexAt(layout, m_selection.left());
        const int b = sampleIndexAt(layout, m_selection.right());
        emit simplePeakInfoRequested(qMin(a, b), qMax(a, b));
    }
    m_gesture.press(event->pos(), !inside);
}

void Grafiks::mouseMoveEvent(QMouseEvent *event)
{
    emit cursorInfoChanged(cursorText(event->pos()));
    if (!m_gesture.isPressed())
        return;
    const PlotLayout layout = plotLayout();
    QRect dragged;
    if (layout.valid && m_gesture.move(event->pos(), layout.plotRect(), &dragged)) {
        m_selection = dragged;
        update();
    }
}

void Grafiks::mouseReleaseEvent(QMouseEvent *event)
{
    const PlotLayout layout = plotLayout();
    if (event->button() == Qt::RightButton) {
        if (layout.valid && layout.plotRect().contains(event->pos()))
            emit graphRightClicked();
        return;
    }
    if (event->button() != Qt::LeftButton || !m_gesture.isPressed())
        return;
    if (!layout.valid) {
        m_gesture.cancel();
        return;
    }
    const PlotGesture::Release release = m_gesture.release(event->pos(), layout.plotRect());
    if (release.kind == PlotGesture::Release::Click)
        clicked(layout, release.pressPoint);
    else if (release.kind == PlotGesture::Release::Drag)
        zoomOrSelect(layout, release.pressPoint, release.end);
}

void Grafiks::clicked(const PlotLayout &layout, const QPoint &at)
{
    // A click inside a selection keeps it (it asked for the peak information).
    if (!(m_selectionAtPress && m_selection.contains(at)))
        m_selection = QRect();
    if (m_layoutMode == GraphLayout::Normal && layout.plotRect().contains(at)) {
        emit graphClicked();
        if (!m_selectionAtPress) {
            const double x = layout.valueX(at.x());
            const int index = sampleIndexAt(layout, at.x());
            QStringList names;
            QStringList values;
            m_readout.clickValues(x, index, &names, &values);
            emit xAxisValuesClicked(names, values, x, index);
        }
    }
    update();
}

void Grafiks::zoomOrSelect(const PlotLayout &layout, const QPoint &from, const QPoint &to)
{
    const QRect rect = PlotGesture::spanned(from, to);
    const bool rightward = to.x() > from.x();
    const bool leftward = to.x() < from.x();
    if (rightward && m_peakSelectionEnabled) {
        m_selection = rect;
        emit peakAreaSelected(sampleIndexAt(layout, from.x()), sampleIndexAt(layout, to.x()));
        update();
        return;
    }
    m_selection = QRect();
    if (m_zoomEnabled && rightward && rect.width() > 1 && rect.height() > 1) {
        PlotRange next;
        next.xMin = layout.valueX(rect.left());
        next.xMax = layout.valueX(rect.right());
        next.yMin = layout.valueY(rect.bottom());
        next.yMax = layout.valueY(rect.top());
        const PlotRange before = m_view.visible();
        if (m_view.zoomIn(next))
            viewMoved(before);
    } else if (m_zoomEnabled && leftward) {
        const PlotRange before = m_view.visible();
        if (m_view.zoomBack())
            viewMoved(before);
    }
    update();
}

void Grafiks::endDrag()
{
    if (m_gesture.cancel())
        m_selection = QRect();
}

void Grafiks::leaveEvent(QEvent *event)
{
    emit cursorInfoChanged(QString());
    QWidget::leaveEvent(event);
}

int Grafiks::curvePenWidth(const GraphSeries &series) const
{
    return series.lineWidth > 0 ? qMin(series.lineWidth, 10) : m_lineWidth;
}

void Grafiks::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    const PlotLayout layout = plotLayout();
    if (!hasCurveData()) {
        QFont font = painter.font();
        font.setPointSize(qMax(1, font.pointSize() + m_noDataFontDelta));
        painter.setFont(font);
        painter.setPen(Qt::gray);
        painter.drawText(rect(), Qt::AlignCenter, m_noDataText);
        paintFrame(painter);
        return;
    }
    if (!layout.valid) {
        paintFrame(painter);
        return;
    }
    painter.save();
    painter.setClipRect(layout.plotRect());
    paintLines(painter, layout, false);
    paintCurves(painter, layout);
    paintLines(painter, layout, true);
    painter.restore();

    PlotAxesPainter axes(painter, layout, m_layoutMode, width(), m_labelFont);
    bool yShown = m_readout.y().isEmpty();
    for (const bool visible : qAsConst(m_yAxisVisible))
        yShown = yShown || visible;
    if (yShown)
        axes.paintYAxis(m_yAxis, m_lineWidth);
    if (m_xScales.isEmpty())
        axes.paintXRow(PlotXScale(), true, 0, rowHeight());
    for (int side = 0; side < 2; ++side) {
        const bool bottom = side == 0;
        const int first = bottom ? 0 : m_bottomRows;
        const int last = bottom ? m_bottomRows : m_bottomRows + m_topRows;
        int level = 0;
        for (int i = first; i < last; ++i) {
            if (m_xAxisVisible.value(i, true))
                axes.paintXRow(m_xScales.at(i), bottom, level++, rowHeight());
        }
    }
    if (m_showTextBlock) {
        const int topRows = visibleRowCount(false);
        const int below = topRows > 0
            ? PlotAxesPainter::tickLength(m_layoutMode) + 5 + topRows * rowHeight() + 5
            : 0;
        axes.paintTextBlock(m_title, m_infoLines, below);
    }
    if (!m_selection.isNull()) {
        painter.save();
        painter.setClipRect(layout.plotRect());
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(selectionFill);
        painter.drawRect(m_selection);
        painter.restore();
    }
    paintFrame(painter);
}

void Grafiks::paintFrame(QPainter &painter)
{
    painter.setClipping(false);
    painter.setPen(QPen(frameColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Grafiks::paintCurves(QPainter &painter, const PlotLayout &layout)
{
    QVector<CurveLayer::Curve> curves;
    for (int i = 0; i < m_series.size(); ++i) {
        const GraphSeries &entry = m_series.at(i);
        if (entry.kind != GraphSeries::Curve || !entry.visible || entry.values.size() != m_count)
            continue;
        QPen pen(entry.color.isValid() ? entry.color : defaultColor(i));
        pen.setWidth(curvePenWidth(entry));
        pen.setStyle(Qt::SolidLine);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::BevelJoin);
        curves.append(CurveLayer::Curve{i, entry.values.constData(), &m_summaries.at(i), pen});
    }
    const double *xs = usesXValues() ? m_xScales.at(0).xValues.constData() : nullptr;
    m_curves.paint(painter, layout, curves, xs, m_count, m_xIncreasing);
}

void Grafiks::paintLines(QPainter &painter, const PlotLayout &layout, bool onTop)
{
    const int width = m_lineWidth > 2 ? 2 : 1;
    const bool useX = usesXValues();
    for (int i = 0; i < m_series.size(); ++i) {
        const GraphSeries &entry = m_series.at(i);
        if (!SeriesLegend::isLine(entry) || !entry.visible || entry.drawOnTop != onTop)
            continue;
        painter.setPen(QPen(defaultColor(i), width));
        if (entry.kind == GraphSeries::HorizontalLine) {
            if (!(entry.yValue >= layout.yMin && entry.yValue <= layout.yMax))
                continue;
            const int y = layout.pixelY(entry.yValue);
            painter.drawLine(layout.left, y, layout.left + layout.plotWidth, y);
        } else if (m_layoutMode != GraphLayout::Large && entry.sampleIndex >= 0 && entry.sampleIndex < m_count) {
            const double xValue = useX ? m_xScales.at(0).xValues.at(entry.sampleIndex) : entry.sampleIndex;
            if (!std::isfinite(xValue))
                continue;
            const int x = layout.pixelX(xValue);
            painter.drawLine(x, layout.top - 1, x, layout.widgetHeight - 1 - layout.bottom);
        }
    }
}
