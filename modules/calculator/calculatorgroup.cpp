#include "modules/calculator/calculatorgroup.h"

#include <QVBoxLayout>

CalculatorGroup::CalculatorGroup(const QString &title, const QString &boxName, const QString &contentName,
                                 bool checked, QWidget *parent)
    : QGroupBox(title, parent)
{
    setObjectName(boxName);
    setCheckable(true);
    setChecked(checked);
    m_content = new QWidget;
    m_content->setObjectName(contentName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_content);
    m_content->setVisible(checked);
    connect(this, &QGroupBox::toggled, m_content, &QWidget::setVisible);
}
