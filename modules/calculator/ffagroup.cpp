#include "modules/calculator/ffagroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"
#include "modules/calculator/ffaperiodlistjob.h"

using namespace CalculatorFields;

FfaGroup::FfaGroup(QWidget *parent)
    : CalculatorGroup(parent)
{
    m_ui.setupUi(this);
    setContent(m_ui.widgetFfa);
    m_job = new FfaPeriodListJob(this);
    connect(m_ui.ffa_show_info, &QPushButton::clicked, this, &FfaGroup::onShowInfoClicked);
    connect(m_ui.ffa_show_periods, &QPushButton::clicked, this, &FfaGroup::onShowPeriodsClicked);
    connect(m_ui.ffa_boundPeriodBin, &QCheckBox::toggled, this, &FfaGroup::onBoundToggled);
    connect(m_ui.ffa_bin_min, &QLineEdit::textChanged, this, &FfaGroup::updateBoundPeriod);
    connect(m_ui.ffa_tres, &QComboBox::currentTextChanged, this, &FfaGroup::updateBoundPeriod);
    connect(m_job, &FfaPeriodListJob::progressChanged, this, [this](int percent) {
        emit resultTextChanged(CalculatorReport::ffaPeriods(m_listedPlan, percent));
    });
    connect(m_job, &FfaPeriodListJob::finished, this, [this](const FfaPeriodListText &list) {
        emit resultTextChanged(CalculatorReport::ffaPeriodsShown(m_listedPlan, list));
        emit resultListChanged(list.text);
    });
}

FfaInput FfaGroup::input() const
{
    return {m_ui.ffa_poins->text(),      m_ui.ffa_tres->currentText(),  m_ui.ffa_ducy_max->text(),
            m_ui.ffa_wtsp->text(),       m_ui.ffa_bin_min->text(),      m_ui.ffa_bin_max->text(),
            m_ui.ffa_period_min->text(), m_ui.ffa_period_max->text(),   m_ui.ffa_boundPeriodBin->isChecked()};
}

void FfaGroup::cancelPeriodList()
{
    m_job->cancel();
}

bool FfaGroup::planFromFields(const QString &calculator, FfaPlan *plan)
{
    cancelPeriodList();
    resetInputStyling(content());
    *plan = ffaPlan(input());
    if (!plan->errors.isEmpty()) {
        emit resultTextChanged(CalculatorReport::errors(calculator, plan->errors));
        return false;
    }
    showFound(m_ui.ffa_cols, QString::number(plan->columns()));
    showFound(m_ui.ffa_rows, QString::number(plan->rows()));
    return true;
}

void FfaGroup::onShowInfoClicked()
{
    FfaPlan plan;
    if (planFromFields(QStringLiteral("FFA info"), &plan))
        emit resultTextChanged(CalculatorReport::ffaInfo(plan));
}

void FfaGroup::onShowPeriodsClicked()
{
    if (!planFromFields(QStringLiteral("FFA info: periods"), &m_listedPlan))
        return;
    emit resultTextChanged(CalculatorReport::ffaPeriods(m_listedPlan, 0));
    m_job->start(m_listedPlan);
}

void FfaGroup::onBoundToggled(bool bound)
{
    m_ui.ffa_period_min->setReadOnly(bound);
    styleField(m_ui.ffa_period_min);
    updateBoundPeriod();
}

void FfaGroup::updateBoundPeriod()
{
    if (!m_ui.ffa_boundPeriodBin->isChecked())
        return;
    const QString period = ffaBoundPeriodMinText(m_ui.ffa_bin_min->text(), m_ui.ffa_tres->currentText());
    if (!period.isEmpty())
        m_ui.ffa_period_min->setText(period);
}
