#include "modules/profiles/profilesrules.h"

#include "astro/timecoords.h"

#include <cmath>

int steppedIndex(int index, int count, int step)
{
    const int next = index + step;
    return next >= 0 && next < count ? next : index;
}

QSize printSize(const QString &width, const QString &height)
{
    bool okWidth = false;
    bool okHeight = false;
    const int w = width.trimmed().toInt(&okWidth);
    const int h = height.trimmed().toInt(&okHeight);
    if (!okWidth || !okHeight || w < 1 || h < 1)
        return QSize();
    return QSize(w, h);
}

QSize windowSizeForPlot(const QSize &windowSize, const QSize &plotSize, const QSize &requested)
{
    return windowSize + requested - plotSize;
}

QString deltaDegreesText(const QString &delta)
{
    double radians = 0.0;
    if (!parseDeclination(delta.trimmed(), &radians))
        return QString();
    return QString::number(radians * 180.0 / M_PI, 'f', 4);
}

QSize thumbnailSize(const QString &width, const QString &height)
{
    const auto side = [](const QString &text) {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        return ok ? qBound(20, value, 4000) : 200;
    };
    return QSize(side(width), side(height));
}
