#include "modules/calculator/calculatorgroup.h"

CalculatorGroup::CalculatorGroup(QWidget *parent)
    : QGroupBox(parent)
{
}

void CalculatorGroup::setContent(QWidget *content)
{
    m_content = content;
    content->setVisible(isChecked());
    connect(this, &QGroupBox::toggled, content, &QWidget::setVisible);
}
