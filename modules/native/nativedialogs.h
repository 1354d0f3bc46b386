#pragma once

#include <QString>

class QImage;
class QWidget;

// The native module's own modal question beside the shell's: the title of a
// dynamic spectrum picture. This class shows the real dialog; the module owns
// one. Stateless; GUI thread only.
class NativeDialogs
{
public:
    virtual ~NativeDialogs() = default;

    // Asks for a title line above the picture; false when cancelled.
    virtual bool spectrumTitle(QWidget *parent, const QImage &image, QString *title, int *pointSize);
};
