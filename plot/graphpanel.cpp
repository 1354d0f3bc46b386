#include "plot/graphpanel.h"

#include "plot/chartpanel.h"
#include "plot/grafiks.h"
#include "plot/infopanel.h"

GraphPanel::GraphPanel(QWidget *parent)
    : PlotPanel(parent),
      m_chart(new ChartPanel(this))
{
    setPlotWidget(m_chart);
    m_plot = m_chart->grafiks();
    InfoPanel *info = infoPanel();
    connect(m_plot, &Grafiks::cursorInfoChanged, info, [info](const QString &text) {
        info->setCoordinatesText(text.isEmpty() ? InfoPanel::idleCoordinatesText : text);
    });
    connect(info, &InfoPanel::legendVisibilityChanged, m_plot, &Grafiks::setSeriesVisible);
    connect(info, &InfoPanel::legendColorChanged, m_plot, &Grafiks::setSeriesColor);
    connect(info, &InfoPanel::axisVisibilityChanged, m_plot, &Grafiks::setAxisVisible);
    connect(info, &InfoPanel::headerVisibilityChanged, m_plot, &Grafiks::setShowTextBlock);
    connect(info, &InfoPanel::resetZoomRequested, m_plot, &Grafiks::resetZoom);
}

void GraphPanel::setGraphSpec(const GraphSpec &spec)
{
    m_plot->setGraphSpec(spec);
    refillInfoPanel(spec);
    infoPanel()->setVisible(spec.infoPanelVisible);
}

void GraphPanel::clearGraph()
{
    m_plot->clear();
    // The legend, axis list and header described the graph that is gone.
    infoPanel()->clearAll();
}

void GraphPanel::refillInfoPanel(const GraphSpec &spec)
{
    InfoPanel *info = infoPanel();
    QVector<LegendEntry> legend = m_plot->legendEntries();
    for (LegendEntry &entry : legend) {
        entry.text = entry.details.isEmpty() ? entry.name
                                             : QStringLiteral("%1, %2").arg(entry.name, entry.details);
    }
    info->setLegend(legend);

    const QStringList lines = m_plot->axisTexts().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QVector<bool> visibility = m_plot->axisVisibility();
    QVector<AxisEntry> axes;
    for (int i = 0; i < lines.size(); ++i) {
        AxisEntry entry;
        entry.text = lines.at(i);
        entry.checked = visibility.value(i, true);
        entry.enabled = true;
        axes.append(entry);
    }
    info->setAxes(axes);

    if (spec.headerRows.isEmpty())
        info->setHeaderText(spec.headerText);
    else
        info->setHeaderRows(spec.headerRows, spec.headerSpacerBeforeLast);
    info->setCoordinatesText(InfoPanel::idleCoordinatesText);
}
