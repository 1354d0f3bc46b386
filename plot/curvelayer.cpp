#include "plot/curvelayer.h"

#include <QPainter>

#include <cstring>

void CurveLayer::invalidate()
{
    m_cache.invalidate();
    m_signature.clear();
}

void CurveLayer::paint(QPainter &painter, const PlotLayout &layout, const QVector<Curve> &curves,
                       const double *xValues, int count, bool increasing)
{
    const QRect plot = layout.plotRect();
    CurveReduction::PixelMap map;
    map.xMin = layout.xMin;
    map.kx = layout.kx;
    map.left = layout.left;
    map.yMin = layout.yMin;
    map.ky = layout.ky;
    map.yBase = layout.widgetHeight - 1 - layout.bottom;
    map.clipLeft = plot.left();
    map.clipRight = plot.right();

    qint64 pixelLength = 0;
    for (const Curve &curve : curves) {
        ReductionCache::Key key;
        key.seriesIndex = curve.index;
        key.values = curve.values;
        key.count = count;
        key.xValues = xValues;
        key.xMin = layout.xMin;
        key.xMax = layout.xMax;
        key.yMin = layout.yMin;
        key.yMax = layout.yMax;
        key.plotRect = plot;
        key.yBase = map.yBase;
        const CurveReduction::Result *reduced = m_cache.find(key);
        if (!reduced)
            reduced = &m_cache.store(
                key, CurveReduction::reduce(curve.values, xValues, count, increasing, map, curve.summary));
        pixelLength += reduced->pixelLength * curve.pen.width();
    }

    // Draws the curves; with an image to write to, the vertical runs of opaque
    // 1-pixel curves are set directly, which is what the paint engine would do
    // with them, only faster.
    auto drawCurves = [this, &curves](QPainter &target, QImage *direct, const QPoint &origin) {
        QVector<QPoint> others;
        QVector<QRect> columns;
        for (const Curve &curve : curves) {
            const CurveReduction::Result *reduced = m_cache.cached(curve.index);
            if (!reduced || reduced->segmentEnds.isEmpty())
                continue;
            target.setPen(curve.pen);
            const bool writeDirect = direct && curve.pen.width() == 1 && curve.pen.color().alpha() == 255;
            if (!writeDirect) {
                target.drawLines(reduced->segmentEnds.constData(), reduced->segmentEnds.size() / 2);
                continue;
            }
            const QRgb pixel = curve.pen.color().rgba();
            const int width = direct->width();
            const int height = direct->height();
            uchar *bits = direct->bits();
            const qsizetype stride = direct->bytesPerLine();
            others.clear();
            columns.clear();
            const QPoint *ends = reduced->segmentEnds.constData();
            for (int k = 0; k + 1 < reduced->segmentEnds.size(); k += 2) {
                const QPoint a = ends[k];
                const QPoint b = ends[k + 1];
                if (a.x() != b.x()) {
                    others.append(a);
                    others.append(b);
                    continue;
                }
                const int x = a.x() - origin.x();
                const int top = qMax(0, qMin(a.y(), b.y()) - origin.y());
                const int bottom = qMin(height - 1, qMax(a.y(), b.y()) - origin.y());
                if (x >= 0 && x < width && top <= bottom)
                    columns.append(QRect(x, top, 1, bottom - top + 1));
            }
            // Band by band, so that the writes stay within a few memory pages.
            constexpr int band = 16;
            for (int bandTop = 0; bandTop < height; bandTop += band) {
                const int bandBottom = qMin(height, bandTop + band) - 1;
                for (const QRect &column : qAsConst(columns)) {
                    const int from = qMax(bandTop, column.top());
                    const int to = qMin(bandBottom, column.bottom());
                    uchar *line = bits + from * stride + qsizetype(column.x()) * 4;
                    for (int y = from; y <= to; ++y, line += stride)
                        *reinterpret_cast<QRgb *>(line) = pixel;
                }
            }
            if (!others.isEmpty())
                target.drawLines(others.constData(), others.size() / 2);
        }
    };

    // Blending the plot area costs about as much as drawing a twelfth of its
    // pixels along the curves; lighter curves are drawn directly, and so is
    // everything on scaled (high-density) devices, where an image of logical
    // pixels would blur.
    const qint64 area = qint64(plot.width()) * plot.height();
    const bool unscaled = painter.device() && painter.device()->devicePixelRatioF() == 1.0;
    if (pixelLength * 12 <= area || !unscaled) {
        m_image = QImage();
        m_signature.clear();
        drawCurves(painter, nullptr, QPoint());
        return;
    }
    QVector<qint64> signature{plot.x(), plot.y(), plot.width(), plot.height(), map.yBase};
    for (const double bound : {layout.xMin, layout.xMax, layout.yMin, layout.yMax}) {
        qint64 bits = 0;
        static_assert(sizeof(bits) == sizeof(bound), "view bounds are stored bit for bit");
        memcpy(&bits, &bound, sizeof(bits));
        signature.append(bits);
    }
    for (const Curve &curve : curves) {
        signature.append(curve.index);
        signature.append(qint64(curve.pen.color().rgba64()));
        signature.append(curve.pen.width());
    }
    if (m_image.isNull() || signature != m_signature) {
        if (m_image.size() != plot.size())
            m_image = QImage(plot.size(), QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        QPainter layerPainter(&m_image);
        layerPainter.translate(-plot.topLeft());
        drawCurves(layerPainter, &m_image, plot.topLeft());
        m_signature = signature;
    }
    painter.drawImage(plot.topLeft(), m_image);
}
