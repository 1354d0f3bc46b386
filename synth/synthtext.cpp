#include "synth/synthtext.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

QString synthNumberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString synthOneLine(QString value)
{
    return value.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
}

QString synthTimeText(const QTime &time)
{
    return time.toString(time.msec() ? QStringLiteral("hh:mm:ss.zzz") : QStringLiteral("hh:mm:ss"));
}

int synthPositionIndex(const QString &code)
{
    static const QRegularExpression pattern(QStringLiteral("^(1[0-5]) ([01]) ([01])$"));
    const QRegularExpressionMatch match = pattern.match(code);
    if (!match.hasMatch())
        return 0;
    const int index = (match.captured(1).toInt() - 10) * 4 + match.captured(2).toInt() * 2
        + match.captured(3).toInt() - 1;
    return index >= 1 && index <= 20 ? index : 0;
}

QString synthN4SourceText(const QString &code)
{
    const QStringList parts = code.split(QLatin1Char(' '));
    return QStringLiteral("kvxII %1 %2 00 %3").arg(parts.value(0), parts.value(1), parts.value(2));
}
