#include "astro/seriesprocessing.h"
#include "data/daygraphcontent.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(SeriesProcessing)

namespace {

using Series = QVector<double>;

Series ramp(int n)
{
    Series x(n);
    for (int i = 0; i < n; ++i)
        x[i] = i;
    return x;
}

// A calibration pattern from s to e - 1: a dip at s, a plateau up to e - 2, a
// dip at e - 1; before it 20 + i % 5, after it 40 + i % 5.
Series stepSeries(int n, int s, int e)
{
    Series x(n);
    for (int i = 0; i < n; ++i)
        x[i] = i < s ? 20 + i % 5 : i >= e ? 40 + i % 5 : (i == s || i == e - 1) ? 0 : 100;
    return x;
}

Series filled(Series x, int from, int to, double value)
{
    for (int i = from; i <= to; ++i)
        x[i] = value;
    return x;
}

SeriesProcessing settings(bool removeStep, int length, bool noise, int averaging,
                          AveragingType type = AveragingType::Pairwise)
{
    SeriesProcessing s;
    std::tie(s.removeStep, s.approximationLength, s.subtractNoise, s.averaging, s.averagingType) =
        std::make_tuple(removeStep, length, noise, averaging, type);
    return s;
}

DayPlot flatDay(double level, int n)
{
    DayPlot day;
    day.fileName = QStringLiteral("250726_05_N1_00.pnt");
    day.date = QStringLiteral("2026.07.25");
    day.tresolution = 0.0124928;
    day.channelSumDm0 = day.channelSumDm = Series(n, level);
    return day;
}

} // namespace

// The processing chain of a day's channel sums and the content of its graph.
class TestSeriesProcessing : public QObject
{
    Q_OBJECT

private slots:
    void chain_data()
    {
        QTest::addColumn<Series>("input");
        QTest::addColumn<double>("tresolution");
        QTest::addColumn<bool>("approximation");
        QTest::addColumn<SeriesProcessing>("settings");
        QTest::addColumn<Series>("expected");

        const SeriesProcessing stepOnly = settings(true, 64, false, 0);
        const Series pattern = stepSeries(60, 20, 50);   // samples 19 .. 51, 32 apart
        QTest::newRow("19 values keep their step") << stepSeries(19, 5, 15) << 15.0 / 11 << false << stepOnly
                                                   << stepSeries(19, 5, 15);
        QTest::newRow("15 s pattern: the median of the ten samples before")
            << pattern << 15.0 / 32 << false << stepOnly << filled(pattern, 19, 51, 22);
        QTest::newRow("4 samples too long: still removed") << pattern << 15.0 / 28 << false << stepOnly
                                                           << filled(pattern, 19, 51, 22);
        QTest::newRow("5 samples too long: left alone") << pattern << 15.0 / 27 << false << stepOnly << pattern;
        const Series early = stepSeries(60, 5, 35);   // samples 4 .. 36
        QTest::newRow("near the start: the median of the ten samples after")
            << early << 15.0 / 32 << false << stepOnly << filled(early, 4, 36, 42);
        const Series longPattern = stepSeries(700, 100, 600);   // samples 99 .. 601, 502 apart
        QTest::newRow("2 % of a long pattern: 10 off removed") << longPattern << 15.0 / 512 << false << stepOnly
                                                               << filled(longPattern, 99, 601, 22);
        QTest::newRow("2 % of a long pattern: 11 off left") << longPattern << 15.0 / 513 << false << stepOnly
                                                            << longPattern;
        const Series damaged = filled(pattern, 3, 3, std::nan(""));
        QTest::newRow("a NaN sample does not stop the removal") << damaged << 15.0 / 32 << false << stepOnly
                                                                << filled(damaged, 19, 51, 22);

        const Series small{1, 2, 3, 4, 5, 9};   // block medians 2 and 5 at samples 1 and 4
        QTest::newRow("approximation wins over the noise subtraction")
            << small << 0.01 << true << settings(false, 3, true, 0) << Series{2, 2, 3, 4, 5, 5};
        const double sigma = std::sqrt(3.1);   // of the residuals -1, 0, 0, 0, 0, 4
        QTest::newRow("noise baseline subtraction") << small << 0.01 << false << settings(false, 3, true, 0)
                                                    << Series{-1 / sigma, 0, 0, 0, 0, 4 / sigma};
        QTest::newRow("noise of a constant series: unchanged")
            << Series(200, 7.0) << 0.01 << false << settings(false, 64, true, 0) << Series(200, 7.0);

        QTest::newRow("moving average over the whole series")
            << Series{1, 2, 3, 10} << 0.01 << false << settings(false, 64, false, 4, AveragingType::Moving)
            << Series{4, 5, 6.5, 10};
        Series means(125);
        for (int k = 0; k < 125; ++k)
            means[k] = 8 * k + 3.5;
        QTest::newRow("over 2 points 3 times: 1003 values") << ramp(1003) << 0.01 << false
                                                            << settings(false, 64, false, 3) << means;
        QTest::newRow("shorter than one block: empty") << ramp(10) << 0.01 << false << settings(false, 64, false, 4)
                                                       << Series();
        QTest::newRow("step removed, then averaged") << pattern << 15.0 / 32 << false << settings(true, 64, false, 5)
                                                     << Series{(416 + 13 * 22) / 32.0};
    }

    void chain()
    {
        QFETCH(Series, input);
        QFETCH(double, tresolution);
        QFETCH(bool, approximation);
        QFETCH(SeriesProcessing, settings);
        QFETCH(Series, expected);
        const Series out = processSeries(input, tresolution, approximation, settings);
        QCOMPARE(out.size(), expected.size());
        for (int i = 0; i < out.size(); ++i)
            QVERIFY2(std::fabs(out.at(i) - expected.at(i)) < 1e-9 || (std::isnan(out.at(i)) && std::isnan(expected.at(i))),
                     qPrintable(QStringLiteral("%1: %2 against %3").arg(i).arg(out.at(i)).arg(expected.at(i))));
    }

    void approximationAgainstSortedBlocks_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("levels");   // distinct values; few give long runs of equal values
        QTest::addColumn<int>("nanEvery");   // every such sample is NaN; 0 for none
        QTest::newRow("one block: its median everywhere") << 100 << 64 << 1000000 << 0;
        QTest::newRow("odd blocks: centres on samples") << 5000 << 65 << 1000000 << 0;
        QTest::newRow("longest blocks, many ties") << 6100 << 600 << 3 << 0;
        QTest::newRow("NaN samples sort last") << 5000 << 65 << 1000000 << 7;
        QTest::newRow("half NaN: NaN medians") << 5000 << 64 << 1000000 << 2;
    }

    // Against a plain reference: each block sorted whole, each sample placed on
    // the line between the neighbouring centres found by search.
    void approximationAgainstSortedBlocks()
    {
        QFETCH(int, length);
        QFETCH(int, block);
        QFETCH(int, levels);
        QFETCH(int, nanEvery);
        QRandomGenerator random(quint32(length + block));
        Series x(length);
        for (int i = 0; i < length; ++i)
            x[i] = nanEvery > 0 && i % nanEvery == 0 ? std::nan("") : 1000.0 + random.bounded(levels) * 0.25;
        const int m = length / block;
        Series medians;
        for (int k = 0; k < m; ++k) {
            Series sorted = x.mid(k * block, block);
            std::sort(sorted.begin(), sorted.end(), [](double a, double b) { return a < b || (!std::isnan(a) && std::isnan(b)); });
            medians.append(block % 2 ? sorted.at(block / 2) : (sorted.at(block / 2 - 1) + sorted.at(block / 2)) / 2);
        }
        const auto centre = [block](int k) { return (block - 1) * 0.5 + double(k) * block; };
        const Series out = medianApproximation(x, block);
        QCOMPARE(out.size(), length);
        for (int i = 0; i < length; ++i) {
            double expected = medians.last();
            if (i <= centre(0)) {
                expected = medians.first();
            } else if (i < centre(m - 1)) {
                int j = 0;
                while (!(centre(j) < i && i <= centre(j + 1)))
                    ++j;
                expected = medians.at(j) + (i - centre(j)) / (centre(j + 1) - centre(j)) * (medians.at(j + 1) - medians.at(j));
            }
            QVERIFY2(out.at(i) == expected || (std::isnan(out.at(i)) && std::isnan(expected)), qPrintable(QStringLiteral("%1: %2 against %3").arg(i).arg(out.at(i)).arg(expected)));
        }
    }

    void graphContent()
    {
        DayPlot day = flatDay(0.0, 50);
        day.channelSumDm0 = ramp(50);
        for (int i = 0; i < 50; ++i)
            day.channelSumDm[i] = 100 - i;
        DayGraphSettings graph;
        graph.dm = 26.8;
        graph.showDm = false;
        graph.showFileName = graph.showMax = graph.processing.showApproximation = true;
        graph.processing.approximationLength = 64;   // longer than the series
        DayGraphContent content = dayGraphContent(day, graph);
        QCOMPARE(content.curves.size(), 4);
        QVERIFY(!content.curves.at(1).visible);
        // Without an approximation the approximation curves show the sums themselves.
        QVERIFY(content.curves.at(2).values == content.curves.at(0).values);
        QVERIFY(content.curves.at(3).values == content.curves.at(1).values);
        // The hidden DM curve still counts for the maximum and the ranges.
        QCOMPARE(QVector<double>({content.maximum, content.rawRange.min, content.rawRange.max}),
                 QVector<double>({100, 0, 100}));
        QCOMPARE(content.headerLines, (QStringList{day.fileName, day.date, QStringLiteral("max=100.00")}));
        QVERIFY(content.curves.at(1).colour != content.curves.at(0).colour);

        graph.dm = 0.0;
        graph.processing.showApproximation = graph.showDate = graph.showFileName = false;
        content = dayGraphContent(day, graph);
        QCOMPARE(content.curves.size(), 2);
        QCOMPARE(content.curves.at(1).colour, content.curves.at(0).colour);
        QCOMPARE(content.headerLines, QStringList{QStringLiteral("max=100.00")});

        // Averaging away every value leaves nothing to range over.
        graph.processing.averaging = 10;
        content = dayGraphContent(day, graph);
        QVERIFY(content.curves.at(0).values.isEmpty());
        QCOMPARE(QVector<double>({content.maximum, content.rawRange.min, content.rawRange.max}), QVector<double>({0, 0, 1}));
    }

    void flatNegativeDayStaysInsideItsRange()
    {
        for (const double level : {-5.0, 5.0}) {
            const DayGraphContent content = dayGraphContent(flatDay(level, 30), DayGraphSettings());
            QVERIFY2(content.paddedRange.min < level && level < content.paddedRange.max,
                     qPrintable(QStringLiteral("%1: %2 .. %3").arg(level).arg(content.paddedRange.min).arg(content.paddedRange.max)));
        }
    }

    void colourFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("colour");
        QTest::newRow("without #") << " 00ff7f " << "#00ff7f";
        QTest::newRow("not hexadecimal") << "green" << "fallback";
    }

    void colourFields()
    {
        QFETCH(QString, field);
        QTEST(curveColourName(field, QStringLiteral("fallback")), "colour");
    }
};

QTEST_GUILESS_MAIN(TestSeriesProcessing)
#include "tst_seriesprocessing.moc"
