#include "modules/calculator/calculatorrules.h"

#include "astro/beamtables.h"
#include "astro/timecoords.h"
#include "modules/calculator/calculatorreport.h"

#include <QLocale>

QPair<int, int> siteModuleRange(const QString &site)
{
    if (site == QLatin1String("N1") || site == QLatin1String("N2"))
        return {1, 6};
    if (site == QLatin1String("N0"))
        return {3, 6};
    return {1, 20};
}

DeltaFromRay deltaFromRay(const QString &site, int module, int ray)
{
    DeltaFromRay result;
    QString text = CalculatorReport::title(QStringLiteral("Get delta from ray"));
    QString errors;
    if (site.isEmpty())
        errors += QStringLiteral("Select plosh in form!<br>");
    if (module < 1)
        errors += QStringLiteral("Select module in form!<br>");
    if (ray < 1)
        errors += QStringLiteral("Select ray in form!<br>");
    if (!errors.isEmpty()) {
        result.report = text + QStringLiteral("<p><b>Error:</b><br>") + errors;
        return result;
    }

    text += QStringLiteral("<p><b>Parameters:</b><p>plosh = <span style='color: green'>%1</span><br>"
                           "module = <span style='color: green'>%2</span><br>"
                           "ray = <span style='color: green'>%3</span>")
                .arg(site.toHtmlEscaped())
                .arg(module)
                .arg(ray);
    const double delta = beamDeclination(module, ray, site);
    if (delta >= -100.0) {
        result.found = true;
        result.delta = delta;
        result.degreesText = formatDegreesText(delta);
        text += QStringLiteral("<p><b>Result:</b><p>delta = <span style='color: blue'>%1</span><br>"
                               "delta = <span style='color: blue'>%2</span>")
                    .arg(result.degreesText.toHtmlEscaped(),
                         QString::number(delta, 'g', QLocale::FloatingPointShortest));
    } else {
        text += QStringLiteral(
            "<p><span style='color: red'>Error:</span> no delta for these module and beam!");
    }
    result.report = text;
    return result;
}
