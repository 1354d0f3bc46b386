#pragma once

#include "data/dayplot.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

// Progress of a multi-day load after `done` of `total` files: done * 100 /
// total rounded half up (0 for no files).
int multiDayLoadProgress(int done, int total);

// Reads the observation files of a multi-day directory into DayPlot records
// off the owner's thread, at most as many files at once as there are cores
// (tasks of the global thread pool), and hands each day to the owner in the
// order of the list. Lives on its owner's thread and emits every signal
// there; the reading tasks share only a small job record with it, so it may
// be destroyed at any time, mid-load too, without waiting: the tasks of an
// abandoned or orphaned load stop within one piece of a file and their
// results are dropped. A new start abandons the load under way.
// Do not delete it from a slot connected to its own signals (use deleteLater).
class MultiDayLoader : public QObject
{
    Q_OBJECT

public:
    explicit MultiDayLoader(QObject *parent = nullptr);
    ~MultiDayLoader() override;

    // Starts reading the files with the dispersion measure dm. No signal of an
    // earlier load comes after this call. With no files, finished follows on
    // the next turn of the event loop.
    void start(const QStringList &paths, double dm);
    // Abandons the load under way; none of its signals come any more.
    void abandon();

    bool isLoading() const { return m_job != nullptr; }
    // Increased by every start.
    quint64 generation() const { return m_generation; }

signals:
    // The file at index of the list was read.
    void dayReady(int index, const DayPlot &day);
    // The file at index gave no day; severalPairs when it holds more than one
    // module-beam pair.
    void daySkipped(int index, bool severalPairs, const QString &fileName);
    // After each file, in list order, when the percentage changed.
    void progress(int percent);
    // After the last file of the load.
    void finished();

private:
    struct Job;
    struct Result;

    // One reading task: reads the job's next file until none is left or the
    // job is abandoned, and posts each result to the loader's thread.
    static void readFiles(const std::shared_ptr<Job> &job);
    void accept(quint64 generation, Result &&result);
    void deliverInOrder();

    std::shared_ptr<Job> m_job;
    quint64 m_generation = 0;
    int m_total = 0;
    int m_delivered = 0;
    int m_lastPercent = 0;
    std::map<int, Result> m_waiting;   // read out of order, by index
};
