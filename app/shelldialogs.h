#pragma once

#include <QString>

class QImage;
class QWidget;

// The program's modal questions and messages in one place: file and directory
// dialogs, message boxes, the desktop opener and the capture editor. The
// default implementation shows the real dialogs; tests install a replacement
// with setInstance() so that the decisions around the dialogs can be checked
// without anyone clicking. Used on the GUI thread only; the installed
// instance is not owned and must outlive its use.
class ShellDialogs
{
public:
    virtual ~ShellDialogs() = default;

    // The instance in use: the one installed last, else the real dialogs.
    static ShellDialogs &instance();
    // Installs a replacement; nullptr goes back to the real dialogs.
    static void setInstance(ShellDialogs *dialogs);

    // Empty text when the user cancels.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter);
    virtual QString existingDirectory(QWidget *parent, const QString &title, const QString &dir);
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &path,
                                 const QString &filter);

    // Message boxes with the single button OK.
    virtual void warning(QWidget *parent, const QString &title, const QString &text);
    virtual void information(QWidget *parent, const QString &title, const QString &text);
    virtual void about(QWidget *parent, const QString &text);

    // Hands a local file to the desktop's default opener; false when refused.
    virtual bool openLocalFile(const QString &absolutePath);

    // Runs the annotation editor on a captured image until the user closes it.
    virtual void editCapture(const QImage &image, QWidget *parent);
};
