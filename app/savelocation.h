#pragma once

#include <QString>

// The directory of the user's last successful save ("lastSavePath" in the
// settings store), shared by every save dialog of the program. Stateless;
// call from the GUI thread.
class SaveLocation
{
public:
    // The remembered directory; empty before the first save.
    static QString lastDirectory();
    // Remembers the directory of a file that has just been written.
    static void rememberSavedFile(const QString &path);
};
