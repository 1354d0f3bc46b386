#include "modules/profiles/profilesmodule.h"

#include "astro/profileview.h"
#include "data/profilefile.h"
#include "modules/profiles/profilescalculator.h"
#include "modules/profiles/profilesform.h"
#include "modules/profiles/profilesrules.h"
#include "plot/grafiks.h"
#include "plot/graphpanel.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"
#include "ui/imagesave.h"
#include "ui/savelocation.h"
#include "ui/shelldialogs.h"
#include "ui_profilesform.h"

#include <QFileInfo>
#include <QImage>
#include <QStackedWidget>

ProfilesModule::ProfilesModule(const QString &directory, QWidget *parent)
    : ModuleWorkspace(parent)
    , m_directory(directory)
    , m_form(new ProfilesForm(this))
    , m_job(new ProfileScanJob(this))
{
    m_form->setDialogs([this]() -> ShellDialogs & { return dialogs(); });
    m_calculator = new ProfilesCalculator(m_form, this);
    setForm(m_form, 0);
    setFormWidth(535);
    connectForm();

    connect(m_job, &ProfileScanJob::progressChanged, this, [this](int percent) {
        setProgressBusy(percent < 0);
        if (percent >= 0)
            setProgressValue(percent);
    });
    connect(m_job, &ProfileScanJob::finished, this, &ProfilesModule::onScanFinished);
    setLoadingOverlay(true, QStringLiteral("Reading the profiles. Please wait..."));
    setProgressVisible(true);
    setProgressBusy(true);
    m_job->start(directory);
}

ProfilesModule::~ProfilesModule()
{
    m_job->cancel();
}

void ProfilesModule::connectForm()
{
    connect(m_form, &ProfilesForm::oneGraphRequested, this, &ProfilesModule::drawOneGraph);
    connect(m_form, &ProfilesForm::multiGraphRequested, this, &ProfilesModule::drawMultiGraphs);
    connect(m_form, &ProfilesForm::graphOptionsChanged, this, &ProfilesModule::redraw);
    connect(m_form, &ProfilesForm::dateChanged, this, &ProfilesModule::onDateOrDispersionChanged);
    connect(m_form, &ProfilesForm::dispersionChanged, this, &ProfilesModule::onDateOrDispersionChanged);
    connect(m_form, &ProfilesForm::periodChanged, this, &ProfilesModule::onPeriodChanged);
    connect(m_form, &ProfilesForm::averageChanged, this, &ProfilesModule::onRedrawSingle);
    connect(m_form, &ProfilesForm::pulsarNameEdited, this, &ProfilesModule::onRedrawSingle);
    connect(m_form, &ProfilesForm::printHeadingEdited, this, &ProfilesModule::onRedrawSingle);
    connect(m_form, &ProfilesForm::zoomChanged, this, &ProfilesModule::onZoomChanged);
    connect(m_form, &ProfilesForm::sortSnrChanged, this, &ProfilesModule::onSortSnrChanged);
    connect(m_form, &ProfilesForm::showSizeRequested, this, &ProfilesModule::showPrintSize);
    connect(m_form, &ProfilesForm::saveImageRequested, this, &ProfilesModule::saveImage);
    connect(m_form, &ProfilesForm::saveScreenRequested, this, &ModuleWorkspace::startScreenCapture);
    connect(m_calculator, &ProfilesCalculator::graphChanged, this, [this] {
        if (m_oneGraph && !m_graph.values.isEmpty())
            showSingleGraph();
    });
    connect(plot(), &Grafiks::graphClicked, this, &ProfilesModule::onGraphClicked);
    connect(plot(), &Grafiks::peakAreaSelected, this, [this](int x1, int x2) {
        m_keepAfterClick = false;
        m_calculator->onPeakAreaSelected(x1, x2);
    });
    connect(plot(), &Grafiks::simplePeakInfoRequested, this, &ProfilesModule::onIntegralSnrRequested);
}

bool ProfilesModule::isScanning() const
{
    return m_job->isRunning();
}

const QVector<double> &ProfilesModule::currentProfile() const
{
    return m_calculator->values();
}

void ProfilesModule::onScanFinished(const ProfileScanOutcome &outcome)
{
    setLoadingOverlay(false);
    setProgressVisible(false);
    if (!outcome.ok) {
        emit scanFinished(false, outcome.error);
        return;
    }
    m_set = outcome.set;
    m_maxima = outcome.maxima;
    const Ui::ProfileForm &ui = m_form->ui();
    {
        const QSignalBlocker blocker(ui.sortSnr);
        ui.sortSnr->setChecked(true);
    }
    m_form->setDispersions(profileDispersions(m_set));
    fillDates();
    fillPeriods();
    m_form->setDirectory(m_directory);
    drawMultiGraphs();
    emit scanFinished(true, QString());
}

void ProfilesModule::fillDates()
{
    const bool bySnr = m_form->ui().sortSnr->isChecked();
    m_form->setDates(profileDates(m_set, bySnr ? ProfileDateOrder::MaximumSnr : ProfileDateOrder::Text, m_maxima));
}

void ProfilesModule::fillPeriods()
{
    QStringList periods;
    const QString path = findProfileFile(m_set, m_form->date(), m_form->dispersion());
    if (!path.isEmpty())
        readProfilePeriods(path, &periods);
    m_form->setPeriods(periods);
}

void ProfilesModule::redraw()
{
    if (m_oneGraph)
        drawOneGraph();
    else
        drawMultiGraphs();
}

void ProfilesModule::warn(const QString &text)
{
    dialogs().warning(this, QStringLiteral("Error"), text);
}

void ProfilesModule::onDateOrDispersionChanged()
{
    fillPeriods();
    redraw();
}

void ProfilesModule::onPeriodChanged()
{
    if (m_oneGraph) {
        drawOneGraph();
        return;
    }
    const int row = m_table.rowOf(m_form->period());
    const int column = m_table.columnOf(m_form->dispersion());
    if (m_panel && row >= 0 && column >= 0)
        m_panel->ensureVisible(row, column, 50, 50);
}

void ProfilesModule::onRedrawSingle()
{
    if (m_oneGraph)
        drawOneGraph();
}

void ProfilesModule::onSortSnrChanged()
{
    fillDates();
    fillPeriods();
    redraw();
}

void ProfilesModule::onZoomChanged()
{
    const bool zoom = m_form->ui().zoom->isChecked();
    if (m_oneGraph) {
        if (m_form->isCalculatorOn() || !zoom)
            plot()->resetZoom();
        if (!m_graph.values.isEmpty())
            showSingleGraph();
        return;
    }
    // The calculator stays off in the table view.
    m_form->setCalculatorOn(false);
    plot()->setZoomEnabled(zoom);
    if (!zoom) {
        plot()->resetZoom();
        plot()->update();
    }
}

void ProfilesModule::onGraphClicked()
{
    if (m_keepAfterClick) {
        m_keepAfterClick = false;
        return;
    }
    if (m_oneGraph)
        drawMultiGraphs();
}

void ProfilesModule::onIntegralSnrRequested(int a, int b)
{
    m_keepAfterClick = true;
    m_calculator->showIntegralSnr(a, b);
}

void ProfilesModule::onMiniGrafikClicked(int, int, const QVariantMap &parameters)
{
    selectProfile(parameters.value(QStringLiteral("dispersion")).toString(),
                  parameters.value(QStringLiteral("period")).toString());
    drawOneGraph();
}

void ProfilesModule::selectProfile(const QString &dm, const QString &period)
{
    m_form->selectDispersion(dm);
    fillPeriods();
    m_form->selectPeriod(period);
}

void ProfilesModule::drawOneGraph()
{
    m_oneGraph = true;
    setLegendVisible(true);
    showGraphArea();

    const QString date = m_form->date();
    const QString dm = m_form->dispersion();
    const QString period = m_form->period();
    if (date.isEmpty())
        return warn(QStringLiteral("Select a date."));
    if (dm.isEmpty())
        return warn(QStringLiteral("Select a dispersion."));
    if (period.isEmpty())
        return warn(QStringLiteral("Select a period."));
    const QString path = findProfileFile(m_set, date, dm);
    if (path.isEmpty())
        return warn(QStringLiteral("No profile file for date=%1, DM=%2.").arg(date, dm));
    QVector<double> raw;
    if (!readProfileValues(path, period, &raw))
        return warn(QStringLiteral("No SNR data for period=%1 in file:\n%2").arg(period, path));

    const Ui::ProfileForm &ui = m_form->ui();
    const int window = m_form->averageWindow();
    const ProfileView view = profileView(raw, window, ui.shiftMaxToCenter->isChecked());
    ProfileCaption caption;
    caption.dm = m_form->printDispersion();
    caption.period = m_form->printPeriod();
    caption.date = date;
    caption.fileName = QFileInfo(path).fileName();
    caption.maximum = view.maximum;
    caption.window = window;
    caption.showMax = ui.showMax->isChecked();
    caption.showDate = ui.showDate->isChecked();

    m_calculator->profileShown(view.values, caption.fileName);
    ui.groupBoxCalculator->show();
    m_form->setCalculatorOn(!ui.zoom->isChecked());

    m_graph = ProfileGraphInput();
    m_graph.values = view.values;
    m_graph.key = QStringLiteral("profile|%1|%2").arg(path, period);
    m_graph.pulsarName = m_form->pulsarName();
    m_graph.legendLines = profileLegendLines(caption);
    m_graph.informationLines = profileInformationLines(caption);
    m_graph.rangeFixed = view.rangeFixed;
    m_graph.range = view.range;
    showSingleGraph();
}

void ProfilesModule::showSingleGraph()
{
    showGraph(singleGraphSpec());
}

GraphSpec ProfilesModule::singleGraphSpec() const
{
    const Ui::ProfileForm &ui = m_form->ui();
    ProfileGraphInput input = m_graph;
    input.lineWidth = ui.lineThickness->value();
    input.forPrint = ui.forPrint->isChecked();
    input.peakSelection = m_form->isCalculatorOn();
    input.zoom = ui.zoom->isChecked();
    input.helperLines = m_calculator->showsHelperLines();
    if (input.helperLines) {
        const FluxInput fields = m_form->calculatorInput();
        input.halfLevel = fields.H * 0.5;
        input.n1 = ui.calc_n1->text().isEmpty() ? -1 : fields.n1;
        input.n2 = ui.calc_n2->text().isEmpty() ? -1 : fields.n2;
    }
    return buildProfileGraphSpec(input);
}

void ProfilesModule::drawMultiGraphs()
{
    m_oneGraph = false;
    m_calculator->profileHidden();
    m_graph = ProfileGraphInput();
    m_form->setCalculatorOn(false);
    setLegendVisible(false);

    const Ui::ProfileForm &ui = m_form->ui();
    ProfileTable table = ProfileTable::build(m_set, m_form->date(), m_form->averageWindow(),
                                             ui.shiftMaxToCenter->isChecked());
    if (!table.isValid())
        return warn(table.error());
    m_table = table;

    const QSize size = thumbnailSize(ui.multiWidth->text(), ui.multiHeight->text());
    const bool showMax = ui.showMax->isChecked();
    QVector<QVector<QWidget *>> cells(m_table.periods().size());
    for (int row = 0; row < cells.size(); ++row) {
        cells[row].resize(m_table.dispersions().size());
        for (int column = 0; column < cells[row].size(); ++column) {
            const GraphSpec spec = buildProfileThumbnailSpec(m_table, row, column, showMax);
            if (spec.series.isEmpty())
                continue;
            auto *thumbnail = new MiniGrafik(size.width(), size.height());
            thumbnail->setGraphSpec(spec, row, column,
                                    {{QStringLiteral("dispersion"), m_table.dispersions().at(column)},
                                     {QStringLiteral("period"), m_table.periods().at(row)}});
            connect(thumbnail, &MiniGrafik::clicked, this, &ProfilesModule::onMiniGrafikClicked);
            cells[row][column] = thumbnail;
        }
    }
    if (!m_panel) {
        m_panel = new MultiGrafiksPanel;
        setAlternativePage(m_panel);
    }
    m_panel->setGrid(size.width(), size.height(), m_table.columnHeaders(), m_table.rowHeaders(), cells);
    graphStack()->setCurrentWidget(m_panel);
}

void ProfilesModule::showPrintSize()
{
    if (!m_oneGraph)
        return warn(QStringLiteral("Switch to single-graph mode."));
    const Ui::ProfileForm &ui = m_form->ui();
    const QSize requested = printSize(ui.printWidth->text(), ui.printHeight->text());
    if (!requested.isValid())
        return warn(QStringLiteral("Set a non-zero window size."));
    QWidget *top = window();
    top->resize(windowSizeForPlot(top->size(), plot()->size(), requested));
}

QString ProfilesModule::suggestedImageName() const
{
    return profileImageFileName(m_form->pulsarName(), profileModuleRayTag(m_directory, m_set), m_oneGraph,
                                m_form->printPeriod(), m_form->printDispersion(), m_form->date(), QString());
}

void ProfilesModule::saveImage()
{
    const QString path = askImagePath(dialogs(), this, suggestedImageName());
    if (path.isEmpty())
        return warn(QStringLiteral("File name was not selected"));
    QWidget *source = m_oneGraph ? static_cast<QWidget *>(plot())
                                 : (m_panel ? m_panel->gridHost() : nullptr);
    if (!source || (m_oneGraph && m_graph.values.isEmpty()))
        return warn(QStringLiteral("No graph to save."));

    const Ui::ProfileForm &ui = m_form->ui();
    const QSize requested = printSize(ui.printWidth->text(), ui.printHeight->text());
    QImage image;
    if (m_oneGraph && requested.isValid()) {
        // The picture has the print size whatever the window's size: the
        // same graph and visible range drawn by a plot of that size.
        Grafiks print;
        print.setGraphSpec(singleGraphSpec());
        const QPair<double, double> visible = plot()->visibleXRange();
        print.setVisibleXRange(visible.first, visible.second);
        print.resize(requested);
        image = print.grab().toImage();
    } else {
        image = source->grab().toImage();
    }
    if (!writePngImage(image, path))
        return warn(QStringLiteral("Failed to save image:\n%1").arg(path));
    SaveLocation::rememberSavedFile(path);
}
