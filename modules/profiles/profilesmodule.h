#pragma once

#include "data/profileset.h"
#include "data/profiletable.h"
#include "modules/profiles/profilegraphbuilder.h"
#include "modules/profiles/profilescanjob.h"
#include "plot/multigrafikspanel.h"
#include "workspace/moduleworkspace.h"

#include <QMap>
#include <QPointer>
#include <QVariantMap>

class ProfilesCalculator;
class ProfilesForm;

// The average profiles module: scans a directory of profile files on a
// worker thread (behind the workspace's overlay and progress bar), then shows
// the profile of a date, DM and period as one graph, or the periods and DMs
// of a date as a table of thumbnails, saves them as pictures and feeds the
// flux density calculator. Owns its form, the calculator, the scan job, the
// profile set with its maximum-SNR map (replaced only by the scan), the
// table on display and the inputs of the single graph (replaced by every
// draw). GUI thread, except the scan.
class ProfilesModule : public ModuleWorkspace
{
    Q_OBJECT

public:
    explicit ProfilesModule(const QString &directory, QWidget *parent = nullptr);
    ~ProfilesModule() override;

    ProfilesForm *form() const { return m_form; }
    ProfilesCalculator *calculator() const { return m_calculator; }
    QString directory() const { return m_directory; }
    bool isScanning() const;
    bool isOneGraphMode() const { return m_oneGraph; }
    const ProfileSet &profileSet() const { return m_set; }
    // The values of the single graph (after averaging and centring).
    const QVector<double> &currentProfile() const;
    const ProfileTable &table() const { return m_table; }
    MultiGrafiksPanel *thumbnailPanel() const { return m_panel; }
    QString suggestedImageName() const;

    // Chooses a DM and a period of the current date in the form (the period
    // list follows the DM), as a click on their thumbnail does; no drawing.
    void selectProfile(const QString &dm, const QString &period);
    void drawOneGraph();
    void drawMultiGraphs();
    void showPrintSize();
    void saveImage();

signals:
    // The scan has ended; on failure the module has nothing to show and the
    // error is worded for the user.
    void scanFinished(bool ok, const QString &error);

public slots:
    void onScanFinished(const ProfileScanOutcome &outcome);
    void onDateOrDispersionChanged();
    void onPeriodChanged();
    void onRedrawSingle();
    void onZoomChanged();
    void onSortSnrChanged();
    void onGraphClicked();
    void onIntegralSnrRequested(int a, int b);
    void onMiniGrafikClicked(int row, int col, const QVariantMap &parameters);

private:
    void connectForm();
    void fillPeriods();
    void fillDates();
    void redraw();
    GraphSpec singleGraphSpec() const;
    void showSingleGraph();
    void warn(const QString &text);

    QString m_directory;
    ProfileSet m_set;
    QMap<QString, double> m_maxima;
    ProfilesForm *m_form = nullptr;
    ProfilesCalculator *m_calculator = nullptr;
    ProfileScanJob *m_job = nullptr;
    bool m_oneGraph = false;
    // A press inside the selection asks for the integral SNR; the click it
    // ends in keeps the single graph.
    bool m_keepAfterClick = false;
    ProfileGraphInput m_graph;   // the single graph without its calculator lines
    ProfileTable m_table;
    QPointer<MultiGrafiksPanel> m_panel;
};
