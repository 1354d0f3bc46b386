#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "tests/support/widgetprobe.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QtTest>

namespace {

using WidgetProbe::flushDeletes;

GraphSpec panelSpec()
{
    QVector<double> ramp(100);
    for (int i = 0; i < 100; ++i)
        ramp[i] = i;
    GraphSpec spec;
    spec.key = QStringLiteral("panel|1");
    spec.series.append(GraphSeries(QStringLiteral("first"), ramp, QColor(0, 0, 255)));
    spec.series.append(GraphSeries(QStringLiteral("second"), ramp));
    GraphSeries level;
    level.kind = GraphSeries::HorizontalLine;
    level.yValue = 10.0;
    spec.series.append(level);
    spec.yAxis.name = QStringLiteral("S");
    spec.bottomAxis.enabled = true;
    AxisRow points, time;
    points.name = QStringLiteral("N");
    points.title = QStringLiteral("point number");
    time.name = QStringLiteral("T");
    spec.bottomAxis.rows = {points, time};
    spec.zoomEnabled = true;
    spec.headerText = QStringLiteral("<b>header</b>");
    return spec;
}

// The control of this type whose property `tag` is `index`: a legend row's
// check box, colour box or colour text by "legendIndex", an axis switch by "axisIndex".
template <typename T>
T *tagged(InfoPanel *info, const char *tag, int index)
{
    for (T *control : info->findChildren<T *>())
        if (control->property(tag).isValid() && control->property(tag).toInt() == index)
            return control;
    return nullptr;
}

int legendRowCount(InfoPanel *info)
{
    int count = 0;
    for (QPushButton *box : info->findChildren<QPushButton *>())
        count += box->property("legendColorBox").toBool() ? 1 : 0;
    return count;
}

} // namespace

// The graph panel with its legend and info panel, and the area that stacks panels.
class TestGraphPanel : public QObject
{
    Q_OBJECT

private slots:
    void legendAndSwitches()
    {
        // The program's style sheet gives push buttons a 36 px minimum height;
        // the colour box must still fit its 30 px legend row.
        qApp->setStyleSheet(QStringLiteral("QPushButton { min-height: 36px; padding: 2px 5px; }"));
        GraphPanel panel;
        panel.resize(1000, 500);
        panel.setGraphSpec(panelSpec());
        panel.show();
        InfoPanel *info = panel.infoPanel();
        flushDeletes();
        QCOMPARE(tagged<QPushButton>(info, "legendIndex", 0)->size(), QSize(25, 30));
        qApp->setStyleSheet(QString());
        QCOMPARE(legendRowCount(info), 3);
        QVERIFY(tagged<QCheckBox>(info, "axisIndex", 2));

        QSignalSpy visibility(info, &InfoPanel::legendVisibilityChanged);
        QSignalSpy layers(panel.plot(), &Grafiks::plotLayersChanged);
        tagged<QCheckBox>(info, "legendIndex", 1)->click();
        QCOMPARE(visibility.last(), (QList<QVariant>{1, false}));
        QVERIFY(!panel.plot()->series().at(1).visible);
        QCOMPARE(layers.count(), 1);
        info->findChild<QPushButton *>(QStringLiteral("legendDisableAll"))->click();
        QCOMPARE(visibility.count(), 3);
        info->findChild<QPushButton *>(QStringLiteral("legendEnableAll"))->click();
        QCOMPARE(visibility.count(), 6);
        for (const GraphSeries &series : panel.plot()->series())
            QVERIFY(series.visible);

        // The colour box offers the current colour; a cancelled dialog changes nothing.
        QColor offered;
        QColor answer(255, 0, 255);
        info->setColorPicker([&](const QColor &current, QWidget *, const QString &) {
            offered = current;
            return answer;
        });
        QSignalSpy colours(info, &InfoPanel::legendColorChanged);
        auto *box = tagged<QPushButton>(info, "legendIndex", 1);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(offered, QColor(0, 255, 0));
        QCOMPARE(panel.plot()->series().at(1).color, answer);
        QCOMPARE(tagged<QLineEdit>(info, "legendIndex", 1)->text(), QStringLiteral("FF00FF"));
        answer = QColor();
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(colours.count(), 1);
        QCOMPARE(panel.plot()->series().at(1).color, QColor(255, 0, 255));

        // Typed colours: "12" is none, and leaving the field restores the text;
        // "ff0" recolours the series at once.
        auto *edit = tagged<QLineEdit>(info, "legendIndex", 0);
        WidgetProbe::typeInto(edit, QStringLiteral("12"));
        QCOMPARE(colours.count(), 1);
        QCOMPARE(edit->text(), QStringLiteral("0000FF"));
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("ff0"));
        QCOMPARE(colours.last(), (QList<QVariant>{0, QColor(255, 255, 0)}));
        QCOMPARE(panel.plot()->series().at(0).color, QColor(255, 255, 0));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("ff0"));

        // Colours, legend and axis switches survive a refill under the same key;
        // the header and reset-zoom switches act on the plot.
        tagged<QCheckBox>(info, "legendIndex", 1)->click();
        tagged<QCheckBox>(info, "axisIndex", 2)->click();
        QCOMPARE(panel.plot()->axisVisibility(), (QVector<bool>{true, true, false}));
        panel.setGraphSpec(panelSpec());
        flushDeletes();
        QCOMPARE(tagged<QLineEdit>(info, "legendIndex", 1)->text(), QStringLiteral("FF00FF"));
        QVERIFY(!tagged<QCheckBox>(info, "legendIndex", 1)->isChecked());
        QVERIFY(!tagged<QCheckBox>(info, "axisIndex", 2)->isChecked());
        QCheckBox *header = nullptr;
        for (QCheckBox *box : info->findChildren<QCheckBox *>())
            header = box->text() == QLatin1String("Show header") ? box : header;
        QVERIFY(header && header->isChecked());
        header->click();
        QVERIFY(!panel.plot()->showTextBlock());
        Grafiks *plot = panel.plot();
        plot->setVisibleXRange(10, 20);
        info->findChild<QPushButton *>(QStringLiteral("legendResetZoom"))->click();
        QCOMPARE(plot->visibleXRange(), qMakePair(0.0, 99.0));

        // The coordinates line follows the cursor.
        QApplication::processEvents();
        const QPoint at = plot->plotLayout().plotRect().center();
        WidgetProbe::move(plot, at);
        QCOMPARE(info->coordinatesText(), plot->cursorText(at));
        WidgetProbe::leave(plot);
        QCOMPARE(info->coordinatesText(), QStringLiteral("Coords: move cursor over the graph..."));

        // A spec without series empties the legend and hides "Enable all".
        auto *enableAll = info->findChild<QPushButton *>(QStringLiteral("legendEnableAll"));
        GraphSpec empty;
        empty.infoPanelVisible = false;
        panel.setGraphSpec(empty);
        flushDeletes();
        QVERIFY(info->isHidden());
        QCOMPARE(legendRowCount(info), 0);
        QVERIFY(enableAll->parentWidget()->isHidden());
        QCOMPARE(info->headerHtml(), QString());
    }

    void headerTable()
    {
        const QFontMetrics metrics(QFont(QStringLiteral("Arial"), 10));
        const QVector<HeaderRow> rows{HeaderRow(QStringLiteral("File"), QStringLiteral("a<b>.pnt")),
                                      HeaderRow(QStringLiteral("Start & end"), QStringLiteral("03:00"))};
        // File names and labels are escaped; a spacer row before the last one on request.
        const QString html = InfoPanel::headerRowsHtml(rows, true, metrics);
        QVERIFY(html.contains(QStringLiteral("a&lt;b&gt;.pnt")) && html.contains(QStringLiteral("Start &amp; end")));
        QVERIFY(html.contains(QStringLiteral("height: 1em")));
        QVERIFY(!InfoPanel::headerRowsHtml(rows, false, metrics).contains(QStringLiteral("height: 1em")));
        QCOMPARE(InfoPanel::headerRowsHtml({}, true, metrics), QString());

        GraphPanel panel;
        GraphSpec spec = panelSpec();
        spec.headerRows = rows;
        panel.setGraphSpec(spec);
        QVERIFY(panel.infoPanel()->headerHtml().contains(QStringLiteral("a&lt;b&gt;.pnt")));
    }

    void colourTexts_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("six digits") << "00ff80" << QColor(0, 255, 128);
        QTest::newRow("with hash and blanks") << "  #FF0000 " << QColor(255, 0, 0);
        QTest::newRow("two digits") << "12" << QColor();
    }

    void colourTexts()
    {
        QFETCH(QString, typed);
        QFETCH(QColor, colour);
        QCOMPARE(InfoPanel::parseColorText(typed), colour);
        // The text shown for a colour reads back as that colour; no colour shows black.
        QCOMPARE(InfoPanel::parseColorText(InfoPanel::colorText(colour)),
                 colour.isValid() ? colour : QColor(Qt::black));
    }

    void thousandsOfLegendRows()
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
        QCOMPARE(legendRowCount(panel.infoPanel()), 2000);
        tagged<QCheckBox>(panel.infoPanel(), "legendIndex", 1999)->click();
        QVERIFY(!panel.plot()->series().at(1999).visible);
    }

    void balancedHeights_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<QVector<bool>>("visible");
        QTest::addColumn<QList<int>>("heights");
        QTest::newRow("all hidden") << 300 << QVector<bool>{false, false} << QList<int>{0, 0};
        QTest::newRow("too small") << 10 << QVector<bool>{true, true} << QList<int>{0, 0};
        QTest::newRow("remainder") << 100 << QVector<bool>{true, true, true, true} << QList<int>{14, 14, 14, 13};
    }

    void balancedHeights()
    {
        QFETCH(int, height);
        QFETCH(QVector<bool>, visible);
        QTEST(GraphArea::balancedHeights(height, 15, visible), "heights");
    }

    void graphArea()
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
        QVERIFY(area.panel(0) && !area.panel(1) && area.panel(2) && !area.panel(7));
        QApplication::processEvents();
        QCOMPARE(area.splitter()->widget(0), static_cast<QWidget *>(primary));
        QCOMPARE(area.splitter()->widget(2), area.panel(2));
        QCOMPARE(area.splitter()->sizes(), (QList<int>{124, 123, 123}));
        area.setPanelVisible(0, false);
        QApplication::processEvents();
        QCOMPARE(area.splitter()->sizes(), (QList<int>{193, 0, 192}));

        // A replaced panel is deleted later; an empty slot leaves the splitter.
        QPointer<QWidget> old = area.panel(2);
        auto *replacement = new GraphPanel;
        area.setPanel(2, replacement);
        QCOMPARE(area.panel(2), static_cast<QWidget *>(replacement));
        flushDeletes();
        QVERIFY(!old);
        area.setPanel(2, nullptr);
        flushDeletes();
        QCOMPARE(area.splitter()->count(), 2);
        area.setPanel(-1, new GraphPanel);
        QCOMPARE(area.panelCount(), 3);
    }
};

QTEST_MAIN(TestGraphPanel)
#include "tst_graphpanel.moc"
