#pragma once

#include <QColor>
#include <QGraphicsView>
#include <QLineF>
#include <QPointF>

#include <functional>

class QGraphicsLineItem;

// The screenshot editor's view. Besides the usual selecting and moving of
// items it has two drawing modes set by the editor: arrow mode (drag a line,
// shown as a dashed preview) and numbering mode (click a point). The handlers
// the editor installs receive the finished line or the clicked point; Escape
// leaves the mode and calls the cancel handler. GUI thread; owned by the
// editor. Leaving a mode removes any preview line.
class CaptureGraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    using LineHandler = std::function<void(const QLineF &)>;
    using PointHandler = std::function<void(const QPointF &)>;
    using CancelHandler = std::function<void()>;

    explicit CaptureGraphicsView(QGraphicsScene *scene, QWidget *parent = nullptr);

    // Enter a mode with the colour of its preview and its handlers; any other
    // mode is left first.
    void enterArrowMode(const QColor &color, LineHandler lineFinished, CancelHandler canceled);
    void enterNumberingMode(const QColor &color, PointHandler pointClicked, CancelHandler canceled);
    // Back to plain selecting and moving; no handler is called.
    void leaveModes();

    bool isArrowMode() const { return m_arrowMode; }
    bool isNumberingMode() const { return m_numberingMode; }
    bool hasPreviewLine() const { return m_previewLine != nullptr; }
    QColor drawingColor() const { return m_color; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QPointF clampedScenePos(const QPointF &viewPos) const;
    void removePreviewLine();

    bool m_arrowMode = false;
    bool m_numberingMode = false;
    QPointF m_arrowStart;
    QGraphicsLineItem *m_previewLine = nullptr;
    LineHandler m_lineFinished;
    PointHandler m_pointClicked;
    CancelHandler m_canceled;
    QColor m_color = Qt::blue;
};
