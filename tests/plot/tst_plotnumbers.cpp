#include "plot/plotnumbers.h"

#include <QtTest>

#include <cmath>

class TestPlotNumbers : public QObject
{
    Q_OBJECT

private slots:
    void formatPlotNumber_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("small negative rounds to zero") << -0.001 << 2 << "0";
        QTest::newRow("negative below 1e-12") << -5e-13 << 1 << "0";
        QTest::newRow("negative kept") << -0.006 << 2 << "-0.01";
        QTest::newRow("negative decimals count as 0") << 12.7 << -1 << "13";
    }

    void formatPlotNumber()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QTEST(::formatPlotNumber(value, decimals), "text");
    }

    void paddedRange_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        // Flat curves are widened by 10 % of the level each way, then padded by 5 % of that width.
        QTest::newRow("flat at 10") << 10.0 << 10.0 << 8.9 << 11.1;
        QTest::newRow("flat at -10 widened outward") << -10.0 << -10.0 << -11.1 << -8.9;
        QTest::newRow("ramp 0..100") << 0.0 << 100.0 << -5.0 << 105.0;
        // 1 - (20 + 2e-12) / 20 is about -1e-13, which reads as 0.
        QTest::newRow("lower end snapped to zero") << 1.0 << 21.0 + 2e-12 << 0.0 << 22.0 + 2e-12;
        QTest::newRow("nearly flat straddling zero") << -0.0002 << 0.0003 << -0.0002475 << 0.0003575;
    }

    void paddedRange()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, low);
        QFETCH(double, high);
        const ValueRange range = paddedValueRange(min, max);
        const double tolerance = 1e-12 * std::max(1.0, std::fabs(high));
        QVERIFY2(std::fabs(range.min - low) < tolerance, qPrintable(QString::number(range.min, 'g', 17)));
        QVERIFY2(std::fabs(range.max - high) < tolerance, qPrintable(QString::number(range.max, 'g', 17)));
    }

    void tickOffsets_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<bool>("includeEnds");
        QTest::addColumn<QVector<int>>("offsets");
        QTest::newRow("600 by 250 inner") << 600 << 250 << false << QVector<int>{300};
        QTest::newRow("rounded positions") << 100 << 30 << true << QVector<int>{0, 33, 67, 100};
        QTest::newRow("zero spacing counts as 1") << 3 << 0 << true << QVector<int>{0, 1, 2, 3};
        QTest::newRow("zero length") << 0 << 50 << true << QVector<int>{0, 0};
    }

    void tickOffsets()
    {
        QFETCH(int, length);
        QFETCH(int, spacing);
        QFETCH(bool, includeEnds);
        QTEST(tickPixelOffsets(length, spacing, includeEnds), "offsets");
    }

    void sampleIndex_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("xMin");
        QTest::addColumn<double>("xMax");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::newRow("half rounds away from zero") << 2.5 << 0.0 << 99.0 << 100 << 3;
        QTest::newRow("below clamps") << -7.0 << 0.0 << 99.0 << 100 << 0;
        QTest::newRow("above clamps") << 150.0 << 0.0 << 99.0 << 100 << 99;
        QTest::newRow("nan") << std::nan("") << 0.0 << 1.0 << 10 << 0;
    }

    void sampleIndex()
    {
        QFETCH(double, x);
        QFETCH(double, xMin);
        QFETCH(double, xMax);
        QFETCH(int, count);
        QTEST(sampleIndexAtValue(x, xMin, xMax, count), "index");
    }

    void labelThinning_data()
    {
        QTest::addColumn<QVector<int>>("lefts");
        QTest::addColumn<QVector<int>>("widths");
        QTest::addColumn<QVector<int>>("kept");
        // Gap of exactly 19 px is too close; 20 px is enough.
        QTest::newRow("gap 19 skipped") << QVector<int>{0, 49, 200} << QVector<int>{30, 30, 30} << QVector<int>{0, 2};
        QTest::newRow("gap 20 kept") << QVector<int>{0, 50, 200} << QVector<int>{30, 30, 30} << QVector<int>{0, 1, 2};
        QTest::newRow("crowding labels dropped for last") << QVector<int>{0, 20, 40} << QVector<int>{30, 30, 30}
                                                          << QVector<int>{2};
    }

    void labelThinning()
    {
        QFETCH(QVector<int>, lefts);
        QFETCH(QVector<int>, widths);
        QTEST(thinnedLabelIndexes(lefts, widths, 19), "kept");
    }
};

QTEST_GUILESS_MAIN(TestPlotNumbers)
#include "tst_plotnumbers.moc"
