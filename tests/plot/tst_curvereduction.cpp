#include "plot/curvereduction.h"
#include "plot/grafiks.h"
#include "tests/support/widgetprobe.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

enum DataKind { RandomData, SpikyData, StepData, NanGapData };

QVector<double> makeData(int kind, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QVector<double> values(count);
    double level = 0.0;
    for (int i = 0; i < count; ++i) {
        switch (kind) {
        case RandomData:
            values[i] = random.generateDouble() * 100.0 - 50.0;
            break;
        case SpikyData:
            values[i] = random.generateDouble() + (random.bounded(200) == 0 ? 40.0 * (random.generateDouble() - 0.3) : 0.0);
            break;
        case StepData:
            if (random.bounded(count / 20 + 1) == 0)
                level = random.bounded(10) * 3.0;
            values[i] = level;
            break;
        case NanGapData:
            values[i] = std::sin(i * 0.01) * 10.0 + random.generateDouble();
            // Gaps of NaN and infinity with one lone sample in each.
            if ((i / 37) % 9 == 4 && i % 37 != 18)
                values[i] = (i % 2) ? std::nan("") : INFINITY;
            break;
        }
    }
    return values;
}

using WidgetProbe::render;

// Draws the curve as one segment per pair of neighbouring finite samples, each
// on its own, with the plot's pixel rule computed here independently; a lone
// sample is a dot.
void drawEverySegment(QImage *image, const Grafiks::PlotLayout &layout, const QVector<double> &values,
                      const QVector<double> &xValues, const QPen &pen)
{
    QPainter painter(image);
    painter.setClipRect(QRect(layout.left, layout.top - 1, layout.plotWidth + 1, layout.plotHeight + 1));
    painter.setPen(pen);
    const int yBase = layout.widgetHeight - 1 - layout.bottom;
    QVector<QPoint> run;
    auto flush = [&]() {
        if (run.size() == 1)
            painter.drawPoint(run.first());
        for (int i = 1; i < run.size(); ++i)
            painter.drawLine(run.at(i - 1), run.at(i));
        run.clear();
    };
    for (int i = 0; i < values.size(); ++i) {
        const double x = xValues.isEmpty() ? double(i) : xValues.at(i);
        if (!std::isfinite(values.at(i)) || !std::isfinite(x)) {
            flush();
            continue;
        }
        const int px = layout.left + int(std::trunc((x - layout.xMin) * layout.kx));
        const int py = yBase - int(std::trunc((values.at(i) - layout.yMin) * layout.ky));
        run.append(QPoint(px, py));
    }
    flush();
}

// Renders the plot with its own curve, and again with the curve hidden and
// every segment drawn on top; the share of the plot's pixels that differ.
double compareWithFullDrawing(int kind, int count, QSize size, double zoomFrom, double zoomTo,
                                  int penWidth, bool withXValues, quint32 seed)
{
    Grafiks plot;
    plot.resize(size);
    GraphSpec spec;
    const QVector<double> values = makeData(kind, count, seed);
    spec.series.append(GraphSeries(QStringLiteral("curve"), values, QColor(20, 40, 220)));
    spec.lineWidth = penWidth;
    QVector<double> xValues;
    if (withXValues) {
        xValues.resize(count);
        for (int i = 0; i < count; ++i)
            xValues[i] = 1000.0 + i * 0.37;
        spec.bottomAxis.enabled = true;
        spec.bottomAxis.xValues = xValues;
    }
    plot.setGraphSpec(spec);
    const Grafiks::ViewRange full = plot.fullRange();
    plot.setVisibleXRange(full.xMin + (full.xMax - full.xMin) * zoomFrom,
                          full.xMin + (full.xMax - full.xMin) * zoomTo);
    const QImage reduced = render(plot);
    plot.setSeriesVisible(0, false);
    QImage reference = render(plot);
    drawEverySegment(&reference, plot.plotLayout(), values, xValues,
                     QPen(QColor(20, 40, 220), penWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));

    int differing = 0;
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            differing += reduced.pixel(x, y) != reference.pixel(x, y) ? 1 : 0;
    return double(differing) / qMax(1, plot.plotLayout().plotRect().width() * plot.plotLayout().plotRect().height());
}

} // namespace

// The reduced curve drawing against drawing every segment of the samples.
class TestCurveReduction : public QObject
{
    Q_OBJECT

private slots:
    void reducedCurveMatchesEverySegment_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("zoomFrom");
        QTest::addColumn<double>("zoomTo");
        QTest::addColumn<bool>("withXValues");
        QTest::addColumn<bool>("widePens");
        const QList<QPair<const char *, int>> kinds{{"random", RandomData}, {"spiky", SpikyData}, {"step", StepData},
                                                   {"nan gaps", NanGapData}};
        const QList<QSize> sizes{QSize(400, 300), QSize(1000, 600)};
        const QList<QPair<double, double>> zooms{{0.0, 1.0}, {0.3, 0.35}, {0.4137, 0.4192}, {0.9, 0.9003}};
        for (const auto &kind : kinds)
            for (const int count : {300, 20000, 200000})
                for (const QSize &size : sizes)
                    for (const auto &zoom : zooms)
                        for (const bool withX : {false, true}) {
                            if (withX && count != 20000)
                                continue;
                            // Stroking every wide segment of the largest curve takes minutes.
                            const bool wide = count <= 20000 && (zoom.first == 0.0 || zoom.first == 0.3);
                            QTest::addRow("%s n=%d %dx%d zoom %.4f-%.4f%s", kind.first, count, size.width(),
                                          size.height(), zoom.first, zoom.second, withX ? " x values" : "")
                                << kind.second << count << size << zoom.first << zoom.second << withX << wide;
                        }
    }

    // A one-pixel pen is pixel-identical; wide pens differ in few pixels.
    void reducedCurveMatchesEverySegment()
    {
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(QSize, size);
        QFETCH(double, zoomFrom);
        QFETCH(double, zoomTo);
        QFETCH(bool, withXValues);
        QFETCH(bool, widePens);
        QCOMPARE(compareWithFullDrawing(kind, count, size, zoomFrom, zoomTo, 1, withXValues, 11u + count), 0.0);
        if (!widePens)
            return;
        for (const int width : {2, 3, 6}) {
            const double differing =
                compareWithFullDrawing(kind, count, size, zoomFrom, zoomTo, width, withXValues, 5u + count);
            QVERIFY2(differing <= 0.005,
                     qPrintable(QStringLiteral("pen %1: %2 of the pixels differ").arg(width).arg(differing)));
        }
    }

    // The plain scan for the column extremes gives the segments of the block
    // summary that the plot uses (checked pixel for pixel above): one vertical run
    // per column, and joins between columns only where the runs do not already
    // cover them.
    void reductionKeepsFewPointsPerColumn()
    {
        const QVector<double> values = makeData(SpikyData, 100000, 3);
        CurveReduction::PixelMap map;
        map.kx = 500.0 / 99999.0;
        map.left = map.clipLeft = 10;
        map.clipRight = 510;
        map.yMin = -15.0;
        map.ky = 8.0;
        map.yBase = 250;
        const CurveReduction::Summary summary = CurveReduction::Summary::build(values.constData(), values.size());
        const CurveReduction::Result result =
            CurveReduction::reduce(values.constData(), nullptr, values.size(), true, map, &summary);
        const CurveReduction::Result plain =
            CurveReduction::reduce(values.constData(), nullptr, values.size(), true, map);
        QCOMPARE(plain.segmentEnds, result.segmentEnds);
        int verticals = 0;
        for (int k = 0; k < result.segmentCount(); ++k)
            verticals += result.segmentEnds.at(2 * k).x() == result.segmentEnds.at(2 * k + 1).x() ? 1 : 0;
        QCOMPARE(verticals, 501);
        QVERIFY(result.segmentCount() < 2 * 501 - 1);
    }

    void increasingX_data()
    {
        QTest::addColumn<QVector<double>>("x");
        QTest::addColumn<bool>("increasing");
        QTest::newRow("empty") << QVector<double>{} << true;
        QTest::newRow("flat") << QVector<double>{2, 2, 2, 2, 2} << true;
        QTest::newRow("drop at the odd end") << QVector<double>{1, 2, 3, 4, 5, 6, 5.5} << false;
        QTest::newRow("drop at the even end") << QVector<double>{1, 2, 3, 4, 5, 4.5} << false;
        QTest::newRow("nan inside") << QVector<double>{1, 2, std::nan(""), 4, 5} << false;
        QTest::newRow("infinite end") << QVector<double>{1, 2, 3, INFINITY} << false;
    }

    void increasingX()
    {
        QFETCH(QVector<double>, x);
        QTEST(CurveReduction::isIncreasing(x), "increasing");
    }

    void cacheReusedWhileViewStays()
    {
        Grafiks plot;
        plot.resize(800, 500);
        GraphSpec spec;
        const QVector<double> values = makeData(RandomData, 50000, 1);
        spec.series.append(GraphSeries(QStringLiteral("a"), values));
        spec.series.append(GraphSeries(QStringLiteral("b"), makeData(SpikyData, 50000, 2)));
        spec.zoomEnabled = true;
        plot.setGraphSpec(spec);
        render(plot);
        QCOMPARE(plot.reductionCache().entryCount(), 2);
        const QImage first = render(plot);
        QCOMPARE(plot.reductionCache().missCount(), 2);
        QCOMPARE(plot.reductionCache().hitCount(), 2);

        // A legend toggle reuses the cached reduction of the other curve; legend
        // changes share the samples instead of copying them.
        plot.setSeriesVisible(1, false);
        render(plot);
        plot.setSeriesVisible(1, true);
        QCOMPARE(render(plot), first);
        plot.setSeriesColor(0, Qt::red);
        render(plot);
        QCOMPARE(plot.reductionCache().missCount(), 2);
        QCOMPARE(plot.series().at(0).values.constData(), values.constData());

        // A new view or size is reduced afresh.
        plot.setVisibleXRange(1000, 2000);
        render(plot);
        QCOMPARE(plot.reductionCache().missCount(), 4);
        plot.resize(700, 500);
        render(plot);
        QCOMPARE(plot.reductionCache().missCount(), 6);

        // A new spec empties the cache even when it reuses the same samples.
        plot.setGraphSpec(spec);
        QCOMPARE(plot.reductionCache().entryCount(), 0);
    }
};

QTEST_MAIN(TestCurveReduction)
#include "tst_curvereduction.moc"
