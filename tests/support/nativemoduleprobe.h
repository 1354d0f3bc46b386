#pragma once

#include "data/nativelisting.h"
#include "modules/native/nativeload.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativesaving.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtTest>

#include <memory>

// Opening a native file in a module as the main window does, and waiting for
// its background load or save to end.
namespace NativeModuleProbe {

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
