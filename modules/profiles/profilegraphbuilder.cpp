#include "modules/profiles/profilegraphbuilder.h"

#include <algorithm>
#include <cmath>

namespace {

const QColor profileColour(0, 0, 200);
const QColor helperColour(200, 0, 0);
const QColor markerColour(220, 0, 0);

XAxisSpec pointAxis(int count)
{
    XAxisSpec axis;
    axis.enabled = true;
    axis.xValues.resize(count);
    for (int i = 0; i < count; ++i)
        axis.xValues[i] = i;
    axis.decimals = 0;
    AxisRow row;
    row.name = QStringLiteral("i");
    row.title = QStringLiteral("number of points");
    axis.rows.append(row);
    return axis;
}

XAxisSpec phaseAxis(int count)
{
    XAxisSpec axis;
    axis.enabled = true;
    axis.tickMode = TickMode::Explicit;
    const double last = std::max(0, count - 1);
    axis.explicitTicks = {0.0, 0.25 * last, 0.5 * last, 0.75 * last, last};
    axis.explicitTickLabels = QStringList{QStringLiteral("0"), QStringLiteral("0.25"), QStringLiteral("0.5"),
                                          QStringLiteral("0.75"), QStringLiteral("1")};
    AxisRow row;
    row.name = QStringLiteral("phase");
    row.title = QStringLiteral("profile phase");
    row.readoutDecimals = 3;
    row.readoutFormatter = [last](double x, int) {
        return QString::number(last > 0.0 ? x / last : 0.0, 'f', 3);
    };
    axis.rows.append(row);
    return axis;
}

GraphSeries verticalLine(const QString &name, int index)
{
    GraphSeries line(name, {}, helperColour);
    line.kind = GraphSeries::VerticalLine;
    line.sampleIndex = index;
    line.inLegend = false;
    line.drawOnTop = true;
    return line;
}

} // namespace

QVector<double> printYTicks(const QVector<double> &values)
{
    double lo = 0.0;
    double hi = 0.0;
    for (double v : values) {
        if (!std::isfinite(v))
            continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    QVector<double> ticks;
    if (lo < -1e-12)
        ticks.append(lo);
    ticks.append(0.0);
    if (hi > 1e-12)
        ticks.append(hi);
    return ticks;
}

QVector<double> printXTicks(int count)
{
    QVector<double> ticks;
    if (count < 1)
        return ticks;
    const int last = count - 1;
    for (int i = 0; i < 5; ++i) {
        const double tick = std::round(last * i / 4.0);
        if (ticks.isEmpty() || ticks.last() != tick)
            ticks.append(tick);
    }
    return ticks;
}

GraphSpec buildProfileGraphSpec(const ProfileGraphInput &input)
{
    GraphSpec spec;
    const int n = input.values.size();
    spec.key = input.key;
    spec.title = input.pulsarName;
    spec.infoLines = input.legendLines;
    for (const auto &line : input.informationLines)
        spec.headerRows.append(HeaderRow(line.first, line.second));
    spec.lineWidth = std::max(1, input.lineWidth);
    spec.peakSelectionEnabled = input.peakSelection;
    spec.zoomEnabled = input.zoom && !input.peakSelection;

    GraphSeries curve(QStringLiteral("snr"), input.values, profileColour);
    curve.lineWidth = spec.lineWidth;
    spec.series.append(curve);
    if (input.helperLines && n > 0) {
        GraphSeries half(QStringLiteral("y=H/2"), {}, helperColour);
        half.kind = GraphSeries::HorizontalLine;
        half.yValue = input.halfLevel;
        half.inLegend = false;
        half.drawOnTop = true;
        spec.series.append(half);
        if (input.n1 >= 0 && input.n1 < n)
            spec.series.append(verticalLine(QStringLiteral("n1"), input.n1));
        if (input.n2 >= 0 && input.n2 < n)
            spec.series.append(verticalLine(QStringLiteral("n2"), input.n2));
    }

    spec.bottomAxis = pointAxis(n);
    spec.topAxis = phaseAxis(n);
    spec.yAxis.name = QStringLiteral("snr");
    spec.yAxis.title = QStringLiteral("signal-to-noise ratio");
    if (input.rangeFixed) {
        spec.yAxis.autoRange = false;
        spec.yAxis.min = input.range.min;
        spec.yAxis.max = input.range.max;
    }
    if (input.forPrint) {
        spec.layoutMode = GraphLayout::Large;
        spec.yAxis.tickMode = TickMode::Explicit;
        spec.yAxis.explicitTicks = printYTicks(input.values);
        spec.bottomAxis.tickMode = TickMode::Explicit;
        spec.bottomAxis.explicitTicks = printXTicks(n);
        for (double tick : qAsConst(spec.bottomAxis.explicitTicks))
            spec.bottomAxis.explicitTickLabels.append(QString::number(tick, 'f', 0));
    } else {
        spec.layoutMode = GraphLayout::Normal;
        spec.yAxis.zeroAxis = ZeroAxis::Line;
        spec.bottomAxis.tickSpacing = 100;
    }
    return spec;
}

GraphSpec buildProfileThumbnailSpec(const ProfileTable &table, int row, int column, bool showMax)
{
    GraphSpec spec;
    const ProfileTable::Cell &cell = table.cell(row, column);
    if (!cell.present)
        return spec;
    spec.layoutMode = GraphLayout::Compact;
    spec.infoPanelVisible = false;
    spec.key = QStringLiteral("profile-cell|%1|%2").arg(row).arg(column);
    spec.infoLines = table.legendLines(row, column, showMax);
    spec.series.append(GraphSeries(QStringLiteral("snr"), cell.values, profileColour));
    if (table.rangeContainsZero()) {
        GraphSeries zero(QStringLiteral("0"), {}, Qt::gray);
        zero.kind = GraphSeries::HorizontalLine;
        zero.inLegend = false;
        spec.series.append(zero);
    }
    if (cell.maximumIndex >= 0) {
        GraphSeries marker(QStringLiteral("max"), {}, markerColour);
        marker.kind = GraphSeries::VerticalLine;
        marker.sampleIndex = cell.maximumIndex;
        marker.inLegend = false;
        spec.series.append(marker);
    }
    spec.bottomAxis.enabled = true;
    spec.bottomAxis.xValues.resize(cell.values.size());
    for (int i = 0; i < cell.values.size(); ++i)
        spec.bottomAxis.xValues[i] = i;
    spec.bottomAxis.decimals = 0;
    spec.yAxis.name = QStringLiteral("snr");
    spec.yAxis.autoRange = false;
    spec.yAxis.min = table.range().min;
    spec.yAxis.max = table.range().max;
    return spec;
}
