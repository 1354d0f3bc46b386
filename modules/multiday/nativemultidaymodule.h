#pragma once

#include "data/daygraphcontent.h"
#include "data/dayplot.h"
#include "plot/graphspec.h"
#include "workspace/moduleworkspace.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <memory>

class MiniGrafik;
class MultiDayDialogs;
class MultiDayLoader;
class MultiGrafiksPanel;
class NativeMultiDayForm;
struct GreenDatesReport;

// The multi-day view of one observation directory: loads every day's channel
// sums (through a MultiDayLoader, off the GUI thread, in scan order), shows
// them as a table of thumbnails or one day large, and keeps the green dates.
// Owns its form, the days of the last load and their processed graphs, the
// green-date set, the loader and the table panel. A DM change reloads every file and abandons the load
// under way; destroying the module abandons it too. GUI thread only.
class NativeMultiDayModule : public ModuleWorkspace
{
    Q_OBJECT

public:
    NativeMultiDayModule(const QString &directory, QWidget *parent = nullptr);
    ~NativeMultiDayModule() override;

    // Replaces the module's own dialogs (the Yes/No question, rich messages).
    void setMultiDayDialogs(std::unique_ptr<MultiDayDialogs> dialogs);

    NativeMultiDayForm *form() const { return m_form; }
    MultiGrafiksPanel *table() const { return m_table; }
    const QVector<DayPlot> &days() const { return m_days; }
    const QSet<QString> &greenDates() const { return m_green; }
    bool isLoading() const;
    bool isOneGraph() const { return m_oneGraph; }
    quint64 loadGeneration() const;
    // The graph of one day for the single-graph view.
    GraphSpec oneGraphSpec(const DayPlot &day) const;

public slots:
    void load();
    void rebuildTable();
    // Shows the form's current day alone (the first day when it is not there).
    void showOneDay();
    void showTable();
    void toggleGreen(const QString &date);
    void clearAllGreen();
    void saveGreenDates();
    void writeGreenFiles();

private:
    void connectForm();
    void finishLoad();
    void updateStatus();
    // Colours, header lines or processing changed: the shown graphs follow.
    void onGraphSettingsChanged();
    void onTableFieldsChanged();
    void onObservationChanged();
    void recolourDate(const QString &date);
    const DayPlot *currentDay() const;
    void showReport(const GreenDatesReport &report);

    QString m_directory;
    NativeMultiDayForm *m_form = nullptr;
    std::unique_ptr<MultiDayDialogs> m_multiDayDialogs;
    QVector<DayPlot> m_days;
    // The processed graphs of the days in their shown order, and the
    // processing they were made with; emptied by every load.
    QVector<DayGraphContent> m_contents;
    QString m_contentsKey;
    int m_skipped = 0;
    QStringList m_multiPairFiles;
    MultiDayLoader *m_loader = nullptr;
    MultiGrafiksPanel *m_table = nullptr;
    QHash<QString, QVector<MiniGrafik *>> m_thumbnailsByDate;
    bool m_oneGraph = false;
    bool m_firstLoadDone = false;
    QSet<QString> m_green;
};
