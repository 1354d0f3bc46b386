#pragma once

#include <QImage>
#include <QVector>

// The grey cells of the visible part of the dynamic spectrum as an image of one
// pixel per image column (top row first), ready to be stretched to the cell
// height and, for wide cells, to the cell width. An image column is one cell;
// where cells are narrower than a pixel it is the cell seen at that pixel's
// centre, so nothing is computed that the screen cannot show.
// Owned by DynamicSpectrumWidget on the GUI thread; rebuilt when the data
// generation, the scaling, the visible columns or their sampling change.
class SpectrumImageCache
{
public:
    // rows: channel rows, row 0 drawn at the bottom; rowMin/rowMax: the scale of
    // each row over all its samples, used unless perWindow asks for the scale of
    // the visible columns first .. last; columns: the cell shown in each image column.
    const QImage &image(const QVector<QVector<float>> &rows, const QVector<float> &rowMin,
                        const QVector<float> &rowMax, quint64 generation, int first, int last,
                        bool perWindow, const QVector<int> &columns);

    void clear();

    // Number of times the image was built, for checking that repaints reuse it.
    int builds() const { return m_builds; }

private:
    QImage m_image;
    quint64 m_generation = 0;
    int m_first = -1;
    int m_last = -1;
    bool m_perWindow = false;
    QVector<int> m_columns;
    int m_builds = 0;
};
