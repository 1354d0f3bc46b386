#include "data/profiletable.h"

#include "astro/profileview.h"
#include "data/profilefile.h"

#include <QSet>

#include <algorithm>

ProfileTable ProfileTable::build(const ProfileSet &set, const QString &date, int window, bool maxToCenter)
{
    ProfileTable table;
    if (date.isEmpty()) {
        table.m_error = QStringLiteral("Select a date.");
        return table;
    }
    table.m_dms = profileDispersionsOfDate(set, date);
    if (table.m_dms.isEmpty()) {
        table.m_error = QStringLiteral("No dispersions for selected date.");
        return table;
    }
    QVector<ProfileFile> files;
    QVector<double> periodValues;
    QSet<QString> seen;
    for (const QString &dm : qAsConst(table.m_dms)) {
        files.append(ProfileFile::read(findProfileFile(set, date, dm)));
        for (const QString &period : files.last().periods()) {
            if (!seen.contains(period)) {
                seen.insert(period);
                table.m_periods.append(period);
                periodValues.append(period.toDouble());
            }
        }
    }
    if (table.m_periods.isEmpty()) {
        table.m_error = QStringLiteral("No periods for selected date.");
        return table;
    }
    QVector<int> order(table.m_periods.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return periodValues.at(a) < periodValues.at(b); });
    QStringList sorted;
    for (const int i : order)
        sorted.append(table.m_periods.at(i));
    table.m_periods = sorted;

    bool any = false;
    double low = 0.0;
    double high = 0.0;
    for (const QString &period : qAsConst(table.m_periods)) {
        for (const ProfileFile &file : qAsConst(files)) {
            const ProfileView view = profileView(file.values(period), window, maxToCenter);
            Cell cell;
            cell.present = !view.values.isEmpty();
            if (cell.present) {
                cell.values = view.values;
                cell.maximum = view.maximum;
                cell.maximumIndex = view.maximumIndex;
                const auto [cellLow, cellHigh] = std::minmax_element(view.values.begin(), view.values.end());
                low = any ? std::min(low, *cellLow) : *cellLow;
                high = any ? std::max(high, *cellHigh) : *cellHigh;
                any = true;
            }
            table.m_cells.append(cell);
        }
    }
    if (any)
        table.m_range = paddedValueRange(low, high);
    return table;
}

const ProfileTable::Cell &ProfileTable::cell(int row, int column) const
{
    static const Cell none;
    if (row < 0 || row >= m_periods.size() || column < 0 || column >= m_dms.size())
        return none;
    return m_cells.at(row * m_dms.size() + column);
}

QStringList ProfileTable::columnHeaders() const
{
    QStringList headers{QStringLiteral("period")};
    for (const QString &dm : m_dms)
        headers.append(QStringLiteral("DM=%1").arg(dm));
    return headers;
}

QStringList ProfileTable::rowHeaders() const
{
    return QStringList{QStringLiteral("DM")} + m_periods;
}

QStringList ProfileTable::legendLines(int row, int column, bool showMax) const
{
    QStringList lines{QStringLiteral("p=%1").arg(m_periods.value(row)), QStringLiteral("dm=%1").arg(m_dms.value(column))};
    const Cell &c = cell(row, column);
    if (showMax && c.present)
        lines << QStringLiteral("max=%1").arg(c.maximum, 0, 'f', 1) << QStringLiteral("num=%1").arg(c.maximumIndex);
    return lines;
}
