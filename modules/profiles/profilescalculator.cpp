#include "modules/profiles/profilescalculator.h"

#include "astro/fluxcalculator.h"
#include "astro/fluxreport.h"
#include "astro/fluxsitedefaults.h"
#include "astro/integralsnr.h"
#include "astro/profileview.h"
#include "modules/profiles/profilesform.h"
#include "ui/shelldialogs.h"
#include "ui_profilesform.h"
#include "workspace/moduleworkspace.h"

#include <QClipboard>
#include <QGuiApplication>

ProfilesCalculator::ProfilesCalculator(ProfilesForm *form, ModuleWorkspace *workspace)
    : QObject(workspace)
    , m_form(form)
    , m_workspace(workspace)
{
    connect(form, &ProfilesForm::calculatorToggled, this, &ProfilesCalculator::onCalculatorToggled);
    connect(form, &ProfilesForm::calculatorFieldChanged, this, &ProfilesCalculator::onFieldChanged);
    connect(form, &ProfilesForm::calculateAndShowRequested, this, &ProfilesCalculator::calculateAndShow);
    connect(form, &ProfilesForm::clearCalculatorRequested, this, &ProfilesCalculator::clear);
    connect(form, &ProfilesForm::calculateW50Requested, this, &ProfilesCalculator::calculateW50);
}

void ProfilesCalculator::profileShown(const QVector<double> &values, const QString &fileName)
{
    m_oneGraph = true;
    m_values = values;
    const Ui::ProfileForm &ui = m_form->ui();
    double maximum = 0.0;
    if (const int index = firstMaximumIndex(values); index >= 0)
        maximum = values.at(index);
    ui.calc_H->setText(QString::number(maximum, 'g', 12));
    ui.calc_np->setText(QString::number(values.size()));

    const FluxInput input = m_form->calculatorInput();
    if (!ui.calc_n1->text().isEmpty() && !ui.calc_n2->text().isEmpty())
        m_form->showPeakArea(input.n1, input.n2, profilePointTime(input.n1, input.period, values.size()),
                             profilePointTime(input.n2, input.period, values.size()));
    updateHalfWidth();

    std::optional<double> delta = fileNameDeclinationDegrees(fileName);
    if (!delta && !ui.delta1->text().trimmed().isEmpty())
        delta = input.delta;
    m_form->applySiteDefaults(fluxSiteDefaults(fileName, ui.calc_n0->text(), delta));
}

void ProfilesCalculator::profileHidden()
{
    m_oneGraph = false;
    m_values.clear();
}

bool ProfilesCalculator::showsHelperLines() const
{
    return m_form->isCalculatorOn() && m_form->ui().calc_show_w50->isChecked();
}

void ProfilesCalculator::onCalculatorToggled(bool on)
{
    if (on && !m_oneGraph) {
        m_form->setCalculatorOn(false);
        m_workspace->dialogs().information(m_workspace, QStringLiteral("Calculator"),
                                           QStringLiteral("The calculator is available only in single-graph mode."));
        return;
    }
    // The plot's mouse selection now serves the peak area.
    if (on)
        m_form->setZoomChecked(false);
    emit graphChanged();
}

void ProfilesCalculator::onFieldChanged()
{
    if (!m_oneGraph)
        return;
    updateHalfWidth();
    emit graphChanged();
    // While a field is being typed its text is often incomplete, so a check
    // that fails here says nothing; "Calculate and Show" tells it.
    const Ui::ProfileForm &ui = m_form->ui();
    if (!ui.calc_n1->text().isEmpty() && !ui.calc_n2->text().isEmpty())
        calculate(Errors::Quiet);
}

void ProfilesCalculator::onPeakAreaSelected(int x1, int x2)
{
    if (!hasProfile() || !m_form->isCalculatorOn() || x1 == x2)
        return;
    const int n1 = qMin(x1, x2);
    const int n2 = qMax(x1, x2);
    const double period = m_form->calculatorInput().period;
    m_form->showPeakArea(n1, n2, profilePointTime(n1, period, m_values.size()),
                         profilePointTime(n2, period, m_values.size()));
    updateHalfWidth();
    calculate(Errors::Shown);
    emit graphChanged();
}

bool ProfilesCalculator::calculate(Errors errors)
{
    const FluxCalculation calculation = calculateFlux(m_form->calculatorInput(), m_values);
    if (!calculation.ok) {
        if (errors == Errors::Shown)
            m_workspace->dialogs().warning(m_workspace, QStringLiteral("Error"), calculation.error);
        return false;
    }
    m_form->showFluxResult(calculation.result);
    return true;
}

void ProfilesCalculator::calculateAndShow()
{
    const Ui::ProfileForm &ui = m_form->ui();
    const QString missing = missingPeakAreaText(ui.calc_n1->text(), ui.calc_n2->text());
    if (!missing.isEmpty()) {
        m_workspace->dialogs().warning(m_workspace, QStringLiteral("Error"), missing);
        return;
    }
    const FluxInput input = m_form->calculatorInput();
    const FluxCalculation calculation = calculateFlux(input, m_values);
    if (!calculation.ok) {
        m_workspace->dialogs().warning(m_workspace, QStringLiteral("Error"), calculation.error);
        return;
    }
    m_form->showFluxResult(calculation.result);
    const HalfWidth width = halfWidth(m_values, input.H, input.np, input.period, input.n1, input.n2);
    m_form->showHalfWidth(width);

    const FluxReportLabels labels{m_form->pulsarName(), m_form->period(), m_form->dispersion(), m_form->date(),
                                  ui.delta->text()};
    QGuiApplication::clipboard()->setText(fluxClipboardText(labels, calculation.result));
    m_workspace->dialogs().information(m_workspace, fluxReportTitle(),
                                       fluxReportText(input, calculation.result, width, labels));
}

void ProfilesCalculator::calculateW50()
{
    updateHalfWidth();
    if (m_form->ui().calc_show_w50->isChecked())
        emit graphChanged();
}

void ProfilesCalculator::clear()
{
    m_form->clearCalculatorResults();
}

void ProfilesCalculator::showIntegralSnr(int a, int b)
{
    if (!hasProfile() || !m_form->isCalculatorOn())
        return;
    const IntegralSnr snr = integralSnr(m_values, a, b);
    const QString line = integralSnrClipboardLine(snr, m_form->pulsarName(), m_form->date());
    QGuiApplication::clipboard()->setText(line);
    m_workspace->dialogs().information(m_workspace, integralSnrReportTitle(), integralSnrReportText(snr, line));
}

void ProfilesCalculator::updateHalfWidth()
{
    const FluxInput input = m_form->calculatorInput();
    m_form->showHalfWidth(halfWidth(m_values, input.H, input.np, input.period, input.n1, input.n2));
}
