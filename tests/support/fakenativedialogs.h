#pragma once

#include "modules/native/nativedialogs.h"

#include <QImage>

// The native module's own dialog, answered without anyone clicking: the title
// of a spectrum picture is `title`. Keeps the picture it was shown.
class FakeNativeDialogs : public NativeDialogs
{
public:
    QString title;
    QImage shownImage;

    bool spectrumTitle(QWidget *, const QImage &image, QString *answer, int *pointSize) override
    {
        shownImage = image;
        *answer = title;
        *pointSize = 14;
        return true;
    }
};
