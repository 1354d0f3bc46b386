#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class ModuleWorkspace;
class ProfilesForm;

// The flux density calculator of the profiles module: turns the form's
// fields and the profile on display into results, the half-width, the
// clipboard texts and the reports, and answers the plot's peak selection and
// integral-SNR requests. Holds the profile on display (a copy of the shown
// values, replaced by every single graph) and whether the single graph is
// shown; the form and the workspace belong to the module, which owns this
// object. GUI thread only.
class ProfilesCalculator : public QObject
{
    Q_OBJECT

public:
    ProfilesCalculator(ProfilesForm *form, ModuleWorkspace *workspace);

    // A single graph is about to show these values of the file: the
    // profile's height and points, the peak's times, the half-width and the
    // site defaults go into the form.
    void profileShown(const QVector<double> &values, const QString &fileName);
    // The multi-graph view: the calculator has no profile.
    void profileHidden();
    bool hasProfile() const { return m_oneGraph && !m_values.isEmpty(); }
    const QVector<double> &values() const { return m_values; }

    // Whether the plot draws the helper lines (half level, peak bounds).
    bool showsHelperLines() const;

public slots:
    void onCalculatorToggled(bool on);
    void onFieldChanged();
    void onPeakAreaSelected(int x1, int x2);
    void calculateAndShow();
    void calculateW50();
    void clear();
    void showIntegralSnr(int a, int b);

signals:
    // The helper lines or the plot's use of the mouse changed: redraw.
    void graphChanged();

private:
    enum class Errors { Shown, Quiet };
    // Runs the calculation on the form's fields into the result fields;
    // false (with a warning when shown) on a failed check.
    bool calculate(Errors errors);
    void updateHalfWidth();

    ProfilesForm *m_form;
    ModuleWorkspace *m_workspace;
    QVector<double> m_values;
    bool m_oneGraph = false;
};
