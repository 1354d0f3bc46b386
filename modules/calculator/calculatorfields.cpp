#include "modules/calculator/calculatorfields.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

namespace {

const QString resultFieldStyle = QStringLiteral("background-color: #dfffd3;");
const QString inputFieldStyle = QStringLiteral("background-color: #ffffff;");
const QString foundFieldStyle = QStringLiteral("background-color: #98FB98;");

const QStringList siteCodes = {QStringLiteral("N0"), QStringLiteral("N1"), QStringLiteral("N2"),
                               QStringLiteral("N4")};

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

QLineEdit *lineEdit(const QString &name, const QString &text, bool readOnly)
{
    auto *edit = new QLineEdit(text);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    if (readOnly)
        edit->setStyleSheet(resultFieldStyle);
    return edit;
}

QComboBox *siteCombo(const QString &name, const QString &current)
{
    auto *combo = new QComboBox;
    combo->setObjectName(name);
    combo->addItems(siteCodes);
    combo->setCurrentText(current);
    return combo;
}

QPushButton *button(const QString &name, const QString &text)
{
    auto *push = new QPushButton(text);
    push->setObjectName(name);
    return push;
}

QLabel *caption(const QString &text)
{
    // One caption width in every group keeps the fields aligned and wide
    // enough for dates and times; long captions wrap instead.
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setFixedWidth(165);
    return label;
}

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
