#include "astro/profileview.h"
#include "astro/seriesstats.h"
#include "data/profiletable.h"
#include "tests/support/profilefixture.h"

#include <QtTest>

#include <algorithm>
#include <climits>

// What the single graph and the thumbnail table of the profiles module show:
// averaged and centred values, fixed ranges, captions, the window limit, the
// table of a date and where the suggested image goes.
class TestProfileView : public QObject
{
    Q_OBJECT

private slots:
    void movingAverageWindow_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("averaged");
        QTest::newRow("0: none") << 0 << false;
        QTest::newRow("1: listed, values unchanged") << 1 << false;
        QTest::newRow("4") << 4 << true;
    }

    // The range stays that of the raw values, so that averaging keeps the scale.
    void movingAverageWindow()
    {
        QFETCH(int, window);
        QFETCH(bool, averaged);
        const QVector<double> raw{0, 0, 10, 0, 0, -2, 0, 0};
        const ProfileView view = profileView(raw, window, false);
        QCOMPARE(view.values, averaged ? movingAverage(raw, window) : raw);
        QCOMPARE(view.rangeFixed, window >= 1);
        if (view.rangeFixed)
            QCOMPARE(qMakePair(view.range.min, view.range.max), qMakePair(-2.6, 10.6));
        ProfileCaption caption;
        std::tie(caption.window, caption.showDate, caption.date) = std::make_tuple(window, true, "2026.07.16");
        const QStringList legend = profileLegendLines(caption);
        QCOMPARE(legend.last(), caption.date);
    }

    void maxToCenter_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<QVector<double>>("centred");
        QTest::newRow("8 points, maximum at 1") << QVector<double>{0, 9, 1, 2, 3, 4, 5, 6}
                                                << QVector<double>{4, 5, 6, 0, 9, 1, 2, 3};
        QTest::newRow("first of two maxima") << QVector<double>{5, 1, 5, 1} << QVector<double>{5, 1, 5, 1};
        QTest::newRow("one point") << QVector<double>{4} << QVector<double>{4};
        QTest::newRow("empty") << QVector<double>{} << QVector<double>{};
    }

    void maxToCenter()
    {
        QFETCH(QVector<double>, values);
        QFETCH(QVector<double>, centred);
        QCOMPARE(rotateMaxToCenter(values), centred);
        const ProfileView view = profileView(values, 0, true);
        QCOMPARE(view.values, centred);
        QCOMPARE(view.maximumIndex, values.isEmpty() ? -1 : firstMaximumIndex(centred));
    }

    void windowLimit_data()
    {
        QTest::addColumn<double>("period");
        QTest::addColumn<double>("tresolution");
        QTest::addColumn<int>("maximum");
        QTest::newRow("ratio exactly 1") << 0.2 << 0.1 << 0;
        QTest::newRow("no time resolution") << 1.0 << 0.0 << INT_MAX;
        QTest::newRow("not a number") << qQNaN() << 0.1 << 0;
    }

    void windowLimit()
    {
        QFETCH(double, period);
        QFETCH(double, tresolution);
        QTEST(maxAverageWindow(period, tresolution), "maximum");
    }

    // Two DMs of one date, three periods, the second DM's file without the
    // middle period.
    void tableOfTwoDmsAndThreePeriods()
    {
        QTemporaryDir dir;
        ProfileWriter::Params params;
        std::tie(params.date, params.phasePoints, params.snr) = std::make_tuple(QDate(2026, 7, 16), 64, 20.0);
        params.periods = {0.714517, 0.714519, 0.714521};
        ProfileWriter::Params second = params, otherDate = params;
        second.dm = 23;
        second.periods = {0.714521, 0.714517};
        std::tie(otherDate.date, otherDate.dm) = std::make_tuple(QDate(2026, 7, 17), 40);
        for (const ProfileWriter::Params &p : {params, second, otherDate})
            QVERIFY(!profilefixture::writeGenerated(dir.path(), p).isEmpty());
        const ProfileScanResult scan = scanProfileDirectory(dir.path());
        QVERIFY(scan.ok);

        const int window = 3;
        const ProfileTable table = ProfileTable::build(scan.set, QStringLiteral("2026.07.16"), window, true);
        QCOMPARE(table.dispersions(), QStringList({"23", "27"}));
        QCOMPARE(table.periods(), QStringList({"0.714517", "0.714519", "0.714521"}));

        double low = 1e300, high = -1e300;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 2; ++column) {
                const ProfileTable::Cell &cell = table.cell(row, column);
                QCOMPARE(cell.present, !(row == 1 && column == 0));
                QCOMPARE(table.legendLines(row, column, true).size(), cell.present ? 4 : 2);
                if (!cell.present)
                    continue;
                const ProfileWriter::Params &p = column == 0 ? second : params;
                const double period = table.periods().at(row).toDouble();
                const QVector<double> expected = rotateMaxToCenter(movingAverage(profilefixture::writtenValues(p, period), window));
                QCOMPARE(cell.values, expected);
                low = std::min(low, *std::min_element(expected.begin(), expected.end()));
                high = std::max(high, *std::max_element(expected.begin(), expected.end()));
            }
        }
        QCOMPARE(qMakePair(table.range().min, table.range().max),
                 qMakePair(paddedValueRange(low, high).min, paddedValueRange(low, high).max));
        QVERIFY(table.rangeContainsZero() && !table.cell(3, 0).present);
    }

    void tableErrors_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("error");
        QTest::newRow("no date") << "" << "Select a date.";
        QTest::newRow("date not in the set") << "2020.01.01" << "No dispersions for selected date.";
        QTest::newRow("files without periods") << "2021.01.01" << "No periods for selected date.";
    }

    void tableErrors()
    {
        QFETCH(QString, date);
        QTemporaryDir dir;
        const QString path = profilefixture::writeFile(dir.path(), QStringLiteral("p2021.01.01_dm3_p1.txt"), "1 2 3\n");
        const ProfileTable table = ProfileTable::build({{"2021.01.01", "3", "1", path}}, date, 0, false);
        QVERIFY(!table.isValid());
        QTEST(table.error(), "error");
    }

    // A pulsar name never moves the suggested image out of the last save directory.
    void imageFileNameStaysInItsDirectory()
    {
        for (const bool oneGraph : {true, false}) {
            const QString name = profileImageFileName(QStringLiteral("../x/y"), QStringLiteral("_m03_r5"), oneGraph,
                                                      QStringLiteral("0.714519"), QStringLiteral("27"),
                                                      QStringLiteral("2026.07.16"), QStringLiteral("/home/o/pictures"));
            QCOMPARE(QFileInfo(name).path(), QStringLiteral("/home/o/pictures"));
        }
    }
};

QTEST_GUILESS_MAIN(TestProfileView)
#include "tst_profileview.moc"
