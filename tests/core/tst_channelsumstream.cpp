#include "astro/channelsumstream.h"
#include "data/channelsum.h"
#include "data/nativefile.h"
#include "tests/support/coreprobes.h"

#include <QtTest>

#include <cmath>
#include <cstring>

namespace {

// A record in the channel-major layout and the same samples as the file's
// little-endian rows; magnitudes spread widely, so that the order of the
// additions shows in the sums.
struct Observation
{
    NativeFile file;
    QByteArray rows;
};

Observation makeObservation(quint32 seed, int npoints, int nModules, int nRays, int nChannels, bool ascending,
                            double tresolution)
{
    QRandomGenerator rng(seed);
    Observation o;
    NativeFile &f = o.file;
    f.loaded = true;
    std::tie(f.npoints, f.nModules, f.nRays, f.nChannels, f.tresolution) =
        std::make_tuple(npoints, nModules, nRays, nChannels, tresolution);
    for (int c = 0; c < nChannels - 1; ++c)
        f.fbands.append(ascending ? 109.0 + 0.08 * c : 111.5 - 0.08 * c);
    const qint64 stride = qint64(nModules) * nRays * nChannels;
    f.samples.resize(int(stride * npoints));
    o.rows.resize(int(stride * npoints * 4));
    for (qint64 t = 0; t < npoints; ++t) {
        for (qint64 slot = 0; slot < stride; ++slot) {
            const float v = float((rng.generateDouble() - 0.3) * std::pow(10.0, rng.bounded(7)));
            f.samples[int(slot * npoints + t)] = v;
            quint32 bits;
            std::memcpy(&bits, &v, 4);
            qToLittleEndian(bits, o.rows.data() + 4 * (t * stride + slot));
        }
    }
    return o;
}

// Feeds the rows in pieces of the given number of rows.
QVector<QVector<double>> streamSums(const Observation &o, int moduleIndex, int rayIndex, const QVector<double> &dms,
                                    int pieceRows)
{
    const NativeFile &f = o.file;
    const qint64 stride = qint64(f.nModules) * f.nRays * f.nChannels;
    ChannelSumStream stream(f.fbands, f.nChannels, f.tresolution, f.npoints, stride,
                            (qint64(moduleIndex) * f.nRays + rayIndex) * f.nChannels, dms);
    if (!stream.isValid())
        return {};
    const uchar *bytes = reinterpret_cast<const uchar *>(o.rows.constData());
    for (qint64 row = 0; row < f.npoints; row += pieceRows)
        stream.addRows(bytes + row * stride * 4, std::min<qint64>(pieceRows, f.npoints - row));
    return stream.takeSums();
}

} // namespace

// The sums of the stream, fed row by row as a file is read, against
// dispersedChannelSum of the whole record.
class TestChannelSumStream : public QObject
{
    Q_OBJECT

private slots:
    void matchesWholeRecordSum_data()
    {
        QTest::addColumn<int>("npoints");
        QTest::addColumn<int>("nModules");
        QTest::addColumn<int>("nRays");
        QTest::addColumn<int>("nChannels");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<double>("tresolution");
        QTest::addColumn<QVector<double>>("dms");
        QTest::addColumn<int>("pieceRows");

        const double tres = 0.0124928;
        QTest::newRow("last module and ray of several") << 3000 << 2 << 3 << 9 << true << tres
                                                        << QVector<double>{0.0, 55.0} << 7;
        // Pieces of 8 + 4 + 1 rows and channels beyond the last group of four.
        QTest::newRow("odd pieces, odd channels") << 2600 << 1 << 1 << 8 << true << tres
                                                  << QVector<double>{0.0, 40.0} << 13;
        // Delays of thousands of points: the window is wider than its summing block.
        QTest::newRow("delays wider than the block") << 30000 << 1 << 1 << 65 << true << 0.0005
                                                     << QVector<double>{0.0, 900.0} << 4096;
        QTest::newRow("delays wider than the file") << 300 << 1 << 1 << 9 << false << tres
                                                    << QVector<double>{0.0, 1e6} << 64;
        QTest::newRow("two channels: the one frequency channel") << 500 << 1 << 1 << 2 << true << tres
                                                                 << QVector<double>{0.0, 500.0} << 33;
    }

    void matchesWholeRecordSum()
    {
        QFETCH(int, npoints);
        QFETCH(int, nModules);
        QFETCH(int, nRays);
        QFETCH(int, nChannels);
        QFETCH(bool, ascending);
        QFETCH(double, tresolution);
        QFETCH(QVector<double>, dms);
        QFETCH(int, pieceRows);
        const Observation o = makeObservation(quint32(npoints + nChannels), npoints, nModules, nRays, nChannels,
                                              ascending, tresolution);
        const int m = nModules - 1, r = nRays - 1;
        const QVector<QVector<double>> sums = streamSums(o, m, r, dms, pieceRows);
        QCOMPARE(sums.size(), dms.size());
        for (int k = 0; k < dms.size(); ++k) {
            QVector<double> expected;
            QCOMPARE(dispersedChannelSum(o.file, &expected, 0, dms.at(k), m, r, npoints), npoints);
            QString where;
            QVERIFY2(probe::bitIdentical(sums.at(k), expected, &where), qPrintable(QStringLiteral("DM %1, ").arg(dms.at(k)) + where));
        }
    }

    // A zero frequency, or no frequency channel beside the total: the shared
    // checks of the sum refuse them (the sum's tests go through each).
    void refusesWhatTheSumRefuses()
    {
        Observation o = makeObservation(5, 100, 1, 1, 9, true, 0.01);
        o.file.fbands[3] = 0.0;
        QVERIFY(!ChannelSumStream(o.file.fbands, 9, 0.01, 100, 9, 0, {0.0, 10.0}).isValid());
        const Observation single = makeObservation(5, 100, 1, 1, 1, true, 0.01);
        QVERIFY(!ChannelSumStream(single.file.fbands, 1, 0.01, 100, 1, 0, {0.0, 10.0}).isValid());
    }

    void incompleteFeedGivesNothing()
    {
        const Observation o = makeObservation(9, 400, 1, 1, 5, true, 0.01);
        ChannelSumStream stream(o.file.fbands, 5, 0.01, 400, 5, 0, {0.0, 20.0});
        QVERIFY(stream.isValid());
        stream.addRows(reinterpret_cast<const uchar *>(o.rows.constData()), 399);
        QVERIFY(stream.takeSums().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestChannelSumStream)
#include "tst_channelsumstream.moc"
