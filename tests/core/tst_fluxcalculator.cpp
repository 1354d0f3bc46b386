#include "astro/fluxcalculator.h"
#include "astro/fluxreport.h"
#include "astro/fluxsitedefaults.h"
#include "astro/integralsnr.h"
#include "astro/resultnumber.h"

#include <QtTest>

#include <cmath>
#include <functional>

// A change of the worked example's input and profile.
using Change = std::function<void(FluxInput &, QVector<double> &)>;
Q_DECLARE_METATYPE(Change)

namespace {

// The profile of the guide's worked example: 200 points, noise of sigma 1.5
// outside 90 .. 110 (one 0, then +-1.5 in turn), a pulse 2, 8, 12, 9, 3 at
// 98 .. 102 and 1.625 elsewhere in the peak area, so that the area sums to 60.
QVector<double> guideProfile()
{
    QVector<double> x(200, 1.625);
    double noise = 0.0;
    for (int i = 0; i < 200; ++i) {
        if (i >= 90 && i <= 110)
            continue;
        x[i] = noise;
        noise = noise > 0.0 ? -1.5 : 1.5;
    }
    const double pulse[] = {2, 8, 12, 9, 3};
    for (int i = 0; i < 5; ++i)
        x[98 + i] = pulse[i];
    return x;
}

FluxInput guideInput()
{
    FluxInput in;
    in.site = QStringLiteral("N1");
    std::tie(in.tresolution, in.period, in.delta, in.H, in.k1, in.k2, in.T178, in.Tr, in.sens) =
        std::make_tuple(0.0124928, 1.0, 52.5, 12.0, 0.7, 0.99905, 300.0, 270.0, 0.23);
    std::tie(in.n0, in.n1, in.n2, in.np) = std::make_tuple(16348, -1, 0, 200);
    return in;
}

FluxReportLabels guideLabels()
{
    return {QStringLiteral("J0332+5434"), QStringLiteral("1.0"), QStringLiteral("27"), QStringLiteral("2026.07.16"),
            QStringLiteral("52:30:00")};
}

} // namespace

// The flux density calculator: the worked example of its guide, every check
// with its message and the texts it copies and shows.
class TestFluxCalculator : public QObject
{
    Q_OBJECT

private slots:
    void guideWorkedExample()
    {
        const QVector<double> x = guideProfile();
        const FluxInput in = guideInput();
        const FluxCalculation calculation = calculateFlux(in, x);
        QVERIFY2(calculation.ok, qPrintable(calculation.error));
        const FluxResult &r = calculation.result;
        QCOMPARE(QVector<int>({r.nPeriods, r.n, r.n1, r.n2}), QVector<int>({204, 16348, 90, 110}));
        QCOMPARE(resultNumberText(r.snr), QStringLiteral("8.00"));
        QCOMPARE(QString::number(r.dS, 'f', 5), QStringLiteral("0.34996"));
        QCOMPARE(resultNumberText(r.Sp), QStringLiteral("0.28"));
        QCOMPARE(QString::number(r.sum, 'f', 5), QStringLiteral("0.98010"));
        QCOMPARE(resultNumberText(r.Sint), QStringLiteral("0.0070"));

        const HalfWidth w = halfWidth(x, in.H, in.np, in.period, in.n1, in.n2);
        QVERIFY(w.found);
        QCOMPARE(QString::number(w.i1, 'f', 2), QStringLiteral("98.67"));
        QCOMPARE(QString::number(w.i2, 'f', 2), QStringLiteral("101.50"));
        QCOMPARE(resultNumberText(w.w50), QStringLiteral("14.17"));
        // Searched within the peak area alone, the pulse has the same width.
        QCOMPARE(halfWidth(x, in.H, in.np, in.period, 90, 110).w50, w.w50);
        // A pulse still above the half level at the last point ends there; without a period, or with
        // no point above the half level, there is no width.
        QCOMPARE(halfWidth({0, 0, 4, 8}, 8, 4, 1.0, 0, 0).w50, 250.0);
        QVERIFY(!halfWidth(x, in.H, in.np, 0.0, in.n1, in.n2).found);
        QVERIFY(!halfWidth({0, 0, 4, 8}, 20, 4, 1.0, 0, 0).found);

        const QString clipboard = fluxClipboardText(guideLabels(), r);
        QCOMPARE(clipboard, QStringLiteral("Pulsar:\t\tJ0332+5434\nPeriod:\t\t1.0 sec\nDispersion:\t27\nDate:\t\t2026.07.16\n"
                                           "Result:\t\tSNR=8.00, Sp=0.28, Sint=0.0070"));
        const QString report = fluxReportText(in, r, w, guideLabels());
        QVERIFY(report.contains(QStringLiteral("\np1, p2:\t[0.4933, 0.5075]\t")));

        FluxInput withCos = in;
        withCos.withCos = true; withCos.delta = 60.0;
        const FluxCalculation corrected = calculateFlux(withCos, x);
        QVERIFY(corrected.ok);
        QCOMPARE(corrected.result.n, 32695);   // 16348 / 0.5 less the rounding of cos(60)
        QCOMPARE(corrected.result.nPeriods, 408);
        QVERIFY(fluxReportText(withCos, corrected.result, w, guideLabels())
                    .contains(QStringLiteral("delta:\t\t52:30:00\t(координата дельта)\ndelta1:\t\t60.00\t\t(координата дельта в "
                                             "градусах)\ncos(delta):\t0.5000\t")));
    }

    void errors_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("errorEnd");
        const QString noHint = QStringLiteral("k1=[0.4 to 1]\nk2=cos(55 – delta)");
        const auto row = [](const char *name, const Change &change, const QString &end) {
            QTest::newRow(name) << change << end;
        };
        row("no site", [](FluxInput &in, QVector<double> &) { in.site.clear(); },
            "Set the observatory site in the Plosh field.");
        row("unknown site", [](FluxInput &in, QVector<double> &) { in.site = "N3"; }, "Use N0, N1, N2, or N4.");
        row("k1 = 0, delta 0", [](FluxInput &in, QVector<double> &) { in.k1 = in.delta = 0.0; }, noHint);
        row("k2 = 0, delta 52.5", [](FluxInput &in, QVector<double> &) { in.k2 = 0.0; }, noHint + "=cos(2.50) = 0.999");
        row("k1 below 1e-5 at N4", [](FluxInput &in, QVector<double> &) { in.site = "N4", in.k1 = 1e-6; },
            "Defaults for N4:\nk1=0.95\nk2=cos(55 – delta)=cos(2.50) = 0.999");
        row("selection of one point", [](FluxInput &in, QVector<double> &) { in.n1 = in.n2 = 100; },
            "check the n1 and n2 parameters.");
        row("cosine of delta 90", [](FluxInput &in, QVector<double> &) { in.withCos = true, in.delta = 90.0; },
            "Invalid delta cosine: 0.00000");
        row("infinite period reads 0", [](FluxInput &in, QVector<double> &) { in.period = qInf(); },
            "period must be greater than zero.");
        row("n2 beyond the profile, defaulted below n1", [](FluxInput &in, QVector<double> &) { in.n1 = 150, in.n2 = 250; },
            "check the n1 and n2 parameters.");
        row("no time resolution", [](FluxInput &in, QVector<double> &) { in.tresolution = 0.0; },
            "n_periods must be greater than zero.");
        row("flat noise", [](FluxInput &, QVector<double> &x) { x.fill(3.0); }, "Invalid sigma=0");
        row("profile of one point", [](FluxInput &in, QVector<double> &x) { x = {5.0}, in.np = 1; }, "Invalid sigma=-1");
        row("profile shorter than np", [](FluxInput &in, QVector<double> &) { in.np = 400; }, "Invalid sigma=-2");
        row("peak area covering the profile", [](FluxInput &in, QVector<double> &) { in.n1 = 0, in.n2 = 198; },
            "Invalid sigma=-4");
        const QString overflow = QStringLiteral("too large for the calculation: check the calculator fields and the "
                                                "profile values.");
        row("n0 / cos beyond an int",
            [](FluxInput &in, QVector<double> &) { in.withCos = true, in.delta = 89.99, in.n0 = 2000000000; }, overflow);
        row("N beyond an int", [](FluxInput &in, QVector<double> &) { in.tresolution = 1e10; }, overflow);
        row("temperature overflows", [](FluxInput &in, QVector<double> &) { in.T178 = 1e308; }, overflow);
    }

    void errors()
    {
        QFETCH(Change, change);
        FluxInput in = guideInput();
        QVector<double> x = guideProfile();
        change(in, x);
        const FluxCalculation calculation = calculateFlux(in, x);
        QVERIFY(!calculation.ok);
        QFETCH(QString, errorEnd);
        QVERIFY2(calculation.error.endsWith(errorEnd), qPrintable(calculation.error));
    }

    void resultDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::newRow("250") << 250.0 << 1;
        QTest::newRow("37.5") << 37.5 << 2;
        QTest::newRow("0.01") << 0.01 << 3;
        QTest::newRow("5e-8") << 5e-8 << 9;
        QTest::newRow("1e-9") << 1e-9 << 8;
    }

    void resultDecimals()
    {
        QFETCH(double, value);
        QTEST(::resultDecimals(value), "decimals");
    }

    void integralSnrOfRange()
    {
        const QVector<double> x{1, 2, 10, 20, 10, 2, 1, 0, -1, -5};
        const IntegralSnr snr = integralSnr(x, 5, 1);
        QVERIFY(snr.valid);
        QCOMPARE(QVector<int>({snr.lo, snr.hi, snr.nPeak}), QVector<int>({1, 5, 4}));
        QCOMPARE(snr.maxSnr, 20.0);
        QCOMPARE(snr.peakSnr, 4.0);    // (10 + 20 + 10) / 10: the ends are not counted
        QCOMPARE(snr.fullSnr, 4.0);    // 40 / 10
        const QString line = integralSnrClipboardLine(snr, QStringLiteral("J0332+5434 (B0329+54)"), "2026.07.16");
        QCOMPARE(line, QStringLiteral("J0332+5434,  date=2026.07.16:  max_snr=20.00  sum_snr=4.0000  np=10\n"));
        QVERIFY(integralSnrReportText(snr, line).endsWith(line));

        const IntegralSnr clamped = integralSnr(x, -7, 400);
        QCOMPARE(qMakePair(clamped.lo, clamped.hi), qMakePair(0, 9));
        QVERIFY(!integralSnr({}, 0, 3).valid);
        const IntegralSnr huge = integralSnr({1e300, 1e300, 1e300, qInf()}, 0, 3);
        QVERIFY(std::isfinite(huge.fullSnr) && std::isfinite(huge.peakSnr));
    }

    void siteDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("delta");   // invalid: unknown
        QTest::addColumn<QString>("fields");   // sens, n0, cosine off/on/unchanged, cos text, N text
        QTest::newRow("N1") << "p2026.07.16_dm27_p0.7145_N1_m3_r5.txt" << QVariant(60.0) << "0.23|16348|off|1|16348";
        // Truncated: cos 60 degrees is a hair above 0.5.
        QTest::newRow("N4, delta 60") << "p2026.07.16_dm27_p0.7145_N4.txt" << QVariant(60.0)
                                      << "0.58|65536|on|0.5000|131071";
        QTest::newRow("N4, delta unknown") << "p2026.07.16_dm27_p0.7145_N4.txt" << QVariant() << "0.58|65536|unchanged||";
        QTest::newRow("N4 at the pole") << "p2026.07.16_dm27_p0.7145_N4.txt" << QVariant(90.0) << "0.58|65536|on|0.0000|";
        QTest::newRow("no site") << "p2026.07.16_dm27_p0.7145.txt" << QVariant(60.0) << "||off|1|5000";
    }

    void siteDefaults()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, delta);
        const FluxSiteDefaults defaults = fluxSiteDefaults(
            name, QStringLiteral("5000"), delta.isValid() ? std::optional<double>(delta.toDouble()) : std::nullopt);
        const QString cosine = defaults.cosine == FluxSiteDefaults::Cosine::On    ? QStringLiteral("on")
                             : defaults.cosine == FluxSiteDefaults::Cosine::Off ? QStringLiteral("off")
                                                                                : QStringLiteral("unchanged");
        QTEST(QStringList({defaults.sens, defaults.n0, cosine, defaults.cosText, defaults.nText}).join('|'), "fields");
    }
};

QTEST_APPLESS_MAIN(TestFluxCalculator)
#include "tst_fluxcalculator.moc"
