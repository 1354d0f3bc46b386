#pragma once

#include <QWidget>

class InfoPanel;
class QHBoxLayout;

// A plot widget with its info panel beside it. Owns both through the widget
// tree; the info panel starts hidden. GUI thread only.
class PlotPanel : public QWidget
{
public:
    explicit PlotPanel(QWidget *parent = nullptr);

    // Puts the plot widget in front of the info panel; a previous plot widget
    // is deleted.
    void setPlotWidget(QWidget *plot);
    InfoPanel *infoPanel() const { return m_infoPanel; }

private:
    QHBoxLayout *m_layout = nullptr;
    QWidget *m_plotWidget = nullptr;
    InfoPanel *m_infoPanel = nullptr;
};
