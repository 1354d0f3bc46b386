// The multi-day module on the GUI thread, each figure beside a yardstick of
// the same run:
// - the longest stall of the GUI thread (the longest gap between the ticks of
//   a 1 ms timer) while the module loads 40 days of 64 MiB each and builds
//   its table, against the time one of those files takes to read and sum on
//   the GUI thread, which is what reading one file per event-loop turn would
//   stall;
// - rebuilding the table of 100 days of 200,000 points with step removal,
//   noise baseline subtraction and a moving average on, painted once,
//   against the processing chain of the same days alone (and the processor
//   time of the rebuild, all threads, beside it: on a shared machine the
//   wall clock depends on how many cores the run gets); and a change of the
//   header lines alone, which reuses the processed graphs.

#include "bench/benchtiming.h"
#include "bench/multidaybenchdays.h"
#include "data/daygraphcontent.h"
#include "data/dayplotreader.h"
#include "modules/multiday/nativemultidayform.h"
#include "modules/multiday/nativemultidaymodule.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace multidaybench;

namespace {

// The module on dir, shown; runs the event loop until its load is done and
// returns the longest gap between two ticks of a 1 ms timer meanwhile.
double loadWithLongestStall(NativeMultiDayModule **module, const QString &dir, QWidget *window)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    ticks.start();
    *module = new NativeMultiDayModule(dir, window);
    (*module)->resize(window->size());
    (*module)->show();
    while ((*module)->loadGeneration() == 0 || (*module)->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // The table is painted after the load.
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 now = clock.nsecsElapsed();
    return double(std::max(longest, now - last)) * 1e-6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1600, 1000);
    window.show();

    {
        QTemporaryDir dir;
        if (!dir.isValid() || !writeDays(dir.path()))
            return 1;
        const QStringList paths = scanObservationDirectory(dir.path());
        std::vector<double> stalls, reads;
        for (int i = 0; i < repetitions; ++i) {
            NativeMultiDayModule *module = nullptr;
            stalls.push_back(loadWithLongestStall(&module, dir.path(), &window));
            if (module->days().size() != dayCount)
                return 1;
            delete module;
            reads.push_back(secondsOf([&] {
                DayPlot day;
                if (!readDayPlot(paths.at(i), loadDm, &day))
                    std::exit(1);
            }) * 1000.0);
        }
        std::printf("multiday_gui_max_stall_ms: %.1f\n", median(stalls));
        std::printf("multiday_one_file_read_on_gui_thread_ms: %.1f\n", median(reads));
        std::printf("multiday_gui_max_stall_vs_one_file_read_ratio: %.3f\n", median(stalls) / median(reads));
    }

    QTemporaryDir dir;
    if (!dir.isValid() || !writeLinkedDays(dir.path(), 10, 10, 8, 200000))
        return 1;
    NativeMultiDayModule *module = nullptr;
    loadWithLongestStall(&module, dir.path(), &window);
    if (module->days().size() != 100)
        return 1;
    NativeMultiDayForm *form = module->form();
    form->findChild<QCheckBox *>(QStringLiteral("deleteStep"))->setChecked(true);
    form->findChild<QCheckBox *>(QStringLiteral("deductNoise"))->setChecked(true);
    form->findChild<QComboBox *>(QStringLiteral("comboBoxAverageType"))->setCurrentIndex(1);
    form->findChild<QSpinBox *>(QStringLiteral("average"))->setValue(10);
    // Each timed rebuild follows a change of the approximation length, so that
    // it processes every day anew; the header toggle after it needs none.
    auto *length = form->findChild<QSpinBox *>(QStringLiteral("len"));
    auto *showMax = form->findChild<QCheckBox *>(QStringLiteral("showMax"));
    std::vector<double> rebuilds, rebuildCpu, restyles, chains;
    for (int i = 0; i < 5; ++i) {
        const auto rebuild = timesOf([&] {
            length->setValue(i % 2 == 0 ? 65 : 64);
            window.repaint();
        });
        rebuilds.push_back(rebuild.first * 1000.0);
        rebuildCpu.push_back(rebuild.second * 1000.0);
        restyles.push_back(secondsOf([&] {
            showMax->toggle();
            window.repaint();
        }) * 1000.0);
        const DayGraphSettings settings = form->graphSettings();
        chains.push_back(secondsOf([&] {
            if (dayGraphContents(module->days(), settings).size() != 100)
                std::exit(1);
        }) * 1000.0);
        QCoreApplication::processEvents();
    }
    std::printf("multiday_table_rebuild_ms: %.1f\n", median(rebuilds));
    std::printf("multiday_table_rebuild_cpu_ms: %.1f\n", median(rebuildCpu));
    std::printf("multiday_table_processing_only_ms: %.1f\n", median(chains));
    std::printf("multiday_table_rebuild_vs_processing_ratio: %.3f\n", median(rebuilds) / median(chains));
    std::printf("multiday_table_restyle_ms: %.1f\n", median(restyles));
    delete module;
    return 0;
}
