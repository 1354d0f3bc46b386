#include "capture/numberedcircleitem.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>

NumberedCircleItem::NumberedCircleItem(int number, const QColor &color, QGraphicsItem *parent)
    : QGraphicsItem(parent)
    , m_number(number)
    , m_color(color)
{
    setFlag(ItemIsMovable);
    setFlag(ItemIsSelectable);
    setCursor(Qt::SizeAllCursor);
}

QRectF NumberedCircleItem::boundingRect() const
{
    return QRectF(-18.0, -18.0, 36.0, 36.0);
}

QPainterPath NumberedCircleItem::shape() const
{
    QPainterPath path;
    path.addEllipse(boundingRect());
    return path;
}

void NumberedCircleItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(m_color, isSelected() ? 4 : 3, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::white);
    painter->drawEllipse(QRectF(-16.5, -16.5, 33.0, 33.0));

    QFont font = QApplication::font();
    font.setPointSize(11);
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(m_color);
    painter->drawText(boundingRect(), Qt::AlignCenter, QString::number(m_number));
}
