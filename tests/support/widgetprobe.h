#pragma once

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Looking at widgets as a user does: render them into an image, count the
// pixels of a colour, and drive them with the mouse (moves and drags sent as
// the platform would, without moving the real cursor). GUI thread.
namespace WidgetProbe {

// The child of `root` with this object name; a missing one ends the test run.
template <typename T>
T *child(QWidget *root, const QString &name)
{
    T *widget = root->findChild<T *>(name);
    if (!widget)
        qFatal("missing widget %s", qPrintable(name));
    return widget;
}

// Steps "name=value", separated by commas, on the children of `root`: a spin
// box takes the value, a combo box the index, a button or group box is checked (1) or not (0).
inline void apply(QWidget *root, const QString &steps)
{
    for (const QString &step : steps.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        QObject *control = child<QObject>(root, step.section(QLatin1Char('='), 0, 0));
        const char *property = qobject_cast<QSpinBox *>(control)   ? "value"
                               : qobject_cast<QComboBox *>(control) ? "currentIndex"
                                                                    : "checked";
        control->setProperty(property, step.section(QLatin1Char('='), 1).toInt());
    }
}

// The widget painted into an image filled with `background` first.
inline QImage render(QWidget &widget, const QColor &background = Qt::white, qreal ratio = 1.0)
{
    QImage image(widget.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    widget.render(&image);
    return image;
}

// Pixels inside `area` (clipped to the image) for which `test` holds.
inline int countPixels(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += test(line[x]) ? 1 : 0;
    }
    return count;
}

// Pixels of exactly this colour (alpha ignored).
inline int countColour(const QImage &image, const QColor &colour, const QRect &area)
{
    const QRgb wanted = colour.rgb() & 0xffffff;
    return countPixels(image, area, [wanted](QRgb pixel) { return (pixel & 0xffffff) == wanted; });
}
inline int countColour(const QImage &image, const QColor &colour)
{
    return countColour(image, colour, image.rect());
}

inline bool isDark(QRgb pixel) { return qGray(pixel) < 100; }
inline bool isRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 110; }
inline bool isBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 110 && qGreen(c) < 110; }

// A mouse move with the given buttons held.
inline void move(QWidget *widget, const QPoint &pos, Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press at `from`, a few moves, release at `to`.
inline void drag(QWidget *widget, const QPoint &from, const QPoint &to, int steps = 4)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= steps; ++step)
        move(widget, from + (to - from) * step / steps, Qt::LeftButton);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

inline void click(QWidget *widget, const QPoint &pos, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, Qt::NoModifier, pos);
    QTest::mouseRelease(widget, button, Qt::NoModifier, pos);
}

// Replaces a line edit's text by typing, then presses Return.
inline void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

inline void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

// Deletes what deleteLater() left for the event loop.
inline void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Runs `inspect` on the first modal dialog that comes up while `open` runs
// (which may wait for it), then closes that dialog; false when none came up.
inline bool whileModal(const std::function<void()> &open, const std::function<void(QWidget *)> &inspect)
{
    bool seen = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        watch.stop();
        seen = true;
        inspect(dialog);
        dialog->close();
    });
    watch.start();
    open();
    return seen;
}

} // namespace WidgetProbe
