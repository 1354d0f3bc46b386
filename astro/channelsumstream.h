#pragma once

#include <QVector>
#include <QtGlobal>

#include <vector>

// Dispersed channel sums of one module and ray for several dispersion
// measures at once, fed with the sample rows of a native file in file order
// (one row per point). Each sum is, bit for bit, what dispersedChannelSum
// gives for the whole file (first point 0, every point), but the file is read
// once and only a window of rows as wide as the widest delay span is held, so
// memory holds the sums and not the samples.
// Owns its window and sums; used by one thread at a time. Feed every row in
// order with addRows, then take the sums once.
class ChannelSumStream
{
public:
    // rowStride: floats per point in the file; rowOffset: index of the first
    // channel of the module and ray within a row.
    ChannelSumStream(const QVector<double> &fbands, int nChannels, double tresolution, qint32 npoints,
                     qint64 rowStride, qint64 rowOffset, const QVector<double> &dms);

    // False when dispersedChannelSum would compute nothing for one of the
    // dispersion measures, when the shape is impossible or the window does
    // not fit in memory.
    bool isValid() const { return m_valid; }
    qint64 rowsDone() const { return m_rowsDone; }

    // Takes the next `rows` whole rows, rowStride little-endian floats each;
    // rows past the file's points are ignored.
    void addRows(const uchar *bytes, qint64 rows);

    // The sums in the order of the dispersion measures, each with one value per
    // point; empty when the stream is not valid or not every row came. Leaves
    // the stream empty.
    QVector<QVector<double>> takeSums();

private:
    struct Sum
    {
        std::vector<qint32> delays;
        qint64 minDelay = 0;
        qint64 maxDelay = 0;
        qint64 from = 0;        // first complete output
        qint64 to = 0;          // past the last complete output
        qint64 next = 0;        // next complete output to compute
        QVector<double> values;
    };

    // Computes every complete output whose rows the window holds.
    void sumReadyOutputs();
    // Drops the rows no further output needs from the front of the window.
    void dropUsedRows();

    bool m_valid = false;
    qint64 m_npoints = 0;
    qint64 m_rowStride = 0;
    qint64 m_rowOffset = 0;
    int m_nFreq = 0;
    std::vector<Sum> m_sums;
    int m_plainSum = -1;           // index of the sum added while copying, or -1
    bool m_windowNeeded = false;   // whether any other sum reads the window
    // Channel-major window of rows [m_windowStart, m_windowStart + m_windowRows).
    std::vector<float> m_window;
    qint64 m_columnStride = 0;
    qint64 m_capacity = 0;
    qint64 m_windowStart = 0;
    qint64 m_windowRows = 0;
    qint64 m_rowsDone = 0;
    std::vector<const float *> m_source;
    std::vector<qint64> m_usable;
};
