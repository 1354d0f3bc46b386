#include "data/channelsum.h"
#include "data/nativereader.h"
#include "synth/syntheticobservation.h"
#include "tests/support/coreprobes.h"

#include <QtTest>

#include <cmath>

// A dispersed pulse written by the generator and read back by the native
// reader lines up in the channel sum only at the injected DM.
class TestSynthPhysics : public QObject
{
    Q_OBJECT

private slots:
    void sumPeaksAtInjectedDm_data()
    {
        QTest::addColumn<bool>("descending");
        QTest::addColumn<double>("dm");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("ascending, DM 26.8") << false << 26.8 << "pnthr";
        QTest::newRow("descending, DM 26.8") << true << 26.8 << "pnthr";
        QTest::newRow("descending, DM 57, text form") << true << 57.0 << "txt";
    }

    void sumPeaksAtInjectedDm()
    {
        QFETCH(bool, descending);
        QFETCH(double, dm);
        QFETCH(QString, suffix);
        SyntheticObservation::Params params;
        std::tie(params.npoints, params.nRays, params.firstModule, params.firstRay, params.nBands, params.seed) =
            std::make_tuple(8000, 1, 3, 2, 32, 11);
        std::tie(params.tresolution, params.dm, params.period, params.width, params.snr) =
            std::make_tuple(0.0124928, dm, 0.714519, 0.02, 3.0);
        params.descending = descending;
        const SyntheticObservation observation(params);
        QTemporaryDir dir;
        const QString path = dir.filePath(suffix == QLatin1String("txt") ? observation.textFileName()
                                                                        : observation.fileName(suffix));
        QString error;
        QVERIFY2(observation.write(path, &error), qPrintable(error));
        NativeFile file;
        QVERIFY(readNativeFile(path, &file));
        QCOMPARE(file.nChannels, 33);
        // The first channel's pulse is late by the cold-plasma delay.
        const double f0 = file.fbands.first(), fLast = file.fbands.last();
        QVERIFY(std::abs(observation.channelDelaySeconds(0) - 4148.8 * dm * (1.0 / (f0 * f0) - 1.0 / (fLast * fLast)))
                < 1e-9);

        const Peak atDm = peakSnr(channelSum(file, dm, 0));
        const Peak atZero = peakSnr(channelSum(file, 0.0, 0));
        const Peak atTwice = peakSnr(channelSum(file, 2.0 * dm, 0));
        const QString figures = QStringLiteral("SNR at DM %1, at 0 %2, at 2 DM %3")
                                    .arg(atDm.snr, 0, 'f', 1)
                                    .arg(atZero.snr, 0, 'f', 1)
                                    .arg(atTwice.snr, 0, 'f', 1);
        // 3 sigma per channel over 32 channels sums to about 13 sigma when aligned.
        QVERIFY2(atDm.snr > 9.0 && atDm.snr > 2.0 * atZero.snr && atDm.snr > 2.0 * atTwice.snr, qPrintable(figures));

        // The aligned peak sits where a pulse arrives in the last frequency channel.
        const double k = std::round((atDm.point + 0.5) * params.tresolution / params.period);
        QVERIFY2(std::abs(atDm.point + 0.5 - observation.pulsePeakPoint(qint64(k))) <= 1.0, qPrintable(figures));
    }

private:
    struct Peak
    {
        double snr = 0.0;
        int point = -1;
    };
    // Peak above the median in units of the robust sigma (1.4826 x MAD).
    static Peak peakSnr(const QVector<double> &series)
    {
        const probe::RobustLevel level = probe::robustLevel(series);
        Peak peak;
        for (int i = 0; i < series.size(); ++i) {
            const double snr = (series.at(i) - level.median) / level.sigma;
            if (snr > peak.snr) {
                peak.snr = snr;
                peak.point = i;
            }
        }
        return peak;
    }

    static QVector<double> channelSum(const NativeFile &file, double dm, int ray)
    {
        QVector<double> sum;
        const int count = dispersedChannelSum(file, &sum, 0, dm, 0, ray, file.npoints);
        return count == file.npoints ? sum : QVector<double>();
    }
};

QTEST_GUILESS_MAIN(TestSynthPhysics)
#include "tst_synthphysics.moc"
