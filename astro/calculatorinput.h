#pragma once

#include <QDate>
#include <QString>

// Readers of what the user types into the calculators: numbers, whole
// numbers and dates, each false on anything else. Pure functions.

// A finite decimal number; blanks around it are ignored and a decimal comma
// is read as a point.
bool parseCalculatorNumber(const QString &text, double *value);
// A whole decimal number (no fraction, no exponent), optionally signed.
bool parseCalculatorWholeNumber(const QString &text, qint64 *value);
// A date "dd.MM.yyyy".
bool parseCalculatorDate(const QString &text, QDate *date);
