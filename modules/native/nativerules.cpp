#include "modules/native/nativerules.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

int pointsFieldValue(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok)
        return 0;
    return int(std::clamp<qint64>(value, -2147483647LL, 2147483647LL));
}

PointRange clampPointRange(qint64 first, qint64 count, int npoints)
{
    if (npoints <= 0)
        return {};
    const qint64 f = std::clamp<qint64>(first, 0, npoints - 1);
    const qint64 c = std::clamp<qint64>(count, 1, npoints - f);
    return {int(f), int(c)};
}

namespace {

// Rounds into the point range without overflowing an int on huge or odd values.
qint64 boundedPoint(double value, int npoints)
{
    if (std::isnan(value))
        return 0;
    return qint64(std::clamp(value, 0.0, double(std::max(npoints - 1, 0))));
}

} // namespace

PointRange visiblePointRange(double a, double b, int npoints)
{
    if (npoints <= 0)
        return {};
    const qint64 first = boundedPoint(std::ceil(a), npoints);
    const qint64 last = boundedPoint(std::floor(b), npoints);
    return {int(first), int(std::max<qint64>(last - first + 1, 0))};
}

PointRange followedPointRange(double a, double b, int npoints)
{
    const PointRange r = visiblePointRange(a, b, npoints);
    return {r.first, std::max(r.count, 1)};
}

int centredFirstPoint(qint64 point, int count, int npoints)
{
    const qint64 first = std::min<qint64>(qint64(npoints) - count, point - count / 2);
    return int(std::max<qint64>(0, first));
}

bool parseSearchPoint(const QString &text, qint64 firstNumber, int npoints, int *index)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < firstNumber || value - firstNumber > qint64(npoints) - 1)
        return false;
    if (index)
        *index = int(value - firstNumber);
    return true;
}

int clickedPoint(double x, int npoints)
{
    return int(boundedPoint(std::round(x), npoints));
}

PointRange visibleSpectrumColumns(int first, int count, int cellWidth, int imageX,
                                  int scrollPosition, int viewportWidth)
{
    if (count <= 0)
        return {};
    const int w = std::max(cellWidth, 1);
    const double x = imageX - w / 2;
    const qint64 c0 = std::clamp<qint64>(qint64(std::floor((scrollPosition - x) / w)), 0, count - 1);
    const qint64 c1 = std::clamp<qint64>(qint64(std::floor((scrollPosition + viewportWidth - x) / w)),
                                         c0, count - 1);
    return {int(first + c0), int(c1 - c0 + 1)};
}

int animationWindowPoints(int viewportWidth, int cellWidth, int npoints)
{
    const int w = std::min(viewportWidth / std::max(cellWidth, 1), npoints);
    return std::max(w, 1);
}

AnimationStep animationStep(int value, int maximum, int speed, qint64 elapsedMs, double accumulator)
{
    AnimationStep step;
    const double a = speed * double(elapsedMs) / 1000.0 + accumulator;
    const double whole = std::floor(a);
    if (whole >= 1.0) {
        step.accumulator = a - whole;
        step.value = int(std::min<qint64>(maximum, qint64(value) + qint64(std::min(whole, 2e9))));
        step.finished = step.value >= maximum;
    } else {
        step.accumulator = a;
        step.value = value;
    }
    return step;
}

QString defaultSaveFileName(const QString &sourceName, const QString &alpha, int module, int beam,
                            qint64 number, const QString &tag, const QString &extension)
{
    QString digits;
    for (const QChar ch : alpha) {
        if (digits.size() == 6)
            break;
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            digits.append(ch);
    }
    static const QRegularExpression tail(QStringLiteral("_00(?:_p\\d+-\\d+)?$"));
    // Parent names written on Windows keep their backslashes.
    QString name = sourceName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString base = QFileInfo(name).completeBaseName();
    base.remove(tail);
    const QString tagPart = tag.isEmpty() ? QString() : QStringLiteral("_") + tag;
    return QStringLiteral("J%1_file%2_m%3_r%4_n%5%6.%7")
        .arg(digits, base)
        .arg(module)
        .arg(beam)
        .arg(std::max<qint64>(number, 0))
        .arg(tagPart, extension);
}

QString binaryExtractExtension(const QString &parentFileName)
{
    QString name = parentFileName;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString suffix = QFileInfo(name).suffix().toLower();
    if (suffix == QLatin1String("pnt") || suffix == QLatin1String("pnthr"))
        return suffix;
    return QStringLiteral("pnt");
}

QString headerLinesHtml(const QString &lines)
{
    return lines.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}
