#include "modules/native/nativesaving.h"

#include "data/nativetext.h"
#include "modules/native/imagetitlepreview.h"
#include "modules/native/nativedialogs.h"
#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativerules.h"
#include "plot/graphpanel.h"
#include "ui/imagesave.h"
#include "ui/savelocation.h"
#include "ui/shelldialogs.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QSpinBox>

NativeSaving::NativeSaving(NativeModule *module, const NativeGraphBuilder &builder)
    : QObject(module)
    , m_module(module)
    , m_builder(builder)
    , m_dialogs(std::make_unique<NativeDialogs>())
{
}

NativeSaving::~NativeSaving()
{
    // A save under way stops and leaves its target as it was.
    delete m_save;
}

void NativeSaving::setDialogs(std::unique_ptr<NativeDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

QString NativeSaving::parentFileName() const
{
    const NativeFile &file = m_builder.file();
    return file.nativeFileName.isEmpty() ? file.fileName : file.nativeFileName;
}

void NativeSaving::start(const QString &path, const QString &failureText, BackgroundSave::Job job)
{
    NativeModule *module = m_module;
    m_save = new BackgroundSave(std::move(job), this);
    connect(m_save, &BackgroundSave::progress, module, &ModuleWorkspace::setProgressValue);
    connect(m_save, &BackgroundSave::finished, this, [this, module, path, failureText](bool ok) {
        m_save->deleteLater();
        m_save = nullptr;
        module->form()->setEnabled(true);
        module->setLoadingOverlay(false);
        module->setProgressVisible(false);
        if (module->dropChangedFile())
            return;
        if (!ok) {
            module->dialogs().warning(module, QStringLiteral("Error"), failureText.arg(path));
            return;
        }
        SaveLocation::rememberSavedFile(path);
    });
    // Nothing else may start meanwhile: no second save, no other file.
    module->form()->setEnabled(false);
    module->setLoadingOverlay(true, QStringLiteral("Saving the data. Please wait..."));
    module->setProgressBusy(false);
    module->setProgressVisible(true);
    m_save->start();
}

void NativeSaving::savePicture(const QImage &image, const QString &defaultName)
{
    if (m_save)
        return;
    if (image.isNull()) {
        m_module->dialogs().warning(m_module, QStringLiteral("Error"), QStringLiteral("Cannot create graph image."));
        return;
    }
    const QString path = askImagePath(m_module->dialogs(), m_module, defaultName);
    if (path.isEmpty())
        return;
    start(path, QStringLiteral("Failed to save image:\n%1"),
          [image, path](const BackgroundSave::Progress &progress, QString *) {
              return writePngImage(image, path, progress);
          });
}

void NativeSaving::saveNativeGraph()
{
    const NativeForm *form = m_module->form();
    if (!form->nativeOn() || !m_module->primaryGraphPanel() || !m_builder.hasData()) {
        m_module->dialogs().warning(m_module, QStringLiteral("Error"), QStringLiteral("No native graph to save."));
        return;
    }
    const QImage image = m_module->primaryGraphPanel()->grab().toImage();
    const PointRange range = m_module->nativeVisibleRange();
    const QString alpha = m_builder.alphaTextAt(range.first + range.count / 2, form->nativeDelta()->text(), -1);
    savePicture(image, defaultSaveFileName(parentFileName(), alpha, form->nativeModule()->value(),
                                           form->nativeRay()->value(), range.count, QStringLiteral("native"),
                                           QStringLiteral("png")));
}

void NativeSaving::saveNativeData(bool binary)
{
    const NativeForm *form = m_module->form();
    if (!form || !form->nativeOn() || !m_builder.hasData() || m_save)
        return;
    const PointRange range = m_module->nativeVisibleRange();
    if (range.count <= 0)
        return;
    const QString delta = form->nativeDelta()->text();
    const QString alpha = m_builder.alphaTextAt(range.first, delta, -1);
    const QString extension = binary ? binaryExtractExtension(parentFileName()) : QStringLiteral("txt");
    const QString name = defaultSaveFileName(parentFileName(), alpha, form->nativeModule()->value(),
                                             form->nativeRay()->value(), range.count, QString(), extension);
    const QString title = binary ? QStringLiteral("PNT data save") : QStringLiteral("TXT data save");
    const QString filter = binary ? QStringLiteral("KVX data (*.%1)").arg(extension)
                                  : QStringLiteral("Text data (*.txt)");
    QString path = m_module->dialogs().saveFileName(
        m_module, title, SaveLocation::suggestedPath(name, QFileInfo(m_builder.file().path).absolutePath()),
        filter);
    if (path.isEmpty())
        return;
    path = SaveLocation::withSuffix(path, extension);

    NativeSelection selection;
    selection.module = form->nativeModule()->value();
    selection.ray = form->nativeRay()->value();
    selection.startPoint = range.first;
    selection.count = range.count;
    selection.delta = delta;
    // The job holds its own copy of the record: the samples are shared, not copied.
    const NativeFile file = m_builder.file();
    start(path, QStringLiteral("Failed to save data:\n%1"),
          [file, selection, binary, path](const BackgroundSave::Progress &progress, QString *error) {
              return binary ? writeBinaryExtract(path, file, selection, error, progress)
                            : writeTextExtract(path, file, selection, error, progress);
          });
}

bool NativeSaving::spectrumShown() const
{
    if (m_module->form()->dynamicOn())
        return true;
    m_module->dialogs().warning(m_module, QStringLiteral("Error"), QStringLiteral("No dynamic spectrum to save."));
    return false;
}

void NativeSaving::saveDynamicSpectrumArea()
{
    if (spectrumShown())
        m_module->dynamicView()->spectrum()->setSelectionMode(true);
}

void NativeSaving::saveDynamicSpectrumAll()
{
    if (!spectrumShown())
        return;
    const PointRange range = m_module->dynamicView()->range();
    saveDynamicSpectrum(range.first, range.count);
}

void NativeSaving::saveDynamicSpectrum(int first, int count)
{
    if (count <= 0)
        return;
    const QImage image = m_module->dynamicView()->spectrum()->renderFragment(int(m_builder.pointNumber(first)), count);
    if (image.isNull()) {
        m_module->dialogs().warning(m_module, QStringLiteral("Error"), QStringLiteral("Dynamic spectrum is empty."));
        return;
    }
    QString title;
    int pointSize = 12;
    if (!m_dialogs->spectrumTitle(m_module, image, &title, &pointSize))
        return;
    const QImage picture = ImageTitlePreview::titledImage(image, title, pointSize);
    const NativeForm *form = m_module->form();
    const QString alpha = m_builder.alphaTextAt(first + count / 2, m_module->dynamicView()->currentDeltaText(), -1);
    savePicture(picture, defaultSaveFileName(parentFileName(), alpha, form->dynamicModule()->value(),
                                             form->dynamicRay()->value(), count, QStringLiteral("dynamic"),
                                             QStringLiteral("png")));
}
