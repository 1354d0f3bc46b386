#include "astro/channelsumstream.h"

#include "astro/channelsumkernels.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Floats of window that stay in the second-level cache besides the delay span.
constexpr qint64 cacheFloats = qint64(1) << 17;

} // namespace

ChannelSumStream::ChannelSumStream(const QVector<double> &fbands, int nChannels, double tresolution,
                                   qint32 npoints, qint64 rowStride, qint64 rowOffset, const QVector<double> &dms)
    : m_npoints(npoints), m_rowStride(rowStride), m_rowOffset(rowOffset)
{
    if (npoints < 1 || nChannels < 2 || rowOffset < 0 || rowOffset + nChannels > rowStride || dms.isEmpty())
        return;
    m_nFreq = nChannels - 1;
    qint64 span = 0;
    for (const double dm : dms) {
        Sum sum;
        if (!channelsum::channelDelays(fbands, nChannels, dm, tresolution, &sum.delays))
            return;
        sum.minDelay = *std::min_element(sum.delays.begin(), sum.delays.end());
        sum.maxDelay = *std::max_element(sum.delays.begin(), sum.delays.end());
        sum.from = std::max<qint64>(0, -sum.minDelay);
        sum.to = std::min<qint64>(npoints, npoints - sum.maxDelay);
        sum.next = sum.from;
        // The first sum without delays is added as the rows are copied; a sum
        // without a complete output needs no rows at all.
        if (m_plainSum < 0 && sum.minDelay == 0 && sum.maxDelay == 0) {
            m_plainSum = int(m_sums.size());
        } else if (sum.from < sum.to) {
            span = std::max(span, sum.maxDelay - sum.minDelay);
            m_windowNeeded = true;
        }
        m_sums.push_back(std::move(sum));
    }
    // Rows per window: the widest span and at least as many again, so that a
    // row is moved to the front at most once or twice.
    const qint64 block = std::max({cacheFloats / m_nFreq - span, span, qint64(256)});
    m_capacity = m_windowNeeded ? std::min<qint64>(span + block, npoints) : npoints;
    m_columnStride = channelsum::columnStride(m_capacity);
    try {
        if (m_windowNeeded)
            m_window.resize(size_t(m_columnStride * m_nFreq));
        for (Sum &sum : m_sums)
            sum.values.resize(npoints);
    } catch (const std::bad_alloc &) {
        m_window = std::vector<float>();
        m_sums.clear();
        return;
    }
    m_source.resize(size_t(m_nFreq));
    m_usable.resize(size_t(m_nFreq));
    m_valid = true;
}

void ChannelSumStream::addRows(const uchar *bytes, qint64 rows)
{
    if (!m_valid)
        return;
    rows = std::min(rows, m_npoints - m_rowsDone);
    // Rows are transposed fastest eight at a time, so the window takes whole
    // groups of eight while more rows follow.
    constexpr qint64 group = 8;
    while (rows > 0) {
        if (m_capacity - m_windowRows < std::min(rows, group)) {
            sumReadyOutputs();
            dropUsedRows();
        }
        qint64 take = std::min(rows, m_capacity - m_windowRows);
        if (take < rows && take >= group)
            take -= take % group;
        if (take <= 0)
            break;   // cannot happen: summing frees the rows of the first outputs
        double *plainSums = m_plainSum >= 0 ? m_sums[size_t(m_plainSum)].values.data() + m_rowsDone : nullptr;
        channelsum::copyRows(bytes, take * m_rowStride, m_rowOffset, m_rowStride, take, m_nFreq,
                             m_windowNeeded ? m_window.data() + m_windowRows : nullptr, m_columnStride, plainSums);
        if (m_windowNeeded)
            m_windowRows += take;
        m_rowsDone += take;
        if (m_plainSum >= 0)
            m_sums[size_t(m_plainSum)].next = m_rowsDone;
        bytes += take * m_rowStride * qint64(sizeof(float));
        rows -= take;
    }
}

void ChannelSumStream::sumReadyOutputs()
{
    const qint64 received = m_windowStart + m_windowRows;
    for (Sum &sum : m_sums) {
        const qint64 limit = std::min(sum.to, received - sum.maxDelay);
        if (sum.next >= limit)
            continue;
        const qint64 n = limit - sum.next;
        for (int c = 0; c < m_nFreq; ++c) {
            m_source[size_t(c)] =
                m_window.data() + qint64(c) * m_columnStride + (sum.next + sum.delays[size_t(c)] - m_windowStart);
            m_usable[size_t(c)] = n;
        }
        channelsum::addChannels(sum.values.data() + sum.next, m_source, m_usable, n);
        sum.next = limit;
    }
}

void ChannelSumStream::dropUsedRows()
{
    qint64 keep = m_windowStart + m_windowRows;
    for (const Sum &sum : m_sums) {
        if (sum.next < sum.to)
            keep = std::min(keep, sum.next + sum.minDelay);
    }
    const qint64 drop = keep - m_windowStart;
    if (drop <= 0)
        return;
    const qint64 left = m_windowRows - drop;
    for (int c = 0; c < m_nFreq; ++c) {
        float *column = m_window.data() + qint64(c) * m_columnStride;
        std::memmove(column, column + drop, size_t(left) * sizeof(float));
    }
    m_windowStart = keep;
    m_windowRows = left;
}

QVector<QVector<double>> ChannelSumStream::takeSums()
{
    QVector<QVector<double>> sums;
    if (!m_valid || m_rowsDone < m_npoints)
        return sums;
    sumReadyOutputs();
    for (Sum &sum : m_sums) {
        double *values = sum.values.data();
        // Outputs that reach before the first or past the last point repeat the
        // nearest complete sum, as dispersedChannelSum does.
        if (sum.from < sum.to) {
            std::fill(values, values + sum.from, values[sum.from]);
            std::fill(values + sum.to, values + m_npoints, values[sum.to - 1]);
        } else {
            std::fill(values, values + m_npoints, 0.0);
        }
        sums.append(std::move(sum.values));
    }
    m_sums.clear();
    m_window = std::vector<float>();
    m_valid = false;
    return sums;
}
