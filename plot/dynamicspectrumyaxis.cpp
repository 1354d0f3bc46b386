#include "plot/dynamicspectrumyaxis.h"

#include "plot/dynamicspectrumwidget.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int rightMargin = 9;
}

DynamicSpectrumYAxis::DynamicSpectrumYAxis(DynamicSpectrumWidget *spectrum, QWidget *parent)
    : QWidget(parent)
    , m_spectrum(spectrum)
{
    if (spectrum)
        connect(spectrum, &DynamicSpectrumWidget::yAxisChanged, this,
                QOverload<>::of(&QWidget::update));
}

QSize DynamicSpectrumYAxis::sizeHint() const
{
    return QSize(DynamicSpectrumWidget::axisStripWidth, 100);
}

void DynamicSpectrumYAxis::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!m_spectrum)
        return;
    // Label positions are in the spectrum's coordinates; the strip sits
    // somewhere over it, so map through screen coordinates.
    const double offset = m_spectrum->mapToGlobal(QPoint(0, 0)).y() - mapToGlobal(QPoint(0, 0)).y();
    const QFont font = m_spectrum->axisFont();
    const QFontMetrics fm(font);
    p.setFont(font);
    p.setPen(Qt::black);
    const double boxHeight = fm.height() + 4;
    for (const DynamicSpectrumWidget::ChannelLabel &label : m_spectrum->channelLabels()) {
        const QRectF box(0, label.centreY + offset - boxHeight / 2.0, width() - rightMargin,
                         boxHeight);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label.text);
    }
}
