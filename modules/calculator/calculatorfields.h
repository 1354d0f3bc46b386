#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// The colours of the calculators' input and result fields. Free functions on
// widgets of the GUI thread.
namespace CalculatorFields {

// Result (read-only) fields pale green, editable fields white; object names
// "qt_*" (the toolkit's own children) are left alone.
void resetInputStyling(QWidget *root);
// Styles one field after its read-only state changed.
void styleField(QWidget *field);
// A result field that received a value.
void showFound(QLineEdit *field, const QString &text);

} // namespace CalculatorFields
