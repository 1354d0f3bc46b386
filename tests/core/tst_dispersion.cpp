#include "astro/dispersion.h"
#include "data/channelsum.h"
#include "data/nativefile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using SampleAt = std::function<float(qint64 t, int c)>;

// Sample accessors of the two layouts; indexes outside the held samples read 0.
SampleAt channelMajorAccess(const NativeFile &f, int m, int r)
{
    return [&f, m, r](qint64 t, int c) {
        const qint64 index = ((qint64(m) * f.nRays + r) * f.nChannels + c) * f.npoints + t;
        return index < f.samples.size() ? f.samples.at(int(index)) : 0.0f;
    };
}

SampleAt fileOrderAccess(const NativeFile &f, int m, int r)
{
    return [&f, m, r](qint64 t, int c) {
        const qint64 index = ((t * f.nModules + m) * f.nRays + r) * f.nChannels + c;
        return index < f.mapping->count ? f.mapping->at(index) : 0.0f;
    };
}

qint32 referenceDelay(double f, double fRef, double dm, double tres)
{
    const double v = std::round(((1 / (f * f) - 1 / (fRef * fRef)) * 4148.8 * dm) / tres);
    if (v <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    if (v >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    return qint32(v);
}

// The shifted channel sum exactly as the algorithm has always been written:
// one output after the other, stopping at the first shifted index outside the file.
int referenceSum(const NativeFile &f, QVector<double> *out, int firstPoint, double dm, int m, int r, int count)
{
    if (!out || count <= 0 || m < 0 || m >= f.nModules || r < 0 || r >= f.nRays || f.nChannels < 2
        || f.fbands.size() < f.nChannels - 1 || f.tresolution == 0)
        return -1;
    for (int c = 0; c < f.nChannels - 1; ++c) {
        if (f.fbands[c] == 0)
            return -1;
    }
    const SampleAt sample = f.mapping ? fileOrderAccess(f, m, r) : channelMajorAccess(f, m, r);
    QVector<qint32> delays;
    for (int c = 0; c < f.nChannels - 1; ++c)
        delays.append(referenceDelay(f.fbands[c], f.fbands[f.nChannels - 2], dm, f.tresolution));
    out->fill(0.0, count);
    double last = 0;
    for (int i = 0; i < count; ++i) {
        double sum = 0;
        for (int c = f.nChannels - 2; c >= 0; --c) {
            const qint64 t = qint64(delays[c]) + firstPoint + i;
            if (t < 0 || t >= f.npoints) {
                for (int k = i; k < count; ++k)
                    (*out)[k] = last;
                return count;
            }
            sum += sample(t, c);
        }
        (*out)[i] = sum;
        last = sum;
    }
    return count;
}

bool bitIdentical(const QVector<double> &a, const QVector<double> &b, QString *where)
{
    if (a.size() != b.size()) {
        *where = QStringLiteral("sizes %1 and %2").arg(a.size()).arg(b.size());
        return false;
    }
    for (int i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            quint64 bitsA = 0;
            quint64 bitsB = 0;
            std::memcpy(&bitsA, &a[i], sizeof bitsA);
            std::memcpy(&bitsB, &b[i], sizeof bitsB);
            *where = QStringLiteral("output %1: %2 and %3 (bits %4 and %5)")
                             .arg(i)
                             .arg(a[i], 0, 'g', 17)
                             .arg(b[i], 0, 'g', 17)
                             .arg(bitsA, 16, 16, QLatin1Char('0'))
                             .arg(bitsB, 16, 16, QLatin1Char('0'));
            return false;
        }
    }
    return true;
}

// A record with random samples in channel-major order. Frequencies span
// [low, high] in channel order, ascending or descending.
NativeFile makeFile(QRandomGenerator &rng, int npoints, int modules, int rays, int channels, bool ascending,
                    double low = 109.0, double high = 111.5)
{
    NativeFile f;
    f.loaded = true;
    f.npoints = npoints;
    f.nModules = modules;
    f.nRays = rays;
    f.nChannels = channels;
    f.tresolution = 0.0124928;
    const int nFreq = channels - 1;
    for (int c = 0; c < nFreq; ++c) {
        const double step = nFreq > 1 ? (high - low) * c / (nFreq - 1) : 0.0;
        f.fbands.append(ascending ? low + step : high - step);
    }
    f.samples.resize(npoints * modules * rays * channels);
    // Widely spread magnitudes, so that the double sums round and their value
    // depends on the order of the additions.
    for (float &v : f.samples)
        v = float(std::ldexp(rng.generateDouble() * 2.0 - 1.0, rng.bounded(80) - 40));
    return f;
}

// The same record as a mapped native file: a text passport of odd length
// (so the floats are not aligned) followed by the samples in file order.
NativeFile mappedCopy(const NativeFile &f, const QString &path, qint64 dropTail = 0)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return NativeFile();
    const QByteArray passport("numpar=65\nnumpoints=x\nsource=test\n");
    out.write(passport);
    const qint64 total = qint64(f.npoints) * f.nModules * f.nRays * f.nChannels - dropTail;
    QVector<float> fileOrder(int(qMax<qint64>(total, 0)));
    qint64 k = 0;
    for (int t = 0; t < f.npoints; ++t)
        for (int m = 0; m < f.nModules; ++m)
            for (int r = 0; r < f.nRays; ++r)
                for (int c = 0; c < f.nChannels; ++c, ++k) {
                    if (k < total)
                        fileOrder[int(k)] = f.samples.at(int(((qint64(m) * f.nRays + r) * f.nChannels + c) * f.npoints + t));
                }
    out.write(reinterpret_cast<const char *>(fileOrder.constData()), qint64(fileOrder.size()) * 4);
    out.close();

    NativeFile mapped = f;
    mapped.samples.clear();
    auto mapping = std::make_shared<NativeMapping>();
    mapping->file = std::make_unique<QFile>(path);
    if (!mapping->file->open(QIODevice::ReadOnly))
        return NativeFile();
    mapping->count = fileOrder.size();
    if (mapping->count > 0)
        mapping->bytes = mapping->file->map(passport.size(), mapping->count * 4);
    mapped.mapping = mapping;
    return mapped;
}

QVector<qint32> delaysOf(const NativeFile &f, double dm)
{
    QVector<qint32> delays;
    for (int c = 0; c < f.nChannels - 1; ++c)
        delays.append(referenceDelay(f.fbands[c], f.fbands[f.nChannels - 2], dm, f.tresolution));
    return delays;
}

} // namespace

// Dispersion delay and the shifted channel sum in both sample layouts.
class TestDispersion : public QObject
{
    Q_OBJECT

private slots:
    void delayPoints_data();
    void delayPoints();
    void refusals_data();
    void refusals();
    void zeroDmIsPlainSum();
    void singleFrequencyChannel();
    void negativeZeroSamples();
    void pastTheEndRepeatsLastSum();
    void ascendingMatchesReference();
    void descendingIsNotZero();
    void descendingRepeatsFirstSum();
    void layoutsAgree();
    void mappedMatchesReference();
    void farApartDelaysMapped_data();
    void farApartDelaysMapped();
    void missingSamplesCountAsZero();
    void saturatedDelays();
    void mappingTakesPrecedence();
    void largeSumsMatchReference_data();
    void largeSumsMatchReference();

private:
    QTemporaryDir m_dir;
};

void TestDispersion::delayPoints_data()
{
    QTest::addColumn<double>("f1");
    QTest::addColumn<double>("f2");
    QTest::addColumn<double>("dm");
    QTest::addColumn<double>("tres");
    QTest::addColumn<double>("expected");
    // (1/100^2 - 1/200^2) * 4148.8 * 10 = 0.75 * 1e-4 * 41488 = 3.1116 seconds.
    QTest::newRow("seconds") << 200.0 << 100.0 << 10.0 << 1.0 << 3.1116;
    QTest::newRow("points") << 200.0 << 100.0 << 10.0 << 0.5 << 6.2232;
    QTest::newRow("reversed is negative") << 100.0 << 200.0 << 10.0 << 1.0 << -3.1116;
    QTest::newRow("same frequency") << 111.0 << 111.0 << 30.0 << 0.0124928 << 0.0;
    QTest::newRow("zero f1") << 0.0 << 100.0 << 10.0 << 1.0 << 0.0;
    QTest::newRow("zero f2") << 100.0 << 0.0 << 10.0 << 1.0 << 0.0;
    QTest::newRow("zero tres") << 200.0 << 100.0 << 10.0 << 0.0 << 0.0;
    QTest::newRow("zero dm") << 200.0 << 100.0 << 0.0 << 1.0 << 0.0;
}

void TestDispersion::delayPoints()
{
    QFETCH(double, f1);
    QFETCH(double, f2);
    QFETCH(double, dm);
    QFETCH(double, tres);
    QFETCH(double, expected);
    QVERIFY(std::fabs(dispersionDelayPoints(f1, f2, dm, tres) - expected) < 1e-12);
}

void TestDispersion::refusals_data()
{
    QTest::addColumn<int>("what");
    QTest::newRow("count 0") << 0;
    QTest::newRow("count negative") << 1;
    QTest::newRow("module negative") << 2;
    QTest::newRow("module too large") << 3;
    QTest::newRow("ray negative") << 4;
    QTest::newRow("ray too large") << 5;
    QTest::newRow("one channel") << 6;
    QTest::newRow("short frequency list") << 7;
    QTest::newRow("tres 0") << 8;
    QTest::newRow("zero frequency") << 9;
    QTest::newRow("nan dm") << 10;
    QTest::newRow("no output") << 11;
}

void TestDispersion::refusals()
{
    QFETCH(int, what);
    QRandomGenerator rng(what);
    NativeFile f = makeFile(rng, 50, 2, 3, 5, true);
    int count = 10, module = 1, ray = 2;
    double dm = 1.0;
    switch (what) {
    case 0: count = 0; break;
    case 1: count = -3; break;
    case 2: module = -1; break;
    case 3: module = 2; break;
    case 4: ray = -1; break;
    case 5: ray = 3; break;
    case 6: f.nChannels = 1; break;
    case 7: f.fbands.removeLast(); break;
    case 8: f.tresolution = 0; break;
    case 9: f.fbands[1] = 0; break;
    case 10: dm = std::nan(""); break;
    default: break;
    }
    QVector<double> out{7.0, 8.0};
    QCOMPARE(dispersedChannelSum(f, what == 11 ? nullptr : &out, 0, dm, module, ray, count), -1);
    QCOMPARE(out, (QVector<double>{7.0, 8.0}));
}

void TestDispersion::zeroDmIsPlainSum()
{
    QRandomGenerator rng(1);
    const NativeFile f = makeFile(rng, 300, 2, 2, 9, false);
    QVector<double> out;
    QCOMPARE(dispersedChannelSum(f, &out, 20, 0.0, 1, 0, 250), 250);
    for (int i = 0; i < 250; ++i) {
        double sum = 0;
        for (int c = 7; c >= 0; --c)
            sum += f.samples.at(((1 * 2 + 0) * 9 + c) * 300 + 20 + i);
        QCOMPARE(out[i], sum);
    }
    // Past the end of the file the last sum repeats.
    QCOMPARE(dispersedChannelSum(f, &out, 200, 0.0, 1, 0, 150), 150);
    for (int i = 100; i < 150; ++i)
        QCOMPARE(out[i], out[99]);
}

void TestDispersion::singleFrequencyChannel()
{
    QRandomGenerator rng(2);
    const NativeFile f = makeFile(rng, 100, 1, 2, 2, true);
    QVector<double> out;
    QCOMPARE(dispersedChannelSum(f, &out, 5, 300.0, 0, 1, 60), 60);
    for (int i = 0; i < 60; ++i)
        QCOMPARE(out[i], double(f.samples.at((1 * 2 + 0) * 100 + 5 + i)));
}

void TestDispersion::negativeZeroSamples()
{
    // A sum starts from +0, so samples of -0 add up to +0, never to -0.
    QRandomGenerator rng(13);
    for (int channels : {2, 5, 9, 13, 40}) {
        NativeFile f = makeFile(rng, 300, 1, 1, channels, true);
        f.samples.fill(-0.0f);
        QVector<double> expected;
        QVector<double> actual;
        QCOMPARE(referenceSum(f, &expected, 3, 5.0, 0, 0, 290), 290);
        QCOMPARE(dispersedChannelSum(f, &actual, 3, 5.0, 0, 0, 290), 290);
        QVERIFY(!std::signbit(expected.first()));
        QString where;
        QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
    }
}

void TestDispersion::pastTheEndRepeatsLastSum()
{
    QRandomGenerator rng(3);
    const NativeFile f = makeFile(rng, 1000, 1, 1, 17, true);
    const double dm = 30;
    const QVector<qint32> delays = delaysOf(f, dm);
    const int maxDelay = *std::max_element(delays.begin(), delays.end());
    QVERIFY(maxDelay > 10);
    QVector<double> out;
    const int first = 900;
    QCOMPARE(dispersedChannelSum(f, &out, first, dm, 0, 0, 100), 100);
    const int complete = 1000 - maxDelay - first;
    QVERIFY(complete > 0 && complete < 100);
    for (int i = complete; i < 100; ++i)
        QCOMPARE(out[i], out[complete - 1]);
    QVERIFY(out[complete - 1] != out[complete - 2]);
    // Nothing complete at all: zeros.
    QCOMPARE(dispersedChannelSum(f, &out, 995, dm, 0, 0, 20), 20);
    QCOMPARE(out, QVector<double>(20, 0.0));
}

void TestDispersion::ascendingMatchesReference()
{
    // Random shapes, dispersion measures, first points and counts: bit-identical.
    QRandomGenerator rng(4);
    for (int k = 0; k < 200; ++k) {
        const int npoints = 1 + rng.bounded(5000);
        const NativeFile f = makeFile(rng, npoints, 1 + rng.bounded(3), 1 + rng.bounded(3), 2 + rng.bounded(40),
                                      true, 30 + rng.generateDouble() * 50, 90 + rng.generateDouble() * 30);
        const double dm = rng.generateDouble() * 60;
        const int first = rng.bounded(npoints + 10);
        const int count = 1 + rng.bounded(6000);
        const int m = rng.bounded(f.nModules);
        const int r = rng.bounded(f.nRays);
        QVector<double> expected;
        QVector<double> actual;
        QCOMPARE(referenceSum(f, &expected, first, dm, m, r, count), count);
        QCOMPARE(dispersedChannelSum(f, &actual, first, dm, m, r, count), count);
        QString where;
        QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
    }
}

void TestDispersion::descendingIsNotZero()
{
    // Channels above the reference frequency reach back before the first point;
    // the outputs must still carry the signal, not zeros.
    QRandomGenerator rng(5);
    const NativeFile f = makeFile(rng, 4000, 1, 1, 65, false);
    QVector<double> stopped;
    QCOMPARE(referenceSum(f, &stopped, 0, 30, 0, 0, 4000), 4000);
    QCOMPARE(stopped, QVector<double>(4000, 0.0));
    QVector<double> out;
    QCOMPARE(dispersedChannelSum(f, &out, 0, 30, 0, 0, 4000), 4000);
    int nonZero = 0;
    for (double v : out)
        nonZero += v != 0.0;
    QVERIFY(nonZero == 4000);
}

void TestDispersion::descendingRepeatsFirstSum()
{
    // Whatever the order of the frequencies: outputs from the first complete one
    // on are computed as always (compared with the reference started there), the
    // outputs before it repeat that first complete sum.
    QRandomGenerator rng(6);
    int reachedBack = 0;
    for (int k = 0; k < 200; ++k) {
        const int npoints = 50 + rng.bounded(3000);
        NativeFile f = makeFile(rng, npoints, 1 + rng.bounded(2), 1 + rng.bounded(2), 2 + rng.bounded(30),
                                rng.bounded(2) == 0, 100, 115);
        if (k % 3 == 0)
            std::shuffle(f.fbands.begin(), f.fbands.end(), rng);
        const double dm = rng.generateDouble() * 80 - 20;
        const int first = rng.bounded(qMin(npoints, 400));
        const int count = 1 + rng.bounded(3000);
        const int m = rng.bounded(f.nModules);
        const int r = rng.bounded(f.nRays);
        const QVector<qint32> delays = delaysOf(f, dm);
        const int minDelay = *std::min_element(delays.begin(), delays.end());
        const int firstComplete = qMax(0, -minDelay - first);

        QVector<double> out;
        QCOMPARE(dispersedChannelSum(f, &out, first, dm, m, r, count), count);
        if (firstComplete == 0) {
            QVector<double> expected;
            referenceSum(f, &expected, first, dm, m, r, count);
            QString where;
            QVERIFY2(bitIdentical(out, expected, &where), qPrintable(where));
            continue;
        }
        ++reachedBack;
        if (firstComplete >= count) {
            QCOMPARE(out, QVector<double>(count, 0.0));
            continue;
        }
        QVector<double> tail;
        referenceSum(f, &tail, first + firstComplete, dm, m, r, count - firstComplete);
        QString where;
        QVERIFY2(bitIdentical(out.mid(firstComplete), tail, &where), qPrintable(where));
        for (int i = 0; i < firstComplete; ++i)
            QCOMPARE(out[i], out[firstComplete]);
    }
    QVERIFY(reachedBack > 50);
}

void TestDispersion::layoutsAgree()
{
    QRandomGenerator rng(7);
    for (int k = 0; k < 30; ++k) {
        const int npoints = 100 + rng.bounded(6000);
        const NativeFile f = makeFile(rng, npoints, 1 + rng.bounded(3), 1 + rng.bounded(4), 2 + rng.bounded(66),
                                      rng.bounded(2) == 0);
        const NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("agree%1.pnt").arg(k)));
        QVERIFY(mapped.mapping && mapped.mapping->bytes);
        QVERIFY(quintptr(mapped.mapping->bytes) % 4 != 0);
        for (int trial = 0; trial < 5; ++trial) {
            const double dm = rng.generateDouble() * 100 - 10;
            const int first = rng.bounded(npoints);
            const int count = 1 + rng.bounded(npoints + 100);
            const int m = rng.bounded(f.nModules);
            const int r = rng.bounded(f.nRays);
            QVector<double> inMemory;
            QVector<double> fromFile;
            QCOMPARE(dispersedChannelSum(f, &inMemory, first, dm, m, r, count), count);
            QCOMPARE(dispersedChannelSum(mapped, &fromFile, first, dm, m, r, count), count);
            QString where;
            QVERIFY2(bitIdentical(fromFile, inMemory, &where), qPrintable(where));
        }
    }
}

void TestDispersion::mappedMatchesReference()
{
    QRandomGenerator rng(8);
    for (int k = 0; k < 20; ++k) {
        const int npoints = 3000 + rng.bounded(5000);
        const NativeFile f = makeFile(rng, npoints, 2, 2, 33, true);
        const NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("ref%1.pnt").arg(k)));
        const int first = rng.bounded(200);
        const int count = npoints;
        QVector<double> expected;
        QVector<double> actual;
        QCOMPARE(referenceSum(mapped, &expected, first, 30, k % 2, 1, count), count);
        QCOMPARE(dispersedChannelSum(mapped, &actual, first, 30, k % 2, 1, count), count);
        QString where;
        QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
    }
}

void TestDispersion::farApartDelaysMapped_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("npoints");
    QTest::addColumn<double>("dm");
    QTest::addColumn<int>("minSpan");
    // A wide band and a large dm: the delays span more points than a block.
    QTest::newRow("wider than a block") << 9 << 40000 << 60.0 << 10000;
    // So far apart that a channel-major copy of the rows would be too large.
    QTest::newRow("too wide to copy") << 65 << 220000 << 800.0 << 140000;
}

void TestDispersion::farApartDelaysMapped()
{
    QFETCH(int, channels);
    QFETCH(int, npoints);
    QFETCH(double, dm);
    QFETCH(int, minSpan);
    QRandomGenerator rng(9);
    const NativeFile f = makeFile(rng, npoints, 1, 2, channels, true, 40, 120);
    const NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("wide%1.pnt").arg(channels)));
    const QVector<qint32> delays = delaysOf(f, dm);
    QVERIFY(*std::max_element(delays.begin(), delays.end()) > minSpan);
    const int count = npoints - 100;
    QVector<double> expected;
    QVector<double> actual;
    QVector<double> inMemory;
    QCOMPARE(referenceSum(mapped, &expected, 100, dm, 0, 1, count), count);
    QCOMPARE(dispersedChannelSum(mapped, &actual, 100, dm, 0, 1, count), count);
    QCOMPARE(dispersedChannelSum(f, &inMemory, 100, dm, 0, 1, count), count);
    QVERIFY(expected.last() != 0.0);
    QString where;
    QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
    QVERIFY2(bitIdentical(inMemory, expected, &where), qPrintable(where));
}

void TestDispersion::missingSamplesCountAsZero()
{
    // Records holding fewer samples than their dimensions promise.
    QRandomGenerator rng(10);
    for (int k = 0; k < 20; ++k) {
        NativeFile f = makeFile(rng, 2000, 2, 2, 12, true);
        const qint64 drop = 1 + rng.bounded(f.samples.size());
        const NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("short%1.pnt").arg(k)), drop);
        f.samples.resize(f.samples.size() - int(drop));
        const int m = rng.bounded(2);
        const int r = rng.bounded(2);
        for (const NativeFile *data : {static_cast<const NativeFile *>(&f), &mapped}) {
            QVector<double> expected;
            QVector<double> actual;
            QCOMPARE(referenceSum(*data, &expected, 10, 20, m, r, 1990), 1990);
            QCOMPARE(dispersedChannelSum(*data, &actual, 10, 20, m, r, 1990), 1990);
            QString where;
            QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
        }
    }
}

void TestDispersion::saturatedDelays()
{
    QRandomGenerator rng(11);
    const NativeFile f = makeFile(rng, 500, 1, 1, 6, true);
    QVector<double> out;
    // Delays beyond the 32-bit range saturate; nothing is complete.
    QCOMPARE(dispersedChannelSum(f, &out, 0, 1e30, 0, 0, 40), 40);
    QCOMPARE(out, QVector<double>(40, 0.0));
    QCOMPARE(dispersedChannelSum(f, &out, std::numeric_limits<int>::max() - 5, 1e30, 0, 0, 40), 40);
    QCOMPARE(out, QVector<double>(40, 0.0));
    QCOMPARE(dispersedChannelSum(f, &out, 0, -1e30, 0, 0, 40), 40);
    QCOMPARE(out, QVector<double>(40, 0.0));
    // A first point far past the end: zeros, without overflowing the index.
    QCOMPARE(dispersedChannelSum(f, &out, std::numeric_limits<int>::max(), 0.0, 0, 0, 40), 40);
    QCOMPARE(out, QVector<double>(40, 0.0));
}

void TestDispersion::mappingTakesPrecedence()
{
    QRandomGenerator rng(12);
    const NativeFile f = makeFile(rng, 700, 1, 1, 10, true);
    NativeFile both = mappedCopy(f, m_dir.filePath(QStringLiteral("both.pnt")));
    both.samples = QVector<float>(f.samples.size(), 1000.0f);
    QVector<double> fromMapping;
    QVector<double> fromArray;
    QCOMPARE(dispersedChannelSum(both, &fromMapping, 0, 10, 0, 0, 600), 600);
    QCOMPARE(dispersedChannelSum(f, &fromArray, 0, 10, 0, 0, 600), 600);
    QCOMPARE(fromMapping, fromArray);
}

void TestDispersion::largeSumsMatchReference_data()
{
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("mapped");
    QTest::newRow("ascending, in memory") << true << false;
    QTest::newRow("descending, in memory") << false << false;
    QTest::newRow("ascending, mapped") << true << true;
    QTest::newRow("descending, mapped") << false << true;
}

void TestDispersion::largeSumsMatchReference()
{
    // Big enough that the outputs are shared between two threads.
    QFETCH(bool, ascending);
    QFETCH(bool, mapped);
    QRandomGenerator rng(11);
    const int npoints = 100000;
    const NativeFile inMemory = makeFile(rng, npoints, 1, 1, 65, ascending);
    const NativeFile f = mapped ? mappedCopy(inMemory, m_dir.filePath(QStringLiteral("large.pnt"))) : inMemory;
    for (int first : {0, 777}) {
        QVector<double> expected;
        QVector<double> actual;
        QCOMPARE(referenceSum(inMemory, &expected, first, 30, 0, 0, npoints), npoints);
        const QVector<qint32> delays = delaysOf(inMemory, 30);
        const qint64 lead = std::max<qint64>(0, -qint64(*std::min_element(delays.begin(), delays.end())) - first);
        QCOMPARE(lead > 0, !ascending && first == 0);
        if (lead > 0) {
            // The first outputs repeat the first complete sum instead of stopping the sum.
            QVector<double> tail;
            QCOMPARE(referenceSum(inMemory, &tail, first + int(lead), 30, 0, 0, npoints - int(lead)),
                     npoints - int(lead));
            expected = QVector<double>(int(lead), tail.first()) + tail;
        }
        QCOMPARE(dispersedChannelSum(f, &actual, first, 30, 0, 0, npoints), npoints);
        QString where;
        QVERIFY2(bitIdentical(actual, expected, &where), qPrintable(where));
    }
}

QTEST_GUILESS_MAIN(TestDispersion)
#include "tst_dispersion.moc"
