#pragma once

#include "ui/shelldialogs.h"

#include <QColor>

// The modal questions of the screenshot editor: the shell's file dialog and
// messages for saving, and the text of a new label and the drawing colour.
// This class shows the real dialogs; the editor owns one. Stateless; GUI thread.
class CaptureDialogs : public ShellDialogs
{
public:
    // The text for a new label; false when the user cancelled.
    virtual bool askText(QWidget *parent, QString *text);
    // A colour, or an invalid colour when the user cancelled.
    virtual QColor askColor(QWidget *parent, const QColor &initial, const QString &title);
};
