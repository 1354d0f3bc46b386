#include "modules/multiday/multidayrules.h"

#include <QColor>

#include <algorithm>

int clampedFieldValue(const QString &text, int min, int max)
{
    return std::clamp(text.trimmed().toInt(), min, max);
}

QString colourSwatchStyle(const QString &fieldText)
{
    const QString name = curveColourName(fieldText, QString());
    if (name.isEmpty())
        return QString();
    return QStringLiteral("QLabel { background-color: %1; border: 1px solid #555555; }").arg(QColor(name).name());
}

QString greenDayBackground()
{
    return QStringLiteral("#defbdd");
}

QString plainDayBackground()
{
    return QStringLiteral("#ffffff");
}

void sortDays(QVector<DayPlot> *days)
{
    std::stable_sort(days->begin(), days->end(), [](const DayPlot &a, const DayPlot &b) {
        if (const int byDate = a.date.compare(b.date, Qt::CaseInsensitive))
            return byDate < 0;
        if (const int byName = a.fileName.compare(b.fileName, Qt::CaseInsensitive))
            return byName < 0;
        return a.filePath.compare(b.filePath, Qt::CaseInsensitive) < 0;
    });
}

TableGrid tableGrid(int dayCount, int columns)
{
    TableGrid grid;
    grid.columns = std::max(1, columns);
    grid.rows = dayCount > 0 ? (dayCount + grid.columns - 1) / grid.columns : 0;
    grid.columnHeaders << QString();
    for (int c = 1; c <= grid.columns; ++c)
        grid.columnHeaders << QString::number(c);
    grid.rowHeaders << QString();
    for (int r = 1; r <= grid.rows; ++r)
        grid.rowHeaders << QString::number(r);
    return grid;
}

QString processingKey(const DayGraphSettings &settings)
{
    const SeriesProcessing &p = settings.processing;
    return QStringLiteral("dm=%1|step=%2|len=%3|approx=%4|noise=%5|avg=%6/%7")
        .arg(settings.dm)
        .arg(int(p.removeStep))
        .arg(p.approximationLength)
        .arg(int(p.showApproximation))
        .arg(int(p.subtractNoise))
        .arg(p.averaging)
        .arg(int(p.averagingType));
}

GraphSpec dayGraphSpec(const DayGraphContent &content, bool thumbnail)
{
    GraphSpec spec;
    for (const DayCurve &curve : content.curves) {
        GraphSeries series(curve.name, curve.values, QColor(curve.colour));
        series.visible = curve.visible;
        spec.series.append(series);
    }
    spec.infoLines = content.headerLines;
    spec.yAxis.name = QStringLiteral("signal");
    spec.yAxis.title = QStringLiteral("sum of channels");
    spec.bottomAxis.enabled = true;
    AxisRow row;
    row.name = QStringLiteral("num");
    row.title = QStringLiteral("point number");
    spec.bottomAxis.rows.append(row);
    if (thumbnail) {
        spec.layoutMode = GraphLayout::Compact;
        spec.yAxis.autoRange = false;
        spec.yAxis.min = content.paddedRange.min;
        spec.yAxis.max = content.paddedRange.max;
        spec.yAxis.tickBandOnly = true;
        spec.yAxis.bandMin = content.rawRange.min;
        spec.yAxis.bandMax = content.rawRange.max;
    }
    return spec;
}
