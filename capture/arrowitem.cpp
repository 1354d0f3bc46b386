#include "capture/arrowitem.h"

#include <QCursor>
#include <QPainter>
#include <QPainterPathStroker>

#include <cmath>

namespace {

constexpr double HeadLength = 14.0;
constexpr double HeadHalfAngle = 3.14159265358979323846 / 6.0;
constexpr double Margin = 12.0;

} // namespace

ArrowItem::ArrowItem(const QLineF &line, const QColor &color, QGraphicsItem *parent)
    : QGraphicsItem(parent)
    , m_line(line)
    , m_color(color)
{
    setFlag(ItemIsMovable);
    setFlag(ItemIsSelectable);
    setCursor(Qt::SizeAllCursor);
}

QPolygonF ArrowItem::headPolygon(const QLineF &line)
{
    const double angle = std::atan2(-line.dy(), line.dx());
    const QPointF tip = line.p2();
    const QPointF left(tip.x() - std::cos(angle - HeadHalfAngle) * HeadLength,
                       tip.y() + std::sin(angle - HeadHalfAngle) * HeadLength);
    const QPointF right(tip.x() - std::cos(angle + HeadHalfAngle) * HeadLength,
                        tip.y() + std::sin(angle + HeadHalfAngle) * HeadLength);
    return QPolygonF({tip, left, right});
}

QRectF ArrowItem::boundingRect() const
{
    return QRectF(m_line.p1(), m_line.p2()).normalized().adjusted(-Margin, -Margin, Margin, Margin);
}

QPainterPath ArrowItem::shape() const
{
    QPainterPath path(m_line.p1());
    path.lineTo(m_line.p2());
    QPainterPathStroker stroker;
    stroker.setWidth(Margin);
    return stroker.createStroke(path);
}

void ArrowItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(m_color, isSelected() ? 4 : 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(m_color);
    painter->drawLine(m_line);
    painter->drawPolygon(headPolygon(m_line));
}
