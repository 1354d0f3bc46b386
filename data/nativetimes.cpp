#include "data/nativetimes.h"

#include "astro/timecoords.h"

#include <algorithm>
#include <cmath>

QDateTime localBeginInstant(const NativeFile &file)
{
    return beginDateTimeOfPoint(file.localBeginDate, file.localBeginTime, 0, file.tresolution);
}

QDateTime utcBeginInstant(const NativeFile &file)
{
    return beginDateTimeOfPoint(file.utcBeginDate, file.utcBeginTime, 0, file.tresolution);
}

qint64 nativePointNumber(const NativeFile &file, qint64 index)
{
    return qint64(file.firstPoint) + index;
}

ModifiedJulianDate utcMjdOfPoint(const NativeFile &file, qint64 index)
{
    ModifiedJulianDate mjd;
    const QDateTime begin = utcBeginInstant(file);
    if (!begin.isValid() || !std::isfinite(file.tresolution))
        return mjd;
    // Julian day numbers count from noon; MJD 0 began at midnight of JD 2400001.
    constexpr qint64 mjdOfJulianDay = 2400001;
    constexpr double secondsPerDay = 86400.0;
    const double seconds = begin.time().msecsSinceStartOfDay() / 1000.0 + double(index) * file.tresolution;
    const double days = std::floor(seconds / secondsPerDay);
    mjd.valid = true;
    mjd.day = begin.date().toJulianDay() - mjdOfJulianDay + qint64(days);
    mjd.fraction = std::clamp((seconds - days * secondsPerDay) / secondsPerDay, 0.0, std::nextafter(1.0, 0.0));
    return mjd;
}
