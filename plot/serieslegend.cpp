#include "plot/serieslegend.h"

#include "plot/seriespalette.h"

#include <QHash>

namespace SeriesLegend {

namespace {

QColor paletteColour(int curveOrdinal)
{
    return SeriesPalette.isEmpty() ? QColor(Qt::blue) : SeriesPalette.at(curveOrdinal % SeriesPalette.size());
}

} // namespace

QString key(const GraphSeries &series)
{
    switch (series.kind) {
    case GraphSeries::Curve:
        return QStringLiteral("graph:%1").arg(series.name);
    case GraphSeries::HorizontalLine:
        return QStringLiteral("gh:%1:%2").arg(series.name, QString::number(series.yValue, 'g', 12));
    case GraphSeries::VerticalLine:
        return QStringLiteral("gv:%1").arg(series.name);
    }
    return series.name;
}

bool isLine(const GraphSeries &series)
{
    return series.kind == GraphSeries::HorizontalLine || series.kind == GraphSeries::VerticalLine;
}

QColor colour(const QVector<GraphSeries> &series, int index)
{
    const GraphSeries &entry = series.at(index);
    if (entry.color.isValid())
        return entry.color;
    if (isLine(entry))
        return guideLineColour;
    int ordinal = 0;
    for (int i = 0; i < index; ++i)
        ordinal += series.at(i).kind == GraphSeries::Curve ? 1 : 0;
    return paletteColour(ordinal);
}

QVector<GraphSeries> carried(const QVector<GraphSeries> &fresh, const QVector<GraphSeries> &old)
{
    QHash<QString, int> oldByKey;
    for (int i = 0; i < old.size(); ++i)
        oldByKey.insert(key(old.at(i)), i);
    QVector<GraphSeries> result = fresh;
    int curveOrdinal = 0;
    for (GraphSeries &entry : result) {
        const auto found = oldByKey.constFind(key(entry));
        if (found != oldByKey.constEnd()) {
            const GraphSeries &previous = old.at(found.value());
            entry.visible = previous.visible;
            if (previous.color.isValid())
                entry.color = previous.color;
        }
        if (entry.kind == GraphSeries::Curve) {
            if (!entry.color.isValid())
                entry.color = paletteColour(curveOrdinal);
            ++curveOrdinal;
        }
    }
    return result;
}

QVector<LegendEntry> entries(const QVector<GraphSeries> &series)
{
    QVector<LegendEntry> legend;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < series.size(); ++i) {
            const GraphSeries &entry = series.at(i);
            if (!entry.inLegend || isLine(entry) != (pass == 1))
                continue;
            if (pass == 0 && entry.kind != GraphSeries::Curve)
                continue;
            LegendEntry row;
            row.seriesIndex = i;
            row.text = entry.name;
            row.name = entry.name;
            row.details = entry.details;
            row.color = colour(series, i);
            row.checked = entry.visible;
            row.isLine = isLine(entry);
            row.index = i;
            legend.append(row);
        }
    }
    return legend;
}

} // namespace SeriesLegend
