#include "modules/profiles/profilesform.h"

#include "astro/profileview.h"
#include "astro/resultnumber.h"
#include "modules/profiles/profilesrules.h"
#include "ui/shelldialogs.h"
#include "ui/wheelfocusfilter.h"
#include "ui_profilesform.h"

#include <QSignalBlocker>

namespace {

void fillList(QComboBox *box, const QStringList &items)
{
    const QSignalBlocker blocker(box);
    const QString current = box->currentText();
    box->clear();
    box->addItems(items);
    const int index = items.indexOf(current);
    box->setCurrentIndex(index >= 0 ? index : (items.isEmpty() ? -1 : 0));
}

QString text(const QComboBox *box)
{
    return box->currentText().trimmed();
}

} // namespace

ProfilesForm::ProfilesForm(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::ProfileForm>())
{
    m_ui->setupUi(this);
    // Built with the form and kept out of sight: they carry no behaviour.
    m_ui->groupBoxStatistic->hide();
    m_ui->widgetUnused->hide();
    m_ui->delta1->setText(deltaDegreesText(m_ui->delta->text()));
    WheelFocusFilter::install(this);
    connectSteppers();
    connectOptions();
    connectCalculator();
}

ProfilesForm::~ProfilesForm() = default;

void ProfilesForm::connectSteppers()
{
    struct Stepper
    {
        QComboBox *box;
        QAbstractButton *previous;
        QAbstractButton *next;
        void (ProfilesForm::*changed)();
    };
    const Stepper steppers[] = {
        {m_ui->comboBoxDate, m_ui->datePre, m_ui->dateNext, &ProfilesForm::dateChanged},
        {m_ui->comboBoxDispersion, m_ui->dispPre, m_ui->dispNext, &ProfilesForm::dispersionChanged},
        {m_ui->comboBoxPeriod, m_ui->periodPre, m_ui->periodNext, &ProfilesForm::periodChanged},
    };
    for (const Stepper &stepper : steppers) {
        QComboBox *box = stepper.box;
        const auto changed = stepper.changed;
        const auto step = [this, box, changed](int by) {
            const int index = steppedIndex(box->currentIndex(), box->count(), by);
            if (index == box->currentIndex())
                return;
            box->setCurrentIndex(index);
            emit(this->*changed)();
        };
        connect(stepper.previous, &QAbstractButton::clicked, this, [step] { step(-1); });
        connect(stepper.next, &QAbstractButton::clicked, this, [step] { step(1); });
        connect(box, QOverload<int>::of(&QComboBox::activated), this, [this, changed] { emit(this->*changed)(); });
    }
    // The print texts follow the choice and may then be edited for the picture.
    connect(m_ui->comboBoxDispersion, &QComboBox::currentTextChanged, this, [this](const QString &dm) {
        if (!dm.isEmpty())
            m_ui->printDispersion->setText(dm);
    });
    connect(m_ui->comboBoxPeriod, &QComboBox::currentTextChanged, this, [this](const QString &period) {
        if (!period.isEmpty())
            m_ui->printPeriod->setText(period);
    });
}

void ProfilesForm::connectOptions()
{
    connect(m_ui->drawGrafikOne, &QPushButton::clicked, this, &ProfilesForm::oneGraphRequested);
    connect(m_ui->drawGrafikMulti, &QPushButton::clicked, this, &ProfilesForm::multiGraphRequested);
    for (QCheckBox *option : {m_ui->showDate, m_ui->shiftMaxToCenter, m_ui->showMax, m_ui->forPrint})
        connect(option, &QCheckBox::toggled, this, &ProfilesForm::graphOptionsChanged);
    connect(m_ui->lineThickness, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ProfilesForm::graphOptionsChanged);
    connect(m_ui->multiWidth, &QLineEdit::editingFinished, this, &ProfilesForm::graphOptionsChanged);
    connect(m_ui->multiHeight, &QLineEdit::editingFinished, this, &ProfilesForm::graphOptionsChanged);
    connect(m_ui->sortSnr, &QCheckBox::toggled, this, &ProfilesForm::sortSnrChanged);
    connect(m_ui->zoom, &QCheckBox::toggled, this, [this](bool on) {
        // A mouse selection on the plot serves either the zoom or the calculator.
        setCalculatorOn(!on);
        emit zoomChanged();
    });
    connect(m_ui->average, QOverload<int>::of(&QSpinBox::valueChanged), this, &ProfilesForm::onAverageChanged);
    connect(m_ui->pulsarName, &QLineEdit::textEdited, this, &ProfilesForm::pulsarNameEdited);
    connect(m_ui->printPeriod, &QLineEdit::textEdited, this, &ProfilesForm::printHeadingEdited);
    connect(m_ui->printDispersion, &QLineEdit::textEdited, this, &ProfilesForm::printHeadingEdited);
    connect(m_ui->changeSize, &QPushButton::clicked, this, &ProfilesForm::showSizeRequested);
    connect(m_ui->saveImage, &QPushButton::clicked, this, &ProfilesForm::saveImageRequested);
    connect(m_ui->saveScreen, &QPushButton::clicked, this, &ProfilesForm::saveScreenRequested);
}

void ProfilesForm::connectCalculator()
{
    connect(m_ui->groupBoxCalculator, &QGroupBox::toggled, this, [this](bool on) {
        m_ui->widgetCalculator->setVisible(on);
        emit calculatorToggled(on);
    });
    for (QLineEdit *field : {m_ui->calc_n0, m_ui->calc_n1, m_ui->calc_n2, m_ui->calc_H, m_ui->calc_np, m_ui->calc_k1,
                             m_ui->calc_k2, m_ui->calc_T178, m_ui->calc_Tr, m_ui->calc_sens, m_ui->delta1})
        connect(field, &QLineEdit::textEdited, this, &ProfilesForm::calculatorFieldChanged);
    connect(m_ui->calc_with_cos, &QCheckBox::toggled, this, &ProfilesForm::calculatorFieldChanged);
    connect(m_ui->calc_show_w50, &QCheckBox::toggled, this, &ProfilesForm::calculatorFieldChanged);
    connect(m_ui->comboBoxPlosh, QOverload<int>::of(&QComboBox::activated), this,
            &ProfilesForm::calculatorFieldChanged);
    connect(m_ui->comboBoxTresolution, QOverload<int>::of(&QComboBox::activated), this,
            &ProfilesForm::calculatorFieldChanged);
    connect(m_ui->delta, &QLineEdit::textEdited, this, [this](const QString &delta) {
        const QString degrees = deltaDegreesText(delta);
        if (!degrees.isEmpty()) {
            m_ui->delta1->setText(degrees);
            emit calculatorFieldChanged();
        }
    });
    connect(m_ui->calculate, &QPushButton::clicked, this, &ProfilesForm::calculateAndShowRequested);
    connect(m_ui->clearCalculator, &QPushButton::clicked, this, &ProfilesForm::clearCalculatorRequested);
    connect(m_ui->calculateW50, &QPushButton::clicked, this, &ProfilesForm::calculateW50Requested);
}

void ProfilesForm::onAverageChanged(int window)
{
    const double seconds = calculatorNumber(period());
    const double tresolution = calculatorNumber(text(m_ui->comboBoxTresolution));
    if (seconds > 0.0 && tresolution > 0.0) {
        const int maximum = maxAverageWindow(seconds, tresolution);
        if (window > maximum) {
            const QSignalBlocker blocker(m_ui->average);
            m_ui->average->setValue(maximum);
            if (m_dialogs)
                m_dialogs().warning(this, QStringLiteral("Error"), averageWindowLimitText(maximum, seconds));
            return;
        }
    }
    if (!date().isEmpty() && !dispersion().isEmpty() && !period().isEmpty())
        emit averageChanged();
}

void ProfilesForm::setDates(const QStringList &dates)
{
    fillList(m_ui->comboBoxDate, dates);
}

void ProfilesForm::setDispersions(const QStringList &dms)
{
    fillList(m_ui->comboBoxDispersion, dms);
    if (!dispersion().isEmpty())
        m_ui->printDispersion->setText(dispersion());
}

void ProfilesForm::setPeriods(const QStringList &periods)
{
    fillList(m_ui->comboBoxPeriod, periods);
    if (!period().isEmpty())
        m_ui->printPeriod->setText(period());
}

void ProfilesForm::setDirectory(const QString &directory)
{
    m_ui->dirName->setText(directory);
}

void ProfilesForm::selectDispersion(const QString &dm)
{
    const int index = m_ui->comboBoxDispersion->findText(dm);
    if (index >= 0)
        m_ui->comboBoxDispersion->setCurrentIndex(index);
}

void ProfilesForm::selectPeriod(const QString &period)
{
    const int index = m_ui->comboBoxPeriod->findText(period);
    if (index >= 0)
        m_ui->comboBoxPeriod->setCurrentIndex(index);
}

QString ProfilesForm::date() const
{
    return text(m_ui->comboBoxDate);
}

QString ProfilesForm::dispersion() const
{
    return text(m_ui->comboBoxDispersion);
}

QString ProfilesForm::period() const
{
    return text(m_ui->comboBoxPeriod);
}

QString ProfilesForm::printPeriod() const
{
    return m_ui->printPeriod->text();
}

QString ProfilesForm::printDispersion() const
{
    return m_ui->printDispersion->text();
}

QString ProfilesForm::pulsarName() const
{
    return m_ui->pulsarName->text();
}

int ProfilesForm::averageWindow() const
{
    return m_ui->average->value();
}

void ProfilesForm::setCalculatorOn(bool on)
{
    const QSignalBlocker blocker(m_ui->groupBoxCalculator);
    m_ui->groupBoxCalculator->setChecked(on);
    m_ui->widgetCalculator->setVisible(on);
}

bool ProfilesForm::isCalculatorOn() const
{
    return m_ui->groupBoxCalculator->isChecked() && !m_ui->groupBoxCalculator->isHidden();
}

void ProfilesForm::setZoomChecked(bool checked)
{
    const QSignalBlocker blocker(m_ui->zoom);
    m_ui->zoom->setChecked(checked);
}

FluxInput ProfilesForm::calculatorInput() const
{
    FluxInput input;
    input.site = text(m_ui->comboBoxPlosh);
    input.tresolution = calculatorNumber(text(m_ui->comboBoxTresolution));
    input.period = calculatorNumber(period());
    input.delta = calculatorNumber(m_ui->delta1->text());
    input.n0 = calculatorInteger(m_ui->calc_n0->text());
    input.withCos = m_ui->calc_with_cos->isChecked();
    input.n1 = calculatorInteger(m_ui->calc_n1->text());
    input.n2 = calculatorInteger(m_ui->calc_n2->text());
    input.H = calculatorNumber(m_ui->calc_H->text());
    input.np = calculatorInteger(m_ui->calc_np->text());
    input.k1 = calculatorNumber(m_ui->calc_k1->text());
    input.k2 = calculatorNumber(m_ui->calc_k2->text());
    input.T178 = calculatorNumber(m_ui->calc_T178->text());
    input.Tr = calculatorNumber(m_ui->calc_Tr->text());
    input.sens = calculatorNumber(m_ui->calc_sens->text());
    return input;
}

void ProfilesForm::showFluxResult(const FluxResult &result)
{
    m_ui->calc_cos->setText(QString::number(result.cosDelta, 'f', 4));
    m_ui->calc_n->setText(QString::number(result.n));
    m_ui->calc_n_periods->setText(QString::number(result.nPeriods));
    m_ui->calc_sigma->setText(resultNumberText(result.sigma));
    m_ui->calc_snr->setText(resultNumberText(result.snr));
    m_ui->calc_Ts->setText(resultNumberText(result.Ts));
    m_ui->calc_dS->setText(resultNumberText(result.dS));
    m_ui->calc_Sp->setText(resultNumberText(result.Sp));
    m_ui->calc_sum->setText(resultNumberText(result.sum));
    m_ui->calc_Sint->setText(resultNumberText(result.Sint));
}

void ProfilesForm::showHalfWidth(const HalfWidth &width)
{
    m_ui->calc_h2->setText(resultNumberText(width.level));
    const bool found = width.found;
    m_ui->calc_i1->setText(found ? QString::number(width.i1, 'f', 2) : QString());
    m_ui->calc_i2->setText(found ? QString::number(width.i2, 'f', 2) : QString());
    m_ui->calc_x1->setText(found ? resultNumberText(width.p1, 2) : QString());
    m_ui->calc_x2->setText(found ? resultNumberText(width.p2, 2) : QString());
    m_ui->calc_w50->setText(found ? resultNumberText(width.w50, 2) : QString());
}

void ProfilesForm::showPeakArea(int n1, int n2, double period1, double period2)
{
    m_ui->calc_n1->setText(QString::number(n1));
    m_ui->calc_n2->setText(QString::number(n2));
    m_ui->calc_period1->setText(resultNumberText(period1, 2));
    m_ui->calc_period2->setText(resultNumberText(period2, 2));
}

void ProfilesForm::applySiteDefaults(const FluxSiteDefaults &defaults)
{
    if (!defaults.site.isEmpty())
        m_ui->comboBoxPlosh->setCurrentText(defaults.site);
    if (!defaults.sens.isEmpty())
        m_ui->calc_sens->setText(defaults.sens);
    if (!defaults.n0.isEmpty())
        m_ui->calc_n0->setText(defaults.n0);
    if (defaults.cosine == FluxSiteDefaults::Cosine::Unchanged)
        return;
    {
        const QSignalBlocker blocker(m_ui->calc_with_cos);
        m_ui->calc_with_cos->setChecked(defaults.cosine == FluxSiteDefaults::Cosine::On);
    }
    m_ui->calc_cos->setText(defaults.cosText);
    if (!defaults.nText.isEmpty())
        m_ui->calc_n->setText(defaults.nText);
}

void ProfilesForm::clearCalculatorResults()
{
    for (QLineEdit *field : {m_ui->calc_n_periods, m_ui->calc_sigma, m_ui->calc_snr, m_ui->calc_Ts, m_ui->calc_dS,
                             m_ui->calc_Sp, m_ui->calc_sum, m_ui->calc_Sint, m_ui->calc_h2, m_ui->calc_i1, m_ui->calc_i2,
                             m_ui->calc_x1, m_ui->calc_x2, m_ui->calc_w50})
        field->clear();
    m_ui->calc_T178->setText(defaultT178Text());
    m_ui->calc_Tr->setText(defaultTrText());
}
