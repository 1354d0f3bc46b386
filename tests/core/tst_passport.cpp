#include "data/nativereader.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <functional>

#include <sys/stat.h>

using Modifier = std::function<void(fixture::Entries *)>;
Q_DECLARE_METATYPE(Modifier)

class PassportTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("010415_13_N2_00.pnt"))
    {
        const QString path = m_dir.filePath(name);
        if (!fixture::writeFile(path, bytes))
            qFatal("cannot write fixture");
        return path;
    }

    // Parses a 4-point, 1-module, 2-ray, 3-channel file with the given passport.
    qint64 parse(const fixture::Entries &entries, NativeFile *file, int nModules = 1)
    {
        return parsePassport(write(fixture::passport(entries) + fixture::samples(4, nModules, 2, 3)), file);
    }

    // The same, its passport modified.
    qint64 parseModified(const Modifier &modify, NativeFile *file, int extraBytes = 0)
    {
        fixture::Entries entries = fixture::entries(4, 1, 2, 3);
        modify(&entries);
        QByteArray bytes = fixture::passport(entries) + fixture::samples(4, 1, 2, 3);
        if (extraBytes > 0)
            bytes.append(QByteArray(extraBytes, '\0'));
        else if (extraBytes < 0)
            bytes.chop(-extraBytes);
        return parsePassport(write(bytes), file);
    }

private slots:
    void wellFormedPassport()
    {
        const QByteArray head = fixture::passport(fixture::entries(5, 2, 3, 4));
        const QString path = write(head + fixture::samples(5, 2, 3, 4));
        NativeFile file;
        QCOMPARE(parsePassport(path, &file), qint64(head.size()));
        QCOMPARE(QVector<int>({file.npoints, file.nModules, file.nRays, file.nChannels, file.firstModule,
                               file.firstRay, file.firstPoint, file.zone}),
                 QVector<int>({5, 2, 3, 4, 3, 1, 0, 3}));
        QCOMPARE(file.tresolution, 0.0124928);
        QCOMPARE(QStringList({file.fileName, file.nativeFileName, file.plosh, file.observationDate, file.source}),
                 QStringList({"010415_13_N2_00.pnt", "010415_13_N1_00.pnt", "N1", "2015.04.01", "B0531+21"}));
        QCOMPARE(file.fbands, (QVector<double>{109.0, 109.5, 110.0}));
        QVERIFY(!file.loaded && file.samples.isEmpty());
    }

    void malformed_data()
    {
        QTest::addColumn<Modifier>("modify");
        QTest::addColumn<int>("extraBytes");
        QTest::addColumn<int>("code");
        using E = fixture::Entries;
        const auto set = [](const char *k, const char *v) {
            return Modifier([=](E *e) { fixture::set(e, QLatin1String(k), QLatin1String(v)); });
        };
        const auto drop = [](const char *k) {
            return Modifier([=](E *e) { fixture::remove(e, QLatin1String(k)); });
        };
        QTest::newRow("npoints zero") << set("npoints", "0") << 0 << -3;
        QTest::newRow("tresolution zero") << set("tresolution", "0") << 0 << -3;
        QTest::newRow("tresolution infinite") << set("tresolution", "inf") << 0 << -3;
        QTest::newRow("tres not a number") << Modifier([](E *e) {
            fixture::remove(e, QStringLiteral("tresolution"));
            fixture::set(e, QStringLiteral("tres"), QStringLiteral("fast"));
        }) << 0 << -3;
        QTest::newRow("no interval") << drop("tresolution") << 0 << -3;
        QTest::newRow("extra byte") << Modifier([](E *) {}) << 1 << -2;
        QTest::newRow("one value short") << Modifier([](E *) {}) << -4 << -2;
        QTest::newRow("nbands beyond 32 bits") << set("nbands", "3000000000") << 0 << -3;
        // Sizes that wrap to 0 must not match a file of the passport alone:
        // 4 * 65536 * 16384 bytes is 2^32, 2^30 * 2^30 * 16 floats wrap 64 bits.
        const auto shape = [](const char *npoints, const char *rays, const char *nbands) {
            return Modifier([=](E *e) {
                fixture::set(e, QStringLiteral("npoints"), QLatin1String(npoints));
                fixture::set(e, QStringLiteral("rays"), QLatin1String(rays));
                fixture::set(e, QStringLiteral("nbands"), QLatin1String(nbands));
            });
        };
        QTest::newRow("size wraps in 32 bits") << shape("1", "65536", "16383") << -96 << -2;
        QTest::newRow("size wraps in 64 bits") << shape("1073741824", "1073741824", "15") << -96 << -2;
        QTest::newRow("N4 without position") << set("area", "N4") << 0 << -3;
        QTest::newRow("N4 unknown position") << Modifier([](E *e) {
            fixture::set(e, QStringLiteral("area"), QStringLiteral("N4"));
            fixture::set(e, QStringLiteral("source"), QStringLiteral("kvxII 19 0 00 1"));
        }) << 0 << -3;
    }

    void malformed()
    {
        QFETCH(Modifier, modify);
        QFETCH(int, extraBytes);
        QFETCH(int, code);
        NativeFile file;
        QCOMPARE(parseModified(modify, &file, extraBytes), qint64(code));
        QCOMPARE(file.npoints, code);
    }

    void numparLine_data()
    {
        QTest::addColumn<QByteArray>("firstLine");
        QTest::addColumn<int>("code");
        QTest::newRow("15 lines") << QByteArray("numpar 15\n") << -3;
        QTest::newRow("leading blank only") << QByteArray(" 18\n") << -3;
        QTest::newRow("beyond int") << QByteArray("numpar 99999999999\n") << -3;
        QTest::newRow("tab and word") << QByteArray("lines\t\t18\n") << 0;
        QTest::newRow("CR LF") << QByteArray("numpar 18\r\n") << 0;
        // The passport then swallows the samples, and the size no longer matches.
        QTest::newRow("beyond the file end") << QByteArray("numpar 2000000000\n") << -2;
    }

    void numparLine()
    {
        QFETCH(QByteArray, firstLine);
        QFETCH(int, code);
        QByteArray head = fixture::passport(fixture::entries(4, 1, 2, 3));
        head = firstLine + head.mid(head.indexOf('\n') + 1);
        NativeFile file;
        const qint64 result = parsePassport(write(head + fixture::samples(4, 1, 2, 3)), &file);
        QCOMPARE(result, code == 0 ? qint64(head.size()) : qint64(code));
    }

    void checkFileSizeArithmetic()
    {
        const QString path = write(QByteArray(100 + 4 * 2 * 3 * 4 * 5, 'x'), QStringLiteral("size.pnt"));
        QVERIFY(checkFileSize(path, 100, 2, 3, 4, 5) && !checkFileSize(path, 99, 2, 3, 4, 5));
        QVERIFY(!checkFileSize(path, 100 + 4 * 2 * 3 * 4 * 5 * 2, -2, -3, 4, 5));
        QVERIFY(!checkFileSize(m_dir.filePath(QStringLiteral("absent.pnt")), 0, 0, 1, 1, 1));
        const QString empty = write(QByteArray(), QStringLiteral("empty.pnt"));
        QVERIFY(checkFileSize(empty, 0, 0, 1, 1, 1));
    }

    void unreadableInput()
    {
        NativeFile file;
        QCOMPARE(parsePassport(m_dir.filePath(QStringLiteral("missing.pnt")), &file), qint64(-1));
        QCOMPARE(file.npoints, -1);
        QCOMPARE(parsePassport(write(QByteArray(), QStringLiteral("empty.pnt")), &file), qint64(-3));
        const QString fifo = m_dir.filePath(QStringLiteral("pipe.pnt"));
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(parsePassport(fifo, &file), qint64(-1));
    }

    void endlessLineIsRejected()
    {
        // A 3 MiB first line without a line feed, then a huge passport line.
        NativeFile file;
        QCOMPARE(parsePassport(write(QByteArray(3 << 20, 'n')), &file), qint64(-3));
        QByteArray head = fixture::passport(fixture::entries(4, 1, 2, 3));
        head.insert(head.indexOf('\n') + 1, "junk " + QByteArray(2 << 20, 'x') + '\n');
        QCOMPARE(parsePassport(write(head + fixture::samples(4, 1, 2, 3)), &file), qint64(-3));
    }

    void rays_data()
    {
        QTest::addColumn<QString>("ray");
        QTest::addColumn<int>("nRays");
        QTest::addColumn<int>("firstRay");
        QTest::newRow("ray 3") << "3" << 1 << 3;
        QTest::newRow("ray 0") << "0" << 8 << 1;
    }

    void rays()
    {
        QFETCH(QString, ray);
        QFETCH(int, nRays);
        fixture::Entries entries = fixture::entries(2, 1, nRays, 2);
        fixture::remove(&entries, QStringLiteral("rays"));
        fixture::remove(&entries, QStringLiteral("ray"));
        fixture::set(&entries, QStringLiteral("padding"), QStringLiteral("keeps numpar at 16 or more"));
        fixture::set(&entries, QStringLiteral("ray"), ray);
        NativeFile file;
        QVERIFY(parsePassport(write(fixture::passport(entries) + fixture::samples(2, 1, nRays, 2)), &file) > 0);
        QCOMPARE(file.nRays, nRays);
        QTEST(file.firstRay, "firstRay");
    }

    void lineSyntax()
    {
        fixture::Entries entries = fixture::entries(4, 1, 2, 3);
        fixture::set(&entries, QStringLiteral("module"), QStringLiteral("1 2 3 4"));
        fixture::set(&entries, QStringLiteral("modulus"), QStringLiteral("  5  "));
        fixture::set(&entries, QStringLiteral("delta"), QString());
        fixture::set(&entries, QStringLiteral("fcentral"), QStringLiteral("111"));
        fixture::remove(&entries, QStringLiteral("npoints"));
        QByteArray head = fixture::passport(entries, entries.size() + 6);
        head += "npoints\t \t4\n";                 // tabs count as blanks
        head += " fcentral 999\n";                 // a leading blank carries no entry
        head += "fcentral\n";                      // no blank: no entry
        head += "NPOINTS 7\n";                     // keys are case-sensitive
        head += "alpha 01:02:03\n";                // repeated key: the last one wins
        const QString path = write(head + fixture::samples(4, 1, 2, 3));
        NativeFile file;
        QCOMPARE(parsePassport(path, &file), qint64(head.size()));
        QCOMPARE(QVector<int>({file.npoints, file.nModules, file.firstModule}), QVector<int>({4, 1, 5}));
        QCOMPARE(QStringList({file.delta, file.fcentral, file.alpha}), QStringList({"", "111", "01:02:03"}));
    }

    void intervalText_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("ms exponent") << "tresolution" << "1.2e1" << 0.012 << "0.012";
        QTest::newRow("ms trailing zeros") << "tresolution" << "99.9424000" << 0.0999424 << "0.0999424000";
        QTest::newRow("s no integer part") << "tres" << ".5" << 0.5 << ".5";
        QTest::newRow("s clamped") << "tres" << "1e-30" << 1e-30 << "0.0000000000000000";
        QTest::newRow("tresolution wins over tres") << "tres" << "7" << 0.0124928 << "0.0124928";
    }

    void intervalText()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        fixture::Entries entries = fixture::entries(4, 1, 2, 3);
        if (value != QLatin1String("7"))
            fixture::remove(&entries, QStringLiteral("tresolution"));
        fixture::set(&entries, key, value);
        NativeFile file;
        QVERIFY(parse(entries, &file) > 0);
        QTEST(file.tresolution, "seconds");
        QTEST(file.tresolutionText, "text");
    }

    void beginTimes_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("expected");   // local date, local time, UTC date, UTC time, zone
        const QString date = QStringLiteral("01.04.2015 UTC 01.04.2015");
        QTest::newRow("computed zone") << date << "15:13:20.66 UTC 12:13:20.66" << QString()
                                       << "2015.04.01|15:13:20.660|2015.04.01|12:13:20.660|3";
        QTest::newRow("zone key wins") << date << "15:13:20 UTC 12:13:20" << "-2"
                                       << "2015.04.01|15:13:20|2015.04.01|12:13:20|-2";
        QTest::newRow("across midnight") << "02.04.2015  UTC\t01.04.2015" << "1:2:3.12345 UTC 22:02:03" << QString()
                                         << "2015.04.02|01:02:03.123|2015.04.01|22:02:03|3";
        QTest::newRow("lower-case utc") << "01.04.2015 utc 01.04.2015" << "15:13:20 utc 12:13:20" << QString()
                                        << "||||0";
    }

    void beginTimes()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, zone);
        QFETCH(QString, expected);
        fixture::Entries entries = fixture::entries(4, 1, 2, 3);
        fixture::set(&entries, QStringLiteral("date_begin"), date);
        fixture::set(&entries, QStringLiteral("time_begin"), time);
        if (!zone.isNull())
            fixture::set(&entries, QStringLiteral("zone"), zone);
        NativeFile file;
        QVERIFY(parse(entries, &file) > 0);
        QCOMPARE(QStringList({file.localBeginDate, file.localBeginTime, file.utcBeginDate, file.utcBeginTime,
                              QString::number(file.zone)}).join(QLatin1Char('|')), expected);
    }

    // Fields the passport leaves out come from the file name or stay empty;
    // the samples the record holds are the caller's and stay.
    void defaultsFromFileName()
    {
        fixture::Entries entries = fixture::entries(4, 1, 2, 3);
        fixture::remove(&entries, QStringLiteral("area"));
        fixture::remove(&entries, QStringLiteral("nativeFileName"));
        fixture::remove(&entries, QStringLiteral("alpha"));
        fixture::set(&entries, QStringLiteral("first_point"), QStringLiteral("70"));
        NativeFile file;
        file.samples = QVector<float>{1.0f, 2.0f};
        file.alpha = QStringLiteral("stale");
        const QByteArray bytes = fixture::passport(entries) + fixture::samples(4, 1, 2, 3);
        QVERIFY(parsePassport(write(bytes, QStringLiteral("250726_08_N0_00.pnthr")), &file) > 0);
        QCOMPARE(QStringList({file.plosh, file.nativeFileName, file.observationDate, file.alpha}),
                 QStringList({"N0", "250726_08_N0_00.pnthr", "2026.07.25", ""}));
        QCOMPARE(file.firstPoint, 70);
        QCOMPARE(file.samples.size(), 2);

        fixture::set(&entries, QStringLiteral("firstPoint"), QStringLiteral("90"));
        fixture::set(&entries, QStringLiteral("nativeFileName"), QStringLiteral("/obs/2015/010415_13_N1_00.pnt"));
        QVERIFY(parse(entries, &file) > 0);
        QCOMPARE(file.firstPoint, 90);
        QCOMPARE(file.nativeFileName, QStringLiteral("010415_13_N1_00.pnt"));
    }

    void n4PositionCode()
    {
        fixture::Entries entries = fixture::entries(4, 2, 2, 3);
        fixture::set(&entries, QStringLiteral("area"), QStringLiteral("N4"));
        fixture::set(&entries, QStringLiteral("source"), QStringLiteral("kvxII  12\t0 77 1 extra"));
        NativeFile file;
        // The position code fixes one module, so the two written modules no longer fit.
        QCOMPARE(parse(entries, &file, 2), qint64(-2));
        QVERIFY(parse(entries, &file) > 0);
        QCOMPARE(file.positionCodeKey, QStringLiteral("12 0 1"));
        QCOMPARE(file.firstModule, 8);
        QCOMPARE(file.nModules, 1);
    }
};

QTEST_GUILESS_MAIN(PassportTest)
#include "tst_passport.moc"
