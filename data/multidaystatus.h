#pragma once

#include "data/dayplot.h"

#include <QString>
#include <QVector>

// What the multi-day form says about a finished load: its status lines and
// the read-only "Plosh" and "Tresolution" fields. Pure functions.

// "Loaded days: N", "Skipped files: N" (only when some were) and "Green
// days: N", one a line.
QString multiDayStatusText(int loadedDays, int skippedFiles, int greenDays);

// Contents of the "Plosh" and "Tresolution" fields after the first load.
struct SiteFields
{
    enum class Outcome {
        Unchanged,   // one site and one kind of file, but no sample interval: leave both fields
        Uniform,     // one site and one kind of file: the intervals on pale green
        Mixed        // several sites or kinds of file: an empty interval field on pale pink
    };
    Outcome outcome = Outcome::Unchanged;
    QString plosh;
    QString tresolution;
    QString tresolutionStyle;   // style sheet of the "Tresolution" field

    static QString uniformStyle();
    // Also the look of both fields before the first load.
    static QString mixedStyle();
};

// The sites are the directory's own when its path names one of the four,
// else the days' distinct sites sorted without regard to case; the intervals
// are the days' distinct interval texts in day order.
SiteFields siteFields(const QString &directory, const QVector<DayPlot> &days);
