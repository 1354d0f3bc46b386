#include "astro/dispersion.h"

double dispersionDelayPoints(double f1, double f2, double dm, double tres)
{
    if (f1 == 0.0 || f2 == 0.0 || tres == 0.0)
        return 0.0;
    return (1.0 / (f2 * f2) - 1.0 / (f1 * f1)) * dispersionConstant * dm / tres;
}
