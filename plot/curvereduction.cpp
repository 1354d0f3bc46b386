#include "plot/curvereduction.h"

#include <cmath>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Far enough outside any widget to keep segment slopes, small enough for the
// raster engine's fixed-point coordinates.
constexpr double pixelLimit = 4.0e6;

int truncatedPixel(double offset)
{
    if (offset > pixelLimit)
        offset = pixelLimit;
    else if (offset < -pixelLimit)
        offset = -pixelLimit;
    return static_cast<int>(offset);
}

// Smallest and largest of values[0..count), NaN skipped; broken when a NaN or
// an infinity occurs.
void plainMinMax(const double *values, int count, double *min, double *max, bool *broken)
{
    double lo = INFINITY;
    double hi = -INFINITY;
    bool nan = false;
    int i = 0;
#ifdef __SSE2__
    __m128d lo0 = _mm_set1_pd(INFINITY);
    __m128d lo1 = lo0;
    __m128d hi0 = _mm_set1_pd(-INFINITY);
    __m128d hi1 = hi0;
    __m128d unordered = _mm_setzero_pd();
    for (; i + 4 <= count; i += 4) {
        const __m128d a = _mm_loadu_pd(values + i);
        const __m128d b = _mm_loadu_pd(values + i + 2);
        // With a NaN in the first operand these return the second one.
        lo0 = _mm_min_pd(a, lo0);
        lo1 = _mm_min_pd(b, lo1);
        hi0 = _mm_max_pd(a, hi0);
        hi1 = _mm_max_pd(b, hi1);
        unordered = _mm_or_pd(unordered, _mm_or_pd(_mm_cmpunord_pd(a, a), _mm_cmpunord_pd(b, b)));
    }
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_min_pd(lo0, lo1));
    lo = std::fmin(lanes[0], lanes[1]);
    _mm_storeu_pd(lanes, _mm_max_pd(hi0, hi1));
    hi = std::fmax(lanes[0], lanes[1]);
    nan = _mm_movemask_pd(unordered) != 0;
#endif
    for (; i < count; ++i) {
        const double v = values[i];
        if (v != v) {
            nan = true;
            continue;
        }
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    *min = lo;
    *max = hi;
    *broken = nan || !std::isfinite(lo) || !std::isfinite(hi);
}

// Smallest and largest finite value of values[0..count); false when none.
bool finiteMinMax(const double *values, int count, double *min, double *max)
{
    bool any = false;
    for (int i = 0; i < count; ++i) {
        const double v = values[i];
        if (!std::isfinite(v))
            continue;
        if (!any) {
            *min = *max = v;
            any = true;
        } else {
            *min = v < *min ? v : *min;
            *max = v > *max ? v : *max;
        }
    }
    return any;
}

// Collects column runs (first, last, smallest and largest value in one pixel
// column) and writes their segments.
class SegmentWriter
{
public:
    SegmentWriter(const CurveReduction::PixelMap &map, CurveReduction::Result *result)
        : m_map(map), m_result(result)
    {
    }

    void addRun(int column, double first, double last, double min, double max)
    {
        if (m_open && column == m_column) {
            m_last = last;
            m_min = min < m_min ? min : m_min;
            m_max = max > m_max ? max : m_max;
            return;
        }
        flush();
        m_open = true;
        m_column = column;
        m_first = first;
        m_last = last;
        m_min = min;
        m_max = max;
    }

    void breakLine()
    {
        flush();
        m_inLine = false;
    }

    void flush()
    {
        if (!m_open)
            return;
        m_open = false;
        const int top = m_map.pixelY(m_max);
        const int bottom = m_map.pixelY(m_min);
        const QPoint first(m_column, m_map.pixelY(m_first));
        if (m_inLine) {
            // A join between neighbouring columns stays inside the rows of its
            // ends and the two columns; when both vertical runs cover those
            // rows it adds no pixel.
            const int low = qMin(m_previous.y(), first.y());
            const int high = qMax(m_previous.y(), first.y());
            const bool covered = m_column == m_previous.x() + 1 && m_previousTop <= low
                && m_previousBottom >= high && top <= low && bottom >= high;
            if (!covered)
                addSegment(m_previous, first);
        }
        addSegment(QPoint(m_column, top), QPoint(m_column, bottom));
        m_previous = QPoint(m_column, m_map.pixelY(m_last));
        m_previousTop = top;
        m_previousBottom = bottom;
        m_inLine = true;
    }

private:
    void addSegment(const QPoint &a, const QPoint &b)
    {
        m_result->segmentEnds.append(a);
        m_result->segmentEnds.append(b);
        m_result->pixelLength += qMax(qAbs(b.x() - a.x()), qAbs(b.y() - a.y())) + 1;
    }

    const CurveReduction::PixelMap &m_map;
    CurveReduction::Result *m_result;
    bool m_open = false;
    bool m_inLine = false;
    int m_column = 0;
    double m_first = 0.0;
    double m_last = 0.0;
    double m_min = 0.0;
    double m_max = 0.0;
    QPoint m_previous;
    int m_previousTop = 0;
    int m_previousBottom = 0;
};

} // namespace

int CurveReduction::PixelMap::pixelX(double x) const
{
    return left + truncatedPixel((x - xMin) * kx);
}

int CurveReduction::PixelMap::pixelY(double y) const
{
    return yBase - truncatedPixel((y - yMin) * ky);
}

CurveReduction::Summary CurveReduction::Summary::build(const double *values, int count)
{
    Summary summary;
    if (!values || count <= 0)
        return summary;
    const int blocks = (count + blockSize - 1) / blockSize;
    summary.blockMin.resize(blocks);
    summary.blockMax.resize(blocks);
    summary.blockBroken.resize(blocks);
    for (int b = 0; b < blocks; ++b) {
        const int first = b * blockSize;
        const int size = qMin(blockSize, count - first);
        double lo = 0.0;
        double hi = 0.0;
        bool broken = false;
        plainMinMax(values + first, size, &lo, &hi, &broken);
        if (broken && !finiteMinMax(values + first, size, &lo, &hi)) {
            lo = INFINITY;
            hi = -INFINITY;
        }
        summary.blockMin[b] = lo;
        summary.blockMax[b] = hi;
        summary.blockBroken[b] = broken;
        if (lo <= hi) {
            summary.min = summary.anyFinite ? qMin(summary.min, lo) : lo;
            summary.max = summary.anyFinite ? qMax(summary.max, hi) : hi;
            summary.anyFinite = true;
        }
    }
    return summary;
}

bool CurveReduction::isIncreasing(const QVector<double> &xValues)
{
    // Never decreasing between finite ends means finite throughout; a NaN
    // fails every comparison.
    const int count = xValues.size();
    if (count == 0)
        return true;
    const double *x = xValues.constData();
    if (!std::isfinite(x[0]) || !std::isfinite(x[count - 1]))
        return false;
    int i = 0;
#ifdef __SSE2__
    __m128d ordered = _mm_castsi128_pd(_mm_set1_epi32(-1));
    for (; i + 3 <= count; i += 2)
        ordered = _mm_and_pd(ordered, _mm_cmpge_pd(_mm_loadu_pd(x + i + 1), _mm_loadu_pd(x + i)));
    if (_mm_movemask_pd(ordered) != 3)
        return false;
#endif
    for (; i + 1 < count; ++i) {
        if (!(x[i + 1] >= x[i]))
            return false;
    }
    return true;
}

CurveReduction::Result CurveReduction::reduce(const double *values, const double *xValues, int count,
                                              bool xIncreasing, const PixelMap &map, const Summary *summary)
{
    Result result;
    if (!values || count <= 0)
        return result;
    SegmentWriter writer(map, &result);
    auto xAt = [xValues](int i) { return xValues ? xValues[i] : double(i); };

    if (xValues && !xIncreasing) {
        for (int i = 0; i < count; ++i) {
            const double v = values[i];
            const double x = xValues[i];
            if (!std::isfinite(v) || !std::isfinite(x)) {
                writer.breakLine();
                continue;
            }
            writer.addRun(map.pixelX(x), v, v, v, v);
        }
        writer.flush();
        return result;
    }

    // The column of a sample never decreases with its index. First index in
    // [lo, hi) whose column is above the given one (hi when none).
    auto firstBeyond = [&](int lo, int hi, int column) {
        int step = 1;
        int known = lo;
        while (known + step < hi && map.pixelX(xAt(known + step)) <= column) {
            known += step;
            step *= 2;
        }
        int a = known + 1;
        int b = qMin(hi, known + step);
        while (a < b) {
            const int mid = a + (b - a) / 2;
            if (map.pixelX(xAt(mid)) > column)
                b = mid;
            else
                a = mid + 1;
        }
        return a;
    };

    // Samples in the clip band, and one more on each side for the segments
    // that enter it.
    int lo = 0;
    int hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (map.pixelX(xAt(mid)) >= map.clipLeft)
            hi = mid;
        else
            lo = mid + 1;
    }
    const int start = qMax(0, lo - 1);
    const int end = qMin(count - 1, firstBeyond(start, count, map.clipRight));

    const int blockSize = Summary::blockSize;
    int i = start;
    while (i <= end) {
        const int column = map.pixelX(xAt(i));
        const int next = firstBeyond(i, end + 1, column);
        const int last = next - 1;
        double min = 0.0;
        double max = 0.0;
        bool broken = false;
        if (summary && last / blockSize - i / blockSize >= 2) {
            const int firstFull = i / blockSize + 1;
            const int lastFull = last / blockSize - 1;
            plainMinMax(values + i, firstFull * blockSize - i, &min, &max, &broken);
            for (int b = firstFull; b <= lastFull && !broken; ++b) {
                broken = summary->blockBroken.at(b);
                min = qMin(min, summary->blockMin.at(b));
                max = qMax(max, summary->blockMax.at(b));
            }
            if (!broken) {
                double tailMin = 0.0;
                double tailMax = 0.0;
                plainMinMax(values + (lastFull + 1) * blockSize, last + 1 - (lastFull + 1) * blockSize, &tailMin,
                            &tailMax, &broken);
                min = qMin(min, tailMin);
                max = qMax(max, tailMax);
            }
        } else {
            plainMinMax(values + i, next - i, &min, &max, &broken);
        }
        if (xValues && !broken)
            broken = !std::isfinite(xValues[i]) || !std::isfinite(xValues[last]);
        if (!broken) {
            writer.addRun(column, values[i], values[last], min, max);
        } else {
            for (int k = i; k <= last; ++k) {
                const double v = values[k];
                if (!std::isfinite(v) || !std::isfinite(xAt(k))) {
                    writer.breakLine();
                    continue;
                }
                writer.addRun(column, v, v, v, v);
            }
        }
        i = next;
    }
    writer.flush();
    return result;
}
