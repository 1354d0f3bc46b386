#include "plot/plotpanel.h"

#include "plot/infopanel.h"

#include <QHBoxLayout>

PlotPanel::PlotPanel(QWidget *parent)
    : QWidget(parent)
{
    setMinimumHeight(100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_infoPanel = new InfoPanel(this);
    m_infoPanel->hide();
    m_layout->addWidget(m_infoPanel, 0);
}

void PlotPanel::setPlotWidget(QWidget *plot)
{
    if (plot == m_plotWidget)
        return;
    if (m_plotWidget) {
        m_layout->removeWidget(m_plotWidget);
        m_plotWidget->deleteLater();
    }
    m_plotWidget = plot;
    if (plot)
        m_layout->insertWidget(0, plot, 1);
}
