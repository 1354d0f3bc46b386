#include "workspace/hourglasssymbol.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

QPixmap HourglassSymbol::pixmap(int height, const QColor &ink, qreal devicePixelRatio)
{
    const qreal h = std::max(height, 8);
    const qreal w = std::round(h * 0.6);
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QPixmap result(QSize(int(std::ceil(w * ratio)), int(std::ceil(h * ratio))));
    result.setDevicePixelRatio(ratio);
    result.fill(Qt::transparent);

    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal line = std::max<qreal>(1.0, h / 24.0);
    const qreal bar = std::max<qreal>(2.0, h / 12.0);
    const qreal glassTop = bar;
    const qreal glassBottom = h - bar;
    const qreal middle = h / 2.0;
    const qreal inset = w * 0.12;
    const qreal neck = std::max<qreal>(line, w * 0.06);
    const qreal left = inset;
    const qreal right = w - inset;
    const qreal centre = w / 2.0;

    // Two bulbs meeting at a narrow neck, whose walls run vertically there.
    const qreal half = middle - glassTop;
    QPainterPath glass;
    glass.moveTo(left, glassTop);
    glass.lineTo(right, glassTop);
    glass.cubicTo(right, glassTop + half * 0.45, centre + neck, middle - half * 0.3, centre + neck, middle);
    glass.cubicTo(centre + neck, middle + half * 0.3, right, glassBottom - half * 0.45, right, glassBottom);
    glass.lineTo(left, glassBottom);
    glass.cubicTo(left, glassBottom - half * 0.45, centre - neck, middle + half * 0.3, centre - neck, middle);
    glass.cubicTo(centre - neck, middle - half * 0.3, left, glassTop + half * 0.45, left, glassTop);
    glass.closeSubpath();

    // Sand: a little left above the neck, a heap below, and the falling thread.
    QColor sand = ink;
    sand.setAlphaF(ink.alphaF() * 0.55);
    painter.save();
    painter.setClipPath(glass);
    painter.setPen(Qt::NoPen);
    painter.setBrush(sand);
    const qreal upper = middle - (middle - glassTop) * 0.35;
    painter.drawRect(QRectF(0, upper, w, middle - upper));
    QPainterPath heap;
    heap.moveTo(0, glassBottom);
    heap.lineTo(centre, glassBottom - (glassBottom - middle) * 0.55);
    heap.lineTo(w, glassBottom);
    heap.closeSubpath();
    painter.drawPath(heap);
    painter.drawRect(QRectF(centre - line / 2, middle, line, glassBottom - middle));
    painter.restore();

    painter.setPen(QPen(ink, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(glass);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawRoundedRect(QRectF(0, 0, w, bar), bar / 3, bar / 3);
    painter.drawRoundedRect(QRectF(0, h - bar, w, bar), bar / 3, bar / 3);
    return result;
}
