#include "astro/ffaperiodlist.h"
#include "astro/ffaplan.h"

#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(FfaInput)

namespace {

FfaInput initialInput()
{
    return {"16384", "0.0124928", "0.01", "1.5", "39", "44", "1", "10.0", false};
}

// 2^22 points of site N4 with the bins and widths of a survey-sized search.
FfaInput largeInput()
{
    return {"4194304", "0.003072", "0.2", "1.5", "240", "260", "1", "2000", false};
}

} // namespace

// The FFA search plan: its steps and sizes worked out by hand, the width
// trials, impossible inputs, and the list of trial periods.
class TestFfaPlan : public QObject
{
    Q_OBJECT

private slots:
    void widthTrials_data()
    {
        QTest::addColumn<int>("binsMin");
        QTest::addColumn<int>("binsMax");
        QTest::addColumn<double>("ducyMax");
        QTest::addColumn<double>("wtsp");
        QTest::addColumn<QVector<int>>("widths");
        // Average (240 + 260 - 1) / 2 = 249, widest floor(0.2 x 249) = 49:
        // 1, max(2, 1) = 2, max(3, 3) = 3, max(4, 4) = 4, max(5, 6) = 6, 9, 13, 19, 28, 42, then 63 > 49.
        QTest::newRow("survey") << 240 << 260 << 0.2 << 1.5 << QVector<int>{1, 2, 3, 4, 6, 9, 13, 19, 28, 42};
        // Growth factor 1 steps by one: average 10, widest 5.
        QTest::newRow("growth 1") << 5 << 16 << 0.5 << 1.0 << QVector<int>{1, 2, 3, 4, 5};
        QTest::newRow("huge growth") << 5 << 16 << 0.9 << 1e300 << QVector<int>{1};
    }

    void widthTrials()
    {
        QFETCH(int, binsMin);
        QFETCH(int, binsMax);
        QFETCH(double, ducyMax);
        QFETCH(double, wtsp);
        QTEST(ffaWidthTrials(ffaAverageBins(binsMin, binsMax), ducyMax, wtsp), "widths");
    }

    void largePlanIsCappedAndItsListCut()
    {
        // 4194304 x 0.003072 s = 12884.9 s: the longest period that folds 8
        // pulses is 1610.612736 s, below the 2000 s asked for.
        // Step 0: tau = 1 / 240 s, downsampling 1.35634, samples floor(3092376.45),
        // 3092376 / 240 = 12884 rows. ln 1610.61 / ln(260 / 240) = 92.26: steps 0..92.
        // Step 92: tau = (1 / 240)(13 / 12)^92 = 6.575103 s, samples floor(1959.65)
        // = 1959; 1610.61 / tau = 244.956 bins, so bins 240..244 of 8 rows each:
        // 7 periods each for 240..243 and ceil(0.956 x 7) = 7 for 244, 35 in all.
        const FfaPlan plan = ffaPlan(largeInput());
        QVERIFY(plan.errors.isEmpty() && plan.periodMaxCapped && std::fabs(plan.periodMax - 1610.612736) < 1e-6);
        QCOMPARE(plan.steps.size(), 93);
        QVERIFY(std::fabs(plan.steps.first().downsampling - 1.35634) < 1e-5);
        QCOMPARE(QVector<qint64>({plan.steps.first().samples, plan.folds.first().rows, plan.steps.last().samples,
                                  plan.steps.last().binsLast, plan.steps.last().periodTrials, plan.columns()}),
                 QVector<qint64>({3092376, 12884, 1959, 244, 35, 10}));

        // Over a million trials: the list keeps its ends and counts what it leaves out.
        QVERIFY(plan.periodTrials > 1000000);
        const FfaPeriodListText list = ffaPeriodListText(plan);
        QCOMPARE(list.omitted, plan.periodTrials - 2 * ffaPeriodListEndLines);
        const QStringList lines = list.text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 2 * ffaPeriodListEndLines + 1);
        QCOMPARE(lines[10002].split(QLatin1Char(' '), Qt::SkipEmptyParts).first().toLongLong(),
                 plan.periodTrials - ffaPeriodListEndLines + 1);
        const QStringList lastLine = lines.last().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(lastLine[0].toLongLong(), plan.periodTrials);
        QVERIFY(lastLine[1].toDouble() < plan.periodMax && lastLine[1].toDouble() > plan.periodMax - 1.0);
        QCOMPARE(lastLine[2], QStringLiteral("244"));

        const std::atomic<bool> cancel{true};
        const FfaPeriodListText cancelled = ffaPeriodListText(plan, ffaPeriodListEndLines, {}, &cancel);
        QVERIFY(cancelled.cancelled && cancelled.text.count(QLatin1Char('\n')) <= 1001);
    }

    void boundToBinsFoldsTheSamplesThemselves()
    {
        // With 51 bins, (51 x 0.0124928) / 51 comes out a hair above 0.0124928 and
        // 16384 samples would lose one to the rounding.
        FfaInput input = initialInput();
        std::tie(input.binsMin, input.binsMax, input.periodMin) = std::make_tuple("51", "56", "ignored");
        input.periodMinBoundToBins = true;
        const FfaPlan plan = ffaPlan(input);
        QVERIFY(plan.errors.isEmpty());
        QCOMPARE(plan.periodMin, 51 * 0.0124928);
        QCOMPARE(plan.steps.first().samples, qint64(16384));
        QVERIFY(std::fabs(plan.steps.first().downsampling - 1.0) < 1e-12);
        QCOMPARE(ffaBoundPeriodMinText(QStringLiteral("39"), QStringLiteral("0.0124928")), QStringLiteral("0.4872192"));
        QCOMPARE(ffaBoundPeriodMinText(QStringLiteral("x"), QStringLiteral("0.0124928")), QString());
        // The text of 33 x 0.0124928 reads back a hair below the product; typed
        // into the field it is still the bound, not a period below it.
        input.binsMin = QStringLiteral("33");
        input.periodMin = ffaBoundPeriodMinText(input.binsMin, input.tresolution);
        input.periodMinBoundToBins = false;
        QVERIFY(ffaPlan(input).errors.isEmpty());
    }

    void impossibleInputs_data()
    {
        QTest::addColumn<FfaInput>("input");
        QTest::addColumn<int>("errors");
        const auto with = [](int field, const QString &value) {
            FfaInput input = initialInput();
            QString *fields[] = {&input.points, &input.tresolution, &input.ducyMax, &input.wtsp,
                                 &input.binsMin, &input.binsMax, &input.periodMin, &input.periodMax};
            *fields[field] = value;
            return input;
        };
        QTest::newRow("interval 0") << with(1, "0") << 1;
        QTest::newRow("duty cycle 1") << with(2, "1") << 1;
        QTest::newRow("wtsp below 1") << with(3, "0.5") << 1;
        QTest::newRow("one bin") << with(4, "1") << 1;
        QTest::newRow("bins max below min") << with(5, "20") << 1;
        // 39 x 0.0124928 = 0.487 s is the shortest period 39 bins can hold.
        QTest::newRow("period min below the bins") << with(6, "0.48") << 1;
        QTest::newRow("period max at min") << with(7, "1") << 1;
        // 50 x 0.0124928 = 0.62 s, shorter than one 1 s fold.
        QTest::newRow("fewer points than one fold") << with(0, "50") << 1;
        // 500 x 0.0124928 / 8 = 0.78 s: not 8 pulses of 1 s.
        QTest::newRow("not 8 pulses") << with(0, "500") << 1;
        // ln 800 / ln(100010 / 100000) = 66847 steps x 10 bin counts.
        FfaInput huge{"1000000000", "0.0124928", "0.01", "1.5", "100000", "100010", "1249.28", "999424", false};
        QTest::newRow("too many folds") << huge << 1;
        QTest::newRow("everything empty") << FfaInput() << 8;
    }

    void impossibleInputs()
    {
        QFETCH(FfaInput, input);
        const FfaPlan plan = ffaPlan(input);
        QTEST(plan.errors.size(), "errors");
        QVERIFY(plan.steps.isEmpty());
        QCOMPARE(plan.rows(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestFfaPlan)
#include "tst_ffaplan.moc"
