#pragma once

#include <QString>

#include <functional>

class QImage;
class QWidget;
class ShellDialogs;

// Saving a picture as PNG, for every module and the capture editor alike: the
// question where (in the directory of the last save), the name's suffix, and
// the write through QSaveFile. Plain functions; the questions on the GUI
// thread, writePngImage on any thread.

// Asks for a file name with the title "Image save" and the filter
// "Image *.png", starting at defaultName in the directory of the last save;
// ".png" is appended unless the name ends with it. Empty when cancelled.
QString askImagePath(ShellDialogs &dialogs, QWidget *parent, const QString &defaultName);

// Writes the image as PNG. On failure, or when progress (told 100 once the
// picture is encoded) returns false, an existing file stays as it was.
bool writePngImage(const QImage &image, const QString &path,
                   const std::function<bool(int)> &progress = {});

// Asks where, renders the picture and writes it; a failed write is reported
// ("Failed to save image:" and the path), a good one remembered as the
// directory of the last save. Nothing is rendered when the user cancels.
void saveImageAs(ShellDialogs &dialogs, QWidget *parent, const QString &defaultName,
                 const std::function<QImage()> &render);
