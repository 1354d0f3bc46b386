#include "plot/grafiks.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"
#include "tests/support/widgetprobe.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

using WidgetProbe::flushDeletes;
using WidgetProbe::render;

GraphSpec thumbSpec()
{
    QVector<double> wave(200);
    for (int i = 0; i < 200; ++i)
        wave[i] = std::sin(i * 0.1);
    GraphSpec spec;
    spec.series.append(GraphSeries(QStringLiteral("day"), wave, QColor(0, 0, 255)));
    spec.zoomEnabled = true;
    spec.peakSelectionEnabled = true;
    spec.layoutMode = GraphLayout::Large;
    return spec;
}

} // namespace

// Thumbnails and the grid that holds them.
class TestMiniGrafik : public QObject
{
    Q_OBJECT

private slots:
    // Clicks reach the thumbnail's own signals with its cell and parameters, never
    // the plot's; the cursor read-out still works.
    void clicksGoToTheThumbnail()
    {
        MiniGrafik thumb(240, 150);
        thumb.show();
        QApplication::processEvents();
        const QVariantMap parameters{{QStringLiteral("filePath"), QStringLiteral("/data/day1.pnt")}};
        thumb.setGraphSpec(thumbSpec(), 1, 4, parameters);
        QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
        QSignalSpy right(&thumb, &MiniGrafik::rightClicked);
        QSignalSpy plotClicked(thumb.plot(), &Grafiks::graphClicked);
        QSignalSpy plotRight(thumb.plot(), &Grafiks::graphRightClicked);
        QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(clicked.last(), (QList<QVariant>{1, 4, parameters}));
        QTest::mouseClick(thumb.plot(), Qt::RightButton, Qt::NoModifier, QPoint(100, 60));
        QCOMPARE(right.count(), 1);
        QCOMPARE(right.last().at(2).toMap(), parameters);
        QCOMPARE(clicked.count() + plotClicked.count() + plotRight.count(), 1);

        QSignalSpy texts(thumb.plot(), &Grafiks::cursorInfoChanged);
        WidgetProbe::move(thumb.plot(), QPoint(100, 60));
        QVERIFY(texts.last().at(0).toString().startsWith(QStringLiteral("Y: y=")));

        // The background colour fills the plot, away from the curve and the text.
        thumb.setBackgroundColor(QColor(0xde, 0xfb, 0xdd));
        const QImage image = render(thumb);
        QCOMPARE(image.pixelColor(45, 20), QColor(0xde, 0xfb, 0xdd));
        QCOMPARE(image.pixelColor(20, 140), QColor(0xde, 0xfb, 0xdd));

        // Cleared, it forgets its cell and ignores clicks.
        thumb.clear();
        QVERIFY(!thumb.isActive());
        QVERIFY(thumb.row() == -1 && thumb.col() == -1);
        QVERIFY(thumb.parameters().isEmpty());
        QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
        QCOMPARE(clicked.count(), 1);
    }

    void thumbnailWithoutCurveIsInert()
    {
        MiniGrafik thumb(240, 150);
        GraphSpec spec;
        GraphSeries line;
        line.kind = GraphSeries::HorizontalLine;
        spec.series.append(line);
        spec.series.append(GraphSeries(QStringLiteral("hidden"), QVector<double>(10, 1.0)));
        spec.series.last().visible = false;
        thumb.setGraphSpec(spec, 0, 0);
        QVERIFY(!thumb.isActive());
        QCOMPARE(thumb.cursor().shape(), Qt::ArrowCursor);
        QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
        QSignalSpy right(&thumb, &MiniGrafik::rightClicked);
        QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
        QTest::mouseClick(thumb.plot(), Qt::RightButton, Qt::NoModifier, QPoint(100, 60));
        QCOMPARE(clicked.count() + right.count(), 0);

        // Blank: no empty-plot text.
        MiniGrafik empty(120, 80);
        empty.setGraphSpec(GraphSpec(), 0, 0);
        const QImage image = render(empty);
        QCOMPARE(WidgetProbe::countColour(image, image.pixelColor(60, 40), QRect(2, 2, 116, 76)), 116 * 76);
    }

    void gridPlacesHeadersAndCells()
    {
        MultiGrafiksPanel panel;
        panel.resize(900, 600);
        QPointer<MiniGrafik> a = new MiniGrafik(200, 120);
        auto *b = new MiniGrafik(200, 120);
        a->setGraphSpec(thumbSpec(), 0, 0);
        b->setGraphSpec(thumbSpec(), 1, 1);
        panel.setGrid(200, 120, {QStringLiteral("corner"), QStringLiteral("1"), QStringLiteral("2")},
                      {QString(), QStringLiteral("first row"), QStringLiteral("2")}, {{a, nullptr}, {nullptr, b}});
        QGridLayout *grid = panel.gridLayout();
        QCOMPARE(grid->itemAtPosition(1, 1)->widget(), static_cast<QWidget *>(a));
        QCOMPARE(grid->itemAtPosition(2, 2)->widget(), static_cast<QWidget *>(b));
        QCOMPARE(qobject_cast<QLabel *>(grid->itemAtPosition(1, 0)->widget())->text(), QStringLiteral("first row"));
        // An empty cell keeps its place at the thumbnail size.
        QCOMPARE(qobject_cast<QLabel *>(grid->itemAtPosition(1, 2)->widget())->size(), QSize(200, 120));
        QCOMPARE(panel.cellWidget(1, 1), static_cast<QWidget *>(b));
        QVERIFY(!panel.cellWidget(0, 1) && !panel.cellWidget(5, 0));

        // The row of column headers keeps its 30 px even with tall cells.
        panel.show();
        QApplication::processEvents();
        QCOMPARE(grid->cellRect(0, 1).height(), 30);
        QCOMPARE(grid->cellRect(1, 1).height(), 120);

        // A new grid deletes the old cells; only the corner header is left.
        panel.setGrid(100, 80, {QStringLiteral("only")}, {QString()}, {});
        QCOMPARE(panel.gridLayout()->count(), 1);
        flushDeletes();
        QVERIFY(!a);
        panel.clear();
        flushDeletes();
        QVERIFY(!panel.gridLayout() && !panel.cellWidget(0, 0));
    }

    void ensureVisibleScrolls()
    {
        MultiGrafiksPanel panel;
        panel.resize(400, 300);
        panel.show();
        QVector<QVector<QWidget *>> cells(12);
        for (QVector<QWidget *> &row : cells)
            for (int c = 0; c < 6; ++c)
                row.append(new MiniGrafik(150, 100));
        panel.setGrid(150, 100, {}, {}, cells);
        QApplication::processEvents();
        panel.ensureVisible(11, 5, 5, 5);
        QApplication::processEvents();
        QVERIFY(panel.scrollArea()->verticalScrollBar()->value() > 0);
        QVERIFY(panel.scrollArea()->horizontalScrollBar()->value() > 0);
        panel.ensureVisible(40, 40, 5, 5);
    }
};

QTEST_MAIN(TestMiniGrafik)
#include "tst_minigrafik.moc"
