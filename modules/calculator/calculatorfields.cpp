#include "modules/calculator/calculatorfields.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const QString resultFieldStyle = QStringLiteral("background-color: #dfffd3;");
const QString inputFieldStyle = QStringLiteral("background-color: #ffffff;");
const QString foundFieldStyle = QStringLiteral("background-color: #98FB98;");

bool isStyledInput(const QWidget *widget)
{
    if (widget->objectName().startsWith(QLatin1String("qt_")))
        return false;
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget)
           || qobject_cast<const QAbstractSpinBox *>(widget);
}

bool isReadOnlyInput(const QWidget *widget)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->isReadOnly();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
        return spin->isReadOnly();
    return false;
}

} // namespace

namespace CalculatorFields {

void resetInputStyling(QWidget *root)
{
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (isStyledInput(widget))
            styleField(widget);
    }
}

void styleField(QWidget *field)
{
    field->setStyleSheet(isReadOnlyInput(field) ? resultFieldStyle : inputFieldStyle);
}

void showFound(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->setStyleSheet(foundFieldStyle);
}

} // namespace CalculatorFields
