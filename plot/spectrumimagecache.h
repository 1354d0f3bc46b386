#pragma once

#include <QImage>
#include <QVector>

// The grey cells of a column range of the dynamic spectrum as an image of one
// pixel per cell (top row first), ready to be scaled to the cell size.
// Owned by DynamicSpectrumWidget on the GUI thread; rebuilt when the data
// generation, the column range or the scaling mode differ from the cached ones.
class SpectrumImageCache
{
public:
    // rows: channel rows, row 0 drawn at the bottom; rowMin/rowMax: the scale of
    // each row over all its samples, used unless perWindow asks for the scale of
    // the columns first .. last only.
    const QImage &image(const QVector<QVector<float>> &rows, const QVector<float> &rowMin,
                        const QVector<float> &rowMax, quint64 generation, int first, int last,
                        bool perWindow);

    void clear();

    // Number of times the image was built, for checking that repaints reuse it.
    int builds() const { return m_builds; }

private:
    QImage m_image;
    quint64 m_generation = 0;
    int m_first = -1;
    int m_last = -1;
    bool m_perWindow = false;
    int m_builds = 0;
};
