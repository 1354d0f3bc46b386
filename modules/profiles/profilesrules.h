#pragma once

#include <QSize>
#include <QString>

// Small decisions of the profiles module that need no widget. Pure functions.

// The index an arrow button steps a list of count items to: index + step
// when that is inside the list, else index unchanged (no wrapping).
int steppedIndex(int index, int count, int step);

// The print size of the form's two fields; an invalid size (width or
// height below 1) when either is not a positive whole number.
QSize printSize(const QString &width, const QString &height);

// The window size at which the plot, now plotSize inside a window of
// windowSize, becomes exactly requested.
QSize windowSizeForPlot(const QSize &windowSize, const QSize &plotSize, const QSize &requested);

// The declination of the "Delta" field ("dd:mm:ss", signed) in degrees with
// four decimals, as the calculator reads it; empty when it does not parse.
QString deltaDegreesText(const QString &delta);

// The thumbnail size of the form's fields: at least 20 x 20 pixels, 200 for
// a field that is not a number.
QSize thumbnailSize(const QString &width, const QString &height);
