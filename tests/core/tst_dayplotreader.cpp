#include "data/channelsum.h"
#include "data/dayplotreader.h"
#include "data/mappingguard.h"
#include "data/nativereader.h"
#include "tests/support/multidayfixture.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

// Finding the files of a multi-day directory and reading one into a day.
class TestDayPlotReader : public QObject
{
    Q_OBJECT

private slots:
    // Subdirectories and suffixes in any case; green dates files left out.
    void scan()
    {
        const QString dir = fresh(QStringLiteral("scan"));
        for (const char *name : {"sub/deeper/x.pnt", "c.txt", "B/1.PNTHR", "a/2.pnt", "notes.dat", "d.pnt.bak",
                                 "GREEN_DATES.TXT", "sub/green_dates.txt", "green_dates.txt.txt"}) {
            const QString file = QDir(dir).filePath(QLatin1String(name));
            QVERIFY(QDir().mkpath(QFileInfo(file).path()));
            QVERIFY(fixture::writeFile(file, "x"));
        }
        QStringList found;
        for (const QString &path : scanObservationDirectory(dir))
            found.append(QDir(dir).relativeFilePath(path));
        QCOMPARE(found, (QStringList{"a/2.pnt", "B/1.PNTHR", "c.txt", "green_dates.txt.txt", "sub/deeper/x.pnt"}));
    }

    void sumsMatchTheChannelSum_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<double>("dm");
        QTest::newRow("pnthr") << "pnthr" << false << 26.8;
        QTest::newRow("pnt, descending frequencies") << "pnt" << true << 40.0;
        QTest::newRow("text form") << "txt" << false << 26.8;
    }

    // Both sums of a day are the house channel sum of the file's record, bit for bit.
    void sumsMatchTheChannelSum()
    {
        QFETCH(QString, suffix);
        QFETCH(bool, descending);
        QFETCH(double, dm);
        SyntheticObservation::Params p = multiday::dayParams(3);
        p.descending = descending;
        const QString path = multiday::writeDay(fresh(QStringLiteral("sums")), p, suffix);
        QVERIFY(!path.isEmpty());

        DayPlot day;
        bool severalPairs = true;
        QVERIFY(readDayPlot(path, dm, &day, &severalPairs) && !severalPairs);
        NativeFile file;
        QVERIFY(readNativeFile(path, &file));
        QVector<double> sumDm0, sumDm;
        QCOMPARE(dispersedChannelSum(file, &sumDm0, 0, 0.0, 0, 0, file.npoints), p.npoints);
        QCOMPARE(dispersedChannelSum(file, &sumDm, 0, dm, 0, 0, file.npoints), p.npoints);
        QVERIFY(day.channelSumDm0 == sumDm0 && day.channelSumDm == sumDm && day.tresolution == file.tresolution);
        QCOMPARE(QStringList({day.filePath, day.fileName, day.suffix, day.date, day.plosh, day.tresolutionText}),
                 QStringList({path, QFileInfo(path).fileName(), suffix, "2026.07.19", "N1", file.tresolutionText}));
    }

    // A file larger than a mapped piece, read once mapped and once, with every
    // slot of the mapping guard taken, through read(): the same sums.
    void unmappableFileIsRead()
    {
        SyntheticObservation::Params p = multiday::dayParams(2);
        p.npoints = 20000;
        p.nBands = 64;
        const QString path = multiday::writeDay(fresh(QStringLiteral("unmapped")), p, "pnthr");
        DayPlot mapped;
        QVERIFY(readDayPlot(path, 26.8, &mapped));
        const QByteArray block(64, '\0');
        QVector<int> taken;
        for (int id = MappingGuard::add(block.constData(), block.size()); id >= 0;
             id = MappingGuard::add(block.constData(), block.size()))
            taken.append(id);
        DayPlot read;
        const bool ok = readDayPlot(path, 26.8, &read);
        for (const int id : taken)
            MappingGuard::remove(id);
        QVERIFY(!taken.isEmpty());
        QVERIFY(ok);
        QCOMPARE(read.channelSumDm0.size(), p.npoints);
        QVERIFY(read.channelSumDm0 == mapped.channelSumDm0);
        QVERIFY(read.channelSumDm == mapped.channelSumDm);
    }

    void skippedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("severalPairs");
        const QByteArray good = fixture::passport(fixture::entries(50, 1, 1, 5)) + fixture::samples(50, 1, 1, 5);
        QTest::newRow("two beams") << fixture::passport(fixture::entries(50, 1, 2, 5)) + fixture::samples(50, 1, 2, 5)
                                   << true;
        QTest::newRow("truncated") << good.left(good.size() - 3) << false;
        QTest::newRow("only the total channel")
            << fixture::passport(fixture::entries(50, 1, 1, 1)) + fixture::samples(50, 1, 1, 1) << false;
    }

    void skippedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, severalPairs);
        const QString path = QDir(fresh(QStringLiteral("skipped"))).filePath(QStringLiteral("010415_13_N1_00.pnt"));
        QVERIFY(fixture::writeFile(path, content));
        DayPlot day;
        bool several = !severalPairs;
        QVERIFY(!readDayPlot(path, 10.0, &day, &several));
        QCOMPARE(several, severalPairs);
        QVERIFY(!readDayPlot(path + QStringLiteral(".gone"), 10.0, &day, &several) && !several);
    }

    void dateAndSite_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("dateBegin");
        QTest::addColumn<QString>("nativeFileName");
        QTest::addColumn<QString>("area");
        QTest::addColumn<QString>("dateAndSite");
        QTest::newRow("no date or site in the name: the passport's local date, the parent's site")
            << "pulsar_day.pnt" << "02.04.2015 UTC 01.04.2015" << "C:\\data\\010415_13_N0_00.pnt" << "N1"
            << "2015.04.02 N0";
        QTest::newRow("no local date: the UTC date; site from the area")
            << "pulsar_day.pnt" << "- UTC 03.04.2015" << "plain.pnt" << "N2" << "2015.04.03 N2";
        QTest::newRow("an unknown area: no site") << "Pulsar.PNT" << "garbage" << "plain.pnt" << "N3" << " ";
    }

    void dateAndSite()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, dateBegin);
        QFETCH(QString, nativeFileName);
        QFETCH(QString, area);
        fixture::Entries entries = fixture::entries(40, 1, 1, 4);
        fixture::set(&entries, QStringLiteral("date_begin"), dateBegin);
        fixture::set(&entries, QStringLiteral("nativeFileName"), nativeFileName);
        fixture::set(&entries, QStringLiteral("area"), area);
        const QString path = QDir(fresh(QStringLiteral("names"))).filePath(fileName);
        QVERIFY(fixture::writeFile(path, fixture::passport(entries) + fixture::samples(40, 1, 1, 4)));
        DayPlot day;
        QVERIFY(readDayPlot(path, 5.0, &day));
        QCOMPARE(day.suffix, QStringLiteral("pnt"));
        QTEST(QString(day.date + ' ' + day.plosh), "dateAndSite");
    }

    void stopRequestAbandonsTheRead()
    {
        const QString path = multiday::writeDay(fresh(QStringLiteral("stop")), multiday::dayParams(0), "pnthr");
        int asked = 0;
        DayPlot day;
        QVERIFY(!readDayPlot(path, 10.0, &day, nullptr, [&asked] { return ++asked > 1; }));
        QCOMPARE(asked, 2);
        QVERIFY(day.channelSumDm0.isEmpty());
    }

private:
    QString fresh(const QString &name) { return multiday::freshDir(m_dir, name); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestDayPlotReader)
#include "tst_dayplotreader.moc"
