#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;
class QSpinBox;

// The animation's controls over the dynamic spectrum: start/pause, the speed
// in points per second and the slider of the window's first point, and the
// clock that moves the slider while it plays. Owns its child widgets and the
// timer; what the window shows is the module's business (positionChanged).
// GUI thread.
class NativeAnimationBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int barHeight = 34;

    explicit NativeAnimationBar(QWidget *parent = nullptr);

    // The slider's range for a window of `window` points over `npoints`.
    void setWindow(int npoints, int window);
    // Plays from the slider's place (from the start when it stands at the end).
    void start(int npoints, int window);
    // Stops playing; true when it was playing.
    bool stop();
    // One step of the clock: moves the slider by the time passed.
    void tick();
    void setLabelText(const QString &text);

    bool isPlaying() const { return m_playing; }
    int position() const;
    QScrollBar *slider() const { return m_slider; }
    QSpinBox *speed() const { return m_speed; }
    QPushButton *button() const { return m_button; }
    QLabel *label() const { return m_label; }

signals:
    void startPauseClicked();
    // The slider moved, by the user or by the clock.
    void positionChanged(int first);
    // Playing reached the end.
    void finished();

private:
    QPushButton *m_button = nullptr;
    QSpinBox *m_speed = nullptr;
    QScrollBar *m_slider = nullptr;
    QLabel *m_label = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_accumulator = 0.0;
    bool m_playing = false;
};
