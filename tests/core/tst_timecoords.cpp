#include "astro/timecoords.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

using Conversion = std::function<QString(const QString &)>;
Q_DECLARE_METATYPE(Conversion)

namespace {

constexpr double degree = 3.14159265358979 / 180.0;

QDateTime utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

// Seconds of an alpha text, for arithmetic in the checks below.
double seconds(const QString &text)
{
    double value = -1;
    if (!parseAlphaSeconds(text, &value))
        return -1;
    return value;
}

// Text of an alpha given in seconds (wrapped into one day), with the given decimals.
QString finerText(double value, int decimals)
{
    double s = std::fmod(value, 86400.0);
    if (s < 0)
        s += 86400.0;
    const int whole = int(std::floor(s));
    const QString secondsText = QString::number(s - whole + whole % 60, 'f', decimals);
    return QStringLiteral("%1:%2:%3")
            .arg(whole / 3600, 2, 10, QLatin1Char('0'))
            .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(secondsText.rightJustified(decimals > 0 ? decimals + 3 : 2, QLatin1Char('0')));
}

} // namespace

// Time scales, alpha of a sample point and its inverse, sexagesimal texts.
class TestTimeCoords : public QObject
{
    Q_OBJECT

private slots:
    void pointTimes()
    {
        const QDateTime start = utc(2026, 7, 25, 23, 59, 59);
        // 100 * 0.0124928 s = 1249.28 ms -> 1249 ms; 1040 points -> 12992.512 -> 12993 ms.
        QCOMPARE(samplePointTime(start, 100, 0.0124928), start.addMSecs(1249));
        QCOMPARE(samplePointTime(start, 1040, 0.0124928), start.addMSecs(12993));
        QVERIFY(!samplePointTime(QDateTime(), 1, 0.0125).isValid());

        const QDateTime begin = beginDateTimeOfPoint(QStringLiteral("2026.07.25"), QStringLiteral("23:59:59.500"), 80, 0.0125);
        QCOMPARE(begin, utc(2026, 7, 26, 0, 0, 0, 500));
        // A time text with a fraction that is not three digits falls back to whole seconds.
        QCOMPARE(beginDateTimeOfPoint(QStringLiteral("2026.07.25"), QStringLiteral("10:00:00.5"), 0, 0.0125),
                 utc(2026, 7, 25, 10, 0, 0));
        // Whole-millisecond intervals add exactly.
        QCOMPARE(samplePointTime(start, 4999999, 0.002), start.addMSecs(9999998));
    }

    // The text parsers, each result shown as text ("" for a refusal).
    void parsers_data()
    {
        QTest::addColumn<Conversion>("convert");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const Conversion date = passportDateToInternal, time = normalizeTimeText, six = expandSixDigits;
        const Conversion alpha = [](const QString &t) {
            double v = -7;
            return parseAlphaSeconds(t, &v) ? QString::number(v, 'g', 12) : QString();
        };
        const Conversion dec = [](const QString &t) {
            double v = 99;
            return parseDeclination(t, &v) ? QString::number(v / degree, 'g', 12) : QString();
        };
        const Conversion fixed = [](const QString &t) { return QString::number(parseSexagesimalFixed(t), 'g', 12); };
        const Conversion jName = [](const QString &t) { return pulsarJName(t.section(' ', 0, 0), t.section(' ', 1)); };
        const Conversion start = [](const QString &t) {
            return observationStart(t.section(' ', 0, 0), t.section(' ', 1)).toString(Qt::ISODateWithMs);
        };
        const Conversion zone = [](const QString &t) {
            const QStringList p = t.split(' ');
            return QString::number(timeZoneHours(p.value(0), p.value(1), p.value(2), p.value(3)));
        };
        const Conversion format = [](const QString &t) -> QString {
            return formatSexagesimal(t.toDouble()) + ' ' + formatDegreesText(t.toDouble());
        };
        const Conversion decimals = [](const QString &t) { return QString::number(autoAlphaDecimals(t.toDouble())); };
        QTest::newRow("start") << start << "2026.07.25 12:34:56.789" << "2026-07-25T12:34:56.000Z";
        QTest::newRow("zone half up") << zone << "2026.07.25 15:30:00 2026.07.25 12:00:00" << "4";
        QTest::newRow("format nan") << format << "nan" << " ";
        QTest::newRow("decimals N1") << decimals << "0.0124928" << "3";
        QTest::newRow("decimals zero") << decimals << "0" << "0";
        QTest::newRow("decimals tiny") << decimals << "1e-12" << "6";
        QTest::newRow("date internal form") << date << "2026.07.25" << "";
        QTest::newRow("alpha last second") << alpha << "23:59:59.999" << "86399.999";
        QTest::newRow("alpha blanks inside") << alpha << "12: 30 : 05" << "45005";
        QTest::newRow("alpha 24h") << alpha << "24:00:00" << "";
        QTest::newRow("alpha 60 minutes") << alpha << "12:60:00" << "";
        QTest::newRow("alpha empty part") << alpha << "12::00" << "";
        QTest::newRow("alpha negative seconds") << alpha << "01:00:-1" << "";
        QTest::newRow("dec blanks") << dec << "-12 30 00" << "-12.5";
        QTest::newRow("dec pole") << dec << "90" << "90";
        QTest::newRow("dec beyond by seconds") << dec << "90:00:01" << "";
        QTest::newRow("dec 60 minutes") << dec << "45:60:00" << "";
        QTest::newRow("dec two parts") << dec << "45:30" << "";
        QTest::newRow("dec blank") << dec << "   " << "";
        QTest::newRow("fixed negative") << fixed << "-05:22:00" << "-5.36666666667";
        QTest::newRow("fixed short") << fixed << "12:30:3" << "0";
        QTest::newRow("time unicode digits") << time << QString::fromUtf8("\u0661\u0660:20:30") << "";
        QTest::newRow("six digits") << six << "053431" << "05:34:31";
        QTest::newRow("J name short delta") << jName << "05:34:31 -5:10:00" << "";
    }

    void parsers()
    {
        QFETCH(Conversion, convert);
        QFETCH(QString, text);
        QTEST(convert(text), "expected");
    }

    void alphaAdvancesAtSiderealRate()
    {
        // Within one UTC day alpha advances by the sidereal rate times the elapsed
        // time; only the alpha-dependent precession term may bend it, by at most
        // twice n * tan(delta) * years, delta itself moved by up to n * years.
        QRandomGenerator rng(23);
        for (int k = 0; k < 500; ++k) {
            const int year = 2000 + rng.bounded(40);
            const QDateTime start = utc(year, 1 + rng.bounded(12), 1 + rng.bounded(28), 0, rng.bounded(60),
                                        rng.bounded(60));
            const double delta = (rng.generateDouble() * 80 - 10) * degree;
            const double tres = 0.0124928;
            const double p0 = rng.bounded(1000000);
            const double p1 = p0 + rng.bounded(3000000);
            const double a0 = seconds(alphaTextAtPoint(start, tres, delta, p0, 6));
            const double a1 = seconds(alphaTextAtPoint(start, tres, delta, p1, 6));
            double difference = std::fmod(a1 - a0 + 86400, 86400) - std::fmod((p1 - p0) * tres * 1.002737909, 86400);
            difference = std::remainder(difference, 86400.0);
            const double years = year - 2000 + 2;
            const double n = 9.890199094634522e-5;
            const double bend = 2 * n * std::tan(std::fabs(delta) + n * years) * years * 43200 / 3.14159265358979;
            QVERIFY2(std::fabs(difference) < bend + 2e-3, qPrintable(QString::number(difference)));
            // Alpha itself stays within minutes of the local sidereal time: Greenwich plus the longitude.
            const double lst = std::fmod(greenwichSiderealHours(start) + 2.508666666666667, 24.0) * 3600;
            QVERIFY(std::fabs(std::remainder(a0 - p0 * tres * 1.002737909 - lst, 86400.0)) < 600);
        }
    }

    void badArguments()
    {
        const QDateTime start = utc(2026, 7, 25, 8, 0, 0);
        QVERIFY(!alphaTextAtPoint(start, 0.0125, 0.5, 0, 3).isEmpty());
        // No start, no interval, no declination, no finite point; the pole,
        // where cos(delta) vanishes.
        QVERIFY(alphaTextAtPoint(QDateTime(), 0.0125, 0.5, 0, 3).isEmpty());
        QVERIFY(alphaTextAtPoint(start, -0.0125, 0.5, 0, 3).isEmpty());
        for (double delta : {std::nan(""), 3.14159265358979 / 2})
            QVERIFY(alphaTextAtPoint(start, 0.0125, delta, 0, 3).isEmpty());
        for (double point : {HUGE_VAL, 1e300})
            QVERIFY(alphaTextAtPoint(start, 0.0125, 0.5, point, 3).isEmpty());

        int found = -5;
        QCOMPARE(findPointForAlpha(start, 0.0125, 0.5, QStringLiteral("01:00:00"), 0, 10, 3, nullptr), AlphaNotFound);
        QCOMPARE(findPointForAlpha(start, 0.0125, 0.5, QStringLiteral("01:00:00"), 10, 9, 3, &found), AlphaNotFound);
        QCOMPARE(findPointForAlpha(start, 0.0125, 0.5, QStringLiteral("01:00"), 0, 10, 3, &found), AlphaTextInvalid);
        QCOMPARE(findPointForAlpha(QDateTime(), 0.0125, 0.5, QStringLiteral("01:00:00"), 0, 10, 3, &found), AlphaNotFound);
        QCOMPARE(found, -5);
        // A single-point range finds that point for its own text.
        const QString own = alphaTextAtPoint(start, 0.0125, 0.5, 7, 3);
        QCOMPARE(findPointForAlpha(start, 0.0125, 0.5, own, 7, 7, 3, &found), AlphaFound);
        QCOMPARE(found, 7);
        // The largest point numbers: the neighbours looked at stay inside the range.
        const int top = std::numeric_limits<int>::max();
        const QString last = alphaTextAtPoint(start, 0.00001, 0.5, top, 6);
        QCOMPARE(findPointForAlpha(start, 0.00001, 0.5, last, top - 20, top, 6, &found), AlphaFound);
        QCOMPARE(found, top);
    }

    void findInvertsAlphaText()
    {
        // For every point of generated ranges, the point found for its own alpha text
        // shows that text and is the point itself or an earlier neighbour with the same text.
        QRandomGenerator rng(2026);
        const double tresolutions[] = {0.0124928, 0.0999424, 0.003072};
        int crossing = 0;
        int nearer = 0;
        for (int range = 0; range < 24; ++range) {
            const double tres = tresolutions[range % 3];
            const int decimals = range % 4 == 3 ? autoAlphaDecimals(tres) - 1 : autoAlphaDecimals(tres);
            const double delta = (rng.generateDouble() * 80 - 5) * degree;
            // Every fourth range starts just before alpha 0h so that it crosses it;
            // in February that happens near noon UTC, far from a change of date.
            QDateTime start = utc(2001 + rng.bounded(50), range % 4 == 0 ? 2 : 1 + rng.bounded(12),
                                  1 + rng.bounded(28), 1, 0, 0);
            const int first = rng.bounded(1000);
            const int last = first + 1500 + rng.bounded(1500);
            if (range % 4 == 0) {
                const double a = seconds(alphaTextAtPoint(start, tres, delta, 0, 0));
                start = start.addSecs(qint64((86400 - a) / 1.002737909 - (first + last) / 2 * tres));
            }
            const double a0 = seconds(alphaTextAtPoint(start, tres, delta, first, decimals));
            const double a1 = seconds(alphaTextAtPoint(start, tres, delta, last, decimals));
            if (a1 < a0)
                ++crossing;
            // Within half a unit of the last shown digit beyond either end: that end;
            // further out: not found.
            const double unit = std::pow(10.0, -decimals);
            int end = -1;
            QCOMPARE(findPointForAlpha(start, tres, delta, finerText(a0 - 0.4 * unit, decimals + 1), first, last,
                                       decimals, &end), AlphaFound);
            QCOMPARE(end, first);
            QCOMPARE(findPointForAlpha(start, tres, delta, finerText(a1 + 0.4 * unit, decimals + 1), first, last,
                                       decimals, &end), AlphaFound);
            QCOMPARE(end, last);
            QCOMPARE(findPointForAlpha(start, tres, delta, finerText(a0 - 0.6 * unit, decimals + 1), first, last,
                                       decimals, &end), AlphaNotFound);
            QCOMPARE(findPointForAlpha(start, tres, delta, finerText(a1 + 0.6 * unit, decimals + 1), first, last,
                                       decimals, &end), AlphaNotFound);
            // A target between two points' finer texts goes to the nearer one.
            const double s100 = seconds(alphaTextAtPoint(start, tres, delta, first + 100, decimals + 1));
            const double s101 = seconds(alphaTextAtPoint(start, tres, delta, first + 101, decimals + 1));
            if (s101 > s100 + 2 * unit) {
                for (const auto &[part, expected] : {qMakePair(0.25, first + 100), qMakePair(0.75, first + 101)}) {
                    QCOMPARE(findPointForAlpha(start, tres, delta, finerText(s100 + part * (s101 - s100), decimals + 2),
                                               first, last, decimals + 1, &end), AlphaFound);
                    QCOMPARE(end, expected);
                }
                ++nearer;
            }
            for (int p = first; p <= last; ++p) {
                const QString text = alphaTextAtPoint(start, tres, delta, p, decimals);
                int found = -1;
                QCOMPARE(findPointForAlpha(start, tres, delta, text, first, last, decimals, &found), AlphaFound);
                if (found != p) {
                    QVERIFY2(found < p && found >= p - 2, qPrintable(QStringLiteral("%1 -> %2").arg(p).arg(found)));
                    QCOMPARE(alphaTextAtPoint(start, tres, delta, found, decimals), text);
                }
            }
        }
        QVERIFY(crossing >= 5 && nearer > 0);
    }
};

QTEST_GUILESS_MAIN(TestTimeCoords)
#include "tst_timecoords.moc"
