#include "capture/screenregionselector.h"

#include "capture/capturerules.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

ScreenRegionSelector::ScreenRegionSelector(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
    hide();
}

void ScreenRegionSelector::start()
{
    if (parentWidget())
        setGeometry(QRect(QPoint(0, 0), parentWidget()->size()));
    m_dragging = false;
    m_selection = QRect();
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
    grabKeyboard();
}

void ScreenRegionSelector::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_start = event->localPos().toPoint();
    m_selection = QRect(m_start, QSize(1, 1));
    m_dragging = true;
    update();
}

void ScreenRegionSelector::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint end = CaptureRules::clampToSize(event->localPos().toPoint(), size());
    m_selection = CaptureRules::rectFromCorners(m_start, end);
    update();
}

void ScreenRegionSelector::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    releaseKeyboard();
    m_selection = CaptureRules::finalSelection(m_selection, size());
    hide();
    if (CaptureRules::isUsableSelection(m_selection))
        emit regionSelected(m_selection);
    else
        emit selectionCanceled();
    close();
}

void ScreenRegionSelector::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_dragging = false;
    releaseKeyboard();
    hide();
    emit selectionCanceled();
    close();
}

void ScreenRegionSelector::paintEvent(QPaintEvent *)
{
    if (m_selection.isNull())
        return;
    const QRect visible = m_selection.normalized().intersected(rect());
    if (visible.isEmpty())
        return;

    QPainter painter(this);
    QPen pen(QColor(0, 100, 220, 255), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(visible.adjusted(1, 1, -1, -1));
}
