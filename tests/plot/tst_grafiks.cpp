#include "plot/grafiks.h"
#include "plot/plotnumbers.h"
#include "tests/support/widgetprobe.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

using WidgetProbe::click;
using WidgetProbe::drag;
using WidgetProbe::render;

QVector<double> ramp(int count, double from = 0.0, double step = 1.0)
{
    QVector<double> values(count);
    for (int i = 0; i < count; ++i)
        values[i] = from + i * step;
    return values;
}

bool isDark(const QImage &image, int x, int y) { return qGray(image.pixel(x, y)) < 80; }
bool fuzzyEqual(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }
int blueIn(const QImage &image, const QRect &area) { return WidgetProbe::countColour(image, QColor(0, 0, 255), area); }

GraphSpec curveSpec(const QVector<double> &values, const QString &key = QString())
{
    GraphSpec spec;
    spec.key = key;
    spec.series.append(GraphSeries(QStringLiteral("signal"), values, QColor(0, 0, 255)));
    return spec;
}

GraphSpec fixedSpec(const QVector<double> &values, double low, double high)
{
    GraphSpec spec = curveSpec(values);
    spec.yAxis.autoRange = false;
    spec.yAxis.min = low;
    spec.yAxis.max = high;
    return spec;
}

// A spec with named y and two bottom rows: point number and a formatted time.
GraphSpec readoutSpec(int count)
{
    GraphSpec spec = curveSpec(ramp(count, -20.0, 0.5));
    spec.yAxis.name = QStringLiteral("S");
    spec.yAxis.title = QStringLiteral("signal");
    spec.yAxis.decimals = 1;
    spec.bottomAxis.enabled = true;
    AxisRow points;
    points.name = QStringLiteral("N");
    points.title = QStringLiteral("point");
    AxisRow time;
    time.name = QStringLiteral("T");
    time.tickFormatter = [](double x) { return QStringLiteral("t%1").arg(x * 2.0, 0, 'f', 1); };
    spec.bottomAxis.rows = {points, time};
    return spec;
}

} // namespace

// The plot widget as a user sees it: rendered offscreen, driven by the mouse.
class TestGrafiks : public QObject
{
    Q_OBJECT

private slots:
    // The first curve with samples sets the length; longer ones are not drawn.
    void curvesAndTheirLength()
    {
        Grafiks plot;
        plot.resize(400, 300);
        GraphSpec spec;
        spec.series.append(GraphSeries(QStringLiteral("empty"), QVector<double>(), QColor(255, 0, 0)));
        spec.series.append(GraphSeries(QStringLiteral("thirty"), ramp(30), QColor(0, 128, 0)));
        spec.series.append(GraphSeries(QStringLiteral("forty"), ramp(40), QColor(0, 0, 255)));
        plot.setGraphSpec(spec);
        QCOMPARE(plot.fullRange().xMax, 29.0);
        const QImage image = render(plot);
        QVERIFY(WidgetProbe::countColour(image, QColor(0, 128, 0)) > 50);
        QCOMPARE(blueIn(image, image.rect()), 0);
    }

    // The tick arithmetic is checked on its own; here the marks and the values handed to the formatter.
    void xTicksAtSpacing()
    {
        Grafiks plot;
        plot.resize(740, 400);
        GraphSpec spec = curveSpec(ramp(601));
        spec.bottomAxis.enabled = true;
        spec.bottomAxis.tickSpacing = 100;
        QVector<double> formatted;
        AxisRow row;
        row.tickFormatter = [&formatted](double x) {
            formatted.append(x);
            return QString::number(x);
        };
        spec.bottomAxis.rows = {row};
        plot.setGraphSpec(spec);
        QCOMPARE(plot.plotLayout().plotWidth, 600);
        QImage image = render(plot);

        // Tick marks at the bottom edge, one per tick, nowhere else;
        // a tick's value is the value under its pixel, here the sample index.
        const QVector<int> offsets{0, 100, 200, 300, 400, 500, 600};
        QVector<int> marks;
        for (int x = 1; x < 739; ++x)
            if (isDark(image, x, 400 - 5))
                marks.append(x - 70);
        QCOMPARE(marks, offsets);
        QCOMPARE(formatted, (QVector<double>{0, 100, 200, 300, 400, 500, 600}));
    }

    void yTicksAndTopRows()
    {
        Grafiks plot;
        plot.resize(400, 300);
        GraphSpec spec = fixedSpec(ramp(50, 0.0, 0.2), 0.0, 10.0);
        spec.yAxis.tickValues = {0.0, 2.5, 5.0, 12.0};
        plot.setGraphSpec(spec);
        Grafiks::PlotLayout layout = plot.plotLayout();
        QImage image = render(plot);
        QVector<int> marks;
        for (int y = layout.plotRect().top(); y <= layout.plotRect().bottom(); ++y)
            if (isDark(image, 4, y))
                marks.append(y);
        QCOMPARE(marks, (QVector<int>{layout.pixelY(5.0), layout.pixelY(2.5), layout.pixelY(0.0)}));

        // Automatic ticks only in the band.
        spec.yAxis.tickValues.clear();
        spec.yAxis.tickSpacing = 1000;
        spec.yAxis.tickBandOnly = true;
        spec.yAxis.bandMin = 2.0;
        spec.yAxis.bandMax = 6.0;
        plot.setGraphSpec(spec);
        layout = plot.plotLayout();
        image = render(plot);
        QVERIFY(isDark(image, 4, layout.pixelY(2.0)) && isDark(image, 4, layout.pixelY(6.0)));
        QVERIFY(!isDark(image, 4, layout.pixelY(0.0)) && !isDark(image, 4, layout.pixelY(10.0)));

        // Top rows hang from the top edge; hidden, they give the room back.
        plot.resize(740, 400);
        spec = curveSpec(ramp(601));
        spec.topAxis.enabled = true;
        spec.topAxis.tickSpacing = 300;
        spec.topAxis.rows = {AxisRow(), AxisRow()};
        spec.title = QStringLiteral("T");
        plot.setGraphSpec(spec);
        image = render(plot);
        for (const int offset : {0, 300, 600})
            QVERIFY(isDark(image, 70 + offset, 4) && !isDark(image, 70 + offset, 400 - 5));
        plot.setAxisVisible(0, false);
        plot.setAxisVisible(1, false);
        QCOMPARE(plot.plotLayout().top, 50);
    }

    void lineWidthClamped_data()
    {
        QTest::addColumn<int>("specWidth");
        QTest::addColumn<int>("seriesWidth");
        QTest::addColumn<int>("drawn");
        QTest::newRow("0 draws 1") << 0 << 0 << 1;
        QTest::newRow("25 draws 10") << 25 << 0 << 10;
        QTest::newRow("series 25 draws 10") << 1 << 25 << 10;
    }

    void lineWidthClamped()
    {
        QFETCH(int, specWidth);
        QFETCH(int, seriesWidth);
        QFETCH(int, drawn);
        Grafiks plot;
        plot.resize(400, 300);
        GraphSpec spec = fixedSpec(QVector<double>(100, 5.0), 0.0, 10.0);
        spec.lineWidth = specWidth;
        spec.series[0].lineWidth = seriesWidth;
        plot.setGraphSpec(spec);
        QCOMPARE(blueIn(render(plot), QRect(200, 0, 1, 300)), drawn);
        // Curves without a width of their own draw with the plot's.
        if (seriesWidth == 0)
            QCOMPARE(plot.lineWidth(), drawn);
    }

    void viewAcrossSpecsAndSetRanges()
    {
        Grafiks plot;
        plot.resize(600, 400);
        GraphSpec spec = curveSpec(ramp(1000), QStringLiteral("data|1"));
        spec.zoomEnabled = true;
        plot.setGraphSpec(spec);
        const QRect area = plot.plotLayout().plotRect();
        drag(&plot, QPoint(area.left() + area.width() / 4, area.top() + 10),
             QPoint(area.left() + area.width() / 2, area.bottom() - 10));
        const Grafiks::ViewRange zoomed = plot.visibleRange();
        plot.setSeriesColor(0, QColor(0, 160, 0));

        // Same key, new samples: the view, the history and the colour stay.
        GraphSpec again = curveSpec(ramp(1000, 3.0), QStringLiteral("data|1"));
        again.zoomEnabled = true;
        plot.setGraphSpec(again);
        QCOMPARE(plot.zoomDepth(), 1);
        QVERIFY(fuzzyEqual(plot.visibleRange().xMin, zoomed.xMin) && fuzzyEqual(plot.visibleRange().xMax, zoomed.xMax));
        QCOMPARE(plot.legendEntries().at(0).color, QColor(0, 160, 0));
        // Shorter data under the same key: the view is clamped into it.
        plot.setGraphSpec(curveSpec(ramp(400), QStringLiteral("data|1")));
        QVERIFY(fuzzyEqual(plot.visibleRange().xMin, zoomed.xMin));
        QCOMPARE(plot.visibleRange().xMax, 399.0);
        // A view that collapses is reset to the full range.
        plot.setGraphSpec(curveSpec(ramp(100), QStringLiteral("data|1")));
        QCOMPARE(plot.visibleXRange(), qMakePair(0.0, 99.0));
        // Another key resets the view and the history; the colour goes with the name.
        plot.setGraphSpec(curveSpec(ramp(1000), QStringLiteral("data|2")));
        QCOMPARE(plot.zoomDepth(), 0);
        QCOMPARE(plot.visibleXRange(), qMakePair(0.0, 999.0));
        QCOMPARE(plot.series().at(0).color, QColor(0, 160, 0));
        // An empty key never keeps the view.
        spec.key.clear();
        plot.setGraphSpec(spec);
        plot.setVisibleXRange(100, 200);
        plot.setGraphSpec(spec);
        QCOMPARE(plot.visibleXRange(), qMakePair(0.0, 999.0));

        // A set range is ordered, clamped to the data and at least one sample wide; NaN is ignored.
        QSignalSpy ranges(&plot, &Grafiks::visibleXRangeChanged);
        const QVector<QPair<QPair<double, double>, QPair<double, double>>> cases{
            {{80, 20}, {20, 80}}, {{-50, 5000}, {0, 999}}, {{40, 40}, {39.5, 40.5}}, {{999, 999}, {998.5, 999}}};
        for (const auto &c : cases) {
            plot.setVisibleXRange(c.first.first, c.first.second);
            QCOMPARE(plot.visibleXRange(), c.second);
        }
        QCOMPARE(ranges.count(), 4);
        plot.setVisibleXRange(std::nan(""), 3);
        plot.setVisibleXRange(998.5, 999.0);
        QCOMPARE(ranges.count(), 4);
    }

    void dragZoomAndPeakSelection()
    {
        Grafiks plot;
        plot.resize(700, 500);
        GraphSpec spec = curveSpec(ramp(1001, -50.0, 0.1));
        spec.zoomEnabled = true;
        plot.setGraphSpec(spec);
        QSignalSpy ranges(&plot, &Grafiks::visibleXRangeChanged);
        const Grafiks::ViewRange full = plot.visibleRange();
        const Grafiks::PlotLayout layout = plot.plotLayout();
        const QRect area = layout.plotRect();

        const QPoint from(area.left() + 100, area.top() + 30);
        const QPoint to(area.left() + 300, area.bottom() - 40);
        drag(&plot, from, to);
        const Grafiks::ViewRange first = plot.visibleRange();
        QVERIFY(fuzzyEqual(first.xMin, layout.valueX(from.x())) && fuzzyEqual(first.xMax, layout.valueX(to.x())));
        QVERIFY(fuzzyEqual(first.yMin, layout.valueY(to.y())) && fuzzyEqual(first.yMax, layout.valueY(from.y())));
        QCOMPARE(ranges.count(), 1);
        QVERIFY(fuzzyEqual(ranges.last().at(0).toDouble(), first.xMin));
        drag(&plot, QPoint(area.left() + 50, area.top() + 5), QPoint(area.left() + 150, area.bottom() - 5));
        QCOMPARE(plot.zoomDepth(), 2);

        // Right to left: one step back, then the full view, then nothing more.
        const QPoint back(area.left() + 300, area.top() + 50), left(area.left() + 100, area.top() + 80);
        drag(&plot, back, left);
        QCOMPARE(plot.zoomDepth(), 1);
        QVERIFY(fuzzyEqual(plot.visibleRange().xMin, first.xMin) && fuzzyEqual(plot.visibleRange().xMax, first.xMax));
        drag(&plot, back, left);
        QCOMPARE(plot.visibleXRange(), qMakePair(full.xMin, full.xMax));
        QCOMPARE(ranges.count(), 4);
        drag(&plot, back, left);
        QCOMPARE(ranges.count(), 4);

        // A drag from the margin starts at the plot's edge; one that never enters the plot is dropped.
        drag(&plot, QPoint(10, area.top() + 100), to);
        QCOMPARE(plot.visibleRange().xMin, full.xMin);
        QVERIFY(fuzzyEqual(plot.visibleRange().xMax, layout.valueX(to.x())));
        plot.resetZoom();
        drag(&plot, QPoint(5, 5), QPoint(60, 20));
        QCOMPARE(plot.zoomDepth(), 0);

        // With peak selection a rightward drag selects samples instead of zooming.
        plot.setPeakSelectionEnabled(true);
        QSignalSpy selected(&plot, &Grafiks::peakAreaSelected);
        QSignalSpy info(&plot, &Grafiks::simplePeakInfoRequested);
        QSignalSpy clicked(&plot, &Grafiks::graphClicked);
        QSignalSpy values(&plot, &Grafiks::xAxisValuesClicked);
        const QPoint start(area.left() + 111, area.top() + 40);
        const QPoint end(area.left() + 333, area.top() + 200);
        const QList<QVariant> span{int(std::round(layout.valueX(start.x()))), int(std::round(layout.valueX(end.x())))};
        drag(&plot, start, end);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.last(), span);
        QCOMPARE(plot.zoomDepth(), 0);

        // A press inside the selection asks for the peak information.
        click(&plot, QPoint(area.left() + 200, area.top() + 100));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.last(), span);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(values.count(), 0);
        QVERIFY(!plot.selectionRect().isNull());

        // A leftward drag is a zoom step back, here with nothing to go back to.
        drag(&plot, end, start);
        QCOMPARE(selected.count(), 1);
        plot.setPeakSelectionEnabled(false);
        QVERIFY(plot.selectionRect().isNull());
    }

    void cursorReadoutAndClicks()
    {
        Grafiks plot;
        plot.resize(700, 500);
        plot.setGraphSpec(readoutSpec(201));
        QSignalSpy texts(&plot, &Grafiks::cursorInfoChanged);
        const Grafiks::PlotLayout layout = plot.plotLayout();
        const QPoint at(layout.left + 123, layout.top + 77);
        WidgetProbe::move(&plot, at);
        const double x = layout.valueX(at.x());
        const QString expected = QStringLiteral("Y: S=%1\nX1: N=%2\nX2: T=t%3")
                                     .arg(formatPlotNumber(layout.valueY(at.y()), 1), formatPlotNumber(x, 0))
                                     .arg(x * 2.0, 0, 'f', 1);
        QCOMPARE(texts.last().at(0).toString(), expected);
        WidgetProbe::move(&plot, QPoint(5, 5));
        QCOMPARE(texts.last().at(0).toString(), QString());

        QSignalSpy clicked(&plot, &Grafiks::graphClicked);
        QSignalSpy values(&plot, &Grafiks::xAxisValuesClicked);
        QSignalSpy right(&plot, &Grafiks::graphRightClicked);
        click(&plot, at);
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.last().at(0).toStringList(), (QStringList{QStringLiteral("N"), QStringLiteral("T")}));
        QCOMPARE(values.last().at(1).toStringList(),
                 (QStringList{formatPlotNumber(x, 0), QStringLiteral("t%1").arg(x * 2.0, 0, 'f', 1)}));
        QCOMPARE(values.last().at(3).toInt(), sampleIndexAtValue(x, 0.0, 200.0, 201));
        click(&plot, at, Qt::RightButton);
        QCOMPARE(right.count(), 1);
        // Clicks in the margin are no graph clicks.
        click(&plot, QPoint(10, 10));
        click(&plot, QPoint(10, 10), Qt::RightButton);
        QCOMPARE(clicked.count() + right.count(), 2);
    }

    void zeroAxisAndGuideLines()
    {
        Grafiks plot;
        plot.resize(500, 400);
        GraphSpec spec = curveSpec(ramp(100, -50.0));
        spec.yAxis.zeroAxis = ZeroAxis::Line;
        plot.setGraphSpec(spec);
        const Grafiks::PlotLayout layout = plot.plotLayout();
        const int zero = layout.pixelY(0.0);
        QImage image = render(plot);
        QVERIFY(WidgetProbe::countColour(image, QColor(204, 204, 204), QRect(0, zero, 500, 1)) > layout.plotWidth / 2);
        QVERIFY(isDark(image, 4, zero) && isDark(image, 4, zero - 100) && isDark(image, 4, zero + 100));
        QVERIFY(!isDark(image, 4, zero - 50));

        // A level and a point, the point drawn on top and movable.
        spec = curveSpec(ramp(100));
        GraphSeries level;
        level.kind = GraphSeries::HorizontalLine;
        level.yValue = 50.0;
        level.color = QColor(255, 0, 0);
        spec.series.append(level);
        GraphSeries point;
        point.kind = GraphSeries::VerticalLine;
        point.sampleIndex = 30;
        point.color = QColor(0, 160, 0);
        point.drawOnTop = true;
        spec.series.append(point);
        plot.setGraphSpec(spec);
        const Grafiks::PlotLayout lines = plot.plotLayout();
        const QColor green(0, 160, 0);
        image = render(plot);
        QVERIFY(WidgetProbe::countColour(image, Qt::red, QRect(0, lines.pixelY(50.0), 500, 1)) >= lines.plotWidth - 2);
        QVERIFY(WidgetProbe::countColour(image, green, QRect(lines.pixelX(30), 0, 1, 400)) >= lines.plotHeight);
        plot.setVerticalLineIndex(2, 60);
        image = render(plot);
        QCOMPARE(WidgetProbe::countColour(image, green, QRect(lines.pixelX(30), 0, 1, 400)), 0);
        QVERIFY(WidgetProbe::countColour(image, green, QRect(lines.pixelX(60), 0, 1, 400)) >= lines.plotHeight);
        // The large layout leaves the vertical line out.
        spec.layoutMode = GraphLayout::Large;
        plot.setGraphSpec(spec);
        image = render(plot);
        QCOMPARE(WidgetProbe::countColour(image, green), 0);
        QVERIFY(WidgetProbe::countColour(image, Qt::red) > 100);
    }

    void badInput()
    {
        Grafiks plot;
        plot.resize(400, 300);
        QVector<double> gappy = ramp(300);
        for (int i = 100; i < 120; ++i)
            gappy[i] = std::nan("");
        gappy[200] = INFINITY;
        gappy[201] = -INFINITY;
        plot.setGraphSpec(curveSpec(gappy));
        QVERIFY(fuzzyEqual(plot.fullRange().yMin, -14.95) && fuzzyEqual(plot.fullRange().yMax, 313.95));
        QVERIFY(blueIn(render(plot), plot.plotLayout().plotRect()) > 100);
        QVERIFY(!plot.cursorText(plot.plotLayout().plotRect().center()).isEmpty());

        // A single sample shows as a dot.
        plot.setGraphSpec(curveSpec(QVector<double>{4.0}));
        QCOMPARE(plot.fullRange().xMax, 1.0);

        // Equal x values: the x range is widened to the sample count.
        GraphSpec equalX = curveSpec(ramp(10));
        equalX.bottomAxis.enabled = true;
        equalX.bottomAxis.xValues = QVector<double>(10, 5.0);
        plot.setGraphSpec(equalX);
        QCOMPARE(plot.fullRange().xMax, 14.0);
        render(plot);
        click(&plot, plot.plotLayout().plotRect().center());

        // Non-finite fixed range and x values.
        GraphSpec broken = fixedSpec(ramp(10), std::nan(""), INFINITY);
        broken.bottomAxis.enabled = true;
        broken.bottomAxis.xValues = QVector<double>(10, std::nan(""));
        plot.setGraphSpec(broken);
        QCOMPARE(plot.fullRange().yMax, 1.0);
        QCOMPARE(plot.fullRange().xMax, 9.0);
        render(plot);

        // No finite sample: the default range.
        plot.setGraphSpec(curveSpec(QVector<double>{std::nan(""), INFINITY}));
        QCOMPARE(qMakePair(plot.fullRange().yMin, plot.fullRange().yMax), qMakePair(0.0, 1.0));

        // Empty series: the empty-plot text.
        plot.setGraphSpec(curveSpec(QVector<double>()));
        QVERIFY(plot.cursorText(QPoint(200, 150)).isEmpty());
        render(plot);
        click(&plot, QPoint(200, 150));

        // Out-of-range indexes are ignored.
        QSignalSpy layers(&plot, &Grafiks::plotLayersChanged);
        plot.setSeriesVisible(5, false);
        plot.setSeriesColor(-1, Qt::red);
        plot.setAxisVisible(-1, false);
        plot.setAxisVisible(9, false);
        plot.setVerticalLineIndex(3, 7);
        QCOMPARE(layers.count(), 0);
        plot.clear();
        QVERIFY(plot.series().isEmpty() && plot.key().isEmpty());

        // A widget too small for a plot area, then just big enough for one pixel.
        GraphSpec spec = readoutSpec(1000);
        spec.zoomEnabled = true;
        spec.title = QStringLiteral("title");
        plot.setGraphSpec(spec);
        plot.resize(1, 1);
        QVERIFY(!plot.plotLayout().valid);
        QCOMPARE(render(plot).size(), QSize(1, 1));
        drag(&plot, QPoint(0, 0), QPoint(0, 0));
        QVERIFY(plot.cursorText(QPoint(0, 0)).isEmpty());
        plot.resize(141, 137);
        QVERIFY(plot.plotLayout().valid);
        render(plot);
    }
};

QTEST_MAIN(TestGrafiks)
#include "tst_grafiks.moc"
