#include "astro/fluxsitedefaults.h"

#include "astro/filenames.h"
#include "astro/timecoords.h"

#include <cmath>

FluxSiteDefaults fluxSiteDefaults(const QString &fileName, const QString &currentN0,
                                  std::optional<double> deltaDegrees)
{
    FluxSiteDefaults defaults;
    defaults.site = ploshFromPath(fileName);
    const bool n4 = defaults.site == QLatin1String("N4");
    if (!defaults.site.isEmpty()) {
        defaults.sens = n4 ? QStringLiteral("0.58") : QStringLiteral("0.23");
        defaults.n0 = n4 ? QStringLiteral("65536") : QStringLiteral("16348");
    }
    const QString n0 = defaults.n0.isEmpty() ? currentN0 : defaults.n0;
    if (!n4) {
        defaults.cosine = FluxSiteDefaults::Cosine::Off;
        defaults.cosText = QStringLiteral("1");
        defaults.nText = n0;
    } else if (deltaDegrees && std::isfinite(*deltaDegrees)) {
        const double c = std::cos(*deltaDegrees * M_PI / 180.0);
        defaults.cosine = FluxSiteDefaults::Cosine::On;
        defaults.cosText = QString::number(c, 'f', 4);
        // n0 / cos may exceed an int; the field only shows it.
        if (c > 1e-5)
            defaults.nText = QString::number(std::trunc(n0.toDouble() / c), 'f', 0);
    }
    return defaults;
}

std::optional<double> fileNameDeclinationDegrees(const QString &fileName)
{
    double radians = 0.0;
    if (!parseDeclination(deltaFromFileName(fileName), &radians))
        return std::nullopt;
    return radians * 180.0 / M_PI;
}

QString defaultT178Text()
{
    return QStringLiteral("300");
}

QString defaultTrText()
{
    return QStringLiteral("270");
}
