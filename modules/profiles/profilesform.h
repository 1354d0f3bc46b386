#pragma once

#include "astro/fluxcalculator.h"
#include "astro/fluxsitedefaults.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class ShellDialogs;
namespace Ui {
class ProfileForm;
}

// The control form of the profiles module, built from profilesform.ui: the
// date, dispersion and period choices with their arrows, the graph options,
// the print group and the flux density calculator (plus a statistics group
// and a few controls that are built hidden and do nothing). Holds no data:
// it tells its module what the user did through signals, and the module
// reads the controls when it draws. Owns its widgets; GUI thread only.
class ProfilesForm : public QWidget
{
    Q_OBJECT

public:
    explicit ProfilesForm(QWidget *parent = nullptr);
    ~ProfilesForm() override;

    const Ui::ProfileForm &ui() const { return *m_ui; }
    // Where the form's own warnings go: the module's dialogs, asked each time
    // because a module's dialogs may be replaced.
    void setDialogs(const std::function<ShellDialogs &()> &dialogs) { m_dialogs = dialogs; }

    // Refill a list keeping the current text when the new list holds it
    // (else the first item); no change signal.
    void setDates(const QStringList &dates);
    void setDispersions(const QStringList &dms);
    void setPeriods(const QStringList &periods);
    void setDirectory(const QString &directory);
    // Selects an item by its text when the list holds it; no change signal.
    void selectDispersion(const QString &dm);
    void selectPeriod(const QString &period);

    QString date() const;
    QString dispersion() const;
    QString period() const;
    QString printPeriod() const;
    QString printDispersion() const;
    QString pulsarName() const;
    int averageWindow() const;

    // The calculator group on (checked, contents shown) or off, without
    // signals.
    void setCalculatorOn(bool on);
    bool isCalculatorOn() const;
    // The Zoom option without signals.
    void setZoomChecked(bool checked);

    FluxInput calculatorInput() const;
    void showFluxResult(const FluxResult &result);
    void showHalfWidth(const HalfWidth &width);
    void showPeakArea(int n1, int n2, double period1, double period2);
    void applySiteDefaults(const FluxSiteDefaults &defaults);
    // Empties the result fields and restores the temperatures.
    void clearCalculatorResults();

signals:
    void oneGraphRequested();
    void multiGraphRequested();
    void graphOptionsChanged();
    void dateChanged();
    void dispersionChanged();
    void periodChanged();
    void averageChanged();
    void pulsarNameEdited();
    void printHeadingEdited();
    void zoomChanged();
    void sortSnrChanged();
    void showSizeRequested();
    void saveImageRequested();
    void saveScreenRequested();
    void calculatorToggled(bool on);
    void calculatorFieldChanged();
    void calculateAndShowRequested();
    void clearCalculatorRequested();
    void calculateW50Requested();

private:
    void connectSteppers();
    void connectOptions();
    void connectCalculator();
    void onAverageChanged(int window);

    std::unique_ptr<Ui::ProfileForm> m_ui;
    std::function<ShellDialogs &()> m_dialogs;
};
