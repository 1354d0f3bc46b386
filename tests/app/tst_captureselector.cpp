#include "capture/screenregionselector.h"
#include "tests/support/widgetprobe.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using WidgetProbe::flushDeletes;
using WidgetProbe::move;

class TestCaptureSelector : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_content = new QWidget;
        m_content->resize(300, 200);
        QPalette palette = m_content->palette();
        palette.setColor(QPalette::Window, Qt::white);
        m_content->setPalette(palette);
        m_content->setAutoFillBackground(true);
        m_content->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_content));
        m_selector = new ScreenRegionSelector(m_content);
    }

    void cleanup()
    {
        delete m_content;
        m_content = nullptr;
        QVERIFY(m_selector.isNull());
    }

    // The outcome of whole drags is the table below; here the selection while
    // dragging, in the coordinates of a window that is not at the screen's corner.
    void dragSelects()
    {
        QSignalSpy selected(m_selector.data(), &ScreenRegionSelector::regionSelected);
        m_content->move(40, 30);
        m_selector->start();
        QCOMPARE(m_selector->geometry(), QRect(0, 0, 300, 200));
        QCOMPARE(QWidget::keyboardGrabber(), m_selector.data());

        QTest::mousePress(m_selector, Qt::LeftButton, Qt::NoModifier, QPoint(20, 30));
        QCOMPARE(m_selector->selectionRect(), QRect(20, 30, 1, 1));
        // Qt's own normalisation leaves a one-pixel-back rectangle inverted; the selection is not.
        move(m_selector, QPoint(19, 29), Qt::LeftButton);
        QCOMPARE(m_selector->selectionRect(), QRect(19, 29, 2, 2));
        move(m_selector, QPoint(119, 79), Qt::LeftButton);
        QCOMPARE(m_selector->selectionRect(), QRect(20, 30, 100, 50));
        QTest::mouseRelease(m_selector, Qt::LeftButton, Qt::NoModifier, QPoint(119, 79));
        QCOMPARE(selected.value(0).value(0).toRect(), QRect(20, 30, 100, 50));
        QVERIFY(QWidget::keyboardGrabber() == nullptr);
        flushDeletes();
    }

    void dragOutcome_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<QRect>("region");   // null: the selection is cancelled
        QTest::newRow("3 x 50") << QPoint(20, 20) << QPoint(22, 69) << QRect();
        QTest::newRow("4 x 4 backwards") << QPoint(23, 23) << QPoint(20, 20) << QRect(20, 20, 4, 4);
        // Clamped at the corner to the smallest usable size.
        QTest::newRow("edge 4 x 4") << QPoint(296, 196) << QPoint(400, 400) << QRect(296, 196, 4, 4);
        QTest::newRow("upwards past the corner") << QPoint(100, 120) << QPoint(-50, -40) << QRect(0, 0, 101, 121);
        // Escape in the middle of a drag cancels it.
        QTest::newRow("escape") << QPoint(20, 30) << QPoint() << QRect();
    }

    void dragOutcome()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(QRect, region);
        const bool selected = !region.isNull();
        QSignalSpy selectedSpy(m_selector.data(), &ScreenRegionSelector::regionSelected);
        QSignalSpy canceledSpy(m_selector.data(), &ScreenRegionSelector::selectionCanceled);
        m_selector->start();
        if (to.isNull()) {
            QTest::mousePress(m_selector, Qt::LeftButton, Qt::NoModifier, from);
            move(m_selector, from + QPoint(100, 60), Qt::LeftButton);
            QTest::keyClick(m_selector.data(), Qt::Key_Escape);
            QVERIFY(QWidget::keyboardGrabber() == nullptr);
        } else {
            WidgetProbe::drag(m_selector, from, to);
        }
        QCOMPARE(selectedSpy.count(), selected ? 1 : 0);
        QCOMPARE(canceledSpy.count(), selected ? 0 : 1);
        if (selected)
            QCOMPARE(selectedSpy.at(0).at(0).toRect(), region);
        QVERIFY(!m_selector->isVisible());
        flushDeletes();
        QVERIFY(m_selector.isNull());
    }

    void otherInputIgnoredThenOutlinePainted()
    {
        QSignalSpy selected(m_selector.data(), &ScreenRegionSelector::regionSelected);
        QSignalSpy canceled(m_selector.data(), &ScreenRegionSelector::selectionCanceled);
        m_selector->start();
        QTest::keyClick(m_selector.data(), Qt::Key_A);
        QTest::keyClick(m_selector.data(), Qt::Key_Return);
        QTest::mousePress(m_selector, Qt::RightButton, Qt::NoModifier, QPoint(20, 30));
        QVERIFY(!m_selector->isDragging() && m_selector->selectionRect().isNull());
        move(m_selector, QPoint(120, 90), Qt::RightButton);
        QTest::mouseRelease(m_selector, Qt::RightButton, Qt::NoModifier, QPoint(120, 90));
        // A release without a press does not end the selection either.
        QTest::mouseRelease(m_selector, Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));
        QCOMPARE(selected.count() + canceled.count(), 0);
        QVERIFY(m_selector->isVisible());
        // Nothing is drawn before a drag with the left button starts.
        QCOMPARE(QColor(m_content->grab().toImage().pixel(20, 60)), QColor(Qt::white));

        QTest::mousePress(m_selector, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
        move(m_selector, QPoint(129, 139), Qt::LeftButton);
        const QImage image = m_content->grab().toImage();
        // The two-pixel outline lies just inside the rectangle's edges.
        const QColor outline(0, 100, 220);
        for (const QPoint &edge : {QPoint(30, 90), QPoint(31, 90), QPoint(129, 90), QPoint(80, 40), QPoint(80, 139)})
            QCOMPARE(QColor(image.pixel(edge)), outline);
        // Inside and outside stay as they were: no fill, no shade.
        for (const QPoint &off : {QPoint(80, 90), QPoint(29, 90), QPoint(200, 180)})
            QCOMPARE(QColor(image.pixel(off)), QColor(Qt::white));

        QTest::keyClick(m_selector.data(), Qt::Key_Escape);
        QCOMPARE(canceled.count(), 1);
        flushDeletes();
    }

private:
    QWidget *m_content = nullptr;
    QPointer<ScreenRegionSelector> m_selector;
};

QTEST_MAIN(TestCaptureSelector)
#include "tst_captureselector.moc"
