#pragma once

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <QString>

// The PRESTO time series of a selection: the dispersion-corrected sum of one
// beam's frequency channels as a ".dat" file of 32-bit floats, with its
// ".inf" text of labelled lines ("label  =  value", labels padded to one
// column, as PRESTO writes them). Plain functions; the writer reads only the
// record it is given and writes only its two targets.

// The path both files share: the output without a ".dat" or ".inf" suffix.
QString prestoBasePath(const QString &output);

// The ".inf" text of the selection's sum at the dispersion measure; baseName
// is the data file's name without directory and suffix.
QString prestoInfText(const NativeFile &file, const NativeSelection &selection, double dm,
                      const QString &baseName);

// Writes basePath + ".dat" and basePath + ".inf" through atomic save files.
// Fails with the user's text and leaves neither file behind; the progress
// receives the share of points written and may stop the writer.
bool writePrestoTimeSeries(const QString &basePath, const NativeFile &file, const NativeSelection &selection,
                           double dm, QString *error, const NativeProgress &progress = {});
