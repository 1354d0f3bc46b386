#include "data/backgroundjob.h"

#include <QtTest>

// A job whose work reports its number, after waiting until it is let go or
// stopped, so that the test decides what overlaps.
class NumberJob : public BackgroundJob
{
    Q_OBJECT

public:
    std::atomic<bool> release{false};

    void start(int number)
    {
        run([this, number](const std::atomic<bool> &stop, const std::function<void(int)> &progress) -> Delivery {
            progress(number);
            while (!release && !stop)
                std::this_thread::yield();
            return [this, number] { emit finished(number); };
        });
    }

signals:
    void finished(int number);
};

class TestBackgroundJob : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheLatestRunReports()
    {
        NumberJob job;
        QSignalSpy finished(&job, &NumberJob::finished);
        QSignalSpy progress(&job, &NumberJob::progressChanged);
        job.start(1);
        job.start(2);   // stops the first and waits for it
        QVERIFY(job.isRunning());
        job.release = true;
        QVERIFY(finished.wait(5000));
        QCoreApplication::processEvents();
        QVERIFY(finished.count() == 1 && progress.count() == 1 && !job.isRunning());
        QCOMPARE(qMakePair(finished.at(0).at(0).toInt(), progress.at(0).at(0).toInt()), qMakePair(2, 2));
    }

    void cancelledRunReportsNothing()
    {
        NumberJob job;
        QSignalSpy finished(&job, &NumberJob::finished);
        job.start(1);
        job.cancel();
        QVERIFY(!job.isRunning());
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestBackgroundJob)
#include "tst_backgroundjob.moc"
