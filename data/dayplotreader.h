#pragma once

#include "data/dayplot.h"

#include <QString>
#include <QStringList>

#include <functional>

// Finding the observation files of a multi-day directory and reading one of
// them into a DayPlot. Plain functions; a read writes only the record it is
// given, so reads of different files may run on different threads at once.

// Every ".pnt", ".pnthr" and ".txt" file (suffixes in any case) of the
// directory and its subdirectories, except the green-dates file in any case,
// as full paths sorted without regard to case.
QStringList scanObservationDirectory(const QString &dir);

// Reads one observation file and fills the day: both channel sums of module
// and beam 0 over every point, for dispersion 0 and for dm, from one pass
// over the file that keeps no more than a window of its samples. Fails on an
// unreadable, truncated or empty file, a file without modules or beams, or
// one whose channel sums cannot be computed; *severalPairs is set when the
// failure is a file of more than one module-beam pair. stopRequested, when
// set, is asked between pieces of the file; a true answer abandons the read
// (a failure without the flag).
bool readDayPlot(const QString &path, double dm, DayPlot *day, bool *severalPairs = nullptr,
                 const std::function<bool()> &stopRequested = {});
