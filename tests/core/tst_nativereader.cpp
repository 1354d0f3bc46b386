#include "data/channelsum.h"
#include "data/mappingguard.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

using RecordChange = std::function<void(NativeFile *)>;
Q_DECLARE_METATYPE(RecordChange)

namespace {

// Distinct progress reports the readers must give for a file of npoints points.
QVector<int> expectedStreamedProgress(qint64 npoints)
{
    QVector<int> reports{0};
    const qint64 step = std::max<qint64>(npoints / 100, 1);
    for (qint64 k = 1; k <= npoints; ++k) {
        if ((k % step == 0 || k == npoints) && reports.last() != int(k * 100 / npoints))
            reports << int(k * 100 / npoints);
    }
    return reports;
}

// Keeps the distinct percentages a reader reports (a repeated one is its
// question whether to go on) and counts every call.
struct ProgressLog
{
    QVector<int> reports;
    int calls = 0;

    NativeProgress callback()
    {
        return [this](int percent) {
            ++calls;
            if (reports.isEmpty() || reports.last() != percent)
                reports << percent;
            return true;
        };
    }
};

} // namespace

class NativeReaderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A file whose passport length is odd, so the mapped block is unaligned.
    QString writeShape(const QString &name, int npoints, int nModules, int nRays, int nChannels)
    {
        fixture::Entries entries = fixture::entries(npoints, nModules, nRays, nChannels);
        if (nChannels > 1000)
            fixture::remove(&entries, QStringLiteral("fbands"));
        fixture::set(&entries, QStringLiteral("comment"), QStringLiteral("x"));
        QByteArray head = fixture::passport(entries);
        if (head.size() % 2 == 0) {
            fixture::set(&entries, QStringLiteral("comment"), QStringLiteral("xy"));
            head = fixture::passport(entries);
        }
        const QString path = m_dir.filePath(name);
        if (!fixture::writeFile(path, head + fixture::samples(npoints, nModules, nRays, nChannels)))
            qFatal("cannot write fixture");
        return path;
    }

    static void verifyAllSamples(const NativeFile &file)
    {
        for (qint64 p = 0; p < file.npoints; ++p)
            for (int m = 0; m < file.nModules; ++m)
                for (int r = 0; r < file.nRays; ++r)
                    for (int c = 0; c < file.nChannels; ++c) {
                        if (nativeSample(file, m, r, c, p) != fixture::value(p, m, r, c))
                            QFAIL(qPrintable(QStringLiteral("sample %1 %2 %3 %4").arg(p).arg(m).arg(r).arg(c)));
                    }
    }

    // Sparse files of about 2 GiB: 2 rays, 4 channels, values written only at
    // a few points (the rest read 0).
    static constexpr int largeRays = 2;
    static constexpr int largeChannels = 4;
    static constexpr qint64 largePassportLength = 1024;
    static constexpr qint64 largePoints =
        (nativeMappedThreshold - largePassportLength) / (4 * largeRays * largeChannels);

    QString writeLargeFile(const QString &name, qint64 headLength)
    {
        fixture::Entries entries = fixture::entries(int(largePoints), 1, largeRays, largeChannels);
        fixture::set(&entries, QStringLiteral("comment"), QString());
        const int padding = int(headLength - fixture::passport(entries).size());
        fixture::set(&entries, QStringLiteral("comment"), QString(padding, QLatin1Char('#')));
        const QByteArray head = fixture::passport(entries);
        const QString path = m_dir.filePath(name);
        QFile out(path);
        if (head.size() != headLength || !out.open(QIODevice::WriteOnly) || out.write(head) != headLength
            || !out.resize(headLength + largePoints * largeRays * largeChannels * 4))
            return QString();
        for (qint64 p : {qint64(0), qint64(1), qint64(12345), largePoints / 2, largePoints - 2, largePoints - 1}) {
            const QByteArray point = fixture::samples(1, 1, largeRays, largeChannels, [p](qint64, int m, int r, int c) {
                return fixture::value(p, m, r, c);
            });
            if (!out.seek(headLength + p * point.size()) || out.write(point) != point.size())
                return QString();
        }
        return path;
    }

    // Cuts a file to nothing from another process, as a copy tool rewriting it would.
    static bool truncateElsewhere(const QString &path)
    {
        return QProcess::execute(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("0"), path}) == 0;
    }

private slots:
    // Streamed records hold the samples channel-major, mapped ones in file
    // order; both read the same values, and copies share the mapping.
    void layouts()
    {
        const QString path = writeShape(QStringLiteral("shape.pnt"), 7, 2, 3, 4);
        NativeFile streamed, copy;
        QVERIFY(readBinaryStreamed(path, &streamed) && streamed.loaded && !streamed.mapping);
        {
            NativeFile mapped;
            QVERIFY(readBinaryMapped(path, &mapped) && mapped.loaded && mapped.samples.isEmpty());
            QCOMPARE(mapped.sampleCount(), qint64(7 * 2 * 3 * 4));
            QVERIFY(validateNativeFile(mapped).isEmpty());
            copy = mapped;
            QCOMPARE(mapped.mapping.use_count(), 2L);
        }
        QCOMPARE(copy.mapping.use_count(), 1L);
        QCOMPARE(streamed.samples.size(), 7 * 2 * 3 * 4);
        QCOMPARE(streamed.samples.at(((1 * 3 + 2) * 4 + 3) * 7 + 5), fixture::value(5, 1, 2, 3));
        QCOMPARE(copy.mapping->at(((5 * 2 + 1) * 3 + 2) * 4 + 3), fixture::value(5, 1, 2, 3));
        verifyAllSamples(streamed);
        verifyAllSamples(copy);

        // Outside the data a sample reads 0, and so does one past the array
        // of a record that claims more than it holds.
        for (const QVector<int> &at : QVector<QVector<int>>{{2, 0, 0, 0}, {-1, 0, 0, 0}, {0, 3, 0, 0}, {0, -1, 0, 0},
                                                            {0, 0, 4, 0}, {0, 0, -1, 0}, {0, 0, 0, 7}, {0, 0, 0, -1}})
            QCOMPARE(nativeSample(streamed, at[0], at[1], at[2], at[3]), 0.0f);
        streamed.npoints = 40;
        QCOMPARE(nativeSample(streamed, 1, 2, 3, 39), 0.0f);
        streamed.loaded = false;
        QCOMPARE(nativeSample(streamed, 0, 0, 0, 0), 0.0f);
    }

    // Large arrays are handed back to the system piece by piece; an array
    // another record still shares is left alone.
    void clearingARecordKeepsSharedSamples()
    {
        NativeFile file;
        file.samples = QVector<float>(32 << 20, 2.5f);
        file.loaded = true;
        const NativeFile copy = file;
        file.clearSamples();
        QVERIFY(file.samples.isEmpty() && copy.samples == QVector<float>(32 << 20, 2.5f));
    }

    // Every sample and every percentage of progress, for files within one
    // chunk and across the chunk boundaries.
    void streamedProgress_data()
    {
        QTest::addColumn<int>("npoints");
        QTest::addColumn<int>("nRays");
        QTest::addColumn<int>("nChannels");
        for (int npoints : {1, 7, 1001})
            QTest::addRow("%d points", npoints) << npoints << 2 << 3;
        // 84-byte points straddle the 4 MiB chunk boundaries.
        QTest::newRow("points straddle chunks") << 60000 << 3 << 7;
        QTest::newRow("point larger than a chunk") << 3 << 1 << 1200001;
        QTest::newRow("one channel") << 1100000 << 1 << 1;
    }

    void streamedProgress()
    {
        QFETCH(int, npoints);
        QFETCH(int, nRays);
        QFETCH(int, nChannels);
        const QString path = writeShape(QStringLiteral("chunks.pnt"), npoints, 1, nRays, nChannels);
        NativeFile file;
        ProgressLog log;
        QVERIFY(readBinaryStreamed(path, &file, log.callback()));
        verifyAllSamples(file);
        QCOMPARE(log.reports, expectedStreamedProgress(npoints));
        ProgressLog mappedLog;
        QVERIFY(readBinaryMapped(path, &file, mappedLog.callback()));
        QCOMPARE(mappedLog.reports, (QVector<int>{0, 100}));
    }

    // The suffix decides the reader, in any case; a missing file reads as one
    // that cannot be opened.
    void dispatchBySuffix()
    {
        NativeFile file;
        QVERIFY(readNativeFile(writeShape(QStringLiteral("dispatch.PNTHR"), 3, 1, 1, 2), &file));
        QVERIFY(!file.samples.isEmpty());
        QVERIFY(!readNativeFile(m_dir.filePath(QStringLiteral("none.pnt")), &file));
        QVERIFY(file.npoints == -1 && !file.loaded);
    }

    // A failed read keeps nothing of an earlier one: a file one byte too long
    // (size mismatch) and one that declares no channels (header error).
    void failedReadDropsPreviousData()
    {
        const QString good = writeShape(QStringLiteral("good.pnt"), 4, 1, 2, 3);
        const QString bad = m_dir.filePath(QStringLiteral("bad.pnt"));
        QVERIFY(fixture::writeFile(bad, fixture::passport(fixture::entries(4, 1, 2, 3)) + fixture::samples(4, 1, 2, 3)
                                            + "!"));
        fixture::Entries entries = fixture::entries(4, 1, 2, 1);
        fixture::set(&entries, QStringLiteral("nbands"), QStringLiteral("-1"));
        const QString noChannels = m_dir.filePath(QStringLiteral("nochannels.pnt"));
        QVERIFY(fixture::writeFile(noChannels, fixture::passport(entries)));

        for (const auto &reader : {readBinaryStreamed, readBinaryMapped}) {
            for (const auto &failure : {qMakePair(bad, -2), qMakePair(noChannels, -3)}) {
                NativeFile file;
                QVERIFY(reader(good, &file, {}) && !reader(failure.first, &file, {}));
                QCOMPARE(file.npoints, failure.second);
                QVERIFY(!file.loaded && file.samples.isEmpty() && !file.mapping);
            }
        }
        // A mapped record read again as a streamed one lets go of the mapping.
        NativeFile file;
        QVERIFY(readBinaryMapped(good, &file) && readBinaryStreamed(good, &file));
        QVERIFY(!file.mapping);
        verifyAllSamples(file);
    }

    void validation_data()
    {
        QTest::addColumn<RecordChange>("change");
        QTest::addColumn<QStringList>("problems");
        const QString notLoaded = QStringLiteral("The signal array was not loaded.");
        const QString shape = QStringLiteral("The numbers of modules, beams and channels must be positive.");
        const QString interval = QStringLiteral("tresolution must be a positive number.");
        const QString firstPoint = QStringLiteral("firstPoint cannot be negative.");
        const QString utc = QStringLiteral("A valid UTC date and time are required.");
        const QString site = QStringLiteral("The observatory site is not specified.");
        const QString frequencies =
            QStringLiteral("The channel frequency list is shorter than the physical channel count.");
        const QString shorter = QStringLiteral("The signal array is shorter than declared in the passport.");

        QTest::newRow("unloaded") << RecordChange([](NativeFile *f) { f->clearSamples(); })
                                  << QStringList{notLoaded, shorter};
        QTest::newRow("error code") << RecordChange([](NativeFile *f) { f->npoints = -3; })
                                    << QStringList{QStringLiteral("npoints must be greater than zero.")};
        QTest::newRow("no rays") << RecordChange([](NativeFile *f) { f->nRays = 0; }) << QStringList{shape};
        QTest::newRow("zero interval") << RecordChange([](NativeFile *f) { f->tresolution = 0; })
                                       << QStringList{interval};
        QTest::newRow("negative first point") << RecordChange([](NativeFile *f) { f->firstPoint = -1; })
                                              << QStringList{firstPoint};
        QTest::newRow("bad UTC date") << RecordChange([](NativeFile *f) { f->utcBeginDate = "2015.02.30"; })
                                      << QStringList{utc};
        QTest::newRow("no site") << RecordChange([](NativeFile *f) { f->plosh.clear(); }) << QStringList{site};
        QTest::newRow("frequency missing") << RecordChange([](NativeFile *f) { f->fbands.removeLast(); })
                                           << QStringList{frequencies};
        QTest::newRow("product beyond 64 bits") << RecordChange([](NativeFile *f) {
            f->npoints = f->nModules = f->nRays = f->nChannels = 2000000000;
            f->fbands.resize(0);
        }) << QStringList{frequencies, shorter};
    }

    void validation()
    {
        QFETCH(RecordChange, change);
        NativeFile file;
        QVERIFY(readBinaryStreamed(writeShape(QStringLiteral("valid.pnt"), 6, 1, 2, 4), &file));
        change(&file);
        QTEST(validateNativeFile(file), "problems");
    }

    void selection_data()
    {
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("ray");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("single");
        QTest::addColumn<int>("moduleIndex");   // -1: refused
        QTest::newRow("second module, last ray") << 4 << 8 << 9 << 1 << true << 1;
        QTest::newRow("all rays") << 4 << 0 << 0 << 1 << false << 1;
        QTest::newRow("all rays, single needed") << 3 << 0 << 0 << 1 << true << -1;
        QTest::newRow("ray 9") << 3 << 9 << 0 << 1 << false << -1;
        QTest::newRow("module above") << 5 << 1 << 0 << 1 << false << -1;
        QTest::newRow("negative start") << 3 << 1 << -1 << 2 << false << -1;
        QTest::newRow("past the end") << 3 << 1 << 5 << 6 << false << -1;
        QTest::newRow("sum beyond int") << 3 << 1 << 2147483647 << 2147483647 << false << -1;
    }

    void selection()
    {
        QFETCH(int, module);
        QFETCH(int, ray);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(bool, single);
        QFETCH(int, moduleIndex);
        NativeFile file;
        QVERIFY(readBinaryStreamed(writeShape(QStringLiteral("select.pnt"), 10, 2, 8, 2), &file));
        const NativeSelection selection{module, ray, start, count, {}};
        int index = -7;
        QString error;
        QCOMPARE(checkSelection(file, selection, single, &index, &error), moduleIndex >= 0);
        if (moduleIndex >= 0) {
            QCOMPARE(index, moduleIndex);
            QVERIFY(error.isEmpty());
        } else {
            QCOMPARE(index, -7);
            QCOMPARE(error, QStringLiteral("Invalid data range, module or ray."));
        }
        file.loaded = false;
        QVERIFY(!checkSelection(file, selection, single, &index, &error));
    }

    // A file of exactly 2^31 bytes is mapped, one of 2^31 - 1 bytes is
    // streamed; both hold the same values at the same (p, m, r, c).
    void largeFilesMappedAndStreamedAgree()
    {
        const QString mappedPath = writeLargeFile(QStringLiteral("large_mapped.pnt"), largePassportLength);
        const QString streamedPath = writeLargeFile(QStringLiteral("large_streamed.pnt"), largePassportLength - 1);
        QVERIFY(!mappedPath.isEmpty() && !streamedPath.isEmpty());
        QCOMPARE(QFileInfo(mappedPath).size() + QFileInfo(streamedPath).size(), 2 * nativeMappedThreshold - 1);
        NativeFile mapped, streamed;
        ProgressLog mappedLog;
        QVERIFY(readNativeFile(mappedPath, &mapped, mappedLog.callback()));
        QVERIFY(mapped.mapping && mapped.samples.isEmpty() && validateNativeFile(mapped).isEmpty());
        QCOMPARE(mapped.sampleCount(), largePoints * largeRays * largeChannels);
        QCOMPARE(mappedLog.reports, (QVector<int>{0, 100}));
        QVERIFY(readNativeFile(streamedPath, &streamed) && !streamed.mapping && validateNativeFile(streamed).isEmpty());
        QCOMPARE(qint64(streamed.samples.size()), largePoints * largeRays * largeChannels);
        for (qint64 p : {qint64(0), qint64(1), qint64(2), qint64(12345), qint64(12346), largePoints / 2,
                         largePoints / 2 + 1, largePoints - 3, largePoints - 2, largePoints - 1}) {
            const bool written = p != 2 && p != 12346 && p != largePoints / 2 + 1 && p != largePoints - 3;
            for (int r = 0; r < largeRays; ++r)
                for (int c = 0; c < largeChannels; ++c) {
                    const float expected = written ? fixture::value(p, 0, r, c) : 0.0f;
                    QCOMPARE(nativeSample(mapped, 0, r, c, p), expected);
                    QCOMPARE(nativeSample(streamed, 0, r, c, p), expected);
                }
        }
        mapped = streamed = NativeFile();
        QVERIFY(QFile::remove(mappedPath) && QFile::remove(streamedPath));
    }

    // A mapped file cut short by another process: reading it reads zeros
    // instead of ending the program, and every pass over it reports the loss.
    void mappedFileCutShortElsewhere()
    {
        const QString path = writeLargeFile(QStringLiteral("cut_00.pnt"), largePassportLength);
        QVERIFY(!path.isEmpty());
        NativeFile file;
        QVERIFY(readNativeFile(path, &file) && file.mapping && !nativeSamplesLost(file));
        QVector<double> sum;
        QCOMPARE(dispersedChannelSum(file, &sum, int(largePoints) - 10, 0.0, 0, 1, 10), 10);

        QVERIFY(truncateElsewhere(path) && nativeSamplesLost(file) && file.mapping->lost());
        QCOMPARE(nativeSample(file, 0, 1, 2, largePoints - 1), 0.0f);
        QCOMPARE(dispersedChannelSum(file, &sum, int(largePoints) - 10, 0.0, 0, 1, 10), -1);
        const NativeSelection selection{file.firstModule, file.firstRay, int(largePoints) - 10, 10, {}};
        for (const auto &write : {writeBinaryExtract, writeTextExtract}) {
            const QString extract = m_dir.filePath(QStringLiteral("extract.out"));
            QString error;
            QVERIFY(!write(extract, file, selection, &error, {}));
            QCOMPARE(error, QStringLiteral("The file changed on disk while the extract was written."));
            QVERIFY(!QFile::exists(extract));
        }
        file = NativeFile();

        // Cut while the mapped reader runs: it fails instead of handing out zeros.
        QCOMPARE(writeLargeFile(QStringLiteral("cut_00.pnt"), largePassportLength), path);
        bool cut = false;
        QVERIFY(!readBinaryMapped(path, &file, [&](int percent) {
            if (percent == 100)
                cut = truncateElsewhere(path);
            return true;
        }));
        QVERIFY(cut);
        QCOMPARE(file.npoints, NativeError::EndOfData);
        QVERIFY(!file.loaded && !file.mapping && QFile::remove(path));
    }

    // The guard answers only faults inside the program's own mappings; a bus
    // error anywhere else, or one sent by another process, still ends the
    // process. Run in a fresh child, where SIGBUS has its default disposition.
    void foreignBusErrorsStayDeadly_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::newRow("sent") << QByteArray("sent");
        QTest::newRow("fault in a mapping of someone else") << QByteArray("fault");
    }

    void foreignBusErrorsStayDeadly()
    {
        QFETCH(QByteArray, mode);
        const QByteArray path = QFile::encodeName(m_dir.filePath(QStringLiteral("foreign.bin")));
        QVERIFY(fixture::writeFile(QFile::decodeName(path), QByteArray(3 * 65536, 'x')));
        const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
        const pid_t child = fork();
        if (child == 0) {
            const char *args[] = {self.constData(), "--bus-error", mode.constData(), path.constData(), nullptr};
            execv(args[0], const_cast<char *const *>(args));
            _exit(127);
        }
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(!WIFEXITED(status) || (WEXITSTATUS(status) != 0 && WEXITSTATUS(status) != 127),
                 "the bus error was swallowed");
        // The sanitizers' own handler reports such a fault and exits instead.
        if (!qEnvironmentVariableIsSet("ORVALIS_SANITIZER_RUN"))
            QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGBUS, qPrintable(QString::number(status)));
    }

    // A stop request ends a read at once, and a whole read asks the caller at
    // least once per chunk, so that a stop is heard within one chunk.
    void stopRequestEndsTheReadWithinAChunk_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("stopAt");   // the call that answers false
        QTest::newRow("streamed, at the start") << "pnt" << 1;
        QTest::newRow("streamed, inside a point") << "pnt" << 3;
        QTest::newRow("text, at the start") << "txt" << 1;
        QTest::newRow("text, in a long gap") << "txt" << 3;
        QTest::newRow("mapped, at the end") << "mapped" << 2;
    }

    void stopRequestEndsTheReadWithinAChunk()
    {
        QFETCH(QString, kind);
        QFETCH(int, stopAt);
        // Steps of progress far apart: points of 10 MB; two rows 20 MB of blank lines apart.
        QString path = m_dir.filePath(QStringLiteral("stop.txt"));
        if (kind == QLatin1String("txt")) {
            QVERIFY(fixture::writeFile(path, "points 2\nchannels 1\nmodule 1\nray 1\ntres 0.1\nfbands 110\n\n"
                                             "frequency\nchannel: sum\n1\n"
                                             + QByteArray(QByteArray(1023, ' ') + '\n').repeated(20 << 10) + "2\n"));
        } else {
            path = writeShape(QStringLiteral("stop.pnt"), 2, 1, 1, 2500000);
        }
        const auto read = kind == QLatin1String("mapped") ? readBinaryMapped : readNativeFile;
        int calls = 0;
        NativeFile file;
        file.samples = QVector<float>(3, 1.0f);
        file.loaded = true;
        QVERIFY(!read(path, &file, [&](int) { return ++calls < stopAt; }));
        QCOMPARE(calls, stopAt);
        QCOMPARE(file.npoints, NativeError::Cancelled);
        QVERIFY(!file.loaded && file.samples.isEmpty() && !file.mapping);

        ProgressLog log;
        QVERIFY(read(path, &file, log.callback()));
        if (kind != QLatin1String("mapped"))
            QVERIFY2(log.calls > QFileInfo(path).size() / nativeReadChunkBytes, qPrintable(QString::number(log.calls)));
    }
};

// The child of foreignBusErrorsStayDeadly: with the guard installed, a bus
// error it does not own. Returns 0 only if the process survived it.
int busErrorChild(const char *mode, const char *path)
{
    static const char guarded[16] = {};
    if (MappingGuard::add(guarded, sizeof guarded) < 0)
        return 2;
    if (qstrcmp(mode, "sent") == 0) {
        raise(SIGBUS);
        return 0;
    }
    const int fd = open(path, O_RDWR);
    auto *bytes = static_cast<volatile char *>(mmap(nullptr, 3 * 65536, PROT_READ, MAP_SHARED, fd, 0));
    if (bytes == MAP_FAILED || ftruncate(fd, 0) != 0)
        return 3;
    (void)bytes[2 * 65536];
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--bus-error") == 0)
        return busErrorChild(argv[2], argv[3]);
    QCoreApplication app(argc, argv);
    NativeReaderTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_nativereader.moc"
