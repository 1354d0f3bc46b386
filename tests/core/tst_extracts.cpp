#include "data/nativereader.h"
#include "data/nativetext.h"
#include "tests/support/coreprobes.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

Q_DECLARE_METATYPE(NativeSelection)

class ExtractsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    NativeFile m_source;   // 2 modules from 3, 8 rays, 5 channels, 40 points, first point 100

    static NativeSelection selection(int module, int ray, int start, int count, const QString &delta = {})
    {
        return NativeSelection{module, ray, start, count, delta};
    }

    QStringList entriesOfDir() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        fixture::Entries entries = fixture::entries(40, 2, 8, 5);
        fixture::set(&entries, QStringLiteral("firstPoint"), QStringLiteral("100"));
        const QString path = m_dir.filePath(QStringLiteral("source.pnt"));
        QVERIFY(fixture::writeFile(path, fixture::passport(entries) + fixture::samples(40, 2, 8, 5)));
        QVERIFY(readBinaryStreamed(path, &m_source) && QFile::remove(path));
    }

    void timeTextOfAnInvalidInstantIsEmpty()
    {
        QCOMPARE(timeTextOfDateTime(QDateTime()), QString());
    }

    // Extracts read back with the chosen module, ray, points and the new
    // begin time; the file's header lines are the exchange format's.
    void roundTrip_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<NativeSelection>("range");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("binary, one ray")
            << false << selection(4, 3, 10, 12, QStringLiteral("21:58:00"))
            << QByteArrayList{"numpar      20\nsource      B0531+21\nnativeFileName 010415_13_N1_00.pnt\n",
                              "\ntime_begin  15:13:20.7850 UTC 12:13:20.7850\n",
                              "\ndate_end    01.04.2015\ntime_end    15:13:20.9220\n", "\nray         3\n",
                              "\ndelta       21:58:00\n"};
        QTest::newRow("binary, all rays") << false << selection(3, 0, 0, 40, QStringLiteral("ignored"))
                                          << QByteArrayList{"numpar ", "\nray         0\n", "\ndelta       \n"};
        QTest::newRow("text")
            << true << selection(4, 8, 10, 10, QStringLiteral("21:58:00"))
            << QByteArrayList{"nativeFileName 010415_13_N1_00.pnt\nfirstPoint 110\n"
                              "date_begin 01.04.2015 UTC 01.04.2015\ntime_begin 15:13:20.7850 UTC 12:13:20.7850\n",
                              "\ntres 0.0124928\npoints 10\n\nfrequency:\t110.50\t110.00\t109.50\t109.00\t\n"
                              "channel:\t4\t\t3\t\t2\t\t1\t\tsum\n",
                              '\n' + QByteArray::number(fixture::value(10, 1, 7, 3), 'f', 6) + '\t'};
    }

    void roundTrip()
    {
        QFETCH(bool, text);
        QFETCH(NativeSelection, range);
        QFETCH(QByteArrayList, lines);
        const QString path = m_dir.filePath(text ? QStringLiteral("cut.txt") : QStringLiteral("cut.pnt"));
        QString error;
        QVERIFY2(text ? writeTextExtract(path, m_source, range, &error) : writeBinaryExtract(path, m_source, range, &error),
                 qPrintable(error));
        const QByteArray bytes = probe::contents(path);
        QVERIFY(bytes.startsWith(lines.first()));
        for (const QByteArray &line : lines)
            QVERIFY2(bytes.contains(line), line.constData());
        NativeFile cut;
        QVERIFY(readNativeFile(path, &cut) && validateNativeFile(cut).isEmpty());
        const int moduleIndex = range.module - m_source.firstModule;
        const int rays = range.ray == 0 ? 8 : 1;
        QCOMPARE(QVector<int>({cut.npoints, cut.nModules, cut.nRays, cut.nChannels, cut.firstModule, cut.firstRay,
                               cut.firstPoint, cut.zone}),
                 QVector<int>({range.count, 1, rays, 5, range.module, qMax(range.ray, 1), 100 + range.startPoint, 3}));
        QCOMPARE(cut.tresolution, m_source.tresolution);
        QCOMPARE(cut.fbands, m_source.fbands.mid(0, 4));
        QCOMPARE(cut.delta, range.ray == 0 ? QString() : range.delta);
        if (range.startPoint == 10)
            QCOMPARE(cut.localBeginTime, QStringLiteral("15:13:20.785"));
        for (int p = 0; p < range.count; ++p)
            for (int r = 0; r < rays; ++r)
                for (int c = 0; c < 5; ++c)
                    QCOMPARE(nativeSample(cut, 0, r, c, p),
                             fixture::value(p + range.startPoint, moduleIndex, rays == 1 ? range.ray - 1 : r, c));
    }

    // A refused selection, and a target that cannot be opened (with the
    // system's reason), leave the directory as it was.
    void refusals_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<NativeSelection>("selection");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("reason");   // errno, 0 for none
        QTest::newRow("text, all rays") << true << selection(3, 0, 0, 10) << "refused.out" << 0;
        QTest::newRow("binary, module") << false << selection(5, 1, 0, 10) << "refused.out" << 0;
        QTest::newRow("text, below a file") << true << selection(3, 1, 0, 5) << "plain.file/cut.out" << int(ENOTDIR);
        QTest::newRow("binary, below a file") << false << selection(3, 1, 0, 5) << "plain.file/cut.out" << int(ENOTDIR);
    }

    void refusals()
    {
        QFETCH(bool, text);
        QFETCH(NativeSelection, selection);
        QFETCH(QString, target);
        QFETCH(int, reason);
        QVERIFY(fixture::writeFile(m_dir.filePath(QStringLiteral("plain.file")), "x"));
        const QStringList before = entriesOfDir();
        const QString path = m_dir.filePath(target);
        QString error;
        const bool ok = text ? writeTextExtract(path, m_source, selection, &error)
                             : writeBinaryExtract(path, m_source, selection, &error);
        QVERIFY(!ok && !error.isEmpty());
        if (reason != 0)
            QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(reason))), qPrintable(error));
        QCOMPARE(entriesOfDir(), before);
    }

    // A write that fails half way leaves neither a partial file nor a changed target.
    void failedWriteLeavesNothing()
    {
        const QString fresh = m_dir.filePath(QStringLiteral("fresh.pnt"));
        const QString existing = m_dir.filePath(QStringLiteral("existing.txt"));
        QVERIFY(fixture::writeFile(existing, "keep me"));
        const QStringList before = entriesOfDir();

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        rlimit small = saved;
        small.rlim_cur = 2048;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        QString binaryError, textError;
        const bool binaryOk = writeBinaryExtract(fresh, m_source, selection(3, 0, 0, 40), &binaryError);
        const bool textOk = writeTextExtract(existing, m_source, selection(3, 1, 0, 40), &textError);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &saved) == 0);
        std::signal(SIGXFSZ, SIG_DFL);

        QVERIFY(!binaryOk && !textOk);
        const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
        QVERIFY2(binaryError.contains(tooLarge), qPrintable(binaryError));
        QVERIFY2(textError.contains(tooLarge), qPrintable(textError));
        QVERIFY(!QFile::exists(fresh));
        QCOMPARE(probe::contents(existing), QByteArray("keep me"));
        QCOMPARE(entriesOfDir(), before);
    }

    void progressAndStop_data()
    {
        QTest::addColumn<bool>("text");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("binary, whole") << false << 101;
        QTest::newRow("text, stopped") << true << 30;
        QTest::newRow("binary, stopped") << false << 30;
        QTest::newRow("text, stopped at once") << true << 0;
    }

    // Each percent is reported once, in order; a false answer stops the writer
    // and leaves an existing target as it was.
    void progressAndStop()
    {
        QFETCH(bool, text);
        QFETCH(int, stopAt);
        const QString path = m_dir.filePath(text ? QStringLiteral("progress.txt") : QStringLiteral("progress.pnt"));
        QVERIFY(fixture::writeFile(path, "keep me"));
        const QStringList before = entriesOfDir();
        QVector<int> seen;
        const NativeProgress progress = [&seen, stopAt](int percent) {
            seen.append(percent);
            return percent < stopAt;
        };
        QString error;
        const NativeSelection range = selection(3, 2, 0, 40);
        const bool ok = text ? writeTextExtract(path, m_source, range, &error, progress)
                             : writeBinaryExtract(path, m_source, range, &error, progress);
        QCOMPARE(ok, stopAt > 100);
        for (int i = 1; i < seen.size(); ++i)
            QVERIFY(seen[i] > seen[i - 1]);
        QCOMPARE(seen.value(0), 0);
        if (ok) {
            QCOMPARE(seen.last(), 100);
            QVERIFY(probe::contents(path) != "keep me");
        } else {
            QVERIFY(seen.last() >= stopAt);
            QCOMPARE(error, QStringLiteral("The save was stopped."));
            QCOMPARE(probe::contents(path), QByteArray("keep me"));
        }
        QCOMPARE(entriesOfDir(), before);
        QVERIFY(QFile::remove(path));
    }

    // Each header value stays on its one line; the placeholder source
    // "SOURCE" is no source and gets no line.
    void headerValuesStayOnOneLine()
    {
        NativeFile source = m_source;
        source.fcentral = QStringLiteral("110\r\nnpoints 999");
        source.source = QStringLiteral("SOURCE");
        const QString binary = m_dir.filePath(QStringLiteral("oneline.pnt"));
        const QString text = m_dir.filePath(QStringLiteral("oneline.txt"));
        QString error;
        QVERIFY(writeBinaryExtract(binary, source, selection(3, 2, 0, 4, QStringLiteral("1\n2")), &error));
        QVERIFY(writeTextExtract(text, source, selection(3, 2, 0, 4, QStringLiteral("1\n2")), &error));
        QVERIFY(probe::contents(binary).startsWith("numpar      19\nnativeFileName "));
        for (const QString &path : {binary, text}) {
            NativeFile cut;
            QVERIFY(readNativeFile(path, &cut));
            QCOMPARE(QStringList({QString::number(cut.npoints), cut.fcentral, cut.delta, cut.source}),
                     QStringList({"4", "110  npoints 999", "1 2", ""}));
            QCOMPARE(nativeSample(cut, 0, 0, 4, 3), fixture::value(3, 0, 1, 4));
        }
    }

    // Header values keep their bytes through extracts of extracts, binary and
    // text, whatever the bytes are: Latin-1 letters, broken UTF-8, or UTF-8
    // whose last byte (A0) is no blank in Latin-1.
    void headerBytesSurviveExtracts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Latin-1") << QByteArray("Crab \xE9\xFF\xFE");
        QTest::newRow("broken UTF-8") << QByteArray("\xC3\x28 \xFF\xFE\xEF\xBF");
        QTest::newRow("UTF-8 ending in A0") << QByteArray("\xD0\x9A\xD0\xA0");
        QTest::newRow("zero byte") << QByteArray("2\x01\0+.5", 6);
    }

    void headerBytesSurviveExtracts()
    {
        QFETCH(QByteArray, bytes);
        const QString value = QString::fromLatin1(bytes.constData(), bytes.size());
        NativeFile record = m_source;
        record.fcentral = record.wbTotal = record.plosh = record.source = value;
        const QStringList keys{QStringLiteral("fcentral"), QStringLiteral("wb_total"), QStringLiteral("area"),
                               QStringLiteral("delta")};
        for (const char *name : {"gen1.pnt", "gen2.pnt", "gen3.txt", "gen4.txt", "gen5.pnt"}) {
            const QString path = m_dir.filePath(QLatin1String(name));
            const bool text = path.endsWith(QLatin1String(".txt"));
            const NativeSelection cut = selection(record.firstModule, record.firstRay, 0, 2, value);
            QString error;
            QVERIFY(text ? writeTextExtract(path, record, cut, &error) : writeBinaryExtract(path, record, cut, &error));
            // Each byte is one character in Latin-1, so the texts compare the bytes.
            const QByteArray bytesOfFile = probe::contents(path);
            const QStringList lines =
                QString::fromLatin1(bytesOfFile.constData(), bytesOfFile.size()).split(QLatin1Char('\n'));
            for (const QString &key : keys) {
                const auto line = std::find_if(lines.begin(), lines.end(),
                                               [&](const QString &l) { return l.startsWith(key + QLatin1Char(' ')); });
                QVERIFY(line != lines.end());
                QCOMPARE(trimmedHeaderValue(line->mid(key.size())).toLatin1(), bytes);
            }
            NativeFile next;
            QVERIFY(readNativeFile(path, &next));
            for (const QString &read : {next.fcentral, next.wbTotal, next.plosh, next.delta})
                QCOMPARE(read.toLatin1(), bytes);
            // Only the binary form carries the source.
            if (!text && !record.source.isEmpty())
                QCOMPARE(next.source.toLatin1(), bytes);
            record = next;
        }
    }
};

QTEST_GUILESS_MAIN(ExtractsTest)
#include "tst_extracts.moc"
