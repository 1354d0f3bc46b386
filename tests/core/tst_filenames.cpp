#include "astro/beamtables.h"
#include "astro/filenames.h"
#include "astro/timecoords.h"

#include <QRandomGenerator>
#include <QtTest>

// Metadata read from observation and profile file names.
class TestFileNames : public QObject
{
    Q_OBJECT

private slots:
    void date_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("date");
        QTest::newRow("plain") << "250726_00.pnt" << "2026.07.25";
        // No validation: the characters are rearranged as they stand.
        QTest::newRow("not a date") << "999999_x.pnt" << "2099.99.99";
    }

    void date()
    {
        QFETCH(QString, name);
        QFETCH(QString, date);
        QCOMPARE(dateFromFileName(name), date);
    }

    void plosh_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("plosh");
        QTest::newRow("directory ending _N1/") << "/data/B0329_N1/" << "N1";
        QTest::newRow("name _N2_") << "250726_N2_00.pnt" << "N2";
        QTest::newRow("only N3") << "250726_N3_00.pnt" << "";
        QTest::newRow("directory part") << "/data/N0/250726_00.pnt" << "N0";
        QTest::newRow("unknown trailing then known inside") << "/x_N2_y/obs_N3" << "N2";
        QTest::newRow("lower case") << "/data/250726_n1_00.pnt" << "";
        QTest::newRow("N3 separated then name N1.") << "/a/N3/b_N1.txt" << "N1";
    }

    void plosh()
    {
        QFETCH(QString, path);
        QFETCH(QString, plosh);
        QCOMPARE(ploshFromPath(path), plosh);
    }

    void moduleRay_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("ray");
        QTest::addColumn<QString>("tag");
        QTest::newRow("leading zero") << "250726_N1_m03_r5.pnt" << true << 3 << 5 << "_m03_r5";
        QTest::newRow("first match wins") << "x_m1_r2_m3_r4" << true << 1 << 2 << "_m1_r2";
        QTest::newRow("three digit module") << "x_m123_r4" << false << 0 << 0 << "";
        QTest::newRow("no ray") << "x_m3.pnt" << false << 0 << 0 << "";
        QTest::newRow("ray overflows") << "x_m3_r99999999999" << false << 0 << 0 << "_m3_r99999999999";
    }

    void moduleRay()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(int, module);
        QFETCH(int, ray);
        QFETCH(QString, tag);
        int m = -1, r = -1;
        QCOMPARE(moduleRayFromFileName(name, &m, &r), found);
        QCOMPARE(qMakePair(m, r), found ? qMakePair(module, ray) : qMakePair(-1, -1));
        QCOMPARE(moduleRayTag(name), tag);
    }

    void alphaDelta_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("alpha");
        QTest::addColumn<QString>("delta");
        QTest::addColumn<QString>("jName");
        QTest::newRow("negative with d") << "250726_053431_d-052200_m3_r5_N2.txt" << true << "05:34:31" << "-05:22:00"
                                         << "J0534-0522";
        QTest::newRow("positive without d") << "p_053431_220052_m1_r1.txt" << true << "05:34:31" << "22:00:52"
                                            << "J0534+2200";
        QTest::newRow("five digit alpha") << "250726_05343_d220052_m1_r1.txt" << false << "" << "" << "";
        QTest::newRow("no module") << "053431_d220052.txt" << false << "" << "" << "";
        QTest::newRow("seven digit delta") << "053431_d2200521_m1_r1" << false << "" << "" << "";
    }

    void alphaDelta()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QFETCH(QString, alpha);
        QFETCH(QString, delta);
        QFETCH(QString, jName);
        QString a = QStringLiteral("unset");
        QString d = QStringLiteral("unset");
        QCOMPARE(alphaDeltaFromFileName(name, &a, &d), found);
        QCOMPARE(a + d, found ? alpha + delta : QStringLiteral("unsetunset"));
        QCOMPARE(alphaFromFileName(name), alpha);
        QCOMPARE(jNameFromFileName(name), jName);
    }

    void delta_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("delta");
        QTest::newRow("pair") << "250726_053431_d-052200_m3_r5_N2.txt" << "-05:22:00";
        QTest::newRow("long delta, second rule") << "250726_053431_d2200521_m1_r1_N1.txt" << "22:00:21";
        QTest::newRow("no alpha, second rule") << "x123456_d-2200521_m1_r1_N1.txt" << "-22:00:21";
        QTest::newRow("five digit alpha, beam table") << "250726_05343_d-220052_m1_r1_N1.txt" << "42:10:47";
        // The five digits after the date are taken for a declination, too short for one.
        QTest::newRow("five digit alpha without delta") << "250726_05343_m3_r5_N0.txt" << "";
        QTest::newRow("short delta, second rule gives nothing") << "250726_053431_d-2200_m1_r1_N1.txt" << "";
        QTest::newRow("beam table N0") << "250726_m3_r5_N0.txt" << "53:39:53";
        QTest::newRow("unknown beam") << "250726_N0_m1_r1.pnt" << "";
        QTest::newRow("nothing") << "readme.txt" << "";
    }

    void delta()
    {
        QFETCH(QString, name);
        QFETCH(QString, delta);
        QCOMPARE(deltaFromFileName(name), delta);
    }

    void tresolution_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("plosh");
        QTest::addColumn<QString>("text");
        QTest::newRow("N4 short") << "250726_short_N4.pnt" << "N4" << "0.003072";
        QTest::newRow("N1 short") << "250726_N1_short.pnt" << "N1" << "0.0999424";
        QTest::newRow("unknown") << "250726_short.pnt" << "N3" << "";
        QTest::newRow("empty") << "250726.pnt" << "" << "";
    }

    void tresolution()
    {
        QFETCH(QString, name);
        QFETCH(QString, plosh);
        QFETCH(QString, text);
        QCOMPARE(defaultTresolutionText(name, plosh), text);
    }

    void cosSuffix()
    {
        QVERIFY(hasCosSuffix(QStringLiteral("250726_cos.txt")));
        QVERIFY(hasCosSuffix(QStringLiteral("x_cos_y")));
        QVERIFY(!hasCosSuffix(QStringLiteral("250726cos.txt")));
        QVERIFY(!hasCosSuffix(QStringLiteral("250726_COS.txt")));
    }

    void generatedNamesRoundTrip()
    {
        // Names written from known parts give those parts back.
        QRandomGenerator rng(3);
        const QString ploshes[] = {QStringLiteral("N0"), QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N4")};
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        for (int k = 0; k < 3000; ++k) {
            const QDate date(2000 + rng.bounded(60), 1 + rng.bounded(12), 1 + rng.bounded(28));
            const QString plosh = ploshes[rng.bounded(4)];
            const int module = 1 + rng.bounded(20);
            const int ray = 1 + rng.bounded(8);
            const int ah = rng.bounded(24), am = rng.bounded(60), as = rng.bounded(60);
            const int dd = rng.bounded(90), dm = rng.bounded(60), ds = rng.bounded(60);
            const bool south = rng.bounded(2) == 1;
            const QString alpha = two(ah) + two(am) + two(as);
            const QString delta = two(dd) + two(dm) + two(ds);
            const QString name = date.toString(QStringLiteral("ddMMyy")) + QLatin1Char('_') + alpha + QStringLiteral("_d")
                    + (south ? QStringLiteral("-") : QString()) + delta + QStringLiteral("_m%1_r%2_").arg(module).arg(ray)
                    + plosh + QStringLiteral(".txt");
            QCOMPARE(dateFromFileName(name), date.toString(QStringLiteral("yyyy.MM.dd")));
            QCOMPARE(ploshFromPath(QStringLiteral("/obs/") + name), plosh);
            int m = 0, r = 0;
            QVERIFY(moduleRayFromFileName(name, &m, &r));
            QCOMPARE(qMakePair(m, r), qMakePair(module, ray));
            const QString alphaText = QStringLiteral("%1:%2:%3").arg(two(ah), two(am), two(as));
            const QString deltaText = (south ? QStringLiteral("-") : QString())
                    + QStringLiteral("%1:%2:%3").arg(two(dd), two(dm), two(ds));
            QCOMPARE(alphaFromFileName(name), alphaText);
            QCOMPARE(deltaFromFileName(name), deltaText);
            QCOMPARE(jNameFromFileName(name), QStringLiteral("J%1%2%3%4%5").arg(two(ah), two(am),
                     south ? QStringLiteral("-") : QStringLiteral("+"), two(dd), two(dm)));

            // Without the coordinates, the delta comes from the beam tables.
            const QString bare = date.toString(QStringLiteral("ddMMyy")) + QStringLiteral("_m%1_r%2_").arg(module).arg(ray)
                    + plosh + QStringLiteral(".pnt");
            QCOMPARE(deltaFromFileName(bare), beamDeclinationText(module, ray, plosh));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
