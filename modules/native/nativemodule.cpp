#include "modules/native/nativemodule.h"

#include "astro/beamtables.h"
#include "astro/timecoords.h"
#include "data/nativereader.h"
#include "modules/native/nativeanimationbar.h"
#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativeload.h"
#include "modules/native/nativesaving.h"
#include "modules/native/nativesearchpoint.h"
#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "plot/plotpanel.h"
#include "ui/shelldialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

NativeModule::NativeModule(const QVector<NativeFileEntry> &files, const QString &path, QWidget *parent)
    : ModuleWorkspace(parent)
    , m_path(path)
{
    m_form = new NativeForm(this);
    m_form->setFileList(files, path);
    setForm(m_form, 0);
    setFormWidth(430);
    m_load = new NativeLoad(this);
    m_search = new NativeSearchPoint(this, m_builder);
    m_saving = new NativeSaving(this, m_builder);
    m_dynamicView = new NativeDynamicView(this, m_builder);
    m_dynamicView->scrollArea()->viewport()->installEventFilter(this);

    connect(m_load, &NativeLoad::progress, this, &NativeModule::onFileLoadProgress);
    connect(m_load, &NativeLoad::finished, this, &NativeModule::onFileLoadFinished);

    connect(m_form, &NativeForm::fileChanged, this, &NativeModule::onFileChanged);
    connect(m_form, &NativeForm::graphParametersChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::nativeRightPanelChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::nativeRightPanel2Changed, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::fourierRightPanelChanged, this, &NativeModule::drawNativeGraph);
    connect(m_form, &NativeForm::dynamicPixelSizeChanged, this, &NativeModule::drawNativeGraph);

    using View = NativeSearchPoint::View;
    connect(m_form, &NativeForm::nativeRangeEdited, this, &NativeModule::onNativeRangeEdited);
    connect(m_form, &NativeForm::dynamicRangeEdited, this, &NativeModule::onDynamicRangeEdited);
    connect(m_form, &NativeForm::nativeSearchPointEdited, m_search,
            [this](const QString &text) { m_search->typedPoint(View::NativeView, text); });
    connect(m_form, &NativeForm::dynamicSearchPointEdited, m_search,
            [this](const QString &text) { m_search->typedPoint(View::DynamicView, text); });
    connect(m_form, &NativeForm::nativeSearchAlphaEdited, m_search,
            [this](const QString &text) { m_search->typedAlpha(View::NativeView, text); });
    connect(m_form, &NativeForm::dynamicSearchAlphaEdited, m_search,
            [this](const QString &text) { m_search->typedAlpha(View::DynamicView, text); });
    connect(m_form, &NativeForm::nativeDynamicPairingStarted, m_search, &NativeSearchPoint::pairingStarted);
    connect(m_form, &NativeForm::dynamicNeedsSingleBeam, this, [this] {
        dialogs().warning(this, QStringLiteral("Error"), QStringLiteral("Set Beam>0 to open Dynamic spectrum!"));
    });
    connect(m_form, &NativeForm::dynamicAnimationChanged, this, &NativeModule::onAnimationChanged);
    connect(m_form, &NativeForm::dynamicRightPanelChanged, m_dynamicView,
            [this](bool on) { m_dynamicView->panel()->infoPanel()->setVisible(on); });
    connect(m_form, &NativeForm::nativeZoomToDynamicRequested, m_search, &NativeSearchPoint::zoomNativeToDynamic);
    connect(m_form, &NativeForm::dynamicZoomToNativeRequested, m_search, &NativeSearchPoint::zoomDynamicToNative);
    connect(m_form, &NativeForm::nativeCenterToSearchPointRequested, m_search,
            [this] { m_search->centre(View::NativeView); });
    connect(m_form, &NativeForm::dynamicCenterToSearchPointRequested, m_search,
            [this] { m_search->centre(View::DynamicView); });
    connect(m_form, &NativeForm::nativeResetToNativeRequested, this, &NativeModule::resetNativeToFile);
    connect(m_form, &NativeForm::nativeSaveGraphRequested, m_saving, &NativeSaving::saveNativeGraph);
    connect(m_form, &NativeForm::nativeSaveDataPntRequested, m_saving, [this] { m_saving->saveNativeData(true); });
    connect(m_form, &NativeForm::nativeSaveDataTxtRequested, m_saving, [this] { m_saving->saveNativeData(false); });
    connect(m_form, &NativeForm::dynamicSaveGraphAreaRequested, m_saving, &NativeSaving::saveDynamicSpectrumArea);
    connect(m_form, &NativeForm::dynamicSaveGraphAllRequested, m_saving, &NativeSaving::saveDynamicSpectrumAll);
    connect(m_form, &NativeForm::saveScreenRequested, this, &ModuleWorkspace::startScreenCapture);

    connect(plot(), &Grafiks::visibleXRangeChanged, this, &NativeModule::onNativeVisibleRangeChanged);
    connect(plot(), &Grafiks::xAxisValuesClicked, m_search,
            [this](const QStringList &, const QStringList &, double x, int) {
                if (m_builder.hasData() && !m_loading)
                    m_search->setSearchPoint(View::NativeView, clickedPoint(x, m_builder.npoints()), false);
            });
    connect(m_dynamicView, &NativeDynamicView::pointClicked, m_search,
            [this](int point) { m_search->setSearchPoint(View::DynamicView, point, false); });
    connect(m_dynamicView, &NativeDynamicView::fragmentSelected, m_saving, &NativeSaving::saveDynamicSpectrum);
    // The native graph's animation marker follows the window.
    connect(m_dynamicView, &NativeDynamicView::animationMoved, this, [this] {
        if (m_form->nativeOn()) {
            drawMainGraph();
            dropChangedFile();
        }
    });
    connect(m_dynamicView, &NativeDynamicView::animationStopped, this, [this] {
        if (m_builder.hasData() && !m_loading) {
            drawMainGraph();
            dropChangedFile();
        }
    });

    loadFile(path);
}

NativeModule::~NativeModule()
{
    // A save under way stops and leaves its target as it was.
    delete m_saving;
    m_load->abandon();
    // Children still emit while the widget tree is torn down (a field losing
    // focus finishes its editing); nothing of this module may answer then,
    // and its parts go before the record they read.
    m_dynamicView->scrollArea()->viewport()->removeEventFilter(this);
    disconnect(m_form, nullptr, this, nullptr);
    disconnect(plot(), nullptr, this, nullptr);
    delete m_search;
    delete m_dynamicView;
}

// ---------------------------------------------------------------- loading

void NativeModule::clearShownData()
{
    m_builder.clear();
    m_search->clear(false);
    primaryGraphPanel()->clearGraph();
    setGraphVisibleAt(0, false);
    setGraphVisibleAt(1, false);
    m_dynamicView->clear();
}

void NativeModule::loadFile(const QString &path)
{
    m_dynamicView->stopAnimation();
    m_load->abandon();
    m_loading = true;
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
    m_load->start(path);
}

void NativeModule::onFileChanged(QString path)
{
    if (m_saving->isRunning())
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
    NativeFile file = m_load->takeFile();
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
    m_search->clear(true);
    if (!m_everLoaded) {
        m_everLoaded = true;
        showGraphArea();
        setLegendVisible(true);
    }
    drawNativeGraph();
    if (m_form->dynamicType() == NativeForm::Animation && m_form->dynamicOn())
        m_dynamicView->placeAnimationBar();

    if (m_large) {
        setProgressVisible(false);
    } else {
        setProgressValue(100);
        const quint64 generation = m_load->generation();
        QTimer::singleShot(800, this, [this, generation] {
            if (!m_loading && generation == m_load->generation())
                setProgressVisible(false);
        });
    }
}

void NativeModule::showFailedLoad(const QString &error)
{
    clearShownData();
    m_dynamicView->stopAnimation();
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

PointRange NativeModule::nativeRange() const
{
    return clampPointRange(m_form->nativeFirstPoint()->value(), pointsFieldValue(m_form->nativePoints()->text()),
                           m_builder.npoints());
}

PointRange NativeModule::nativeVisibleRange() const
{
    if (plot()->commonSampleCount() == 0)
        return {};
    const QPair<double, double> x = plot()->visibleXRange();
    return visiblePointRange(x.first, x.second, m_builder.npoints());
}

GraphSpec NativeModule::mainGraphSpec()
{
    const PointRange range = nativeRange();
    const QString delta = m_form->nativeDelta()->text();
    GraphSpec spec = m_builder.buildGraphSpec(m_form->nativeModule()->value(), m_form->nativeRay()->value(),
                                              m_form->nativeChannel()->value(), range.first, range.count, delta,
                                              m_form->nativeRightPanel()->isChecked(),
                                              m_form->nativeDispersion()->value());
    if (spec.series.isEmpty())
        return spec;
    const int searchPoint = m_search->point(NativeSearchPoint::NativeView);
    if (searchPoint >= range.first && searchPoint < range.first + range.count) {
        GraphSeries line;
        line.kind = GraphSeries::VerticalLine;
        line.name = QStringLiteral("Search point");
        line.color = Qt::red;
        line.sampleIndex = searchPoint - range.first;
        spec.series.append(line);
        const QString alpha = m_form->nativeSearchAlpha()->text();
        spec.headerText = headerLinesHtml(QStringLiteral("Search point:\npoint = %1\nalpha = %2, delta = %3\npulsar name: %4")
                                              .arg(m_builder.pointText(searchPoint))
                                              .arg(alpha, delta, pulsarJName(alpha, delta)));
    }
    const NativeAnimationBar *animation = m_dynamicView->animationBar();
    if (animation->isPlaying()) {
        const int value = animation->position();
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
    if (spec.series.isEmpty())
        primaryGraphPanel()->clearGraph();
    else
        showGraph(spec);
    graphArea()->setPrimaryPanelVisible(true);
    m_drawing = false;
}

void NativeModule::drawNativeGraph()
{
    if (!m_builder.hasData() || !m_form || m_loading)
        return;
    const int npoints = m_builder.npoints();
    m_search->showNativePoint();
    drawMainGraph();

    if (m_form->graph2On()) {
        showGraphAt(0, m_builder.buildGraphSpec(m_form->nativeModule2()->value(), m_form->nativeRay2()->value(),
                                                m_form->nativeChannel2()->value(), 0, npoints,
                                                m_form->nativeDelta2()->text(),
                                                m_form->nativeRightPanel2()->isChecked(), 0));
    } else {
        setGraphVisibleAt(0, false);
    }
    if (m_form->fourierOn()) {
        const int module = m_form->fourierModule()->value();
        const int ray = m_form->fourierRay()->value();
        showGraphAt(1, m_builder.buildGraphSpec(module, ray, m_builder.file().nChannels,
                                                m_form->fourierFirstPoint()->value(),
                                                m_form->fourierPoints()->value(),
                                                beamDeclinationText(module, ray, m_form->plosh()),
                                                m_form->fourierRightPanel()->isChecked(), 0));
    } else {
        setGraphVisibleAt(1, false);
    }
    m_dynamicView->update();
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
        const PointRange range = m_dynamicView->range();
        m_form->setDynamicRange(range.first, range.count);
    }
    m_dynamicView->update();
}

void NativeModule::resetNativeToFile()
{
    if (!m_builder.hasData())
        return;
    m_form->setNativeRange(0, m_builder.npoints());
    drawNativeGraph();
    plot()->resetZoom();
}

void NativeModule::onAnimationChanged(bool on)
{
    if (!on)
        m_dynamicView->stopAnimation();
    drawNativeGraph();
    if (!on)
        m_dynamicView->animationBar()->hide();
}

bool NativeModule::eventFilter(QObject *watched, QEvent *event)
{
    // The animation bar follows the viewport's size once the layout settled.
    if (watched == m_dynamicView->scrollArea()->viewport() && event->type() == QEvent::Resize)
        QTimer::singleShot(0, m_dynamicView, &NativeDynamicView::placeAnimationBar);
    return ModuleWorkspace::eventFilter(watched, event);
}
