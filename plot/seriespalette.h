#pragma once

#include <QColor>
#include <QVector>

// The shared series colours: 16 defaults for curves without a colour of their
// own, and the first 8 of them that modules pick per ray. Built before main()
// runs and never changed.
extern const QVector<QColor> SeriesPalette;
extern const QVector<QColor> graphColours;
// Guide lines without a colour of their own, and the thin zero line of a y axis.
extern const QColor guideLineColour;
