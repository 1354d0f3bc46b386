#include "plot/dynamicspectrumpainter.h"

#include "plot/dynamicspectrumwidget.h"
#include "plot/spectrummath.h"

#include "astro/dispersion.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Far-away dispersion points are pulled in to keep the rasteriser in range;
// the line is clipped to the image anyway.
constexpr double farCoordinate = 1.0e6;

double clampFar(double v, double lo, double hi)
{
    return std::min(std::max(v, lo - farCoordinate), hi + farCoordinate);
}

void appendOrBreak(QVector<QPolygonF> &lines, bool &broken, const QPointF &pt)
{
    if (broken || lines.isEmpty()) {
        lines.append(QPolygonF());
        broken = false;
    }
    lines.last().append(pt);
}

void drawPolylines(QPainter &p, const QVector<QPolygonF> &lines)
{
    for (const QPolygonF &line : lines) {
        if (line.size() == 1)
            p.drawPoint(line.first());
        else
            p.drawPolyline(line);
    }
}

} // namespace

DynamicSpectrumPainter::DynamicSpectrumPainter(QPainter &painter, const DynamicSpectrumStyle &style,
                                               const DynamicSpectrumLayout &layout, const QColor &ink,
                                               const QColor &window)
    : m_painter(painter), m_style(style), m_layout(layout), m_ink(ink), m_window(window)
{
}

void DynamicSpectrumPainter::paintTrace(const QVector<double> &trace, int c0, int c1)
{
    const double bandBottom = m_layout.image.top();
    const double bandHeight = m_style.traceBandHeight;
    double lo = 0.0;
    double hi = 0.0;
    if (!SpectrumMath::finiteRange(trace.constData(), c0, c1 - c0 + 1, &lo, &hi))
        return;
    const double factor = bandHeight - 8 > 1 ? bandHeight - 8 : 1.0;
    auto yOf = [&](double v) {
        const double t = hi > lo ? (v - lo) / (hi - lo) : 0.5;
        return bandBottom - 4 - t * factor;
    };
    auto xOf = [&](int c) { return m_layout.image.left() + (c + 0.5) * m_layout.cellWidth; };

    // Many columns to a pixel: each pixel column keeps its first, lowest,
    // highest and last value in order, which looks the same as every segment.
    QVector<QPolygonF> lines;
    bool broken = true;
    int c = c0;
    while (c <= c1) {
        const int pixel = int(std::floor(xOf(c)));
        int end = c;
        while (end + 1 <= c1 && int(std::floor(xOf(end + 1))) == pixel)
            ++end;
        if (end == c) {
            const double v = trace.at(c);
            if (std::isfinite(v))
                appendOrBreak(lines, broken, QPointF(xOf(c), yOf(v)));
            else
                broken = true;
            ++c;
            continue;
        }
        int firstIndex = -1;
        int lastIndex = -1;
        int minIndex = -1;
        int maxIndex = -1;
        for (int i = c; i <= end; ++i) {
            const double v = trace.at(i);
            if (!std::isfinite(v))
                continue;
            if (firstIndex < 0)
                firstIndex = minIndex = maxIndex = i;
            lastIndex = i;
            if (v < trace.at(minIndex))
                minIndex = i;
            if (v > trace.at(maxIndex))
                maxIndex = i;
        }
        if (firstIndex < 0) {
            broken = true;
        } else {
            int order[4] = {firstIndex, std::min(minIndex, maxIndex), std::max(minIndex, maxIndex),
                            lastIndex};
            int previous = -1;
            for (int i : order) {
                if (i == previous)
                    continue;
                appendOrBreak(lines, broken, QPointF(xOf(i), yOf(trace.at(i))));
                previous = i;
            }
        }
        c = end + 1;
    }

    m_painter.save();
    m_painter.setClipRect(QRectF(m_layout.image.left(), bandBottom - bandHeight, m_layout.image.width(), bandHeight));
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setPen(QPen(m_style.traceColor, m_style.traceWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    drawPolylines(m_painter, lines);
    m_painter.restore();
}

void DynamicSpectrumPainter::paintDispersion(int rowsCount, int firstPoint)
{
    if (!m_style.showDispersion || m_style.frequencies.size() < rowsCount || m_style.dispersionTres == 0.0)
        return;
    const double topFrequency = m_style.frequencies.at(rowsCount - 1);
    QVector<QPolygonF> lines;
    bool broken = true;
    for (int r = rowsCount - 1; r >= 0; --r) {
        const double delay = dispersionDelayPoints(topFrequency, m_style.frequencies.at(r),
                                                   m_style.dispersionDm, m_style.dispersionTres);
        const double x =
            m_layout.image.left() + (delay + m_style.dispersionStart - firstPoint + 0.5) * m_layout.cellWidth;
        if (!std::isfinite(x)) {
            broken = true;
            continue;
        }
        const double y = m_layout.image.top() + (rowsCount - r - 0.5) * m_layout.cellHeight;
        appendOrBreak(lines, broken, QPointF(clampFar(x, m_layout.image.left(), m_layout.image.right()), y));
    }
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setPen(QPen(m_style.dispersionColor, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    drawPolylines(m_painter, lines);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

void DynamicSpectrumPainter::paintMarker(int markerPoint, int firstPoint, const QString &markerText)
{
    const int column = markerPoint - firstPoint;
    const double x = m_layout.image.left() + (column + 0.5) * m_layout.cellWidth;
    const double lineTop = m_layout.image.top() - markerLineLength - m_layout.traceBand;
    m_painter.setPen(QPen(Qt::red, m_style.axisPenWidth));
    m_painter.drawLine(QPointF(x, m_layout.image.top()), QPointF(x, lineTop));

    const QFontMetrics fm(m_style.font);
    const double boxHeight = fm.height() + 4;
    double bottom = lineTop;
    const QStringList texts{QString::number(markerPoint), markerText};
    for (const QString &text : texts) {
        if (text.isEmpty())
            continue;
        double boxWidth = fm.horizontalAdvance(text) + 6;
        double boxLeft = x - boxWidth / 2.0;
        if (m_style.fitToWidth) {
            boxWidth = std::min(boxWidth, std::max(m_layout.image.width() - 4, 1.0));
            boxLeft = std::min(boxLeft, m_layout.image.right() - 2 - boxWidth);
            boxLeft = std::max(boxLeft, m_layout.image.left() + 2);
        }
        const QRectF box(boxLeft, bottom - boxHeight, boxWidth, boxHeight);
        m_painter.setPen(QPen(Qt::red, 1));
        m_painter.setBrush(Qt::white);
        m_painter.drawRect(box);
        m_painter.setPen(m_ink);
        m_painter.drawText(box, Qt::AlignCenter, text);
        bottom -= boxHeight;
    }
    m_painter.setBrush(Qt::NoBrush);
}

void DynamicSpectrumPainter::paintTimeAxis(int points, int firstPoint, int rows)
{
    const QFontMetrics fm(m_style.font);
    const double bottom = m_layout.image.bottom();
    const QColor ink = m_ink;

    if (rows > 0) {
        m_painter.setPen(QPen(ink, m_style.axisPenWidth));
        QSet<QString> timeTexts;
        for (int c : SpectrumMath::tickColumns(points, m_layout.image.width())) {
            const double x = m_layout.image.left() + (c + 0.5) * m_layout.cellWidth;
            m_painter.drawLine(QPointF(x, bottom), QPointF(x, bottom + tickLength));
            int row = 0;
            auto drawRow = [&](const QString &text) {
                const double y = bottom + tickLength + 4 + row * (fm.height() + 5);
                const double w = fm.horizontalAdvance(text) + 4;
                m_painter.drawText(QRectF(x - w / 2.0, y, w, fm.height()), Qt::AlignCenter, text);
            };
            const int point = firstPoint + c;
            if (m_style.elements[DynamicSpectrumWidget::PointLabels]) {
                drawRow(QString::number(point));
                ++row;
            }
            if (m_style.elements[DynamicSpectrumWidget::TimeLabels]) {
                const QString text = m_style.timeLabel ? m_style.timeLabel(point) : QString();
                if (!text.isEmpty() && !timeTexts.contains(text)) {
                    timeTexts.insert(text);
                    drawRow(text);
                }
                ++row;
            }
            if (m_style.elements[DynamicSpectrumWidget::RelativeTimeLabels]) {
                drawRow(SpectrumMath::timeSpanText(m_style.secondsPerPoint * c, 1.0, false));
                ++row;
            }
        }
    }
}

void DynamicSpectrumPainter::paintCaption(double x0, double x1, double y, const QString &text)
{
    // Straight parts crisp, the slanted arrowheads smoothed.
    m_painter.setPen(QPen(m_ink, m_style.axisPenWidth));
    m_painter.drawLine(QPointF(x0, y), QPointF(x1, y));
    m_painter.drawLine(QPointF(x0, y - 5), QPointF(x0, y + 5));
    m_painter.drawLine(QPointF(x1, y - 5), QPointF(x1, y + 5));
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    const double arrow = std::min(7.0, (x1 - x0) / 6.0);
    m_painter.drawLine(QPointF(x0, y), QPointF(x0 + arrow, y - 4));
    m_painter.drawLine(QPointF(x0, y), QPointF(x0 + arrow, y + 4));
    m_painter.drawLine(QPointF(x1, y), QPointF(x1 - arrow, y - 4));
    m_painter.drawLine(QPointF(x1, y), QPointF(x1 - arrow, y + 4));
    m_painter.setRenderHint(QPainter::Antialiasing, false);

    const QFontMetrics fm(m_style.font);
    const double textWidth = fm.horizontalAdvance(text) + 8;
    const QRectF box((x0 + x1 - textWidth) / 2.0, y - fm.height() / 2.0, textWidth, fm.height());
    m_painter.fillRect(box, m_window);
    m_painter.drawText(box, Qt::AlignCenter, text);
}

void DynamicSpectrumPainter::paintChannelLabels(const QVector<DynamicSpectrumChannelLabel> &labels, double stripWidth)
{
    const QFontMetrics fm(m_style.font);
    m_painter.setPen(m_ink);
    const double w = stripWidth - stripRightMargin;
    for (const DynamicSpectrumChannelLabel &label : labels) {
        const QRectF box(0, label.centreY - (fm.height() + 4) / 2.0, w, fm.height() + 4);
        m_painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label.text);
    }
}

QVector<DynamicSpectrumChannelLabel> DynamicSpectrumPainter::channelLabels(const DynamicSpectrumStyle &style,
                                                                   const DynamicSpectrumLayout &l, int rowsCount)
{
    QVector<DynamicSpectrumChannelLabel> labels;
    if (!style.elements[DynamicSpectrumWidget::ChannelLabels] || rowsCount == 0)
        return labels;
    const double boxHeight = QFontMetrics(style.font).height() + 4;
    auto centreOf = [&](int row) {
        return l.image.top() + l.cellHeight * (rowsCount - row - 0.5);
    };

    if (style.printLayout || style.axisInside) {
        if (style.frequencies.size() < rowsCount)
            return labels;
        const int top = rowsCount - 1;
        const int middle = rowsCount / 2;
        labels.append({QString::number(style.frequencies.at(0), 'f', 2), centreOf(0)});
        if (top != 0)
            labels.append({QString::number(style.frequencies.at(top), 'f', 2), centreOf(top)});
        if (middle != 0 && middle != top
            && std::fabs(centreOf(middle) - centreOf(0)) >= boxHeight
            && std::fabs(centreOf(middle) - centreOf(top)) >= boxHeight)
            labels.append({QString::number(style.frequencies.at(middle), 'f', 2), centreOf(middle)});
        return labels;
    }

    // Channel numbers; rows too thin for a label each get one where the
    // previous label's box ends, so the numbers never overprint.
    double lastCentre = 0.0;
    for (int r = 0; r < rowsCount; ++r) {
        const double centre = centreOf(r);
        if (!labels.isEmpty() && lastCentre - centre < boxHeight)
            continue;
        labels.append({QString::number(r + 1), centre});
        lastCentre = centre;
    }
    return labels;
}
