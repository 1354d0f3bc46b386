#pragma once

#include "plot/graphspec.h"
#include "plot/plotpanel.h"

class ChartPanel;
class Grafiks;

// The graph panel that modules talk to: a Grafiks (inside a ChartPanel) with
// its info panel, filled from each GraphSpec and wired back to the plot. Owns
// both through the widget tree; every setGraphSpec refills the info panel.
// GUI thread only.
class GraphPanel : public PlotPanel
{
    Q_OBJECT

public:
    explicit GraphPanel(QWidget *parent = nullptr);

    void setGraphSpec(const GraphSpec &spec);
    // Empties the plot and its info panel.
    void clearGraph();
    Grafiks *plot() const { return m_plot; }

private:
    void refillInfoPanel(const GraphSpec &spec);

    ChartPanel *m_chart = nullptr;
    Grafiks *m_plot = nullptr;
};
