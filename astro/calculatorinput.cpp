#include "astro/calculatorinput.h"

#include <QRegularExpression>

#include <cmath>

bool parseCalculatorNumber(const QString &text, double *value)
{
    QString work = text.trimmed();
    work.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double number = work.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    if (value)
        *value = number;
    return true;
}

bool parseCalculatorWholeNumber(const QString &text, qint64 *value)
{
    static const QRegularExpression pattern(QStringLiteral("^[+-]?\\d+$"));
    const QString work = text.trimmed();
    if (!pattern.match(work).hasMatch())
        return false;
    bool ok = false;
    const qint64 number = work.toLongLong(&ok);
    if (!ok)
        return false;
    if (value)
        *value = number;
    return true;
}

bool parseCalculatorDate(const QString &text, QDate *date)
{
    const QDate parsed = QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
    if (!parsed.isValid())
        return false;
    if (date)
        *date = parsed;
    return true;
}
