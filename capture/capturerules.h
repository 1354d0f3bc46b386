#pragma once

#include <QDateTime>
#include <QImage>
#include <QLineF>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>

class QWidget;

// Decisions of the screen capture that need no window: selection geometry,
// zoom limits, label placement and file names. Plain functions, any thread
// (except renderWidgetRegion, which paints widgets and so needs the GUI thread).
namespace CaptureRules {

// Smallest and largest horizontal scale of the editor's view.
constexpr double MinZoom = 0.05;
constexpr double MaxZoom = 20.0;
// Scale change of one wheel step.
constexpr double ZoomStep = 1.15;
// Shortest arrow, in scene units, that the editor accepts.
constexpr double MinArrowLength = 5.0;

// The point clamped to 0 .. width - 1 and 0 .. height - 1.
QPoint clampToSize(const QPoint &point, const QSize &size);

// The rectangle with both points as opposite inclusive corners, in any order.
QRect rectFromCorners(const QPoint &a, const QPoint &b);

// True when the selection is at least 4 x 4 pixels.
bool isUsableSelection(const QRect &rect);

// The selection after the mouse is released: normalised and cut to the widget.
QRect finalSelection(const QRect &rect, const QSize &widgetSize);

// The part of the widget inside rect (widget coordinates), rendered with its
// children on the widget's window colour. Null when rect misses the widget.
QImage renderWidgetRegion(QWidget *widget, const QRect &rect);

// The horizontal scale after one wheel step from the current one, kept within
// MinZoom .. MaxZoom. A step never moves the scale against its own direction.
double nextZoomScale(double current, bool forward);

// True when the line is long enough to become an arrow.
bool isArrowLongEnough(const QLineF &line);

// Left edge of a new text label of the given width: centred in the scene,
// kept inside it, at the scene's left edge when wider than the scene.
double centredLabelX(const QRectF &sceneRect, double itemWidth);

// The name the save dialog offers: "screen_yyyy.MM.dd_hhmmss.png".
QString defaultImageName(const QDateTime &now);

} // namespace CaptureRules
