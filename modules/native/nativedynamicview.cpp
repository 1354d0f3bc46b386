#include "modules/native/nativedynamicview.h"

#include "astro/beamtables.h"
#include "data/channelsum.h"
#include "modules/native/nativeanimationbar.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativesearchpoint.h"
#include "plot/dynamicspectrumyaxis.h"
#include "plot/grapharea.h"
#include "plot/infopanel.h"
#include "plot/plotpanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

namespace {

// The extra graph slot of the workspace's graph area that holds the view.
const int dynamicSlot = 2;

} // namespace

NativeDynamicView::NativeDynamicView(NativeModule *module, NativeGraphBuilder &builder)
    : QObject(module)
    , m_module(module)
    , m_builder(builder)
{
    m_panel = new PlotPanel;
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
    m_panel->setPlotWidget(view);
    m_panel->infoPanel()->setVisible(true);

    m_animationBar = new NativeAnimationBar(m_scroll);
    m_animationBar->hide();
    connect(m_animationBar, &NativeAnimationBar::startPauseClicked, this, &NativeDynamicView::toggleAnimation);
    connect(m_animationBar, &NativeAnimationBar::positionChanged, this,
            &NativeDynamicView::onAnimationSliderChanged);
    connect(m_animationBar, &NativeAnimationBar::finished, this, &NativeDynamicView::stopAnimation);

    // The spectrum widget reports point numbers; the module goes by the index in the file.
    connect(m_spectrum, &DynamicSpectrumWidget::pointClicked, this, &NativeDynamicView::onSpectrumClicked);
    connect(m_spectrum, &DynamicSpectrumWidget::fragmentSelected, this, [this](int number, int count) {
        emit fragmentSelected(int(number - m_builder.pointNumber(0)), count);
    });
    connect(m_spectrum, &DynamicSpectrumWidget::cursorPointChanged, this, [this](int number) {
        m_panel->infoPanel()->setCoordinatesText(
            QStringLiteral("Coords:\nX1: point = %1\nX2: alpha = %2")
                .arg(number)
                .arg(m_builder.alphaTextAt(number - m_builder.pointNumber(0), currentDeltaText(), -1)));
    });
    connect(m_spectrum, &DynamicSpectrumWidget::cursorLeft, this, [this] {
        m_panel->infoPanel()->setCoordinatesText(QStringLiteral("Coords: move cursor over the graph..."));
    });
    connect(m_panel->infoPanel(), &InfoPanel::axisVisibilityChanged, this, [this](int index, bool on) {
        if (index >= 0 && index < m_axisElements.size())
            m_spectrum->setElementVisible(m_axisElements.at(index), on);
    });
    connect(m_panel->infoPanel(), &InfoPanel::legendVisibilityChanged, this,
            [this](int, bool on) { m_spectrum->setTraceVisible(on); });

    m_module->graphArea()->setPanel(dynamicSlot, m_panel);
    hide();
}

QString NativeDynamicView::currentDeltaText() const
{
    const NativeForm *form = m_module->form();
    if (!form)
        return QString();
    if (form->isPaired())
        return form->nativeDelta()->text();
    return beamDeclinationText(form->dynamicModule()->value(), form->dynamicRay()->value(), form->plosh());
}

PointRange NativeDynamicView::range() const
{
    const NativeForm *form = m_module->form();
    const int npoints = m_builder.npoints();
    if (form->dynamicType() == NativeForm::Animation)
        return {0, npoints};
    return clampPointRange(form->dynamicFirstPoint()->value(), pointsFieldValue(form->dynamicPoints()->text()),
                           npoints);
}

PointRange NativeDynamicView::visibleRange() const
{
    const PointRange all = range();
    if (m_module->form()->dynamicType() == NativeForm::FitToWidth)
        return all;
    return visibleSpectrumColumns(all.first, all.count, cellWidth(), int(m_spectrum->imageRect().left()),
                                  m_scroll->horizontalScrollBar()->value(), m_scroll->viewport()->width());
}

int NativeDynamicView::searchPoint() const
{
    return m_module->search()->point(NativeSearchPoint::DynamicView);
}

int NativeDynamicView::cellWidth() const
{
    return std::max(m_module->form()->dynamicPixWidth()->value(), 1);
}

QVector<double> NativeDynamicView::spectrumSum(int first, int count)
{
    const NativeForm *form = m_module->form();
    const NativeFile &file = m_builder.file();
    const int module = form->dynamicModule()->value();
    const int rayIndex = form->dynamicRay()->value() - file.firstRay;
    const int disp = form->dynamicDispersion()->value();
    const int n = std::min(file.npoints - first, count);
    if (form->isPaired())
        return m_builder.channelSumCached(module, rayIndex, disp, first, n);
    QVector<double> sum;
    if (dispersedChannelSum(file, &sum, first, disp, module - file.firstModule, rayIndex, n) < 1)
        return {};
    return sum;
}

void NativeDynamicView::configureDynamicSpectrum(const QVector<QVector<float>> &rows, int first,
                                          const QVector<double> &sum)
{
    const NativeForm *form = m_module->form();
    const NativeForm::DynamicType type = form->dynamicType();
    const int searchAt = searchPoint();
    DynamicSpectrumWidget *widget = m_spectrum;
    widget->setFitToWidth(type == NativeForm::FitToWidth);
    widget->setImageTop(form->isPaired() ? -1 : 90);
    widget->setAxisFont(form->dynamicScaleThickness()->value(), form->dynamicFontSize()->value());
    widget->setCellSize(QSize(form->dynamicPixWidth()->value(), form->dynamicPixHeight()->value()));
    m_scroll->setHorizontalScrollBarPolicy(type == NativeForm::Scrollable ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
    widget->setPrintLayout(form->dynamicForPrint()->isChecked());
    // The widget labels and reports point numbers; alphas go by the index.
    const int offset = int(m_builder.pointNumber(0));
    const auto alpha = m_builder.alphaFunction(currentDeltaText(), 0);
    widget->setTimeAxis(type == NativeForm::FitToWidth, m_builder.file().tresolution,
                        [alpha, offset](int number) { return alpha(qint64(number) - offset); });
    widget->setTraceWidth(form->dynamicLineThickness()->value());
    widget->setScalePerWindow(type == NativeForm::Animation);
    const bool showDispersion = form->dynamicShowDispersion()->isChecked() && searchAt >= 0;
    widget->setDispersion(showDispersion, form->dynamicDispersion()->value(), m_builder.file().tresolution,
                          m_builder.file().fbands.mid(0, rows.size()),
                          offset + searchAt + form->dynamicShiftDispersion()->value());
    widget->setDispersionColor(Qt::red);
    widget->setTrace(sum, form->dynamicSumHeight()->value());
    widget->setBottomGap(type == NativeForm::Animation ? NativeAnimationBar::barHeight : 0);
    widget->setData(rows, offset + first, searchAt >= 0 ? offset + searchAt : -1,
                    searchAt >= 0 ? alpha(searchAt) : QString());
}

void NativeDynamicView::fillInfoPanel()
{
    const NativeForm *form = m_module->form();
    const int searchAt = searchPoint();
    InfoPanel *info = m_panel->infoPanel();
    LegendEntry sum;
    sum.seriesIndex = 0;
    sum.index = 0;
    sum.text = QStringLiteral("Sum of channels");
    sum.name = sum.text;
    sum.color = Qt::blue;
    info->setLegend({sum});
    QString header = QStringLiteral("Sum of channels with dispersion=%1").arg(form->dynamicDispersion()->value());
    if (searchAt >= 0)
        header += QStringLiteral("\n\nSearch point:\npoint = %1\nalpha = %2, delta = %3")
                      .arg(m_builder.pointText(searchAt))
                      .arg(form->dynamicSearchAlpha()->text(), currentDeltaText());
    info->setHeaderText(headerLinesHtml(header));

    const bool fit = form->dynamicType() == NativeForm::FitToWidth;
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
    if (searchAt >= 0)
        add(QStringLiteral("X0: search point alpha, point number"), DynamicSpectrumWidget::SearchMarker, true);
    add(QStringLiteral("X1: point number"), DynamicSpectrumWidget::PointLabels, fit);
    add(QStringLiteral("X2: alpha (J2000)"), DynamicSpectrumWidget::TimeLabels, fit);
    add(QStringLiteral("X3: elapsed time, s"), DynamicSpectrumWidget::RelativeTimeLabels, fit);
    add(QStringLiteral("X4: time span"), DynamicSpectrumWidget::TimeSpanCaption, true);
    info->setAxes(axes);
    info->setVisible(form->dynamicRightPanel()->isChecked());
}

void NativeDynamicView::update()
{
    const NativeForm *form = m_module->form();
    if (!m_builder.hasData() || !form->dynamicOn()) {
        hide();
        return;
    }
    const PointRange shown = range();
    const QVector<QVector<float>> rows = m_builder.spectrumRows(form->dynamicModule()->value(),
                                                                form->dynamicRay()->value(), shown.first,
                                                                shown.count);
    const QVector<double> sum = spectrumSum(shown.first, shown.count);
    if (m_module->dropChangedFile())
        return;
    configureDynamicSpectrum(rows, shown.first, sum);
    fillInfoPanel();
    m_module->graphArea()->setPanelVisible(dynamicSlot, true);
    m_yAxis->update();
    if (form->dynamicType() == NativeForm::Animation)
        QTimer::singleShot(0, this, &NativeDynamicView::placeAnimationBar);
    else
        m_animationBar->hide();
}

void NativeDynamicView::hide()
{
    m_module->graphArea()->setPanelVisible(dynamicSlot, false);
}

void NativeDynamicView::clear()
{
    hide();
    m_spectrum->clear();
}

void NativeDynamicView::scrollToPoint(int point, bool centre)
{
    if (m_spectrum->pointCount() == 0)
        return;
    const int w = cellWidth();
    const double left = m_spectrum->imageRect().left();
    int x = int(left + double(m_builder.pointNumber(point) - m_spectrum->firstPoint()) * w) - w / 2;
    // A search point goes to the middle, so that its marker and the
    // dispersion line leading to it are in view as well.
    if (centre)
        x -= m_scroll->viewport()->width() / 2;
    m_scroll->horizontalScrollBar()->setValue(std::max(x, 0));
}

void NativeDynamicView::scrollToPointLater(int point)
{
    QTimer::singleShot(0, this, [this, point] { scrollToPoint(point, true); });
}

void NativeDynamicView::onSpectrumClicked(int number)
{
    if (m_animationBar->isPlaying()) {
        stopAnimation();
        return;
    }
    if (!m_builder.hasData())
        return;
    emit pointClicked(std::clamp(int(number - m_builder.pointNumber(0)), 0, m_builder.npoints() - 1));
}

// ---------------------------------------------------------------- animation

int NativeDynamicView::animationWindow() const
{
    return animationWindowPoints(m_scroll->viewport()->width(), cellWidth(), m_builder.npoints());
}

void NativeDynamicView::placeAnimationBar()
{
    const NativeForm *form = m_module->form();
    if (!form->dynamicOn() || form->dynamicType() != NativeForm::Animation || !m_builder.hasData()) {
        m_animationBar->hide();
        return;
    }
    const QRect gap = m_spectrum->bottomGapRect();
    const QRect viewport = m_scroll->viewport()->geometry();
    int y = viewport.bottom() - NativeAnimationBar::barHeight;
    if (!gap.isEmpty())
        y = std::min(y, m_spectrum->mapTo(m_scroll, gap.topLeft()).y());
    m_animationBar->setGeometry(viewport.left(), std::max(y, viewport.top()), viewport.width(),
                                NativeAnimationBar::barHeight);
    if (!m_animationBar->isPlaying())
        m_animationBar->setWindow(m_builder.npoints(), animationWindow());
    showWindowLabel(m_animationBar->position(), animationWindow());
    m_animationBar->show();
    m_animationBar->raise();
}

void NativeDynamicView::showWindowLabel(int first, int window)
{
    m_animationBar->setLabelText(QStringLiteral("Points %1–%2 of %3")
                                     .arg(m_builder.pointText(first), m_builder.pointText(first + window - 1))
                                     .arg(m_builder.npoints()));
}

void NativeDynamicView::toggleAnimation()
{
    if (m_animationBar->isPlaying())
        stopAnimation();
    else
        startAnimation();
}

void NativeDynamicView::startAnimation()
{
    const NativeForm *form = m_module->form();
    if (!m_builder.hasData() || !form->dynamicOn() || form->dynamicType() != NativeForm::Animation)
        return;
    if (m_spectrum->pointCount() == 0)
        update();
    placeAnimationBar();
    m_animationBar->start(m_builder.npoints(), animationWindow());
}

void NativeDynamicView::stopAnimation()
{
    if (m_animationBar->stop())
        emit animationStopped();
}

void NativeDynamicView::onAnimationSliderChanged(int value)
{
    if (!m_builder.hasData())
        return;
    const int npoints = m_builder.npoints();
    const int w = animationWindow();
    const int v = std::clamp(value, 0, std::max(npoints - w, 0));
    showWindowLabel(v, w);
    scrollToPoint(v, false);
    emit animationMoved();
}
