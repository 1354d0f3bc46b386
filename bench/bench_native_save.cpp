// Saving a large text extract in the native data module: the longest time the
// window stops answering while a 400 MB ".txt" is written, against the same
// save done on the calling thread (how long the window would freeze without
// the worker). Prints "name: value" lines.

#include "data/nativelisting.h"
#include "data/nativetext.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativesaving.h"
#include "synth/syntheticobservation.h"
#include "ui/shelldialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <cstdio>

namespace {

// Answers the save dialog with a fixed path.
class AnsweringShell : public ShellDialogs
{
public:
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return answer; }
    void warning(QWidget *, const QString &, const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }

    QString answer;
};

// One beam of 32 channels and the total: about 400 bytes of text per point.
SyntheticObservation::Params sourceParams(qint64 textBytes)
{
    SyntheticObservation::Params p;
    p.nModules = 1;
    p.nRays = 1;
    p.nBands = 32;
    p.snr = 10.0;
    p.npoints = qint32(textBytes / 400);
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_native_save_XXXXXX"));
    if (!dir.isValid())
        return 1;

    const QString source = dir.filePath(QStringLiteral("a_00.pnt"));
    QString error;
    if (!SyntheticObservation(sourceParams(qint64(400) << 20)).writeBinary(source, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QVector<NativeFileEntry> files;
    listNativeFiles(dir.path(), &files);
    NativeModule module(files, source);
    module.resize(1400, 900);
    module.show();
    QElapsedTimer wait;
    wait.start();
    while ((module.isLoading() || !module.data().loaded) && wait.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!module.data().loaded)
        return 1;
    module.form()->nativeRay()->setValue(1);
    QCoreApplication::processEvents();

    auto answering = std::make_unique<AnsweringShell>();
    const QString target = dir.filePath(QStringLiteral("extract.txt"));
    answering->answer = target;
    module.setDialogs(std::move(answering));

    // Largest gap between ticks of a 1 ms timer while the module saves.
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    qint64 maxGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        maxGap = std::max(maxGap, now - last);
        last = now;
    });
    probe.start();
    const qint64 started = clock.nsecsElapsed();
    last = started;
    module.saving()->saveNativeData(false);
    const qint64 returned = clock.nsecsElapsed();
    maxGap = std::max(maxGap, returned - started);
    while (module.saving()->isRunning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double savingMs = (clock.nsecsElapsed() - started) / 1e6;
    probe.stop();
    const qint64 bytes = QFileInfo(target).size();
    if (bytes <= 0)
        return 1;

    // The yardstick: the same extract written on the calling thread.
    NativeSelection selection;
    selection.module = 1;
    selection.ray = 1;
    selection.startPoint = 0;
    selection.count = module.data().npoints;
    selection.delta = module.form()->nativeDelta()->text();
    QElapsedTimer plain;
    plain.start();
    if (!writeTextExtract(dir.filePath(QStringLiteral("plain.txt")), module.data(), selection, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double plainMs = plain.nsecsElapsed() / 1e6;

    std::printf("native_save_txt_bytes: %lld\n", (long long)bytes);
    std::printf("native_save_txt_gui_max_stall_ms: %.1f\n", maxGap / 1e6);
    std::printf("native_save_txt_total_ms: %.1f\n", savingMs);
    std::printf("native_save_txt_sync_stall_ms: %.1f\n", plainMs);
    std::printf("native_save_txt_stall_vs_sync_ratio: %.4f\n", (maxGap / 1e6) / plainMs);
    return 0;
}
