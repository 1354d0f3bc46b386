#include "astro/beamtables.h"
#include "data/nativereader.h"
#include "synth/syntheticobservation.h"

#include <QtTest>

#include <functional>

using Params = SyntheticObservation::Params;
using ParamsChange = std::function<void(Params *)>;
Q_DECLARE_METATYPE(SyntheticObservation::Params)
Q_DECLARE_METATYPE(ParamsChange)

// The synthetic observation generator: what it writes must read back as
// declared, be reproducible and follow the naming rules.
class TestSynthObservation : public QObject
{
    Q_OBJECT

    static auto fields(const NativeFile &f)
    {
        return std::tie(f.npoints, f.nModules, f.nRays, f.firstModule, f.firstRay, f.firstPoint, f.tresolution,
                        f.plosh, f.positionCodeKey, f.observationDate, f.source, f.delta, f.localBeginTime,
                        f.utcBeginDate, f.utcBeginTime, f.zone, f.fbands, f.samples);
    }

private slots:
    void binaryReadsBack_data()
    {
        QTest::addColumn<Params>("params");
        Params basic;
        basic.npoints = 5000;   // more than one generator block
        basic.snr = 5.0;
        QTest::newRow("pnt, 8 rays") << basic;
        Params modules = basic;
        modules.nModules = 3; modules.firstModule = 2; modules.nRays = 2; modules.firstRay = 3;
        modules.npoints = 700; modules.tresInSeconds = true; modules.writeZone = true; modules.zone = 2;
        modules.firstPoint = 1234; modules.plosh = QStringLiteral("N2");
        modules.utcBegin = QDateTime(QDate(2025, 12, 31), QTime(22, 30, 15, 250), Qt::UTC);
        QTest::newRow("modules, tres, first point, date change") << modules;
        Params odd = basic;
        odd.npoints = 50; odd.source = QStringLiteral("two\nlines"); odd.delta = QStringLiteral("-05:22:00\r\n");
        QTest::newRow("line breaks in passport values") << odd;
        Params n4 = basic;
        n4.plosh = QStringLiteral("N4"); n4.positionCode = QStringLiteral("13 1 1"); n4.tresolution = 0.003072;
        n4.npoints = 600;
        QTest::newRow("N4 position code") << n4;
    }

    void binaryReadsBack()
    {
        QFETCH(Params, params);
        QTemporaryDir dir;
        const SyntheticObservation observation(params);
        QVERIFY2(observation.problem().isEmpty(), qPrintable(observation.problem()));
        const QString path = dir.filePath(observation.fileName(QStringLiteral("pnt")));
        QVERIFY(observation.writeBinary(path, nullptr));
        QCOMPARE(QFileInfo(path).size(),
                 observation.passport().size() + 4 * observation.valuesPerPoint() * params.npoints);
        NativeFile read;
        QVERIFY(readNativeFile(path, &read) && validateNativeFile(read).isEmpty());
        QCOMPARE(read.nChannels, params.nBands + 1);
        const bool n4 = params.plosh == QLatin1String("N4");
        QCOMPARE(read.firstModule, n4 ? positionCodeTable().value(params.positionCode).index : params.firstModule);
        QCOMPARE(read.utcBeginTime.left(8), params.utcBegin.time().toString(QStringLiteral("hh:mm:ss")));
        if (params.nBands > 1)
            QCOMPARE(read.fbands.first() > read.fbands.last(), params.descending);
        for (double f : read.fbands)
            QVERIFY(f > 109.0 && f < 111.5);
        QVERIFY(fields(read) == fields(observation.toNativeFile(path)));
    }

    void textReadsBack()
    {
        Params params;
        params.nRays = 1; params.firstModule = 5; params.firstRay = 7; params.npoints = 4500; params.snr = 4.0;
        params.firstPoint = 77; params.utcBegin = QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58, 500), Qt::UTC);
        const SyntheticObservation observation(params);
        QTemporaryDir dir;
        const QString path = dir.filePath(observation.textFileName());
        QVERIFY(observation.writeText(path, nullptr));
        NativeFile read;
        QVERIFY(readNativeFile(path, &read) && validateNativeFile(read).isEmpty());
        QVERIFY(fields(read) == fields(observation.toNativeFile(path)));
        // The date comes from the parent observation's name, the local day
        // being one after the UTC day.
        QCOMPARE(read.observationDate, QStringLiteral("2026.03.02"));
        QCOMPARE(read.localBeginTime, QStringLiteral("02:59:58.500"));
    }

    // The same seed gives the same observation; another seed, even one that
    // differs only in its upper half, other noise.
    void deterministicForSeed()
    {
        Params params;
        params.npoints = 3000;
        params.snr = 3.0;
        params.calibrationStart = 5.0;
        const QVector<float> first = SyntheticObservation(params).toNativeFile().samples;
        QVERIFY(SyntheticObservation(params).toNativeFile().samples == first);
        Params other = params;
        other.seed = params.seed + (quint64(1) << 40);
        QVERIFY(SyntheticObservation(other).toNativeFile().samples != first);
    }

    // Ranges that start and end inside generator blocks, cross their borders
    // or reach outside the observation (zeros there).
    void randomAccessMatchesStream()
    {
        Params params; params.npoints = 9000; params.nRays = 2; params.snr = 2.0;
        const SyntheticObservation observation(params);
        const NativeFile whole = observation.toNativeFile();
        const int perPoint = int(observation.valuesPerPoint());
        for (const auto &range : {qMakePair(4090, 20), qMakePair(0, 1), qMakePair(8191, 809), qMakePair(123, 5000),
                                  qMakePair(-2, 6), qMakePair(params.npoints - 2, 6)}) {
            QVector<float> part(range.second * perPoint, -1.0f);
            observation.fillPoints(range.first, range.second, part.data());
            for (int i = 0; i < range.second; ++i) {
                const int point = range.first + i;
                for (int series = 0; series < perPoint; ++series) {
                    const float expected = point < 0 || point >= params.npoints
                        ? 0.0f : whole.samples.at(series * params.npoints + point);
                    QCOMPARE(part.at(i * perPoint + series), expected);
                }
            }
        }
        QCOMPARE(observation.sample(8200, 0, 1, 3), whole.samples.at((1 * 7 + 3) * params.npoints + 8200));
        QCOMPARE(observation.sample(params.npoints, 0, 0, 0), 0.0f);
    }

    void sparseFileHasExactSize()
    {
        QTemporaryDir dir;
        Params params; params.nRays = 2; params.nBands = 5; params.snr = 3.0;
        for (qint64 size : {qint64(1) << 20, (qint64(1) << 20) + 3, qint64(4096) + 1, (qint64(1) << 31)}) {
            const QString path = dir.filePath(QStringLiteral("%1_00_N1_00.pnt").arg(size));
            Params used;
            QString error;
            QVERIFY2(SyntheticObservation::writeSparse(path, size, params, 100, &used, &error), qPrintable(error));
            QCOMPARE(QFileInfo(path).size(), size);
            NativeFile read;
            QVERIFY(readNativeFile(path, &read));
            QCOMPARE(read.npoints, used.npoints);
            QCOMPARE(bool(read.mapping), size >= nativeMappedThreshold);
            const SyntheticObservation observation(used);
            for (qint64 point : {qint64(0), qint64(57), qint64(std::min(99, used.npoints - 1))}) {
                for (int channel : {0, 4, 5})
                    QCOMPARE(nativeSample(read, 0, 1, channel, point), observation.sample(point, 0, 1, channel));
            }
            // Past the written points the file is a hole of zeros.
            if (used.npoints > 100)
                QCOMPARE(nativeSample(read, 0, 0, 0, 100), 0.0f);
        }
        QString error;
        QVERIFY(!SyntheticObservation::writeSparse(dir.filePath(QStringLiteral("tiny.pnt")), 100, params, 0, nullptr,
                                                   &error));
        QVERIFY(!error.isEmpty());
    }

    void invalidParametersRefused_data()
    {
        QTest::addColumn<ParamsChange>("change");
        QTest::addColumn<QString>("name");
        QTest::newRow("valid, missing folder") << ParamsChange([](Params *) {}) << "missing/sub/x.pnt";
        QTest::newRow("no bands") << ParamsChange([](Params *p) { p->nBands = 0; }) << "x.pnt";
        QTest::newRow("no resolution") << ParamsChange([](Params *p) { p->tresolution = 0.0; }) << "x.pnt";
        QTest::newRow("six bands, two frequencies") << ParamsChange([](Params *p) { p->frequencies = {110.0, 111.0}; })
                                                    << "x.pnt";
        QTest::newRow("pulse without width") << ParamsChange([](Params *p) { p->snr = 5.0; p->width = 0.0; }) << "x.pnt";
        QTest::newRow("values per point overflow")
            << ParamsChange([](Params *p) { p->nModules = p->nRays = p->nBands = 1 << 30; }) << "x.pnt";
    }

    void invalidParametersRefused()
    {
        QFETCH(ParamsChange, change);
        QFETCH(QString, name);
        Params params;
        change(&params);
        const SyntheticObservation observation(params);
        QTemporaryDir dir;
        QString error;
        QVERIFY(!observation.writeBinary(dir.filePath(name), &error));
        QVERIFY(!error.isEmpty() && !QFile::exists(dir.filePath(name)));
        QCOMPARE(observation.problem().isEmpty(), name.startsWith(QLatin1String("missing")));
    }
};

QTEST_GUILESS_MAIN(TestSynthObservation)
#include "tst_synthobservation.moc"
