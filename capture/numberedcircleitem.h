#pragma once

#include <QColor>
#include <QGraphicsItem>

// A numbered circle annotation on a capture, centred on the item's position.
// Owned by the editor's scene (GUI thread); movable and selectable. The number
// is fixed at creation.
class NumberedCircleItem : public QGraphicsItem
{
public:
    enum { Type = UserType + 92 };

    NumberedCircleItem(int number, const QColor &color, QGraphicsItem *parent = nullptr);

    int number() const { return m_number; }
    QColor color() const { return m_color; }

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    int m_number;
    QColor m_color;
};
