#pragma once

#include "data/nativefile.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Recognising native files, listing those of a directory, checking the file
// the user chose, and the texts of read errors and validation problems.
// Plain functions on the file system; no state.

// One native file of a directory listing.
struct NativeFileEntry
{
    QString fileName;
    QString absolutePath;
};

// "pnt" or "pnthr", in any case.
bool isBinaryNativeSuffix(const QString &suffix);
// A binary native suffix or "txt", in any case.
bool isNativeSuffix(const QString &suffix);
// The path's last suffix is a native suffix.
bool isNativeFile(const QString &path);
// Quick look at the start of a ".txt" file: false only for a file the text
// reader would certainly refuse (judged from its header and table lines within
// the first few MiB); doubtful files are left to the reader. True for any
// other suffix.
bool isNativeTextFile(const QString &path);

// The native files of a directory, sorted by name (plain code-unit order);
// true when there is at least one.
bool listNativeFiles(const QString &dir, QVector<NativeFileEntry> *list);

// The native files of a directory and of its subdirectories, depth first,
// each directory's files by name before its subdirectories by name;
// appended to paths as absolute paths.
void listNativeFilesRecursively(const QString &dir, QStringList *paths);

// Why the program would refuse to open the chosen file before reading it
// (missing, not a native suffix, a text file that is not native data);
// empty when it would open it.
QString nativeFileChoiceProblem(const QString &path);

// Checks the chosen path and lists its directory. On success fills the
// absolute directory, the list and the absolute path of the file; on failure
// only the user's error text.
bool prepareNativeFileSelection(const QString &path, QString *dir, QVector<NativeFileEntry> *list,
                                QString *selectedPath, QString *error);

// The message of the read error code held in npoints.
QString loadErrorText(const NativeFile &file);
// The message listing validation problems, one bullet each.
QString problemsText(const QStringList &problems);
