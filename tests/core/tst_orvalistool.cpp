#include "tests/support/coreprobes.h"
#include "tests/support/nativefixture.h"
#include "tests/support/toolrun.h"

#include <QtTest>

#include <cerrno>
#include <cstring>

// The orvalis-tool command line: exit statuses (of validate and info over good
// and damaged files among them) and exports that cannot be written.
class OrvalisToolTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_tool = ToolRun::path(QStringLiteral("orvalis-tool"));
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool + QStringLiteral(" is not built")));
        m_good = m_dir.filePath(QStringLiteral("tree/good.pnt"));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("tree/sub/deeper"))));
        QVERIFY(fixture::writeNative(m_good, 50, 1, 8, 5));
        // Cut short in the sample block; random bytes with a native suffix; a
        // text file that is no native data, which the listing passes over.
        const QByteArray bytes = probe::contents(m_good);
        QVERIFY(fixture::writeFile(m_dir.filePath(QStringLiteral("tree/sub/truncated.pnt")), bytes.left(bytes.size() - 6)));
        QByteArray noise(3000, '\0');
        for (int i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) % 251);
        QVERIFY(fixture::writeFile(m_dir.filePath(QStringLiteral("tree/sub/deeper/garbled.pnthr")), noise));
        QVERIFY(fixture::writeFile(m_dir.filePath(QStringLiteral("tree/notes.txt")), "observing log\n"));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("tool help") << QStringList{"--help"} << 0;
        QTest::newRow("export help") << QStringList{"export", "--help"} << 0;
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("unknown option") << QStringList{"info", "--colour", "DIR/tree/good.pnt"} << 2;
        QTest::newRow("export, first not a number")
            << QStringList{"export", "DIR/tree/good.pnt", "-f", "fil", "-o", "DIR/x", "--first", "ten"} << 2;
        QTest::newRow("validate without paths") << QStringList{"validate"} << 2;
        QTest::newRow("export of two files into one file")
            << QStringList{"export", "DIR/tree/good.pnt", "DIR/tree/good.pnt", "-f", "fil", "-o", "DIR/x"} << 2;
        QTest::newRow("export without format") << QStringList{"export", "DIR/tree/good.pnt", "-o", "DIR/x"} << 2;
        QTest::newRow("export, dm of a filterbank")
            << QStringList{"export", "DIR/tree/good.pnt", "-f", "fil", "-o", "DIR/x", "--dm", "3"} << 2;
        QTest::newRow("info of a good file") << QStringList{"info", "DIR/tree/good.pnt"} << 0;
        QTest::newRow("validate the good file") << QStringList{"validate", "DIR/tree/good.pnt"} << 0;
        QTest::newRow("validate a directory without native files") << QStringList{"validate", "DIR/empty"} << 1;
        QTest::newRow("validate a tree with damaged files") << QStringList{"validate", "DIR/tree"} << 1;
        QTest::newRow("info as JSON of a damaged file")
            << QStringList{"info", "--json", "DIR/tree/sub/truncated.pnt"} << 1;
        QTest::newRow("export of a beam the file lacks")
            << QStringList{"export", "DIR/tree/good.pnt", "-f", "txt", "-o", "DIR/x.txt", "--beam", "9"} << 1;
    }

    void exitStatuses()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("empty"))));
        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        // Help and results go to standard output, usage errors to standard error,
        // and nothing else: no progress line when standard error is a pipe.
        if (status != 1)
            QCOMPARE(result.err.isEmpty(), status == 0);
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("x"))));
    }

    void unwritableExport_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("target");
        QTest::newRow("filterbank") << "fil" << "good.pnt/out.fil";
        QTest::newRow("time series") << "dat" << "good.pnt/out";
        QTest::newRow("extract") << "pnt" << "good.pnt/out.pnt";
    }

    void unwritableExport()
    {
        QFETCH(QString, format);
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(fixture::writeNative(dir.filePath(QStringLiteral("good.pnt")), 50, 1, 8, 5));
        const Run result = run({QStringLiteral("export"), dir.filePath(QStringLiteral("good.pnt")), QStringLiteral("-f"),
                                format, QStringLiteral("-o"), dir.filePath(target)});
        QCOMPARE(result.status, 1);
        QVERIFY2(result.err.contains(QString::fromLocal8Bit(std::strerror(ENOTDIR))), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
        const QStringList left = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, QStringList{QStringLiteral("good.pnt")});
    }

private:
    using Run = ToolRun::Result;

    Run run(QStringList arguments) const
    {
        arguments.replaceInStrings(QStringLiteral("DIR"), m_dir.path());
        return ToolRun::run(m_tool, arguments);
    }

    QString m_tool;
    QTemporaryDir m_dir;
    QString m_good;
};

QTEST_GUILESS_MAIN(OrvalisToolTest)
#include "tst_orvalistool.moc"
