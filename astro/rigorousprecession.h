#pragma once

#include "astro/timecoords.h"

#include <QDateTime>

// The standard reduction beside the program's short precession formula:
// ERFA's IAU 2006 precession (with the frame bias) from the mean equator and
// equinox of date to J2000 (ICRS axes). No nutation or aberration: the
// program's sidereal time is mean, so its places of date are mean places.

// The place of date at the instant (in any time zone; UTC through
// ERFA's leap-second table to TT) reduced to J2000; false for an invalid
// instant or one outside ERFA's calendar.
bool rigorousPrecessionToJ2000(const QDateTime &instant, const EquatorialCoords &ofDate,
                               EquatorialCoords *j2000);
