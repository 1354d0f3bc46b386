#pragma once

#include <QPoint>
#include <QRect>

// The left-button gesture on a plot area: a press, a drag once the mouse has
// moved 3 px (its rectangle clamped to the area) and the release. A press
// outside the area, where allowed, starts the drag where the mouse first
// enters the area. Holds the press only; owned by Grafiks, GUI thread.
class PlotGesture
{
public:
    struct Release
    {
        enum Kind { None, Click, Drag };
        Kind kind = None;          // None: a press outside that never entered the area
        QPoint pressPoint;
        QPoint end;                // the release clamped to the area
    };

    bool isPressed() const { return m_pressed; }
    void press(const QPoint &pos, bool outside);
    // A move with the button held; true with the dragged rectangle when it changed.
    bool move(const QPoint &pos, const QRect &area, QRect *dragged);
    Release release(const QPoint &pos, const QRect &area);
    // Forgets the press; true when a drag was under way.
    bool cancel();

    // The rectangle with both points as opposite corners, in any order.
    static QRect spanned(const QPoint &a, const QPoint &b);

private:
    // Moves a press from outside to where the segment to pos enters the
    // area; false when it does not enter.
    bool enter(const QPoint &pos, const QRect &area);

    bool m_pressed = false;
    bool m_outside = false;
    bool m_dragged = false;
    QPoint m_pressPoint;
};
