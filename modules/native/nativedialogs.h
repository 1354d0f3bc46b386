#pragma once

#include <QString>

class QImage;
class QWidget;

// The native module's own modal questions, beside the shell's: the critical
// message boxes of refused search input and the title dialog of a dynamic
// spectrum picture. The default shows the real dialogs; tests install a
// replacement with setInstance(). GUI thread only; the installed instance is
// not owned and must outlive its use.
class NativeDialogs
{
public:
    virtual ~NativeDialogs() = default;

    static NativeDialogs &instance();
    static void setInstance(NativeDialogs *dialogs);

    // A critical message box with the single button OK.
    virtual void critical(QWidget *parent, const QString &title, const QString &text);
    // Asks for a title line above the picture; false when cancelled.
    virtual bool spectrumTitle(QWidget *parent, const QImage &image, QString *title, int *pointSize);
};
