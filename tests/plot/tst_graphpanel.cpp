#include "plot/chartpanel.h"
#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "tests/support/widgetprobe.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QtTest>

// The graph panel with its legend and info panel, and the area that stacks panels.
class TestGraphPanel : public QObject
{
    Q_OBJECT

private slots:
    void refillFromSpec();
    void legendColourBoxUnderButtonMinimum();
    void legendCheckBoxesToggleSeries();
    void legendColourTyping();
    void legendColourDialog();
    void legendChoicesSurviveSameKey();
    void axisAndHeaderSwitches();
    void coordinatesLine();
    void headerTable();
    void colourTexts_data();
    void colourTexts();
    void thousandsOfLegendRows();
    void chartPanelStretchesPlot();
    void balancedHeights_data();
    void balancedHeights();
    void graphAreaBalancesPanels();
    void graphAreaReplacesPanels();
};

namespace {

using WidgetProbe::flushDeletes;

QVector<double> ramp(int count)
{
    QVector<double> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = i;
    return values;
}

GraphSpec panelSpec()
{
    GraphSpec spec;
    spec.key = QStringLiteral("panel|1");
    spec.series.append(GraphSeries(QStringLiteral("first"), ramp(100), QColor(0, 0, 255)));
    spec.series.append(GraphSeries(QStringLiteral("second"), ramp(100)));
    spec.series.last().details = QStringLiteral("ray 2");
    GraphSeries level;
    level.kind = GraphSeries::HorizontalLine;
    level.name = QStringLiteral("level");
    level.yValue = 10.0;
    spec.series.append(level);
    spec.yAxis.name = QStringLiteral("S");
    spec.bottomAxis.enabled = true;
    AxisRow points;
    points.name = QStringLiteral("N");
    points.title = QStringLiteral("point number");
    AxisRow time;
    time.name = QStringLiteral("T");
    spec.bottomAxis.rows = {points, time};
    spec.zoomEnabled = true;
    spec.headerText = QStringLiteral("<b>header</b>");
    return spec;
}

QList<QWidget *> legendRows(InfoPanel *info)
{
    QList<QWidget *> rows;
    for (QPushButton *box : info->findChildren<QPushButton *>()) {
        if (box->property("legendColorBox").toBool())
            rows.append(box->parentWidget());
    }
    std::sort(rows.begin(), rows.end(), [](QWidget *a, QWidget *b) {
        return a->findChild<QPushButton *>()->property("legendIndex").toInt()
            < b->findChild<QPushButton *>()->property("legendIndex").toInt();
    });
    return rows;
}

QWidget *legendRow(InfoPanel *info, int index)
{
    for (QWidget *row : legendRows(info)) {
        if (row->findChild<QPushButton *>()->property("legendIndex").toInt() == index)
            return row;
    }
    return nullptr;
}

QList<QCheckBox *> axisBoxes(InfoPanel *info)
{
    QList<QCheckBox *> boxes;
    for (QCheckBox *box : info->findChildren<QCheckBox *>()) {
        if (box->property("axisIndex").isValid())
            boxes.append(box);
    }
    std::sort(boxes.begin(), boxes.end(), [](QCheckBox *a, QCheckBox *b) {
        return a->property("axisIndex").toInt() < b->property("axisIndex").toInt();
    });
    return boxes;
}

QCheckBox *checkBoxNamed(InfoPanel *info, const QString &text)
{
    for (QCheckBox *box : info->findChildren<QCheckBox *>()) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

QLabel *coordinatesLabel(InfoPanel *info)
{
    for (QLabel *label : info->findChildren<QLabel *>()) {
        if (label->text() == info->coordinatesText())
            return label;
    }
    return nullptr;
}

} // namespace

void TestGraphPanel::legendColourBoxUnderButtonMinimum()
{
    // The program's style sheet gives push buttons a 36 px minimum height;
    // the colour box must still fit its 30 px legend row.
    qApp->setStyleSheet(QStringLiteral("QPushButton { min-height: 36px; padding: 2px 5px; }"));
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.setGraphSpec(panelSpec());
    panel.show();
    flushDeletes();
    QWidget *row = legendRow(panel.infoPanel(), 0);
    QVERIFY(row);
    auto *box = row->findChild<QPushButton *>();
    QVERIFY(box);
    QCOMPARE(box->size(), QSize(25, 30));
    qApp->setStyleSheet(QString());
}

void TestGraphPanel::refillFromSpec()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.setGraphSpec(panelSpec());
    InfoPanel *info = panel.infoPanel();
    QVERIFY(!info->isHidden());
    const QVector<LegendEntry> legend = info->legend();
    QCOMPARE(legend.size(), 3);
    flushDeletes();
    QCOMPARE(legendRows(info).size(), 3);
    QWidget *row = legendRow(info, 1);
    QVERIFY(row);
    QCOMPARE(row->findChild<QLineEdit *>()->text(), QStringLiteral("00FF00"));

    const QList<QCheckBox *> axes = axisBoxes(info);
    QCOMPARE(axes.size(), 3);

    auto *enableAll = info->findChild<QPushButton *>(QStringLiteral("legendEnableAll"));
    QVERIFY(!enableAll->isHidden() || !enableAll->parentWidget()->isHidden());

    // A spec without series empties the legend and hides "Enable all".
    GraphSpec empty;
    empty.infoPanelVisible = false;
    panel.setGraphSpec(empty);
    flushDeletes();
    QVERIFY(info->isHidden());
    QCOMPARE(legendRows(info).size(), 0);
    QVERIFY(enableAll->parentWidget()->isHidden());
    QCOMPARE(info->headerHtml(), QString());
}

void TestGraphPanel::legendCheckBoxesToggleSeries()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.setGraphSpec(panelSpec());
    InfoPanel *info = panel.infoPanel();
    QSignalSpy visibility(info, &InfoPanel::legendVisibilityChanged);
    QSignalSpy layers(panel.plot(), &Grafiks::plotLayersChanged);
    legendRow(info, 1)->findChild<QCheckBox *>()->click();
    QCOMPARE(visibility.count(), 1);
    QCOMPARE(visibility.last().at(0).toInt(), 1);
    QCOMPARE(visibility.last().at(1).toBool(), false);
    QVERIFY(!panel.plot()->series().at(1).visible);
    QCOMPARE(layers.count(), 1);

    info->findChild<QPushButton *>(QStringLiteral("legendDisableAll"))->click();
    QCOMPARE(visibility.count(), 3);
    for (const GraphSeries &series : panel.plot()->series())
        QVERIFY(!series.visible);
    info->findChild<QPushButton *>(QStringLiteral("legendEnableAll"))->click();
    QCOMPARE(visibility.count(), 6);
    for (const GraphSeries &series : panel.plot()->series())
        QVERIFY(series.visible);
}

void TestGraphPanel::legendColourTyping()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.show();
    panel.setGraphSpec(panelSpec());
    InfoPanel *info = panel.infoPanel();
    QSignalSpy colours(info, &InfoPanel::legendColorChanged);
    QWidget *row = legendRow(info, 0);
    auto *edit = row->findChild<QLineEdit *>();

    // "12" is no colour: nothing changes, leaving the field restores the text.
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("12"));
    QCOMPARE(edit->text(), QStringLiteral("12"));
    QCOMPARE(colours.count(), 0);
    QCOMPARE(panel.plot()->series().at(0).color, QColor(0, 0, 255));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QStringLiteral("0000FF"));

    // "ff0" is a short colour name: the series is recoloured at once.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("ff0"));
    QCOMPARE(colours.count(), 1);
    QCOMPARE(colours.last().at(0).toInt(), 0);
    QCOMPARE(colours.last().at(1).value<QColor>(), QColor(255, 255, 0));
    QCOMPARE(panel.plot()->series().at(0).color, QColor(255, 255, 0));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), QStringLiteral("ff0"));
}

void TestGraphPanel::legendColourDialog()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.setGraphSpec(panelSpec());
    InfoPanel *info = panel.infoPanel();
    QColor offered;
    info->setColorPicker([&](const QColor &current, QWidget *, const QString &) {
        offered = current;
        return QColor(255, 0, 255);
    });
    QSignalSpy colours(info, &InfoPanel::legendColorChanged);
    QWidget *row = legendRow(info, 1);
    QTest::mouseClick(row->findChild<QPushButton *>(), Qt::LeftButton);
    QCOMPARE(offered, QColor(0, 255, 0));
    QCOMPARE(colours.count(), 1);
    QCOMPARE(panel.plot()->series().at(1).color, QColor(255, 0, 255));
    QCOMPARE(row->findChild<QLineEdit *>()->text(), QStringLiteral("FF00FF"));

    // A cancelled dialog changes nothing.
    info->setColorPicker([](const QColor &, QWidget *, const QString &) { return QColor(); });
    QTest::mouseClick(row->findChild<QPushButton *>(), Qt::LeftButton);
    QCOMPARE(colours.count(), 1);
    QCOMPARE(panel.plot()->series().at(1).color, QColor(255, 0, 255));
}

void TestGraphPanel::legendChoicesSurviveSameKey()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.setGraphSpec(panelSpec());
    InfoPanel *info = panel.infoPanel();
    info->setColorPicker([](const QColor &, QWidget *, const QString &) { return QColor(10, 20, 30); });
    QTest::mouseClick(legendRow(info, 0)->findChild<QPushButton *>(), Qt::LeftButton);
    legendRow(info, 1)->findChild<QCheckBox *>()->click();
    panel.setGraphSpec(panelSpec());
    flushDeletes();
    QCOMPARE(info->legend().at(0).color, QColor(10, 20, 30));
    QVERIFY(!info->legend().at(1).checked);
    QCOMPARE(legendRow(info, 0)->findChild<QLineEdit *>()->text(), QStringLiteral("0A141E"));
    QVERIFY(!legendRow(info, 1)->findChild<QCheckBox *>()->isChecked());
}

void TestGraphPanel::axisAndHeaderSwitches()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    GraphSpec spec = panelSpec();
    spec.title = QStringLiteral("Title");
    panel.setGraphSpec(spec);
    InfoPanel *info = panel.infoPanel();
    QSignalSpy axes(info, &InfoPanel::axisVisibilityChanged);
    axisBoxes(info).at(2)->click();
    QCOMPARE(axes.count(), 1);
    QCOMPARE(axes.last().at(0).toInt(), 2);
    QCOMPARE(panel.plot()->axisVisibility(), (QVector<bool>{true, true, false}));
    // The refilled axis list shows the choice again.
    panel.setGraphSpec(spec);
    flushDeletes();
    QVERIFY(!axisBoxes(info).at(2)->isChecked());
    QVERIFY(axisBoxes(info).at(1)->isChecked());

    QCheckBox *header = checkBoxNamed(info, QStringLiteral("Show header"));
    QVERIFY(header && header->isChecked());
    header->click();
    QVERIFY(!panel.plot()->showTextBlock());
    header->click();
    QVERIFY(panel.plot()->showTextBlock());

    Grafiks *plot = panel.plot();
    plot->setVisibleXRange(10, 20);
    auto *reset = info->findChild<QPushButton *>(QStringLiteral("legendResetZoom"));
    reset->click();
    QCOMPARE(plot->visibleXRange(), qMakePair(0.0, 99.0));
}

void TestGraphPanel::coordinatesLine()
{
    GraphPanel panel;
    panel.resize(1000, 500);
    panel.show();
    panel.setGraphSpec(panelSpec());
    QApplication::processEvents();
    Grafiks *plot = panel.plot();
    const QPoint at = plot->plotLayout().plotRect().center();
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QCOMPARE(panel.infoPanel()->coordinatesText(), plot->cursorText(at));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(plot, &leave);
    QCOMPARE(panel.infoPanel()->coordinatesText(), QStringLiteral("Coords: move cursor over the graph..."));
    QVERIFY(coordinatesLabel(panel.infoPanel()));
}

void TestGraphPanel::headerTable()
{
    const QFont font(QStringLiteral("Arial"), 10);
    const QFontMetrics metrics(font);
    const QVector<HeaderRow> rows{HeaderRow(QStringLiteral("File"), QStringLiteral("a<b>.pnt")),
                                  HeaderRow(QStringLiteral("Start & end"), QStringLiteral("03:00"))};
    const int width = metrics.horizontalAdvance(QStringLiteral("Start & end")) + 12;
    const QString cell = QStringLiteral("<tr><td align=\"left\" valign=\"top\" style=\"min-width: %1px; "
                                        "padding-right: 12px; white-space: nowrap;\">%2</td>"
                                        "<td align=\"left\" valign=\"top\">%3</td></tr>");
    const QString expected = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\">")
        + cell.arg(width).arg(QStringLiteral("File"), QStringLiteral("a&lt;b&gt;.pnt"))
        + QStringLiteral("<tr><td colspan=\"2\" style=\"height: 1em;\"></td></tr>")
        + cell.arg(width).arg(QStringLiteral("Start &amp; end"), QStringLiteral("03:00"))
        + QStringLiteral("</table>");
    QCOMPARE(InfoPanel::headerRowsHtml(rows, true, metrics), expected);
    QVERIFY(!InfoPanel::headerRowsHtml(rows, false, metrics).contains(QStringLiteral("height: 1em")));
    QCOMPARE(InfoPanel::headerRowsHtml({}, true, metrics), QString());

    GraphPanel panel;
    GraphSpec spec = panelSpec();
    spec.headerRows = rows;
    panel.setGraphSpec(spec);
    QVERIFY(panel.infoPanel()->headerHtml().startsWith(QStringLiteral("<table")));
    QVERIFY(panel.infoPanel()->headerHtml().contains(QStringLiteral("a&lt;b&gt;.pnt")));
    spec.headerRows.clear();
    spec.headerText.clear();
    panel.setGraphSpec(spec);
    QCOMPARE(panel.infoPanel()->headerHtml(), QString());
}

void TestGraphPanel::colourTexts_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("six digits") << "00ff80" << QColor(0, 255, 128);
    QTest::newRow("with hash and blanks") << "  #FF0000 " << QColor(255, 0, 0);
    QTest::newRow("short name") << "ff0" << QColor(255, 255, 0);
    QTest::newRow("two digits") << "12" << QColor();
    QTest::newRow("not hex") << "zzzzzz" << QColor();
    QTest::newRow("empty") << "" << QColor();
}

void TestGraphPanel::colourTexts()
{
    QFETCH(QString, typed);
    QFETCH(QColor, colour);
    QCOMPARE(InfoPanel::parseColorText(typed), colour);
    if (colour.isValid())
        QCOMPARE(InfoPanel::colorText(colour), colour.name().mid(1).toUpper());
    QCOMPARE(InfoPanel::colorText(QColor()), QStringLiteral("000000"));
}

void TestGraphPanel::thousandsOfLegendRows()
{
    GraphPanel panel;
    panel.resize(1000, 600);
    panel.show();
    GraphSpec spec;
    for (int i = 0; i < 2000; ++i)
        spec.series.append(GraphSeries(QStringLiteral("s%1").arg(i), QVector<double>(20, i)));
    panel.setGraphSpec(spec);
    QApplication::processEvents();
    panel.setGraphSpec(spec);
    flushDeletes();
    QCOMPARE(panel.infoPanel()->legend().size(), 2000);
    QCOMPARE(legendRows(panel.infoPanel()).size(), 2000);
    legendRow(panel.infoPanel(), 1999)->findChild<QCheckBox *>()->click();
    QVERIFY(!panel.plot()->series().at(1999).visible);
}

void TestGraphPanel::chartPanelStretchesPlot()
{
    ChartPanel chart;
    chart.show();
    chart.resize(640, 320);
    QCOMPARE(chart.grafiks()->geometry(), QRect(0, 0, 640, 320));
    chart.resize(300, 100);
    QCOMPARE(chart.grafiks()->geometry(), QRect(0, 0, 300, 100));
}

void TestGraphPanel::balancedHeights_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<QVector<bool>>("visible");
    QTest::addColumn<QList<int>>("heights");
    QTest::newRow("three in 301") << 301 << QVector<bool>{true, true, true} << QList<int>{91, 90, 90};
    QTest::newRow("hidden middle") << 301 << QVector<bool>{true, false, true} << QList<int>{143, 0, 143};
    QTest::newRow("one") << 200 << QVector<bool>{true} << QList<int>{200};
    QTest::newRow("all hidden") << 300 << QVector<bool>{false, false} << QList<int>{0, 0};
    QTest::newRow("too small") << 10 << QVector<bool>{true, true} << QList<int>{0, 0};
    QTest::newRow("remainder to the first") << 100 << QVector<bool>{true, true, true, true}
                                            << QList<int>{14, 14, 14, 13};
}

void TestGraphPanel::balancedHeights()
{
    QFETCH(int, height);
    QFETCH(QVector<bool>, visible);
    QFETCH(QList<int>, heights);
    QCOMPARE(GraphArea::balancedHeights(height, 15, visible), heights);
}

void TestGraphPanel::graphAreaBalancesPanels()
{
    // Graph panels are at least 100 px high: three fit in 400 px.
    GraphArea area;
    area.resize(800, 400);
    area.show();
    auto *primary = new GraphPanel;
    area.setPrimaryPanel(primary);
    area.setPanel(0, new GraphPanel);
    area.setPanel(2, new GraphPanel);
    QCOMPARE(area.panelCount(), 3);
    QVERIFY(area.panel(0));
    QVERIFY(!area.panel(1));
    QVERIFY(area.panel(2));
    QVERIFY(!area.panel(7));
    QApplication::processEvents();
    QCOMPARE(area.splitter()->handleWidth(), 15);
    QCOMPARE(area.splitter()->count(), 3);
    QCOMPARE(area.splitter()->widget(0), static_cast<QWidget *>(primary));
    QCOMPARE(area.splitter()->widget(2), area.panel(2));
    QCOMPARE(area.splitter()->sizes(), (QList<int>{124, 123, 123}));

    area.setPanelVisible(0, false);
    QVERIFY(!area.isPanelVisible(0));
    QApplication::processEvents();
    QCOMPARE(area.splitter()->sizes(), (QList<int>{193, 0, 192}));
    area.setPanelVisible(0, true);
    QApplication::processEvents();
    QCOMPARE(area.splitter()->sizes(), (QList<int>{124, 123, 123}));
}

void TestGraphPanel::graphAreaReplacesPanels()
{
    GraphArea area;
    area.resize(600, 400);
    QPointer<QWidget> old = new GraphPanel;
    area.setPanel(1, old);
    QCOMPARE(area.panelCount(), 2);
    auto *replacement = new GraphPanel;
    area.setPanel(1, replacement);
    QCOMPARE(area.panel(1), static_cast<QWidget *>(replacement));
    QVERIFY(old);
    flushDeletes();
    QVERIFY(!old);
    area.setPanel(1, nullptr);
    flushDeletes();
    QVERIFY(!area.panel(1));
    QCOMPARE(area.splitter()->count(), 0);
    area.setPanel(-1, new GraphPanel);
    QCOMPARE(area.panelCount(), 2);
}

QTEST_MAIN(TestGraphPanel)
#include "tst_graphpanel.moc"
