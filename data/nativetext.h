#pragma once

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <QDateTime>
#include <QString>

#include <functional>

// The text form of native data (".txt": a key/value header, a frequency line,
// a channel line and one row per point) and the two extract writers that cut
// a selection out of a loaded record into text or into the binary layout.
// Header values are read and written as Latin-1, byte for byte, in text and
// binary files alike, so that they survive extracts of extracts unchanged.
// Plain functions; each reads or writes only the record and file it is given.

// Reads a native text file into the record (one module, one ray, the listed
// channels plus the sum channel). On failure npoints holds the error code.
bool readNativeText(const QString &path, NativeFile *file, const NativeProgress &progress = {});

// False only when readNativeText would certainly refuse the file, judged
// from its header and table lines as far as they lie within about maxBytes
// (a line may take up to 1 MiB more); a file undecided by then is true.
bool mayBeNativeText(const QString &path, qint64 maxBytes);

// Writes one ray of the selection as text. Fails with the user's error text;
// a failed write leaves no file behind and an existing target unchanged.
// The progress receives the share of the points written, each percentage
// once; returning false stops the writer, which then fails the same way.
bool writeTextExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                      QString *error, const NativeProgress &progress = {});
// Writes the selection (one ray, or all eight with ray 0) as a binary native
// file with its own passport. Fails like writeTextExtract.
bool writeBinaryExtract(const QString &path, const NativeFile &file, const NativeSelection &selection,
                        QString *error, const NativeProgress &progress = {});

// "hh:mm:ss.zzz" plus a trailing "0"; empty for an invalid date-time.
QString timeTextOfDateTime(const QDateTime &dateTime);
// The name of the observation file the record was cut from, without its
// directory; the record's own file name when the passport names none.
QString parentFileName(const NativeFile &file);
// The frequencies of the frequency channels, shortest form, blank-separated.
QString frequencyListText(const NativeFile &file);
