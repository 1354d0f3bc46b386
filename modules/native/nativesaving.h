#pragma once

#include "workspace/backgroundsave.h"

#include <QObject>
#include <QString>

#include <memory>

class NativeDialogs;
class NativeGraphBuilder;
class NativeModule;
class QImage;

// The native module's saves: the native graph and the dynamic spectrum as
// pictures, the visible native data as binary or text extracts. Asks for the
// target, then writes it on a BackgroundSave of its own behind the module's
// progress overlay; owns that save while it runs (the form takes no input
// meanwhile) and the dialog that asks for a spectrum picture's title.
// Destroying it stops a running save and leaves its target as it was. GUI
// thread, except the writing inside the save.
class NativeSaving : public QObject
{
    Q_OBJECT

public:
    NativeSaving(NativeModule *module, const NativeGraphBuilder &builder);
    ~NativeSaving() override;

    // Replaces the dialog that asks for the spectrum picture's title.
    void setDialogs(std::unique_ptr<NativeDialogs> dialogs);
    bool isRunning() const { return m_save != nullptr; }

    void saveNativeGraph();
    void saveNativeData(bool binary);
    // The spectrum widget waits for a dragged fragment (see saveDynamicSpectrum).
    void saveDynamicSpectrumArea();
    void saveDynamicSpectrumAll();
    void saveDynamicSpectrum(int first, int count);

private:
    void savePicture(const QImage &image, const QString &defaultName);
    // Runs a save on its own thread behind the progress overlay; on failure
    // shows failureText with the path, on success remembers the directory.
    void start(const QString &path, const QString &failureText, BackgroundSave::Job job);
    QString parentFileName() const;
    // False, after saying so, when the dynamic spectrum is off.
    bool spectrumShown() const;

    NativeModule *m_module;
    const NativeGraphBuilder &m_builder;
    std::unique_ptr<NativeDialogs> m_dialogs;
    BackgroundSave *m_save = nullptr;
};
