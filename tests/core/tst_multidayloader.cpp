#include "data/dayplotreader.h"
#include "data/multidayloader.h"
#include "tests/support/multidayfixture.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <numeric>

namespace {

// What a load told its owner, in order: "day <index>" or "skip <index>
// <severalPairs> <file name>", and the progress values.
struct Record
{
    QStringList events;
    QVector<int> progress;
    QVector<DayPlot> days;
    int finished = 0;
    bool onOwnerThread = true;
};

void record(MultiDayLoader *loader, Record *out)
{
    const auto onThread = [out] { out->onOwnerThread = out->onOwnerThread && QThread::currentThread() == qApp->thread(); };
    QObject::connect(loader, &MultiDayLoader::dayReady, loader, [=](int index, const DayPlot &day) {
        onThread();
        out->events.append(QStringLiteral("day %1").arg(index));
        out->days.append(day);
    });
    QObject::connect(loader, &MultiDayLoader::daySkipped, loader, [=](int index, bool several, const QString &name) {
        onThread();
        out->events.append(QStringLiteral("skip %1 %2 %3").arg(index).arg(several).arg(name));
    });
    QObject::connect(loader, &MultiDayLoader::progress, loader, [=](int percent) {
        onThread();
        out->progress.append(percent);
    });
    QObject::connect(loader, &MultiDayLoader::finished, loader, [=] {
        onThread();
        ++out->finished;
    });
}

} // namespace

// Reading a multi-day directory off the owner's thread, delivered in order.
class TestMultiDayLoader : public QObject
{
    Q_OBJECT

private slots:
    // Reading tasks of an abandoned load must not outlive a test.
    void cleanup()
    {
        QThreadPool::globalInstance()->waitForDone();
    }

    void daysInOrderWithSkippedFiles()
    {
        const QStringList days = writeDays(QStringLiteral("order"), 3, 3000);
        const QString dir = m_dir.filePath(QStringLiteral("order"));
        const QString twoBeams = dir + QStringLiteral("/two_beams.pnt");
        QVERIFY(fixture::writeFile(twoBeams, fixture::passport(fixture::entries(20, 1, 2, 5)) + fixture::samples(20, 1, 2, 5)));
        SyntheticObservation::Params p = multiday::dayParams(9);
        const QString text = multiday::writeDay(dir, p, QStringLiteral("txt"));
        const QStringList paths{days.at(0), twoBeams, days.at(1), dir + QStringLiteral("/gone.pnt"), text, days.at(2)};

        MultiDayLoader loader;
        Record r;
        record(&loader, &r);
        loader.start(paths, 26.8);
        QVERIFY(loader.isLoading());
        QTRY_COMPARE_WITH_TIMEOUT(r.finished, 1, 60000);
        QVERIFY(!loader.isLoading());
        QCOMPARE(r.events,
                 (QStringList{"day 0", "skip 1 1 two_beams.pnt", "day 2", "skip 3 0 gone.pnt", "day 4", "day 5"}));
        QCOMPARE(r.progress, (QVector<int>{17, 33, 50, 67, 83, 100}));
        QVERIFY(r.onOwnerThread);
        // Each day is what a read of its file alone gives.
        for (const DayPlot &day : qAsConst(r.days)) {
            DayPlot alone;
            QVERIFY(readDayPlot(day.filePath, 26.8, &alone));
            QVERIFY(day.channelSumDm == alone.channelSumDm && day.channelSumDm0 == alone.channelSumDm0);
            QCOMPARE(day.date, alone.date);
        }
        QCOMPARE(r.days.at(2).filePath, text);
    }

    // A slot of the older load starts the newer one, as a change of the
    // dispersion measure does while days arrive.
    void newerLoadAbandonsTheOlder()
    {
        const QStringList older = longDays();
        const QStringList newer = writeDays(QStringLiteral("newer"), 3, 2000);
        MultiDayLoader loader;
        Record r;
        record(&loader, &r);
        connect(&loader, &MultiDayLoader::dayReady, this, [&] {
            if (loader.generation() == 1)
                loader.start(newer, 20.0);
        });
        loader.start(older, 10.0);
        QTRY_COMPARE_WITH_TIMEOUT(r.finished, 1, 60000);
        QCOMPARE(loader.generation(), quint64(2));
        QCOMPARE(r.events, (QStringList{"day 0", "day 0", "day 1", "day 2"}));
        QCOMPARE(r.progress, (QVector<int>{33, 67, 100}));
        QCOMPARE(r.days.at(0).filePath, older.at(0));
        for (int k = 1; k < r.days.size(); ++k)
            QCOMPARE(r.days.at(k).filePath, newer.at(k - 1));
        // Nothing of the older load comes later either.
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(r.finished, 1);
        QCOMPARE(r.events.size(), 4);
    }

    void destroyedMidLoad()
    {
        const QStringList paths = longDays();
        for (const bool afterFirstDay : {false, true}) {
            QPointer<MultiDayLoader> loader = new MultiDayLoader;
            Record r;
            record(loader, &r);
            connect(loader, &MultiDayLoader::dayReady, loader, &QObject::deleteLater);
            loader->start(paths, 10.0);
            if (afterFirstDay)
                QTRY_VERIFY_WITH_TIMEOUT(loader.isNull(), 60000);
            else
                delete loader;
            const int seen = r.events.size();
            QVERIFY(afterFirstDay ? seen >= 1 && seen < paths.size() : seen == 0);
            // The orphaned reading tasks finish on their own, and nothing reaches the owner.
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            QCOMPARE(r.events.size(), seen);
            QCOMPARE(r.finished, 0);
        }
    }

    void thousandsOfSmallFiles()
    {
        const QString dir = m_dir.filePath(QStringLiteral("many"));
        QVERIFY(QDir().mkpath(dir));
        const QByteArray file = fixture::passport(fixture::entries(8, 1, 1, 3)) + fixture::samples(8, 1, 1, 3);
        for (int k = 0; k < 1000; ++k)
            QVERIFY(fixture::writeFile(QStringLiteral("%1/%2.pnt").arg(dir).arg(k, 4, 10, QLatin1Char('0')), file));
        MultiDayLoader loader;
        Record r;
        record(&loader, &r);
        loader.start(scanObservationDirectory(dir), 5.0);
        QTRY_COMPARE_WITH_TIMEOUT(r.finished, 1, 120000);
        QCOMPARE(r.days.size(), 1000);
        // Every percentage once, in order.
        QVector<int> percents(100);
        std::iota(percents.begin(), percents.end(), 1);
        QCOMPARE(r.progress, percents);
    }

    void noFiles()
    {
        MultiDayLoader loader;
        Record r;
        record(&loader, &r);
        loader.start({}, 5.0);
        QCOMPARE(r.finished, 0);
        QTRY_COMPARE(r.finished, 1);
        QVERIFY(r.events.isEmpty() && r.progress.isEmpty());
    }

private:
    QStringList writeDays(const QString &subdir, int count, int npoints)
    {
        QStringList paths;
        for (int k = 0; k < count; ++k) {
            SyntheticObservation::Params p = multiday::dayParams(k);
            p.npoints = npoints;
            paths.append(multiday::writeDay(m_dir.filePath(subdir), p, QStringLiteral("pnthr")));
        }
        return paths;
    }

    // Days that take a while to read, written once.
    QStringList longDays()
    {
        if (m_longDays.isEmpty())
            m_longDays = writeDays(QStringLiteral("long"), 12, 200000);
        return m_longDays;
    }

    QTemporaryDir m_dir;
    QStringList m_longDays;
};

QTEST_GUILESS_MAIN(TestMultiDayLoader)
#include "tst_multidayloader.moc"
