#include "data/multidaystatus.h"

#include "astro/beamtables.h"
#include "astro/filenames.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

QString multiDayStatusText(int loadedDays, int skippedFiles, int greenDays)
{
    QStringList lines{QStringLiteral("Loaded days: %1").arg(loadedDays)};
    if (skippedFiles > 0)
        lines.append(QStringLiteral("Skipped files: %1").arg(skippedFiles));
    lines.append(QStringLiteral("Green days: %1").arg(greenDays));
    return lines.join(QLatin1Char('\n'));
}

QString SiteFields::uniformStyle()
{
    return QStringLiteral("background-color: #dfffd3;");
}

QString SiteFields::mixedStyle()
{
    return QStringLiteral("background-color: #fae5eb;");
}

SiteFields siteFields(const QString &directory, const QVector<DayPlot> &days)
{
    QStringList sites;
    const QString directorySite = ploshFromPath(directory);
    if (isKnownPlosh(directorySite)) {
        sites.append(directorySite);
    } else {
        for (const DayPlot &day : days) {
            if (!day.plosh.isEmpty() && !sites.contains(day.plosh))
                sites.append(day.plosh);
        }
        std::sort(sites.begin(), sites.end(), [](const QString &a, const QString &b) {
            const int order = a.compare(b, Qt::CaseInsensitive);
            return order != 0 ? order < 0 : a < b;
        });
    }
    QStringList intervals;
    QSet<QString> suffixes;
    for (const DayPlot &day : days) {
        if (!day.tresolutionText.isEmpty() && !intervals.contains(day.tresolutionText))
            intervals.append(day.tresolutionText);
        if (!day.suffix.isEmpty())
            suffixes.insert(day.suffix);
    }

    SiteFields fields;
    fields.plosh = sites.join(QStringLiteral(", "));
    if (sites.size() == 1 && suffixes.size() == 1) {
        if (intervals.isEmpty())
            return SiteFields();
        fields.outcome = SiteFields::Outcome::Uniform;
        fields.tresolution = intervals.join(QStringLiteral(", "));
        fields.tresolutionStyle = SiteFields::uniformStyle();
    } else {
        fields.outcome = SiteFields::Outcome::Mixed;
        fields.tresolutionStyle = SiteFields::mixedStyle();
    }
    return fields;
}
