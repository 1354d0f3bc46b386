#pragma once

#include "data/daygraphcontent.h"
#include "data/dayplot.h"
#include "plot/graphspec.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The multi-day module's decisions that need no widgets: reading the form's
// number and colour fields, the order of the days, the shape of the table
// and the graph description of a day. Plain functions.

// Limits of the table fields: columns, thumbnail width and height in pixels.
struct TableLimits
{
    static constexpr int minColumns = 1, maxColumns = 20;
    static constexpr int minWidth = 150, maxWidth = 2000;
    static constexpr int minHeight = 100, maxHeight = 1200;
};

// A number field's value: the text as an integer (0 when it is none) clamped
// to [min, max].
int clampedFieldValue(const QString &text, int min, int max);

// The look of a colour field's swatch: the colour the curves take from the
// field's text; empty when the text names no colour (the swatch stays).
QString colourSwatchStyle(const QString &fieldText);

// Background of a green day's graph and of an ordinary one.
QString greenDayBackground();
QString plainDayBackground();

// Sorts the days by date, then file name, then full path, each without
// regard to case.
void sortDays(QVector<DayPlot> *days);

// The grid of the table: as many rows as the columns need for the days, and
// the header texts (an empty corner, "1" .. columns; an unshown first row
// entry, "1" .. rows).
struct TableGrid
{
    int columns = 1;
    int rows = 0;
    QStringList columnHeaders;
    QStringList rowHeaders;
};
TableGrid tableGrid(int dayCount, int columns);

// What a day's processed curves depend on: the processing settings and the
// dispersion, as a text that differs when they do.
QString processingKey(const DayGraphSettings &settings);

// The graph description of a day's content: the curves, the header lines as
// info lines, "signal" / "sum of channels" on the y axis and "num" / "point
// number" below. A thumbnail's y range is fixed to the padded range and its
// ticks kept within the raw range.
GraphSpec dayGraphSpec(const DayGraphContent &content, bool thumbnail);
