#include "capture/arrowitem.h"
#include "capture/capturedialogs.h"
#include "capture/capturegraphicsview.h"
#include "capture/numberedcircleitem.h"
#include "capture/screenshoteditor.h"
#include "app/appidentity.h"
#include "tests/support/fakeshell.h"
#include "tests/support/widgetprobe.h"

#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor Backdrop(200, 200, 200);

// The editor's own questions answered from these fields; file dialogs and
// messages go through the shared fake.
class ScriptedDialogs : public FakeDialogs<CaptureDialogs>
{
public:
    using FakeDialogs::FakeDialogs;

    QString text;
    bool textAccepted = true;
    QColor colour;
    QColor colourInitial;
    int textAsked = 0;

    bool askText(QWidget *, QString *answer) override
    {
        ++textAsked;
        *answer = text;
        return textAccepted;
    }
    QColor askColor(QWidget *, const QColor &initial, const QString &) override
    {
        colourInitial = initial;
        return colour;
    }
};

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
    for (QGraphicsItem *item : scene->items(Qt::AscendingOrder))
        if (item->type() == T::Type)
            found << static_cast<T *>(item);
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
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid() && m_outDir.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("KVX"));
        QCoreApplication::setApplicationName(QStringLiteral("Orvalis-3"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
        // Never touch the user's own settings.
        QVERIFY(QSettings().fileName().startsWith(m_settingsDir.path()));
        // The program's style sheet, which gives every push button a 36 px minimum.
        AppIdentity::initResources();
        qApp->setStyleSheet(AppIdentity::readStyleSheet(AppIdentity::styleSheetResource()));
    }

    void init()
    {
        m_log = DialogLog();
        QSettings().clear();
    }

    void cleanup()
    {
        delete m_editor;
        m_editor = nullptr;
    }

    void arrowModeAndColours()
    {
        QVERIFY(makeEditor());
        // The colour swatch keeps its size under the style sheet's button minimum.
        QCOMPARE(button("captureColor")->size(), QSize(46, 28));
        m_record->colour = QColor(Qt::red);
        m_editor->chooseCurrentColor();
        button("captureAddArrow")->click();

        // Shorter than 5 px: refused (only the two arrows below are drawn), and the mode stays on.
        dragInView(QPointF(100, 100), QPointF(104, 100));
        QVERIFY(!m_editor->view()->hasPreviewLine());
        QVERIFY(button("captureAddArrow")->isChecked());

        // The preview is a line in the drawing colour while the mouse is held.
        press(QPointF(50, 60));
        WidgetProbe::move(viewport(), viewPos(QPointF(150, 160)), Qt::LeftButton);
        const QList<QGraphicsLineItem *> previews = itemsOf<QGraphicsLineItem>(scene());
        QCOMPARE(previews.size(), 1);
        QCOMPARE(previews.first()->pen().color(), QColor(Qt::red));
        QCOMPARE(previews.first()->line(), QLineF(50, 60, 150, 160));
        // Leaving the mode in the middle of the drag drops the preview and draws nothing.
        button("captureDelete")->click();
        QCOMPARE(itemsOf<QGraphicsLineItem>(scene()).size(), 0);
        QTest::mouseRelease(viewport(), Qt::LeftButton, Qt::NoModifier, viewPos(QPointF(150, 160)));

        // Dragged past the scene's right edge, the arrow ends on it.
        button("captureAddArrow")->click();
        dragInView(QPointF(200, 50), QPointF(300, 250));
        WidgetProbe::drag(viewport(), viewPos(QPointF(300, 200)), viewPos(QPointF(400, 200)) + QPoint(40, 0));
        const QList<ArrowItem *> arrows = itemsOf<ArrowItem>(scene());
        QCOMPARE(arrows.size(), 2);
        QCOMPARE(arrows.first()->color(), QColor(Qt::red));
        // Only the newest arrow is selected.
        QCOMPARE(scene()->selectedItems().size(), 1);
        QCOMPARE(static_cast<ArrowItem *>(scene()->selectedItems().first())->line(), QLineF(300, 200, 400, 200));

        // Escape leaves the mode but not the editor; then a drag draws nothing.
        QTest::keyClick(m_editor->view(), Qt::Key_Escape);
        QVERIFY(!m_editor->view()->isArrowMode() && !button("captureAddArrow")->isChecked());
        QVERIFY(m_editor->isVisible());
        dragInView(QPointF(100, 100), QPointF(200, 200));
        QCOMPARE(itemsOf<ArrowItem>(scene()).size(), 2);

        // Deleting the selection spares the background, even when it is selected too.
        QGraphicsPixmapItem *background = m_editor->backgroundItem();
        background->setFlag(QGraphicsItem::ItemIsSelectable);
        for (ArrowItem *arrow : arrows)
            arrow->setSelected(true);
        background->setSelected(true);
        m_editor->deleteSelectedItems();
        QCOMPARE(itemsOf<ArrowItem>(scene()).size(), 0);
        QVERIFY(scene()->items().contains(background));

        // The two modes exclude each other.
        QPushButton *arrow = button("captureAddArrow");
        QPushButton *numbering = button("captureNumbering");
        arrow->click();
        dragInView(QPointF(10, 10), QPointF(100, 10));
        numbering->click();
        QVERIFY(!arrow->isChecked() && m_editor->view()->isNumberingMode() && !m_editor->view()->isArrowMode());
        arrow->click();
        QVERIFY(!numbering->isChecked() && m_editor->view()->isArrowMode() && !m_editor->view()->isNumberingMode());

        // Choosing a colour or adding a text leaves the mode; a later mode draws in the new colour,
        // existing items keep theirs.
        numbering->click();
        m_record->colour = QColor(0, 128, 0);
        button("captureColor")->click();
        QVERIFY(!numbering->isChecked() && !m_editor->view()->isNumberingMode());
        QCOMPARE(itemsOf<ArrowItem>(scene()).first()->color(), QColor(Qt::red));
        numbering->click();
        QCOMPARE(m_editor->view()->drawingColor(), QColor(0, 128, 0));
        m_record->text = QStringLiteral("x");
        m_editor->addText();
        QVERIFY(!numbering->isChecked() && !m_editor->view()->isNumberingMode());

        // A cancelled colour dialog starts at the current colour and keeps it.
        m_record->colour = QColor();
        button("captureColor")->click();
        QCOMPARE(m_record->colourInitial, QColor(0, 128, 0));
        QCOMPARE(m_editor->currentColor(), QColor(0, 128, 0));
    }

    void numberingContinuesAfterDeletionAndZoom()
    {
        QVERIFY(makeEditor());
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor));
        button("captureNumbering")->click();
        // The view is wider than the scene at 1:1: a click left of it lands on its edge.
        const QPoint left = viewPos(QPointF(0, 50)) - QPoint(30, 0);
        QVERIFY(left.x() >= 0);
        WidgetProbe::click(viewport(), left);
        clickInView(QPointF(150, 50));
        clickInView(QPointF(250, 50));
        // Circles of one height stack in the order they were added.
        const QList<NumberedCircleItem *> circles = itemsOf<NumberedCircleItem>(scene());
        QCOMPARE(circles.size(), 3);
        QCOMPARE(circles.first()->pos(), QPointF(0, 50));
        NumberedCircleItem *second = circles.at(1);
        QCOMPARE(second->pos(), QPointF(150, 50));

        scene()->clearSelection();
        second->setSelected(true);
        button("captureDelete")->click();
        QVERIFY(!button("captureNumbering")->isChecked());
        button("captureNumbering")->click();
        clickInView(QPointF(150, 200));
        // The Delete key removes the selection: here the newest circle, number 4.
        clickInView(QPointF(300, 200));
        QTest::keyClick(viewport(), Qt::Key_Delete);
        QList<int> numbers;
        for (NumberedCircleItem *circle : itemsOf<NumberedCircleItem>(scene()))
            numbers << circle->number();
        std::sort(numbers.begin(), numbers.end());
        QCOMPARE(numbers, QList<int>({1, 3, 4}));
        QCOMPARE(m_editor->nextNumber(), 6);

        // The wheel zooms up to its limit.
        CaptureGraphicsView *view = m_editor->view();
        for (int i = 0; i < 60; ++i)
            sendWheel(view->viewport(), 120);
        QCOMPARE(view->transform().m22(), 20.0);
        sendWheel(view->viewport(), -120);
        QCOMPARE(view->transform().m11(), 20.0 / 1.15);
    }

    void textLabels()
    {
        QVERIFY(makeEditor(QSize(400, 300)));
        // Blank or cancelled: asked, and nothing added.
        m_record->text = QStringLiteral(" \n\t\n ");
        button("captureAddText")->click();
        m_record->text = QStringLiteral("Pulsar");
        m_record->textAccepted = false;
        button("captureAddText")->click();
        QCOMPARE(m_record->textAsked, 2);
        QVERIFY(itemsOf<QGraphicsTextItem>(scene()).isEmpty());

        m_record->textAccepted = true;
        auto *spin = m_editor->findChild<QSpinBox *>("captureFontSize");
        m_record->text = QStringLiteral("  B0329+54  ");
        m_editor->addText();
        QGraphicsTextItem *label = itemsOf<QGraphicsTextItem>(scene()).first();
        QCOMPARE(label->toPlainText(), m_record->text);
        // Centred near the top.
        const double width = label->boundingRect().width();
        QCOMPARE(label->pos(), QPointF((400 - width) / 2, 10));
        spin->setValue(30);

        // Wider than the capture: starts at its left edge; takes the current size.
        m_record->text = QString(200, QLatin1Char('W'));
        m_editor->addText();
        QGraphicsTextItem *wide = itemsOf<QGraphicsTextItem>(scene()).last();
        QCOMPARE(wide->pos(), QPointF(0, 10));
        QCOMPARE(wide->font().pointSize(), 30);
        spin->setValue(8);
        QCOMPARE(wide->font().pointSize(), 8);
        QCOMPARE(label->font().pointSize(), 30);
        // Selecting a label shows its size without resizing anything.
        scene()->clearSelection();
        label->setSelected(true);
        QCOMPARE(spin->value(), 30);
        QCOMPARE(wide->font().pointSize(), 8);
    }

    // Failed saves report the file and remember nothing; the saved picture holds
    // every item as drawn, without the selection or a line under way.
    void saveFailsOrHoldsTheItems()
    {
        QVERIFY(makeEditor(QSize(400, 300)));
        QSettings().setValue(QStringLiteral("lastSavePath"), QStringLiteral("/keep/this"));
        m_editor->addNumbering();
        m_editor->saveImage(); // cancelled
        QVERIFY(m_log.askedPaths.value(0).startsWith(QLatin1String("/keep/this/screen_")));
        QVERIFY(!m_editor->view()->isNumberingMode());

        m_log.replies << m_outDir.filePath(QStringLiteral("missing-dir/shot"));
        m_editor->saveImage();
        const QString expected = m_outDir.filePath(QStringLiteral("missing-dir/shot.png"));
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("Failed to save image:\n") + expected));
        QVERIFY(!QFileInfo::exists(expected));
        QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), QStringLiteral("/keep/this"));

        // An unwritable target that is a directory leaves that directory as it was.
        const QString dirTarget = m_outDir.filePath(QStringLiteral("taken.png"));
        QVERIFY(QDir().mkpath(dirTarget));
        m_log.replies << dirTarget;
        m_editor->saveImage();
        QCOMPARE(m_log.messages.size(), 2);
        QVERIFY(QFileInfo(dirTarget).isDir());

        m_record->colour = QColor(255, 0, 0);
        m_editor->chooseCurrentColor();
        m_editor->addArrow();
        dragInView(QPointF(150, 150), QPointF(250, 150));
        m_editor->addNumbering();
        clickInView(QPointF(100, 230));
        m_record->text = QStringLiteral("Pulse");
        m_record->colour = QColor(0, 160, 0);
        m_editor->chooseCurrentColor();
        m_editor->findChild<QSpinBox *>("captureFontSize")->setValue(24);
        m_editor->addText();
        m_editor->addArrow();
        press(QPointF(20, 100));
        WidgetProbe::move(viewport(), viewPos(QPointF(380, 100)), Qt::LeftButton);

        // Saved without a suffix: it gets one, and the next dialog starts in its directory.
        const QString sub = QFileInfo(m_outDir.filePath(QStringLiteral("sub"))).absoluteFilePath();
        QVERIFY(QDir().mkpath(sub));
        m_log.replies << sub + QStringLiteral("/annotated");
        button("captureSave")->click();
        QCOMPARE(m_log.messages.size(), 2);
        QVERIFY(m_editor->isVisible());
        QVERIFY(scene()->selectedItems().isEmpty());
        QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), sub);
        m_editor->saveImage();
        QVERIFY(m_log.askedPaths.value(4).startsWith(sub + QStringLiteral("/screen_")));

        QImage saved;
        QVERIFY(saved.load(sub + QStringLiteral("/annotated.png"), "PNG"));
        saved = saved.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), QSize(400, 300));
        const QColor red(255, 0, 0);
        const auto count = [&saved](const QRect &area, const QColor &colour, int tolerance) {
            return WidgetProbe::countPixels(saved, area, [&](QRgb p) { return isNear(QColor(p), colour, tolerance); });
        };
        // The arrow's shaft and the backdrop beside it; no line under way.
        QVERIFY(isNear(saved.pixelColor(200, 150), red));
        QCOMPARE(saved.pixelColor(200, 140), Backdrop);
        QCOMPARE(count(QRect(20, 95, 361, 11), Backdrop, 0), 361 * 11);
        // The circle: red ring, white inside, a red number in the middle.
        QVERIFY(isNear(saved.pixelColor(100 + 16, 230), red));
        QCOMPARE(saved.pixelColor(100 - 10, 230 + 6), QColor(Qt::white));
        QVERIFY(count(QRect(94, 222, 13, 17), red, 80) > 5);
        // The label in green at the top, across the middle, and nowhere else.
        const QColor green(0, 160, 0);
        QVERIFY(count(QRect(0, 10, 200, 50), green, 60) > 15 && count(QRect(200, 10, 200, 50), green, 60) > 15);
        QCOMPARE(count(QRect(0, 0, 400, 10), green, 60) + count(QRect(0, 60, 400, 240), green, 60), 0);
    }

private:
    ScreenshotEditor *makeEditor(const QSize &size = QSize(400, 300))
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Backdrop);
        m_editor = new ScreenshotEditor(image);
        auto dialogs = std::make_unique<ScriptedDialogs>(&m_log);
        m_record = dialogs.get();
        m_editor->setDialogs(std::move(dialogs));
        m_editor->show();
        if (!QTest::qWaitForWindowExposed(m_editor))
            return nullptr;
        // Let the fitting into the view happen, then work at one scene unit per pixel.
        QCoreApplication::processEvents();
        m_editor->view()->resetTransform();
        return m_editor;
    }
    QPushButton *button(const char *name) const { return m_editor->findChild<QPushButton *>(name); }
    QGraphicsScene *scene() const { return m_editor->graphicsScene(); }
    QWidget *viewport() const { return m_editor->view()->viewport(); }
    QPoint viewPos(const QPointF &scenePos) const { return m_editor->view()->mapFromScene(scenePos); }
    void press(const QPointF &at) { QTest::mousePress(viewport(), Qt::LeftButton, Qt::NoModifier, viewPos(at)); }
    void dragInView(const QPointF &from, const QPointF &to) { WidgetProbe::drag(viewport(), viewPos(from), viewPos(to)); }
    void clickInView(const QPointF &at) { WidgetProbe::click(viewport(), viewPos(at)); }

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_outDir;
    ScreenshotEditor *m_editor = nullptr;
    ScriptedDialogs *m_record = nullptr;   // owned by the editor
    DialogLog m_log;
};

QTEST_MAIN(TestCaptureEditor)
#include "tst_captureeditor.moc"
