#pragma once

#include "data/nativefile.h"
#include "data/nativelisting.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativerules.h"
#include "workspace/moduleworkspace.h"

#include <QVector>

class NativeDynamicView;
class NativeForm;
class NativeLoad;
class NativeSaving;
class NativeSearchPoint;

// The viewer of one native observation file: loads it in the background,
// draws the native graph, graph 2 and the Fourier graph, and wires the form
// to its parts: the dynamic spectrum view, the search points with the
// pairing of the two views, and the saves. Owns its form, the loaded record
// (through the graph builder), the running load and those parts. Every load
// replaces the record; a newer load or the module's destruction abandons the
// running one, and the destruction stops a running save. A file that shrinks
// on disk while shown leaves the module as a failed load does. GUI thread,
// except the reading inside the load and the writing inside a save.
class NativeModule : public ModuleWorkspace
{
    Q_OBJECT

public:
    NativeModule(const QVector<NativeFileEntry> &files, const QString &path, QWidget *parent = nullptr);
    ~NativeModule() override;

    void loadFile(const QString &path);

    NativeForm *form() const { return m_form; }
    const NativeFile &data() const { return m_builder.file(); }
    // The graphs and alphas of the loaded record.
    const NativeGraphBuilder &builder() const { return m_builder; }
    NativeLoad *load() const { return m_load; }
    NativeDynamicView *dynamicView() const { return m_dynamicView; }
    NativeSearchPoint *search() const { return m_search; }
    NativeSaving *saving() const { return m_saving; }
    QString currentPath() const { return m_path; }
    bool isLoading() const { return m_loading; }

    // The native range as drawn: the form's fields clamped.
    PointRange nativeRange() const;
    // The whole points the native graph shows now.
    PointRange nativeVisibleRange() const;
    // When the shown file was cut short on disk: drops it as a failed load and
    // says so; true then.
    bool dropChangedFile();

public slots:
    void onFileChanged(QString path);
    void onFileLoadProgress(int percent);
    void onFileLoadFinished(bool ok);
    void drawNativeGraph();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearShownData();
    void showFailedLoad(const QString &error);
    void drawMainGraph();
    GraphSpec mainGraphSpec();
    void onNativeRangeEdited();
    void onDynamicRangeEdited();
    void onNativeVisibleRangeChanged(double a, double b);
    void onAnimationChanged(bool on);
    void resetNativeToFile();

    NativeForm *m_form = nullptr;
    QString m_path;
    NativeGraphBuilder m_builder;
    NativeLoad *m_load = nullptr;
    NativeDynamicView *m_dynamicView = nullptr;
    NativeSearchPoint *m_search = nullptr;
    NativeSaving *m_saving = nullptr;
    bool m_loading = false;
    bool m_fileChanged = false;
    bool m_large = false;
    bool m_everLoaded = false;
    bool m_drawing = false;
};
