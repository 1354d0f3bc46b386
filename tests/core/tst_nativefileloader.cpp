#include "data/nativefileloader.h"
#include "data/nativelisting.h"
#include "data/nativereader.h"
#include "synth/syntheticobservation.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

// Runs a loader the way the native module does: a worker thread per load,
// run on started, quit on finished, both deleted when the thread ends.
class LoadRun : public QObject
{
    Q_OBJECT

public:
    explicit LoadRun(const QString &path) : m_loader(new NativeFileLoader(path)), m_thread(new QThread)
    {
        m_loader->moveToThread(m_thread);
        connect(m_thread, &QThread::started, m_loader, &NativeFileLoader::run);
        connect(m_loader, &NativeFileLoader::progress, this, &LoadRun::onProgress);
        connect(m_loader, &NativeFileLoader::progress, m_loader,
                [this] { m_workerReports += QThread::currentThread() == m_thread ? 1 : 0; },
                Qt::DirectConnection);
        connect(m_loader, &NativeFileLoader::finished, this, &LoadRun::onFinished);
        connect(m_loader, &NativeFileLoader::finished, m_thread, &QThread::quit);
        connect(m_thread, &QThread::finished, m_loader, &QObject::deleteLater);
        connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    }

    QPointer<NativeFileLoader> loader() const { return m_loader.data(); }
    QPointer<QThread> thread() const { return m_thread.data(); }
    void start() { m_thread->start(); }

    QVector<int> reports;
    int workerReports() const { return m_workerReports; }
    bool ok = false;
    NativeFile file;
    bool handledOnGuiThread = false;

signals:
    void done();

private slots:
    void onProgress(int percent) { reports << percent; }
    void onFinished(bool result)
    {
        ok = result;
        handledOnGuiThread = QThread::currentThread() == thread()->thread() && QThread::currentThread() != m_thread;
        file = m_loader->takeFile();
        emit done();
    }

private:
    QPointer<NativeFileLoader> m_loader;
    QPointer<QThread> m_thread;
    QAtomicInt m_workerReports;
};

class NativeFileLoaderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static void finish(LoadRun &run)
    {
        QSignalSpy done(&run, &LoadRun::done);
        const QPointer<QThread> thread = run.thread();
        run.start();
        QVERIFY(done.wait(60000));
        QTRY_VERIFY_WITH_TIMEOUT(thread.isNull(), 10000);
        QVERIFY(run.loader().isNull() && run.handledOnGuiThread);
    }

private slots:
    void loadsOnTheWorkerThread()
    {
        const QString path = m_dir.filePath(QStringLiteral("010415_13_N1_00.pnt"));
        QVERIFY(fixture::writeNative(path, 500, 1, 8, 5));
        LoadRun run(path);
        QSignalSpy finished(run.loader().data(), &NativeFileLoader::finished);
        QSignalSpy progress(run.loader().data(), &NativeFileLoader::progress);
        QCOMPARE(run.loader()->path(), path);
        finish(run);
        QVERIFY(finished.count() == 1 && run.ok);
        QCOMPARE(progress.count(), run.reports.size());
        QCOMPARE(run.workerReports(), run.reports.size());
        QCOMPARE(qMakePair(run.reports.first(), run.reports.last()), qMakePair(0, 100));
        QVERIFY(std::is_sorted(run.reports.begin(), run.reports.end()) && validateNativeFile(run.file).isEmpty());
        QCOMPARE(nativeSample(run.file, 0, 7, 4, 499), fixture::value(499, 0, 7, 4));
    }

    // Run on the caller's thread: the samples are handed over, not copied,
    // and a cancelled loader stops at its start.
    void takeFileAndCancel()
    {
        const QString path = m_dir.filePath(QStringLiteral("take.pnt"));
        QVERIFY(fixture::writeNative(path, 20, 1, 2, 3));
        NativeFileLoader loader(path);
        QSignalSpy finished(&loader, &NativeFileLoader::finished);
        loader.run();
        const float *data = loader.file().samples.constData();
        const NativeFile taken = loader.takeFile();
        QCOMPARE(taken.samples.constData(), data);
        QVERIFY(loader.file().samples.isEmpty() && !loader.file().loaded);

        loader.cancel();
        loader.run();
        QCOMPARE(finished.count(), 2);
        QVERIFY(finished.at(0).at(0).toBool() && !finished.at(1).at(0).toBool() && !loader.file().loaded);
        QCOMPARE(loader.file().npoints, NativeError::Cancelled);
    }

    // A mapped record outlives the thread that opened its file.
    void mappedRecordOutlivesTheWorker()
    {
        const QString path = m_dir.filePath(QStringLiteral("large.pnt"));
        SyntheticObservation::Params used;
        QString error;
        QVERIFY2(SyntheticObservation::writeSparse(path, nativeMappedThreshold, SyntheticObservation::Params(), 100,
                                                   &used, &error),
                 qPrintable(error));
        NativeFile kept;
        {
            LoadRun run(path);
            finish(run);
            QVERIFY(run.ok && run.file.mapping);
            QCOMPARE(run.reports, (QVector<int>{0, 100}));
            kept = run.file;
        }
        QCOMPARE(nativeSample(kept, 0, 7, 6, 99), SyntheticObservation(used).sample(99, 0, 7, 6));
        kept = NativeFile();
        QVERIFY(QFile::remove(path));
    }
};

QTEST_GUILESS_MAIN(NativeFileLoaderTest)
#include "tst_nativefileloader.moc"
