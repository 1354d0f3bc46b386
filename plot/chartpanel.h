#pragma once

#include <QWidget>

class Grafiks;

// The plot side of a graph panel: owns one Grafiks and keeps it stretched over
// its whole area. GUI thread only.
class ChartPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ChartPanel(QWidget *parent = nullptr);

    Grafiks *grafiks() const { return m_grafiks; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    Grafiks *m_grafiks = nullptr;
};
