#pragma once

#include <QColor>
#include <QString>

// One legend row of the info panel: which series it stands for, how it reads
// and whether the series is shown. A plain value.
struct LegendEntry
{
    int seriesIndex = -1;
    QString text;
    QString name;
    QString details;
    QColor color;
    bool checked = true;
    bool isLine = false;
    int index = -1;
};
