#include "plot/grafiks.h"

#include "plot/plotnumbers.h"
#include "plot/seriespalette.h"

#include <QFontMetrics>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const QColor guideGrey(204, 204, 204);
const QColor frameColor(64, 64, 64);
const QColor selectionFill(0, 50, 200, 100);
// A press and release closer than this are a click, not a drag.
constexpr int dragThreshold = 3;
// Labels of one x row closer than this are thinned out.
constexpr int labelGap = 19;

QString layerKey(const GraphSeries &series)
{
    switch (series.kind) {
    case GraphSeries::Curve:
        return QStringLiteral("graph:%1").arg(series.name);
    case GraphSeries::HorizontalLine:
        return QStringLiteral("gh:%1:%2").arg(series.name, QString::number(series.yValue, 'g', 12));
    case GraphSeries::VerticalLine:
        return QStringLiteral("gv:%1").arg(series.name);
    default:
        return series.name;
    }
}

bool isLine(const GraphSeries &series)
{
    return series.kind == GraphSeries::HorizontalLine || series.kind == GraphSeries::VerticalLine;
}

bool differs(double a, double b, double span)
{
    return std::fabs(a - b) > viewTolerance(span);
}

QPoint clampedInto(const QPoint &point, const QRect &rect)
{
    return QPoint(qBound(rect.left(), point.x(), rect.right()),
                  qBound(rect.top(), point.y(), rect.bottom()));
}

// Where the segment from p0 to p1 first enters rect; false when it never does.
bool segmentEntry(const QPoint &p0, const QPoint &p1, const QRect &rect, QPoint *entry)
{
    if (rect.contains(p0)) {
        *entry = p0;
        return true;
    }
    const double dx = p1.x() - p0.x();
    const double dy = p1.y() - p0.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(p0.x() - rect.left()), double(rect.right() - p0.x()),
                         double(p0.y() - rect.top()), double(rect.bottom() - p0.y())};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = qMax(t0, t);
        else
            t1 = qMin(t1, t);
    }
    if (t0 > t1)
        return false;
    *entry = clampedInto(QPoint(int(std::lround(p0.x() + t0 * dx)), int(std::lround(p0.y() + t0 * dy))),
                         rect);
    return true;
}

} // namespace

int Grafiks::PlotLayout::pixelX(double x) const
{
    CurveReduction::PixelMap map;
    map.xMin = xMin;
    map.kx = kx;
    map.left = left;
    return map.pixelX(x);
}

int Grafiks::PlotLayout::pixelY(double y) const
{
    CurveReduction::PixelMap map;
    map.yMin = yMin;
    map.ky = ky;
    map.yBase = widgetHeight - 1 - bottom;
    return map.pixelY(y);
}

double Grafiks::PlotLayout::valueX(int px) const
{
    return (px - left) / kx + xMin;
}

double Grafiks::PlotLayout::valueY(int py) const
{
    return yMin + ((widgetHeight - 1 - bottom) - py) / ky;
}

QRect Grafiks::PlotLayout::plotRect() const
{
    return QRect(left, top - 1, plotWidth + 1, plotHeight + 1);
}

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
    const ViewRange remembered = m_view;
    const bool keepView = !spec.key.isEmpty() && spec.key == m_key && hasCurveData();
    if (!keepView)
        m_zoomHistory.clear();

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

    const QVector<ValueDescriptor> oldY = m_yDescriptors;
    const QVector<ValueDescriptor> oldX = m_xDescriptors;
    const QVector<bool> oldYVisible = m_yAxisVisible;
    const QVector<bool> oldXVisible = m_xAxisVisible;
    m_yDescriptors.clear();
    m_xDescriptors.clear();
    m_xScales.clear();
    m_bottomRows = 0;
    m_topRows = 0;
    if (!m_yAxis.name.isEmpty() || !m_yAxis.title.isEmpty())
        m_yDescriptors.append(ValueDescriptor{m_yAxis.name, m_yAxis.title, m_yAxis.formatter, m_yAxis.decimals});
    addAxisRows(spec.bottomAxis, true);
    addAxisRows(spec.topAxis, false);

    auto carryVisibility = [](const QVector<ValueDescriptor> &fresh, const QVector<ValueDescriptor> &old,
                              const QVector<bool> &oldVisible) {
        QVector<bool> visible(fresh.size(), true);
        for (int i = 0; i < fresh.size(); ++i) {
            for (int j = 0; j < old.size() && j < oldVisible.size(); ++j) {
                if (old.at(j).name == fresh.at(i).name && old.at(j).title == fresh.at(i).title) {
                    visible[i] = oldVisible.at(j);
                    break;
                }
            }
        }
        return visible;
    };
    m_yAxisVisible = carryVisibility(m_yDescriptors, oldY, oldYVisible);
    m_xAxisVisible = carryVisibility(m_xDescriptors, oldX, oldXVisible);

    const ViewRange before = m_view;
    m_cache.invalidate();
    m_curveLayerSignature.clear();
    setSeries(spec.series);
    m_pressed = false;
    m_pressOutside = false;
    if (keepView) {
        m_view = clampedView(remembered);
    } else {
        m_selection = QRect();
    }
    if (differs(before.xMin, m_view.xMin, before.xMax - before.xMin)
        || differs(before.xMax, m_view.xMax, before.xMax - before.xMin))
        emit visibleXRangeChanged(m_view.xMin, m_view.xMax);
    update();
}

void Grafiks::addAxisRows(const XAxisSpec &axis, bool bottom)
{
    if (!axis.enabled)
        return;
    QVector<AxisRow> rows = axis.rows;
    if (rows.isEmpty())
        rows.append(AxisRow());
    TickMode tickMode = axis.tickMode;
    QVector<double> explicitTicks = axis.explicitTicks;
    if (explicitTicks.isEmpty() && !axis.tickValues.isEmpty()) {
        tickMode = TickMode::Explicit;
        explicitTicks = axis.tickValues;
    }
    const int decimals = axis.rowDecimals >= 0 ? axis.rowDecimals : axis.decimals;
    int spacing = axis.rowTickSpacing >= 1 ? axis.rowTickSpacing : axis.tickSpacing;
    if (spacing < 1)
        spacing = 50;
    for (const AxisRow &row : qAsConst(rows)) {
        XScale scale;
        scale.xValues = axis.xValues;
        scale.tickValues = axis.tickValues;
        scale.labels = axis.explicitTickLabels.isEmpty() ? row.labels : axis.explicitTickLabels;
        scale.tickFormatter = row.tickFormatter;
        scale.spacing = spacing;
        scale.decimals = decimals;
        scale.tickMode = tickMode;
        scale.includeEnds = axis.ticksIncludeEnds;
        scale.bandOnly = axis.tickBandOnly;
        scale.bandMin = axis.bandMin;
        scale.bandMax = axis.bandMax;
        scale.explicitTicks = explicitTicks;
        m_xScales.append(scale);

        ValueDescriptor descriptor{row.name, row.title, row.readoutFormatter, row.readoutDecimals};
        if (!descriptor.formatter && row.tickFormatter && row.readoutDecimals < 0) {
            const std::function<QString(double)> tickFormatter = row.tickFormatter;
            descriptor.formatter = [tickFormatter](double value, int) { return tickFormatter(value); };
        }
        m_xDescriptors.append(descriptor);
        if (bottom)
            ++m_bottomRows;
        else
            ++m_topRows;
    }
}

void Grafiks::setSeries(const QVector<GraphSeries> &series)
{
    QHash<QString, int> oldByKey;
    for (int i = 0; i < m_series.size(); ++i)
        oldByKey.insert(layerKey(m_series.at(i)), i);
    QVector<GraphSeries> fresh = series;
    int curveOrdinal = 0;
    for (GraphSeries &entry : fresh) {
        const auto old = oldByKey.constFind(layerKey(entry));
        if (old != oldByKey.constEnd()) {
            const GraphSeries &previous = m_series.at(old.value());
            entry.visible = previous.visible;
            if (previous.color.isValid())
                entry.color = previous.color;
        }
        if (entry.kind == GraphSeries::Curve) {
            if (!entry.color.isValid())
                entry.color = SeriesPalette.isEmpty() ? QColor(Qt::blue)
                                                      : SeriesPalette.at(curveOrdinal % SeriesPalette.size());
            ++curveOrdinal;
        }
    }
    m_series = fresh;
    computeFullRange();
    m_view = m_full;
    emit plotLayersChanged();
}

void Grafiks::computeFullRange()
{
    m_count = 0;
    for (const GraphSeries &entry : qAsConst(m_series)) {
        if (entry.kind == GraphSeries::Curve && !entry.values.isEmpty()) {
            m_count = entry.values.size();
            break;
        }
    }
    m_xIncreasing = true;
    ViewRange full;
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
    m_full = full;
}

Grafiks::ViewRange Grafiks::clampedView(const ViewRange &view) const
{
    ViewRange clamped;
    clamped.xMin = qMax(view.xMin, m_full.xMin);
    clamped.xMax = qMin(view.xMax, m_full.xMax);
    if (!(clamped.xMax > clamped.xMin)) {
        clamped.xMin = m_full.xMin;
        clamped.xMax = m_full.xMax;
    }
    clamped.yMin = qMax(view.yMin, m_full.yMin);
    clamped.yMax = qMin(view.yMax, m_full.yMax);
    if (!(clamped.yMax > clamped.yMin)) {
        clamped.yMin = m_full.yMin;
        clamped.yMax = m_full.yMax;
    }
    return clamped;
}

void Grafiks::applyView(const ViewRange &view)
{
    const ViewRange before = m_view;
    m_view = view;
    const double span = before.xMax - before.xMin;
    if (differs(before.xMin, view.xMin, span) || differs(before.xMax, view.xMax, span))
        emit visibleXRangeChanged(view.xMin, view.xMax);
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
    const GraphSeries &entry = m_series.at(seriesIndex);
    if (entry.color.isValid())
        return entry.color;
    if (isLine(entry))
        return guideGrey;
    int ordinal = 0;
    for (int i = 0; i < seriesIndex; ++i)
        ordinal += m_series.at(i).kind == GraphSeries::Curve ? 1 : 0;
    return SeriesPalette.isEmpty() ? QColor(Qt::blue) : SeriesPalette.at(ordinal % SeriesPalette.size());
}

QVector<LegendEntry> Grafiks::legendEntries() const
{
    QVector<LegendEntry> entries;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < m_series.size(); ++i) {
            const GraphSeries &entry = m_series.at(i);
            if (!entry.inLegend || isLine(entry) != (pass == 1))
                continue;
            if (pass == 0 && entry.kind != GraphSeries::Curve)
                continue;
            LegendEntry legend;
            legend.seriesIndex = i;
            legend.text = entry.name;
            legend.name = entry.name;
            legend.details = entry.details;
            legend.color = defaultColor(i);
            legend.checked = entry.visible;
            legend.isLine = isLine(entry);
            legend.index = i;
            entries.append(legend);
        }
    }
    return entries;
}

QString Grafiks::descriptorLabel(QChar letter, int index, int count) const
{
    if (count <= 1)
        return QString(letter);
    return QStringLiteral("%1%2").arg(letter).arg(index + 1);
}

QString Grafiks::axisTexts() const
{
    QStringList lines;
    auto describe = [this, &lines](QChar letter, const QVector<ValueDescriptor> &descriptors) {
        for (int i = 0; i < descriptors.size(); ++i) {
            QStringList parts;
            if (!descriptors.at(i).name.isEmpty())
                parts.append(descriptors.at(i).name);
            if (!descriptors.at(i).title.isEmpty())
                parts.append(descriptors.at(i).title);
            const QString label = descriptorLabel(letter, i, descriptors.size());
            lines.append(parts.isEmpty() ? label
                                         : QStringLiteral("%1: %2").arg(label, parts.join(QStringLiteral(", "))));
        }
    };
    describe(QLatin1Char('Y'), m_yDescriptors);
    describe(QLatin1Char('X'), m_xDescriptors);
    return lines.join(QLatin1Char('\n'));
}

void Grafiks::endDrag()
{
    if (m_pressed && m_dragged)
        m_selection = QRect();
    m_pressed = false;
    m_pressOutside = false;
    m_dragged = false;
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
    m_zoomHistory.clear();
    applyView(m_full);
}

void Grafiks::setVisibleXRange(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    double lo = qBound(m_full.xMin, qMin(a, b), m_full.xMax);
    double hi = qBound(m_full.xMin, qMax(a, b), m_full.xMax);
    if (!(hi > lo) && m_full.xMax > m_full.xMin) {
        lo = qMax(m_full.xMin, lo - 0.5);
        hi = qMin(m_full.xMax, hi + 0.5);
    }
    if (!(hi > lo)) {
        lo = m_full.xMin;
        hi = m_full.xMax;
    }
    ViewRange view = m_view;
    view.xMin = lo;
    view.xMax = hi;
    applyView(view);
}

QPair<double, double> Grafiks::visibleXRange() const
{
    return qMakePair(m_view.xMin, m_view.xMax);
}

int Grafiks::rowHeight() const
{
    return QFontMetrics(m_rowFont).height();
}

int Grafiks::tickLength() const
{
    return m_layoutMode == GraphLayout::Compact ? 6 : 9;
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
    PlotLayout layout;
    if (!hasCurveData())
        return layout;
    if (m_layoutMode == GraphLayout::Compact) {
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
    const int bottomRows = visibleRowCount(true);
    const int topRows = visibleRowCount(false);
    if (bottomRows > 1)
        layout.bottom += rowHeight() * (bottomRows - 1) + 10;
    if (topRows > 1)
        layout.top += rowHeight() * (topRows - 1) + 10;
    layout.xMin = m_view.xMin;
    layout.xMax = m_view.xMax;
    layout.yMin = m_view.yMin;
    layout.yMax = m_view.yMax;
    if (!(layout.xMax > layout.xMin))
        layout.xMax = layout.xMin + qMax(1, m_count - 1);
    if (!(layout.yMax > layout.yMin))
        layout.yMax = layout.yMin + 1.0;
    layout.widgetHeight = height();
    layout.plotWidth = width() - layout.left - layout.right;
    layout.plotHeight = height() - layout.top - layout.bottom;
    if (layout.plotWidth < 1 || layout.plotHeight < 1)
        return layout;
    layout.kx = layout.plotWidth / (layout.xMax - layout.xMin);
    layout.ky = layout.plotHeight / (layout.yMax - layout.yMin);
    layout.valid = std::isfinite(layout.kx) && std::isfinite(layout.ky) && layout.kx > 0.0
        && layout.ky > 0.0;
    return layout;
}

int Grafiks::sampleIndexAt(const PlotLayout &layout, int px) const
{
    return sampleIndexAtValue(layout.valueX(px), m_full.xMin, m_full.xMax, m_count);
}

QString Grafiks::yReadoutText(int descriptor, double y, int sampleIndex) const
{
    if (descriptor < 0 || descriptor >= m_yDescriptors.size())
        return formatPlotNumber(y, m_yAxis.defaultDecimals);
    const ValueDescriptor &d = m_yDescriptors.at(descriptor);
    if (d.formatter)
        return d.formatter(y, sampleIndex);
    return formatPlotNumber(y, d.decimals < 0 ? m_yAxis.defaultDecimals : d.decimals);
}

QString Grafiks::xReadoutText(int row, double x, int sampleIndex) const
{
    if (row < 0 || row >= m_xDescriptors.size())
        return formatPlotNumber(x, 0);
    const ValueDescriptor &d = m_xDescriptors.at(row);
    if (d.formatter)
        return d.formatter(x, sampleIndex);
    const XScale &scale = m_xScales.at(row);
    if (d.decimals < 0 && scale.tickFormatter)
        return scale.tickFormatter(x);
    const int decimals = d.decimals >= 0 ? d.decimals : (scale.decimals >= 0 ? scale.decimals : 0);
    return formatPlotNumber(x, decimals);
}

QString Grafiks::cursorText(const QPoint &pos) const
{
    const PlotLayout layout = plotLayout();
    if (!layout.valid || !layout.plotRect().contains(pos))
        return QString();
    const double x = layout.valueX(pos.x());
    const double y = layout.valueY(pos.y());
    const int index = sampleIndexAt(layout, pos.x());
    QStringList lines;
    const int yCount = m_yDescriptors.size();
    if (yCount == 0) {
        lines.append(QStringLiteral("Y: y=%1").arg(yReadoutText(-1, y, index)));
    }
    for (int i = 0; i < yCount; ++i) {
        const QString name = m_yDescriptors.at(i).name.isEmpty() ? QStringLiteral("y") : m_yDescriptors.at(i).name;
        lines.append(QStringLiteral("%1: %2=%3").arg(descriptorLabel(QLatin1Char('Y'), i, yCount), name,
                                                     yReadoutText(i, y, index)));
    }
    const int xCount = m_xDescriptors.size();
    if (xCount == 0)
        lines.append(QStringLiteral("X: x=%1").arg(xReadoutText(-1, x, index)));
    for (int i = 0; i < xCount; ++i) {
        const QString name = m_xDescriptors.at(i).name.isEmpty() ? QStringLiteral("x") : m_xDescriptors.at(i).name;
        lines.append(QStringLiteral("%1: %2=%3").arg(descriptorLabel(QLatin1Char('X'), i, xCount), name,
                                                     xReadoutText(i, x, index)));
    }
    return lines.join(QLatin1Char('\n'));
}

void Grafiks::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const PlotLayout layout = plotLayout();
    if (!layout.valid)
        return;
    const QRect plot = layout.plotRect();
    const bool inside = plot.contains(event->pos());
    if (!inside && !(m_zoomEnabled && !m_peakSelectionEnabled))
        return;
    m_selectionAtPress = !m_selection.isNull();
    if (inside && m_peakSelectionEnabled && m_selectionAtPress && m_selection.contains(event->pos())) {
        const int a = sampleIndexAt(layout, m_selection.left());
        const int b = sampleIndexAt(layout, m_selection.right());
        emit simplePeakInfoRequested(qMin(a, b), qMax(a, b));
    }
    m_pressed = true;
    m_pressOutside = !inside;
    m_dragged = false;
    m_pressPoint = event->pos();
}

void Grafiks::mouseMoveEvent(QMouseEvent *event)
{
    emit cursorInfoChanged(cursorText(event->pos()));
    if (!m_pressed)
        return;
    const PlotLayout layout = plotLayout();
    if (!layout.valid)
        return;
    const QRect plot = layout.plotRect();
    if (m_pressOutside) {
        QPoint entry;
        if (!segmentEntry(m_pressPoint, event->pos(), plot, &entry))
            return;
        m_pressPoint = entry;
        m_pressOutside = false;
    }
    if (!m_dragged && (event->pos() - m_pressPoint).manhattanLength() < dragThreshold)
        return;
    m_dragged = true;
    const QPoint end = clampedInto(event->pos(), plot);
    m_selection = QRect(QPoint(qMin(m_pressPoint.x(), end.x()), qMin(m_pressPoint.y(), end.y())),
                        QPoint(qMax(m_pressPoint.x(), end.x()), qMax(m_pressPoint.y(), end.y())));
    update();
}

void Grafiks::mouseReleaseEvent(QMouseEvent *event)
{
    const PlotLayout layout = plotLayout();
    if (event->button() == Qt::RightButton) {
        if (layout.valid && layout.plotRect().contains(event->pos()))
            emit graphRightClicked();
        return;
    }
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (!layout.valid) {
        m_dragged = false;
        return;
    }
    const QRect plot = layout.plotRect();
    if (m_pressOutside) {
        QPoint entry;
        if (!segmentEntry(m_pressPoint, event->pos(), plot, &entry)) {
            m_pressOutside = false;
            m_dragged = false;
            return;
        }
        m_pressPoint = entry;
        m_pressOutside = false;
    }
    const QPoint end = clampedInto(event->pos(), plot);
    if (!m_dragged && (event->pos() - m_pressPoint).manhattanLength() >= dragThreshold)
        m_dragged = true;

    if (!m_dragged) {
        if (!(m_selectionAtPress && m_selection.contains(m_pressPoint)))
            m_selection = QRect();
        if (m_layoutMode == GraphLayout::Normal && plot.contains(m_pressPoint)) {
            emit graphClicked();
            if (!m_selectionAtPress) {
                const double x = layout.valueX(m_pressPoint.x());
                const int index = sampleIndexAt(layout, m_pressPoint.x());
                QStringList names;
                QStringList values;
                if (m_xDescriptors.isEmpty()) {
                    names.append(QStringLiteral("x"));
                    values.append(xReadoutText(-1, x, index));
                }
                for (int i = 0; i < m_xDescriptors.size(); ++i) {
                    names.append(m_xDescriptors.at(i).name);
                    values.append(xReadoutText(i, x, index));
                }
                emit xAxisValuesClicked(names, values, x, index);
            }
        }
        update();
        return;
    }
    m_dragged = false;
    const QRect rect(QPoint(qMin(m_pressPoint.x(), end.x()), qMin(m_pressPoint.y(), end.y())),
                     QPoint(qMax(m_pressPoint.x(), end.x()), qMax(m_pressPoint.y(), end.y())));
    const bool rightward = end.x() > m_pressPoint.x();
    const bool leftward = end.x() < m_pressPoint.x();
    if (rightward && m_peakSelectionEnabled) {
        m_selection = rect;
        emit peakAreaSelected(sampleIndexAt(layout, m_pressPoint.x()), sampleIndexAt(layout, end.x()));
        update();
        return;
    }
    m_selection = QRect();
    if (m_zoomEnabled && rightward && rect.width() > 1 && rect.height() > 1) {
        ViewRange next;
        next.xMin = qMax(m_full.xMin, layout.valueX(rect.left()));
        next.xMax = qMin(m_full.xMax, layout.valueX(rect.right()));
        next.yMin = qMax(m_full.yMin, layout.valueY(rect.bottom()));
        next.yMax = qMin(m_full.yMax, layout.valueY(rect.top()));
        const double xSpan = m_view.xMax - m_view.xMin;
        const double ySpan = m_view.yMax - m_view.yMin;
        const bool changed = differs(next.xMin, m_view.xMin, xSpan) || differs(next.xMax, m_view.xMax, xSpan)
            || differs(next.yMin, m_view.yMin, ySpan) || differs(next.yMax, m_view.yMax, ySpan);
        if (next.xMax > next.xMin && next.yMax > next.yMin && changed) {
            m_zoomHistory.append(m_view);
            applyView(next);
        }
    } else if (m_zoomEnabled && leftward && !m_zoomHistory.isEmpty()) {
        const ViewRange previous = m_zoomHistory.takeLast();
        applyView(clampedView(previous));
    }
    update();
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
    paintYAxis(painter, layout);
    paintXRows(painter, layout);
    if (m_showTextBlock)
        paintTextBlock(painter, layout);
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
    const QRect plot = layout.plotRect();
    CurveReduction::PixelMap map;
    map.xMin = layout.xMin;
    map.kx = layout.kx;
    map.left = layout.left;
    map.yMin = layout.yMin;
    map.ky = layout.ky;
    map.yBase = layout.widgetHeight - 1 - layout.bottom;
    map.clipLeft = plot.left();
    map.clipRight = plot.right();
    const double *xs = usesXValues() ? m_xScales.at(0).xValues.constData() : nullptr;

    struct VisibleCurve
    {
        int index;
        QPen pen;
    };
    QVector<VisibleCurve> curves;
    qint64 pixelLength = 0;
    for (int i = 0; i < m_series.size(); ++i) {
        const GraphSeries &entry = m_series.at(i);
        if (entry.kind != GraphSeries::Curve || !entry.visible || entry.values.size() != m_count)
            continue;
        ReductionCache::Key key;
        key.seriesIndex = i;
        key.values = entry.values.constData();
        key.count = m_count;
        key.xValues = xs;
        key.xMin = layout.xMin;
        key.xMax = layout.xMax;
        key.yMin = layout.yMin;
        key.yMax = layout.yMax;
        key.plotRect = plot;
        key.yBase = map.yBase;
        const CurveReduction::Result *reduced = m_cache.find(key);
        if (!reduced)
            reduced = &m_cache.store(key, CurveReduction::reduce(entry.values.constData(), xs, m_count,
                                                                 m_xIncreasing, map, &m_summaries.at(i)));
        pixelLength += reduced->pixelLength * curvePenWidth(entry);
        QPen pen(entry.color.isValid() ? entry.color : defaultColor(i));
        pen.setWidth(curvePenWidth(entry));
        pen.setStyle(Qt::SolidLine);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::BevelJoin);
        curves.append(VisibleCurve{i, pen});
    }

    // Draws the curves; with an image to write to, the vertical runs of opaque
    // 1-pixel curves are set directly, which is what the paint engine would do
    // with them, only faster.
    auto drawCurves = [this, &curves](QPainter &target, QImage *direct, const QPoint &origin) {
        QVector<QPoint> others;
        QVector<QRect> columns;
        for (const VisibleCurve &curve : qAsConst(curves)) {
            const CurveReduction::Result *reduced = m_cache.cached(curve.index);
            if (!reduced || reduced->segmentEnds.isEmpty())
                continue;
            target.setPen(curve.pen);
            const bool writeDirect = direct && curve.pen.width() == 1 && curve.pen.color().alpha() == 255;
            if (!writeDirect) {
                target.drawLines(reduced->segmentEnds.constData(), reduced->segmentEnds.size() / 2);
                continue;
            }
            const QRgb pixel = curve.pen.color().rgba();
            const int width = direct->width();
            const int height = direct->height();
            uchar *bits = direct->bits();
            const qsizetype stride = direct->bytesPerLine();
            others.clear();
            columns.clear();
            const QPoint *ends = reduced->segmentEnds.constData();
            for (int k = 0; k + 1 < reduced->segmentEnds.size(); k += 2) {
                const QPoint a = ends[k];
                const QPoint b = ends[k + 1];
                if (a.x() != b.x()) {
                    others.append(a);
                    others.append(b);
                    continue;
                }
                const int x = a.x() - origin.x();
                const int top = qMax(0, qMin(a.y(), b.y()) - origin.y());
                const int bottom = qMin(height - 1, qMax(a.y(), b.y()) - origin.y());
                if (x >= 0 && x < width && top <= bottom)
                    columns.append(QRect(x, top, 1, bottom - top + 1));
            }
            // Band by band, so that the writes stay within a few memory pages.
            constexpr int band = 16;
            for (int bandTop = 0; bandTop < height; bandTop += band) {
                const int bandBottom = qMin(height, bandTop + band) - 1;
                for (const QRect &column : qAsConst(columns)) {
                    const int from = qMax(bandTop, column.top());
                    const int to = qMin(bandBottom, column.bottom());
                    uchar *line = bits + from * stride + qsizetype(column.x()) * 4;
                    for (int y = from; y <= to; ++y, line += stride)
                        *reinterpret_cast<QRgb *>(line) = pixel;
                }
            }
            if (!others.isEmpty())
                target.drawLines(others.constData(), others.size() / 2);
        }
    };

    // Blending the plot area costs about as much as drawing a twelfth of its
    // pixels along the curves; lighter curves are drawn directly, and so is
    // everything on scaled (high-density) devices, where an image of logical
    // pixels would blur.
    const qint64 area = qint64(plot.width()) * plot.height();
    const bool unscaled = painter.device() && painter.device()->devicePixelRatioF() == 1.0;
    if (pixelLength * 12 <= area || !unscaled) {
        m_curveLayer = QImage();
        m_curveLayerSignature.clear();
        drawCurves(painter, nullptr, QPoint());
        return;
    }
    QVector<qint64> signature{plot.x(), plot.y(), plot.width(), plot.height(), map.yBase};
    for (const double bound : {layout.xMin, layout.xMax, layout.yMin, layout.yMax}) {
        qint64 bits = 0;
        static_assert(sizeof(bits) == sizeof(bound), "view bounds are stored bit for bit");
        memcpy(&bits, &bound, sizeof(bits));
        signature.append(bits);
    }
    for (const VisibleCurve &curve : qAsConst(curves)) {
        signature.append(curve.index);
        signature.append(qint64(curve.pen.color().rgba64()));
        signature.append(curve.pen.width());
    }
    if (m_curveLayer.isNull() || signature != m_curveLayerSignature) {
        if (m_curveLayer.size() != plot.size())
            m_curveLayer = QImage(plot.size(), QImage::Format_ARGB32_Premultiplied);
        m_curveLayer.fill(Qt::transparent);
        QPainter layerPainter(&m_curveLayer);
        layerPainter.translate(-plot.topLeft());
        drawCurves(layerPainter, &m_curveLayer, plot.topLeft());
        m_curveLayerSignature = signature;
    }
    painter.drawImage(plot.topLeft(), m_curveLayer);
}

void Grafiks::paintLines(QPainter &painter, const PlotLayout &layout, bool onTop)
{
    const int width = m_lineWidth > 2 ? 2 : 1;
    const bool useX = usesXValues();
    for (int i = 0; i < m_series.size(); ++i) {
        const GraphSeries &entry = m_series.at(i);
        if (!isLine(entry) || !entry.visible || entry.drawOnTop != onTop)
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

void Grafiks::paintYAxis(QPainter &painter, const PlotLayout &layout)
{
    bool shown = m_yDescriptors.isEmpty();
    for (const bool visible : qAsConst(m_yAxisVisible))
        shown = shown || visible;
    if (!shown)
        return;
    const QRect plot = layout.plotRect();
    const int tick = tickLength();
    const int labelX = m_layoutMode == GraphLayout::Compact ? 11 : 19;
    painter.setFont(m_labelFont);
    const int labelHeight = QFontMetrics(m_labelFont).height();
    const QPen axisPen(Qt::black, 1);
    auto drawTick = [&](int y, const QString &label) {
        if (y < plot.top() || y > plot.bottom())
            return;
        painter.setPen(axisPen);
        painter.drawLine(0, y, tick - 1, y);
        if (m_layoutMode == GraphLayout::Compact)
            painter.drawLine(width() - tick, y, width() - 1, y);
        if (!label.isEmpty())
            painter.drawText(QRect(labelX, y - labelHeight / 2, layout.left, labelHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, label);
    };
    const int markStep = m_layoutMode == GraphLayout::Compact ? 50 : 100;
    const int yBase = layout.widgetHeight - 1 - layout.bottom;

    const QVector<double> &listed = (m_yAxis.tickMode == TickMode::Explicit && !m_yAxis.explicitTicks.isEmpty())
        ? m_yAxis.explicitTicks
        : m_yAxis.tickValues;
    if (!listed.isEmpty()) {
        for (const double value : listed) {
            if (value >= layout.yMin && value <= layout.yMax)
                drawTick(layout.pixelY(value), formatPlotNumber(value, m_yAxis.tickDecimals));
        }
        return;
    }
    if (m_yAxis.tickSpacing > 0 && m_yAxis.tickMode == TickMode::Automatic) {
        double lo = layout.yMin;
        double hi = layout.yMax;
        if (m_yAxis.tickBandOnly && m_yAxis.bandMin < m_yAxis.bandMax) {
            lo = qMax(lo, m_yAxis.bandMin);
            hi = qMin(hi, m_yAxis.bandMax);
        }
        if (!(hi >= lo))
            return;
        const int start = layout.pixelY(lo);
        const int length = start - layout.pixelY(hi);
        const QVector<int> offsets = tickPixelOffsets(length, m_yAxis.tickSpacing, m_yAxis.ticksIncludeEnds);
        for (const int offset : offsets) {
            const double value = offset == length ? hi : layout.valueY(start - offset);
            drawTick(start - offset, formatPlotNumber(value, m_yAxis.tickDecimals));
        }
        return;
    }
    if (m_yAxis.zeroAxis == ZeroAxis::Line && layout.yMin <= 0.0 && layout.yMax >= 0.0) {
        const int zero = layout.pixelY(0.0);
        const QPen zeroPen = m_lineWidth < 2 ? QPen(guideGrey, 1) : QPen(Qt::black, m_lineWidth < 3 ? 1 : 2);
        painter.setPen(zeroPen);
        painter.drawLine(layout.left, zero, layout.left + layout.plotWidth, zero);
        drawTick(zero, QStringLiteral("0"));
        for (int y = zero - markStep; y >= plot.top(); y -= markStep)
            drawTick(y, QString());
        for (int y = zero + markStep; y <= plot.bottom(); y += markStep)
            drawTick(y, QString());
        return;
    }
    painter.setPen(axisPen);
    painter.drawLine(layout.left - 1, plot.top(), layout.left - 1, yBase);
    for (int y = yBase; y >= plot.top(); y -= markStep)
        drawTick(y, QString());
}

void Grafiks::paintXRows(QPainter &painter, const PlotLayout &layout)
{
    if (m_xScales.isEmpty()) {
        paintXRow(painter, layout, -1, true, 0);
        return;
    }
    int level = 0;
    for (int i = 0; i < m_bottomRows; ++i) {
        if (m_xAxisVisible.value(i, true))
            paintXRow(painter, layout, i, true, level++);
    }
    level = 0;
    for (int i = m_bottomRows; i < m_bottomRows + m_topRows; ++i) {
        if (m_xAxisVisible.value(i, true))
            paintXRow(painter, layout, i, false, level++);
    }
}

void Grafiks::paintXRow(QPainter &painter, const PlotLayout &layout, int scaleIndex, bool bottom,
                        int level)
{
    const XScale scale = scaleIndex >= 0 ? m_xScales.at(scaleIndex) : XScale();
    struct Tick
    {
        int x;
        double value;
        int index;
    };
    QVector<Tick> ticks;
    if (scale.tickMode == TickMode::Explicit) {
        const QVector<double> &listed = scale.explicitTicks.isEmpty() ? scale.xValues : scale.explicitTicks;
        // Ticks that fall on the pixel of the tick before add nothing.
        for (int i = 0; i < listed.size(); ++i) {
            const double value = listed.at(i);
            if (!(value >= layout.xMin && value <= layout.xMax))
                continue;
            const int x = layout.pixelX(value);
            if (ticks.isEmpty() || ticks.last().x != x)
                ticks.append(Tick{x, value, i});
        }
    } else {
        double lo = layout.xMin;
        double hi = layout.xMax;
        if (scale.bandOnly && scale.bandMin < scale.bandMax) {
            lo = qMax(lo, scale.bandMin);
            hi = qMin(hi, scale.bandMax);
        }
        if (hi >= lo) {
            const int start = layout.pixelX(lo);
            const int length = layout.pixelX(hi) - start;
            const QVector<int> offsets = tickPixelOffsets(length, scale.spacing, scale.includeEnds);
            for (int i = 0; i < offsets.size(); ++i) {
                const int offset = offsets.at(i);
                const double value = offset == length ? hi : layout.valueX(start + offset);
                ticks.append(Tick{start + offset, value, i});
            }
        }
    }

    const int tick = tickLength();
    const int h = layout.widgetHeight;
    painter.setPen(QPen(Qt::black, 1));
    for (const Tick &t : qAsConst(ticks)) {
        if (bottom)
            painter.drawLine(t.x, h - 1, t.x, h - tick);
        else
            painter.drawLine(t.x, 0, t.x, tick - 1);
    }

    painter.setFont(m_labelFont);
    const QFontMetrics metrics(m_labelFont);
    const int labelHeight = metrics.height();
    QVector<AxisLabel> labels;
    for (const Tick &t : qAsConst(ticks)) {
        QString text;
        if (t.index < scale.labels.size() && !scale.labels.at(t.index).isEmpty())
            text = scale.labels.at(t.index);
        else if (scale.tickFormatter)
            text = scale.tickFormatter(t.value);
        else
            text = formatPlotNumber(t.value, scale.decimals < 0 ? 0 : scale.decimals);
        const int boxWidth = metrics.horizontalAdvance(text) + 6;
        int boxLeft = t.x - boxWidth / 2;
        if (boxLeft + boxWidth > width() - 2)
            boxLeft = width() - 2 - boxWidth;
        if (boxLeft < 3)
            boxLeft = 3;
        labels.append(AxisLabel{t.x, QRect(boxLeft, 0, boxWidth, labelHeight), text});
    }
    std::stable_sort(labels.begin(), labels.end(),
                     [](const AxisLabel &a, const AxisLabel &b) { return a.tickX < b.tickX; });
    QVector<int> lefts;
    QVector<int> widths;
    for (const AxisLabel &label : qAsConst(labels)) {
        lefts.append(label.box.left());
        widths.append(label.box.width());
    }
    QVector<AxisLabel> kept;
    for (const int index : thinnedLabelIndexes(lefts, widths, labelGap))
        kept.append(labels.at(index));
    const int y = bottom ? (h - 1) - tick - 5 - labelHeight - level * rowHeight()
                         : tick + 5 + level * rowHeight();
    painter.setPen(Qt::black);
    for (const AxisLabel &label : qAsConst(kept))
        painter.drawText(label.box.translated(0, y), Qt::AlignTop | Qt::AlignHCenter, label.text);
}

void Grafiks::paintTextBlock(QPainter &painter, const PlotLayout &layout)
{
    bool anyLine = false;
    for (const QString &line : qAsConst(m_infoLines))
        anyLine = anyLine || !line.isEmpty();
    if (m_title.isEmpty() && !anyLine)
        return;
    const int rightEdge = width() - (m_layoutMode == GraphLayout::Compact ? 10 : 20);
    int y = layout.top + 5;
    const int topRows = visibleRowCount(false);
    if (topRows > 0)
        y = qMax(y, tickLength() + 5 + topRows * rowHeight() + 5);
    if (!m_title.isEmpty()) {
        QFont titleFont(QStringLiteral("Arial"), m_layoutMode == GraphLayout::Compact ? 10 : (m_layoutMode == GraphLayout::Large ? 12 : 11));
        painter.setFont(titleFont);
        const QFontMetrics metrics(titleFont);
        const int boxWidth = metrics.horizontalAdvance(m_title) + 10;
        const QRect box(rightEdge - boxWidth, y, boxWidth, metrics.height() + 4);
        if (m_layoutMode != GraphLayout::Large) {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(Qt::white);
            painter.drawRect(box);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, m_title);
        y += box.height() + 4;
    }
    QFont lineFont(QStringLiteral("Arial"), m_layoutMode == GraphLayout::Large ? 11 : 10);
    painter.setFont(lineFont);
    painter.setPen(Qt::black);
    const int lineHeight = QFontMetrics(lineFont).height();
    for (const QString &line : qAsConst(m_infoLines)) {
        if (!line.isEmpty())
            painter.drawText(QRect(0, y, rightEdge, lineHeight), Qt::AlignRight | Qt::AlignTop, line);
        y += lineHeight;
    }
}
