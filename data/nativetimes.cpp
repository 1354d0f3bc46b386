#include "data/nativetimes.h"

#include "astro/timecoords.h"

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
