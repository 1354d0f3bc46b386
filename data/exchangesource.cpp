#include "data/exchangesource.h"

#include "astro/timecoords.h"
#include "data/nativetext.h"
#include "data/nativetimes.h"

#include <QFileInfo>

#include <cmath>

namespace {

constexpr double arcsecondsPerRadian = 180.0 / programPi * 3600.0;
// Digits the SIGPROC angles keep: a tenth of a microsecond of time.
constexpr int sigprocDecimals = 7;

bool alphaOf(const QString &text, double *seconds)
{
    return parseAlphaSeconds(text, seconds) && *seconds >= 0.0 && *seconds < 86400.0;
}

bool deltaOf(const QString &text, double *arcseconds)
{
    double radians = 0.0;
    if (!parseDeclination(text, &radians))
        return false;
    *arcseconds = radians * arcsecondsPerRadian;
    return true;
}

} // namespace

ExchangeSource exchangeSource(const NativeFile &file, const NativeSelection &selection)
{
    ExchangeSource source;
    source.hasDelta = deltaOf(file.delta, &source.deltaArcseconds)
        || deltaOf(selection.delta, &source.deltaArcseconds);
    source.hasAlpha = alphaOf(file.alpha, &source.alphaSeconds);
    double beamDelta = 0.0;
    if (!source.hasAlpha && parseDeclination(selection.delta, &beamDelta)) {
        const double middle = selection.startPoint + (qint64(selection.count) - 1) / 2.0;
        source.hasAlpha = alphaOf(alphaTextAtPoint(utcBeginInstant(file), file.tresolution, beamDelta, middle, 3),
                                  &source.alphaSeconds);
    }

    const QString name = file.source.trimmed();
    if (!name.isEmpty() && name.compare(QLatin1String("source"), Qt::CaseInsensitive) != 0
        && file.positionCodeKey.isEmpty())
        source.name = name;
    else if (source.hasAlpha && source.hasDelta)
        source.name = pulsarJName(sexagesimalText(source.alphaSeconds, 1),
                                  sexagesimalText(source.deltaArcseconds, 1));
    if (source.name.isEmpty())
        source.name = QFileInfo(parentFileName(file)).completeBaseName();
    return source;
}

SexagesimalFields sexagesimalFields(double seconds, int decimals)
{
    SexagesimalFields fields;
    const double unit = std::pow(10.0, decimals);
    const auto total = qint64(std::llround(std::fabs(seconds) * unit));
    fields.negative = seconds < 0.0 && total > 0;
    const qint64 perMinute = 60 * qint64(unit);
    fields.whole = total / (60 * perMinute);
    fields.minutes = int(total / perMinute % 60);
    fields.seconds = double(total % perMinute) / unit;
    return fields;
}

QString sexagesimalText(double seconds, int decimals)
{
    const SexagesimalFields f = sexagesimalFields(seconds, decimals);
    const int width = decimals > 0 ? decimals + 3 : 2;
    return QStringLiteral("%1%2:%3:%4")
        .arg(f.negative ? QStringLiteral("-") : QString())
        .arg(f.whole, 2, 10, QLatin1Char('0'))
        .arg(f.minutes, 2, 10, QLatin1Char('0'))
        .arg(f.seconds, width, 'f', decimals, QLatin1Char('0'));
}

double sigprocSexagesimal(double seconds)
{
    const SexagesimalFields f = sexagesimalFields(seconds, sigprocDecimals);
    const double value = double(f.whole) * 10000.0 + f.minutes * 100.0 + f.seconds;
    return f.negative ? -value : value;
}

double firstChannelWidth(const NativeFile &file)
{
    bool ok = false;
    const double width = file.wbands.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0).toDouble(&ok);
    return ok && std::isfinite(width) ? std::fabs(width) : 0.0;
}
