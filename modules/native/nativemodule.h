#pragma once

#include "data/nativefile.h"
#include "data/nativelisting.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativerules.h"
#include "plot/dynamicspectrumwidget.h"
#include "workspace/backgroundsave.h"
#include "workspace/moduleworkspace.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <memory>

class DynamicSpectrumYAxis;
class NativeDialogs;
class NativeFileLoader;
class NativeForm;
class PlotPanel;
class QLabel;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QSpinBox;
class QThread;

// The viewer of one native observation file: loads it on a worker thread,
// draws the native graph, graph 2 and the Fourier graph, shows the dynamic
// spectrum paired with the native graph, keeps the search points, runs the
// animation and saves pictures and extracts. Owns its form, the loaded record
// (through the graph builder), the dynamic view and, while a file loads, the
// worker thread and its loader; while a save runs, the BackgroundSave that
// writes it, during which the form takes no input. Every load replaces the
// record; a newer load or the module's destruction asks the running one to
// stop and never waits for it (the old thread and loader delete themselves).
// The destruction stops a running save. A file that shrinks on disk while
// shown leaves the module as a failed load does. GUI thread, except the
// reading inside the loader and the writing inside the save.
class NativeModule : public ModuleWorkspace
{
    Q_OBJECT

public:
    enum View { NativeView = 0, DynamicView = 1 };

    NativeModule(const QVector<NativeFileEntry> &files, const QString &path, QWidget *parent = nullptr);
    ~NativeModule() override;

    void loadFile(const QString &path);
    // Replaces the module's own dialog (the spectrum picture's title).
    void setNativeDialogs(std::unique_ptr<NativeDialogs> dialogs);

    GraphSpec buildGraphSpec(int module, int beam, int channel, int first, int count,
                             const QString &delta, bool rightPanel, int disp);
    QVector<GraphSeries> buildNativeSeries(int module, int beam, int channel, int first, int count,
                                           int disp);
    QVector<double> channelSumCached(int module, int rayIndex, int disp, int first, int count);
    QString alphaTextAt(qint64 point, const QString &delta, int decimals) const;
    AlphaSearchStatus pointForAlpha(const QString &alpha, const QString &delta, int *point) const;
    QString currentDeltaText() const;

    NativeForm *form() const { return m_form; }
    const NativeFile &data() const { return m_builder.file(); }
    QString currentPath() const { return m_path; }
    bool isLoading() const { return m_loading; }
    bool isSaving() const { return m_save != nullptr; }
    bool hasLoader() const { return !m_thread.isNull(); }
    NativeFileLoader *currentLoader() const;
    quint64 loadGeneration() const { return m_generation; }
    int searchPoint() const { return m_searchPoint; }
    int dynamicSearchPoint() const { return m_dynamicSearchPoint; }
    // The dynamic range as drawn: the form's fields clamped, or the whole file
    // while the animation type is selected.
    PointRange dynamicRange() const;
    PointRange nativeRange() const;

    PlotPanel *dynamicPanel() const { return m_dynamicPanel; }
    DynamicSpectrumWidget *spectrumWidget() const { return m_spectrum; }
    QScrollArea *spectrumScrollArea() const { return m_scroll; }
    QWidget *animationBar() const { return m_animationBar; }
    QScrollBar *animationSlider() const { return m_animationSlider; }
    QSpinBox *animationSpeed() const { return m_animationSpeed; }
    QPushButton *animationButton() const { return m_animationButton; }
    QLabel *animationLabel() const { return m_animationLabel; }
    bool isAnimationPlaying() const { return m_playing; }

    // Reactions that the form's buttons and fields trigger, callable directly.
    void setSearchPoint(View view, int point, bool showHint);
    void centreOnSearchPoint(View view);
    void zoomDynamicToNative();
    void zoomNativeToDynamic();
    void saveNativeGraph();
    void saveNativeData(bool binary);
    void saveDynamicSpectrum(int first, int count);
    void saveDynamicSpectrumAll();
    void saveDynamicSpectrumArea();
    void toggleAnimation();
    void animationTick();

public slots:
    void onFileChanged(QString path);
    void onFileLoadProgress(int percent);
    void onFileLoadFinished(bool ok);
    void drawNativeGraph();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void abandonLoader();
    void clearShownData();
    void showFailedLoad(const QString &error);
    // When the shown file was cut short on disk: drops it as a failed load and
    // says so; true then.
    bool dropChangedFile();
    void drawMainGraph();
    GraphSpec mainGraphSpec();
    void createDynamicView();
    void updateDynamicSpectrum();
    void configureDynamicSpectrum(DynamicSpectrumWidget *widget, const QVector<QVector<float>> &rows,
                                  int first, const QVector<double> &sum, bool ownView);
    QVector<QVector<float>> spectrumRows(int first, int count) const;
    QVector<double> spectrumSum(int first, int count);
    void fillDynamicInfoPanel();
    void scrollSpectrumToPoint(int point, bool centre);
    int spectrumCellWidth() const;

    void onNativeRangeEdited();
    void onDynamicRangeEdited();
    void onSearchPointTyped(View view, const QString &text);
    void onSearchAlphaTyped(View view, const QString &text);
    void onNativeVisibleRangeChanged(double a, double b);
    void onPairingStarted(bool dynamicSwitchedOn);
    void onAnimationChanged(bool on);
    void onAnimationSliderChanged(int value);
    void onSpectrumClicked(int point);
    void resetNativeToFile();

    void startAnimation();
    void stopAnimation();
    void placeAnimationBar();
    int animationWindow() const;

    void savePicture(const QImage &image, const QString &defaultName);
    // Runs a save on its own thread behind the progress overlay; on failure
    // shows failureText with the path, on success remembers the directory.
    void startSave(const QString &path, const QString &failureText, BackgroundSave::Job job);
    QString parentFileName() const;
    PointRange nativeVisibleRange() const;
    QString viewDelta(View view) const;
    // Search points, ranges and spectrum columns are indexes in the file; the
    // user sees and types the points' numbers in the observation.
    QString pointText(qint64 index) const;

    std::unique_ptr<NativeDialogs> m_nativeDialogs;
    NativeForm *m_form = nullptr;
    QString m_path;
    NativeGraphBuilder m_builder;
    NativeFile m_finished;
    int m_searchPoint = -1;
    int m_dynamicSearchPoint = -1;
    quint64 m_generation = 0;
    bool m_loading = false;
    bool m_fileChanged = false;
    bool m_large = false;
    bool m_everLoaded = false;
    bool m_drawing = false;
    QPointer<QThread> m_thread;
    QPointer<NativeFileLoader> m_loader;
    BackgroundSave *m_save = nullptr;

    PlotPanel *m_dynamicPanel = nullptr;
    QScrollArea *m_scroll = nullptr;
    DynamicSpectrumWidget *m_spectrum = nullptr;
    DynamicSpectrumYAxis *m_yAxis = nullptr;
    QVector<DynamicSpectrumWidget::Element> m_axisElements;

    QWidget *m_animationBar = nullptr;
    QScrollBar *m_animationSlider = nullptr;
    QSpinBox *m_animationSpeed = nullptr;
    QPushButton *m_animationButton = nullptr;
    QLabel *m_animationLabel = nullptr;
    QTimer m_animationTimer;
    QElapsedTimer m_animationClock;
    double m_accumulator = 0.0;
    bool m_playing = false;
};
