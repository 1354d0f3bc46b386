#include "astro/rigorousprecession.h"

#include <erfa.h>

bool rigorousPrecessionToJ2000(const QDateTime &instant, const EquatorialCoords &ofDate,
                               EquatorialCoords *j2000)
{
    if (!instant.isValid() || !j2000)
        return false;
    const QDateTime utc = instant.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    double utc1 = 0.0;
    double utc2 = 0.0;
    // Positive statuses are warnings (a year before leap seconds were known).
    if (eraDtf2d("UTC", date.year(), date.month(), date.day(), time.hour(), time.minute(),
                 time.second() + time.msec() / 1000.0, &utc1, &utc2) < 0)
        return false;
    double tai1 = 0.0;
    double tai2 = 0.0;
    double tt1 = 0.0;
    double tt2 = 0.0;
    if (eraUtctai(utc1, utc2, &tai1, &tai2) < 0 || eraTaitt(tai1, tai2, &tt1, &tt2) != 0)
        return false;

    // The matrix takes ICRS to the mean place of date; its transpose goes back.
    double biasPrecession[3][3];
    eraPmat06(tt1, tt2, biasPrecession);
    double ofDateVector[3];
    eraS2c(ofDate.alpha, ofDate.delta, ofDateVector);
    double j2000Vector[3];
    eraTrxp(biasPrecession, ofDateVector, j2000Vector);
    double alpha = 0.0;
    double delta = 0.0;
    eraC2s(j2000Vector, &alpha, &delta);
    j2000->alpha = eraAnp(alpha);
    j2000->delta = delta;
    return true;
}
