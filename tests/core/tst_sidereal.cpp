#include "astro/timecoords.h"

#include <QtTest>

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace {

// Greenwich mean sidereal time from ERFA's IAU 1982 model, in hours; UT1 taken as UTC.
double erfaSiderealHours(const QDateTime &instant)
{
    const QDateTime utc = instant.toUTC();
    const QDate date = utc.date();
    double djm0 = 0;
    double djm = 0;
    if (eraCal2jd(date.year(), date.month(), date.day(), &djm0, &djm) != 0)
        return -1;
    const double dayFraction = utc.time().msecsSinceStartOfDay() / 86400000.0;
    return eraGmst82(djm0, djm + dayFraction) * 12.0 / ERFA_DPI;
}

// Difference of two hour angles on the 24-hour circle.
double hourDifference(double a, double b)
{
    return std::remainder(a - b, 24.0);
}

} // namespace

// Greenwich sidereal time against ERFA as an independent reference.
class TestSidereal : public QObject
{
    Q_OBJECT

private slots:
    // Calendar corners (leap days, the century year 2000, ends of years and
    // months) and random instants from 1990 to 2060.
    void agreesWithErfa()
    {
        const int corners[][6] = {
            {1990, 1, 1, 0, 0, 0},   {1996, 2, 29, 23, 59, 59}, {1999, 12, 31, 23, 59, 59},
            {2000, 1, 1, 0, 0, 0},   {2000, 2, 29, 12, 0, 0},   {2000, 3, 1, 0, 0, 1},
            {2001, 3, 1, 6, 30, 0},  {2024, 12, 31, 18, 0, 0},  {2026, 7, 25, 21, 17, 3},
            {2059, 12, 31, 23, 59, 59}, {2060, 2, 29, 4, 4, 4},
        };
        QVector<QDateTime> instants;
        for (const auto &c : corners)
            instants.append(QDateTime(QDate(c[0], c[1], c[2]), QTime(c[3], c[4], c[5]), Qt::UTC));
        QRandomGenerator rng(1990);
        const qint64 from = instants.first().toMSecsSinceEpoch();
        const qint64 to = QDateTime(QDate(2060, 12, 31), QTime(23, 59, 59), Qt::UTC).toMSecsSinceEpoch();
        for (int k = 0; k < 20000; ++k)
            instants.append(QDateTime::fromMSecsSinceEpoch(from + qint64(rng.generateDouble() * double(to - from)), Qt::UTC));
        for (const QDateTime &instant : instants) {
            const double ours = greenwichSiderealHours(instant);
            const double difference = hourDifference(ours, erfaSiderealHours(instant));
            QVERIFY2(ours >= 0 && ours < 24 && std::fabs(difference) < 1e-6,
                     qPrintable(instant.toString(Qt::ISODateWithMs) + QStringLiteral(": ") + QString::number(difference)));
        }
        // Instants in other time specs count as their UTC; an invalid one gives 0.
        const QDateTime last = instants.last();
        QCOMPARE(greenwichSiderealHours(last.toOffsetFromUtc(3 * 3600)), greenwichSiderealHours(last));
        QCOMPARE(greenwichSiderealHours(QDateTime()), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestSidereal)
#include "tst_sidereal.moc"
