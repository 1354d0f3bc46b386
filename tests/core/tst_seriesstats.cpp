#include "astro/seriesstats.h"

#include <QtTest>

#include <cmath>
#include <limits>

// Moving average and standard deviation of the multi-day and profile processing.
class TestSeriesStats : public QObject
{
    Q_OBJECT

private slots:
    void movingAverageAgainstDirectMeans_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("window");
        QTest::newRow("odd window") << 101 << 7;
        QTest::newRow("long series") << 200000 << 64;
    }

    // Every value is the mean of its window, counted afresh; near the end the
    // window shrinks to the samples that are left.
    void movingAverageAgainstDirectMeans()
    {
        QFETCH(int, length);
        QFETCH(int, window);
        QRandomGenerator random(length * 31 + window);
        QVector<double> x(length);
        for (double &v : x)
            v = random.generateDouble() * 2000.0 - 1000.0 + 5e6;
        const QVector<double> out = movingAverage(x, window);
        QCOMPARE(out.size(), length);
        for (int i = 0; i < length; i += (length > 1000 ? 997 : 1)) {
            const int end = std::min(i + window, length);
            double sum = 0.0;
            for (int j = i; j < end; ++j)
                sum += x.at(j);
            QVERIFY2(std::fabs(out.at(i) - sum / (end - i)) < 1e-6, qPrintable(QString::number(i)));
        }
        QCOMPARE(out.last(), x.last());
    }

    // A window below 2 or longer than the series leaves it as it is; a single
    // value has no deviation.
    void degenerateInputs()
    {
        const QVector<double> x{1, 5, 2, 8, 3};
        for (const int window : {0, -3, 6})
            QCOMPARE(movingAverage(x, window), x);
        QCOMPARE(sampleStandardDeviation({3}), -1.0);
    }

    void finiteRange_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<bool>("found");
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::nan("");
        QTest::newRow("non-finite values skipped")
            << QVector<double>{nan, 3, -inf, 7, 1, inf, 5, 2, nan} << true << 1.0 << 7.0;
        QTest::newRow("nothing finite") << QVector<double>{nan, inf, -inf, nan, inf} << false << 0.0 << 0.0;
        QTest::newRow("a zero bound is the first zero")
            << QVector<double>{-0.0, -1, 0.0, -2, -3} << true << -3.0 << -0.0;
    }

    void finiteRange()
    {
        QFETCH(QVector<double>, values);
        QFETCH(bool, found);
        QFETCH(double, min);
        QFETCH(double, max);
        double low = 0.0;
        double high = 0.0;
        // Nothing is written when nothing is found.
        QCOMPARE(finiteValueRange(values, &low, &high), found);
        QCOMPARE(low, min);
        QCOMPARE(high, max);
        QCOMPARE(std::signbit(high), std::signbit(max));
    }
};

QTEST_APPLESS_MAIN(TestSeriesStats)
#include "tst_seriesstats.moc"
