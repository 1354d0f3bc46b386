#pragma once

#include "astro/fluxcalculator.h"

#include <QString>

// Texts of "Calculate and Show": the clipboard summary for the observing log
// and the Russian report with every parameter and intermediate value. Pure
// functions of a successful calculation.

// The form's texts that the reports quote as they stand.
struct FluxReportLabels
{
    QString pulsarName;
    QString period;       // the period text of the form
    QString dispersion;
    QString date;
    QString deltaText;    // the declination as the form writes it
};

QString fluxClipboardText(const FluxReportLabels &labels, const FluxResult &result);

// Title of the report box.
QString fluxReportTitle();
// The report; it ends with the clipboard text.
QString fluxReportText(const FluxInput &input, const FluxResult &result, const HalfWidth &width,
                       const FluxReportLabels &labels);
