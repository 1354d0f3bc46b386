#pragma once

#include <QString>

class QWidget;

// The multi-day module's own modal questions beside the shell's: a Yes/No
// question with No as the default, and an information in rich text. This
// class shows the real dialogs; the module owns one. Stateless; GUI thread.
class MultiDayDialogs
{
public:
    virtual ~MultiDayDialogs() = default;

    // True only when the user answers Yes.
    virtual bool askYesNo(QWidget *parent, const QString &title, const QString &text);
    virtual void richInformation(QWidget *parent, const QString &title, const QString &text);
};
