#pragma once

#include <QString>

// The directories the program remembers between runs in the settings store:
// where the last native file was opened, the parents of the last multi-day
// and profiles directories, and the directory of the last successful save,
// where every save dialog starts. Stateless; call from the GUI thread.
class SaveLocation
{
public:
    enum Kind {
        NativeFileDirectory,    // "lastNativeFileDir"
        MultiDayDirectory,      // "lastNativeMultiDayDir"
        ProfilesDirectory,      // "lastResultDir"
        SavedFileDirectory      // "lastSavePath"
    };

    // The remembered directory; empty before the first time.
    static QString directory(Kind kind);
    static void remember(Kind kind, const QString &directory);
    // Remembers the directory of a file that has just been written.
    static void rememberSavedFile(const QString &path);

    // Where a save dialog starts: name in the directory of the last save,
    // else in fallbackDirectory, else the name alone.
    static QString suggestedPath(const QString &name, const QString &fallbackDirectory = QString());
    // The path with "." + extension appended unless it already ends so (any case).
    static QString withSuffix(const QString &path, const QString &extension);
};
