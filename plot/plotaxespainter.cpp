#include "plot/plotaxespainter.h"

#include "plot/plotnumbers.h"
#include "plot/seriespalette.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

// Labels of one x row closer than this are thinned out.
constexpr int labelGap = 19;

struct AxisLabel
{
    int tickX = 0;
    QRect box;
    QString text;
};

} // namespace

PlotXScale PlotXScale::of(const XAxisSpec &axis, const AxisRow &row)
{
    PlotXScale scale;
    scale.xValues = axis.xValues;
    scale.tickValues = axis.tickValues;
    scale.labels = axis.explicitTickLabels.isEmpty() ? row.labels : axis.explicitTickLabels;
    scale.tickFormatter = row.tickFormatter;
    scale.spacing = axis.rowTickSpacing >= 1 ? axis.rowTickSpacing : axis.tickSpacing;
    if (scale.spacing < 1)
        scale.spacing = 50;
    scale.decimals = axis.rowDecimals >= 0 ? axis.rowDecimals : axis.decimals;
    scale.tickMode = axis.tickMode;
    scale.explicitTicks = axis.explicitTicks;
    if (scale.explicitTicks.isEmpty() && !axis.tickValues.isEmpty()) {
        scale.tickMode = TickMode::Explicit;
        scale.explicitTicks = axis.tickValues;
    }
    scale.includeEnds = axis.ticksIncludeEnds;
    scale.bandOnly = axis.tickBandOnly;
    scale.bandMin = axis.bandMin;
    scale.bandMax = axis.bandMax;
    return scale;
}

PlotAxesPainter::PlotAxesPainter(QPainter &painter, const PlotLayout &layout, GraphLayout mode, int widgetWidth,
                                 const QFont &labelFont)
    : m_painter(painter)
    , m_layout(layout)
    , m_mode(mode)
    , m_width(widgetWidth)
    , m_labelFont(labelFont)
{
}

int PlotAxesPainter::tickLength(GraphLayout mode)
{
    return mode == GraphLayout::Compact ? 6 : 9;
}

void PlotAxesPainter::paintYAxis(const YAxisSpec &axis, int lineWidth)
{
    QPainter &painter = m_painter;
    const PlotLayout &layout = m_layout;
    const QRect plot = layout.plotRect();
    const int tick = tickLength(m_mode);
    const int labelX = m_mode == GraphLayout::Compact ? 11 : 19;
    painter.setFont(m_labelFont);
    const int labelHeight = QFontMetrics(m_labelFont).height();
    const QPen axisPen(Qt::black, 1);
    auto drawTick = [&](int y, const QString &label) {
        if (y < plot.top() || y > plot.bottom())
            return;
        painter.setPen(axisPen);
        painter.drawLine(0, y, tick - 1, y);
        if (m_mode == GraphLayout::Compact)
            painter.drawLine(m_width - tick, y, m_width - 1, y);
        if (!label.isEmpty())
            painter.drawText(QRect(labelX, y - labelHeight / 2, layout.left, labelHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, label);
    };
    const int markStep = m_mode == GraphLayout::Compact ? 50 : 100;
    const int yBase = layout.widgetHeight - 1 - layout.bottom;

    const QVector<double> &listed = (axis.tickMode == TickMode::Explicit && !axis.explicitTicks.isEmpty())
        ? axis.explicitTicks
        : axis.tickValues;
    if (!listed.isEmpty()) {
        for (const double value : listed) {
            if (value >= layout.yMin && value <= layout.yMax)
                drawTick(layout.pixelY(value), formatPlotNumber(value, axis.tickDecimals));
        }
        return;
    }
    if (axis.tickSpacing > 0 && axis.tickMode == TickMode::Automatic) {
        double lo = layout.yMin;
        double hi = layout.yMax;
        if (axis.tickBandOnly && axis.bandMin < axis.bandMax) {
            lo = qMax(lo, axis.bandMin);
            hi = qMin(hi, axis.bandMax);
        }
        if (!(hi >= lo))
            return;
        const int start = layout.pixelY(lo);
        const int length = start - layout.pixelY(hi);
        const QVector<int> offsets = tickPixelOffsets(length, axis.tickSpacing, axis.ticksIncludeEnds);
        for (const int offset : offsets) {
            const double value = offset == length ? hi : layout.valueY(start - offset);
            drawTick(start - offset, formatPlotNumber(value, axis.tickDecimals));
        }
        return;
    }
    if (axis.zeroAxis == ZeroAxis::Line && layout.yMin <= 0.0 && layout.yMax >= 0.0) {
        const int zero = layout.pixelY(0.0);
        const QPen zeroPen = lineWidth < 2 ? QPen(guideLineColour, 1) : QPen(Qt::black, lineWidth < 3 ? 1 : 2);
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

void PlotAxesPainter::paintXRow(const PlotXScale &scale, bool bottom, int level, int rowHeight)
{
    QPainter &painter = m_painter;
    const PlotLayout &layout = m_layout;
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

    const int tick = tickLength(m_mode);
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
        if (boxLeft + boxWidth > m_width - 2)
            boxLeft = m_width - 2 - boxWidth;
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
    const int y = bottom ? (h - 1) - tick - 5 - labelHeight - level * rowHeight
                         : tick + 5 + level * rowHeight;
    painter.setPen(Qt::black);
    for (const AxisLabel &label : qAsConst(kept))
        painter.drawText(label.box.translated(0, y), Qt::AlignTop | Qt::AlignHCenter, label.text);
}

void PlotAxesPainter::paintTextBlock(const QString &title, const QStringList &lines, int top)
{
    bool anyLine = false;
    for (const QString &line : lines)
        anyLine = anyLine || !line.isEmpty();
    if (title.isEmpty() && !anyLine)
        return;
    QPainter &painter = m_painter;
    const int rightEdge = m_width - (m_mode == GraphLayout::Compact ? 10 : 20);
    int y = qMax(m_layout.top + 5, top);
    if (!title.isEmpty()) {
        const int titleSize = m_mode == GraphLayout::Compact ? 10 : (m_mode == GraphLayout::Large ? 12 : 11);
        const QFont titleFont(QStringLiteral("Arial"), titleSize);
        painter.setFont(titleFont);
        const QFontMetrics metrics(titleFont);
        const int boxWidth = metrics.horizontalAdvance(title) + 10;
        const QRect box(rightEdge - boxWidth, y, boxWidth, metrics.height() + 4);
        if (m_mode != GraphLayout::Large) {
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(Qt::white);
            painter.drawRect(box);
            painter.setBrush(Qt::NoBrush);
        }
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter, title);
        y += box.height() + 4;
    }
    const QFont lineFont(QStringLiteral("Arial"), m_mode == GraphLayout::Large ? 11 : 10);
    painter.setFont(lineFont);
    painter.setPen(Qt::black);
    const int lineHeight = QFontMetrics(lineFont).height();
    for (const QString &line : lines) {
        if (!line.isEmpty())
            painter.drawText(QRect(0, y, rightEdge, lineHeight), Qt::AlignRight | Qt::AlignTop, line);
        y += lineHeight;
    }
}
