#pragma once

#include "astro/seriesprocessing.h"
#include "astro/valuerange.h"
#include "data/dayplot.h"

#include <QString>
#include <QStringList>
#include <QVector>

// What the graph of one observation day shows, the same for the single graph
// and for a thumbnail of the table: its processed channel sums and, on
// request, their approximations, the header lines and the value ranges.
// Plain values computed by a pure function; the module turns them into a
// GraphSpec (axes: "signal" / "sum of channels", bottom row "num" /
// "point number"; x of each curve = its sample index).

// One curve; colour is a colour name ("#" and hexadecimal digits).
struct DayCurve
{
    QString name;
    QVector<double> values;
    QString colour;
    bool visible = true;
};

// The form's settings a day's graph depends on. The colours are the texts of
// the colour fields, with or without the leading "#".
struct DayGraphSettings
{
    SeriesProcessing processing;
    double dm = 0.0;
    bool showDm0 = true;
    bool showDm = true;
    QString dm0Colour = QStringLiteral("FF0000");
    QString dmColour = QStringLiteral("0000FF");
    bool showFileName = false;
    bool showDate = true;
    bool showMax = false;
};

struct DayGraphContent
{
    // The DM = 0 sum, the DM sum and, with the approximation shown, the
    // approximations of both, in that order.
    QVector<DayCurve> curves;
    double maximum = 0.0;        // largest finite value of all curves, 0 when none
    QStringList headerLines;     // the graph's info lines
    ValueRange rawRange;         // finite values of all curves; 0 .. 1 when none
    ValueRange paddedRange;      // a thumbnail's fixed y range around rawRange
};

// The colour a colour field names: "#" added when missing after trimming; a
// text that is no hexadecimal colour gives the fallback.
QString curveColourName(const QString &field, const QString &fallback);

// The header lines of a day's graph with the given maximum: its file name,
// its date and "max=" with two decimals, each when the settings show it.
QStringList dayHeaderLines(const DayPlot &day, double maximum, const DayGraphSettings &settings);

DayGraphContent dayGraphContent(const DayPlot &day, const DayGraphSettings &settings);
// Gives a day's content the colours and visibility of its two sums and the
// header lines of other settings of the same processing and dispersion, so
// that a change of these alone needs no new processing.
void restyleDayGraphContent(DayGraphContent *content, const DayPlot &day, const DayGraphSettings &settings);
// The contents of many days, in their order, computed on every core; the
// same values as dayGraphContent of each day.
QVector<DayGraphContent> dayGraphContents(const QVector<DayPlot> &days, const DayGraphSettings &settings);
