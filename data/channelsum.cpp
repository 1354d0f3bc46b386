#include "data/channelsum.h"

#include "astro/channelsumkernels.h"
#include "data/nativefile.h"
#include "data/nativereader.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using channelsum::addChannels;

// Outputs summed together; their accumulators stay in the first- or second-level cache.
constexpr qint64 blockOutputs = 8192;
// Floats of the mapped layout's channel-major copy: what fits the second-level
// cache, and the most we allocate at all.
constexpr qint64 scratchFloats = qint64(1) << 17;
constexpr qint64 maxScratchFloats = qint64(1) << 24;

// Samples to add before a second thread pays for its start.
constexpr qint64 parallelSamples = qint64(1) << 22;

// Runs sum(from, to) over the outputs, split in two halves on two threads when
// the work is large. Every output is still summed alone, in the same channel
// order, so the split never changes a value.
template <typename Sum>
void sumOutputs(qint64 from, qint64 to, qint64 channels, const Sum &sum)
{
    if ((to - from) * channels < parallelSamples || std::thread::hardware_concurrency() < 2) {
        sum(from, to);
        return;
    }
    const qint64 middle = from + (to - from) / 2;
    std::thread second;
    try {
        second = std::thread([&sum, middle, to] { sum(middle, to); });
    } catch (const std::system_error &) {
        sum(from, to);
        return;
    }
    sum(from, middle);
    second.join();
}

// Outputs [from, to) of the channel-major array: out[i] gets channel c's sample
// at shift + i + delay_c, channels from the last frequency channel down to 0.
void sumChannelMajor(const NativeFile &data, const std::vector<qint32> &delays, qint64 base,
                     qint64 shift, qint64 from, qint64 to, double *out)
{
    const float *samples = data.samples.constData();
    const qint64 size = data.samples.size();
    const qint64 npoints = data.npoints;
    const size_t nFreq = delays.size();
    std::vector<const float *> source(nFreq);
    std::vector<qint64> usable(nFreq);
    for (qint64 i0 = from; i0 < to; i0 += blockOutputs) {
        const qint64 n = std::min(blockOutputs, to - i0);
        for (size_t c = 0; c < nFreq; ++c) {
            const qint64 channelStart = base + qint64(c) * npoints;
            // Points of this channel actually present in the array.
            const qint64 held = std::clamp(size - channelStart, qint64(0), npoints);
            const qint64 t0 = shift + i0 + delays[c];
            usable[c] = std::clamp(held - t0, qint64(0), n);
            source[c] = usable[c] > 0 ? samples + channelStart + t0 : nullptr;
        }
        addChannels(out + i0, source, usable, n);
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
    // Outputs per block: as many as fit the second-level cache with the rows
    // their delays reach, but at least as many as the delays span, so that no
    // row is copied more than twice.
    const qint64 outputsPerBlock = std::max({scratchFloats / nFreq - span, span, qint64(256)});
    if ((outputsPerBlock + span) * nFreq > maxScratchFloats) {
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
    const qint64 columnStride = channelsum::columnStride(outputsPerBlock + span);
    std::vector<float> scratch(static_cast<size_t>(columnStride * nFreq));
    std::vector<const float *> source(static_cast<size_t>(nFreq));
    const std::vector<qint64> usable(static_cast<size_t>(nFreq), outputsPerBlock);
    for (int c = 0; c < nFreq; ++c)
        source[size_t(c)] = scratch.data() + qint64(c) * columnStride + (delays[size_t(c)] - minDelay);

    for (qint64 i0 = from; i0 < to; i0 += outputsPerBlock) {
        const qint64 n = std::min(outputsPerBlock, to - i0);
        const qint64 firstRow = shift + i0 + minDelay;
        channelsum::copyRows(map.bytes, map.count, firstRow * rowStride + rowOffset, rowStride, n + span, nFreq,
                             scratch.data(), columnStride);
        addChannels(out + i0, source, usable, n);
    }
}

} // namespace

int dispersedChannelSum(const NativeFile &data, QVector<double> *out, int firstPoint, double dm,
                        int moduleIndex, int rayIndex, int count)
{
    std::vector<qint32> delays;
    if (!out || count <= 0 || moduleIndex < 0 || moduleIndex >= data.nModules || rayIndex < 0
        || rayIndex >= data.nRays
        || !channelsum::channelDelays(data.fbands, data.nChannels, dm, data.tresolution, &delays))
        return -1;
    const int nFreq = int(delays.size());
    const qint64 minDelay = *std::min_element(delays.begin(), delays.end());
    const qint64 maxDelay = *std::max_element(delays.begin(), delays.end());

    out->resize(count);
    double *values = out->data();

    // Outputs whose every shifted index lies in [0, npoints): the complete sums.
    // Before them (channels above the reference frequency reach back past the first
    // sample) the first complete sum is repeated, after them the last one.
    const qint64 shift = firstPoint;
    const qint64 from = std::max<qint64>(0, -minDelay - shift);
    const qint64 to = std::min<qint64>(count, qint64(data.npoints) - maxDelay - shift);
    if (from >= to) {
        std::fill(values, values + count, 0.0);
        return count;
    }

    if (data.mapping) {
        const qint64 rowOffset = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels;
        sumOutputs(from, to, nFreq, [&](qint64 a, qint64 b) {
            sumMapped(data, delays, rowOffset, shift, a, b, values);
        });
        // Zeros in place of data from a file cut short on disk make no sum.
        if (nativeSamplesLost(data)) {
            out->clear();
            return -1;
        }
    } else {
        const qint64 base = (qint64(moduleIndex) * data.nRays + rayIndex) * data.nChannels * qint64(data.npoints);
        sumOutputs(from, to, nFreq, [&](qint64 a, qint64 b) {
            sumChannelMajor(data, delays, base, shift, a, b, values);
        });
    }

    std::fill(values, values + from, values[from]);
    std::fill(values + to, values + count, values[to - 1]);
    return count;
}
