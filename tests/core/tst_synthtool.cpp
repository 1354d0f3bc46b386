#include "data/nativereader.h"
#include "synth/syntheticobservation.h"
#include "tests/support/toolrun.h"

#include <QtTest>

// The orvalis-synth command line: options reach the generator, bad input is
// refused without writing anything.
class TestSynthTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_tool = ToolRun::path(QStringLiteral("orvalis-synth"));
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool + QStringLiteral(" is not built")));
    }

    void optionsReachTheGenerator()
    {
        QTemporaryDir dir;
        QByteArray output;
        QCOMPARE(run({"pnt", dir.path(), "--points", "500", "--channels", "4", "--rays", "2", "--first-ray", "3",
                      "--dm", "10", "--period", "0.5", "--snr", "3", "--seed", "7", "--plosh", "N2", "--date",
                      "2025-01-02", "--time", "03:04:05", "--zone", "3", "--descending", "--calibration", "1"},
                     &output),
                 0);
        const QString path = dir.filePath(QStringLiteral("020125_06_N2_00.pnt"));
        QVERIFY2(output.contains("020125_06_N2_00.pnt"), output.constData());

        SyntheticObservation::Params params;
        std::tie(params.npoints, params.nBands, params.nRays, params.firstRay, params.seed, params.zone) =
            std::make_tuple(500, 4, 2, 3, 7, 3);
        std::tie(params.dm, params.period, params.snr, params.calibrationStart) = std::make_tuple(10.0, 0.5, 3.0, 1.0);
        params.plosh = QStringLiteral("N2");
        params.utcBegin = QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5), Qt::UTC);
        params.descending = true;
        const NativeFile expected = SyntheticObservation(params).toNativeFile(path);
        NativeFile read;
        QVERIFY(readNativeFile(path, &read));
        QCOMPARE(read.localBeginTime, QStringLiteral("06:04:05"));
        QVERIFY(read.firstRay == 3 && read.fbands == expected.fbands && read.samples == expected.samples);
    }

    void missingDirectoriesAreMade_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("directory named with a slash")
            << QStringList({"pnthr", "OUT/new/", "--points", "16"}) << "new/250726_05_N1_00.pnthr";
        QTest::newRow("text file below a missing directory")
            << QStringList({"txt", "OUT/t/x.txt", "--points", "16", "--first-module", "4", "--first-ray", "6"})
            << "t/x.txt";
    }

    void missingDirectoriesAreMade()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        arguments.replaceInStrings(QStringLiteral("OUT"), dir.path());
        QByteArray output;
        QCOMPARE(run(arguments, &output), 0);
        NativeFile read;
        QVERIFY2(readNativeFile(dir.filePath(expected), &read), output.constData());
        QCOMPARE(read.npoints, 16);
        QCOMPARE(read.firstRay, arguments.contains(QStringLiteral("--first-ray")) ? 6 : 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("points not a number") << QStringList({"pnt", "OUT", "--points", "many"}) << 2;
        QTest::newRow("unknown N4 position") << QStringList({"pnt", "OUT", "--plosh", "N4", "--position", "19 0 1"}) << 2;
        QTest::newRow("bad date") << QStringList({"pnt", "OUT", "--date", "2025-13-40"}) << 2;
        QTest::newRow("two rays as text") << QStringList({"txt", "OUT", "--rays", "2"}) << 1;
        QTest::newRow("unknown command") << QStringList({"wav", "OUT"}) << 2;
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        arguments.replaceInStrings(QStringLiteral("OUT"), dir.path());
        QTEST(run(arguments), "status");
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }

    void profilesAndCorpus()
    {
        QTemporaryDir dir;
        QCOMPARE(run({"profiles", dir.filePath(QStringLiteral("p")), "--days", "2"}), 0);
        QCOMPARE(QDir(dir.filePath(QStringLiteral("p"))).entryList({QStringLiteral("p20*.txt")}, QDir::Files).size(), 8);
        QCOMPARE(run({"corpus", dir.filePath(QStringLiteral("c"))}), 0);
        QVERIFY(!QDir(dir.filePath(QStringLiteral("c/passport"))).entryList(QDir::Files).isEmpty());
    }

private:
    int run(const QStringList &arguments, QByteArray *output = nullptr)
    {
        const ToolRun::Result result = ToolRun::run(m_tool, arguments);
        if (output)
            *output = (result.out + result.err).toUtf8();
        return result.status;
    }

    QString m_tool;
};

QTEST_GUILESS_MAIN(TestSynthTool)
#include "tst_synthtool.moc"
