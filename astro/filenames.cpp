#include "astro/filenames.h"

#include "astro/beamtables.h"
#include "astro/timecoords.h"

#include <QRegularExpression>

namespace {

const QRegularExpression &moduleRayPattern()
{
    static const QRegularExpression pattern(QStringLiteral("_m(\\d{1,2})_r(\\d+)"));
    return pattern;
}

QString fileNamePart(const QString &path)
{
    const int slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

} // namespace

QString dateFromFileName(const QString &name)
{
    return QStringLiteral("20%1.%2.%3").arg(name.mid(4, 2), name.mid(2, 2), name.left(2));
}

QString hourFileBaseName(const QDateTime &telescopeTime, const QString &plosh)
{
    return QStringLiteral("%1_%2_%3_00")
        .arg(telescopeTime.toString(QStringLiteral("ddMMyy")), telescopeTime.toString(QStringLiteral("HH")),
             plosh);
}

QString ploshFromPath(const QString &path)
{
    static const QRegularExpression trailingPattern(QStringLiteral("_(N\\d)$"));
    static const QRegularExpression separatedPattern(QStringLiteral("[/_](N\\d)[/_]"));
    static const QRegularExpression namePattern(QStringLiteral("_(N[0124])[_.]"));

    QString trimmed = path;
    while (trimmed.endsWith(QLatin1Char('/')) || trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);

    const QRegularExpressionMatch trailing = trailingPattern.match(trimmed);
    if (trailing.hasMatch() && isKnownPlosh(trailing.captured(1)))
        return trailing.captured(1);

    const QRegularExpressionMatch separated = separatedPattern.match(path);
    if (separated.hasMatch() && isKnownPlosh(separated.captured(1)))
        return separated.captured(1);

    return namePattern.match(fileNamePart(path)).captured(1);
}

bool moduleRayFromFileName(const QString &name, int *module, int *ray)
{
    const QRegularExpressionMatch match = moduleRayPattern().match(name);
    if (!match.hasMatch())
        return false;
    bool okModule = false;
    bool okRay = false;
    const int m = match.captured(1).toInt(&okModule);
    const int r = match.captured(2).toInt(&okRay);
    if (!okModule || !okRay)
        return false;
    if (module)
        *module = m;
    if (ray)
        *ray = r;
    return true;
}

QString moduleRayTag(const QString &name)
{
    const QRegularExpressionMatch match = moduleRayPattern().match(name);
    if (!match.hasMatch())
        return QString();
    return QStringLiteral("_m%1_r%2").arg(match.captured(1), match.captured(2));
}

bool alphaDeltaFromFileName(const QString &name, QString *alpha, QString *delta)
{
    static const QRegularExpression pattern(QStringLiteral("(\\d{6})_(?:d)?(-?)(\\d{6})_m\\d{1,2}_r\\d"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch() || match.captured(1).size() < 6 || match.captured(3).size() < 6)
        return false;
    if (alpha)
        *alpha = expandSixDigits(match.captured(1));
    if (delta)
        *delta = match.captured(2) + expandSixDigits(match.captured(3));
    return true;
}

QString alphaFromFileName(const QString &name)
{
    QString alpha;
    if (!alphaDeltaFromFileName(name, &alpha, nullptr))
        return QString();
    return alpha;
}

QString jNameFromFileName(const QString &name)
{
    QString alpha;
    QString delta;
    if (!alphaDeltaFromFileName(name, &alpha, &delta))
        return QString();
    return pulsarJName(alpha, delta);
}

QString deltaFromFileName(const QString &name)
{
    QString delta;
    if (alphaDeltaFromFileName(name, nullptr, &delta))
        return delta;

    static const QRegularExpression loosePattern(QStringLiteral("\\d{6}_(?:d)?(-?)(\\d+)_m\\d{1,2}_r\\d"));
    const QRegularExpressionMatch loose = loosePattern.match(name);
    if (loose.hasMatch()) {
        const QString expanded = expandSixDigits(loose.captured(2));
        // A lone sign is no declination.
        if (expanded.isEmpty())
            return QString();
        return loose.captured(1) + expanded;
    }

    const QString plosh = ploshFromPath(name);
    int module = 0;
    int ray = 0;
    if (!plosh.isEmpty() && moduleRayFromFileName(name, &module, &ray))
        return beamDeclinationText(module, ray, plosh);
    return QString();
}

QString defaultTresolutionText(const QString &name, const QString &plosh)
{
    if (plosh == QLatin1String("N4"))
        return QStringLiteral("0.003072");
    if (plosh == QLatin1String("N0") || plosh == QLatin1String("N1") || plosh == QLatin1String("N2")) {
        return name.contains(QLatin1String("_short")) ? QStringLiteral("0.0999424")
                                                       : QStringLiteral("0.0124928");
    }
    return QString();
}

bool hasCosSuffix(const QString &name)
{
    return name.contains(QLatin1String("_cos"));
}
