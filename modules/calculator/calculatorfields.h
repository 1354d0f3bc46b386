#pragma once

#include <QString>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Building blocks of the calculator groups: fields with their object names,
// the captions of one width, and the colours of input and result fields.
// Free functions on widgets of the GUI thread.
namespace CalculatorFields {

QLineEdit *lineEdit(const QString &name, const QString &text = QString(), bool readOnly = false);
QComboBox *siteCombo(const QString &name, const QString &current);
QPushButton *button(const QString &name, const QString &text);
QLabel *caption(const QString &text);

// Result (read-only) fields pale green, editable fields white; object names
// "qt_*" (the toolkit's own children) are left alone.
void resetInputStyling(QWidget *root);
// Styles one field after its read-only state changed.
void styleField(QWidget *field);
// A result field that received a value.
void showFound(QLineEdit *field, const QString &text);

} // namespace CalculatorFields
