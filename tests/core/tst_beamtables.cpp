#include "astro/beamtables.h"
#include "astro/timecoords.h"

#include <QSet>
#include <QtTest>

// Beam and site tables: lookups, formatting and the structure of the tables.
class TestBeamTables : public QObject
{
    Q_OBJECT

private slots:
    void knownPlosh_data();
    void knownPlosh();
    void declination_data();
    void declination();
    void declinationText_data();
    void declinationText();
    void centralText_data();
    void centralText();
    void unknownPloshGivesNothing();
    void tableSizes();
    void n4Order();
    void positionCodes();
    void centralMatchesMeanOfBeams();
};

void TestBeamTables::knownPlosh_data()
{
    QTest::addColumn<QString>("plosh");
    QTest::addColumn<bool>("known");
    QTest::newRow("N0") << "N0" << true;
    QTest::newRow("N1") << "N1" << true;
    QTest::newRow("N2") << "N2" << true;
    QTest::newRow("N4") << "N4" << true;
    QTest::newRow("N3") << "N3" << false;
    QTest::newRow("lower") << "n1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("padded") << " N1" << false;
    QTest::newRow("longer") << "N10" << false;
}

void TestBeamTables::knownPlosh()
{
    QFETCH(QString, plosh);
    QFETCH(bool, known);
    QCOMPARE(isKnownPlosh(plosh), known);
}

void TestBeamTables::declination_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("ray");
    QTest::addColumn<QString>("plosh");
    QTest::addColumn<double>("expected");
    QTest::newRow("N0 m3 r5") << 3 << 5 << "N0" << 53.665;
    QTest::newRow("N0 m1 absent") << 1 << 1 << "N0" << -1000.0;
    QTest::newRow("N0 m2 absent") << 2 << 8 << "N0" << -1000.0;
    QTest::newRow("N0 m6 r8") << 6 << 8 << "N0" << 42.635;
    QTest::newRow("N0 m5 r7") << 5 << 7 << "N0" << 46.333;
    QTest::newRow("N1 m1 r1") << 1 << 1 << "N1" << 42.18;
    QTest::newRow("N1 m6 r8") << 6 << 8 << "N1" << 21.31;
    QTest::newRow("N2 m5 r6") << 5 << 6 << "N2" << -0.6;
    QTest::newRow("N2 m6 r8") << 6 << 8 << "N2" << -8.47;
    QTest::newRow("N4 p1 b1") << 1 << 1 << "N4" << 86.61;
    QTest::newRow("N4 p2 b8") << 2 << 8 << "N4" << 83.13;
    QTest::newRow("N4 p20 b8") << 20 << 8 << "N4" << 52.85;
    QTest::newRow("N4 p13 b6") << 13 << 6 << "N4" << 63.62;
    QTest::newRow("N4 p21") << 21 << 1 << "N4" << -1000.0;
    QTest::newRow("N4 p0") << 0 << 1 << "N4" << -1000.0;
    QTest::newRow("N1 m7") << 7 << 1 << "N1" << -1000.0;
    QTest::newRow("N1 m0") << 0 << 1 << "N1" << -1000.0;
    QTest::newRow("N1 r0") << 1 << 0 << "N1" << -1000.0;
    QTest::newRow("negative ray") << 1 << -1 << "N1" << -1000.0;
    for (const char *plosh : {"N0", "N1", "N2", "N4"})
        QTest::newRow(qPrintable(QStringLiteral("ray 9 at %1").arg(QLatin1String(plosh))))
                << 3 << 9 << plosh << -1000.0;
}

void TestBeamTables::declination()
{
    QFETCH(int, module);
    QFETCH(int, ray);
    QFETCH(QString, plosh);
    QFETCH(double, expected);
    QCOMPARE(beamDeclination(module, ray, plosh), expected);
}

void TestBeamTables::declinationText_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("ray");
    QTest::addColumn<QString>("plosh");
    QTest::addColumn<QString>("expected");
    QTest::newRow("truncated seconds") << 1 << 1 << "N1" << "42:10:47";
    QTest::newRow("negative below one degree") << 5 << 6 << "N2" << "-00:36:00";
    // 53.665 is stored just below its decimal value, so truncation shows 53 seconds.
    QTest::newRow("N0 m3 r5") << 3 << 5 << "N0" << "53:39:53";
    QTest::newRow("small positive") << 5 << 5 << "N2" << "00:06:17";
    QTest::newRow("whole negative") << 6 << 5 << "N2" << "-06:00:00";
    QTest::newRow("N4") << 1 << 1 << "N4" << "86:36:35";
    QTest::newRow("unknown is empty") << 1 << 1 << "N0" << "";
    QTest::newRow("unknown plosh") << 1 << 1 << "N3" << "";
}

void TestBeamTables::declinationText()
{
    QFETCH(int, module);
    QFETCH(int, ray);
    QFETCH(QString, plosh);
    QFETCH(QString, expected);
    QCOMPARE(beamDeclinationText(module, ray, plosh), expected);
}

void TestBeamTables::centralText_data()
{
    QTest::addColumn<int>("module");
    QTest::addColumn<QString>("plosh");
    QTest::addColumn<QString>("expected");
    QTest::newRow("N1 m1") << 1 << "N1" << "40:43:20";
    QTest::newRow("N0 m2 empty") << 2 << "N0" << "";
    QTest::newRow("N4 p21 empty") << 21 << "N4" << "";
    QTest::newRow("unknown plosh") << 1 << "X1" << "";
}

void TestBeamTables::centralText()
{
    QFETCH(int, module);
    QFETCH(QString, plosh);
    QFETCH(QString, expected);
    QCOMPARE(centralDeclinationText(module, plosh), expected);
}

void TestBeamTables::unknownPloshGivesNothing()
{
    for (const QString &plosh : {QStringLiteral("N3"), QStringLiteral("n1"), QString(), QStringLiteral("N5")}) {
        for (int module = -1; module <= 22; ++module) {
            for (int ray = -1; ray <= 10; ++ray) {
                QCOMPARE(beamDeclination(module, ray, plosh), unknownDeclination);
                QVERIFY(beamDeclinationText(module, ray, plosh).isEmpty());
            }
        }
    }
}

void TestBeamTables::tableSizes()
{
    const auto &beams = beamDeclinationTable();
    QCOMPARE(beams.size(), 128);
    for (auto it = beams.constBegin(); it != beams.constEnd(); ++it) {
        // Every key is well formed and its value is what the lookup returns.
        static const QRegularExpression key(QStringLiteral("^m([1-6])_r([1-8])_p([012])$"));
        const auto match = key.match(it.key());
        QVERIFY2(match.hasMatch(), qPrintable(it.key()));
        const QString plosh = QLatin1Char('N') + match.captured(3);
        QCOMPARE(beamDeclination(match.captured(1).toInt(), match.captured(2).toInt(), plosh), it.value());
        QVERIFY(plosh != QLatin1String("N0") || match.captured(1).toInt() >= 3);
    }
    QCOMPARE(positionCodeTable().size(), 20);
    QCOMPARE(n4BeamTable().size(), 160);
}

void TestBeamTables::n4Order()
{
    const auto &table = n4BeamTable();
    QCOMPARE(table.at(0).position, 1);
    QCOMPARE(table.at(0).beam, 1);
    QCOMPARE(table.at(1).position, 2);
    QCOMPARE(table.at(1).beam, 1);
    QCOMPARE(table.at(2).position, 1);
    QCOMPARE(table.at(2).beam, 2);
    QCOMPARE(table.at(15).position, 2);
    QCOMPARE(table.at(15).beam, 8);
    QCOMPARE(table.at(16).position, 3);
    QCOMPARE(table.at(16).beam, 1);
    QSet<QPair<int, int>> seen;
    for (int k = 0; k < table.size(); ++k) {
        const N4Beam &record = table.at(k);
        // Pair p covers indexes 2p+1 and 2p+2, beams in order, odd index first.
        const int pair = k / 16;
        const int within = k % 16;
        QCOMPARE(record.position, 2 * pair + 1 + within % 2);
        QCOMPARE(record.beam, within / 2 + 1);
        QVERIFY(positionCodeTable().contains(record.code));
        QCOMPARE(positionCodeTable().value(record.code).index, record.position);
        QVERIFY(record.declination > 50 && record.declination < 90);
        seen.insert(qMakePair(record.position, record.beam));
    }
    QCOMPARE(seen.size(), 160);
}

void TestBeamTables::positionCodes()
{
    const auto &codes = positionCodeTable();
    QCOMPARE(codes.value(QStringLiteral("10 1 0")).index, 1);
    QCOMPARE(codes.value(QStringLiteral("10 1 0")).centralDeclination, QStringLiteral("84:58:48"));
    QCOMPARE(codes.value(QStringLiteral("12 0 1")).index, 8);
    QCOMPARE(codes.value(QStringLiteral("12 0 1")).centralDeclination, QStringLiteral("74:45:00"));
    QCOMPARE(codes.value(QStringLiteral("15 0 1")).index, 20);
    QCOMPARE(codes.value(QStringLiteral("15 0 1")).centralDeclination, QStringLiteral("54:15:36"));
    QVERIFY(!codes.contains(QStringLiteral("15 1 0")));
    QVERIFY(!codes.contains(QStringLiteral("10 0 0")));
    static const QRegularExpression shape(QStringLiteral("^\\d\\d \\d \\d$"));
    QSet<int> indexes;
    for (auto it = codes.constBegin(); it != codes.constEnd(); ++it) {
        QVERIFY(shape.match(it.key()).hasMatch());
        QVERIFY(it.value().index >= 1 && it.value().index <= 20);
        indexes.insert(it.value().index);
        double radians = 0;
        QVERIFY(parseDeclination(it.value().centralDeclination, &radians));
    }
    QCOMPARE(indexes.size(), 20);
}

void TestBeamTables::centralMatchesMeanOfBeams()
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
                // Truncated fields: the text lies within one second towards zero from the mean.
                const double shown = std::fabs(parseSexagesimalFixed(text));
                const double mean = std::fabs(sum / 8);
                QCOMPARE(text.startsWith(QLatin1Char('-')), sum < 0);
                QVERIFY2(mean - shown >= -1e-9 && mean - shown < 1.0 / 3600 + 1e-9, qPrintable(text));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestBeamTables)
#include "tst_beamtables.moc"
