#include "app/welcomewidget.h"

#include <QPainter>

namespace {
const char *const welcomePalette[] = {"#FF0000", "#00B800", "#0000FF", "#202020",
                                      "#FFAF00", "#00A0A0", "#FF00FF", "#800000"};
}

WelcomeWidget::WelcomeWidget(QWidget *parent)
    : QWidget(parent)
    , m_traces(WelcomeTraces::build())
{
}

const WelcomeTraces &WelcomeWidget::traces() const
{
    return m_traces;
}

void WelcomeWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    const QSize widgetSize = size();
    if (!m_traces.drawable(widgetSize))
        return;
    const double usableWidth = widgetSize.width() - 200.0;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(QRectF(100.0, 0.0, usableWidth, widgetSize.height()));
    for (int i = 0; i < m_traces.traces.size(); ++i) {
        QPen pen(QColor(QLatin1String(welcomePalette[i % 8])), 1, Qt::SolidLine, Qt::SquareCap,
                 Qt::BevelJoin);
        pen.setCosmetic(true);
        painter.setPen(pen);
        const QVector<QPointF> &trace = m_traces.traces[i];
        QVector<QPointF> screen;
        screen.reserve(trace.size());
        for (const QPointF &point : trace)
            screen.append(m_traces.screenPoint(point, widgetSize));
        painter.drawPolyline(screen.constData(), screen.size());
    }
}
