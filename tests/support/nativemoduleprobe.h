#pragma once

#include "data/nativelisting.h"
#include "modules/native/nativeload.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativesaving.h"
#include "synth/syntheticobservation.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <memory>

// Writing an observation, opening it in a module as the main window does, and
// waiting for the module's background load or save to end.
namespace NativeModuleProbe {

// 8 beams of 6 frequency channels and their total, a pulsar of period 0.7 s at DM 40.
inline SyntheticObservation::Params pulsarParams(int npoints = 4000, int firstPoint = 0)
{
    SyntheticObservation::Params p;
    p.npoints = npoints;
    p.firstPoint = firstPoint;
    p.snr = 25.0;
    p.dm = 40.0;
    p.period = 0.7;
    return p;
}

// The path written, or empty (after a warning) when the file could not be written.
inline QString write(const QString &path, const SyntheticObservation::Params &params)
{
    QString error;
    if (SyntheticObservation(params).write(path, &error))
        return path;
    qWarning() << error;
    return QString();
}

inline std::unique_ptr<NativeModule> open(const QString &path)
{
    QVector<NativeFileEntry> files;
    listNativeFiles(QFileInfo(path).absolutePath(), &files);
    return std::make_unique<NativeModule>(files, QFileInfo(path).absoluteFilePath());
}

// True when the load ended (successfully or not) within 20 s.
inline bool waitLoaded(NativeModule *module)
{
    QElapsedTimer clock;
    clock.start();
    while ((module->isLoading() || module->load()->isRunning()) && clock.elapsed() < 20000)
        QTest::qWait(10);
    return !module->isLoading() && !module->load()->isRunning();
}

// True when the save under way ended within 20 s.
inline bool waitSaved(NativeModule *module)
{
    QElapsedTimer clock;
    clock.start();
    while (module->saving()->isRunning() && clock.elapsed() < 20000)
        QTest::qWait(10);
    return !module->saving()->isRunning();
}

} // namespace NativeModuleProbe
