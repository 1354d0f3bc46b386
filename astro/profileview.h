#pragma once

#include "astro/valuerange.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The arithmetic of the profiles module's graphs that needs no widget: the
// shown values of a profile (moving average, maximum centred), their fixed
// range, legend and information lines, the moving-average window limit, the
// time of a phase point and the suggested image name. Pure functions.

// Index of the first largest value; -1 for no values.
int firstMaximumIndex(const QVector<double> &values);

// "Max to center": rotated circularly so that the first maximum lands at
// index n / 2 (value j of the result is value (k - n/2 + j) mod n).
QVector<double> rotateMaxToCenter(const QVector<double> &values);

// A profile as one graph or one thumbnail shows it.
struct ProfileView
{
    QVector<double> values;   // after the moving average and the centring
    // With a moving-average window of 1 or more the y range is fixed to the
    // padded range of the raw values, so that averaging keeps the scale.
    bool rangeFixed = false;
    ValueRange range;
    double maximum = 0.0;     // largest shown value; 0 without values
    int maximumIndex = -1;    // its first index
};
ProfileView profileView(const QVector<double> &raw, int window, bool maxToCenter);

// What the legend and the information lines of one graph say.
struct ProfileCaption
{
    QString dm;         // the print dispersion text
    QString period;     // the print period text
    QString date;
    QString fileName;   // without directory
    double maximum = 0.0;
    int window = 0;     // moving-average window
    bool showMax = false;
    bool showDate = false;
};
QStringList profileLegendLines(const ProfileCaption &caption);
// (label, value) pairs of the information panel.
QVector<QPair<QString, QString>> profileInformationLines(const ProfileCaption &caption);

// Largest moving-average window for a period: ceil(period / (2 tresolution))
// when that ratio exceeds 1, else 0; no limit (INT_MAX) without a positive
// time resolution.
int maxAverageWindow(double period, double tresolution);
// The warning shown when a larger window was asked for.
QString averageWindowLimitText(int maximum, double period);

// Seconds from the start of the period to phase point `point` of a profile of
// np points: point x period / np; -1 when np < 1.
double profilePointTime(double point, double period, int np);

// Suggested name of a saved graph image: pulsar name (path separators made
// "_") + module-ray tag, in one-graph mode + "_p<period>_dm<dm>", then
// "_<date>.png"; inside saveDir when that is not empty.
QString profileImageFileName(const QString &pulsarName, const QString &moduleRayTag, bool oneGraph,
                             const QString &period, const QString &dm, const QString &date,
                             const QString &saveDir);
