#pragma once

#include "plot/graphspec.h"
#include "plot/legendentry.h"

#include <QColor>
#include <QString>
#include <QVector>

// How a plot tells its series apart from one spec to the next, which colour
// each is drawn in and how its legend reads: plain functions over a spec's
// series, callable from any thread.
namespace SeriesLegend {

// What identifies a series in the next spec: kind and name, and the level of
// a horizontal line.
QString key(const GraphSeries &series);
bool isLine(const GraphSeries &series);
// The colour series[index] is drawn in: its own, the guide-line grey, or the
// palette's by its place among the curves.
QColor colour(const QVector<GraphSeries> &series, int index);
// The fresh series with the visibility and colour of the old series of the
// same key, and curves without a colour given the palette's.
QVector<GraphSeries> carried(const QVector<GraphSeries> &fresh, const QVector<GraphSeries> &old);
// The legend: the curves, then the guide lines, without the series left out.
QVector<LegendEntry> entries(const QVector<GraphSeries> &series);

} // namespace SeriesLegend
