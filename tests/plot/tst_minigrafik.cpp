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

// Thumbnails and the grid that holds them.
class TestMiniGrafik : public QObject
{
    Q_OBJECT

private slots:
    void leftClickEmitsClicked();
    void rightClickEmitsOnlyRightClicked();
    void thumbnailWithoutCurveIsInert();
    void clearMakesItInert();
    void cursorReadoutStillWorks();
    void backgroundColour();
    void gridPlacesHeadersAndCells();
    void gridWithOnlyCornerHeader();
    void newGridDeletesOldCells();
    void ensureVisibleScrolls();
};

namespace {

using WidgetProbe::flushDeletes;
using WidgetProbe::render;

QVector<double> wave(int count)
{
    QVector<double> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = std::sin(i * 0.1);
    return values;
}

GraphSpec thumbSpec()
{
    GraphSpec spec;
    spec.series.append(GraphSeries(QStringLiteral("day"), wave(200), QColor(0, 0, 255)));
    spec.zoomEnabled = true;
    spec.peakSelectionEnabled = true;
    spec.layoutMode = GraphLayout::Large;
    return spec;
}

} // namespace

void TestMiniGrafik::leftClickEmitsClicked()
{
    MiniGrafik thumb(240, 150);
    thumb.show();
    const QVariantMap parameters{{QStringLiteral("filePath"), QStringLiteral("/data/day1.pnt")}};
    thumb.setGraphSpec(thumbSpec(), 1, 4, parameters);
    QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
    QSignalSpy right(&thumb, &MiniGrafik::rightClicked);
    QSignalSpy plotClicked(thumb.plot(), &Grafiks::graphClicked);
    QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.last().at(0).toInt(), 1);
    QCOMPARE(clicked.last().at(1).toInt(), 4);
    QCOMPARE(clicked.last().at(2).toMap(), parameters);
    QCOMPARE(right.count(), 0);
    QCOMPARE(plotClicked.count(), 0);
}

void TestMiniGrafik::rightClickEmitsOnlyRightClicked()
{
    MiniGrafik thumb(240, 150);
    thumb.setGraphSpec(thumbSpec(), 0, 1, {{QStringLiteral("date"), QStringLiteral("2024.02.03")}});
    QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
    QSignalSpy right(&thumb, &MiniGrafik::rightClicked);
    QSignalSpy plotRight(thumb.plot(), &Grafiks::graphRightClicked);
    QTest::mouseClick(thumb.plot(), Qt::RightButton, Qt::NoModifier, QPoint(100, 60));
    QCOMPARE(right.count(), 1);
    QCOMPARE(right.last().at(2).toMap().value(QStringLiteral("date")).toString(), QStringLiteral("2024.02.03"));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(plotRight.count(), 0);
}

void TestMiniGrafik::thumbnailWithoutCurveIsInert()
{
    MiniGrafik thumb(240, 150);
    GraphSpec spec;
    GraphSeries line;
    line.kind = GraphSeries::HorizontalLine;
    line.name = QStringLiteral("zero");
    spec.series.append(line);
    spec.series.append(GraphSeries(QStringLiteral("hidden"), wave(10)));
    spec.series.last().visible = false;
    thumb.setGraphSpec(spec, 0, 0);
    QVERIFY(!thumb.isActive());
    QCOMPARE(thumb.cursor().shape(), Qt::ArrowCursor);
    QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
    QSignalSpy right(&thumb, &MiniGrafik::rightClicked);
    QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    QTest::mouseClick(thumb.plot(), Qt::RightButton, Qt::NoModifier, QPoint(100, 60));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(right.count(), 0);

    // Blank: no empty-plot text.
    MiniGrafik empty(120, 80);
    empty.setGraphSpec(GraphSpec(), 0, 0);
    const QImage image = render(empty);
    const QColor background = image.pixelColor(60, 40);
    int differing = 0;
    for (int y = 2; y < 78; ++y) {
        for (int x = 2; x < 118; ++x)
            differing += image.pixelColor(x, y) != background ? 1 : 0;
    }
    QCOMPARE(differing, 0);
}

void TestMiniGrafik::clearMakesItInert()
{
    MiniGrafik thumb(240, 150);
    thumb.setGraphSpec(thumbSpec(), 5, 6, {{QStringLiteral("k"), 1}});
    thumb.clear();
    QVERIFY(!thumb.isActive());
    QCOMPARE(thumb.row(), -1);
    QCOMPARE(thumb.col(), -1);
    QVERIFY(thumb.parameters().isEmpty());
    QCOMPARE(thumb.plot()->commonSampleCount(), 0);
    QSignalSpy clicked(&thumb, &MiniGrafik::clicked);
    QTest::mouseClick(thumb.plot(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 60));
    QCOMPARE(clicked.count(), 0);
}

void TestMiniGrafik::cursorReadoutStillWorks()
{
    MiniGrafik thumb(240, 150);
    thumb.show();
    QApplication::processEvents();
    thumb.setGraphSpec(thumbSpec(), 0, 0);
    QCOMPARE(thumb.plot()->size(), QSize(240, 150));
    QSignalSpy texts(thumb.plot(), &Grafiks::cursorInfoChanged);
    const QPoint at(100, 60);
    QMouseEvent move(QEvent::MouseMove, at, thumb.plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(thumb.plot(), &move);
    QCOMPARE(texts.count(), 1);
    QVERIFY(texts.last().at(0).toString().startsWith(QStringLiteral("Y: y=")));
}

void TestMiniGrafik::backgroundColour()
{
    MiniGrafik thumb(240, 150);
    thumb.setGraphSpec(thumbSpec(), 0, 0);
    thumb.setBackgroundColor(QColor(0xde, 0xfb, 0xdd));
    const QImage image = render(thumb);
    // Inside the plot, away from the curve and the text.
    QCOMPARE(image.pixelColor(45, 20), QColor(0xde, 0xfb, 0xdd));
    QCOMPARE(image.pixelColor(20, 140), QColor(0xde, 0xfb, 0xdd));
    QCOMPARE(thumb.plot()->palette().color(QPalette::Inactive, QPalette::Base), QColor(0xde, 0xfb, 0xdd));
}

void TestMiniGrafik::gridPlacesHeadersAndCells()
{
    MultiGrafiksPanel panel;
    panel.resize(900, 600);
    auto *a = new MiniGrafik(200, 120);
    auto *b = new MiniGrafik(200, 120);
    a->setGraphSpec(thumbSpec(), 0, 0);
    b->setGraphSpec(thumbSpec(), 1, 1);
    panel.setGrid(200, 120, {QStringLiteral("corner"), QStringLiteral("1"), QStringLiteral("2")},
                  {QString(), QStringLiteral("first row"), QStringLiteral("2")}, {{a, nullptr}, {nullptr, b}});
    QGridLayout *grid = panel.gridLayout();
    QVERIFY(grid);
    QCOMPARE(grid->horizontalSpacing(), 5);
    QCOMPARE(grid->rowMinimumHeight(0), 30);
    QCOMPARE(grid->rowMinimumHeight(1), 120);
    QCOMPARE(grid->columnMinimumWidth(2), 200);
    const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 9));
    QCOMPARE(grid->columnMinimumWidth(0),
             qMax(metrics.horizontalAdvance(QStringLiteral("corner")), metrics.horizontalAdvance(QStringLiteral("first row"))) + 10);
    QCOMPARE(grid->itemAtPosition(1, 1)->widget(), static_cast<QWidget *>(a));
    QCOMPARE(grid->itemAtPosition(2, 2)->widget(), static_cast<QWidget *>(b));
    QCOMPARE(a->parentWidget(), panel.gridHost());
    auto *corner = qobject_cast<QLabel *>(grid->itemAtPosition(0, 0)->widget());
    QCOMPARE(corner->text(), QStringLiteral("corner"));
    QCOMPARE(corner->alignment(), Qt::AlignCenter);
    QCOMPARE(corner->palette().color(QPalette::WindowText), QColor(100, 100, 100));
    QCOMPARE(qobject_cast<QLabel *>(grid->itemAtPosition(1, 0)->widget())->text(), QStringLiteral("first row"));
    auto *emptyCell = qobject_cast<QLabel *>(grid->itemAtPosition(1, 2)->widget());
    QVERIFY(emptyCell);
    QCOMPARE(emptyCell->text(), QString());
    QCOMPARE(emptyCell->size(), QSize(200, 120));
    QCOMPARE(panel.cellWidget(1, 1), static_cast<QWidget *>(b));
    QVERIFY(!panel.cellWidget(0, 1));
    QVERIFY(!panel.cellWidget(5, 0));

    // The row of column headers keeps its 30 px even with tall cells.
    panel.show();
    QApplication::processEvents();
    QCOMPARE(grid->cellRect(0, 1).height(), 30);
    QCOMPARE(grid->cellRect(1, 1).height(), 120);
}

void TestMiniGrafik::gridWithOnlyCornerHeader()
{
    MultiGrafiksPanel panel;
    panel.setGrid(100, 80, {QStringLiteral("only")}, {QString()}, {});
    QCOMPARE(panel.gridLayout()->count(), 1);
    QCOMPARE(panel.gridLayout()->rowCount(), 1);
    QCOMPARE(panel.gridLayout()->columnCount(), 1);
}

void TestMiniGrafik::newGridDeletesOldCells()
{
    MultiGrafiksPanel panel;
    QPointer<MiniGrafik> first = new MiniGrafik(100, 80);
    panel.setGrid(100, 80, {QString(), QStringLiteral("1")}, {QString(), QStringLiteral("1")}, {{first}});
    QPointer<MiniGrafik> second = new MiniGrafik(100, 80);
    panel.setGrid(100, 80, {QString(), QStringLiteral("1")}, {QString(), QStringLiteral("1")}, {{second}});
    flushDeletes();
    QVERIFY(!first);
    QVERIFY(second);
    panel.clear();
    flushDeletes();
    QVERIFY(!second);
    QVERIFY(!panel.gridLayout());
    QVERIFY(!panel.cellWidget(0, 0));
}

void TestMiniGrafik::ensureVisibleScrolls()
{
    MultiGrafiksPanel panel;
    panel.resize(400, 300);
    panel.show();
    QVector<QVector<QWidget *>> cells;
    QStringList columns{QString()};
    QStringList rows{QString()};
    for (int r = 0; r < 12; ++r) {
        rows.append(QString::number(r + 1));
        QVector<QWidget *> line;
        for (int c = 0; c < 6; ++c) {
            auto *thumb = new MiniGrafik(150, 100);
            thumb->setGraphSpec(thumbSpec(), r, c);
            line.append(thumb);
        }
        cells.append(line);
    }
    for (int c = 0; c < 6; ++c)
        columns.append(QString::number(c + 1));
    panel.setGrid(150, 100, columns, rows, cells);
    QApplication::processEvents();
    QCOMPARE(panel.scrollArea()->verticalScrollBar()->value(), 0);
    panel.ensureVisible(11, 5, 5, 5);
    QApplication::processEvents();
    QVERIFY(panel.scrollArea()->verticalScrollBar()->value() > 0);
    QVERIFY(panel.scrollArea()->horizontalScrollBar()->value() > 0);
    panel.ensureVisible(40, 40, 5, 5);
}

QTEST_MAIN(TestMiniGrafik)
#include "tst_minigrafik.moc"
