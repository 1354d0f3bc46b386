#pragma once

#include "ui/shelldialogs.h"

// The main window's questions beyond the shell's: the About box and handing a
// help document to the desktop's default opener. Real dialogs in this class;
// the main window owns one. Stateless; GUI thread only.
class AppDialogs : public ShellDialogs
{
public:
    // The About box with its text, modal, with the single button OK.
    virtual void about(QWidget *parent, const QString &text);
    // Hands a local file to the desktop's default opener; false when refused.
    virtual bool openLocalFile(const QString &absolutePath);
};
