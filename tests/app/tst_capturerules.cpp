#include "capture/arrowitem.h"
#include "capture/capturerules.h"
#include "capture/numberedcircleitem.h"

#include <QApplication>
#include <QWidget>
#include <QtTest>

using namespace CaptureRules;

namespace {

QWidget *colouredWidget(QWidget *parent, const QColor &colour, const QRect &geometry)
{
    auto *widget = new QWidget(parent);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

class TestCaptureRules : public QObject
{
    Q_OBJECT

private slots:
    void zoomNeverStepsBackwards()
    {
        // A tiny capture fitted into a large window can start above the limit.
        // The upper limit itself is reached through the editor's wheel.
        QCOMPARE(nextZoomScale(50.0, true), 50.0);
        QCOMPARE(nextZoomScale(0.01, false), 0.01);
    }

    void arrowLength_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<bool>("accepted");
        // Its length, not a side: 5 exactly is enough, 4.95 is not (the editor refuses 4 across).
        QTest::newRow("3-4-5 diagonal") << QLineF(0, 0, 3, 4) << true;
        QTest::newRow("diagonal 4.95") << QLineF(0, 0, 3.5, 3.5) << false;
    }

    void arrowLength()
    {
        QFETCH(QLineF, line);
        QTEST(isArrowLongEnough(line), "accepted");
    }

    void defaultPath()
    {
        QCOMPARE(defaultImageName(QDateTime(QDate(2026, 3, 7), QTime(4, 5, 9))),
                 QStringLiteral("screen_2026.03.07_040509.png"));
    }

    void itemShapes()
    {
        // Any direction: both corners 14 units from the tip, 30 degrees off the line.
        const QLineF slanted(10, 90, 70, 20);
        const QPolygonF head = ArrowItem::headPolygon(slanted);
        QCOMPARE(head.size(), 3);
        QCOMPARE(head.at(0), slanted.p2());
        for (int i = 1; i <= 2; ++i) {
            const QLineF edge(head.at(0), head.at(i));
            QVERIFY(qAbs(edge.length() - 14.0) < 1e-9);
            const QLineF backwards(slanted.p2(), slanted.p1());
            QVERIFY(qAbs(edge.angleTo(backwards) - 30.0) < 1e-6 || qAbs(edge.angleTo(backwards) - 330.0) < 1e-6);
        }

        const ArrowItem arrow(QLineF(100, 50, 20, 10), Qt::red);
        // The head reaches past the line's ends; the box holds it.
        QCOMPARE(arrow.boundingRect(), QRectF(8, -2, 104, 64));
        // Hit testing follows the line, not the bounding box.
        QVERIFY(arrow.shape().contains(QPointF(60, 30)));
        QVERIFY(arrow.shape().contains(QPointF(60, 34)));
        QVERIFY(!arrow.shape().contains(QPointF(90, 10)));

        const NumberedCircleItem circle(7, Qt::green);
        QVERIFY(circle.shape().contains(QPointF(0, 0)) && circle.shape().contains(QPointF(17, 0)));
        QVERIFY(!circle.shape().contains(QPointF(16, 16)));
    }

    void renderRegion()
    {
        QWidget *content = colouredWidget(nullptr, QColor(0, 200, 0), QRect(0, 0, 300, 200));
        QScopedPointer<QWidget> owner(content);
        colouredWidget(content, QColor(220, 0, 0), QRect(50, 50, 40, 40));
        content->show();
        QVERIFY(QTest::qWaitForWindowExposed(content));

        // A region inside and one outside are captured through the workspace; here a
        // rectangle dragged up and to the left, reaching past the edge.
        const QImage image = renderWidgetRegion(content, QRect(QPoint(320, 220), QPoint(80, 80)).normalized());
        QCOMPARE(image.size(), QSize(220, 120));
        QCOMPARE(QColor(image.pixel(0, 0)), QColor(220, 0, 0));
        QCOMPARE(QColor(image.pixel(219, 119)), QColor(0, 200, 0));

        QVERIFY(renderWidgetRegion(nullptr, QRect(0, 0, 10, 10)).isNull());
    }
};

QTEST_MAIN(TestCaptureRules)
#include "tst_capturerules.moc"
