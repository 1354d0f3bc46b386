#include "capture/capturegraphicsview.h"

#include "capture/capturerules.h"

#include <QGraphicsLineItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>

CaptureGraphicsView::CaptureGraphicsView(QGraphicsScene *scene, QWidget *parent)
    : QGraphicsView(scene, parent)
{
    setRenderHint(QPainter::Antialiasing);
    setRenderHint(QPainter::TextAntialiasing);
    setRenderHint(QPainter::SmoothPixmapTransform);
    setDragMode(QGraphicsView::NoDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
}

void CaptureGraphicsView::enterArrowMode(const QColor &color, LineHandler lineFinished,
                                         CancelHandler canceled)
{
    leaveModes();
    m_arrowMode = true;
    m_color = color;
    m_lineFinished = std::move(lineFinished);
    m_canceled = std::move(canceled);
    viewport()->setCursor(Qt::CrossCursor);
}

void CaptureGraphicsView::enterNumberingMode(const QColor &color, PointHandler pointClicked,
                                             CancelHandler canceled)
{
    leaveModes();
    m_numberingMode = true;
    m_color = color;
    m_pointClicked = std::move(pointClicked);
    m_canceled = std::move(canceled);
    viewport()->setCursor(Qt::CrossCursor);
}

void CaptureGraphicsView::leaveModes()
{
    removePreviewLine();
    m_lineFinished = nullptr;
    m_pointClicked = nullptr;
    m_canceled = nullptr;
    m_arrowMode = false;
    m_numberingMode = false;
    setDragMode(QGraphicsView::NoDrag);
    viewport()->unsetCursor();
}

QPointF CaptureGraphicsView::clampedScenePos(const QPointF &viewPos) const
{
    const QPointF p = mapToScene(viewPos.toPoint());
    const QRectF r = sceneRect();
    return QPointF(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
}

void CaptureGraphicsView::removePreviewLine()
{
    if (!m_previewLine)
        return;
    if (scene())
        scene()->removeItem(m_previewLine);
    delete m_previewLine;
    m_previewLine = nullptr;
}

void CaptureGraphicsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_numberingMode && m_pointClicked) {
        // The handler may change the mode, so call a copy.
        const PointHandler handler = m_pointClicked;
        handler(clampedScenePos(event->localPos()));
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && m_arrowMode && scene()) {
        removePreviewLine();
        m_arrowStart = clampedScenePos(event->localPos());
        QPen pen(m_color, 3, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin);
        m_previewLine = scene()->addLine(QLineF(m_arrowStart, m_arrowStart), pen);
        m_previewLine->setZValue(2000);
        event->accept();
        return;
    }
    QGraphicsView::mousePressEvent(event);
}

void CaptureGraphicsView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_previewLine) {
        m_previewLine->setLine(QLineF(m_arrowStart, clampedScenePos(event->localPos())));
        event->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void CaptureGraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_previewLine) {
        const QLineF line(m_arrowStart, clampedScenePos(event->localPos()));
        removePreviewLine();
        if (CaptureRules::isArrowLongEnough(line) && m_lineFinished) {
            const LineHandler handler = m_lineFinished;
            handler(line);
        }
        event->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void CaptureGraphicsView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && (m_arrowMode || m_numberingMode)) {
        const CancelHandler canceled = m_canceled;
        leaveModes();
        if (canceled)
            canceled();
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void CaptureGraphicsView::wheelEvent(QWheelEvent *event)
{
    const double current = transform().m11();
    const double next = CaptureRules::nextZoomScale(current, event->angleDelta().y() > 0);
    if (current > 0.0 && next != current) {
        const double factor = next / current;
        scale(factor, factor);
    }
    event->accept();
}
