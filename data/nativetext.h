#pragma once

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The text form of native data (".txt": a key/value header, a frequency line,
// a channel line and one row per point) and the two extract writers that cut
// a selection out of a loaded record into text or into the binary layout.
// Plain functions; each reads or writes only the record and file it is given.

// Reads a native text file into the record (one module, one ray, the listed
// channels plus the sum channel). On failure npoints holds the error code.
bool readNativeText(const QString &path, NativeFile *file, const NativeProgress &progress = {});

// Receives the share of the points written so far, 0..100, each value once;
// returning false stops the writer, which then fails and leaves the target as
// it was. May be empty.
using ExtractProgress = std::function<bool(int)>;

// Writes one ray of the selection as text. Fails with the user's error text;
// a failed write leaves no file behind and an existing target unchanged.
bool writeTextExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                      QString *error, const ExtractProgress &progress = {});
// Writes the selection (one ray, or all eight with ray 0) as a binary native
// file with its own passport. Fails like writeTextExtract.
bool writeBinaryExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                        QString *error, const ExtractProgress &progress = {});

// "hh:mm:ss.zzz" plus a trailing "0"; empty for an invalid date-time.
QString timeTextOfDateTime(const QDateTime &dateTime);
// The frequencies of the frequency channels, shortest form, blank-separated.
QString frequencyListText(const NativeFile &file);
