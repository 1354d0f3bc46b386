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

    // Parses a 4-point, 1-module, 2-ray, 3-channel file, its passport modified.
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
        // The position code fixes one module, so two written modules no longer fit.
        QTest::newRow("N4 with two modules") << Modifier([](E *e) {
            fixture::set(e, QStringLiteral("area"), QStringLiteral("N4"));
            fixture::set(e, QStringLiteral("source"), QStringLiteral("kvxII 12 0 77 1"));
            fixture::set(e, QStringLiteral("modulus"), QStringLiteral("3 4"));
        }) << 96 << -2;
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

    // The record's fields by name, as text.
    static QMap<QString, QString> fieldTexts(const NativeFile &f)
    {
        const auto n = [](qint64 v) { return QString::number(v); };
        return {{"nModules", n(f.nModules)}, {"nRays", n(f.nRays)}, {"firstModule", n(f.firstModule)},
                {"firstRay", n(f.firstRay)}, {"firstPoint", n(f.firstPoint)}, {"zone", n(f.zone)},
                {"samples", n(f.samples.size())}, {"tresolution", QString::number(f.tresolution, 'g', 15)},
                {"tresolutionText", f.tresolutionText}, {"plosh", f.plosh}, {"nativeFileName", f.nativeFileName},
                {"observationDate", f.observationDate}, {"alpha", f.alpha}, {"positionCodeKey", f.positionCodeKey},
                {"localBeginDate", f.localBeginDate}, {"localBeginTime", f.localBeginTime},
                {"utcBeginDate", f.utcBeginDate}, {"utcBeginTime", f.utcBeginTime}};
    }

    // What the parser makes of the entries: rays, the interval and its text,
    // the begin times and zone, defaults from the file name, the N4 position
    // code. A record's samples are the caller's and stay.
    void fields_data()
    {
        QTest::addColumn<QString>("changes");    // "key=value" sets, "-key" removes, joined by '|'
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("rays");           // written in the file
        QTest::addColumn<QString>("expected");   // "field=text", joined by '|'
        const QString name = QStringLiteral("010415_13_N2_00.pnt");
        QTest::newRow("one ray by its number") << "-rays|ray=3" << name << 1 << "nRays=1|firstRay=3";
        QTest::newRow("ray 0 is all eight") << "-rays|ray=0" << name << 8 << "nRays=8|firstRay=1";
        QTest::newRow("s, no integer part") << "-tresolution|tres=.5" << name << 2
                                            << "tresolution=0.5|tresolutionText=.5";
        QTest::newRow("s, clamped") << "-tresolution|tres=1e-30" << name << 2
                                    << "tresolution=1e-30|tresolutionText=0.0000000000000000";
        QTest::newRow("tresolution wins over tres") << "tres=7" << name << 2
                                                    << "tresolution=0.0124928|tresolutionText=0.0124928";
        QTest::newRow("computed zone") << "" << name << 2
                                       << "localBeginDate=2015.04.01|localBeginTime=15:13:20.660|"
                                          "utcBeginDate=2015.04.01|utcBeginTime=12:13:20.660|zone=3";
        QTest::newRow("zone key wins") << "time_begin=15:13:20 UTC 12:13:20|zone=-2" << name << 2
                                       << "localBeginTime=15:13:20|utcBeginTime=12:13:20|zone=-2";
        QTest::newRow("across midnight") << "date_begin=02.04.2015  UTC\t01.04.2015|time_begin=1:2:3.12345 UTC 22:02:03"
                                         << name << 2
                                         << "localBeginDate=2015.04.02|localBeginTime=01:02:03.123|"
                                            "utcBeginDate=2015.04.01|utcBeginTime=22:02:03|zone=3";
        QTest::newRow("lower-case utc") << "date_begin=01.04.2015 utc 01.04.2015|time_begin=15:13:20 utc 12:13:20"
                                        << name << 2
                                        << "localBeginDate=|localBeginTime=|utcBeginDate=|utcBeginTime=|zone=0";
        QTest::newRow("defaults from the file name") << "-area|-nativeFileName|-alpha|first_point=70"
                                                     << "250726_08_N0_00.pnthr" << 2
                                                     << "plosh=N0|nativeFileName=250726_08_N0_00.pnthr|"
                                                        "observationDate=2026.07.25|alpha=|firstPoint=70|samples=2";
        QTest::newRow("firstPoint wins, directories dropped")
            << "first_point=70|firstPoint=90|nativeFileName=/obs/2015/010415_13_N1_00.pnt" << name << 2
            << "firstPoint=90|nativeFileName=010415_13_N1_00.pnt";
        QTest::newRow("an indented line carries no entry") << "-alpha| alpha=01:02:03" << name << 2 << "alpha=";
        QTest::newRow("N4 position code") << "area=N4|source=kvxII  12\t0 77 1 extra" << name << 2
                                          << "positionCodeKey=12 0 1|firstModule=8|nModules=1";
    }

    void fields()
    {
        QFETCH(QString, changes);
        QFETCH(QString, fileName);
        QFETCH(int, rays);
        QFETCH(QString, expected);
        fixture::Entries entries = fixture::entries(4, 1, rays, 3);
        for (const QString &change : changes.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            if (change.startsWith(QLatin1Char('-')))
                fixture::remove(&entries, change.mid(1));
            else
                fixture::set(&entries, change.section(QLatin1Char('='), 0, 0), change.section(QLatin1Char('='), 1));
        }
        NativeFile file;
        file.samples = QVector<float>{1.0f, 2.0f};
        file.alpha = QStringLiteral("stale");
        const QByteArray bytes = fixture::passport(entries) + fixture::samples(4, 1, rays, 3);
        QVERIFY(parsePassport(write(bytes, fileName), &file) > 0);
        const QMap<QString, QString> texts = fieldTexts(file);
        QStringList actual;
        for (const QString &field : expected.split(QLatin1Char('|'))) {
            const QString key = field.section(QLatin1Char('='), 0, 0);
            actual << key + QLatin1Char('=') + texts.value(key, QStringLiteral("(no such field)"));
        }
        QCOMPARE(actual.join(QLatin1Char('|')), expected);
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
};

QTEST_GUILESS_MAIN(PassportTest)
#include "tst_passport.moc"
