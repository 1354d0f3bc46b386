#pragma once

#include "app/welcometraces.h"

#include <QWidget>

// The start page: the greeting drawn as eight coloured signal traces. Owns
// its traces, built once in the constructor; GUI thread only.
class WelcomeWidget : public QWidget
{
    Q_OBJECT

public:
    explicit WelcomeWidget(QWidget *parent = nullptr);

    const WelcomeTraces &traces() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    WelcomeTraces m_traces;
};
