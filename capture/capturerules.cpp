#include "capture/capturerules.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace CaptureRules {

QPoint clampToSize(const QPoint &point, const QSize &size)
{
    const int maxX = std::max(0, size.width() - 1);
    const int maxY = std::max(0, size.height() - 1);
    return QPoint(std::clamp(point.x(), 0, maxX), std::clamp(point.y(), 0, maxY));
}

QRect rectFromCorners(const QPoint &a, const QPoint &b)
{
    return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                 QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

bool isUsableSelection(const QRect &rect)
{
    return rect.right() - rect.left() > 2 && rect.bottom() - rect.top() > 2;
}

QRect finalSelection(const QRect &rect, const QSize &widgetSize)
{
    return rect.normalized().intersected(QRect(QPoint(0, 0), widgetSize));
}

QImage renderWidgetRegion(QWidget *widget, const QRect &rect)
{
    if (!widget)
        return QImage();
    const QRect area = rect.normalized().intersected(widget->rect());
    if (area.isEmpty())
        return QImage();

    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(widget->palette().color(QPalette::Window));
    widget->render(&image, QPoint(0, 0), QRegion(area),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

double nextZoomScale(double current, bool forward)
{
    const double wanted = forward ? current * ZoomStep : current / ZoomStep;
    const double clamped = std::clamp(wanted, MinZoom, MaxZoom);
    // A view already outside the range (e.g. a tiny capture fitted into the
    // window) must not jump the other way on a step.
    if (forward && clamped < current)
        return current;
    if (!forward && clamped > current)
        return current;
    return clamped;
}

bool isArrowLongEnough(const QLineF &line)
{
    return line.length() >= MinArrowLength;
}

double centredLabelX(const QRectF &sceneRect, double itemWidth)
{
    if (itemWidth > sceneRect.width())
        return sceneRect.left();
    const double x = sceneRect.left() + (sceneRect.width() - itemWidth) / 2.0;
    return std::clamp(x, sceneRect.left(), sceneRect.right() - itemWidth);
}

QString defaultImageName(const QDateTime &now)
{
    return now.toString(QStringLiteral("'screen_'yyyy.MM.dd_hhmmss'.png'"));
}

} // namespace CaptureRules
