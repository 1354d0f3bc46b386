#include "plot/chartpanel.h"

#include "plot/grafiks.h"

ChartPanel::ChartPanel(QWidget *parent)
    : QWidget(parent),
      m_grafiks(new Grafiks(this))
{
    m_grafiks->setGeometry(rect());
}

void ChartPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_grafiks->setGeometry(rect());
}
