#pragma once

#include "data/nativefile.h"

#include <QDateTime>

// Where the sample points of a native record lie in time and in the whole
// observation. The begin date and time in a file's header are the instant of
// that file's own first sample (index 0), milliseconds included; its
// firstPoint only numbers the points within the observation it was cut from,
// so an extract shows the same numbers, times and alphas as its source.
// Pure functions.

// Begin instants (UTC clock values) from the "yyyy.MM.dd" date and the
// "hh:mm:ss.zzz" or "hh:mm:ss" time; invalid when they do not parse.
QDateTime localBeginInstant(const NativeFile &file);
QDateTime utcBeginInstant(const NativeFile &file);

// The number a point is shown and typed by: firstPoint + index.
qint64 nativePointNumber(const NativeFile &file, qint64 index);

// A Modified Julian Date, its whole days and the fraction of the day kept
// apart so that the fraction keeps sub-millisecond resolution.
struct ModifiedJulianDate
{
    bool valid = false;
    qint64 day = 0;
    double fraction = 0.0;   // [0, 1)

    double value() const { return double(day) + fraction; }
};

// The UTC MJD of the point at `index` (0-based in the file): the UTC begin
// plus index * tresolution seconds; invalid when the begin does not parse.
ModifiedJulianDate utcMjdOfPoint(const NativeFile &file, qint64 index);
