#include "astro/channelsumkernels.h"

#include "astro/dispersion.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

qint32 saturatedDelay(double value)
{
    const double rounded = std::round(value);
    if (rounded <= -2147483648.0)
        return std::numeric_limits<qint32>::min();
    if (rounded >= 2147483647.0)
        return std::numeric_limits<qint32>::max();
    return qint32(rounded);
}

float littleEndianFloat(const uchar *bytes, qint64 i)
{
    const quint32 bits = qFromLittleEndian<quint32>(bytes + 4 * i);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Four lanes of the same float-to-double conversions and additions the scalar
// code does, so every output keeps its exact value; two SSE registers each,
// or one AVX register in the AVX2 version of addChannels.
typedef double DoubleQuad __attribute__((vector_size(32)));
typedef float FloatQuad __attribute__((vector_size(16)));

// acc[j] = ((acc[j] + src[0][j]) + src[1][j]) + ... + src[K-1][j]: K channels
// in one pass, in the given order, each accumulator loaded and stored once.
// Fresh starts from 0 instead of loading acc. Always inlined, so that it is
// compiled for the instruction set of its caller.
template <int K, bool Fresh>
__attribute__((always_inline)) inline void addGroup(double *acc, const float *const *src, qint64 n)
{
    qint64 j = 0;
    for (; j + 4 <= n; j += 4) {
        DoubleQuad a = {0.0, 0.0, 0.0, 0.0};
        if (!Fresh)
            std::memcpy(&a, acc + j, sizeof a);
        for (int k = 0; k < K; ++k) {
            FloatQuad f;
            std::memcpy(&f, src[k] + j, sizeof f);
            a += __builtin_convertvector(f, DoubleQuad);
        }
        std::memcpy(acc + j, &a, sizeof a);
    }
    for (; j < n; ++j) {
        double value = Fresh ? 0.0 : acc[j];
        for (int k = 0; k < K; ++k)
            value += double(src[k][j]);
        acc[j] = value;
    }
}

// Adds channels top, top - 1, ... top - K + 1 in that order.
template <int K, bool Fresh>
__attribute__((always_inline)) inline void addChannelGroup(double *acc, const std::vector<const float *> &source,
                                                           int top, qint64 n)
{
    const float *order[K];
    for (int k = 0; k < K; ++k)
        order[k] = source[size_t(top - k)];
    addGroup<K, Fresh>(acc, order, n);
}

} // namespace

namespace channelsum {

bool channelDelays(const QVector<double> &fbands, int nChannels, double dm, double tresolution,
                   std::vector<qint32> *delays)
{
    if (nChannels < 2 || fbands.size() < nChannels - 1 || tresolution == 0.0)
        return false;
    const int nFreq = nChannels - 1;
    for (int c = 0; c < nFreq; ++c) {
        if (fbands[c] == 0.0)
            return false;
    }
    const double fRef = fbands[nFreq - 1];
    delays->assign(static_cast<size_t>(nFreq), 0);
    for (int c = 0; c < nFreq; ++c) {
        const double f = fbands[c];
        const double delay = ((1.0 / (f * f) - 1.0 / (fRef * fRef)) * dispersionConstant * dm) / tresolution;
        // A NaN delay (NaN dm or sample interval) addresses no sample at all.
        if (std::isnan(delay))
            return false;
        (*delays)[size_t(c)] = saturatedDelay(delay);
    }
    return true;
}

#if defined(__x86_64__) && defined(__linux__)
// A second version for processors with AVX2, chosen once when the program loads.
__attribute__((target_clones("avx2", "default")))
#endif
void addChannels(double *acc, const std::vector<const float *> &source, const std::vector<qint64> &usable,
                 qint64 n)
{
    int c = int(source.size()) - 1;
    auto complete = [&](int top, int count) {
        if (top < count - 1)
            return false;
        for (int k = 0; k < count; ++k) {
            if (usable[size_t(top - k)] < n)
                return false;
        }
        return true;
    };
    if (complete(c, 8)) {
        addChannelGroup<8, true>(acc, source, c, n);
        c -= 8;
    } else if (complete(c, 4)) {
        addChannelGroup<4, true>(acc, source, c, n);
        c -= 4;
    } else {
        std::fill(acc, acc + n, 0.0);
    }
    for (; complete(c, 8); c -= 8)
        addChannelGroup<8, false>(acc, source, c, n);
    for (; complete(c, 4); c -= 4)
        addChannelGroup<4, false>(acc, source, c, n);
    for (; c >= 0; --c) {
        if (usable[size_t(c)] > 0)
            addGroup<1, false>(acc, &source[size_t(c)], std::min(usable[size_t(c)], n));
    }
}

void copyRows(const uchar *bytes, qint64 count, qint64 first, qint64 rowStride, qint64 rows, int nFreq,
              float *scratch, qint64 columnStride)
{
    qint64 k = 0;
#if defined(__SSE2__)
    // Four rows by four channels at a time, transposed in registers.
    for (; k + 4 <= rows && first + (k + 3) * rowStride + nFreq <= count; k += 4) {
        const float *r0 = reinterpret_cast<const float *>(bytes + 4 * (first + k * rowStride));
        const float *r1 = r0 + rowStride;
        const float *r2 = r1 + rowStride;
        const float *r3 = r2 + rowStride;
        int c = 0;
        for (; c + 4 <= nFreq; c += 4) {
            __m128 a = _mm_loadu_ps(r0 + c);
            __m128 b = _mm_loadu_ps(r1 + c);
            __m128 d = _mm_loadu_ps(r2 + c);
            __m128 e = _mm_loadu_ps(r3 + c);
            _MM_TRANSPOSE4_PS(a, b, d, e);
            float *column = scratch + qint64(c) * columnStride + k;
            _mm_storeu_ps(column, a);
            _mm_storeu_ps(column + columnStride, b);
            _mm_storeu_ps(column + 2 * columnStride, d);
            _mm_storeu_ps(column + 3 * columnStride, e);
        }
        for (; c < nFreq; ++c) {
            float *column = scratch + qint64(c) * columnStride + k;
            std::memcpy(column, r0 + c, sizeof(float));
            std::memcpy(column + 1, r1 + c, sizeof(float));
            std::memcpy(column + 2, r2 + c, sizeof(float));
            std::memcpy(column + 3, r3 + c, sizeof(float));
        }
    }
#endif
    for (; k < rows; ++k) {
        const qint64 index = first + k * rowStride;
        float *column = scratch + k;
        for (int c = 0; c < nFreq; ++c)
            column[qint64(c) * columnStride] = index + c < count ? littleEndianFloat(bytes, index + c) : 0.0f;
    }
}

qint64 columnStride(qint64 rows)
{
    qint64 lines = (rows + 15) / 16;
    if (lines % 2 == 0)
        ++lines;
    return lines * 16;
}

} // namespace channelsum
