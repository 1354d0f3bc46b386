#include "modules/native/imagetitlepreview.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

ImageTitlePreview::ImageTitlePreview(QWidget *parent)
    : QWidget(parent)
{
}

void ImageTitlePreview::setImage(const QImage &image)
{
    m_image = image;
    recompose();
}

void ImageTitlePreview::setTitle(const QString &title)
{
    m_title = title;
    recompose();
}

void ImageTitlePreview::setPointSize(int pointSize)
{
    m_pointSize = pointSize;
    recompose();
}

QSize ImageTitlePreview::sizeHint() const
{
    return m_composed.isNull() ? QSize(200, 100) : m_composed.size();
}

void ImageTitlePreview::recompose()
{
    m_composed = titledImage(m_image, m_title, m_pointSize);
    setMinimumSize(sizeHint());
    updateGeometry();
    update();
}

void ImageTitlePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_composed.isNull())
        painter.drawImage(0, 0, m_composed);
}

QImage ImageTitlePreview::titledImage(const QImage &image, const QString &title, int pointSize)
{
    if (image.isNull() || title.isEmpty())
        return image;
    QFont font;
    font.setPointSize(std::clamp(pointSize, 6, 72));
    const QFontMetrics metrics(font);
    const int margin = 8;
    const int band = metrics.height() + 2 * margin;
    QImage result(image.width(), image.height() + band, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, band, image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int textWidth = metrics.horizontalAdvance(title);
    const int x = textWidth >= image.width() ? 0 : (image.width() - textWidth) / 2;
    painter.drawText(x, margin + metrics.ascent(), title);
    return result;
}
