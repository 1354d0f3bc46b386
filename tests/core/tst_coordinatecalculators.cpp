#include "astro/catalogtokvx.h"
#include "astro/filenames.h"
#include "astro/kvxtocatalog.h"

#include <QtTest>

#include <cmath>

namespace {

double alphaSeconds(const QString &text)
{
    double seconds = -1e9;
    parseAlphaSeconds(text, &seconds);
    return seconds;
}

double daySecondsApart(double a, double b)
{
    return std::fabs(std::remainder(a - b, 86400.0));
}

QString degreesText(double radians)
{
    return QString::number(radians * 180.0 / programPi, 'f', 10);
}

KvxToCatalogResult kvxAt(const QDateTime &telescopeTime, double deltaOfDate, const QString &tres)
{
    return kvxToCatalog({telescopeTime.toString(QStringLiteral("dd.MM.yyyy")),
                         telescopeTime.toString(QStringLiteral("hh:mm:ss.zzz")), QString(), degreesText(deltaOfDate),
                         tres, KvxTimeField::Time});
}

} // namespace

// "From catalog to KVX" and "From KVX to catalog": round trips between them
// at the ends of a telescope day and of an hour, the tie of time and point
// and the input errors.
class TestCoordinateCalculators : public QObject
{
    Q_OBJECT

private slots:
    void passagesAtTheEndsOfTheDay_data()
    {
        // A sidereal day is 23:56:04.09 of telescope time: a source that passes
        // before 00:03:55.9 passes again before midnight.
        QTest::addColumn<QTime>("firstPassage");
        QTest::addColumn<int>("passages");
        QTest::newRow("00:03:50, twice") << QTime(0, 3, 50) << 2;
        // The second passage would be at 24:00:01, on the next day.
        QTest::newRow("00:03:57, once") << QTime(0, 3, 57) << 1;
        // The end of hour 04 reaches into hour 05: the passage is found in both
        // hour files and counted once, in the file that holds it.
        QTest::newRow("just after a whole hour") << QTime(5, 0, 0, 500) << 1;
    }

    void passagesAtTheEndsOfTheDay()
    {
        QFETCH(QTime, firstPassage);
        QFETCH(int, passages);
        const QDateTime at(QDate(2021, 3, 1), firstPassage, Qt::UTC);
        const double kvxDelta = 45.5 * programPi / 180.0;
        const KvxToCatalogResult place = kvxAt(at, kvxDelta, QStringLiteral("0.0124928"));
        QVERIFY(place.errors.isEmpty());
        const QString alpha = formatAlphaHours(place.j2000.alpha * 12.0 / programPi, 4);
        const CatalogToKvxResult result = catalogToKvx({alpha, degreesText(place.j2000.delta),
                                                        QStringLiteral("01.03.2021"), QStringLiteral("N0"),
                                                        QStringLiteral("0.0124928")});
        QVERIFY(result.errors.isEmpty());
        QCOMPARE(result.crossings.size(), passages);
        const KvxCrossing &first = result.crossings.first();
        QVERIFY(std::fabs(at.msecsTo(first.telescopeTime)) <= 2);
        QVERIFY(std::fabs(first.ofDate.delta - kvxDelta) < 1e-9);
        QCOMPARE(first.fileName, hourFileBaseName(at, QStringLiteral("N0")) + QStringLiteral(".pnt"));
        // The alpha the native module shows at the found point is the catalog alpha.
        const QString shown = alphaTextAtPoint(first.hourStartUtc, 0.0124928, first.ofDate.delta, first.point, 4);
        QVERIFY2(daySecondsApart(alphaSeconds(shown), alphaSeconds(alpha)) <= 0.00005 + 1e-9, qPrintable(shown));
        if (passages == 2)
            QCOMPARE(result.crossings[1].fileName.left(9), QStringLiteral("010321_23"));
        // The beam of N0 nearest to 45.5 deg: module 6, beam 1 at 45.515 deg.
        QVERIFY(result.beam.found);
        QCOMPARE(qMakePair(result.beam.module, result.beam.ray), qMakePair(6, 1));
    }

    void timeAndPointFollowEachOther_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("tres");
        QTest::addColumn<QString>("pointOfTime");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("timeOfPoint");
        // 3600 / 0.0124928 = 288165.98: the hour's last point is 288165, at 3599.988 s.
        QTest::newRow("end of the hour") << "12:59:59.999" << "0.0124928" << "288165" << "288165" << "12:59:59.988";
        QTest::newRow("past the hour") << "12:59:59.999" << "0.0124928" << "288165" << "288166" << "";
        QTest::newRow("negative point") << "05:00:00" << "0.003072" << "0" << "-1" << "";
        QTest::newRow("hour 24") << "24:00:00" << "0.003072" << "" << "1" << "";
    }

    void timeAndPointFollowEachOther()
    {
        QFETCH(QString, time);
        QFETCH(QString, tres);
        QFETCH(QString, point);
        QTEST(kvxPointForTime(time, tres), "pointOfTime");
        QTEST(kvxTimeForPoint(time, point, tres), "timeOfPoint");
    }

    void pointLeadsWhenEditedLast()
    {
        KvxToCatalogInput input{QStringLiteral("01.04.2015"), QStringLiteral("12:13:20.66"), QStringLiteral("64090"),
                                QStringLiteral("39:44:52"), QStringLiteral("0.0124928"), KvxTimeField::Time};
        const KvxToCatalogResult byTime = kvxToCatalog(input);
        input.lead = KvxTimeField::Point;
        const KvxToCatalogResult byPoint = kvxToCatalog(input);
        QVERIFY(byTime.errors.isEmpty() && byPoint.errors.isEmpty());
        QCOMPARE(byPoint.point, 64090.0);
        QCOMPARE(byPoint.telescopeTime.time(), QTime(12, 13, 20, 664));
        QVERIFY(std::fabs(byTime.point - 64089.71) < 0.01);
    }

    void inputErrors_data()
    {
        QTest::addColumn<bool>("catalog");          // else from KVX to catalog
        QTest::addColumn<QStringList>("fields");    // alpha/time, delta, date, plosh/point, tres
        QTest::addColumn<bool>("pointLeads");
        QTest::addColumn<QStringList>("errors");    // the fields the errors name, in order
        const QStringList cat{"03:23:27", "39:44:52", "01.04.2015", "N1", "0.0124928 "};
        const auto with = [](QStringList fields, int index, const QString &value) {
            fields[index] = value;
            return fields;
        };
        QTest::newRow("delta where the beam has no meridian")
            << true << with(cat, 1, "89.9") << false << QStringList{"Catalog delta"};
        QTest::newRow("all at once") << true << QStringList{"x", "", "2015-04-01", "", "-1"} << false
                                     << QStringList{"Catalog alfa", "Catalog delta", "KVX date", "Plosh", "Tresolution"};

        const QStringList kvx{"12:13:20.66", "39:44:52", "01.04.2015", "64090", "0.0124928"};
        QTest::newRow("minute 60") << false << with(kvx, 0, "12:60:00") << false << QStringList{"KVX time"};
        QTest::newRow("bad point not used while time leads") << false << with(kvx, 3, "x") << false << QStringList{};
        QTest::newRow("point past the hour") << false << with(kvx, 3, "288166") << true << QStringList{"Point number"};
        QTest::newRow("delta south pole") << false << with(kvx, 1, "-90") << false << QStringList{"KVX delta"};
        QTest::newRow("no delta") << false << with(kvx, 1, "") << false << QStringList{"KVX delta"};
    }

    void inputErrors()
    {
        QFETCH(bool, catalog);
        QFETCH(QStringList, fields);
        QFETCH(bool, pointLeads);
        QFETCH(QStringList, errors);
        const QStringList found =
            catalog ? catalogToKvx({fields[0], fields[1], fields[2], fields[3], fields[4]}).errors
                    : kvxToCatalog({fields[2], fields[0], fields[3], fields[1], fields[4],
                                    pointLeads ? KvxTimeField::Point : KvxTimeField::Time})
                          .errors;
        QCOMPARE(found.size(), errors.size());
        for (int i = 0; i < errors.size(); ++i)
            QVERIFY2(found[i].startsWith(errors[i] + QLatin1Char(':')), qPrintable(found[i]));
    }
};

QTEST_GUILESS_MAIN(TestCoordinateCalculators)
#include "tst_coordinatecalculators.moc"
