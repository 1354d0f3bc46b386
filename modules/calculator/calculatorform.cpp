#include "modules/calculator/calculatorform.h"

#include "modules/calculator/calculatorfields.h"
#include "modules/calculator/calculatorrules.h"
#include "modules/calculator/catalogtokvxgroup.h"
#include "modules/calculator/ffagroup.h"
#include "modules/calculator/kvxtocataloggroup.h"
#include "ui/wheelfocusfilter.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace CalculatorFields;

CalculatorForm::CalculatorForm(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("CalculatorForm"));

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(8, 8, 8, 8);
    column->setSpacing(10);
    column->addWidget(buildCommonGroup());
    column->addWidget(buildDeltaFromRayGroup());
    m_catalogToKvx = new CatalogToKvxGroup;
    m_kvxToCatalog = new KvxToCatalogGroup;
    m_ffa = new FfaGroup;
    column->addWidget(m_catalogToKvx);
    column->addWidget(m_kvxToCatalog);
    column->addWidget(m_ffa);
    column->addStretch(1);

    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    const QList<CalculatorGroup *> groups{m_catalogToKvx, m_kvxToCatalog, m_ffa};
    for (CalculatorGroup *group : groups)
        connect(group, &CalculatorGroup::resultTextChanged, this, &CalculatorForm::resultTextChanged);
    // A result of another calculator replaces a period list still being built.
    connect(m_catalogToKvx, &CalculatorGroup::resultTextChanged, m_ffa, &FfaGroup::cancelPeriodList);
    connect(m_kvxToCatalog, &CalculatorGroup::resultTextChanged, m_ffa, &FfaGroup::cancelPeriodList);
    connect(m_ffa, &FfaGroup::resultListChanged, this, &CalculatorForm::resultListChanged);
    connect(m_tres, &QComboBox::currentTextChanged, this, &CalculatorForm::onTresolutionChanged);
    onTresolutionChanged(m_tres->currentText());
    WheelFocusFilter::install(this);
    onDeltaSiteChanged(m_deltaSite->currentText());
}

QWidget *CalculatorForm::buildCommonGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Common"));
    group->setObjectName(QStringLiteral("groupBoxMain"));
    auto *grid = new QGridLayout(group);

    QPushButton *increase = button(QStringLiteral("fontIncrease"), QStringLiteral("+"));
    QPushButton *decrease = button(QStringLiteral("fontDecrease"), QStringLiteral("-"));
    increase->setMinimumWidth(56);
    decrease->setMinimumWidth(56);
    auto *fontCaption = new QLabel(QStringLiteral("Font size"));
    fontCaption->setObjectName(QStringLiteral("fontSizeLabel"));
    m_fontSize = new QLabel;
    m_fontSize->setObjectName(QStringLiteral("fontSize"));
    m_tres = new QComboBox;
    m_tres->setObjectName(QStringLiteral("tres"));
    m_tres->addItems({QStringLiteral("0.0124928 "), QStringLiteral("0.0999424"),
                      QStringLiteral("0.003072")});
    m_tres->setCurrentIndex(0);
    QPushButton *clear = button(QStringLiteral("clearForm"), QStringLiteral("Clear form"));

    grid->addWidget(caption(QStringLiteral("Tresolution")), 0, 0);
    grid->addWidget(m_tres, 0, 1, 1, 3);
    grid->addWidget(fontCaption, 1, 0);
    grid->addWidget(m_fontSize, 1, 1);
    grid->addWidget(increase, 1, 2);
    grid->addWidget(decrease, 1, 3);
    grid->addWidget(clear, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);

    connect(increase, &QPushButton::clicked, this, &CalculatorForm::resultFontIncreaseRequested);
    connect(decrease, &QPushButton::clicked, this, &CalculatorForm::resultFontDecreaseRequested);
    connect(clear, &QPushButton::clicked, this, &CalculatorForm::onClearFormClicked);
    return group;
}

QWidget *CalculatorForm::buildDeltaFromRayGroup()
{
    auto *group = new CalculatorGroup(QStringLiteral("Get delta from ray"), QStringLiteral("groupBoxDeltaFromRay"),
                                      QStringLiteral("widgetDeltaFromRay"), true);
    m_deltaContent = group->content();
    auto *grid = new QGridLayout(m_deltaContent);
    grid->setContentsMargins(0, 0, 0, 0);

    m_deltaSite = siteCombo(QStringLiteral("calcdelta_plosh"), QStringLiteral("N1"));
    m_deltaModule = new QSpinBox;
    m_deltaModule->setObjectName(QStringLiteral("calcdelta_module"));
    m_deltaRay = new QSpinBox;
    m_deltaRay->setObjectName(QStringLiteral("calcdelta_ray"));
    m_deltaRay->setRange(0, 8);
    m_deltaRay->setValue(1);
    m_deltaText = lineEdit(QStringLiteral("calcdelta_delta"), QString(), true);
    m_deltaDegrees = lineEdit(QStringLiteral("calcdelta_deltaD"), QString(), true);
    QPushButton *send = button(QStringLiteral("calcdelta_send"), QStringLiteral("Get delta from ray"));

    grid->addWidget(caption(QStringLiteral("Plosh")), 0, 0);
    grid->addWidget(m_deltaSite, 0, 1, 1, 2);
    grid->addWidget(caption(QStringLiteral("Module, ray")), 1, 0);
    grid->addWidget(m_deltaModule, 1, 1);
    grid->addWidget(m_deltaRay, 1, 2);
    grid->addWidget(caption(QStringLiteral("KVX delta (string, grad)")), 2, 0);
    grid->addWidget(m_deltaText, 2, 1);
    grid->addWidget(m_deltaDegrees, 2, 2);
    grid->addWidget(send, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    connect(m_deltaSite, &QComboBox::currentTextChanged, this, &CalculatorForm::onDeltaSiteChanged);
    connect(send, &QPushButton::clicked, this, &CalculatorForm::onGetDeltaFromRayClicked);
    return group;
}

void CalculatorForm::setFontSizeText(int size)
{
    m_fontSize->setText(QString::number(size));
}

void CalculatorForm::onGetDeltaFromRayClicked()
{
    m_ffa->cancelPeriodList();
    resetInputStyling(m_deltaContent);
    const DeltaFromRay result =
        deltaFromRay(m_deltaSite->currentText(), m_deltaModule->value(), m_deltaRay->value());
    if (result.found) {
        showFound(m_deltaText, result.degreesText);
        showFound(m_deltaDegrees, QString::number(result.delta, 'f', 3));
    }
    emit resultTextChanged(result.report);
}

void CalculatorForm::onClearFormClicked()
{
    m_ffa->cancelPeriodList();
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (!edit->objectName().startsWith(QLatin1String("qt_")))
            edit->clear();
    }
    emit resultClearRequested();
}

void CalculatorForm::onDeltaSiteChanged(const QString &site)
{
    const QPair<int, int> range = siteModuleRange(site);
    m_deltaModule->setRange(range.first, range.second);
}

void CalculatorForm::onTresolutionChanged(const QString &text)
{
    m_catalogToKvx->setTresolution(text);
    m_kvxToCatalog->setTresolution(text);
}
