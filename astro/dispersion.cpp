#include "astro/dispersion.h"

#include "data/nativefile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Outputs summed together; the block's accumulators stay in the first-level cache.
constexpr qint64 blockOutputs = 2048;

qint32 saturatedDelay(double value)
{
    const double rounded = std::round(value);
    if (rounded <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    if (rounded >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    return qint32(rounded);
}

// acc[j] += src[j]; kept apart so the compiler can vectorise it.
void accumulate(double *__restrict acc, const float *__restrict src, qint64 n)
{
    for (qint64 j = 0; j < n; ++j)
        acc[j] += double(src[j]);
}

// Outputs [from, to) of the channel-major array: out[i] gets channel c's sample
// at shift + i + delay_c, channels from the last frequency channel down to 0.
void sumChannelMajor(const NativeFile &data, const std::vector<qint32> &delays, qint64 base,
                     qint64 shift, qint64 from, qint64 to, double *out)
{
    const float *samples = data.samples.constData();
    const qint64 size = data.samples.size();
    const qint64 npoints = data.npoints;
    const int nFreq = int(delays.size());
    for (qint64 i0 = from; i0 < to; i0 += blockOutputs) {
        const qint64 n = std::min(blockOutputs, to - i0);
        double *acc = out + i0;
        for (int c = nFreq - 1; c >= 0; --c) {
            const qint64 channelStart = base + qint64(c) * npoints;
            // Points of this channel actually present in the array.
            const qint64 held = std::clamp(size - channelStart, qint64(0), npoints);
            const qint64 t0 = shift + i0 + delays[size_t(c)];
            const qint64 usable = std::clamp(held - t0, qint64(0), n);
            if (usable > 0)
                accumulate(acc, samples + channelStart + t0, usable);
        }
    }
}

// Same for the mapped block in file order: each block's rows are first copied
// into a channel-major scratch area so the summing loop reads contiguous floats.
void sumMapped(const NativeFile &data, const std::vector<qint32> &delays, qint64 rowOffset,
               qint64 shift, qint64 from, qint64 to, double *out)
{
    const NativeMapping &map = *data.mapping;
    const qint64 rowStride = qint64(data.nModules) * data.nRays * data.nChannels;
    const int nFreq = int(delays.size());
    const qint64 minDelay = *std::min_element(delays.begin(), delays.end());
    const qint64 maxDelay = *std::max_element(delays.begin(), delays.end());
    const qint64 span = maxDelay - minDelay;
    if (span > 4 * blockOutputs) {
        // Delays too far apart for a scratch copy: read each sample where it lies.
        for (qint64 i0 = from; i0 < to; i0 += blockOutputs) {
            const qint64 n = std::min(blockOutputs, to - i0);
            double *acc = out + i0;
            for (int c = nFreq - 1; c >= 0; --c) {
                const qint64 first = (shift + i0 + delays[size_t(c)]) * rowStride + rowOffset + c;
                for (qint64 j = 0; j < n; ++j) {
                    const qint64 index = first + j * rowStride;
                    if (index < map.count)
                        acc[j] += double(map.at(index));
                }
            }
        }
        return;
    }
    // Rows per block bounded so that the scratch area stays in the second-level cache.
    const qint64 outputsPerBlock = std::max<qint64>(256, std::min<qint64>(blockOutputs, (qint64(1) << 18) / nFreq - span));
    const qint64 rowsPerBlock = outputsPerBlock + span;
    std::vector<float> scratch(static_cast<size_t>(rowsPerBlock * nFreq));
    std::vector<float> row(static_cast<size_t>(nFreq));

    for (qint64 i0 = from; i0 < to; i0 += outputsPerBlock) {
        const qint64 n = std::min(outputsPerBlock, to - i0);
        const qint64 firstRow = shift + i0 + minDelay;
        const qint64 rows = n + span;
        for (qint64 k = 0; k < rows; ++k) {
            const qint64 index = (firstRow + k) * rowStride + rowOffset;
            if (index + nFreq <= map.count) {
                std::memcpy(row.data(), map.bytes + 4 * index, size_t(nFreq) * sizeof(float));
            } else {
                for (int c = 0; c < nFreq; ++c)
                    row[size_t(c)] = index + c < map.count ? map.at(index + c) : 0.0f;
            }
            float *column = scratch.data() + k;
            for (int c = 0; c < nFreq; ++c)
                column[qint64(c) * rowsPerBlock] = row[size_t(c)];
        }
        double *acc = out + i0;
        for (int c = nFreq - 1; c >= 0; --c)
            accumulate(acc, scratch.data() + qint64(c) * rowsPerBlock + (delays[size_t(c)] - minDelay), n);
    }
}

} // namespace

double dispersionDelayPoints(double f1, double f2, double dm, double tres)
{
    if (f1 == 0.0 || f2 == 0.0 || tres == 0.0)
        return 0.0;
    return (1.0 / (f2 * f2) - 1.0 / (f1 * f1)) * dispersionConstant * dm / tres;
}

int dispersedChannelSum(const NativeFile &data, QVector<double> *out, int firstPoint, double dm,
                        int moduleIndex, int rayIndex, int count)
{
    if (!out || count <= 0 || moduleIndex < 0 || moduleIndex >= data.nModules || rayIndex < 0
        || rayIndex >= data.nRays || data.nChannels < 2 || data.fbands.size() < data.nChannels - 1
        || data.tresolution == 0.0)
        return -1;
    const int nFreq = data.nChannels - 1;
    for (int c = 0; c < nFreq; ++c) {
        if (data.fbands[c] == 0.0)
            return -1;
    }

    const double fRef = data.fbands[nFreq - 1];
    std::vector<qint32> delays(static_cast<size_t>(nFreq));
    for (int c = 0; c < nFreq; ++c) {
        const double f = data.fbands[c];
        const double delay = ((1.0 / (f * f) - 1.0 / (fRef * fRef)) * dispersionConstant * dm) / data.tresolution;
        // A NaN delay (NaN dm or sample interval) addresses no sample at all.
        if (std::isnan(delay))
            return -1;
        delays[size_t(c)] = saturatedDelay(delay);
    }
    const qint64 minDelay = *std::min_element(delays.begin(), delays.end());
    const qint64 maxDelay = *std::max_element(delays.begin(), delays.end());

    out->fill(0.0, count);
    double *values = out->data();

    // Outputs whose every shifted index lies in [0, npoints): the complete sums.
    // Before them (channels above the reference frequency reach back past the first
    // sample) the first complete sum is repeated, after them the last one.
    const qint64 shift = firstPoint;
    const qint64 from = std::max<qint64>(0, -minDelay - shift);
    const qint64 to = std::min<qint64>(count, qint64(data.npoints) - maxDelay - shift);
    if (from >= to)
        return count;

    if (data.mapping) {
        const qint64 rowOffset = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels;
        sumMapped(data, delays, rowOffset, shift, from, to, values);
    } else {
        const qint64 base = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels * qint64(data.npoints);
        sumChannelMajor(data, delays, base, shift, from, to, values);
    }

    std::fill(values, values + from, values[from]);
    std::fill(values + to, values + count, values[to - 1]);
    return count;
}
