#include "capture/addtextdialog.h"
#include "capture/arrowitem.h"
#include "capture/capturedialogs.h"
#include "capture/capturegraphicsview.h"
#include "capture/numberedcircleitem.h"
#include "capture/screenshoteditor.h"
#include "app/appidentity.h"

#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor Backdrop(200, 200, 200);

// Answers the editor's questions the way a test tells it to and records them.
class ScriptedDialogs : public CaptureDialogs
{
public:
    struct Record
    {
        QString text;
        bool textAccepted = true;
        QColor colour;
        QString colourTitle;
        QColor colourInitial;
        QString saveName;
        QString saveTitle;
        QString saveDefault;
        QString saveFilter;
        QStringList warnings;
        int textAsked = 0;
    };

    explicit ScriptedDialogs(Record *record) : m_record(record) {}

    bool askText(QWidget *, QString *text) override
    {
        ++m_record->textAsked;
        *text = m_record->text;
        return m_record->textAccepted;
    }
    QColor askColor(QWidget *, const QColor &initial, const QString &title) override
    {
        m_record->colourInitial = initial;
        m_record->colourTitle = title;
        return m_record->colour;
    }
    QString saveFileName(QWidget *, const QString &title, const QString &defaultPath,
                         const QString &filter) override
    {
        m_record->saveTitle = title;
        m_record->saveDefault = defaultPath;
        m_record->saveFilter = filter;
        return m_record->saveName;
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        m_record->warnings << title + QLatin1Char('|') + text;
    }

private:
    Record *m_record;
};

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), widget->mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendWheel(QWidget *widget, int delta)
{
    const QPointF pos(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(pos, widget->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

template<typename T>
QList<T *> itemsOf(QGraphicsScene *scene)
{
    QList<T *> found;
    const QList<QGraphicsItem *> items = scene->items(Qt::AscendingOrder);
    for (QGraphicsItem *item : items) {
        if (item->type() == T::Type)
            found << static_cast<T *>(item);
    }
    return found;
}

bool isNear(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

class TestCaptureEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void colourSwatchKeepsSizeUnderAppStyle();
    void shortArrowIsRefused();
    void arrowModeStaysOnAndDrawsInItsColour();
    void escapeLeavesArrowMode();
    void leavingModeMidDragDropsPreview();
    void arrowAndNumberingExcludeEachOther();
    void numberingContinuesAfterDeletion();
    void clicksOutsideSceneAreClamped();
    void deleteSparesBackground();
    void deleteKeyRemovesSelection();
    void blankTextAddsNothing_data();
    void blankTextAddsNothing();
    void textLabelPlacement();
    void fontSizeFollowsSelection();
    void colourChoice();
    void zoomLimits();
    void savedImageHoldsItems();
    void saveAppendsSuffixAndRemembersDirectory();
    void saveCancelled();
    void saveFailureIsReported();

private:
    ScreenshotEditor *makeEditor(const QSize &size = QSize(400, 300));
    QPoint viewPos(const QPointF &scenePos) const;
    void dragInView(const QPointF &from, const QPointF &to);
    void clickInView(const QPointF &at);

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_outDir;
    ScreenshotEditor *m_editor = nullptr;
    ScriptedDialogs::Record m_record;
};

void TestCaptureEditor::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    QVERIFY(m_outDir.isValid());
    QCoreApplication::setOrganizationName(QStringLiteral("KVX"));
    QCoreApplication::setApplicationName(QStringLiteral("Orvalis-3"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    // Never touch the user's own settings.
    QVERIFY(QSettings().fileName().startsWith(m_settingsDir.path()));
}

void TestCaptureEditor::init()
{
    m_record = ScriptedDialogs::Record();
    QSettings().clear();
}

void TestCaptureEditor::cleanup()
{
    delete m_editor;
    m_editor = nullptr;
}

ScreenshotEditor *TestCaptureEditor::makeEditor(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Backdrop);
    m_editor = new ScreenshotEditor(image);
    m_editor->setDialogs(std::make_unique<ScriptedDialogs>(&m_record));
    m_editor->show();
    if (!QTest::qWaitForWindowExposed(m_editor))
        return nullptr;
    // Let the fitting into the view happen, then work at one scene unit per pixel.
    QCoreApplication::processEvents();
    m_editor->view()->resetTransform();
    return m_editor;
}

QPoint TestCaptureEditor::viewPos(const QPointF &scenePos) const
{
    return m_editor->view()->mapFromScene(scenePos);
}

void TestCaptureEditor::dragInView(const QPointF &from, const QPointF &to)
{
    QWidget *viewport = m_editor->view()->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(from));
    sendMouse(viewport, QEvent::MouseMove, viewPos((from + to) / 2));
    sendMouse(viewport, QEvent::MouseMove, viewPos(to));
    sendMouse(viewport, QEvent::MouseButtonRelease, viewPos(to));
}

void TestCaptureEditor::clickInView(const QPointF &at)
{
    QWidget *viewport = m_editor->view()->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(at));
    sendMouse(viewport, QEvent::MouseButtonRelease, viewPos(at));
}

void TestCaptureEditor::colourSwatchKeepsSizeUnderAppStyle()
{
    // The application's style sheet gives every push button a 36 px minimum.
    AppIdentity::initResources();
    const QString appStyle = AppIdentity::readStyleSheet(AppIdentity::styleSheetResource());
    QVERIFY(appStyle.contains(QStringLiteral("min-height: 36px")));
    qApp->setStyleSheet(appStyle);
    QVERIFY(makeEditor(QSize(300, 200)));
    auto *colour = m_editor->findChild<QPushButton *>("captureColor");
    QVERIFY(colour);
    QCOMPARE(colour->size(), QSize(46, 28));
    qApp->setStyleSheet(QString());
}

void TestCaptureEditor::shortArrowIsRefused()
{
    QVERIFY(makeEditor());
    m_editor->findChild<QPushButton *>("captureAddArrow")->click();
    QVERIFY(m_editor->view()->isArrowMode());

    dragInView(QPointF(100, 100), QPointF(104, 100));
    QCOMPARE(itemsOf<ArrowItem>(m_editor->graphicsScene()).size(), 0);
    QVERIFY(!m_editor->view()->hasPreviewLine());
    QVERIFY(m_editor->view()->isArrowMode());
    QVERIFY(m_editor->findChild<QPushButton *>("captureAddArrow")->isChecked());

    dragInView(QPointF(100, 100), QPointF(105, 100));
    const QList<ArrowItem *> arrows = itemsOf<ArrowItem>(m_editor->graphicsScene());
    QCOMPARE(arrows.size(), 1);
    QCOMPARE(arrows.first()->line(), QLineF(100, 100, 105, 100));
}

void TestCaptureEditor::arrowModeStaysOnAndDrawsInItsColour()
{
    QVERIFY(makeEditor());
    m_record.colour = QColor(Qt::red);
    m_editor->chooseCurrentColor();
    m_editor->addArrow();
    QVERIFY(m_editor->findChild<QPushButton *>("captureAddArrow")->isChecked());
    QCOMPARE(m_editor->view()->drawingColor(), QColor(Qt::red));
    QCOMPARE(m_editor->view()->viewport()->cursor().shape(), Qt::CrossCursor);

    // The preview is a dashed line above everything while the mouse is held.
    QWidget *viewport = m_editor->view()->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(QPointF(50, 60)));
    sendMouse(viewport, QEvent::MouseMove, viewPos(QPointF(150, 160)));
    const QList<QGraphicsLineItem *> previews = itemsOf<QGraphicsLineItem>(m_editor->graphicsScene());
    QCOMPARE(previews.size(), 1);
    QCOMPARE(previews.first()->pen().color(), QColor(Qt::red));
    QCOMPARE(previews.first()->line(), QLineF(50, 60, 150, 160));
    sendMouse(viewport, QEvent::MouseButtonRelease, viewPos(QPointF(150, 160)));

    dragInView(QPointF(200, 50), QPointF(300, 250));
    const QList<ArrowItem *> arrows = itemsOf<ArrowItem>(m_editor->graphicsScene());
    QCOMPARE(arrows.size(), 2);
    QCOMPARE(itemsOf<QGraphicsLineItem>(m_editor->graphicsScene()).size(), 0);
    for (ArrowItem *arrow : arrows)
        QCOMPARE(arrow->color(), QColor(Qt::red));
    // Only the newest arrow is selected.
    const QList<QGraphicsItem *> selected = m_editor->graphicsScene()->selectedItems();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(static_cast<ArrowItem *>(selected.first())->line(), QLineF(200, 50, 300, 250));
    QVERIFY(m_editor->view()->isArrowMode());
}

void TestCaptureEditor::escapeLeavesArrowMode()
{
    QVERIFY(makeEditor());
    auto *arrowButton = m_editor->findChild<QPushButton *>("captureAddArrow");
    arrowButton->click();
    QVERIFY(m_editor->view()->isArrowMode());
    QTest::keyClick(m_editor->view(), Qt::Key_Escape);
    QVERIFY(!m_editor->view()->isArrowMode());
    QVERIFY(!arrowButton->isChecked());
    // Escape in a mode must not close the editor itself.
    QVERIFY(m_editor->isVisible());

    // Without a mode a drag draws nothing.
    dragInView(QPointF(100, 100), QPointF(200, 200));
    QCOMPARE(itemsOf<ArrowItem>(m_editor->graphicsScene()).size(), 0);
}

void TestCaptureEditor::leavingModeMidDragDropsPreview()
{
    QVERIFY(makeEditor());
    m_editor->addArrow();
    QWidget *viewport = m_editor->view()->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(QPointF(50, 60)));
    sendMouse(viewport, QEvent::MouseMove, viewPos(QPointF(150, 160)));
    QVERIFY(m_editor->view()->hasPreviewLine());

    m_editor->findChild<QPushButton *>("captureDelete")->click();
    QVERIFY(!m_editor->view()->hasPreviewLine());
    QCOMPARE(itemsOf<QGraphicsLineItem>(m_editor->graphicsScene()).size(), 0);
    sendMouse(viewport, QEvent::MouseButtonRelease, viewPos(QPointF(150, 160)));
    QCOMPARE(itemsOf<ArrowItem>(m_editor->graphicsScene()).size(), 0);

    // The dashed line must not end up in a saved image either.
    m_editor->addArrow();
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(QPointF(20, 150)));
    sendMouse(viewport, QEvent::MouseMove, viewPos(QPointF(380, 150)));
    m_record.saveName = m_outDir.filePath(QStringLiteral("middrag"));
    m_editor->saveImage();
    const QImage saved(m_record.saveName + QStringLiteral(".png"));
    QVERIFY(!saved.isNull());
    for (int x = 20; x <= 380; x += 10)
        QCOMPARE(QColor(saved.pixel(x, 150)), Backdrop);
}

void TestCaptureEditor::arrowAndNumberingExcludeEachOther()
{
    QVERIFY(makeEditor());
    auto *arrowButton = m_editor->findChild<QPushButton *>("captureAddArrow");
    auto *numberingButton = m_editor->findChild<QPushButton *>("captureNumbering");
    arrowButton->click();
    numberingButton->click();
    QVERIFY(!arrowButton->isChecked());
    QVERIFY(numberingButton->isChecked());
    QVERIFY(m_editor->view()->isNumberingMode());
    QVERIFY(!m_editor->view()->isArrowMode());

    arrowButton->click();
    QVERIFY(arrowButton->isChecked());
    QVERIFY(!numberingButton->isChecked());
    QVERIFY(m_editor->view()->isArrowMode());
    QVERIFY(!m_editor->view()->isNumberingMode());

    // Choosing a colour leaves the mode, and a later mode draws in the new colour.
    numberingButton->click();
    m_record.colour = QColor(0, 128, 0);
    m_editor->findChild<QPushButton *>("captureColor")->click();
    QVERIFY(!numberingButton->isChecked());
    QVERIFY(!m_editor->view()->isNumberingMode());
    numberingButton->click();
    QCOMPARE(m_editor->view()->drawingColor(), QColor(0, 128, 0));
}

void TestCaptureEditor::numberingContinuesAfterDeletion()
{
    QVERIFY(makeEditor());
    auto *numberingButton = m_editor->findChild<QPushButton *>("captureNumbering");
    numberingButton->click();
    clickInView(QPointF(50, 50));
    clickInView(QPointF(150, 50));
    clickInView(QPointF(250, 50));

    QList<NumberedCircleItem *> circles = itemsOf<NumberedCircleItem>(m_editor->graphicsScene());
    QCOMPARE(circles.size(), 3);
    NumberedCircleItem *second = nullptr;
    for (NumberedCircleItem *circle : circles)
        second = circle->number() == 2 ? circle : second;
    QVERIFY(second);
    QCOMPARE(second->pos(), QPointF(150, 50));
    QVERIFY(circles.last()->isSelected() || m_editor->graphicsScene()->selectedItems().size() == 1);

    m_editor->graphicsScene()->clearSelection();
    second->setSelected(true);
    m_editor->findChild<QPushButton *>("captureDelete")->click();
    QVERIFY(!numberingButton->isChecked());

    numberingButton->click();
    clickInView(QPointF(150, 200));
    QList<int> numbers;
    for (NumberedCircleItem *circle : itemsOf<NumberedCircleItem>(m_editor->graphicsScene()))
        numbers << circle->number();
    std::sort(numbers.begin(), numbers.end());
    QCOMPARE(numbers, QList<int>({1, 3, 4}));
    QCOMPARE(m_editor->nextNumber(), 5);
}

void TestCaptureEditor::clicksOutsideSceneAreClamped()
{
    QVERIFY(makeEditor(QSize(400, 300)));
    m_editor->addNumbering();
    // The view is wider than the scene at 1:1, so there is room left of it.
    const QPoint left = viewPos(QPointF(0, 100)) - QPoint(30, 0);
    QVERIFY(left.x() >= 0);
    QWidget *viewport = m_editor->view()->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, left);
    sendMouse(viewport, QEvent::MouseButtonRelease, left);
    const QList<NumberedCircleItem *> circles = itemsOf<NumberedCircleItem>(m_editor->graphicsScene());
    QCOMPARE(circles.size(), 1);
    QCOMPARE(circles.first()->pos(), QPointF(0, 100));

    m_editor->addArrow();
    const QPoint right = viewPos(QPointF(400, 200)) + QPoint(40, 0);
    sendMouse(viewport, QEvent::MouseButtonPress, viewPos(QPointF(300, 200)));
    sendMouse(viewport, QEvent::MouseMove, right);
    sendMouse(viewport, QEvent::MouseButtonRelease, right);
    const QList<ArrowItem *> arrows = itemsOf<ArrowItem>(m_editor->graphicsScene());
    QCOMPARE(arrows.size(), 1);
    QCOMPARE(arrows.first()->line(), QLineF(300, 200, 400, 200));
}

void TestCaptureEditor::deleteSparesBackground()
{
    QVERIFY(makeEditor());
    QGraphicsPixmapItem *background = m_editor->backgroundItem();
    background->setFlag(QGraphicsItem::ItemIsSelectable);
    background->setSelected(true);
    QVERIFY(background->isSelected());
    const int before = m_editor->graphicsScene()->items().size();
    m_editor->deleteSelectedItems();
    QCOMPARE(m_editor->graphicsScene()->items().size(), before);
    QCOMPARE(m_editor->backgroundItem(), background);
    QVERIFY(m_editor->graphicsScene()->items().contains(background));

    // Together with a selected arrow only the arrow goes.
    m_editor->addArrow();
    dragInView(QPointF(10, 10), QPointF(100, 100));
    background->setSelected(true);
    QCOMPARE(m_editor->graphicsScene()->selectedItems().size(), 2);
    m_editor->deleteSelectedItems();
    QCOMPARE(itemsOf<ArrowItem>(m_editor->graphicsScene()).size(), 0);
    QVERIFY(m_editor->graphicsScene()->items().contains(background));
}

void TestCaptureEditor::deleteKeyRemovesSelection()
{
    QVERIFY(makeEditor());
    m_editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_editor));
    m_editor->addNumbering();
    clickInView(QPointF(60, 60));
    clickInView(QPointF(120, 60));
    QCOMPARE(itemsOf<NumberedCircleItem>(m_editor->graphicsScene()).size(), 2);
    QTest::keyClick(m_editor->view()->viewport(), Qt::Key_Delete);
    const QList<NumberedCircleItem *> left = itemsOf<NumberedCircleItem>(m_editor->graphicsScene());
    QCOMPARE(left.size(), 1);
    QCOMPARE(left.first()->number(), 1);
}

void TestCaptureEditor::blankTextAddsNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("blanks") << QStringLiteral("    ") << true;
    QTest::newRow("newlines and tabs") << QStringLiteral(" \n\t\n ") << true;
    QTest::newRow("cancelled") << QStringLiteral("Pulsar") << false;
}

void TestCaptureEditor::blankTextAddsNothing()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QVERIFY(makeEditor());
    m_record.text = text;
    m_record.textAccepted = accepted;
    const int before = m_editor->graphicsScene()->items().size();
    m_editor->findChild<QPushButton *>("captureAddText")->click();
    QCOMPARE(m_record.textAsked, 1);
    QCOMPARE(m_editor->graphicsScene()->items().size(), before);
}

void TestCaptureEditor::textLabelPlacement()
{
    QVERIFY(makeEditor(QSize(400, 300)));
    m_editor->addArrow();
    m_record.text = QStringLiteral("  B0329+54  ");
    m_editor->addText();
    QVERIFY(!m_editor->view()->isArrowMode());
    QVERIFY(!m_editor->findChild<QPushButton *>("captureAddArrow")->isChecked());

    QList<QGraphicsTextItem *> labels = itemsOf<QGraphicsTextItem>(m_editor->graphicsScene());
    QCOMPARE(labels.size(), 1);
    QGraphicsTextItem *label = labels.first();
    QCOMPARE(label->toPlainText(), m_record.text);
    QVERIFY(label->isSelected());
    const double width = label->boundingRect().width();
    QVERIFY(width < 400);
    QVERIFY(qAbs(label->pos().x() - (400 - width) / 2) < 1e-9);
    QCOMPARE(label->pos().y(), 10.0);

    // Wider than the capture: starts at its left edge.
    m_record.text = QString(200, QLatin1Char('W'));
    m_editor->addText();
    labels = itemsOf<QGraphicsTextItem>(m_editor->graphicsScene());
    QCOMPARE(labels.size(), 2);
    QGraphicsTextItem *wide = labels.first() == label ? labels.last() : labels.first();
    QVERIFY(wide->boundingRect().width() > 400);
    QCOMPARE(wide->pos(), QPointF(0, 10));
}

void TestCaptureEditor::fontSizeFollowsSelection()
{
    QVERIFY(makeEditor());
    auto *spin = m_editor->findChild<QSpinBox *>("captureFontSize");
    m_record.text = QStringLiteral("first");
    m_editor->addText();
    QGraphicsTextItem *first = itemsOf<QGraphicsTextItem>(m_editor->graphicsScene()).first();
    spin->setValue(30);
    QCOMPARE(first->font().pointSize(), 30);

    m_record.text = QStringLiteral("second");
    m_editor->addText();
    QGraphicsTextItem *second = nullptr;
    for (QGraphicsTextItem *item : itemsOf<QGraphicsTextItem>(m_editor->graphicsScene())) {
        if (item != first)
            second = item;
    }
    QVERIFY(second);
    QCOMPARE(second->font().pointSize(), 30);
    spin->setValue(8);
    QCOMPARE(second->font().pointSize(), 8);
    QCOMPARE(first->font().pointSize(), 30);

    // Selecting a label shows its size without resizing anything.
    m_editor->graphicsScene()->clearSelection();
    first->setSelected(true);
    QCOMPARE(spin->value(), 30);
    QCOMPARE(second->font().pointSize(), 8);
    QCOMPARE(first->font().pointSize(), 30);
}

void TestCaptureEditor::colourChoice()
{
    QVERIFY(makeEditor());
    auto *colourButton = m_editor->findChild<QPushButton *>("captureColor");
    m_editor->addArrow();
    dragInView(QPointF(10, 10), QPointF(100, 10));

    m_record.colour = QColor(255, 128, 0);
    colourButton->click();
    QCOMPARE(m_record.colourInitial, QColor(Qt::blue));
    QCOMPARE(m_editor->currentColor(), QColor(255, 128, 0));
    // Existing items keep their colour.
    QCOMPARE(itemsOf<ArrowItem>(m_editor->graphicsScene()).first()->color(), QColor(Qt::blue));

    m_record.colour = QColor();   // cancelled
    colourButton->click();
    QCOMPARE(m_record.colourInitial, QColor(255, 128, 0));
    QCOMPARE(m_editor->currentColor(), QColor(255, 128, 0));
}

void TestCaptureEditor::zoomLimits()
{
    QVERIFY(makeEditor());
    CaptureGraphicsView *view = m_editor->view();
    for (int i = 0; i < 60; ++i)
        sendWheel(view->viewport(), 120);
    QCOMPARE(view->transform().m11(), 20.0);
    QCOMPARE(view->transform().m22(), 20.0);
    sendWheel(view->viewport(), -120);
    QCOMPARE(view->transform().m11(), 20.0 / 1.15);

    for (int i = 0; i < 120; ++i)
        sendWheel(view->viewport(), -120);
    QCOMPARE(view->transform().m11(), 0.05);
    QCOMPARE(view->transform().m22(), 0.05);
    sendWheel(view->viewport(), 120);
    QCOMPARE(view->transform().m11(), 0.05 * 1.15);
}

void TestCaptureEditor::savedImageHoldsItems()
{
    QVERIFY(makeEditor(QSize(400, 300)));
    m_record.colour = QColor(255, 0, 0);
    m_editor->chooseCurrentColor();

    m_editor->addArrow();
    dragInView(QPointF(150, 150), QPointF(250, 150));
    m_editor->addNumbering();
    clickInView(QPointF(100, 230));
    m_record.text = QStringLiteral("Pulse");
    m_record.colour = QColor(0, 160, 0);
    m_editor->chooseCurrentColor();
    m_editor->findChild<QSpinBox *>("captureFontSize")->setValue(24);
    m_editor->addText();
    QVERIFY(!m_editor->graphicsScene()->selectedItems().isEmpty());

    m_record.saveName = m_outDir.filePath(QStringLiteral("annotated.png"));
    m_editor->findChild<QPushButton *>("captureSave")->click();
    QVERIFY2(m_record.warnings.isEmpty(), qPrintable(m_record.warnings.join(';')));
    QVERIFY(m_editor->isVisible());
    QVERIFY(m_editor->graphicsScene()->selectedItems().isEmpty());

    QImage saved;
    QVERIFY(saved.load(m_record.saveName, "PNG"));
    QCOMPARE(saved.size(), QSize(400, 300));
    const QColor red(255, 0, 0);

    // The arrow's shaft and filled head, and the backdrop beside it.
    QVERIFY(isNear(saved.pixelColor(200, 150), red));
    QVERIFY(isNear(saved.pixelColor(243, 152), red));
    QVERIFY(isNear(saved.pixelColor(243, 148), red));
    QCOMPARE(saved.pixelColor(200, 140), Backdrop);
    QCOMPARE(saved.pixelColor(140, 150), Backdrop);

    // The circle: red ring, white inside, backdrop outside.
    QVERIFY(isNear(saved.pixelColor(100, 230 - 16), red));
    QVERIFY(isNear(saved.pixelColor(100 + 16, 230), red));
    QVERIFY(isNear(saved.pixelColor(100 - 16, 230), red));
    QCOMPARE(saved.pixelColor(100 - 10, 230 + 6), QColor(Qt::white));
    QCOMPARE(saved.pixelColor(100 - 25, 230), Backdrop);
    // Its number is drawn in red in the middle.
    int numberPixels = 0;
    for (int y = 222; y <= 238; ++y)
        for (int x = 94; x <= 106; ++x)
            numberPixels += isNear(saved.pixelColor(x, y), red, 80) ? 1 : 0;
    QVERIFY(numberPixels > 5);

    // The label in green near the top, centred.
    int greenLeft = 400, greenRight = -1, greenTop = 300;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 400; ++x) {
            if (isNear(saved.pixelColor(x, y), QColor(0, 160, 0), 60)) {
                greenLeft = qMin(greenLeft, x);
                greenRight = qMax(greenRight, x);
                greenTop = qMin(greenTop, y);
            }
        }
    }
    QVERIFY(greenRight > greenLeft + 30);
    QVERIFY(qAbs((greenLeft + greenRight) / 2 - 200) <= 6);
    QVERIFY(greenTop >= 10 && greenTop < 40);
    QCOMPARE(saved.pixelColor(5, 295), Backdrop);
}

void TestCaptureEditor::saveAppendsSuffixAndRemembersDirectory()
{
    QVERIFY(makeEditor());
    m_record.saveName = m_outDir.filePath(QStringLiteral("plain"));
    m_editor->saveImage();
    QVERIFY(QRegularExpression(QStringLiteral("^screen_\\d{4}\\.\\d{2}\\.\\d{2}_\\d{6}\\.png$"))
                .match(m_record.saveDefault).hasMatch());
    QVERIFY(QFileInfo::exists(m_record.saveName + QStringLiteral(".png")));
    QVERIFY(!QFileInfo::exists(m_record.saveName));
    QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(),
             QFileInfo(m_outDir.path()).absoluteFilePath());

    QDir(m_outDir.path()).mkdir(QStringLiteral("sub"));
    m_record.saveName = m_outDir.filePath(QStringLiteral("sub/UPPER.PNG"));
    m_editor->saveImage();
    QVERIFY(m_record.saveDefault.startsWith(QFileInfo(m_outDir.path()).absoluteFilePath() + "/screen_"));
    QVERIFY(QFileInfo::exists(m_record.saveName));
    QVERIFY(!QFileInfo::exists(m_record.saveName + QStringLiteral(".png")));
    QCOMPARE(QImage(m_record.saveName).size(), QSize(400, 300));
    QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(),
             QFileInfo(m_outDir.filePath(QStringLiteral("sub"))).absoluteFilePath());
    QVERIFY(m_record.warnings.isEmpty());
}

void TestCaptureEditor::saveCancelled()
{
    QVERIFY(makeEditor());
    QSettings().setValue(QStringLiteral("lastSavePath"), QStringLiteral("/keep/this"));
    m_editor->addNumbering();
    m_record.saveName.clear();
    m_editor->saveImage();
    QVERIFY(m_record.saveDefault.startsWith(QLatin1String("/keep/this/screen_")));
    QVERIFY(!m_editor->view()->isNumberingMode());
    QVERIFY(m_record.warnings.isEmpty());
    QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), QStringLiteral("/keep/this"));
}

void TestCaptureEditor::saveFailureIsReported()
{
    QVERIFY(makeEditor());
    QSettings().setValue(QStringLiteral("lastSavePath"), QStringLiteral("/keep/this"));
    m_record.saveName = m_outDir.filePath(QStringLiteral("missing-dir/shot"));
    m_editor->saveImage();
    const QString expected = m_outDir.filePath(QStringLiteral("missing-dir/shot.png"));
    QCOMPARE(m_record.warnings, QStringList(QStringLiteral("Error|Failed to save image:\n") + expected));
    QVERIFY(!QFileInfo::exists(expected));
    QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), QStringLiteral("/keep/this"));

    // An unwritable target that is a directory leaves that directory as it was.
    const QString dirTarget = m_outDir.filePath(QStringLiteral("taken.png"));
    QVERIFY(QDir().mkpath(dirTarget));
    m_record.warnings.clear();
    m_record.saveName = dirTarget;
    m_editor->saveImage();
    QCOMPARE(m_record.warnings.size(), 1);
    QVERIFY(QFileInfo(dirTarget).isDir());
}

QTEST_MAIN(TestCaptureEditor)
#include "tst_captureeditor.moc"
