#include "modules/calculator/ffagroup.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorreport.h"
#include "modules/calculator/ffaperiodlistjob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CalculatorFields;

FfaGroup::FfaGroup(QWidget *parent)
    : CalculatorGroup(QStringLiteral("FFA info"), QStringLiteral("groupBoxFfa"), QStringLiteral("widgetFfa"),
                      false, parent)
{
    auto *grid = new QGridLayout(content());
    grid->setContentsMargins(0, 0, 0, 0);
    m_tres = new QComboBox;
    m_tres->setObjectName(QStringLiteral("ffa_tres"));
    m_tres->addItems({QStringLiteral("0.0124928"), QStringLiteral("0.0999424"), QStringLiteral("0.003072")});
    m_bound = new QCheckBox(QStringLiteral("bound with bin"));
    m_bound->setObjectName(QStringLiteral("ffa_boundPeriodBin"));
    QPushButton *info = button(QStringLiteral("ffa_show_info"), QStringLiteral("Show info"));
    QPushButton *periods = button(QStringLiteral("ffa_show_periods"), QStringLiteral("Show periods"));
    m_points = lineEdit(QStringLiteral("ffa_poins"), QStringLiteral("16384"));
    m_ducyMax = lineEdit(QStringLiteral("ffa_ducy_max"), QStringLiteral("0.01"));
    m_wtsp = lineEdit(QStringLiteral("ffa_wtsp"), QStringLiteral("1.5"));
    m_binsMin = lineEdit(QStringLiteral("ffa_bin_min"), QStringLiteral("39"));
    m_binsMax = lineEdit(QStringLiteral("ffa_bin_max"), QStringLiteral("44"));
    m_periodMin = lineEdit(QStringLiteral("ffa_period_min"), QStringLiteral("1"));
    m_periodMax = lineEdit(QStringLiteral("ffa_period_max"), QStringLiteral("10.0"));
    m_columns = lineEdit(QStringLiteral("ffa_cols"), QString(), true);
    m_rows = lineEdit(QStringLiteral("ffa_rows"), QString(), true);

    grid->addWidget(caption(QStringLiteral("Points in signal, tres ")), 0, 0);
    grid->addWidget(m_points, 0, 1);
    grid->addWidget(m_tres, 0, 2);
    grid->addWidget(caption(QStringLiteral("Ducy_max, wtsp")), 1, 0);
    grid->addWidget(m_ducyMax, 1, 1);
    grid->addWidget(m_wtsp, 1, 2);
    grid->addWidget(caption(QStringLiteral("Bins min/max")), 2, 0);
    grid->addWidget(m_binsMin, 2, 1);
    grid->addWidget(m_binsMax, 2, 2);
    grid->addWidget(m_bound, 3, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Period min/max")), 4, 0);
    grid->addWidget(m_periodMin, 4, 1);
    grid->addWidget(m_periodMax, 4, 2);
    grid->addWidget(caption(QStringLiteral("Periodogram cols, rows")), 5, 0);
    grid->addWidget(m_columns, 5, 1);
    grid->addWidget(m_rows, 5, 2);
    grid->addWidget(info, 6, 0, 1, 2);
    grid->addWidget(periods, 6, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    m_job = new FfaPeriodListJob(this);
    connect(info, &QPushButton::clicked, this, &FfaGroup::onShowInfoClicked);
    connect(periods, &QPushButton::clicked, this, &FfaGroup::onShowPeriodsClicked);
    connect(m_bound, &QCheckBox::toggled, this, &FfaGroup::onBoundToggled);
    connect(m_binsMin, &QLineEdit::textChanged, this, &FfaGroup::updateBoundPeriod);
    connect(m_tres, &QComboBox::currentTextChanged, this, &FfaGroup::updateBoundPeriod);
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
    return {m_points->text(), m_tres->currentText(), m_ducyMax->text(), m_wtsp->text(), m_binsMin->text(),
            m_binsMax->text(), m_periodMin->text(), m_periodMax->text(), m_bound->isChecked()};
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
    showFound(m_columns, QString::number(plan->columns()));
    showFound(m_rows, QString::number(plan->rows()));
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
    m_periodMin->setReadOnly(bound);
    styleField(m_periodMin);
    updateBoundPeriod();
}

void FfaGroup::updateBoundPeriod()
{
    if (!m_bound->isChecked())
        return;
    const QString period = ffaBoundPeriodMinText(m_binsMin->text(), m_tres->currentText());
    if (!period.isEmpty())
        m_periodMin->setText(period);
}
