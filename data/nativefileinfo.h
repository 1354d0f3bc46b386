#pragma once

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// A native file as the program would open it, and what the command-line
// tool tells of it. Plain functions; no state.

// How the samples of a binary file are reached.
enum class SampleAccess {
    AsProgram,    // as the program opens it: read into memory below 2 GiB, mapped above
    Mapped,       // always mapped: a pass over the samples holds no copy of them
};

// Checks the path as the open dialog's choice is checked, reads the file and
// validates the record. True when the program would show the file; else
// `problems` says why in the program's words, and the record keeps what
// could be read (the passport of a file whose size is wrong, for instance).
// Text files are always read into memory.
bool loadCheckedNativeFile(const QString &path, NativeFile *file, QStringList *problems,
                           const NativeProgress &progress = {}, SampleAccess access = SampleAccess::AsProgram);

// The passport fields, dimensions, channel frequencies, start instants
// (telescope time, UTC, MJD), duration and problems of a file read by
// loadCheckedNativeFile: as aligned "label: value" lines, and as one JSON
// object. Dimensions and times are left out when the file could not be read.
QString nativeFileInfoText(const QString &path, const NativeFile &file, const QStringList &problems);
QJsonObject nativeFileInfoJson(const QString &path, const NativeFile &file, const QStringList &problems);
