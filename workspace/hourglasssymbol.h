#pragma once

#include <QColor>
#include <QPixmap>

// The hourglass of the loading overlay, drawn with lines and fills instead of
// the U+231B glyph, which the fonts the program installs do not have (it would
// show as an empty box). Stateless.
class HourglassSymbol
{
public:
    // A transparent pixmap `height` device-independent pixels high (about
    // 0.6 of that wide) with the frame and glass in `ink` and the sand in a
    // lighter shade of it.
    static QPixmap pixmap(int height, const QColor &ink, qreal devicePixelRatio = 1.0);
};
