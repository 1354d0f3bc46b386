#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

// A transparent overlay over a module's content widget on which the user drags
// the rectangle to capture. Lives on the GUI thread as a child of the content
// widget; it emits exactly one of its two signals and then closes, which
// deletes it.
//
// Use: create it with the content widget as parent, connect the signals,
// call start().
class ScreenRegionSelector : public QWidget
{
    Q_OBJECT

public:
    explicit ScreenRegionSelector(QWidget *parent);

    // Covers the parent, forgets any earlier drag, shows itself and takes the
    // keyboard.
    void start();

    // The rectangle dragged so far, in the parent's coordinates (null before
    // the first press).
    QRect selectionRect() const { return m_selection; }
    bool isDragging() const { return m_dragging; }

signals:
    // The chosen rectangle (at least 4 x 4 pixels) in the parent's coordinates.
    void regionSelected(const QRect &rect);
    // Escape, or a rectangle too small to capture.
    void selectionCanceled();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_dragging = false;
    QPoint m_start;
    QRect m_selection;
};
