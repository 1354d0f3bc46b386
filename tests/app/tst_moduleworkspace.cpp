#include "capture/screenregionselector.h"
#include "capture/screenshoteditor.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "tests/support/fakeshell.h"
#include "tests/support/widgetprobe.h"
#include "workspace/moduleworkspace.h"

#include <QGraphicsPixmapItem>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QtTest>

using namespace WidgetProbe;

class TestModuleWorkspace : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_log = DialogLog();
        m_workspace = std::make_unique<ModuleWorkspace>();
        m_workspace->setDialogs(fakeDialogs(&m_log));
    }

    void overlayProgressAndGraphs()
    {
        showWorkspace(QSize(900, 700));
        ModuleWorkspace &w = *m_workspace;
        w.setLoadingOverlay(true, QStringLiteral("Just a moment, we're loading your file..."));
        QVERIFY(w.loadingOverlay()->isVisible());
        // The overlay covers the graphs in white.
        QCOMPARE(w.grab().toImage().pixelColor(w.loadingOverlay()->mapTo(&w, QPoint(20, 20))), QColor(Qt::white));
        w.setLoadingOverlay(false);
        QVERIFY(!w.loadingOverlay()->isVisible());
        // Shown again without a text: the last one stays.
        w.setLoadingOverlay(true);
        QCOMPARE(w.loadingTextLabel()->text(), QStringLiteral("Just a moment, we're loading your file..."));

        // The hourglass must show on a machine whose fonts lack U+231B, where a glyph
        // would come out as an empty box: narrow at its neck, wide at both ends.
        auto *hourglass = w.loadingOverlay()->findChild<QLabel *>(QStringLiteral("loadingHourglass"));
        const QImage image = hourglass->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // From the first dark pixel of a row to its last.
        const auto darkSpan = [&image](int y) {
            int first = -1, last = -1;
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            return first < 0 ? 0 : last - first + 1;
        };
        int top = -1, bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            if (darkSpan(y) > 0) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        const int height = bottom - top + 1;
        QVERIFY2(top >= 0 && height >= 20, qPrintable(QString::number(height)));
        const int upper = darkSpan(top + height / 8);
        const int neck = darkSpan(top + height / 2);
        const int lower = darkSpan(bottom - height / 8);
        QVERIFY2(neck > 0 && neck * 3 < upper && neck * 3 < lower,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(upper).arg(neck).arg(lower)));

        // The progress bar takes a row of its own below the content; shown again,
        // it starts from nothing.
        QProgressBar *bar = w.progressBar();
        w.setProgressVisible(true);
        w.setProgressValue(64);
        w.setProgressVisible(true);
        QCOMPARE(bar->value(), 0);
        QTRY_COMPARE(w.content()->height() + bar->height(), w.height());

        // Graphs by index, beside the overlay.
        w.showGraphAt(-1, simpleSpec());
        QCOMPARE(w.graphCount(), 0);
        w.showGraphAt(3, simpleSpec());
        QCOMPARE(w.graphCount(), 4);
        GraphPanel *panel = w.graphPanelAt(3);
        QVERIFY(!w.graphPanelAt(1) && panel && panel->isVisible());
        // The slot keeps its panel for the next spec.
        w.showGraphAt(3, simpleSpec());
        QCOMPARE(w.graphPanelAt(3), panel);
        w.showGraph(simpleSpec());
        QVERIFY(w.primaryGraphPanel()->isVisible());

        // An alternative page replaces the graphs and is deleted when another takes its place.
        QPointer<QWidget> first = new QLabel(QStringLiteral("thumbnails"));
        w.setAlternativePage(first);
        QCOMPARE(w.graphStack()->currentWidget(), first.data());
        QPointer<QWidget> second = new QLabel(QStringLiteral("more thumbnails"));
        w.setAlternativePage(second);
        flushDeletes();
        QVERIFY(first.isNull());
        w.showGraph(simpleSpec());
        QCOMPARE(w.graphStack()->currentWidget(), static_cast<QWidget *>(w.graphArea()));
        // The same page given again comes back and is not deleted.
        w.setAlternativePage(second);
        flushDeletes();
        QVERIFY(!second.isNull());
        QCOMPARE(w.graphStack()->currentWidget(), second.data());
    }

    void captureOnceAtATimeIntoTheEditor()
    {
        auto *form = new QLabel;
        form->setAutoFillBackground(true);
        QPalette palette = form->palette();
        palette.setColor(QPalette::Window, QColor(200, 30, 40));
        form->setPalette(palette);
        m_workspace->setForm(form, 0);
        showWorkspace();
        ModuleWorkspace &w = *m_workspace;
        w.startScreenCapture();
        QPointer<ScreenRegionSelector> first = w.captureSelector();
        w.startScreenCapture();
        QCOMPARE(w.content()->findChildren<ScreenRegionSelector *>().size(), 1);
        QTest::keyClick(first, Qt::Key_Escape);
        flushDeletes();
        QVERIFY(first.isNull() && !w.captureSelector());

        w.startScreenCapture();
        ScreenRegionSelector *selector = w.captureSelector();
        QImage edited;
        // The editor opens on the next turn of the event loop, once the selector is gone.
        const bool opened = whileModal(
            [&] {
                QTest::mousePress(selector, Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
                move(selector, QPoint(60, 100), Qt::LeftButton);
                QTest::mouseRelease(selector, Qt::LeftButton, Qt::NoModifier, QPoint(60, 100));
                QVERIFY(w.captureSelector() == nullptr);
                QTRY_VERIFY(!edited.isNull());
            },
            [&](QWidget *dialog) {
                if (auto *editor = qobject_cast<ScreenshotEditor *>(dialog))
                    edited = editor->backgroundItem()->pixmap().toImage();
            });
        QVERIFY(opened);
        QCOMPARE(edited.size(), QSize(51, 81));
        QCOMPARE(edited.pixelColor(50, 80), QColor(200, 30, 40));
        QVERIFY(m_log.messages.isEmpty());

        w.captureRectangle(QRect(1000, 1000, 50, 50));
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("Cannot capture the selected area.")));
    }

private:
    static GraphSpec simpleSpec()
    {
        GraphSpec spec;
        spec.series.append(GraphSeries(QStringLiteral("curve"), {1.0, 3.0, 2.0, 5.0}));
        return spec;
    }
    void showWorkspace(QSize size = QSize(800, 500))
    {
        m_workspace->resize(size);
        m_workspace->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_workspace.get()));
    }

    std::unique_ptr<ModuleWorkspace> m_workspace;
    DialogLog m_log;
};

QTEST_MAIN(TestModuleWorkspace)
#include "tst_moduleworkspace.moc"
