#include "astro/channelsumkernels.h"

#include "astro/dispersion.h"
#include "astro/vectorclones.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <immintrin.h>
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

// acc += the four floats as doubles. Written lane by lane because GCC turns
// this, and not __builtin_convertvector, into one AVX conversion.
__attribute__((always_inline)) inline void addWidened(DoubleQuad *acc, FloatQuad f)
{
    DoubleQuad d;
    for (int k = 0; k < 4; ++k)
        d[k] = double(f[k]);
    *acc += d;
}

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
            addWidened(&a, f);
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

#if defined(__SSE2__)
// The float at p, which need not be aligned: file rows follow a passport of
// any length.
inline float floatAt(const float *p)
{
    float value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Copies four rows into the columns and, when Sum, adds each row's channels
// from the last down to 0 onto 0.0, the order of addChannels.
template <bool Store, bool Sum>
inline void copyFourRows(const float *const *r, int nFreq, float *column0, qint64 columnStride, double *sums)
{
    __m128d low = _mm_setzero_pd();    // rows 0 and 1
    __m128d high = _mm_setzero_pd();   // rows 2 and 3
    const auto take = [&](__m128 f, int c) {
        if (Store)
            _mm_storeu_ps(column0 + qint64(c) * columnStride, f);
        if (Sum) {
            low = _mm_add_pd(low, _mm_cvtps_pd(f));
            high = _mm_add_pd(high, _mm_cvtps_pd(_mm_movehl_ps(f, f)));
        }
    };
    const int whole = nFreq - nFreq % 4;
    for (int c = nFreq - 1; c >= whole; --c)
        take(_mm_setr_ps(floatAt(r[0] + c), floatAt(r[1] + c), floatAt(r[2] + c), floatAt(r[3] + c)), c);
    for (int c = whole - 4; c >= 0; c -= 4) {
        __m128 q0 = _mm_loadu_ps(r[0] + c);
        __m128 q1 = _mm_loadu_ps(r[1] + c);
        __m128 q2 = _mm_loadu_ps(r[2] + c);
        __m128 q3 = _mm_loadu_ps(r[3] + c);
        _MM_TRANSPOSE4_PS(q0, q1, q2, q3);
        take(q3, c + 3);
        take(q2, c + 2);
        take(q1, c + 1);
        take(q0, c);
    }
    if (Sum) {
        _mm_storeu_pd(sums, low);
        _mm_storeu_pd(sums + 2, high);
    }
}
#endif

#if defined(__x86_64__) && defined(__linux__)
bool hasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

// Stores channel c of eight rows into its column, and adds rows 0 .. 3 to
// low and rows 4 .. 7 to high.
template <bool Store, bool Sum>
__attribute__((target("avx2"), always_inline)) inline void takeEight(__m256 f, float *column, __m256d *low,
                                                                     __m256d *high)
{
    if (Store)
        _mm256_storeu_ps(column, f);
    if (Sum) {
        *low = _mm256_add_pd(*low, _mm256_cvtps_pd(_mm256_castps256_ps128(f)));
        *high = _mm256_add_pd(*high, _mm256_cvtps_pd(_mm256_extractf128_ps(f, 1)));
    }
}

// Channels c .. c + 3 of the row `low` in the low and of the row `high` in
// the high half.
__attribute__((target("avx2"), always_inline)) inline __m256 loadPair(const float *low, const float *high, int c)
{
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low + c)), _mm_loadu_ps(high + c), 1);
}

// copyFourRows for `groups` groups of eight rows, each group's rows 0 .. 3 in
// the low and 4 .. 7 in the high half of the AVX registers, so that a column
// gets eight floats in one store and the two halves' additions overlap.
template <bool Store, bool Sum>
__attribute__((target("avx2"))) void copyEightRowGroups(const float *row0, qint64 rowStride, qint64 groups, int nFreq,
                                                       float *scratch, qint64 columnStride, double *plainSums)
{
    const int whole = nFreq - nFreq % 4;
    for (qint64 g = 0; g < groups; ++g) {
        const float *r[8];
        for (int i = 0; i < 8; ++i)
            r[i] = row0 + (8 * g + i) * rowStride;
        float *column0 = Store ? scratch + 8 * g : nullptr;
        __m256d low = _mm256_setzero_pd();    // rows 0 .. 3
        __m256d high = _mm256_setzero_pd();   // rows 4 .. 7
        // The rows are read channel by channel, eight short streams backwards,
        // which the processor does not foresee: the group after next is
        // fetched meanwhile, two cache lines per step.
        const char *ahead = nullptr;
        const char *aheadEnd = nullptr;
        if (g + 2 < groups) {
            ahead = reinterpret_cast<const char *>(row0 + (8 * (g + 2)) * rowStride);
            aheadEnd = ahead + 8 * rowStride * qint64(sizeof(float));
        }
        const auto column = [&](int c) { return Store ? column0 + qint64(c) * columnStride : nullptr; };
        for (int c = nFreq - 1; c >= whole; --c) {
            const __m256 f = _mm256_setr_ps(floatAt(r[0] + c), floatAt(r[1] + c), floatAt(r[2] + c), floatAt(r[3] + c),
                                            floatAt(r[4] + c), floatAt(r[5] + c), floatAt(r[6] + c), floatAt(r[7] + c));
            takeEight<Store, Sum>(f, column(c), &low, &high);
        }
        for (int c = whole - 4; c >= 0; c -= 4) {
            if (ahead < aheadEnd) {
                _mm_prefetch(ahead, _MM_HINT_T0);
                _mm_prefetch(ahead + 64, _MM_HINT_T0);
                ahead += 128;
            }
            const __m256 t0 = loadPair(r[0], r[4], c);
            const __m256 t1 = loadPair(r[1], r[5], c);
            const __m256 t2 = loadPair(r[2], r[6], c);
            const __m256 t3 = loadPair(r[3], r[7], c);
            const __m256 u0 = _mm256_unpacklo_ps(t0, t1);   // channels c, c + 1 of rows 0, 1
            const __m256 u1 = _mm256_unpackhi_ps(t0, t1);   // channels c + 2, c + 3 of rows 0, 1
            const __m256 u2 = _mm256_unpacklo_ps(t2, t3);
            const __m256 u3 = _mm256_unpackhi_ps(t2, t3);
            const __m256 highest = _mm256_shuffle_ps(u1, u3, _MM_SHUFFLE(3, 2, 3, 2));
            const __m256 second = _mm256_shuffle_ps(u1, u3, _MM_SHUFFLE(1, 0, 1, 0));
            const __m256 third = _mm256_shuffle_ps(u0, u2, _MM_SHUFFLE(3, 2, 3, 2));
            const __m256 lowest = _mm256_shuffle_ps(u0, u2, _MM_SHUFFLE(1, 0, 1, 0));
            takeEight<Store, Sum>(highest, column(c + 3), &low, &high);
            takeEight<Store, Sum>(second, column(c + 2), &low, &high);
            takeEight<Store, Sum>(third, column(c + 1), &low, &high);
            takeEight<Store, Sum>(lowest, column(c), &low, &high);
        }
        for (; ahead < aheadEnd; ahead += 64)
            _mm_prefetch(ahead, _MM_HINT_T0);
        if (Sum) {
            _mm256_storeu_pd(plainSums + 8 * g, low);
            _mm256_storeu_pd(plainSums + 8 * g + 4, high);
        }
    }
}
#endif

template <bool Store, bool Sum>
void copyRowsOf(const uchar *bytes, qint64 count, qint64 first, qint64 rowStride, qint64 rows, int nFreq,
                float *scratch, qint64 columnStride, double *plainSums)
{
    // Whether rows k .. k + n - 1 lie wholly before `count`.
    const auto wholeRows = [&](qint64 k, qint64 n) {
        return k + n <= rows && first + (k + n - 1) * rowStride + nFreq <= count;
    };
    const auto rowAt = [&](qint64 k) {
        return reinterpret_cast<const float *>(bytes + 4 * (first + k * rowStride));
    };
    qint64 k = 0;
#if defined(__x86_64__) && defined(__linux__)
    if (hasAvx2()) {
        qint64 groups = rows / 8;
        while (groups > 0 && !wholeRows(0, 8 * groups))
            --groups;
        copyEightRowGroups<Store, Sum>(rowAt(0), rowStride, groups, nFreq, scratch, columnStride, plainSums);
        k = 8 * groups;
    }
#endif
#if defined(__SSE2__)
    // SSE2 is only found on little-endian processors, which read the floats as they lie.
    for (; wholeRows(k, 4); k += 4) {
        const float *r[4] = {rowAt(k), rowAt(k + 1), rowAt(k + 2), rowAt(k + 3)};
        copyFourRows<Store, Sum>(r, nFreq, Store ? scratch + k : nullptr, columnStride, Sum ? plainSums + k : nullptr);
    }
#endif
    for (; k < rows; ++k) {
        const qint64 index = first + k * rowStride;
        double sum = 0.0;
        for (int c = nFreq - 1; c >= 0; --c) {
            const float value = index + c < count ? littleEndianFloat(bytes, index + c) : 0.0f;
            if (Store)
                scratch[qint64(c) * columnStride + k] = value;
            if (Sum)
                sum += double(value);
        }
        if (Sum)
            plainSums[k] = sum;
    }
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

ORVALIS_AVX2_CLONES
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
              float *scratch, qint64 columnStride, double *plainSums)
{
    if (scratch && plainSums)
        copyRowsOf<true, true>(bytes, count, first, rowStride, rows, nFreq, scratch, columnStride, plainSums);
    else if (scratch)
        copyRowsOf<true, false>(bytes, count, first, rowStride, rows, nFreq, scratch, columnStride, nullptr);
    else if (plainSums)
        copyRowsOf<false, true>(bytes, count, first, rowStride, rows, nFreq, nullptr, 0, plainSums);
}

qint64 columnStride(qint64 rows)
{
    qint64 lines = (rows + 15) / 16;
    if (lines % 2 == 0)
        ++lines;
    return lines * 16;
}

} // namespace channelsum
