#include "plot/spectrumimagecache.h"

#include "plot/spectrummath.h"

#include <algorithm>

const QImage &SpectrumImageCache::image(const QVector<QVector<float>> &rows,
                                        const QVector<float> &rowMin,
                                        const QVector<float> &rowMax, quint64 generation,
                                        int first, int last, bool perWindow,
                                        const QVector<int> &columns)
{
    if (!m_image.isNull() && generation == m_generation && first == m_first && last == m_last
        && perWindow == m_perWindow && columns == m_columns)
        return m_image;

    m_image = QImage();
    m_generation = generation;
    m_first = first;
    m_last = last;
    m_perWindow = perWindow;
    m_columns = columns;
    const int rowCount = rows.size();
    const int width = columns.size();
    if (rowCount == 0 || width == 0 || last < first)
        return m_image;

    m_image = QImage(width, rowCount, QImage::Format_RGB32);
    if (m_image.isNull())
        return m_image;
    for (int r = 0; r < rowCount; ++r) {
        const float *values = rows.at(r).constData();
        float lo = rowMin.value(r);
        float hi = rowMax.value(r);
        if (perWindow)
            SpectrumMath::finiteRange(values, first, last - first + 1, &lo, &hi);
        auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(rowCount - 1 - r));
        if (!(hi > lo)) {
            std::fill(line, line + width, qRgb(255, 255, 255));
            continue;
        }
        const int *column = columns.constData();
        for (int i = 0; i < width; ++i) {
            const int g = SpectrumMath::greyLevel(values[column[i]], lo, hi);
            line[i] = 0xff000000u | (uint(g) * 0x010101u);
        }
    }
    ++m_builds;
    return m_image;
}

void SpectrumImageCache::clear()
{
    m_image = QImage();
    m_first = m_last = -1;
    m_columns.clear();
}
