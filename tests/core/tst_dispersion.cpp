#include "astro/dispersion.h"
#include "data/channelsum.h"
#include "data/nativefile.h"
#include "tests/support/coreprobes.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QVector<qint32> delaysOf(const NativeFile &f, double dm)
{
    QVector<qint32> delays;
    const double fRef = f.fbands[f.nChannels - 2];
    for (int c = 0; c < f.nChannels - 1; ++c) {
        const double f2 = f.fbands[c] * f.fbands[c];
        delays.append(qint32(std::round(((1 / f2 - 1 / (fRef * fRef)) * 4148.8 * dm) / f.tresolution)));
    }
    return delays;
}

// The shifted channel sum written plainly: one output after the other,
// stopping at the first shifted index past the end of the file and repeating
// the last sum from there; the outputs before the first complete one
// (channels reaching back before the first point) repeat that first complete
// sum. Samples the record does not hold read 0.
QVector<double> referenceSum(const NativeFile &f, int firstPoint, double dm, int m, int r, int count)
{
    const QVector<qint32> delays = delaysOf(f, dm);
    const int lead = qMax(0, -*std::min_element(delays.begin(), delays.end()) - firstPoint);
    if (lead >= count)
        return QVector<double>(count, 0.0);
    const auto sample = [&f, m, r](qint64 t, int c) {
        if (f.mapping) {
            const qint64 index = ((t * f.nModules + m) * f.nRays + r) * f.nChannels + c;
            return index < f.mapping->count ? f.mapping->at(index) : 0.0f;
        }
        const qint64 index = ((qint64(m) * f.nRays + r) * f.nChannels + c) * f.npoints + t;
        return index < f.samples.size() ? f.samples.at(int(index)) : 0.0f;
    };
    QVector<double> out(count, 0.0);
    double last = 0;
    for (int i = lead; i < count; ++i) {
        double sum = 0;
        for (int c = f.nChannels - 2; c >= 0; --c) {
            const qint64 t = qint64(delays[c]) + firstPoint + i;
            if (t < 0 || t >= f.npoints) {
                std::fill(out.begin() + i, out.end(), last);
                std::fill(out.begin(), out.begin() + lead, out.at(lead));
                return out;
            }
            sum += sample(t, c);
        }
        out[i] = last = sum;
    }
    std::fill(out.begin(), out.begin() + lead, out.at(lead));
    return out;
}

// A record with random samples in channel-major order. Frequencies span
// [low, high] in channel order, ascending or descending.
NativeFile makeFile(QRandomGenerator &rng, int npoints, int modules, int rays, int channels, bool ascending,
                    double low = 109.0, double high = 111.5)
{
    NativeFile f;
    f.loaded = true;
    std::tie(f.npoints, f.nModules, f.nRays, f.nChannels, f.tresolution) =
        std::make_tuple(npoints, modules, rays, channels, 0.0124928);
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

} // namespace

// Dispersion delay and the shifted channel sum in both sample layouts,
// bit-identical to the reference sum.
class TestDispersion : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Our sum of one record against the reference sum of another (the same
    // samples in another layout, or the record itself).
    static void verifySum(const NativeFile &f, const NativeFile &reference, int first, double dm, int m, int r,
                          int count)
    {
        QVector<double> actual;
        QCOMPARE(dispersedChannelSum(f, &actual, first, dm, m, r, count), count);
        QString where;
        QVERIFY2(probe::bitIdentical(actual, referenceSum(reference, first, dm, m, r, count), &where), qPrintable(where));
    }

private slots:
    void delayPoints_data()
    {
        QTest::addColumn<double>("f1");
        QTest::addColumn<double>("f2");
        QTest::addColumn<double>("dm");
        QTest::addColumn<double>("tres");
        QTest::addColumn<double>("expected");
        // (1/100^2 - 1/200^2) * 4148.8 * 10 = 0.75 * 1e-4 * 41488 = 3.1116 seconds.
        QTest::newRow("seconds") << 200.0 << 100.0 << 10.0 << 1.0 << 3.1116;
        QTest::newRow("zero tres") << 200.0 << 100.0 << 10.0 << 0.0 << 0.0;
    }

    void delayPoints()
    {
        QFETCH(double, f1);
        QFETCH(double, f2);
        QFETCH(double, dm);
        QFETCH(double, tres);
        QTEST(dispersionDelayPoints(f1, f2, dm, tres), "expected");
    }

    // Each refusal leaves the output untouched.
    void refusals()
    {
        for (int what = 0; what < 11; ++what) {
            QRandomGenerator rng(what);
            NativeFile f = makeFile(rng, 50, 2, 3, 5, true);
            int count = 10, module = 1, ray = 2;
            double dm = 1.0;
            switch (what) {
            case 0: count = 0; break;
            case 1: module = -1; break;
            case 2: module = 2; break;
            case 3: ray = -1; break;
            case 4: ray = 3; break;
            case 5: f.nChannels = 1; break;
            case 6: f.fbands.removeLast(); break;
            case 7: f.tresolution = 0; break;
            case 8: f.fbands[1] = 0; break;
            case 9: dm = std::nan(""); break;
            default: break;   // no output vector
            }
            QVector<double> out{7.0, 8.0};
            QCOMPARE(dispersedChannelSum(f, what == 10 ? nullptr : &out, 0, dm, module, ray, count), -1);
            QCOMPARE(out, (QVector<double>{7.0, 8.0}));
        }
    }

    // A sum starts from +0, so samples of -0 add up to +0, never to -0.
    void negativeZeroSamples()
    {
        QRandomGenerator rng(13);
        for (int channels : {2, 5, 9, 13, 40}) {
            NativeFile f = makeFile(rng, 300, 1, 1, channels, true);
            f.samples.fill(-0.0f);
            QVERIFY(!std::signbit(referenceSum(f, 3, 5.0, 0, 0, 290).first()));
            verifySum(f, f, 3, 5.0, 0, 0, 290);
        }
    }

    // Channels above the reference frequency reach back before the first
    // point; a sum that stopped there gave zeros, ours carries the signal.
    void descendingIsNotZero()
    {
        QRandomGenerator rng(5);
        const NativeFile f = makeFile(rng, 4000, 1, 1, 65, false);
        QVector<double> out;
        QCOMPARE(dispersedChannelSum(f, &out, 0, 30, 0, 0, 4000), 4000);
        QVERIFY(!out.contains(0.0));
    }

    // Random shapes, frequency orders, dispersion measures, first points and
    // counts, in memory and mapped from an unaligned file, some holding fewer
    // samples than their dimensions promise (those count as zero).
    void randomSumsMatchReference()
    {
        QRandomGenerator rng(4);
        int reachedBack = 0;
        for (int k = 0; k < 300; ++k) {
            const int npoints = 50 + rng.bounded(5000);
            NativeFile f = makeFile(rng, npoints, 1 + rng.bounded(3), 1 + rng.bounded(3), 2 + rng.bounded(66),
                                    rng.bounded(2) == 0, 30 + rng.generateDouble() * 70, 100 + rng.generateDouble() * 20);
            if (k % 3 == 0)
                std::shuffle(f.fbands.begin(), f.fbands.end(), rng);
            const qint64 drop = k % 10 == 9 ? 1 + rng.bounded(f.samples.size()) : 0;
            const double dm = rng.generateDouble() * 80 - 20;
            const int first = rng.bounded(npoints + 10), count = 1 + rng.bounded(6000);
            const int m = rng.bounded(f.nModules), r = rng.bounded(f.nRays);
            const QVector<qint32> delays = delaysOf(f, dm);
            reachedBack += *std::min_element(delays.begin(), delays.end()) + first < 0;
            if (k % 5 == 0) {
                NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("random%1.pnt").arg(k)), drop);
                QVERIFY(mapped.mapping && quintptr(mapped.mapping->bytes) % 4 != 0);
                // Samples in memory beside the mapping are not read.
                mapped.samples = QVector<float>(f.samples.size(), 1000.0f);
                verifySum(mapped, mapped, first, dm, m, r, count);
            }
            f.samples.resize(f.samples.size() - int(drop));
            verifySum(f, f, first, dm, m, r, count);
        }
        QVERIFY(reachedBack > 50);
    }

    void saturatedDelays()
    {
        QRandomGenerator rng(11);
        const NativeFile f = makeFile(rng, 500, 1, 1, 6, true);
        // Delays beyond the 32-bit range saturate; nothing is complete. A first
        // point far past the end gives zeros without overflowing the index.
        for (const auto &[first, dm] : {qMakePair(0, 1e30), qMakePair(std::numeric_limits<int>::max() - 5, 1e30),
                                        qMakePair(0, -1e30), qMakePair(std::numeric_limits<int>::max(), 0.0)}) {
            QVector<double> out;
            QCOMPARE(dispersedChannelSum(f, &out, first, dm, 0, 0, 40), 40);
            QCOMPARE(out, QVector<double>(40, 0.0));
        }
    }

    // Long records, in memory and mapped: delays wider than a block, so far
    // apart that a channel-major copy of the rows would be too large, and
    // outputs shared between two threads.
    void largeSumsMatchReference_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("npoints");
        QTest::addColumn<double>("dm");
        QTest::addColumn<bool>("ascending");
        QTest::newRow("wider than a block") << 9 << 40000 << 60.0 << true;
        QTest::newRow("too wide to copy") << 65 << 220000 << 800.0 << true;
        QTest::newRow("threads, descending") << 65 << 100000 << 30.0 << false;
    }

    void largeSumsMatchReference()
    {
        QFETCH(int, channels);
        QFETCH(int, npoints);
        QFETCH(double, dm);
        QFETCH(bool, ascending);
        QRandomGenerator rng(9);
        const NativeFile f = makeFile(rng, npoints, 1, 2, channels, ascending, 40, 120);
        const NativeFile mapped = mappedCopy(f, m_dir.filePath(QStringLiteral("large%1.pnt").arg(npoints)));
        for (int first : {0, 777}) {
            verifySum(mapped, f, first, dm, 0, 1, npoints - first);
            verifySum(f, f, first, dm, 0, 1, npoints - first);
        }
    }
};

QTEST_GUILESS_MAIN(TestDispersion)
#include "tst_dispersion.moc"
