#include "modules/native/nativeanimationbar.h"

#include "modules/native/nativerules.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

NativeAnimationBar::NativeAnimationBar(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    m_button = new QPushButton(QStringLiteral("Start"), this);
    m_button->setFixedWidth(70);
    m_speed = new QSpinBox(this);
    m_speed->setRange(1, 10000);
    m_speed->setValue(200);
    m_speed->setSuffix(QStringLiteral(" points/s"));
    m_slider = new QScrollBar(Qt::Horizontal, this);
    m_label = new QLabel(this);
    m_label->setMinimumWidth(210);
    layout->addWidget(m_button);
    layout->addWidget(m_speed);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_label);
    connect(m_button, &QPushButton::clicked, this, &NativeAnimationBar::startPauseClicked);
    connect(m_slider, &QScrollBar::valueChanged, this, &NativeAnimationBar::positionChanged);
    m_timer.setInterval(33);
    connect(&m_timer, &QTimer::timeout, this, &NativeAnimationBar::tick);
}

void NativeAnimationBar::setWindow(int npoints, int window)
{
    const QSignalBlocker blocker(m_slider);
    m_slider->setRange(0, std::max(npoints - window, 0));
    m_slider->setPageStep(window);
    m_slider->setSingleStep(1);
}

void NativeAnimationBar::start(int npoints, int window)
{
    setWindow(npoints, window);
    if (m_slider->value() >= m_slider->maximum()) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(0);
    }
    m_accumulator = 0.0;
    m_clock.restart();
    m_playing = true;
    m_button->setText(QStringLiteral("Pause"));
    emit positionChanged(m_slider->value());
    m_timer.start();
}

bool NativeAnimationBar::stop()
{
    const bool wasPlaying = m_playing;
    m_timer.stop();
    m_playing = false;
    m_button->setText(QStringLiteral("Start"));
    return wasPlaying;
}

void NativeAnimationBar::tick()
{
    if (!m_playing)
        return;
    const qint64 elapsed = m_clock.restart();
    const AnimationStep step =
        animationStep(m_slider->value(), m_slider->maximum(), m_speed->value(), elapsed, m_accumulator);
    m_accumulator = step.accumulator;
    if (step.value != m_slider->value())
        m_slider->setValue(step.value);
    if (step.finished)
        emit finished();
}

void NativeAnimationBar::setLabelText(const QString &text)
{
    m_label->setText(text);
}

int NativeAnimationBar::position() const
{
    return m_slider->value();
}
