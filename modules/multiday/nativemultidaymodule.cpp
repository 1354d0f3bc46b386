#include "modules/multiday/nativemultidaymodule.h"

#include "data/daygraphcontent.h"
#include "data/dayplotreader.h"
#include "data/greendates.h"
#include "data/multidayloader.h"
#include "data/multidaystatus.h"
#include "modules/multiday/multidaydialogs.h"
#include "modules/multiday/multidayrules.h"
#include "modules/multiday/nativemultidayform.h"
#include "plot/grafiks.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"
#include "ui/shelldialogs.h"

#include <QDir>
#include <QStackedWidget>
#include <QTimer>

namespace {

// Window and base of a plot in the given colour, so that its background shows
// whether the day is green.
void setPlotBackground(QWidget *plot, const QColor &colour)
{
    QPalette palette = plot->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setBrush(group, QPalette::Window, colour);
        palette.setBrush(group, QPalette::Base, colour);
    }
    plot->setPalette(palette);
    plot->update();
}

QColor dayBackground(bool green)
{
    return QColor(green ? greenDayBackground() : plainDayBackground());
}

} // namespace

NativeMultiDayModule::NativeMultiDayModule(const QString &directory, QWidget *parent)
    : ModuleWorkspace(parent)
    , m_directory(directory)
    , m_multiDayDialogs(std::make_unique<MultiDayDialogs>())
{
    m_form = new NativeMultiDayForm;
    setForm(m_form, 0);
    setFormWidth(m_form->minimumWidth());
    setLegendVisible(false);
    m_form->setDirectory(QDir::toNativeSeparators(directory));

    m_table = new MultiGrafiksPanel(this);
    m_table->hide();

    m_loader = new MultiDayLoader(this);
    connect(m_loader, &MultiDayLoader::dayReady, this, [this](int, const DayPlot &day) { m_days.append(day); });
    connect(m_loader, &MultiDayLoader::daySkipped, this, [this](int, bool severalPairs, const QString &fileName) {
        ++m_skipped;
        if (severalPairs)
            m_multiPairFiles.append(fileName);
    });
    connect(m_loader, &MultiDayLoader::progress, this, &ModuleWorkspace::setProgressValue);
    connect(m_loader, &MultiDayLoader::finished, this, &NativeMultiDayModule::finishLoad);

    connect(plot(), &Grafiks::graphClicked, this, &NativeMultiDayModule::showTable);
    connect(plot(), &Grafiks::graphRightClicked, this, [this] {
        if (const DayPlot *day = currentDay()) {
            toggleGreen(day->date);
            setPlotBackground(plot(), dayBackground(m_green.contains(day->date)));
        }
    });
    connectForm();
    // The window shows itself before the first file is read.
    QTimer::singleShot(0, this, &NativeMultiDayModule::load);
}

NativeMultiDayModule::~NativeMultiDayModule() = default;

void NativeMultiDayModule::setMultiDayDialogs(std::unique_ptr<MultiDayDialogs> dialogs)
{
    if (dialogs)
        m_multiDayDialogs = std::move(dialogs);
}

void NativeMultiDayModule::connectForm()
{
    connect(m_form, &NativeMultiDayForm::dataRebuildRequested, this, &NativeMultiDayModule::load);
    connect(m_form, &NativeMultiDayForm::tableRebuildRequested, this, &NativeMultiDayModule::onTableFieldsChanged);
    connect(m_form, &NativeMultiDayForm::oneGraphRequested, this, &NativeMultiDayModule::showOneDay);
    connect(m_form, &NativeMultiDayForm::multiGraphsRequested, this, &NativeMultiDayModule::showTable);
    connect(m_form, &NativeMultiDayForm::observationChanged, this, &NativeMultiDayModule::onObservationChanged);
    connect(m_form, &NativeMultiDayForm::saveScreenRequested, this, &ModuleWorkspace::startScreenCapture);
    connect(m_form, &NativeMultiDayForm::graphAppearanceChanged, this, &NativeMultiDayModule::onGraphSettingsChanged);
    connect(m_form, &NativeMultiDayForm::graphProcessingChanged, this, &NativeMultiDayModule::onGraphSettingsChanged);
    connect(m_form, &NativeMultiDayForm::saveGreenDatesRequested, this, &NativeMultiDayModule::saveGreenDates);
    connect(m_form, &NativeMultiDayForm::clearAllGreenRequested, this, &NativeMultiDayModule::clearAllGreen);
    connect(m_form, &NativeMultiDayForm::writeGreenFilesRequested, this, &NativeMultiDayModule::writeGreenFiles);
}

bool NativeMultiDayModule::isLoading() const
{
    return m_loader->isLoading();
}

quint64 NativeMultiDayModule::loadGeneration() const
{
    return m_loader->generation();
}

void NativeMultiDayModule::load()
{
    const QStringList paths = scanObservationDirectory(m_directory);
    if (paths.isEmpty()) {
        m_form->setInfoText(QStringLiteral("No pnt/pnthr/txt files found."));
        dialogs().warning(this, QStringLiteral("Error"),
                          QStringLiteral("No pnt/pnthr/txt files were found in the selected directory."));
        return;
    }
    setLoadingOverlay(true, QStringLiteral("Just a moment, we're loading the observations..."));
    setProgressBusy(false);
    setProgressValue(0);
    setProgressVisible(true);

    m_days.clear();
    m_contents.clear();
    m_green = readGreenDates(m_directory);
    if (!m_firstLoadDone)
        m_form->clearSiteFields();
    m_skipped = 0;
    m_multiPairFiles.clear();
    m_form->setLoading(true);
    m_loader->start(paths, m_form->dispersion());
}

void NativeMultiDayModule::finishLoad()
{
    if (!m_firstLoadDone) {
        m_form->setSiteFields(siteFields(m_directory, m_days));
        m_firstLoadDone = true;
    }
    m_form->setLoading(false);
    rebuildTable();
    updateStatus();
    setLoadingOverlay(false);
    setProgressVisible(false);
    if (!m_multiPairFiles.isEmpty())
        dialogs().warning(this, QStringLiteral("Error"),
                          QStringLiteral("The following files contain multiple module-beam pairs and will not be "
                                         "displayed: %1")
                              .arg(m_multiPairFiles.join(QStringLiteral(", "))));
}

void NativeMultiDayModule::rebuildTable()
{
    if (m_days.isEmpty()) {
        // Nothing of an earlier load stays on screen as if it were this one's.
        m_contents.clear();
        m_thumbnailsByDate.clear();
        m_table->clear();
        m_form->setDays({}, {}, {});
        m_form->setInfoText(QStringLiteral("No observations could be read."));
        return;
    }
    sortDays(&m_days);
    const TableGrid grid = tableGrid(m_days.size(), m_form->columns());
    const int width = m_form->thumbnailWidth();
    const int height = m_form->thumbnailHeight();
    // Colours, visibility and header lines alone need no new processing.
    const DayGraphSettings settings = m_form->graphSettings();
    const QString key = processingKey(settings);
    if (m_contents.size() != m_days.size() || key != m_contentsKey) {
        m_contents = dayGraphContents(m_days, settings);
        m_contentsKey = key;
    } else {
        for (int i = 0; i < m_days.size(); ++i)
            restyleDayGraphContent(&m_contents[i], m_days.at(i), settings);
    }

    m_thumbnailsByDate.clear();
    QVector<QVector<QWidget *>> cells(grid.rows, QVector<QWidget *>(grid.columns, nullptr));
    QStringList dates, names, paths;
    for (int i = 0; i < m_days.size(); ++i) {
        const DayPlot &day = m_days.at(i);
        const int row = i / grid.columns;
        const int col = i % grid.columns;
        auto *thumbnail = new MiniGrafik(width, height);
        thumbnail->setGraphSpec(dayGraphSpec(m_contents.at(i), true), row, col,
                                {{QStringLiteral("filePath"), day.filePath}, {QStringLiteral("date"), day.date}});
        thumbnail->setBackgroundColor(dayBackground(m_green.contains(day.date)));
        connect(thumbnail, &MiniGrafik::clicked, this, [this](int, int, const QVariantMap &parameters) {
            m_form->selectFile(parameters.value(QStringLiteral("filePath")).toString());
            showOneDay();
        });
        connect(thumbnail, &MiniGrafik::rightClicked, this, [this](int, int, const QVariantMap &parameters) {
            const QString date = parameters.value(QStringLiteral("date")).toString();
            toggleGreen(date);
            recolourDate(date);
        });
        cells[row][col] = thumbnail;
        m_thumbnailsByDate[day.date].append(thumbnail);
        dates << day.date;
        names << day.fileName;
        paths << day.filePath;
    }
    m_table->setGrid(width, height, grid.columnHeaders, grid.rowHeaders, cells);
    if (alternativePage() != m_table)
        setAlternativePage(m_table);
    else if (!m_oneGraph)
        graphStack()->setCurrentWidget(m_table);
    m_form->setDays(dates, names, paths);
    m_form->setInfoText(QString());
    updateStatus();
    if (m_oneGraph)
        showOneDay();
}

const DayPlot *NativeMultiDayModule::currentDay() const
{
    if (m_days.isEmpty())
        return nullptr;
    const QString path = m_form->currentFilePath();
    for (const DayPlot &day : m_days) {
        if (day.filePath == path)
            return &day;
    }
    return &m_days.first();
}

GraphSpec NativeMultiDayModule::oneGraphSpec(const DayPlot &day) const
{
    const DayGraphSettings settings = m_form->graphSettings();
    GraphSpec spec = dayGraphSpec(dayGraphContent(day, settings), false);
    // The zoom stays while only colours, visibility or header lines change.
    spec.key = day.filePath + QLatin1Char('|') + processingKey(settings);
    return spec;
}

void NativeMultiDayModule::showOneDay()
{
    const DayPlot *day = currentDay();
    if (!day)
        return;
    m_oneGraph = true;
    m_form->selectFile(day->filePath);
    m_form->setOneGraph(true);
    showGraph(oneGraphSpec(*day));
    setPlotBackground(plot(), dayBackground(m_green.contains(day->date)));
}

void NativeMultiDayModule::showTable()
{
    m_oneGraph = false;
    m_form->setOneGraph(false);
    rebuildTable();
}

void NativeMultiDayModule::toggleGreen(const QString &date)
{
    if (date.isEmpty())
        return;
    if (!m_green.remove(date))
        m_green.insert(date);
    updateStatus();
}

void NativeMultiDayModule::recolourDate(const QString &date)
{
    const QColor colour = dayBackground(m_green.contains(date));
    for (MiniGrafik *thumbnail : m_thumbnailsByDate.value(date))
        thumbnail->setBackgroundColor(colour);
}

void NativeMultiDayModule::clearAllGreen()
{
    if (m_green.isEmpty())
        return;
    const QSet<QString> cleared = m_green;
    m_green.clear();
    updateStatus();
    if (m_oneGraph)
        setPlotBackground(plot(), dayBackground(false));
    for (const QString &date : cleared)
        recolourDate(date);
}

void NativeMultiDayModule::saveGreenDates()
{
    GreenDatesReport report = ::saveGreenDates(m_directory, m_green, m_days);
    if (report.kind == GreenDatesReport::Kind::Question) {
        if (!m_multiDayDialogs->askYesNo(this, report.title, report.text))
            return;
        report = clearSavedGreenDates(m_directory);
    }
    showReport(report);
}

void NativeMultiDayModule::writeGreenFiles()
{
    showReport(::writeGreenFiles(m_directory, greenDayFiles(m_days, m_green)));
}

void NativeMultiDayModule::showReport(const GreenDatesReport &report)
{
    if (report.kind == GreenDatesReport::Kind::Warning)
        dialogs().warning(this, report.title, report.text);
    else if (report.richText)
        m_multiDayDialogs->richInformation(this, report.title, report.text);
    else
        dialogs().information(this, report.title, report.text);
}

void NativeMultiDayModule::updateStatus()
{
    m_form->setStatusText(multiDayStatusText(m_days.size(), m_skipped, greenDayCount(m_days, m_green)));
}

void NativeMultiDayModule::onGraphSettingsChanged()
{
    if (m_days.isEmpty() || isLoading())
        return;
    if (m_oneGraph)
        showOneDay();
    else
        rebuildTable();
}

void NativeMultiDayModule::onTableFieldsChanged()
{
    if (!m_oneGraph && !m_days.isEmpty() && !isLoading())
        rebuildTable();
}

void NativeMultiDayModule::onObservationChanged()
{
    if (m_oneGraph && !isLoading())
        showOneDay();
}
