#include "data/profileset.h"
#include "tests/support/profilefixture.h"

#include <QtTest>

// Scanning a directory into a profile set and what is derived from the set:
// the DM lists, the file of a date and DM, the module and ray of the set.
class TestProfileSet : public QObject
{
    Q_OBJECT

private slots:
    void scanMessages_data()
    {
        QTest::addColumn<int>("readableFiles");
        QTest::addColumn<QString>("extraName");
        QTest::addColumn<QByteArray>("extraText");
        QTest::addColumn<QString>("errorPart");   // empty: the scan succeeds
        QTest::newRow("upper-case suffix only") << 0 << "p2021.01.01_dm1_p1.TXT" << QByteArray("period=1\n1\n")
                                                << "contains no files matching";
        QTest::newRow("periods without numbers") << 0 << "p2021.01.01_dm1_p1.txt" << QByteArray("period=1\nnone\n")
                                                 << "no readable average profile data";
        QTest::newRow("unreadable file beside a readable one")
            << 1 << "p2021.01.01_dm1_p1.txt" << QByteArray("no periods\n") << "";
        QTest::newRow("file in a subdirectory") << 0 << "a/b/p2021.01.01_dm1_p1_s3.txt" << QByteArray("period=1\n1\n")
                                                << "";
        QTest::newRow("1000 files") << 1000 << "" << QByteArray() << "";
        QTest::newRow("1001 files") << 1000 << "p2021.01.01_dm1_p1.txt" << QByteArray("period=1\n1\n")
                                    << "more than 1000 profile files";
    }

    void scanMessages()
    {
        QFETCH(int, readableFiles);
        QFETCH(QString, extraName);
        QFETCH(QByteArray, extraText);
        QFETCH(QString, errorPart);
        QTemporaryDir dir;
        for (int i = 0; i < readableFiles; ++i)
            QVERIFY(!profilefixture::writeFile(dir.path(), QStringLiteral("p2022.02.02_dm%1_p1.txt").arg(i + 100),
                                               "period=1\n1\n").isEmpty());
        if (!extraName.isEmpty())
            QVERIFY(!profilefixture::writeFile(QFileInfo(dir.filePath(extraName)).path(),
                                               QFileInfo(extraName).fileName(), extraText).isEmpty());

        const ProfileScanResult scan = scanProfileDirectory(dir.path());
        QCOMPARE(scan.ok, errorPart.isEmpty());
        if (!scan.ok) {
            QVERIFY2(scan.error.contains(errorPart) && scan.set.isEmpty(), qPrintable(scan.error));
            return;
        }
        QCOMPARE(scan.set.size(), readableFiles + (extraName.isEmpty() ? 0 : 1));
        for (const ProfileRecord &record : scan.set) {
            QVERIFY(QFileInfo(record.path).isAbsolute() && QFileInfo::exists(record.path));
            QVERIFY(record.path.endsWith(QStringLiteral("_dm%1_p1.txt").arg(record.dm))
                    || record.path.endsWith(QStringLiteral("_dm%1_p1_s3.txt").arg(record.dm)));
        }
    }

    void abandonedScan()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 3; ++i)
            QVERIFY(!profilefixture::writeFile(dir.path(), QStringLiteral("p2022.02.02_dm%1_p1.txt").arg(i), "x\n").isEmpty());
        int calls = 0;
        const ProfileScanResult scan = scanProfileDirectory(dir.path(), [&](int, int) { return ++calls < 2; });
        QCOMPARE(calls, 2);
        QVERIFY(!scan.ok && scan.error.isEmpty());
    }

    void dispersionsAndFiles()
    {
        const ProfileSet set{{"2021.01.02", "100", "1", "/a/p2021.01.02_dm100_p1.txt"},
                             {"2021.01.02", "7", "1", "/a/p2021.01.02_dm7_p1.txt"},
                             {"2021.01.01", "12", "1", "/a/J0332_m03_r5/p2021.01.01_dm12_p1.txt"},
                             {"2021.01.02", "7", "1", "/b/p2021.01.02_dm7_p1.txt"}};
        QCOMPARE(profileDispersions(set), QStringList({"7", "12", "100"}));
        QCOMPARE(profileDispersionsOfDate(set, "2021.01.02"), QStringList({"7", "100"}));
        QCOMPARE(findProfileFile(set, "2021.01.02", "7"), QStringLiteral("/a/p2021.01.02_dm7_p1.txt"));
        QVERIFY(findProfileFile(set, "2021.01.01", "7").isEmpty());
        QCOMPARE(profileModuleRayTag(QStringLiteral("/data/B0329_m1_r08"), set), QStringLiteral("_m1_r08"));
        QCOMPARE(profileModuleRayTag(QStringLiteral("/data"), set), QStringLiteral("_m03_r5"));
        QVERIFY(profileModuleRayTag(QStringLiteral("/data"), set.mid(0, 2)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestProfileSet)
#include "tst_profileset.moc"
