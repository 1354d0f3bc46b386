#include "plot/spectrummath.h"

#include <QtTest>

#include <limits>

class TestDynamicSpectrumMath : public QObject
{
    Q_OBJECT

private slots:
    void greyLevel_data()
    {
        QTest::addColumn<float>("v");
        QTest::addColumn<float>("lo");
        QTest::addColumn<float>("hi");
        QTest::addColumn<int>("grey");
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("half rounds up") << 5.0f << 0.0f << 10.0f << 128; // 127.5
        QTest::newRow("below the scale") << -9.0f << 0.0f << 4.0f << 255;
        QTest::newRow("flat row") << 3.0f << 3.0f << 3.0f << 255;
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 0.0f << 4.0f << 255;
        QTest::newRow("plus infinity") << inf << 0.0f << 4.0f << 0;
    }

    void greyLevel()
    {
        QFETCH(float, v);
        QFETCH(float, lo);
        QFETCH(float, hi);
        QTEST(SpectrumMath::greyLevel(v, lo, hi), "grey");
    }

    void timeSpanText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("reference");
        QTest::addColumn<bool>("withUnit");
        QTest::addColumn<QString>("text");
        QTest::newRow("milliseconds") << 0.0125 << 0.5 << true << "12.5 ms";
        QTest::newRow("reference decides the unit") << 0.5 << 1.0 << true << "0.5 s";
        QTest::newRow("below one second") << 0.123456 << 0.123456 << true << "123 ms";
        QTest::newRow("two decimals") << 1.2345 << 1.0 << false << "1.23";
        QTest::newRow("round up") << 99.96 << 1.0 << false << "100";
        QTest::newRow("negative zero") << -0.00001 << 1.0 << false << "0";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 1.0 << true << "? s";
    }

    void timeSpanText()
    {
        QFETCH(double, seconds);
        QFETCH(double, reference);
        QFETCH(bool, withUnit);
        QTEST(SpectrumMath::timeSpanText(seconds, reference, withUnit), "text");
    }

    void tickColumns_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<double>("width");
        QTest::addColumn<QVector<int>>("ticks");
        // n = min(1000, 11) - 1 = 10; columns round(i * 999 / 10).
        QTest::newRow("ten parts") << 1000 << 1000.0
                                   << QVector<int>{100, 200, 300, 400, 500, 599, 699, 799, 899};
        // n = min(3, 11) = 3 < 4: 2 parts, round(2 / 2) = 1.
        QTest::newRow("three points") << 3 << 1000.0 << QVector<int>{1};
        QTest::newRow("two points") << 2 << 1000.0 << QVector<int>{};
    }

    void tickColumns()
    {
        QFETCH(int, points);
        QFETCH(double, width);
        QTEST(SpectrumMath::tickColumns(points, width), "ticks");
    }

    void columnAt_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("cellWidth");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("column");
        QTest::newRow("left edge") << 70.0 << 70.0 << 3.0 << 10 << 0;
        QTest::newRow("cell boundary") << 76.0 << 70.0 << 3.0 << 10 << 2;
        QTest::newRow("right edge is the last point") << 100.0 << 70.0 << 3.0 << 10 << 9;
        QTest::newRow("zero width counts as 0.01") << 0.555 << 0.0 << 0.0 << 1000 << 55;
        QTest::newRow("no points") << 5.0 << 0.0 << 1.0 << 0 << 0;
    }

    void columnAt()
    {
        QFETCH(double, x);
        QFETCH(double, left);
        QFETCH(double, cellWidth);
        QFETCH(int, points);
        QTEST(SpectrumMath::columnAt(x, left, cellWidth, points), "column");
    }

    void fragmentAt_data()
    {
        QTest::addColumn<double>("x0");
        QTest::addColumn<double>("x1");
        QTest::addColumn<double>("cellWidth");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        // first = floor(6 / 3) = 2, end = ceil(16 / 3) = 6.
        QTest::newRow("inside") << 6.0 << 16.0 << 3.0 << 10 << true << 2 << 4;
        QTest::newRow("dragged leftwards") << 16.0 << 6.0 << 3.0 << 10 << true << 2 << 4;
        QTest::newRow("on cell edges") << 3.0 << 9.0 << 3.0 << 10 << true << 1 << 2;
        QTest::newRow("at the right edge") << 29.0 << 30.0 << 3.0 << 10 << true << 9 << 1;
        QTest::newRow("under one pixel") << 6.0 << 6.5 << 3.0 << 10 << false << 0 << 0;
        QTest::newRow("no points") << 0.0 << 30.0 << 3.0 << 0 << false << 0 << 0;
    }

    void fragmentAt()
    {
        QFETCH(double, x0);
        QFETCH(double, x1);
        QFETCH(double, cellWidth);
        QFETCH(int, points);
        // A refused fragment leaves the outputs alone.
        int f = 0, n = 0;
        QTEST(SpectrumMath::fragmentAt(x0, x1, 0.0, cellWidth, points, &f, &n), "ok");
        QTEST(f, "first");
        QTEST(n, "count");
    }

    void finiteRangeSkipsNonFinite()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        const float values[] = {nan, 3.0f, -inf, -2.0f, inf, 7.5f, nan};
        float lo = 0.0f, hi = 0.0f;
        QVERIFY(SpectrumMath::finiteRange(values, 0, 7, &lo, &hi));
        QVERIFY(lo == -2.0f && hi == 7.5f);
        QVERIFY(!SpectrumMath::finiteRange(values, 4, 1, &lo, &hi));
    }
};

QTEST_GUILESS_MAIN(TestDynamicSpectrumMath)
#include "tst_dynamicspectrummath.moc"
