#pragma once

#include <QColor>
#include <QGraphicsItem>
#include <QLineF>
#include <QPolygonF>

// An arrow annotation on a capture: a line with a filled head at its end
// point. Owned by the editor's scene (GUI thread); movable and selectable.
class ArrowItem : public QGraphicsItem
{
public:
    enum { Type = UserType + 91 };

    ArrowItem(const QLineF &line, const QColor &color, QGraphicsItem *parent = nullptr);

    QLineF line() const { return m_line; }
    QColor color() const { return m_color; }

    // The head: the tip and the two corners 14 units back at 30 degrees on
    // either side of the line.
    static QPolygonF headPolygon(const QLineF &line);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QLineF m_line;
    QColor m_color;
};
