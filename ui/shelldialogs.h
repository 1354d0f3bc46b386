#pragma once

#include <QString>

class QWidget;

// The program's plain modal questions: file and directory dialogs and message
// boxes with the single button OK. This base class shows the real dialogs.
// Every widget that asks the user owns one such object (real by default,
// replaced through its setDialogs(), which is how tests answer without anyone
// clicking); the questions of the main window and of the capture editor
// derive from it. Stateless; GUI thread only.
class ShellDialogs
{
public:
    virtual ~ShellDialogs() = default;

    // Empty text when the user cancels.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter);
    virtual QString existingDirectory(QWidget *parent, const QString &title, const QString &dir);
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &path,
                                 const QString &filter);

    virtual void warning(QWidget *parent, const QString &title, const QString &text);
    virtual void information(QWidget *parent, const QString &title, const QString &text);
    virtual void critical(QWidget *parent, const QString &title, const QString &text);
};
