#pragma once

#include <QString>

// One axis check box of the info panel. A plain value.
struct AxisEntry
{
    QString text;
    bool checked = true;
    bool enabled = true;
    int index = -1;
};
