#include "modules/calculator/calculatorform.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorrules.h"
#include "ui/wheelfocusfilter.h"
#include "ui_calculatorform.h"

using namespace CalculatorFields;

CalculatorForm::CalculatorForm(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CalculatorForm>())
{
    m_ui->setupUi(this);
    m_ui->groupBoxDeltaFromRay->setContent(m_ui->widgetDeltaFromRay);
    connect(m_ui->fontIncrease, &QPushButton::clicked, this, &CalculatorForm::resultFontIncreaseRequested);
    connect(m_ui->fontDecrease, &QPushButton::clicked, this, &CalculatorForm::resultFontDecreaseRequested);
    connect(m_ui->clearForm, &QPushButton::clicked, this, &CalculatorForm::onClearFormClicked);
    connect(m_ui->calcdelta_plosh, &QComboBox::currentTextChanged, this, &CalculatorForm::onDeltaSiteChanged);
    connect(m_ui->calcdelta_send, &QPushButton::clicked, this, &CalculatorForm::onGetDeltaFromRayClicked);

    FfaGroup *ffa = m_ui->groupBoxFfa;
    for (CalculatorGroup *group : {static_cast<CalculatorGroup *>(m_ui->groupBoxCat2Kvx),
                                   static_cast<CalculatorGroup *>(m_ui->groupBoxKvx2Cat),
                                   static_cast<CalculatorGroup *>(ffa)})
        connect(group, &CalculatorGroup::resultTextChanged, this, &CalculatorForm::resultTextChanged);
    // A result of another calculator replaces a period list still being built.
    connect(m_ui->groupBoxCat2Kvx, &CalculatorGroup::resultTextChanged, ffa, &FfaGroup::cancelPeriodList);
    connect(m_ui->groupBoxKvx2Cat, &CalculatorGroup::resultTextChanged, ffa, &FfaGroup::cancelPeriodList);
    connect(ffa, &FfaGroup::resultListChanged, this, &CalculatorForm::resultListChanged);
    connect(m_ui->tres, &QComboBox::currentTextChanged, this, &CalculatorForm::onTresolutionChanged);
    onTresolutionChanged(m_ui->tres->currentText());
    WheelFocusFilter::install(this);
    onDeltaSiteChanged(m_ui->calcdelta_plosh->currentText());
}

CalculatorForm::~CalculatorForm() = default;

void CalculatorForm::setFontSizeText(int size)
{
    m_ui->fontSize->setText(QString::number(size));
}

void CalculatorForm::onGetDeltaFromRayClicked()
{
    m_ui->groupBoxFfa->cancelPeriodList();
    resetInputStyling(m_ui->widgetDeltaFromRay);
    const DeltaFromRay result = deltaFromRay(m_ui->calcdelta_plosh->currentText(), m_ui->calcdelta_module->value(),
                                             m_ui->calcdelta_ray->value());
    if (result.found) {
        showFound(m_ui->calcdelta_delta, result.degreesText);
        showFound(m_ui->calcdelta_deltaD, QString::number(result.delta, 'f', 3));
    }
    emit resultTextChanged(result.report);
}

void CalculatorForm::onClearFormClicked()
{
    m_ui->groupBoxFfa->cancelPeriodList();
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (!edit->objectName().startsWith(QLatin1String("qt_")))
            edit->clear();
    }
    emit resultClearRequested();
}

void CalculatorForm::onDeltaSiteChanged(const QString &site)
{
    const QPair<int, int> range = siteModuleRange(site);
    m_ui->calcdelta_module->setRange(range.first, range.second);
}

void CalculatorForm::onTresolutionChanged(const QString &text)
{
    m_ui->groupBoxCat2Kvx->setTresolution(text);
    m_ui->groupBoxKvx2Cat->setTresolution(text);
}
