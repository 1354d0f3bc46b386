#pragma once

#include "astro/valuerange.h"
#include "data/profiletable.h"
#include "plot/graphspec.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// The graphs of the profiles module as GraphSpec values: the single profile
// with its legend, information lines, "For print" ticks and the calculator's
// helper lines, and one thumbnail of the table of a date. Pure functions.

// What the single graph of a profile shows.
struct ProfileGraphInput
{
    QVector<double> values;                         // shown values
    QString key;                                    // same key: the plot keeps its zoom
    QString pulsarName;
    QStringList legendLines;
    QVector<QPair<QString, QString>> informationLines;
    bool rangeFixed = false;
    ValueRange range;
    int lineWidth = 1;
    bool forPrint = false;
    bool peakSelection = false;                     // the calculator takes the mouse selection
    bool zoom = false;
    // The calculator's helper lines: the half level and the peak bounds
    // (bounds outside the profile are not drawn).
    bool helperLines = false;
    double halfLevel = 0.0;
    int n1 = -1;
    int n2 = -1;
};

GraphSpec buildProfileGraphSpec(const ProfileGraphInput &input);

// The thumbnail of cell (row, column); an empty spec for a cell without data.
GraphSpec buildProfileThumbnailSpec(const ProfileTable &table, int row, int column, bool showMax);

// "For print" ticks: y at 0 and at the maximum when it is above 1e-12, with
// the minimum when it is below -1e-12 (a tick so close to 0 would only
// crowd the zero label); x at five integer points from the first to the last.
QVector<double> printYTicks(const QVector<double> &values);
QVector<double> printXTicks(int count);
