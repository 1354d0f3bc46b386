#pragma once

#include <QColor>
#include <QDialog>
#include <QImage>

#include <memory>

class CaptureDialogs;
class CaptureGraphicsView;
class QGraphicsPixmapItem;
class QGraphicsScene;
class QPushButton;
class QSpinBox;

// The modal editor in which a captured image is annotated with text labels,
// arrows and numbered circles and saved as PNG. Owns the scene with the
// captured image as its background, the items and the view. Created per
// capture on the GUI thread and run with exec(); the caller owns it (a stack
// object ends with the capture), so it does not delete itself on close.
//
// Child object names (for tests and style sheets): "captureAddText",
// "captureAddArrow", "captureNumbering", "captureDelete", "captureFontSize",
// "captureColor", "captureSave", "captureClose", "captureView".
class ScreenshotEditor : public QDialog
{
    Q_OBJECT

public:
    explicit ScreenshotEditor(const QImage &image, QWidget *parent = nullptr);
    ~ScreenshotEditor() override;

    // Replaces the dialogs the editor asks through (real ones by default).
    void setDialogs(std::unique_ptr<CaptureDialogs> dialogs);

    QGraphicsScene *graphicsScene() const { return m_scene; }
    CaptureGraphicsView *view() const { return m_view; }
    QGraphicsPixmapItem *backgroundItem() const { return m_background; }
    QColor currentColor() const { return m_currentColor; }
    int nextNumber() const { return m_nextNumber; }

    // The scene as it will be saved: selection cleared, on white.
    QImage renderImage();

public slots:
    void addText();
    void addArrow();
    void addNumbering();
    void deleteSelectedItems();
    void setSelectedTextFontSize(int pointSize);
    void chooseCurrentColor();
    void saveImage();

private:
    void leaveModes();
    void placeArrow(const QLineF &line, const QColor &color);
    void placeCircle(const QPointF &point, const QColor &color);
    void placeText(const QString &text);
    void onArrowToggled(bool on);
    void onNumberingToggled(bool on);
    void onSelectionChanged();
    void updateColorButton();

    QGraphicsScene *m_scene = nullptr;
    QGraphicsPixmapItem *m_background = nullptr;
    CaptureGraphicsView *m_view = nullptr;
    QPushButton *m_addTextButton = nullptr;
    QPushButton *m_arrowButton = nullptr;
    QPushButton *m_numberingButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    QSpinBox *m_fontSizeSpin = nullptr;
    QPushButton *m_colorButton = nullptr;
    QColor m_currentColor = Qt::blue;
    int m_nextNumber = 1;
    std::unique_ptr<CaptureDialogs> m_dialogs;
};
