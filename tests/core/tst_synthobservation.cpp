#include "astro/beamtables.h"
#include "astro/filenames.h"
#include "data/nativereader.h"
#include "synth/profilewriter.h"
#include "synth/syntheticobservation.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Params = SyntheticObservation::Params;
Q_DECLARE_METATYPE(SyntheticObservation::Params)

// The synthetic observation generator: what it writes must read back as
// declared, be reproducible, follow the naming rules and carry the signal it
// was asked for.
class TestSynthObservation : public QObject
{
    Q_OBJECT

private slots:
    // First, while the process's peak memory is still low.
    void writingStreams();
    void binaryReadsBack_data();
    void binaryReadsBack();
    void textReadsBack();
    void deterministicForSeed();
    void randomAccessMatchesStream();
    void everyPositionCodeReadsBack();
    void fileNamesFollowRules_data();
    void fileNamesFollowRules();
    void noiseStatistics();
    void totalIsSumOfBands();
    void calibrationStepLastsFifteenSeconds_data();
    void calibrationStepLastsFifteenSeconds();
    void calibrationPatternIsRemovable();
    void transitRisesAndFalls();
    void pulseArrivesWithDispersionDelay();
    void sparseFileHasExactSize();
    void invalidParametersRefused();
    void failedWriteLeavesNoFile();
    void profilesFile();

private:
    static QByteArray fileHash(const QString &path);
    static void compareRecords(const NativeFile &actual, const NativeFile &expected);
};

QByteArray TestSynthObservation::fileHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

void TestSynthObservation::compareRecords(const NativeFile &actual, const NativeFile &expected)
{
    QCOMPARE(actual.loaded, expected.loaded);
    QCOMPARE(actual.npoints, expected.npoints);
    QCOMPARE(actual.nModules, expected.nModules);
    QCOMPARE(actual.nRays, expected.nRays);
    QCOMPARE(actual.nChannels, expected.nChannels);
    QCOMPARE(actual.firstModule, expected.firstModule);
    QCOMPARE(actual.firstRay, expected.firstRay);
    QCOMPARE(actual.firstPoint, expected.firstPoint);
    QCOMPARE(actual.tresolution, expected.tresolution);
    QCOMPARE(actual.tresolutionText, expected.tresolutionText);
    QCOMPARE(actual.fileName, expected.fileName);
    QCOMPARE(actual.nativeFileName, expected.nativeFileName);
    QCOMPARE(actual.plosh, expected.plosh);
    QCOMPARE(actual.positionCodeKey, expected.positionCodeKey);
    QCOMPARE(actual.observationDate, expected.observationDate);
    QCOMPARE(actual.source, expected.source);
    QCOMPARE(actual.alpha, expected.alpha);
    QCOMPARE(actual.delta, expected.delta);
    QCOMPARE(actual.fcentral, expected.fcentral);
    QCOMPARE(actual.wbTotal, expected.wbTotal);
    QCOMPARE(actual.localBeginDate, expected.localBeginDate);
    QCOMPARE(actual.localBeginTime, expected.localBeginTime);
    QCOMPARE(actual.utcBeginDate, expected.utcBeginDate);
    QCOMPARE(actual.utcBeginTime, expected.utcBeginTime);
    QCOMPARE(actual.zone, expected.zone);
    QCOMPARE(actual.wbands, expected.wbands);
    QCOMPARE(actual.fbands, expected.fbands);
    QCOMPARE(actual.sampleCount(), expected.sampleCount());
    QVERIFY(actual.samples == expected.samples);
}

void TestSynthObservation::binaryReadsBack_data()
{
    QTest::addColumn<Params>("params");
    QTest::addColumn<QString>("suffix");

    Params basic;
    basic.npoints = 5000;   // more than one generator block
    basic.snr = 5.0;
    QTest::newRow("pnt, 8 rays") << basic << "pnt";

    Params high = basic;
    high.nBands = 32;
    high.nRays = 1;
    high.firstModule = 4;
    high.firstRay = 6;
    high.descending = true;
    high.npoints = 1000;
    QTest::newRow("pnthr, descending, one ray") << high << "pnthr";

    Params modules = basic;
    modules.nModules = 3;
    modules.firstModule = 2;
    modules.nRays = 2;
    modules.firstRay = 3;
    modules.npoints = 700;
    modules.tresInSeconds = true;
    modules.writeZone = true;
    modules.zone = 2;
    modules.firstPoint = 1234;
    modules.plosh = QStringLiteral("N2");
    modules.utcBegin = QDateTime(QDate(2025, 12, 31), QTime(22, 30, 15, 250), Qt::UTC);
    QTest::newRow("modules, tres, first point, date change") << modules << "pnt";

    Params odd = basic;
    odd.npoints = 50;
    odd.source = QStringLiteral("two\nlines");
    odd.delta = QStringLiteral("-05:22:00\r\n");
    QTest::newRow("line breaks in passport values") << odd << "pnt";

    Params n4 = basic;
    n4.plosh = QStringLiteral("N4");
    n4.positionCode = QStringLiteral("13 1 1");
    n4.tresolution = 0.003072;
    n4.nRays = 8;
    n4.npoints = 600;
    QTest::newRow("N4 position code") << n4 << "pnt";
}

void TestSynthObservation::binaryReadsBack()
{
    QFETCH(Params, params);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const SyntheticObservation observation(params);
    QVERIFY2(observation.problem().isEmpty(), qPrintable(observation.problem()));
    const QString path = dir.filePath(observation.fileName(suffix));
    QString error;
    QVERIFY2(observation.writeBinary(path, &error), qPrintable(error));

    const qint64 expectedSize = observation.passport().size() + 4 * observation.valuesPerPoint() * params.npoints;
    QCOMPARE(QFileInfo(path).size(), expectedSize);

    NativeFile read;
    QVERIFY(readNativeFile(path, &read));
    QVERIFY(validateNativeFile(read).isEmpty());
    QCOMPARE(read.npoints, params.npoints);
    QCOMPARE(read.nChannels, params.nBands + 1);
    QCOMPARE(read.nRays, params.nRays);
    if (params.plosh == QLatin1String("N4")) {
        QCOMPARE(read.nModules, 1);
        QCOMPARE(read.firstModule, positionCodeTable().value(params.positionCode).index);
        QCOMPARE(read.positionCodeKey, params.positionCode);
    } else {
        QCOMPARE(read.nModules, params.nModules);
        QCOMPARE(read.firstModule, params.firstModule);
    }
    QCOMPARE(read.zone, params.zone);
    QCOMPARE(read.utcBeginTime.left(8), params.utcBegin.time().toString(QStringLiteral("hh:mm:ss")));
    QCOMPARE(read.fbands.size(), params.nBands);
    if (params.nBands > 1)
        QCOMPARE(read.fbands.first() > read.fbands.last(), params.descending);
    for (double f : read.fbands)
        QVERIFY(f > 109.0 && f < 111.5);

    compareRecords(read, observation.toNativeFile(path));
}

void TestSynthObservation::textReadsBack()
{
    Params params;
    params.nRays = 1;
    params.firstModule = 5;
    params.firstRay = 7;
    params.npoints = 4500;
    params.snr = 4.0;
    params.firstPoint = 77;
    params.utcBegin = QDateTime(QDate(2026, 3, 1), QTime(23, 59, 58, 500), Qt::UTC);
    const SyntheticObservation observation(params);
    QTemporaryDir dir;
    const QString path = dir.filePath(observation.textFileName());
    QString error;
    QVERIFY2(observation.writeText(path, &error), qPrintable(error));

    NativeFile read;
    QVERIFY(readNativeFile(path, &read));
    QVERIFY(validateNativeFile(read).isEmpty());
    compareRecords(read, observation.toNativeFile(path));
    // The date comes from the parent observation's name, the local day here
    // being one after the UTC day.
    QCOMPARE(read.observationDate, QStringLiteral("2026.03.02"));
    QCOMPARE(read.localBeginTime, QStringLiteral("02:59:58.500"));

    Params twoRays = params;
    twoRays.nRays = 2;
    QVERIFY(!SyntheticObservation(twoRays).writeText(dir.filePath(QStringLiteral("x.txt")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.txt"))));
}

void TestSynthObservation::deterministicForSeed()
{
    Params params;
    params.npoints = 3000;
    params.snr = 3.0;
    params.calibrationStart = 5.0;
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.pnt"));
    const QString b = dir.filePath(QStringLiteral("b.pnt"));
    const QString c = dir.filePath(QStringLiteral("c.pnt"));
    QVERIFY(SyntheticObservation(params).writeBinary(a, nullptr));
    QVERIFY(SyntheticObservation(params).writeBinary(b, nullptr));
    params.seed = 2;
    QVERIFY(SyntheticObservation(params).writeBinary(c, nullptr));
    QCOMPARE(fileHash(a), fileHash(b));
    QVERIFY(fileHash(a) != fileHash(c));
    QCOMPARE(QFileInfo(a).size(), QFileInfo(c).size());

    // A seed differing only in its upper half still changes the noise.
    Params high = params;
    high.seed = 2 + (quint64(1) << 40);
    QVERIFY(SyntheticObservation(high).sample(10, 0, 0, 0) != SyntheticObservation(params).sample(10, 0, 0, 0));
}

void TestSynthObservation::randomAccessMatchesStream()
{
    Params params;
    params.npoints = 9000;
    params.nRays = 2;
    params.snr = 2.0;
    const SyntheticObservation observation(params);
    const NativeFile whole = observation.toNativeFile();
    const qint64 perPoint = observation.valuesPerPoint();
    // Ranges that start and end inside generator blocks and cross their borders.
    for (const auto &range : {qMakePair(4090, 20), qMakePair(0, 1), qMakePair(8191, 809), qMakePair(123, 5000)}) {
        QVector<float> part(int(range.second * perPoint));
        observation.fillPoints(range.first, range.second, part.data());
        for (int i = 0; i < range.second; ++i) {
            for (int series = 0; series < perPoint; ++series) {
                QCOMPARE(part.at(int(i * perPoint + series)),
                         whole.samples.at(int(series * params.npoints + range.first + i)));
            }
        }
    }
    QCOMPARE(observation.sample(8200, 0, 1, 3), whole.samples.at(int((1 * 7 + 3) * params.npoints + 8200)));

    // Points outside the observation read as zeros, the rest as usual.
    QVector<float> edges(int(6 * perPoint), -1.0f);
    observation.fillPoints(-2, 6, edges.data());
    for (int series = 0; series < perPoint; ++series) {
        QCOMPARE(edges.at(series), 0.0f);
        QCOMPARE(edges.at(int(perPoint + series)), 0.0f);
        for (int p = 0; p < 4; ++p)
            QCOMPARE(edges.at(int((2 + p) * perPoint + series)), whole.samples.at(int(series * params.npoints + p)));
    }
    edges.fill(-1.0f);
    observation.fillPoints(params.npoints - 2, 6, edges.data());
    for (int series = 0; series < perPoint; ++series) {
        QCOMPARE(edges.at(series), whole.samples.at(int(series * params.npoints + params.npoints - 2)));
        QCOMPARE(edges.at(int(perPoint + series)), whole.samples.at(int(series * params.npoints + params.npoints - 1)));
        for (int p = 2; p < 6; ++p)
            QCOMPARE(edges.at(int(p * perPoint + series)), 0.0f);
    }
    QCOMPARE(observation.sample(params.npoints, 0, 0, 0), 0.0f);
}

void TestSynthObservation::everyPositionCodeReadsBack()
{
    QTemporaryDir dir;
    const QHash<QString, PositionCode> &table = positionCodeTable();
    QCOMPARE(table.size(), 20);
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        Params params;
        params.plosh = QStringLiteral("N4");
        params.positionCode = it.key();
        params.npoints = 10;
        params.nRays = 1;
        params.tresolution = 0.003072;
        const SyntheticObservation observation(params);
        const QString path = dir.filePath(observation.fileName(QStringLiteral("pnt")));
        QVERIFY2(observation.writeBinary(path, nullptr), qPrintable(it.key()));
        NativeFile read;
        QVERIFY2(readNativeFile(path, &read), qPrintable(it.key()));
        QCOMPARE(read.firstModule, it.value().index);
        QCOMPARE(observation.toNativeFile(path).firstModule, it.value().index);
        int module = 0;
        int ray = 0;
        QVERIFY(moduleRayFromFileName(path, &module, &ray));
        QCOMPARE(module, it.value().index);
    }
}

void TestSynthObservation::fileNamesFollowRules_data()
{
    QTest::addColumn<Params>("params");
    QTest::addColumn<QString>("date");
    Params n1;
    QTest::newRow("N1, 8 rays") << n1 << "2026.07.25";
    Params single;
    single.nRays = 1;
    single.firstModule = 3;
    single.firstRay = 5;
    single.plosh = QStringLiteral("N0");
    single.utcBegin = QDateTime(QDate(2024, 2, 28), QTime(22, 10, 0), Qt::UTC);
    QTest::newRow("N0, single ray, local date next day") << single << "2024.02.29";
    Params n4;
    n4.plosh = QStringLiteral("N4");
    n4.positionCode = QStringLiteral("10 1 0");
    n4.nRays = 1;
    n4.firstRay = 2;
    QTest::newRow("N4") << n4 << "2026.07.25";
}

void TestSynthObservation::fileNamesFollowRules()
{
    QFETCH(Params, params);
    QFETCH(QString, date);
    const SyntheticObservation observation(params);
    for (const QString &suffix : {QStringLiteral("pnt"), QStringLiteral("pnthr")}) {
        const QString name = observation.fileName(suffix);
        QVERIFY(name.endsWith(QLatin1Char('.') + suffix));
        QCOMPARE(dateFromFileName(name), date);
        QCOMPARE(ploshFromPath(name), params.plosh);
        QCOMPARE(ploshFromPath(QStringLiteral("/data/obs/") + name), params.plosh);
        // The passport reader falls back to characters 10 and 11 for the site.
        QCOMPARE(name.mid(10, 2), params.plosh);
        int module = 0;
        int ray = 0;
        if (params.nRays == 1) {
            QVERIFY(moduleRayFromFileName(name, &module, &ray));
            const int expectedModule = params.plosh == QLatin1String("N4")
                ? positionCodeTable().value(params.positionCode).index
                : params.firstModule;
            QCOMPARE(module, expectedModule);
            QCOMPARE(ray, params.firstRay);
        } else {
            QVERIFY(!moduleRayFromFileName(name, &module, &ray));
        }
    }
    const QString text = observation.textFileName();
    QVERIFY(text.endsWith(QLatin1String(".txt")));
    QVERIFY(text.startsWith(QLatin1String("J033259_file")));
    QCOMPARE(ploshFromPath(text), params.plosh);
    int module = 0;
    int ray = 0;
    QVERIFY(moduleRayFromFileName(text, &module, &ray));
    QCOMPARE(ray, params.firstRay);
}

void TestSynthObservation::noiseStatistics()
{
    Params params;
    params.npoints = 20000;
    params.nRays = 1;
    params.nBands = 4;
    params.baseline = 500.0;
    params.noiseSigma = 3.0;
    const NativeFile file = SyntheticObservation(params).toNativeFile();
    for (int c = 0; c < params.nBands; ++c) {
        double sum = 0.0;
        double squares = 0.0;
        int beyondThree = 0;
        for (int p = 0; p < params.npoints; ++p) {
            const double v = file.samples.at(c * params.npoints + p);
            sum += v;
            squares += v * v;
            if (std::abs(v - params.baseline) > 3 * params.noiseSigma)
                ++beyondThree;
        }
        const double mean = sum / params.npoints;
        const double sigma = std::sqrt(squares / params.npoints - mean * mean);
        // Standard errors: 3/sqrt(20000) = 0.02 for the mean, about 0.5 % for sigma.
        QVERIFY2(std::abs(mean - params.baseline) < 0.1, qPrintable(QString::number(mean)));
        QVERIFY2(std::abs(sigma - params.noiseSigma) < 0.1, qPrintable(QString::number(sigma)));
        // A Gaussian leaves 0.27 % beyond three sigma: 54 of 20000.
        QVERIFY2(beyondThree > 25 && beyondThree < 100, qPrintable(QString::number(beyondThree)));
    }
    // Neighbouring channels are uncorrelated.
    double cross = 0.0;
    for (int p = 0; p < params.npoints; ++p)
        cross += (file.samples.at(p) - 500.0) * (file.samples.at(params.npoints + p) - 500.0);
    QVERIFY(std::abs(cross / params.npoints / 9.0) < 0.05);
}

void TestSynthObservation::totalIsSumOfBands()
{
    Params params;
    params.npoints = 300;
    params.nRays = 2;
    params.snr = 8.0;
    params.calibrationStart = 1.0;
    const NativeFile file = SyntheticObservation(params).toNativeFile();
    for (int r = 0; r < params.nRays; ++r) {
        for (int p = 0; p < params.npoints; ++p) {
            double sum = 0.0;
            for (int c = 0; c < params.nBands; ++c)
                sum += file.samples.at((r * 7 + c) * params.npoints + p);
            const float total = file.samples.at((r * 7 + 6) * params.npoints + p);
            QVERIFY(std::abs(total - sum) < 1e-3);
        }
    }
}

void TestSynthObservation::calibrationStepLastsFifteenSeconds_data()
{
    QTest::addColumn<double>("dip");
    QTest::newRow("low edges") << 5.0;
    QTest::newRow("plain step") << 0.0;
}

void TestSynthObservation::calibrationStepLastsFifteenSeconds()
{
    QFETCH(double, dip);
    Params params;
    params.npoints = 2000;
    params.nRays = 1;
    params.nBands = 2;
    params.tresolution = 0.1;
    params.noiseSigma = 0.0;
    params.baseline = 100.0;
    params.calibrationStart = 50.0;
    params.calibrationLevel = 7.0;
    params.calibrationDip = dip;
    params.calibrationEdge = 1.0;
    const NativeFile file = SyntheticObservation(params).toNativeFile();
    // Points 500..509 and 640..649 are the low edges, 510..639 the plateau.
    for (int p = 0; p < params.npoints; ++p) {
        float expected = 100.0f;
        if (p >= 510 && p < 640)
            expected = 107.0f;
        else if ((p >= 500 && p < 510) || (p >= 640 && p < 650))
            expected = float(100.0 - dip);
        QCOMPARE(file.samples.at(p), expected);
        QCOMPARE(file.samples.at(params.npoints + p), expected);
        QCOMPARE(file.samples.at(2 * params.npoints + p), 2 * expected);
    }
}

void TestSynthObservation::transitRisesAndFalls()
{
    Params params;
    params.npoints = 1200;
    params.nRays = 1;
    params.nBands = 1;
    params.tresolution = 0.1;
    params.noiseSigma = 2.0;
    params.seed = 9;
    params.transitLevel = 10.0;   // 20 units at the peak
    params.transitCentre = 60.0;
    params.transitWidth = 30.0;
    Params quiet = params;
    quiet.transitLevel = 0.0;
    const NativeFile with = SyntheticObservation(params).toNativeFile();
    const NativeFile without = SyntheticObservation(quiet).toNativeFile();
    // Same noise, so the difference is the transit alone: 20 at 60 s, 10 at
    // 45 s and 75 s (half maximum), 20 / 2^4 at 30 s.
    const auto rise = [&](int point) { return with.samples.at(point) - without.samples.at(point); };
    QVERIFY(std::abs(rise(600) - 20.0) < 1e-3);
    QVERIFY(std::abs(rise(450) - 10.0) < 1e-3);
    QVERIFY(std::abs(rise(750) - 10.0) < 1e-3);
    QVERIFY(std::abs(rise(300) - 20.0 / 16.0) < 1e-3);
}

void TestSynthObservation::calibrationPatternIsRemovable()
{
    // The scan that finds a calibration pattern in a channel sum: below the
    // low threshold, above the high one, below the low one, back above it;
    // the region must be 15 s long within max(4, 2 %) points.
    Params params;
    params.npoints = 9600;
    params.nRays = 1;
    params.nBands = 32;
    params.snr = 5.0;
    params.calibrationStart = 40.0;
    params.calibrationLevel = 12.0;
    params.calibrationDip = 12.0;
    const NativeFile file = SyntheticObservation(params).toNativeFile();
    QVector<double> sum(params.npoints, 0.0);
    for (int c = 0; c < params.nBands; ++c) {
        for (int p = 0; p < params.npoints; ++p)
            sum[p] += file.samples.at(c * params.npoints + p);
    }
    const auto [low, high] = std::minmax_element(sum.cbegin(), sum.cend());
    const double range = *high - *low;
    const double lowThreshold = *low + 0.1 * range;
    const double highThreshold = *high - 0.1 * range;
    int state = 0;
    int start = -1;
    int end = -1;
    for (int i = 0; i < sum.size() && end < 0; ++i) {
        const double v = sum.at(i);
        if (state == 0 && v < lowThreshold) {
            state = 1;
            start = i;
        } else if (state == 1 && v > highThreshold) {
            state = 2;
        } else if (state == 2 && v < lowThreshold) {
            state = 3;
        } else if (state == 3 && v > lowThreshold) {
            end = i;
        }
    }
    QVERIFY(start >= 0 && end > start);
    const double expectedLength = std::floor(15.0 / file.tresolution + 0.5);
    const double tolerance = std::max(4.0, std::floor(expectedLength * 0.02 + 0.5));
    const double length = std::min(params.npoints - 1, end + 1) - std::max(start - 1, 0);
    QVERIFY2(std::abs(length - expectedLength) <= tolerance,
             qPrintable(QStringLiteral("%1 against %2").arg(length).arg(expectedLength)));
    QCOMPARE(start, int(std::ceil(40.0 / file.tresolution)));
}

void TestSynthObservation::pulseArrivesWithDispersionDelay()
{
    Params params;
    params.npoints = 600;
    params.nRays = 1;
    params.nBands = 8;
    params.noiseSigma = 0.0;
    params.baseline = 0.0;
    params.snr = 1.0;
    params.width = 0.01;
    params.tresolution = 0.01;
    params.period = 2.0;
    params.pulseEpoch = 1.005;   // the middle of point 100 in the last channel
    params.dm = 30.0;
    const SyntheticObservation observation(params);
    const NativeFile file = observation.toNativeFile();
    const double fLast = file.fbands.last();
    for (int c = 0; c < params.nBands; ++c) {
        const double f = file.fbands.at(c);
        const double delay = 4148.8 * 30.0 * (1.0 / (f * f) - 1.0 / (fLast * fLast));
        QVERIFY(std::abs(observation.channelDelaySeconds(c) - delay) < 1e-12);
        const double expected = (1.005 + delay) / 0.01;
        int peak = 0;
        for (int p = 1; p < 200; ++p) {
            if (file.samples.at(c * params.npoints + p) > file.samples.at(c * params.npoints + peak))
                peak = p;
        }
        QVERIFY2(std::abs(peak + 0.5 - expected) <= 1.0,
                 qPrintable(QStringLiteral("channel %1 peak %2 expected %3").arg(c).arg(peak).arg(expected)));
        // The sampled pulse keeps its area: amplitude * sigma * sqrt(2 pi) / tres in
        // point units, for each of the three pulses at 1, 3 and 5 s.
        double area = 0.0;
        for (int p = 0; p < params.npoints; ++p)
            area += file.samples.at(c * params.npoints + p);
        const double sigmaPoints = 0.01 / (2.0 * std::sqrt(2.0 * std::log(2.0))) / 0.01;
        QVERIFY(std::abs(area - 3 * sigmaPoints * std::sqrt(2.0 * M_PI)) < 1e-3);
    }
    // Pulses repeat with the period: the next one is 200 points later.
    QVERIFY(file.samples.at(params.npoints * 7 + 300) > 0.5f);
    QCOMPARE(observation.pulsePeakPoint(1), (1.005 + 2.0) / 0.01);
}

void TestSynthObservation::sparseFileHasExactSize()
{
    QTemporaryDir dir;
    Params params;
    params.nRays = 2;
    params.nBands = 5;
    params.snr = 3.0;
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
        if (used.npoints > 100) {
            QCOMPARE(nativeSample(read, 0, 1, 2, used.npoints - 1), 0.0f);
            QCOMPARE(nativeSample(read, 0, 0, 0, 100), 0.0f);
        } else {
            QVERIFY(nativeSample(read, 0, 1, 2, used.npoints - 1) > 900.0f);
        }
    }
    QString error;
    QVERIFY(!SyntheticObservation::writeSparse(dir.filePath(QStringLiteral("tiny.pnt")), 100, params, 0, nullptr,
                                               &error));
    QVERIFY(!error.isEmpty());
}

void TestSynthObservation::invalidParametersRefused()
{
    const auto refused = [](const Params &params) {
        const SyntheticObservation observation(params);
        QTemporaryDir dir;
        QString error;
        const QString path = dir.filePath(QStringLiteral("x.pnt"));
        return !observation.problem().isEmpty() && !observation.writeBinary(path, &error) && !error.isEmpty()
            && !QFile::exists(path);
    };
    Params p;
    p.npoints = 0;
    QVERIFY(refused(p));
    p = Params();
    p.nBands = 0;
    QVERIFY(refused(p));
    p = Params();
    p.tresolution = 0.0;
    QVERIFY(refused(p));
    p = Params();
    p.frequencies = {110.0, 111.0};
    QVERIFY(refused(p));   // six bands, two frequencies
    p = Params();
    p.plosh = QStringLiteral("N4");
    p.positionCode = QStringLiteral("16 0 0");
    QVERIFY(refused(p));
    p.positionCode = QStringLiteral("10 0 0");
    QVERIFY(refused(p));
    p = Params();
    p.snr = 5.0;
    p.width = 0.0;
    QVERIFY(refused(p));
    p = Params();
    p.nModules = 1 << 30;
    p.nRays = 1 << 30;
    p.nBands = 1 << 30;
    QCOMPARE(SyntheticObservation(p).valuesPerPoint(), qint64(-1));
    QVERIFY(refused(p));
    p = Params();
    p.nRays = 8;
    p.nBands = 65535;   // 524288 values per point: a block would not fit one buffer
    QVERIFY(refused(p));
    QVERIFY(!refused(Params()));
}

void TestSynthObservation::failedWriteLeavesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/sub/x.pnt"));
    QString error;
    QVERIFY(!SyntheticObservation(Params()).writeBinary(path, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(path));
}

// Peak resident memory of this process so far, KiB.
static qint64 peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

void TestSynthObservation::writingStreams()
{
    // A 64 MiB observation is written block by block: the process grows by a
    // few buffers, not by the file.
    Params params;
    params.nRays = 8;
    params.nBands = 32;
    params.npoints = 64 * 1024 * 1024 / (8 * 33 * 4);
    params.snr = 3.0;
    const SyntheticObservation observation(params);
    QTemporaryDir dir;
    const QString path = dir.filePath(observation.fileName(QStringLiteral("pnthr")));
    const qint64 before = peakRssKiB();
    QVERIFY(before > 0);
    QString error;
    QVERIFY2(observation.writeBinary(path, &error), qPrintable(error));
    const qint64 growth = peakRssKiB() - before;
    QVERIFY(QFileInfo(path).size() > 64 * 1024 * 1024 - 4096);
    QVERIFY2(growth < 24 * 1024, qPrintable(QStringLiteral("grew by %1 KiB").arg(growth)));
}

void TestSynthObservation::profilesFile()
{
    QTemporaryDir dir;
    ProfileWriter::Params params;
    params.date = QDate(2021, 3, 4);
    params.dm = 12;
    params.trueDm = 12.0;
    params.decimals = 6;
    QString path;
    QString error;
    QVERIFY2(ProfileWriter::write(dir.path(), params, &path, &error), qPrintable(error));
    const QString name = QFileInfo(path).fileName();
    QCOMPARE(name, QStringLiteral("p2021.03.04_dm12_p0.714519_s6.txt"));
    const QRegularExpression rule(QStringLiteral("p(20\\d\\d\\.\\d\\d\\.\\d\\d)_dm(\\d+)_p([\\d.]+).*\\.txt"));
    const QRegularExpressionMatch match = rule.match(name);
    QVERIFY(match.hasMatch());
    QCOMPARE(match.captured(1), QStringLiteral("2021.03.04"));

    // Parse the blocks the way the profile reader does.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QVector<double>> blocks;
    QString current;
    int marks = 0;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("period="))) {
            current = line.mid(7);
            continue;
        }
        marks += line.count(QStringLiteral(" *"));
        line.replace(QStringLiteral(" *"), QStringLiteral(" "));
        for (const QString &part : line.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            bool ok = false;
            const double value = part.toDouble(&ok);
            if (ok)
                blocks[current].append(value);
        }
    }
    QCOMPARE(blocks.size(), 7);
    QCOMPARE(marks, 7);
    double bestPeak = -1.0;
    QString bestPeriod;
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        QCOMPARE(it.value().size(), params.phasePoints);
        const double peak = *std::max_element(it.value().cbegin(), it.value().cend());
        if (peak > bestPeak) {
            bestPeak = peak;
            bestPeriod = it.key();
        }
    }
    QCOMPARE(bestPeriod, QStringLiteral("0.714519"));
    QVERIFY(bestPeak > 12.0);

    // Far from the true DM the pulse fades.
    ProfileWriter::Params far = params;
    far.dm = 20;
    QVERIFY(ProfileWriter::expectedPeak(far, params.truePeriod) < 0.1 * params.snr);
    QCOMPARE(ProfileWriter::profile(params, 0.714519), ProfileWriter::profile(params, 0.714519));
}

QTEST_GUILESS_MAIN(TestSynthObservation)
#include "tst_synthobservation.moc"
