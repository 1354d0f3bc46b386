#include "astro/resultnumber.h"

int resultDecimals(double value)
{
    if (value > 100.0)
        return 1;
    if (value >= 1.0)
        return 2;
    if (value < 1e-8)
        return 8;
    // Exact decimal literals, so that 0.01 itself counts as two leading digits.
    static const double bounds[] = {1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8};
    int decimals = 2;
    for (const double bound : bounds) {
        if (value >= bound)
            break;
        ++decimals;
    }
    return decimals;
}

QString resultNumberText(double value, int extraDecimals)
{
    return QString::number(value, 'f', resultDecimals(value) + extraDecimals);
}
