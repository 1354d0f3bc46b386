#include "plot/minigrafik.h"

#include "plot/grafiks.h"

#include <QMouseEvent>
#include <QVBoxLayout>

MiniGrafik::MiniGrafik(int width, int height, QWidget *parent)
    : QWidget(parent),
      m_plot(new Grafiks(this))
{
    setFixedSize(width, height);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_plot->setMinimumSize(0, 0);
    layout->addWidget(m_plot);
    m_plot->installEventFilter(this);
    m_plot->setNoDataText(QString());
}

void MiniGrafik::setGraphSpec(const GraphSpec &spec, int row, int col, const QVariantMap &parameters)
{
    m_row = row;
    m_col = col;
    m_parameters = parameters;
    GraphSpec compact = spec;
    compact.layoutMode = GraphLayout::Compact;
    compact.zoomEnabled = false;
    compact.peakSelectionEnabled = false;
    compact.infoPanelVisible = false;
    m_active = false;
    for (const GraphSeries &series : qAsConst(compact.series)) {
        if (series.kind == GraphSeries::Curve && series.visible && !series.values.isEmpty()) {
            m_active = true;
            break;
        }
    }
    setCursor(m_active ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_plot->setGraphSpec(compact);
}

void MiniGrafik::clear()
{
    m_parameters.clear();
    m_active = false;
    m_row = -1;
    m_col = -1;
    setCursor(Qt::ArrowCursor);
    m_plot->clear();
    m_plot->setNoDataText(QString());
}

void MiniGrafik::setBackgroundColor(const QColor &color)
{
    for (QWidget *widget : {static_cast<QWidget *>(this), static_cast<QWidget *>(m_plot)}) {
        QPalette palette = widget->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            palette.setBrush(group, QPalette::Window, color);
            palette.setBrush(group, QPalette::Base, color);
        }
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    update();
}

bool MiniGrafik::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_plot || !m_active)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)
            return true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            emit clicked(m_row, m_col, m_parameters);
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            emit rightClicked(m_row, m_col, m_parameters);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
