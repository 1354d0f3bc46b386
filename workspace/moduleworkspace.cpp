#include "workspace/moduleworkspace.h"

#include "capture/capturerules.h"
#include "capture/screenregionselector.h"
#include "capture/screenshoteditor.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "ui/shelldialogs.h"
#include "workspace/hourglasssymbol.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QStackedLayout>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

ModuleWorkspace::ModuleWorkspace(QWidget *parent)
    : QWidget(parent)
    , m_dialogs(std::make_unique<ShellDialogs>())
{
    m_content = new QWidget(this);
    m_content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_formPanel = new QWidget(m_content);
    m_formPanel->setFixedWidth(280);
    m_formPanel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

    m_primaryPanel = new GraphPanel;
    m_graphArea = new GraphArea;
    m_graphArea->setPrimaryPanel(m_primaryPanel);
    m_graphArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_graphStack = new QStackedWidget;
    m_graphStack->addWidget(m_graphArea);

    m_graphHost = new QWidget(m_content);
    m_graphHost->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_hostLayout = new QStackedLayout(m_graphHost);
    m_hostLayout->setStackingMode(QStackedLayout::StackAll);
    m_hostLayout->setContentsMargins(0, 0, 0, 0);

    m_graphPage = new QWidget;
    auto *pageLayout = new QVBoxLayout(m_graphPage);
    pageLayout->setContentsMargins(15, 15, 15, 15);
    pageLayout->setSpacing(0);
    pageLayout->addWidget(m_graphStack);

    m_overlay = new QWidget;
    m_overlay->setStyleSheet(QStringLiteral("background-color: white;"));
    auto *overlayLayout = new QVBoxLayout(m_overlay);
    overlayLayout->setContentsMargins(20, 20, 20, 20);
    overlayLayout->setSpacing(12);
    auto *hourglass = new QLabel;
    hourglass->setObjectName(QStringLiteral("loadingHourglass"));
    // As tall as a glyph 24 points above the label's font would be.
    QFont hourglassFont = hourglass->font();
    hourglassFont.setPointSize(hourglassFont.pointSize() + 24);
    hourglass->setPixmap(HourglassSymbol::pixmap(QFontMetrics(hourglassFont).height(),
                                                 hourglass->palette().color(QPalette::WindowText),
                                                 hourglass->devicePixelRatioF()));
    hourglass->setAlignment(Qt::AlignCenter);
    m_overlayText = new QLabel(QStringLiteral("Preparing a large file. Please wait..."));
    QFont textFont = m_overlayText->font();
    textFont.setPointSize(textFont.pointSize() + 2);
    m_overlayText->setFont(textFont);
    m_overlayText->setAlignment(Qt::AlignCenter);
    overlayLayout->addStretch(1);
    overlayLayout->addWidget(hourglass);
    overlayLayout->addWidget(m_overlayText);
    overlayLayout->addStretch(1);

    m_hostLayout->addWidget(m_graphPage);
    m_hostLayout->addWidget(m_overlay);
    m_hostLayout->setCurrentWidget(m_graphPage);
    m_overlay->hide();

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(true);
    m_progress->setFormat(QStringLiteral("%p%"));
    m_progress->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int barHeight = m_progress->sizeHint().height();
    m_progress->setMinimumHeight(barHeight);
    m_progress->setMaximumHeight(barHeight);
    m_progress->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_progress->hide();

    auto *contentLayout = new QHBoxLayout(m_content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);
    contentLayout->addWidget(m_formPanel, 0, Qt::AlignLeft);
    contentLayout->addWidget(m_graphHost, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_content, 1);
    layout->addWidget(m_progress, 0);
}

ModuleWorkspace::~ModuleWorkspace() = default;

ShellDialogs &ModuleWorkspace::dialogs() const
{
    return *m_dialogs;
}

void ModuleWorkspace::setDialogs(std::unique_ptr<ShellDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

QWidget *ModuleWorkspace::formPanel() const
{
    return m_formPanel;
}

QWidget *ModuleWorkspace::content() const
{
    return m_content;
}

GraphPanel *ModuleWorkspace::primaryGraphPanel() const
{
    return m_primaryPanel;
}

Grafiks *ModuleWorkspace::plot() const
{
    return m_primaryPanel->plot();
}

InfoPanel *ModuleWorkspace::legendPanel() const
{
    return m_primaryPanel->infoPanel();
}

QWidget *ModuleWorkspace::alternativePage() const
{
    return m_alternativePage;
}

GraphArea *ModuleWorkspace::graphArea() const
{
    return m_graphArea;
}

QStackedWidget *ModuleWorkspace::graphStack() const
{
    return m_graphStack;
}

QWidget *ModuleWorkspace::loadingOverlay() const
{
    return m_overlay;
}

QLabel *ModuleWorkspace::loadingTextLabel() const
{
    return m_overlayText;
}

QProgressBar *ModuleWorkspace::progressBar() const
{
    return m_progress;
}

ScreenRegionSelector *ModuleWorkspace::captureSelector() const
{
    return m_selector;
}

GraphPanel *ModuleWorkspace::graphPanelAt(int index) const
{
    if (index < 0 || index >= m_graphPanels.size())
        return nullptr;
    return m_graphPanels[index];
}

int ModuleWorkspace::graphCount() const
{
    return m_graphArea->panelCount();
}

void ModuleWorkspace::setForm(QWidget *form, int margin)
{
    if (form && form->parentWidget() != m_formPanel)
        form->setParent(m_formPanel);
    if (QLayout *old = m_formPanel->layout()) {
        while (QLayoutItem *item = old->takeAt(0))
            delete item;
        delete old;
    }
    auto *layout = new QVBoxLayout(m_formPanel);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(0);
    if (form) {
        layout->addWidget(form, 1);
        form->show();
    }
}

void ModuleWorkspace::setFormWidth(int width)
{
    m_formPanel->setMinimumWidth(width);
    m_formPanel->setMaximumWidth(width);
    m_formPanel->setFixedWidth(width);
}

void ModuleWorkspace::setFormVisible(bool visible)
{
    m_formPanel->setVisible(visible);
}

void ModuleWorkspace::setLoadingOverlay(bool show, const QString &text)
{
    if (show) {
        m_hostLayout->setCurrentWidget(m_overlay);
        if (!text.isEmpty())
            m_overlayText->setText(text);
        m_overlay->show();
        m_overlay->raise();
    } else {
        m_hostLayout->setCurrentWidget(m_graphPage);
        m_overlay->hide();
    }
}

void ModuleWorkspace::setProgressVisible(bool visible)
{
    m_progress->setVisible(visible);
    if (visible)
        m_progress->setValue(0);
}

void ModuleWorkspace::setProgressBusy(bool busy)
{
    if (busy) {
        m_progress->setRange(0, 0);
        m_progress->setFormat(QString());
    } else {
        m_progress->setRange(0, 100);
        m_progress->setFormat(QStringLiteral("%p%"));
    }
}

void ModuleWorkspace::setProgressValue(int value)
{
    m_progress->setValue(value);
}

void ModuleWorkspace::setLegendVisible(bool visible)
{
    legendPanel()->setVisible(visible);
}

void ModuleWorkspace::showGraph(const GraphSpec &spec)
{
    showGraphArea();
    m_primaryPanel->setGraphSpec(spec);
    m_primaryPanel->show();
}

void ModuleWorkspace::showGraphAt(int index, const GraphSpec &spec)
{
    if (index < 0)
        return;
    while (m_graphPanels.size() <= index)
        m_graphPanels.append(nullptr);
    GraphPanel *panel = m_graphPanels[index];
    if (!panel) {
        panel = new GraphPanel;
        m_graphPanels[index] = panel;
        m_graphArea->setPanel(index, panel);
    }
    panel->setGraphSpec(spec);
    panel->show();
}

void ModuleWorkspace::setGraphVisibleAt(int index, bool visible)
{
    m_graphArea->setPanelVisible(index, visible);
}

void ModuleWorkspace::showGraphArea()
{
    m_graphStack->setCurrentWidget(m_graphArea);
}

void ModuleWorkspace::setAlternativePage(QWidget *page)
{
    if (!page)
        return;
    if (m_alternativePage && m_alternativePage != page) {
        m_graphStack->removeWidget(m_alternativePage);
        m_alternativePage->deleteLater();
    }
    m_alternativePage = page;
    m_graphStack->addWidget(page);
    m_graphStack->setCurrentWidget(page);
}

void ModuleWorkspace::startScreenCapture()
{
    if (!m_content || m_selector)
        return;
    m_selector = new ScreenRegionSelector(m_content);
    connect(m_selector, &ScreenRegionSelector::regionSelected, this, [this](const QRect &rect) {
        m_selector = nullptr;
        // On the next turn, once the selector's outline is gone from the window.
        QTimer::singleShot(0, this, [this, rect] { captureRectangle(rect); });
    });
    connect(m_selector, &ScreenRegionSelector::selectionCanceled, this,
            [this] { m_selector = nullptr; });
    m_selector->start();
}

void ModuleWorkspace::captureRectangle(const QRect &rect)
{
    const QImage image = CaptureRules::renderWidgetRegion(m_content, rect);
    if (image.isNull()) {
        m_dialogs->warning(this, QStringLiteral("Error"), QStringLiteral("Cannot capture the selected area."));
        return;
    }
    ScreenshotEditor editor(image, this);
    editor.exec();
}
