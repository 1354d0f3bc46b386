#pragma once

#include "astro/valuerange.h"
#include "data/profileset.h"

#include <QString>
#include <QStringList>
#include <QVector>

// The table of thumbnails of one date: one row per period, one column per
// DM, each cell the profile of that period in the date's file of that DM,
// averaged and centred as the single graph is. A value built by build(),
// never changed afterwards; a new date, window or centring needs a new build.
class ProfileTable
{
public:
    struct Cell
    {
        bool present = false;     // false: no file, or no values for the period
        QVector<double> values;   // shown values
        double maximum = 0.0;
        int maximumIndex = -1;
    };

    // Reads each DM's file of the date once. Fails with the user's message
    // when the date is empty or has no DM or no period.
    static ProfileTable build(const ProfileSet &set, const QString &date, int window, bool maxToCenter);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QStringList dispersions() const { return m_dms; }   // columns, ascending by value
    QStringList periods() const { return m_periods; }   // rows, ascending by value
    const Cell &cell(int row, int column) const;
    // Row of a period text / column of a DM text; -1 when not in the table.
    int rowOf(const QString &period) const { return m_periods.indexOf(period); }
    int columnOf(const QString &dm) const { return m_dms.indexOf(dm); }

    // One y range for every thumbnail: the padded range of all cell values
    // together ({0, 1} when no cell has values).
    ValueRange range() const { return m_range; }
    bool rangeContainsZero() const { return m_range.min <= 0.0 && m_range.max >= 0.0; }

    // Headers of the thumbnail panel: "period" (the corner) then "DM=<dm>"
    // per column; "DM" (not shown as a row) then the period texts.
    QStringList columnHeaders() const;
    QStringList rowHeaders() const;

    // Legend of a thumbnail: "p=", "dm=", and with showMax "max=" and "num=".
    QStringList legendLines(int row, int column, bool showMax) const;

private:
    QString m_error;
    QStringList m_dms;
    QStringList m_periods;
    QVector<Cell> m_cells;   // row by row
    ValueRange m_range;
};
