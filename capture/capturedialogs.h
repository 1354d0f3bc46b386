#pragma once

#include <QColor>
#include <QString>

class QWidget;

// The modal questions the screenshot editor asks the user. This base class
// shows the real dialogs; tests derive from it to answer without a person.
// Stateless; used on the GUI thread and owned by the editor.
class CaptureDialogs
{
public:
    virtual ~CaptureDialogs() = default;

    // The text for a new label; false when the user cancelled.
    virtual bool askText(QWidget *parent, QString *text);
    // A colour, or an invalid colour when the user cancelled.
    virtual QColor askColor(QWidget *parent, const QColor &initial, const QString &title);
    // A file name to save under, or an empty text when the user cancelled.
    virtual QString askSaveFileName(QWidget *parent, const QString &title,
                                    const QString &defaultPath, const QString &filter);
    // A warning box with a single OK button.
    virtual void showWarning(QWidget *parent, const QString &title, const QString &text);
};
