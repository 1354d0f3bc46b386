#pragma once

#include <QPair>
#include <QString>

// Decisions of the calculators form that need no window. Plain functions.

// Module numbers a site has ("N1", "N2": 1..6; "N0": 3..6; else 1..20).
QPair<int, int> siteModuleRange(const QString &site);

// Outcome of "Get delta from ray": the rich text for the result panel and,
// when a declination was found, its value and degree text.
struct DeltaFromRay
{
    QString report;
    bool found = false;
    double delta = 0.0;
    QString degreesText;
};
DeltaFromRay deltaFromRay(const QString &site, int module, int ray);
