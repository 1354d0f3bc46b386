#include "astro/beamtables.h"
#include "astro/timecoords.h"

#include <QtTest>

// Beam and site tables: lookups at and beyond their edges, formatting, and
// the consistency of the tables with each other.
class TestBeamTables : public QObject
{
    Q_OBJECT

private slots:
    void declination_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("ray");
        QTest::addColumn<QString>("plosh");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("text");
        QTest::newRow("N1 m1 r1, truncated seconds") << 1 << 1 << "N1" << 42.18 << "42:10:47";
        QTest::newRow("N2 m5 r6, negative below one degree") << 5 << 6 << "N2" << -0.6 << "-00:36:00";
        // 53.665 is stored just below its decimal value, so truncation shows 53 seconds.
        QTest::newRow("N0 m3 r5") << 3 << 5 << "N0" << 53.665 << "53:39:53";
        QTest::newRow("N0 m2 absent") << 2 << 8 << "N0" << -1000.0 << "";
        QTest::newRow("N4 p20 b8") << 20 << 8 << "N4" << 52.85 << "52:51:00";
        QTest::newRow("N4 p21") << 21 << 1 << "N4" << -1000.0 << "";
        QTest::newRow("lower-case site") << 1 << 1 << "n1" << -1000.0 << "";
    }

    void declination()
    {
        QFETCH(int, module);
        QFETCH(int, ray);
        QFETCH(QString, plosh);
        QTEST(beamDeclination(module, ray, plosh), "expected");
        QTEST(beamDeclinationText(module, ray, plosh), "text");
        QCOMPARE(isKnownPlosh(plosh), plosh.size() == 2 && QStringLiteral("N0N1N2N4").contains(plosh));
    }

    // The central declination of a module is the mean of its beams, its
    // fields truncated: within one second towards zero.
    void centralMatchesMeanOfBeams()
    {
        for (const QString &plosh : {QStringLiteral("N0"), QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N4")}) {
            for (int module = 1; module <= 20; ++module) {
                double sum = 0;
                bool complete = true;
                for (int ray = 1; ray <= 8; ++ray) {
                    const double value = beamDeclination(module, ray, plosh);
                    complete = complete && value > -100;
                    sum += value;
                }
                const QString text = centralDeclinationText(module, plosh);
                QCOMPARE(text.isEmpty(), !complete);
                if (complete) {
                    const double shown = std::fabs(parseSexagesimalFixed(text));
                    const double mean = std::fabs(sum / 8);
                    QCOMPARE(text.startsWith(QLatin1Char('-')), sum < 0);
                    QVERIFY2(mean - shown >= -1e-9 && mean - shown < 1.0 / 3600 + 1e-9, qPrintable(text));
                }
            }
        }
        QCOMPARE(centralDeclinationText(1, QStringLiteral("X1")), QString());
    }
};

QTEST_GUILESS_MAIN(TestBeamTables)
#include "tst_beamtables.moc"
