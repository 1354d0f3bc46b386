#include "data/nativereader.h"
#include "data/nativetext.h"
#include "tests/support/coreprobes.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

// A header, the two table lines and the rows, joined with line feeds.
QByteArray textFile(const QByteArrayList &header, const QByteArrayList &table)
{
    return header.join('\n') + "\n\n" + table.join('\n') + '\n';
}

QByteArrayList baseHeader()
{
    return {"nativeFileName 010415_13_N1_00.pnt", "firstPoint 100", "date_begin 01.04.2015 UTC 01.04.2015",
            "time_begin 15:13:20.6600 UTC 12:13:20.6600", "area N1", "module 3", "ray 5", "delta 22:00:52",
            "channels 3", "fcentral 110.25", "wb_total 2.5", "fbands 109 109.5 110", "wbands 0.078",
            "tres 0.0124928", "points 2"};
}

QByteArrayList replaced(QByteArrayList lines, const QByteArray &key, const QByteArray &line)
{
    for (int i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i).startsWith(key + ' '))
            lines.removeAt(i);
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

} // namespace

class NativeTextTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    bool read(const QByteArray &bytes, NativeFile *file, const QString &name = QStringLiteral("cut.txt"))
    {
        const QString path = m_dir.filePath(name);
        if (!fixture::writeFile(path, bytes))
            qFatal("cannot write fixture");
        return readNativeText(path, file);
    }

private slots:
    void wellFormed()
    {
        NativeFile file;
        QVector<int> reports;
        const QString path = m_dir.filePath(QStringLiteral("well.txt"));
        QVERIFY(fixture::writeFile(path, textFile(baseHeader(), {"frequency:\t110.00\t109.50\t109.00\t",
                                                                 "channel:\t3\t\t2\t\t1\t\tsum",
                                                                 "3.5\t2.5\t1.5\t10", "", "-3.5 -2.5 -1.5 -10"})));
        QVERIFY(readNativeText(path, &file, [&reports](int percent) { reports << percent; return true; }));
        QVERIFY(file.loaded);
        QCOMPARE(QVector<int>({file.npoints, file.nModules, file.nRays, file.nChannels, file.firstModule,
                               file.firstRay, file.firstPoint, file.zone}),
                 QVector<int>({2, 1, 1, 4, 3, 5, 100, 3}));
        QCOMPARE(QStringList({file.path, file.observationDate, file.plosh, file.delta, file.localBeginTime,
                              file.utcBeginTime}),
                 QStringList({QFileInfo(path).absoluteFilePath(), "2015.04.01", "N1", "22:00:52", "15:13:20.660",
                              "12:13:20.660"}));
        QCOMPARE(file.tresolution, 0.0124928);
        QCOMPARE(file.fbands, (QVector<double>{109, 109.5, 110}));
        QCOMPARE(file.samples, (QVector<float>{1.5f, -1.5f, 2.5f, -2.5f, 3.5f, -3.5f, 10, -10}));
        QCOMPARE(reports, (QVector<int>{0, 50, 100, 100}));
        QVERIFY(validateNativeFile(file).isEmpty());
    }

    void columnMapping_data()
    {
        QTest::addColumn<QByteArray>("channelLine");
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QVector<float>>("samples");   // channel-major, one point
        QTest::newRow("named, sparse") << QByteArray("channel_3 channel_1 sum") << QByteArray("3 1 9")
                                       << QVector<float>{1, 0, 3, 9};
        QTest::newRow("named, unknown read past") << QByteArray("channel_4 channel_2 Channel_Sum")
                                                  << QByteArray("4 2 9") << QVector<float>{0, 2, 0, 9};
        QTest::newRow("numbered") << QByteArray("channel: 3 2 1 sum") << QByteArray("3 2 1 9")
                                  << QVector<float>{1, 2, 3, 9};
        QTest::newRow("numbered, names ignored") << QByteArray("channel_num: channel_1 2 sum")
                                                 << QByteArray("x 2 9") << QVector<float>{0, 2, 0, 9};
        QTest::newRow("names, numbers ignored") << QByteArray("1 channel_2 sum") << QByteArray("x 2 9")
                                                << QVector<float>{0, 2, 0, 9};
    }

    void columnMapping()
    {
        QFETCH(QByteArray, channelLine);
        QFETCH(QByteArray, row);
        QFETCH(QVector<float>, samples);
        NativeFile file;
        const QByteArrayList header = replaced(baseHeader(), "points", "points 1");
        // The channel line may come before the frequency line too.
        QVERIFY(read(textFile(header, {channelLine, "Frequency:", row}), &file));
        QCOMPARE(file.samples, samples);
    }

    // The time of the middle point gives the begin, an odd count halving
    // downwards, whole seconds accepted; the local time follows the zone,
    // across midnight.
    void middleTimeGivesTheBegin()
    {
        QByteArrayList header = replaced(replaced(baseHeader(), "date_begin", {}), "time_begin", {});
        header = replaced(replaced(header, "points", "points 5"), "tres", "tresolution 100");
        header << "zone 3" << "utc_date 2015.04.01" << "utc_time 22:00:00";
        NativeFile file;
        QVERIFY(read(textFile(header, {"frequency", "channel: 1 2 3 sum", "1 1 1 1", "2 2 2 2", "3 3 3 3", "4 4 4 4",
                                       "5 5 5 5"}),
                     &file));
        QCOMPARE(file.tresolution, 0.1);
        QCOMPARE(QStringList({file.utcBeginDate, file.utcBeginTime, file.localBeginDate, file.localBeginTime}),
                 QStringList({"2015.04.01", "21:59:59.800", "2015.04.02", "00:59:59.800"}));
    }

    void zoneAndSourceFromTheObservationFile()
    {
        fixture::Entries entries = fixture::entries(2, 1, 1, 4);
        fixture::set(&entries, QStringLiteral("zone"), QStringLiteral("5"));
        fixture::set(&entries, QStringLiteral("wb_total"), QStringLiteral("7.5"));
        const QString source = m_dir.filePath(QStringLiteral("010415_13_N1_00.pnt"));
        QVERIFY(fixture::writeFile(source, fixture::passport(entries) + fixture::samples(2, 1, 1, 4)));

        QByteArrayList header = replaced(replaced(baseHeader(), "date_begin", {}), "time_begin", {});
        header = replaced(replaced(header, "wb_total", {}), "nativeFileName", {});
        header << "file_path " + source.toUtf8() << "utc_date 2015.04.01" << "utc_time 12:00:00";
        NativeFile file;
        QVERIFY(read(textFile(header, {"frequency", "channel: 1 2 3 sum", "1 1 1 1", "2 2 2 2"}), &file));
        QCOMPARE(file.zone, 5);
        QCOMPARE(QStringList({file.source, file.wbTotal, file.nativeFileName, file.localBeginTime}),
                 QStringList({"B0531+21", "7.5", "010415_13_N1_00.pnt", "16:59:59.988"}));
    }

    // Small files written by hand: tabs separate too, an indented line has an
    // empty key, a repeated key keeps its last value; CR LF line ends and
    // blank lines; single-digit tokens, the smallest rows a file can hold.
    void handWritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QVector<float>>("samples");
        QTest::newRow("header syntax") << QByteArray("points\t2\n channels 9\nchannels  1 \nmodule 1\nray 4\nray 1\n"
                                                     "tres 0.5\nfbands 110\n\nfrequency:\nchannel: 1 sum\n1 2\n3 4\n")
                                       << QVector<float>{1, 3, 2, 4};
        QTest::newRow("CR LF, blank lines") << QByteArray("points 2\r\nchannels 1\r\nmodule 1\r\nray 1\r\ntres 0.5\r\n"
                                                          "fbands 110\r\n\r\n\r\nfrequency:\r\n\r\nchannel: 1 sum\r\n"
                                                          "\r\n1 2\r\n\r\n3 4")
                                            << QVector<float>{1, 3, 2, 4};
        QTest::newRow("rows of single digits") << QByteArray("points 4\nchannels 1\nmodule 1\nray 1\ntres 0.5\n"
                                                             "fbands 110\n\nfrequency\nchannel: 1 sum\n1 2\n3 4\n5 6\n7 8")
                                               << QVector<float>{1, 3, 5, 7, 2, 4, 6, 8};
    }

    void handWritten()
    {
        QFETCH(QByteArray, bytes);
        NativeFile file;
        QVERIFY(read(bytes, &file));
        QCOMPARE(qMakePair(file.nChannels, file.firstRay), qMakePair(2, 1));
        QTEST(file.samples, "samples");
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArrayList table{"frequency", "channel: 3 2 1 sum", "3 2 1 9", "3 2 1 9"};
        const auto without = [&](const QByteArray &key) { return textFile(replaced(baseHeader(), key, {}), table); };
        const auto with = [&](const QByteArray &key, const QByteArray &line) {
            return textFile(replaced(baseHeader(), key, line), table);
        };
        QTest::newRow("no points") << without("points");
        QTest::newRow("ray zero") << with("ray", "ray 0");
        QTest::newRow("no interval") << without("tres");
        QTest::newRow("negative interval") << with("tres", "tresolution -1");
        QTest::newRow("five frequencies for four channels")
            << textFile(replaced(replaced(baseHeader(), "channels", "channels 4"), "fbands", "fbands 1 2 3 4 5"),
                        {"frequency", "channel: 4 3 2 1 sum", "4 3 2 1 9", "4 3 2 1 9"});
        QTest::newRow("token extra") << textFile(baseHeader(), {"frequency", "channel: 3 2 1 sum", "3 2 1 9 9", "3 2 1 9"});
        QTest::newRow("token missing") << textFile(baseHeader(), {"frequency", "channel: 3 2 1 sum", "3 2 1", "3 2 1 9"});
        QTest::newRow("not a number") << textFile(baseHeader(), {"frequency", "channel: 3 2 1 sum", "3 x 1 9", "3 2 1 9"});
        QTest::newRow("no table") << QByteArray(baseHeader().join('\n') + "\n\n");
        QTest::newRow("no columns") << textFile(baseHeader(), {"frequency", "channel:", "", ""});
        QTest::newRow("endless line") << QByteArray(baseHeader().join('\n') + "\n\nfrequency\nchannel: 1 sum\n"
                                                    + QByteArray(3 << 20, '1'));
    }

    void malformed()
    {
        QFETCH(QByteArray, bytes);
        NativeFile file;
        file.samples = QVector<float>(5, 1.0f);
        file.loaded = true;
        file.alpha = QStringLiteral("previous");
        QVERIFY(!read(bytes, &file));
        QCOMPARE(file.npoints, -3);
        QVERIFY(!file.loaded && file.samples.isEmpty() && file.alpha.isEmpty());
    }

    void cannotOpen()
    {
        NativeFile file;
        // A pipe would block the reader until someone writes to it.
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &path : {m_dir.filePath(QStringLiteral("absent.txt")), m_dir.path(), fifo}) {
            QVERIFY(!readNativeText(path, &file));
            QCOMPARE(file.npoints, -1);
        }
    }

    // The header's counts must not decide an allocation the file cannot fill.
    void hugeClaimsFailWithoutAllocating_data()
    {
        QTest::addColumn<QByteArray>("points");
        QTest::addColumn<QByteArray>("channels");
        QTest::addColumn<QByteArray>("fbands");
        QTest::newRow("two billion points") << QByteArray("2000000000") << QByteArray("3")
                                            << QByteArray("109 109.5 110");
        // 20,000 rows of the sum column only in 40 KB, 20,000 channels declared: 1.6 GB of zeros.
        QTest::newRow("channels far beyond the columns") << QByteArray("20000") << QByteArray("20000")
                                                         << QByteArray(" 1").repeated(20000);
    }

    void hugeClaimsFailWithoutAllocating()
    {
        QFETCH(QByteArray, points);
        QFETCH(QByteArray, channels);
        QFETCH(QByteArray, fbands);
        QByteArrayList header = replaced(replaced(baseHeader(), "points", "points " + points), "channels", "channels " + channels);
        header = replaced(header, "fbands", "fbands " + fbands);
        const QByteArray bytes = points == "20000" ? header.join('\n') + "\n\nfrequency\nchannel: sum\n" + QByteArray("9\n").repeated(20000)
                                                   : textFile(header, {"frequency", "channel: 1 sum", "1 9", "1 9"});
        const long before = probe::peakRssKiB();
        NativeFile file;
        QVERIFY(!read(bytes, &file));
        QCOMPARE(file.npoints, -3);
        QVERIFY2(probe::peakRssKiB() - before < 256 * 1024, "the reader allocated for rows the file cannot hold");
    }
};

QTEST_GUILESS_MAIN(NativeTextTest)
#include "tst_nativetext.moc"
