#include "astro/beamtables.h"
#include "astro/filenames.h"
#include "astro/timecoords.h"
#include "data/channelsum.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "data/nativetimes.h"
#include "synth/demodata.h"
#include "synth/syntheticobservation.h"
#include "tests/support/coreprobes.h"

#include <QtTest>

#include <cmath>

// The demo data of scripts/run and the fuzz seed corpus: complete, readable
// and shaped as the modules that open them expect.
class TestDemoData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(DemoData::writeDemo(m_dir.path(), &m_written, &error), qPrintable(error));
    }

    // Every file but the mark is reported; the native files read as valid, and
    // the multi-day directory holds one single-beam day per date at site N0;
    // writing the demo again changes nothing. scripts/run compares
    // the mark with its own copy of the text to tell an outdated demo folder.
    void demoIsCompleteAndReadable()
    {
        const QByteArray mark = probe::contents(m_dir.filePath(DemoData::completeMarkName())).trimmed();
        QFile runScript(qEnvironmentVariable("ORVALIS_SOURCE_DIR") + QStringLiteral("/scripts/run"));
        QVERIFY(!mark.isEmpty() && runScript.open(QIODevice::ReadOnly));
        QVERIFY(runScript.readAll().contains("\"" + mark + "\""));
        QCOMPARE(m_written.size(), filesBelow(m_dir.path()).size() - 1);

        const QDir native(m_dir.filePath(DemoData::nativeDirName()));
        for (const QString &name : native.entryList(QDir::Files, QDir::Name)) {
            NativeFile file;
            QVERIFY2(readNativeFile(native.filePath(name), &file), qPrintable(name));
            QVERIFY2(validateNativeFile(file).isEmpty(), qPrintable(name));
            QVERIFY2(file.observationDate.startsWith(QStringLiteral("2026.07.2")), qPrintable(file.observationDate));
        }

        const QDir multiDay(m_dir.filePath(DemoData::multiDayDirName()));
        const QStringList names = multiDay.entryList(QDir::Files, QDir::Name);
        QCOMPARE(names.size(), DemoData::multiDayCount);
        QSet<QString> dates;
        for (const QString &name : names) {
            NativeFile file;
            QVERIFY2(readNativeFile(multiDay.filePath(name), &file), qPrintable(name));
            QCOMPARE(file.nModules * file.nRays, 1);
            QCOMPARE(ploshFromPath(multiDay.filePath(name)), QStringLiteral("N0"));
            QCOMPARE(dateFromFileName(name), file.localBeginDate);
            dates.insert(file.localBeginDate);
        }
        QCOMPARE(dates.size(), DemoData::multiDayCount);
        const QStringList profiles =
            QDir(m_dir.filePath(DemoData::profilesDirName())).entryList({QStringLiteral("p20*_dm*_p*.txt")}, QDir::Files);
        QVERIFY(profiles.size() >= 10);

        // Written again, the demo is the same set of files.
        const QStringList before = filesBelow(m_dir.path());
        const QByteArray first = probe::contents(multiDay.filePath(names.value(0)));
        QVERIFY(!first.isEmpty() && DemoData::writeDemo(m_dir.path(), nullptr, nullptr));
        QCOMPARE(filesBelow(m_dir.path()), before);
        QVERIFY(probe::contents(multiDay.filePath(names.value(0))) == first);
    }

    void pulsarWhereItsAlphaPasses_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("suffix");
        for (const char *suffix : {"pnt", "pnthr", "txt"})
            QTest::newRow(suffix) << DemoData::nativeDirName() << suffix;
        QTest::newRow("first day") << DemoData::multiDayDirName() << "pnthr";
    }

    // The demo's pulsar is where its passport says: searched by the source's alpha
    // in the beam nearest the source's declination (of all beams of all sites),
    // the point found lies in the hour the file is named after, and there the
    // channel sum at dispersion 27 shows the pulse in that beam and in no other.
    void pulsarWhereItsAlphaPasses()
    {
        QFETCH(QString, dir);
        QFETCH(QString, suffix);
        const QDir folder(m_dir.filePath(dir));
        const QStringList names = folder.entryList({QStringLiteral("*.") + suffix}, QDir::Files, QDir::Name);
        QVERIFY(!names.isEmpty());
        NativeFile file;
        QVERIFY(readNativeFile(folder.filePath(names.first()), &file));

        double sourceDelta = 0.0;
        QVERIFY(parseDeclination(file.delta, &sourceDelta));
        QString plosh;
        int module = 0, ray = 0;
        double distance = 1e9;
        for (const QString &site : {QStringLiteral("N0"), QStringLiteral("N1"), QStringLiteral("N2")}) {
            for (int m = 1; m <= 6; ++m) {
                for (int r = 1; r <= 8; ++r) {
                    const double d = std::abs(beamDeclination(m, r, site) - sourceDelta * 180.0 / M_PI);
                    if (d < distance)
                        std::tie(distance, plosh, module, ray) = std::make_tuple(d, site, m, r);
                }
            }
        }
        QCOMPARE(file.plosh, plosh);
        QCOMPARE(file.firstModule, module);
        const int rayIndex = ray - file.firstRay;
        QVERIFY(rayIndex >= 0 && rayIndex < file.nRays);

        double beamDelta = 0.0;
        QVERIFY(parseDeclination(beamDeclinationText(module, ray, plosh), &beamDelta));
        int point = -1;
        QCOMPARE(findPointForAlpha(utcBeginInstant(file), file.tresolution, beamDelta, file.alpha, 0, file.npoints - 1,
                                   autoAlphaDecimals(file.tresolution), &point),
                 AlphaFound);
        const QDateTime local = samplePointTime(localBeginInstant(file), point, file.tresolution);
        QCOMPARE(local.toString(QStringLiteral("HH")), file.nativeFileName.mid(7, 2));

        // Height of the highest sample within a period of the point above the
        // median of ten periods around it, in units of their robust deviation.
        const int period = int(SyntheticObservation::Params().period / file.tresolution) + 1;
        const int from = std::max(point - 10 * period, 0);
        const int to = std::min(point + 10 * period, file.npoints - 1);
        for (int r = 0; r < file.nRays; ++r) {
            QVector<double> sum;
            QCOMPARE(dispersedChannelSum(file, &sum, 0, 27.0, 0, r, file.npoints), file.npoints);
            const probe::RobustLevel level = probe::robustLevel(sum.mid(from, to - from + 1));
            double peak = -1e300;
            for (int p = std::max(point - period, 0); p <= std::min(point + period, file.npoints - 1); ++p)
                peak = std::max(peak, sum.at(p));
            const double height = (peak - level.median) / level.sigma;
            QVERIFY2(r == rayIndex ? height > 7.0 : height < 5.0, qPrintable(QStringLiteral("ray %1: %2").arg(r).arg(height)));
        }
    }

    // What the README tells a newcomer to type must fit the form and the data:
    // a whole dispersion, the demo's beam and its delta, the pulsar's alpha.
    void readmeInstructionsHold()
    {
        QFile readme(qEnvironmentVariable("ORVALIS_SOURCE_DIR") + QStringLiteral("/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(readme.readAll()).simplified();
        const QRegularExpressionMatch steps = QRegularExpression(QStringLiteral(
            "in module (\\d+), beam (\\d+) \\(delta (\\S+), .* choose beam (\\d+), channel 0 and dispersion (\\S+) "
            ".* type (\\S+) into \"Search alpha\"")).match(text);
        QVERIFY2(steps.hasMatch(), "README: the demo's steps are missing");
        bool whole = false;
        const int dispersion = steps.captured(5).toInt(&whole);
        QVERIFY2(whole && dispersion >= 0 && dispersion <= 200, qPrintable(steps.captured(5)));

        NativeFile file;
        const QDir native(m_dir.filePath(DemoData::nativeDirName()));
        QVERIFY(readNativeFile(native.filePath(native.entryList({QStringLiteral("*.pnt")}, QDir::Files).value(0)), &file));
        const int module = steps.captured(1).toInt(), beam = steps.captured(2).toInt();
        QCOMPARE(steps.captured(4).toInt(), beam);
        QCOMPARE(file.firstModule, module);
        QCOMPARE(steps.captured(3), beamDeclinationText(module, beam, file.plosh));
        QCOMPARE(steps.captured(6), file.alpha);
        QVERIFY(text.contains(QStringLiteral("demo-data/") + DemoData::multiDayDirName() + QLatin1Char('/')));
    }

    void demoFailureLeavesNoMark()
    {
        QTemporaryDir dir;
        // A plain file where the multi-day directory must go.
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("multiday"))));
        QVERIFY(QFile(dir.filePath(DemoData::multiDayDirName())).open(QIODevice::WriteOnly));
        QString error;
        QVERIFY(!DemoData::writeDemo(dir.path(), nullptr, &error) && !error.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(DemoData::completeMarkName())));
    }

private:
    static QStringList filesBelow(const QString &dir)
    {
        QStringList files;
        QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(QDir(dir).relativeFilePath(it.next()));
        files.sort();
        return files;
    }

    QTemporaryDir m_dir;
    QStringList m_written;
};

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
