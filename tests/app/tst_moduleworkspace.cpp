#include "app/moduleworkspace.h"
#include "capture/screenregionselector.h"
#include "fakeshelldialogs.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QLayout>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QtTest>

class TestModuleWorkspace : public QObject
{
    Q_OBJECT

private:
    static GraphSpec simpleSpec(const QString &key)
    {
        GraphSpec spec;
        spec.key = key;
        spec.series.append(GraphSeries(QStringLiteral("curve"), {1.0, 3.0, 2.0, 5.0}));
        return spec;
    }

    static void flushDeferredDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    FakeShellDialogs m_dialogs;

private slots:
    void initTestCase() { ShellDialogs::setInstance(&m_dialogs); }
    void cleanupTestCase() { ShellDialogs::setInstance(nullptr); }
    void init() { m_dialogs = FakeShellDialogs(); }

    void startsWithGraphsShowing();
    void overlayText();
    void overlayHourglassIsDrawn();
    void progressModes();
    void formPanel();
    void graphsByIndex();
    void alternativePage();
    void captureOnlyOnceAtATime();
    void captureOpensEditorWithTheRegion();
    void captureOfNothingIsAnError();
};

void TestModuleWorkspace::startsWithGraphsShowing()
{
    ModuleWorkspace workspace;
    workspace.resize(1000, 600);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    QVERIFY(!workspace.loadingOverlay()->isVisible());
    QVERIFY(!workspace.progressBar()->isVisible());
    QCOMPARE(workspace.graphStack()->currentWidget(), static_cast<QWidget *>(workspace.graphArea()));
    QCOMPARE(workspace.graphArea()->primaryPanel(),
             static_cast<QWidget *>(workspace.primaryGraphPanel()));
    QCOMPARE(workspace.formPanel()->width(), 280);
    QCOMPARE(workspace.formPanel()->parentWidget(), workspace.content());
    QCOMPARE(workspace.plot(), workspace.primaryGraphPanel()->plot());
    QCOMPARE(workspace.progressBar()->format(), QStringLiteral("%p%"));
    QCOMPARE(workspace.graphCount(), 0);
    // The content fills the whole workspace while the bar is hidden.
    QCOMPARE(workspace.content()->geometry(), workspace.rect());
}

void TestModuleWorkspace::overlayText()
{
    ModuleWorkspace workspace;
    workspace.resize(800, 500);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    QCOMPARE(workspace.loadingTextLabel()->text(),
             QStringLiteral("Preparing a large file. Please wait..."));
    workspace.setLoadingOverlay(true, QString());
    QVERIFY(workspace.loadingOverlay()->isVisible());
    QCOMPARE(workspace.loadingTextLabel()->text(),
             QStringLiteral("Preparing a large file. Please wait..."));
    workspace.setLoadingOverlay(true, QStringLiteral("Just a moment, we're loading your file..."));
    QCOMPARE(workspace.loadingTextLabel()->text(),
             QStringLiteral("Just a moment, we're loading your file..."));
    // The overlay covers the graph host in white.
    const QImage image = workspace.grab().toImage();
    const QPoint centre = workspace.loadingOverlay()->mapTo(&workspace, QPoint(20, 20));
    QCOMPARE(image.pixelColor(centre), QColor(Qt::white));
    workspace.setLoadingOverlay(false);
    QVERIFY(!workspace.loadingOverlay()->isVisible());
    workspace.setLoadingOverlay(true);
    QCOMPARE(workspace.loadingTextLabel()->text(),
             QStringLiteral("Just a moment, we're loading your file..."));
}

// The hourglass must show on a machine whose fonts lack U+231B, where a glyph
// would come out as an empty box: narrow at its neck, wide at both ends.
void TestModuleWorkspace::overlayHourglassIsDrawn()
{
    ModuleWorkspace workspace;
    workspace.resize(800, 500);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    workspace.setLoadingOverlay(true);
    auto *hourglass = workspace.loadingOverlay()->findChild<QLabel *>(QStringLiteral("loadingHourglass"));
    QVERIFY(hourglass);
    const QImage image = hourglass->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto darkSpan = [&image](int y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        return first < 0 ? 0 : last - first + 1;
    };
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (darkSpan(y) > 0) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    QVERIFY(top >= 0);
    const int height = bottom - top + 1;
    QVERIFY2(height >= 20, qPrintable(QString::number(height)));
    const int upper = darkSpan(top + height / 8);
    const int neck = darkSpan(top + height / 2);
    const int lower = darkSpan(bottom - height / 8);
    QVERIFY2(neck > 0 && neck * 3 < upper && neck * 3 < lower,
             qPrintable(QStringLiteral("%1 %2 %3").arg(upper).arg(neck).arg(lower)));
}

void TestModuleWorkspace::progressModes()
{
    ModuleWorkspace workspace;
    workspace.resize(800, 500);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    QProgressBar *bar = workspace.progressBar();
    workspace.setProgressVisible(true);
    workspace.setProgressValue(64);
    QCOMPARE(bar->value(), 64);
    workspace.setProgressVisible(true);
    QCOMPARE(bar->value(), 0);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->minimumHeight(), bar->maximumHeight());
    QTRY_COMPARE(workspace.content()->height() + bar->height(), workspace.height());

    workspace.setProgressBusy(true);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(bar->format().isEmpty());
    workspace.setProgressBusy(false);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->format(), QStringLiteral("%p%"));
    workspace.setProgressVisible(false);
    QVERIFY(!bar->isVisible());
}

void TestModuleWorkspace::formPanel()
{
    ModuleWorkspace workspace;
    auto *first = new QPushButton(QStringLiteral("first"));
    workspace.setForm(first, 6);
    QCOMPARE(first->parentWidget(), workspace.formPanel());
    QCOMPARE(workspace.formPanel()->layout()->contentsMargins(), QMargins(6, 6, 6, 6));
    QCOMPARE(workspace.formPanel()->layout()->count(), 1);

    auto *second = new QLabel(QStringLiteral("second"));
    workspace.setForm(second, 0);
    QCOMPARE(workspace.formPanel()->layout()->count(), 1);
    QCOMPARE(workspace.formPanel()->layout()->itemAt(0)->widget(), static_cast<QWidget *>(second));
    QCOMPARE(workspace.formPanel()->layout()->contentsMargins(), QMargins(0, 0, 0, 0));

    workspace.setFormWidth(333);
    QCOMPARE(workspace.formPanel()->minimumWidth(), 333);
    QCOMPARE(workspace.formPanel()->maximumWidth(), 333);
    workspace.setFormVisible(false);
    QVERIFY(workspace.formPanel()->isHidden());
}

void TestModuleWorkspace::graphsByIndex()
{
    ModuleWorkspace workspace;
    workspace.resize(900, 700);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));

    workspace.showGraphAt(-1, simpleSpec(QStringLiteral("none")));
    QCOMPARE(workspace.graphCount(), 0);

    workspace.showGraphAt(3, simpleSpec(QStringLiteral("third")));
    QCOMPARE(workspace.graphCount(), 4);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(workspace.graphPanelAt(i), nullptr);
        QCOMPARE(workspace.graphArea()->panel(i), nullptr);
    }
    GraphPanel *panel = workspace.graphPanelAt(3);
    QVERIFY(panel);
    QCOMPARE(workspace.graphArea()->panel(3), static_cast<QWidget *>(panel));
    QVERIFY(panel->isVisible());

    // The same slot is reused for the next spec.
    workspace.showGraphAt(3, simpleSpec(QStringLiteral("third again")));
    QCOMPARE(workspace.graphPanelAt(3), panel);
    QCOMPARE(workspace.graphCount(), 4);

    workspace.setGraphVisibleAt(3, false);
    QVERIFY(!workspace.graphArea()->isPanelVisible(3));
    workspace.setGraphVisibleAt(3, true);
    QVERIFY(workspace.graphArea()->isPanelVisible(3));

    workspace.showGraph(simpleSpec(QStringLiteral("main")));
    QVERIFY(workspace.primaryGraphPanel()->isVisible());
    workspace.setLegendVisible(false);
    QVERIFY(!workspace.legendPanel()->isVisible());
    workspace.setLegendVisible(true);
    QVERIFY(workspace.legendPanel()->isVisible());
}

void TestModuleWorkspace::alternativePage()
{
    ModuleWorkspace workspace;
    workspace.setAlternativePage(nullptr);
    QCOMPARE(workspace.alternativePage(), nullptr);

    QPointer<QWidget> first = new QLabel(QStringLiteral("thumbnails"));
    workspace.setAlternativePage(first);
    QCOMPARE(workspace.graphStack()->currentWidget(), first.data());
    QPointer<QWidget> second = new QLabel(QStringLiteral("more thumbnails"));
    workspace.setAlternativePage(second);
    QCOMPARE(workspace.alternativePage(), second.data());
    QCOMPARE(workspace.graphStack()->count(), 2);
    flushDeferredDeletes();
    QVERIFY(first.isNull());

    workspace.showGraph(simpleSpec(QStringLiteral("back")));
    QCOMPARE(workspace.graphStack()->currentWidget(), static_cast<QWidget *>(workspace.graphArea()));
    // Giving the same page again shows it and must not delete it.
    workspace.setAlternativePage(second);
    QCOMPARE(workspace.graphStack()->currentWidget(), second.data());
    flushDeferredDeletes();
    QVERIFY(!second.isNull());
    QCOMPARE(workspace.graphStack()->count(), 2);
    workspace.showGraphArea();
    QCOMPARE(workspace.graphStack()->currentWidget(), static_cast<QWidget *>(workspace.graphArea()));
}

void TestModuleWorkspace::captureOnlyOnceAtATime()
{
    ModuleWorkspace workspace;
    workspace.resize(800, 500);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    workspace.startScreenCapture();
    QPointer<ScreenRegionSelector> selector = workspace.captureSelector();
    QVERIFY(selector);
    QCOMPARE(selector->parentWidget(), workspace.content());
    workspace.startScreenCapture();
    QCOMPARE(workspace.captureSelector(), selector.data());
    QCOMPARE(workspace.content()->findChildren<ScreenRegionSelector *>().size(), 1);

    QTest::keyClick(selector, Qt::Key_Escape);
    QCOMPARE(workspace.captureSelector(), nullptr);
    flushDeferredDeletes();
    QVERIFY(selector.isNull());
    QVERIFY(m_dialogs.captures.isEmpty());
    QVERIFY(m_dialogs.messages.isEmpty());

    workspace.startScreenCapture();
    QVERIFY(workspace.captureSelector());
}

void TestModuleWorkspace::captureOpensEditorWithTheRegion()
{
    ModuleWorkspace workspace;
    workspace.resize(800, 500);
    auto *form = new QLabel;
    form->setAutoFillBackground(true);
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, QColor(200, 30, 40));
    form->setPalette(palette);
    workspace.setForm(form, 0);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));

    workspace.startScreenCapture();
    ScreenRegionSelector *selector = workspace.captureSelector();
    QVERIFY(selector);
    QTest::mousePress(selector, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(60, 100), selector->mapToGlobal(QPoint(60, 100)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(selector, &move);
    QTest::mouseRelease(selector, Qt::LeftButton, Qt::NoModifier, QPoint(60, 100));
    QCOMPARE(workspace.captureSelector(), nullptr);
    // Rendered on the next turn of the event loop, after the selector has gone.
    QVERIFY(m_dialogs.captures.isEmpty());
    QTRY_COMPARE(m_dialogs.captures.size(), 1);
    const QImage image = m_dialogs.captures.first();
    QCOMPARE(image.size(), QSize(51, 81));
    QCOMPARE(image.pixelColor(5, 5), QColor(200, 30, 40));
    QCOMPARE(image.pixelColor(50, 80), QColor(200, 30, 40));
    QVERIFY(m_dialogs.messages.isEmpty());
}

void TestModuleWorkspace::captureOfNothingIsAnError()
{
    ModuleWorkspace workspace;
    workspace.resize(400, 300);
    workspace.show();
    QVERIFY(QTest::qWaitForWindowExposed(&workspace));
    workspace.captureRectangle(QRect(1000, 1000, 50, 50));
    QVERIFY(m_dialogs.captures.isEmpty());
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(m_dialogs.messages[0].text, QStringLiteral("Cannot capture the selected area."));

    workspace.captureRectangle(QRect(10, 10, 30, 20));
    QCOMPARE(m_dialogs.captures.size(), 1);
    QCOMPARE(m_dialogs.captures[0].size(), QSize(30, 20));
}

QTEST_MAIN(TestModuleWorkspace)
#include "tst_moduleworkspace.moc"
