#pragma once

#include "data/daygraphcontent.h"
#include "data/multidaystatus.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class NativeMultiDayForm;
}

// The multi-day module's controls, built from its designer form: curve
// colours and the dispersion, the day by date or file name, the table's
// size, the processing chain, the header lines, the view and green-dates
// buttons, the status lines and the directory. Holds no data beyond the
// current day's path and the view flag; talks to the module by signals, and
// the module reads the settings when it draws. GUI thread only.
class NativeMultiDayForm : public QWidget
{
    Q_OBJECT

public:
    explicit NativeMultiDayForm(QWidget *parent = nullptr);
    ~NativeMultiDayForm() override;

    double dispersion() const;
    // The table's columns and thumbnail size, clamped.
    int columns() const;
    int thumbnailWidth() const;
    int thumbnailHeight() const;
    // Everything a day's graph depends on, as the controls stand.
    DayGraphSettings graphSettings() const;

    QString currentFilePath() const { return m_currentFilePath; }
    // Makes the day of that path current and selects it in both combos when
    // the single graph is shown (signals blocked).
    void selectFile(const QString &path);
    bool isOneGraph() const { return m_oneGraph; }
    void setOneGraph(bool oneGraph);
    // Refills the date and file combos with the days (parallel lists); the
    // current day stays when it is still there, else the first becomes current.
    void setDays(const QStringList &dates, const QStringList &fileNames, const QStringList &paths);

    void setStatusText(const QString &text);
    void setInfoText(const QString &text);
    void setSiteFields(const SiteFields &fields);
    // Empties "Plosh" and "Tresolution" on their pink background.
    void clearSiteFields();
    void setDirectory(const QString &path);
    // Turns off the buttons that act on the loaded days while a load runs.
    void setLoading(bool loading);

signals:
    void dataRebuildRequested();
    void tableRebuildRequested();
    void oneGraphRequested();
    void multiGraphsRequested();
    void observationChanged();
    void saveScreenRequested();
    void graphAppearanceChanged();
    void graphProcessingChanged();
    void saveGreenDatesRequested();
    void clearAllGreenRequested();
    void writeGreenFilesRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void connectArrows(QComboBox *combo, QPushButton *previous, QPushButton *next);
    void onDayChosen(QComboBox *chosen, int index);
    void updateSwatch(QLineEdit *field, QLabel *swatch);
    void showSelection();
    void fitDirectoryBox();

    std::unique_ptr<Ui::NativeMultiDayForm> m_ui;
    QString m_currentFilePath;
    bool m_oneGraph = false;
};
