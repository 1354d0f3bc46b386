#include "modules/native/nativemodule.h"

#include "astro/beamtables.h"
#include "astro/timecoords.h"
#include "data/channelsum.h"
#include "data/nativefileloader.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "modules/native/imagetitlepreview.h"
#include "modules/native/nativedialogs.h"
#include "modules/native/nativeform.h"
#include "plot/dynamicspectrumwidget.h"
#include "plot/dynamicspectrumyaxis.h"
#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "plot/plotpanel.h"
#include "ui/imagesave.h"
#include "ui/savelocation.h"
#include "ui/shelldialogs.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

const int dynamicSlot = 2;
const int animationBarHeight = 34;

// Worker threads of loads that were asked to stop and may still be reading
// (one chunk at most). They belong to no module; the process waits for them
// as the application object goes, so that no read outlives what it uses.
QVector<QPointer<QThread>> &abandonedThreads()
{
    static QVector<QPointer<QThread>> threads;
    return threads;
}

void waitForAbandonedThreads()
{
    for (const QPointer<QThread> &thread : qAsConst(abandonedThreads())) {
        if (thread)
            thread->wait();
    }
}

void waitAtExit(QThread *thread)
{
    static const bool registered = [] {
        qAddPostRoutine(waitForAbandonedThreads);
        return true;
    }();
    Q_UNUSED(registered)
    QVector<QPointer<QThread>> &threads = abandonedThreads();
    threads.erase(std::remove_if(threads.begin(), threads.end(), [](const QPointer<QThread> &t) { return t.isNull(); }),
                  threads.end());
    threads.append(thread);
}

} // namespace

NativeModule::NativeModule(const QVector<NativeFileEntry> &files, const QString &path, QWidget *parent)
    : ModuleWorkspace(parent)
    , m_nativeDialogs(std::make_unique<NativeDialogs>())
    , m_path(path)
{
    m_form = new NativeForm(this);
    m_form->setFileList(files, path);
    setForm(m_form, 0);
    setFormWidth(430);

    connect(m_form, &NativeForm::fileChanged, this, &NativeModule::onFileChanged);
    connect(m_form, &NativeForm::graphParametersChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::nativeRightPanelChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::nativeRightPanel2Changed, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::fourierRightPanelChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::dynamicPixelSizeChanged, this, &NativeModule::drawNativeGraph);

    connect(m_form, &NativeForm::nativeRangeEdited, this, &NativeModule::onNativeRangeEdited);
    connect(m_form, &NativeForm::dynamicRangeEdited, this, &NativeModule::onDynamicRangeEdited);
    connect(m_form, &NativeForm::nativeSearchPointEdited, this,
            [this](const QString &text) { onSearchPointTyped(NativeView, text); });
    connect(m_form, &NativeForm::dynamicSearchPointEdited, this,
            [this](const QString &text) { onSearchPointTyped(DynamicView, text); });
    connect(m_form, &NativeForm::nativeSearchAlphaEdited, this,
            [this](const QString &text) { onSearchAlphaTyped(NativeView, text); });
    connect(m_form, &NativeForm::dynamicSearchAlphaEdited, this,
            [this](const QString &text) { onSearchAlphaTyped(DynamicView, text); });
    connect(m_form, &NativeForm::nativeDynamicPairingStarted, this, &NativeModule::onPairingStarted);
    connect(m_form, &NativeForm::dynamicNeedsSingleBeam, this, [this] {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("Set Beam>0 to open Dynamic spectrum!"));
    });
    connect(m_form, &NativeForm::dynamicAnimationChanged, this, &NativeModule::onAnimationChanged);
    connect(m_form, &NativeForm::dynamicRightPanelChanged, this, [this](bool on) {
        if (m_dynamicPanel)
            m_dynamicPanel->infoPanel()->setVisible(on);
    });
    connect(m_form, &NativeForm::nativeZoomToDynamicRequested, this, &NativeModule::zoomNativeToDynamic);
    connect(m_form, &NativeForm::dynamicZoomToNativeRequested, this, &NativeModule::zoomDynamicToNative);
    connect(m_form, &NativeForm::nativeCenterToSearchPointRequested, this,
            [this] { centreOnSearchPoint(NativeView); });
    connect(m_form, &NativeForm::dynamicCenterToSearchPointRequested, this,
            [this] { centreOnSearchPoint(DynamicView); });
    connect(m_form, &NativeForm::nativeResetToNativeRequested, this, &NativeModule::resetNativeToFile);
    connect(m_form, &NativeForm::nativeSaveGraphRequested, this, &NativeModule::saveNativeGraph);
    connect(m_form, &NativeForm::nativeSaveDataPntRequested, this, [this] { saveNativeData(true); });
    connect(m_form, &NativeForm::nativeSaveDataTxtRequested, this, [this] { saveNativeData(false); });
    connect(m_form, &NativeForm::dynamicSaveGraphAreaRequested, this, &NativeModule::saveDynamicSpectrumArea);
    connect(m_form, &NativeForm::dynamicSaveGraphAllRequested, this, &NativeModule::saveDynamicSpectrumAll);
    connect(m_form, &NativeForm::saveScreenRequested, this, &ModuleWorkspace::startScreenCapture);

    connect(plot(), &Grafiks::visibleXRangeChanged, this, &NativeModule::onNativeVisibleRangeChanged);
    connect(plot(), &Grafiks::xAxisValuesClicked, this,
            [this](const QStringList &, const QStringList &, double x, int) {
                if (m_builder.hasData() && !m_loading)
                    setSearchPoint(NativeView, clickedPoint(x, m_builder.npoints()), false);
            });

    m_animationTimer.setInterval(33);
    connect(&m_animationTimer, &QTimer::timeout, this, &NativeModule::animationTick);

    createDynamicView();
    loadFile(path);
}

NativeModule::~NativeModule()
{
    // A save under way stops and leaves its target as it was.
    delete m_save;
    m_animationTimer.stop();
    abandonLoader();
    // Children still emit while the widget tree is torn down (a field losing
    // focus finishes its editing); nothing of this module may answer then.
    for (QObject *sender : {static_cast<QObject *>(m_form), static_cast<QObject *>(plot()),
                            static_cast<QObject *>(m_spectrum), static_cast<QObject *>(m_animationSlider),
                            static_cast<QObject *>(m_animationButton),
                            static_cast<QObject *>(m_dynamicPanel->infoPanel())})
        disconnect(sender, nullptr, this, nullptr);
}

void NativeModule::setNativeDialogs(std::unique_ptr<NativeDialogs> dialogs)
{
    if (dialogs)
        m_nativeDialogs = std::move(dialogs);
}

// ---------------------------------------------------------------- loading

NativeFileLoader *NativeModule::currentLoader() const
{
    return m_loader.data();
}

void NativeModule::abandonLoader()
{
    QThread *thread = m_thread;
    NativeFileLoader *loader = m_loader;
    m_thread = nullptr;
    m_loader = nullptr;
    if (!thread)
        return;
    if (loader) {
        disconnect(loader, nullptr, this, nullptr);
        loader->cancel();
    }
    if (!thread->isRunning() && !thread->isFinished()) {
        // Never started: nothing will delete the pair through the thread's end.
        delete loader;
        delete thread;
        return;
    }
    // The read stops within one chunk, and the thread's end deletes both.
    waitAtExit(thread);
}

void NativeModule::clearShownData()
{
    m_builder.clear();
    m_searchPoint = -1;
    m_dynamicSearchPoint = -1;
    primaryGraphPanel()->clearGraph();
    setGraphVisibleAt(0, false);
    setGraphVisibleAt(1, false);
    graphArea()->setPanelVisible(dynamicSlot, false);
    if (m_spectrum)
        m_spectrum->clear();
}

void NativeModule::loadFile(const QString &path)
{
    stopAnimation();
    abandonLoader();
    m_loading = true;
    ++m_generation;
    m_path = path;
    // The old record goes before the new one is read, so two never sit in memory.
    clearShownData();
    m_form->resetFileFields();

    m_large = isMappedNativeFile(path);
    setLoadingOverlay(true, m_large ? QStringLiteral("Preparing a large file. Please wait...")
                                    : QStringLiteral("Just a moment, we're loading your file..."));
    setProgressBusy(false);
    setProgressVisible(!m_large);
    if (!m_large)
        setProgressValue(0);

    // Neither is a child of the module: a replaced or closed load ends on its own.
    auto *thread = new QThread;
    auto *loader = new NativeFileLoader(path);
    loader->moveToThread(thread);
    const quint64 generation = m_generation;
    // The record is taken on the worker thread as the read ends, so the GUI
    // never touches a loader that its thread may already be deleting.
    auto result = std::make_shared<NativeFile>();
    connect(thread, &QThread::started, loader, &NativeFileLoader::run);
    connect(
        loader, &NativeFileLoader::finished, loader,
        [loader, result](bool) { *result = loader->takeFile(); }, Qt::DirectConnection);
    connect(loader, &NativeFileLoader::progress, this, [this, generation](int percent) {
        if (generation == m_generation)
            onFileLoadProgress(percent);
    });
    connect(loader, &NativeFileLoader::finished, this, [this, generation, result](bool ok) {
        if (generation != m_generation)
            return;
        m_finished = std::move(*result);
        *result = NativeFile();
        onFileLoadFinished(ok);
    });
    // Quit from the worker itself: an abandoned load must end even while the
    // GUI thread is busy or gone.
    connect(loader, &NativeFileLoader::finished, thread, &QThread::quit, Qt::DirectConnection);
    connect(thread, &QThread::finished, loader, &QObject::deleteLater);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, thread] {
        if (m_thread.data() == thread) {
            m_thread = nullptr;
            m_loader = nullptr;
        }
    });
    m_thread = thread;
    m_loader = loader;
    QTimer::singleShot(50, this, [this, generation] {
        if (generation == m_generation && m_thread && !m_thread->isRunning() && !m_thread->isFinished())
            m_thread->start();
    });
}

void NativeModule::onFileChanged(QString path)
{
    if (m_save)
        return;
    m_path = path;
    m_fileChanged = true;
    loadFile(path);
}

void NativeModule::onFileLoadProgress(int percent)
{
    if (!m_large)
        setProgressValue(percent);
}

void NativeModule::onFileLoadFinished(bool ok)
{
    NativeFile file = std::move(m_finished);
    m_finished = NativeFile();
    QString error;
    if (!ok) {
        error = loadErrorText(file);
    } else {
        const QStringList problems = validateNativeFile(file);
        if (!problems.isEmpty())
            error = problemsText(problems);
    }
    setLoadingOverlay(false);
    m_loading = false;
    if (!error.isEmpty()) {
        file = NativeFile();
        showFailedLoad(error);
        return;
    }

    m_builder.setFile(std::move(file));
    m_form->setFileInfo(m_builder.file(), m_fileChanged);
    m_searchPoint = -1;
    m_dynamicSearchPoint = -1;
    m_form->setSearchFields(false, QString(), QString());
    m_form->setSearchFields(true, QString(), QString());
    if (!m_everLoaded) {
        m_everLoaded = true;
        showGraphArea();
        setLegendVisible(true);
    }
    drawNativeGraph();
    if (m_form->dynamicType() == NativeForm::Animation && m_form->dynamicOn())
        placeAnimationBar();

    if (m_large) {
        setProgressVisible(false);
    } else {
        setProgressValue(100);
        const quint64 generation = m_generation;
        QTimer::singleShot(800, this, [this, generation] {
            if (!m_loading && generation == m_generation)
                setProgressVisible(false);
        });
    }
}

void NativeModule::showFailedLoad(const QString &error)
{
    clearShownData();
    stopAnimation();
    m_form->resetFileFields();
    setProgressBusy(false);
    setProgressVisible(false);
    dialogs().warning(this, QStringLiteral("Error"), error);
}

bool NativeModule::dropChangedFile()
{
    if (!nativeSamplesLost(m_builder.file()))
        return false;
    const QString path = m_builder.file().path;
    showFailedLoad(QStringLiteral("The file changed on disk while it was shown:\n%1\n\n"
                                  "Its data can no longer be shown. Open it again to see what it holds now.")
                       .arg(QDir::toNativeSeparators(path)));
    return true;
}

// ---------------------------------------------------------------- graphs

GraphSpec NativeModule::buildGraphSpec(int module, int beam, int channel, int first, int count,
                                       const QString &delta, bool rightPanel, int disp)
{
    if (!m_form)
        return GraphSpec();
    return m_builder.buildGraphSpec(module, beam, channel, first, count, delta, rightPanel, disp);
}

QVector<GraphSeries> NativeModule::buildNativeSeries(int module, int beam, int channel, int first,
                                                     int count, int disp)
{
    return m_builder.buildNativeSeries(module, beam, channel, first, count, disp);
}

QVector<double> NativeModule::channelSumCached(int module, int rayIndex, int disp, int first, int count)
{
    return m_builder.channelSumCached(module, rayIndex, disp, first, count);
}

QString NativeModule::alphaTextAt(qint64 point, const QString &delta, int decimals) const
{
    return m_builder.alphaTextAt(point, delta, decimals);
}

AlphaSearchStatus NativeModule::pointForAlpha(const QString &alpha, const QString &delta, int *point) const
{
    return m_builder.pointForAlpha(alpha, delta, point);
}

QString NativeModule::currentDeltaText() const
{
    if (!m_form)
        return QString();
    if (m_form->isPaired())
        return m_form->nativeDelta()->text();
    return beamDeclinationText(m_form->dynamicModule()->value(), m_form->dynamicRay()->value(),
                               m_form->plosh());
}

QString NativeModule::pointText(qint64 index) const
{
    return QString::number(m_builder.pointNumber(index));
}

QString NativeModule::viewDelta(View view) const
{
    return view == DynamicView ? currentDeltaText() : m_form->nativeDelta()->text();
}

PointRange NativeModule::nativeRange() const
{
    return clampPointRange(m_form->nativeFirstPoint()->value(),
                           pointsFieldValue(m_form->nativePoints()->text()), m_builder.npoints());
}

PointRange NativeModule::dynamicRange() const
{
    const int npoints = m_builder.npoints();
    if (m_form->dynamicType() == NativeForm::Animation)
        return {0, npoints};
    return clampPointRange(m_form->dynamicFirstPoint()->value(),
                           pointsFieldValue(m_form->dynamicPoints()->text()), npoints);
}

GraphSpec NativeModule::mainGraphSpec()
{
    const PointRange range = nativeRange();
    const QString delta = m_form->nativeDelta()->text();
    GraphSpec spec = buildGraphSpec(m_form->nativeModule()->value(), m_form->nativeRay()->value(),
                                    m_form->nativeChannel()->value(), range.first, range.count, delta,
                                    m_form->nativeRightPanel()->isChecked(),
                                    m_form->nativeDispersion()->value());
    if (spec.series.isEmpty())
        return spec;
    if (m_searchPoint >= range.first && m_searchPoint < range.first + range.count) {
        GraphSeries line;
        line.kind = GraphSeries::VerticalLine;
        line.name = QStringLiteral("Search point");
        line.color = Qt::red;
        line.sampleIndex = m_searchPoint - range.first;
        spec.series.append(line);
        const QString alpha = m_form->nativeSearchAlpha()->text();
        spec.headerText = headerLinesHtml(QStringLiteral("Search point:\npoint = %1\nalpha = %2, delta = %3\npulsar name: %4")
                                              .arg(pointText(m_searchPoint))
                                              .arg(alpha, delta, pulsarJName(alpha, delta)));
    }
    if (m_playing) {
        const int value = m_animationSlider->value();
        if (value >= range.first && value < range.first + range.count) {
            GraphSeries line;
            line.kind = GraphSeries::VerticalLine;
            line.name = QStringLiteral("Animation first point");
            line.color = QColor(0, 170, 0);
            line.sampleIndex = value - range.first;
            spec.series.append(line);
        }
    }
    return spec;
}

void NativeModule::drawMainGraph()
{
    if (!m_form->nativeOn()) {
        graphArea()->setPrimaryPanelVisible(false);
        return;
    }
    const GraphSpec spec = mainGraphSpec();
    m_drawing = true;
    if (spec.series.isEmpty()) {
        primaryGraphPanel()->clearGraph();
        graphArea()->setPrimaryPanelVisible(true);
    } else {
        showGraph(spec);
        graphArea()->setPrimaryPanelVisible(true);
    }
    m_drawing = false;
}

void NativeModule::drawNativeGraph()
{
    if (!m_builder.hasData() || !m_form || m_loading)
        return;
    const int npoints = m_builder.npoints();
    if (m_form->nativeOn() && m_searchPoint >= 0) {
        m_searchPoint = std::clamp(m_searchPoint, 0, npoints - 1);
        m_form->setSearchFields(false, pointText(m_searchPoint),
                                alphaTextAt(m_searchPoint, m_form->nativeDelta()->text(), -1));
    }
    drawMainGraph();

    if (m_form->graph2On()) {
        showGraphAt(0, buildGraphSpec(m_form->nativeModule2()->value(), m_form->nativeRay2()->value(),
                                      m_form->nativeChannel2()->value(), 0, npoints,
                                      m_form->nativeDelta2()->text(),
                                      m_form->nativeRightPanel2()->isChecked(), 0));
    } else {
        setGraphVisibleAt(0, false);
    }
    if (m_form->fourierOn()) {
        const int module = m_form->fourierModule()->value();
        const int ray = m_form->fourierRay()->value();
        showGraphAt(1, buildGraphSpec(module, ray, m_builder.file().nChannels,
                                      m_form->fourierFirstPoint()->value(),
                                      m_form->fourierPoints()->value(),
                                      beamDeclinationText(module, ray, m_form->plosh()),
                                      m_form->fourierRightPanel()->isChecked(), 0));
    } else {
        setGraphVisibleAt(1, false);
    }
    updateDynamicSpectrum();
    dropChangedFile();
}

void NativeModule::onNativeVisibleRangeChanged(double a, double b)
{
    if (m_drawing || !m_builder.hasData() || m_loading || plot()->commonSampleCount() == 0)
        return;
    const PointRange range = followedPointRange(a, b, m_builder.npoints());
    m_form->setNativeRange(range.first, range.count);
}

void NativeModule::onNativeRangeEdited()
{
    if (!m_builder.hasData())
        return;
    const PointRange range = nativeRange();
    m_form->setNativeRange(range.first, range.count);
    drawNativeGraph();
}

void NativeModule::onDynamicRangeEdited()
{
    if (!m_builder.hasData())
        return;
    if (m_form->dynamicType() != NativeForm::Animation) {
        const PointRange range = dynamicRange();
        m_form->setDynamicRange(range.first, range.count);
    }
    updateDynamicSpectrum();
}

void NativeModule::resetNativeToFile()
{
    if (!m_builder.hasData())
        return;
    m_form->setNativeRange(0, m_builder.npoints());
    drawNativeGraph();
    plot()->resetZoom();
}

// ---------------------------------------------------------------- dynamic view

void NativeModule::createDynamicView()
{
    m_dynamicPanel = new PlotPanel;
    m_scroll = new QScrollArea;
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_spectrum = new DynamicSpectrumWidget;
    m_scroll->setWidget(m_spectrum);
    // The channel labels stay beside the image while it scrolls.
    auto *view = new QWidget;
    auto *viewLayout = new QHBoxLayout(view);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->setSpacing(0);
    m_yAxis = new DynamicSpectrumYAxis(m_spectrum, view);
    m_yAxis->setFixedWidth(m_yAxis->sizeHint().width());
    viewLayout->addWidget(m_yAxis, 0);
    viewLayout->addWidget(m_scroll, 1);
    connect(m_spectrum, &DynamicSpectrumWidget::yAxisChanged, m_yAxis, [this] { m_yAxis->update(); });
    m_scroll->viewport()->installEventFilter(this);
    m_dynamicPanel->setPlotWidget(view);
    m_dynamicPanel->infoPanel()->setVisible(true);

    m_animationBar = new QWidget(m_scroll);
    m_animationBar->setAutoFillBackground(true);
    auto *barLayout = new QHBoxLayout(m_animationBar);
    barLayout->setContentsMargins(4, 2, 4, 2);
    m_animationButton = new QPushButton(QStringLiteral("Start"), m_animationBar);
    m_animationButton->setFixedWidth(70);
    m_animationSpeed = new QSpinBox(m_animationBar);
    m_animationSpeed->setRange(1, 10000);
    m_animationSpeed->setValue(200);
    m_animationSpeed->setSuffix(QStringLiteral(" points/s"));
    m_animationSlider = new QScrollBar(Qt::Horizontal, m_animationBar);
    m_animationLabel = new QLabel(m_animationBar);
    m_animationLabel->setMinimumWidth(210);
    barLayout->addWidget(m_animationButton);
    barLayout->addWidget(m_animationSpeed);
    barLayout->addWidget(m_animationSlider, 1);
    barLayout->addWidget(m_animationLabel);
    m_animationBar->hide();
    connect(m_animationButton, &QPushButton::clicked, this, &NativeModule::toggleAnimation);
    connect(m_animationSlider, &QScrollBar::valueChanged, this, &NativeModule::onAnimationSliderChanged);

    connect(m_spectrum, &DynamicSpectrumWidget::pointClicked, this,
            [this](int number) { onSpectrumClicked(int(number - m_builder.pointNumber(0))); });
    connect(m_spectrum, &DynamicSpectrumWidget::fragmentSelected, this, [this](int number, int count) {
        saveDynamicSpectrum(int(number - m_builder.pointNumber(0)), count);
    });
    // The spectrum widget reports point numbers; alphas go by the index in the file.
    connect(m_spectrum, &DynamicSpectrumWidget::cursorPointChanged, this, [this](int number) {
        m_dynamicPanel->infoPanel()->setCoordinatesText(
            QStringLiteral("Coords:\nX1: point = %1\nX2: alpha = %2")
                .arg(number)
                .arg(alphaTextAt(number - m_builder.pointNumber(0), currentDeltaText(), -1)));
    });
    connect(m_spectrum, &DynamicSpectrumWidget::cursorLeft, this, [this] {
        m_dynamicPanel->infoPanel()->setCoordinatesText(QStringLiteral("Coords: move cursor over the graph..."));
    });
    connect(m_dynamicPanel->infoPanel(), &InfoPanel::axisVisibilityChanged, this, [this](int index, bool on) {
        if (index >= 0 && index < m_axisElements.size())
            m_spectrum->setElementVisible(m_axisElements.at(index), on);
    });
    connect(m_dynamicPanel->infoPanel(), &InfoPanel::legendVisibilityChanged, this,
            [this](int, bool on) { m_spectrum->setTraceVisible(on); });

    graphArea()->setPanel(dynamicSlot, m_dynamicPanel);
    graphArea()->setPanelVisible(dynamicSlot, false);
}

int NativeModule::spectrumCellWidth() const
{
    return std::max(m_form->dynamicPixWidth()->value(), 1);
}

QVector<QVector<float>> NativeModule::spectrumRows(int first, int count) const
{
    const NativeFile &file = m_builder.file();
    const int moduleIndex = m_form->dynamicModule()->value() - file.firstModule;
    const int rayIndex = m_form->dynamicRay()->value() - file.firstRay;
    const int rows = std::max(file.nChannels - 1, 0);
    const int n = std::min(file.npoints - first, count);
    QVector<QVector<float>> result(rows);
    if (n <= 0)
        return result;
    for (int c = 0; c < rows; ++c) {
        QVector<float> &row = result[c];
        row.resize(n);
        for (int i = 0; i < n; ++i)
            row[i] = nativeSample(file, moduleIndex, rayIndex, c, qint64(first) + i);
    }
    return result;
}

QVector<double> NativeModule::spectrumSum(int first, int count)
{
    const NativeFile &file = m_builder.file();
    const int module = m_form->dynamicModule()->value();
    const int rayIndex = m_form->dynamicRay()->value() - file.firstRay;
    const int disp = m_form->dynamicDispersion()->value();
    const int n = std::min(file.npoints - first, count);
    if (m_form->isPaired())
        return channelSumCached(module, rayIndex, disp, first, n);
    QVector<double> sum;
    if (dispersedChannelSum(file, &sum, first, disp, module - file.firstModule, rayIndex, n) < 1)
        return {};
    return sum;
}

void NativeModule::configureDynamicSpectrum(DynamicSpectrumWidget *widget,
                                            const QVector<QVector<float>> &rows, int first,
                                            const QVector<double> &sum, bool ownView)
{
    const NativeForm::DynamicType type = m_form->dynamicType();
    widget->setFitToWidth(ownView && type == NativeForm::FitToWidth);
    widget->setImageTop(m_form->isPaired() ? -1 : 90);
    widget->setAxisFont(m_form->dynamicScaleThickness()->value(), m_form->dynamicFontSize()->value());
    widget->setCellSize(QSize(m_form->dynamicPixWidth()->value(), m_form->dynamicPixHeight()->value()));
    if (ownView)
        m_scroll->setHorizontalScrollBarPolicy(type == NativeForm::Scrollable ? Qt::ScrollBarAsNeeded
                                                                             : Qt::ScrollBarAlwaysOff);
    widget->setPrintLayout(m_form->dynamicForPrint()->isChecked());
    // The widget labels and reports point numbers; alphas go by the index.
    const int offset = int(m_builder.pointNumber(0));
    const QString delta = currentDeltaText();
    const auto alpha = m_builder.alphaFunction(delta, 0);
    widget->setTimeAxis(type == NativeForm::FitToWidth, m_builder.file().tresolution,
                        [alpha, offset](int number) { return alpha(qint64(number) - offset); });
    widget->setTraceWidth(m_form->dynamicLineThickness()->value());
    widget->setScalePerWindow(ownView && type == NativeForm::Animation);
    const bool showDispersion = m_form->dynamicShowDispersion()->isChecked() && m_dynamicSearchPoint >= 0;
    widget->setDispersion(showDispersion, m_form->dynamicDispersion()->value(), m_builder.file().tresolution,
                          m_builder.file().fbands.mid(0, rows.size()),
                          offset + m_dynamicSearchPoint + m_form->dynamicShiftDispersion()->value());
    widget->setDispersionColor(Qt::red);
    widget->setTrace(sum, m_form->dynamicSumHeight()->value());
    widget->setBottomGap(ownView && type == NativeForm::Animation ? animationBarHeight : 0);
    widget->setData(rows, offset + first, m_dynamicSearchPoint >= 0 ? offset + m_dynamicSearchPoint : -1,
                    m_dynamicSearchPoint >= 0 ? alpha(m_dynamicSearchPoint) : QString());
}

void NativeModule::fillDynamicInfoPanel()
{
    InfoPanel *info = m_dynamicPanel->infoPanel();
    LegendEntry sum;
    sum.seriesIndex = 0;
    sum.index = 0;
    sum.text = QStringLiteral("Sum of channels");
    sum.name = sum.text;
    sum.color = Qt::blue;
    info->setLegend({sum});
    QString header = QStringLiteral("Sum of channels with dispersion=%1").arg(m_form->dynamicDispersion()->value());
    if (m_dynamicSearchPoint >= 0)
        header += QStringLiteral("\n\nSearch point:\npoint = %1\nalpha = %2, delta = %3")
                      .arg(pointText(m_dynamicSearchPoint))
                      .arg(m_form->dynamicSearchAlpha()->text(), currentDeltaText());
    info->setHeaderText(headerLinesHtml(header));

    const bool fit = m_form->dynamicType() == NativeForm::FitToWidth;
    QVector<AxisEntry> axes;
    m_axisElements.clear();
    const auto add = [&](const QString &text, DynamicSpectrumWidget::Element element, bool enabled) {
        AxisEntry entry;
        entry.text = text;
        entry.checked = m_spectrum->elementVisible(element);
        entry.enabled = enabled;
        entry.index = axes.size();
        axes.append(entry);
        m_axisElements.append(element);
    };
    add(QStringLiteral("Y: frequency channel"), DynamicSpectrumWidget::ChannelLabels, true);
    if (m_dynamicSearchPoint >= 0)
        add(QStringLiteral("X0: search point alpha, point number"), DynamicSpectrumWidget::SearchMarker, true);
    add(QStringLiteral("X1: point number"), DynamicSpectrumWidget::PointLabels, fit);
    add(QStringLiteral("X2: alpha (J2000)"), DynamicSpectrumWidget::TimeLabels, fit);
    add(QStringLiteral("X3: elapsed time, s"), DynamicSpectrumWidget::RelativeTimeLabels, fit);
    add(QStringLiteral("X4: time span"), DynamicSpectrumWidget::TimeSpanCaption, true);
    info->setAxes(axes);
    info->setVisible(m_form->dynamicRightPanel()->isChecked());
}

void NativeModule::updateDynamicSpectrum()
{
    if (!m_builder.hasData() || !m_form->dynamicOn()) {
        graphArea()->setPanelVisible(dynamicSlot, false);
        return;
    }
    const PointRange range = dynamicRange();
    const QVector<QVector<float>> rows = spectrumRows(range.first, range.count);
    const QVector<double> sum = spectrumSum(range.first, range.count);
    if (dropChangedFile())
        return;
    configureDynamicSpectrum(m_spectrum, rows, range.first, sum, true);
    fillDynamicInfoPanel();
    graphArea()->setPanelVisible(dynamicSlot, true);
    m_yAxis->update();
    if (m_form->dynamicType() == NativeForm::Animation)
        QTimer::singleShot(0, this, &NativeModule::placeAnimationBar);
    else
        m_animationBar->hide();
}

void NativeModule::scrollSpectrumToPoint(int point, bool centre)
{
    if (!m_spectrum || m_spectrum->pointCount() == 0)
        return;
    const int w = spectrumCellWidth();
    const double left = m_spectrum->imageRect().left();
    int x = int(left + double(m_builder.pointNumber(point) - m_spectrum->firstPoint()) * w) - w / 2;
    // A search point goes to the middle, so that its marker and the
    // dispersion line leading to it are in view as well.
    if (centre)
        x -= m_scroll->viewport()->width() / 2;
    m_scroll->horizontalScrollBar()->setValue(std::max(x, 0));
}

void NativeModule::onSpectrumClicked(int point)
{
    if (m_playing) {
        stopAnimation();
        return;
    }
    if (!m_builder.hasData())
        return;
    setSearchPoint(DynamicView, std::clamp(point, 0, m_builder.npoints() - 1), false);
}

bool NativeModule::eventFilter(QObject *watched, QEvent *event)
{
    if (m_scroll && watched == m_scroll->viewport() && event->type() == QEvent::Resize) {
        QTimer::singleShot(0, this, &NativeModule::placeAnimationBar);
    }
    return ModuleWorkspace::eventFilter(watched, event);
}

// ---------------------------------------------------------------- search point

void NativeModule::setSearchPoint(View view, int point, bool showHint)
{
    const int npoints = m_builder.npoints();
    if (!m_form || point < 0 || point > npoints - 1)
        return;
    const bool dynamic = view == DynamicView;
    const PointRange range = dynamic ? dynamicRange() : nativeRange();
    const bool visible = point >= range.first && point < range.first + range.count;
    const QString alpha = alphaTextAt(point, viewDelta(view), -1);
    const QString number = pointText(point);
    const bool paired = m_form->isPaired();

    (dynamic ? m_dynamicSearchPoint : m_searchPoint) = point;
    m_form->setSearchFields(dynamic, number, alpha);
    if (paired) {
        (dynamic ? m_searchPoint : m_dynamicSearchPoint) = point;
        m_form->setSearchFields(!dynamic, number, alpha);
        const PointRange other = dynamic ? nativeRange() : dynamicRange();
        const int first = centredFirstPoint(point, other.count, npoints);
        if (dynamic)
            m_form->setNativeRange(first, other.count);
        else if (m_form->dynamicType() != NativeForm::Animation)
            m_form->setDynamicRange(first, other.count);
    }
    drawNativeGraph();
    if (!dynamic && m_form->dynamicOn() && m_form->dynamicType() != NativeForm::FitToWidth)
        QTimer::singleShot(0, this, [this, point] { scrollSpectrumToPoint(point, true); });

    if (!visible && showHint) {
        QString text = QStringLiteral("Point %1 is outside the visible %2 range %3–%4.\n")
                           .arg(number)
                           .arg(dynamic ? QStringLiteral("Dynamic spectrum") : QStringLiteral("Native graph"))
                           .arg(pointText(range.first))
                           .arg(pointText(range.first + range.count - 1));
        if (paired)
            text += dynamic ? QStringLiteral("The Native graph has been centered on this point.")
                            : QStringLiteral("The Dynamic spectrum has been centered on this point.");
        else
            text += QStringLiteral("The point has been accepted, but its red line is outside the visible range.");
        dialogs().warning(this, QStringLiteral("Point outside visible range"), text);
    }
}

void NativeModule::onSearchPointTyped(View view, const QString &text)
{
    if (!m_builder.hasData() || m_loading)
        return;
    const bool dynamic = view == DynamicView;
    const int current = dynamic ? m_dynamicSearchPoint : m_searchPoint;
    // Leaving the field unchanged, or leaving it empty with no point set, asks for nothing.
    if ((current >= 0 && text == pointText(current)) || (current < 0 && text.isEmpty()))
        return;
    int point = 0;
    if (parseSearchPoint(text, m_builder.pointNumber(0), m_builder.npoints(), &point)) {
        setSearchPoint(view, point, true);
        return;
    }
    m_form->setSearchFields(dynamic, current >= 0 ? pointText(current) : QString(),
                            current >= 0 ? alphaTextAt(current, viewDelta(view), -1) : QString());
    dialogs().critical(
        this, QStringLiteral("Point outside file"),
        QStringLiteral("Point %1 is outside the file range %2–%3.\nNothing has been changed.")
            .arg(text, pointText(0), pointText(std::max(m_builder.npoints() - 1, 0))));
}

void NativeModule::onSearchAlphaTyped(View view, const QString &text)
{
    if (!m_builder.hasData() || m_loading)
        return;
    const bool dynamic = view == DynamicView;
    const int current = dynamic ? m_dynamicSearchPoint : m_searchPoint;
    const QString delta = viewDelta(view);
    const QString currentAlpha = current >= 0 ? alphaTextAt(current, delta, -1) : QString();
    if ((current >= 0 && text == currentAlpha) || (current < 0 && text.isEmpty()))
        return;
    int point = 0;
    const AlphaSearchStatus status = pointForAlpha(text, delta, &point);
    if (status == AlphaFound) {
        setSearchPoint(view, point, true);
        return;
    }
    m_form->setSearchFields(dynamic, current >= 0 ? pointText(current) : QString(), currentAlpha);
    const QString message = status == AlphaTextInvalid
        ? QStringLiteral("Invalid alpha format.\nUse HH:MM:SS or HH:MM:SS.sss.")
        : QStringLiteral("Alpha %1 is outside the file range %2–%3.\nNothing has been changed.")
              .arg(text, alphaTextAt(0, delta, -1), alphaTextAt(std::max(m_builder.npoints() - 1, 0), delta, -1));
    dialogs().critical(this, QStringLiteral("Invalid alpha"), message);
}

void NativeModule::centreOnSearchPoint(View view)
{
    if (!m_builder.hasData())
        return;
    const bool dynamic = view == DynamicView;
    const int point = dynamic ? m_dynamicSearchPoint : m_searchPoint;
    if (point < 0)
        return;
    if (dynamic) {
        if (m_form->dynamicType() == NativeForm::Animation)
            return;
        const PointRange range = dynamicRange();
        m_form->setDynamicRange(centredFirstPoint(point, range.count, m_builder.npoints()), range.count);
        updateDynamicSpectrum();
        QTimer::singleShot(0, this, [this, point] { scrollSpectrumToPoint(point, true); });
    } else {
        const PointRange range = nativeRange();
        m_form->setNativeRange(centredFirstPoint(point, range.count, m_builder.npoints()), range.count);
        drawNativeGraph();
    }
}

void NativeModule::onPairingStarted(bool dynamicSwitchedOn)
{
    const int point = dynamicSwitchedOn ? m_searchPoint : m_dynamicSearchPoint;
    const View receiver = dynamicSwitchedOn ? DynamicView : NativeView;
    (dynamicSwitchedOn ? m_dynamicSearchPoint : m_searchPoint) = point;
    if (point < 0) {
        m_form->setSearchFields(receiver == DynamicView, QString(), QString());
        return;
    }
    m_form->setSearchFields(receiver == DynamicView, pointText(point),
                            alphaTextAt(point, m_form->nativeDelta()->text(), -1));
    if (receiver == DynamicView) {
        if (m_form->dynamicType() != NativeForm::Animation) {
            const PointRange range = dynamicRange();
            m_form->setDynamicRange(centredFirstPoint(point, range.count, m_builder.npoints()), range.count);
        }
        // The spectrum is rebuilt by the redraw that follows the pairing; then
        // a scrolled view is brought to the point.
        if (m_form->dynamicType() != NativeForm::FitToWidth)
            QTimer::singleShot(0, this, [this, point] { scrollSpectrumToPoint(point, true); });
    } else {
        const PointRange range = nativeRange();
        m_form->setNativeRange(centredFirstPoint(point, range.count, m_builder.npoints()), range.count);
    }
}

void NativeModule::zoomDynamicToNative()
{
    if (!m_builder.hasData() || m_loading || !m_form->nativeOn() || !m_form->dynamicOn()
        || m_form->dynamicType() == NativeForm::Animation)
        return;
    const PointRange range = nativeVisibleRange();
    if (range.count > maxDynamicSpectrumPoints) {
        dialogs().warning(
            this, QStringLiteral("Warning"),
            QStringLiteral("Too many points for the dynamic spectrum.\nAt this scale, the dispersion lines "
                           "would not be visible.\n\nZoom in on the Native graph, then transfer the visible "
                           "range again."));
        return;
    }
    if (range.count <= 0)
        return;
    m_form->setDynamicRange(range.first, range.count);
    updateDynamicSpectrum();
}

void NativeModule::zoomNativeToDynamic()
{
    if (!m_builder.hasData() || m_loading || !m_form->dynamicOn())
        return;
    const PointRange range = dynamicRange();
    PointRange shown = range;
    if (m_form->dynamicType() != NativeForm::FitToWidth) {
        shown = visibleSpectrumColumns(range.first, range.count, spectrumCellWidth(),
                                       int(m_spectrum->imageRect().left()),
                                       m_scroll->horizontalScrollBar()->value(), m_scroll->viewport()->width());
    }
    if (shown.count <= 0)
        return;
    m_form->setNativeRange(shown.first, shown.count);
    drawNativeGraph();
}

PointRange NativeModule::nativeVisibleRange() const
{
    if (plot()->commonSampleCount() == 0)
        return {};
    const QPair<double, double> x = plot()->visibleXRange();
    return visiblePointRange(x.first, x.second, m_builder.npoints());
}

// ---------------------------------------------------------------- animation

int NativeModule::animationWindow() const
{
    return animationWindowPoints(m_scroll->viewport()->width(), spectrumCellWidth(), m_builder.npoints());
}

void NativeModule::placeAnimationBar()
{
    if (!m_form->dynamicOn() || m_form->dynamicType() != NativeForm::Animation || !m_builder.hasData()) {
        m_animationBar->hide();
        return;
    }
    const QRect gap = m_spectrum->bottomGapRect();
    const QRect viewport = m_scroll->viewport()->geometry();
    int y = viewport.bottom() - animationBarHeight;
    if (!gap.isEmpty())
        y = std::min(y, m_spectrum->mapTo(m_scroll, gap.topLeft()).y());
    m_animationBar->setGeometry(viewport.left(), std::max(y, viewport.top()), viewport.width(),
                                animationBarHeight);
    if (!m_playing) {
        const int w = animationWindow();
        const QSignalBlocker blocker(m_animationSlider);
        m_animationSlider->setRange(0, std::max(m_builder.npoints() - w, 0));
        m_animationSlider->setPageStep(w);
        m_animationSlider->setSingleStep(1);
    }
    m_animationLabel->setText(QStringLiteral("Points %1–%2 of %3")
                                  .arg(pointText(m_animationSlider->value()),
                                       pointText(m_animationSlider->value() + animationWindow() - 1))
                                  .arg(m_builder.npoints()));
    m_animationBar->show();
    m_animationBar->raise();
}

void NativeModule::onAnimationChanged(bool on)
{
    if (!on)
        stopAnimation();
    drawNativeGraph();
    if (!on)
        m_animationBar->hide();
}

void NativeModule::toggleAnimation()
{
    if (m_playing)
        stopAnimation();
    else
        startAnimation();
}

void NativeModule::startAnimation()
{
    if (!m_builder.hasData() || !m_form->dynamicOn() || m_form->dynamicType() != NativeForm::Animation)
        return;
    if (m_spectrum->pointCount() == 0)
        updateDynamicSpectrum();
    const int w = animationWindow();
    placeAnimationBar();
    {
        const QSignalBlocker blocker(m_animationSlider);
        m_animationSlider->setRange(0, std::max(m_builder.npoints() - w, 0));
        m_animationSlider->setPageStep(w);
        m_animationSlider->setSingleStep(1);
        if (m_animationSlider->value() >= m_animationSlider->maximum())
            m_animationSlider->setValue(0);
    }
    m_accumulator = 0.0;
    m_animationClock.restart();
    m_playing = true;
    m_animationButton->setText(QStringLiteral("Pause"));
    onAnimationSliderChanged(m_animationSlider->value());
    m_animationTimer.start();
}

void NativeModule::stopAnimation()
{
    const bool wasPlaying = m_playing;
    m_animationTimer.stop();
    m_playing = false;
    if (m_animationButton)
        m_animationButton->setText(QStringLiteral("Start"));
    if (wasPlaying && m_builder.hasData() && !m_loading) {
        drawMainGraph();
        dropChangedFile();
    }
}

void NativeModule::animationTick()
{
    if (!m_playing)
        return;
    const qint64 elapsed = m_animationClock.restart();
    const AnimationStep step = animationStep(m_animationSlider->value(), m_animationSlider->maximum(),
                                             m_animationSpeed->value(), elapsed, m_accumulator);
    m_accumulator = step.accumulator;
    if (step.value != m_animationSlider->value())
        m_animationSlider->setValue(step.value);
    if (step.finished)
        stopAnimation();
}

void NativeModule::onAnimationSliderChanged(int value)
{
    if (!m_builder.hasData())
        return;
    const int npoints = m_builder.npoints();
    const int w = animationWindow();
    const int v = std::clamp(value, 0, std::max(npoints - w, 0));
    m_animationLabel->setText(
        QStringLiteral("Points %1–%2 of %3").arg(pointText(v), pointText(v + w - 1)).arg(npoints));
    scrollSpectrumToPoint(v, false);
    if (m_form->nativeOn()) {
        drawMainGraph();
        dropChangedFile();
    }
}

// ---------------------------------------------------------------- saving

QString NativeModule::parentFileName() const
{
    const NativeFile &file = m_builder.file();
    return file.nativeFileName.isEmpty() ? file.fileName : file.nativeFileName;
}

void NativeModule::startSave(const QString &path, const QString &failureText, BackgroundSave::Job job)
{
    m_save = new BackgroundSave(std::move(job), this);
    connect(m_save, &BackgroundSave::progress, this, &ModuleWorkspace::setProgressValue);
    connect(m_save, &BackgroundSave::finished, this, [this, path, failureText](bool ok) {
        m_save->deleteLater();
        m_save = nullptr;
        m_form->setEnabled(true);
        setLoadingOverlay(false);
        setProgressVisible(false);
        if (dropChangedFile())
            return;
        if (!ok) {
            dialogs().warning(this, QStringLiteral("Error"), failureText.arg(path));
            return;
        }
        SaveLocation::rememberSavedFile(path);
    });
    // Nothing else may start meanwhile: no second save, no other file.
    m_form->setEnabled(false);
    setLoadingOverlay(true, QStringLiteral("Saving the data. Please wait..."));
    setProgressBusy(false);
    setProgressVisible(true);
    m_save->start();
}

void NativeModule::savePicture(const QImage &image, const QString &defaultName)
{
    if (m_save)
        return;
    if (image.isNull()) {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("Cannot create graph image."));
        return;
    }
    const QString path = askImagePath(dialogs(), this, defaultName);
    if (path.isEmpty())
        return;
    startSave(path, QStringLiteral("Failed to save image:\n%1"),
              [image, path](const BackgroundSave::Progress &progress, QString *) {
                  return writePngImage(image, path, progress);
              });
}

void NativeModule::saveNativeGraph()
{
    if (!m_form->nativeOn() || !primaryGraphPanel() || !m_builder.hasData()) {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("No native graph to save."));
        return;
    }
    const QImage image = primaryGraphPanel()->grab().toImage();
    const PointRange range = nativeVisibleRange();
    const QString alpha = alphaTextAt(range.first + range.count / 2, m_form->nativeDelta()->text(), -1);
    savePicture(image, defaultSaveFileName(parentFileName(), alpha, m_form->nativeModule()->value(),
                                           m_form->nativeRay()->value(), range.count,
                                           QStringLiteral("native"), QStringLiteral("png")));
}

void NativeModule::saveNativeData(bool binary)
{
    if (!m_form || !m_form->nativeOn() || !m_builder.hasData() || m_save)
        return;
    const PointRange range = nativeVisibleRange();
    if (range.count <= 0)
        return;
    const QString delta = m_form->nativeDelta()->text();
    const QString alpha = alphaTextAt(range.first, delta, -1);
    const QString extension = binary ? binaryExtractExtension(parentFileName()) : QStringLiteral("txt");
    const QString name = defaultSaveFileName(parentFileName(), alpha, m_form->nativeModule()->value(),
                                             m_form->nativeRay()->value(), range.count, QString(), extension);
    const QString title = binary ? QStringLiteral("PNT data save") : QStringLiteral("TXT data save");
    const QString filter = binary ? QStringLiteral("KVX data (*.%1)").arg(extension)
                                  : QStringLiteral("Text data (*.txt)");
    QString path = dialogs().saveFileName(
        this, title, SaveLocation::suggestedPath(name, QFileInfo(m_builder.file().path).absolutePath()), filter);
    if (path.isEmpty())
        return;
    path = SaveLocation::withSuffix(path, extension);

    NativeSelection selection;
    selection.module = m_form->nativeModule()->value();
    selection.ray = m_form->nativeRay()->value();
    selection.startPoint = range.first;
    selection.count = range.count;
    selection.delta = delta;
    // The job holds its own copy of the record: the samples are shared, not copied.
    const NativeFile file = m_builder.file();
    startSave(path, QStringLiteral("Failed to save data:\n%1"),
              [file, selection, binary, path](const BackgroundSave::Progress &progress, QString *error) {
                  return binary ? writeBinaryExtract(path, file, selection, error, progress)
                                : writeTextExtract(path, file, selection, error, progress);
              });
}

void NativeModule::saveDynamicSpectrumArea()
{
    if (!m_spectrum || !m_form->dynamicOn()) {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("No dynamic spectrum to save."));
        return;
    }
    m_spectrum->setSelectionMode(true);
}

void NativeModule::saveDynamicSpectrumAll()
{
    if (!m_spectrum || !m_form->dynamicOn()) {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("No dynamic spectrum to save."));
        return;
    }
    const PointRange range = dynamicRange();
    saveDynamicSpectrum(range.first, range.count);
}

void NativeModule::saveDynamicSpectrum(int first, int count)
{
    if (!m_spectrum || count <= 0)
        return;
    const QImage image = m_spectrum->renderFragment(int(m_builder.pointNumber(first)), count);
    if (image.isNull()) {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("Dynamic spectrum is empty."));
        return;
    }
    QString title;
    int pointSize = 12;
    if (!m_nativeDialogs->spectrumTitle(this, image, &title, &pointSize))
        return;
    const QImage picture = ImageTitlePreview::titledImage(image, title, pointSize);
    const QString alpha = alphaTextAt(first + count / 2, currentDeltaText(), -1);
    savePicture(picture, defaultSaveFileName(parentFileName(), alpha, m_form->dynamicModule()->value(),
                                             m_form->dynamicRay()->value(), count,
                                             QStringLiteral("dynamic"), QStringLiteral("png")));
}
