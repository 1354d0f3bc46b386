#include "plot/curvereduction.h"

#include <cmath>

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

// Collects one column run and writes its points into the result.
class RunWriter
{
public:
    RunWriter(const double *values, const CurveReduction::PixelMap &map,
              CurveReduction::Result *result)
        : m_values(values), m_map(map), m_result(result)
    {
    }

    void add(int index, int column, double value)
    {
        if (m_open && column == m_column) {
            m_last = index;
            if (value < m_minValue) {
                m_minValue = value;
                m_min = index;
            } else if (value > m_maxValue) {
                m_maxValue = value;
                m_max = index;
            }
            return;
        }
        flush();
        if (!m_inLine) {
            m_result->starts.append(m_result->points.size());
            m_inLine = true;
        }
        m_open = true;
        m_column = column;
        m_first = m_last = m_min = m_max = index;
        m_minValue = m_maxValue = value;
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
        int order[4] = {m_first, qMin(m_min, m_max), qMax(m_min, m_max), m_last};
        int previous = -1;
        for (const int index : order) {
            if (index == previous)
                continue;
            previous = index;
            m_result->points.append(QPoint(m_column, m_map.pixelY(m_values[index])));
        }
    }

private:
    const double *m_values;
    const CurveReduction::PixelMap &m_map;
    CurveReduction::Result *m_result;
    bool m_open = false;
    bool m_inLine = false;
    int m_column = 0;
    int m_first = 0;
    int m_last = 0;
    int m_min = 0;
    int m_max = 0;
    double m_minValue = 0.0;
    double m_maxValue = 0.0;
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

int CurveReduction::Result::polylineSize(int k) const
{
    const int end = k + 1 < starts.size() ? starts.at(k + 1) : points.size();
    return end - starts.at(k);
}

bool CurveReduction::isIncreasing(const QVector<double> &xValues)
{
    double previous = -INFINITY;
    for (const double x : xValues) {
        if (!std::isfinite(x) || x < previous)
            return false;
        previous = x;
    }
    return true;
}

CurveReduction::Result CurveReduction::reduce(const double *values, const double *xValues,
                                              int count, bool xIncreasing, const PixelMap &map)
{
    Result result;
    if (!values || count <= 0)
        return result;
    auto xAt = [xValues](int i) { return xValues ? xValues[i] : double(i); };

    int start = 0;
    int end = count - 1;
    if (xIncreasing || !xValues) {
        // The column of a sample never decreases with its index: find the
        // samples in the clip band and keep one more on each side.
        int lo = 0;
        int hi = count;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (map.pixelX(xAt(mid)) >= map.clipLeft)
                hi = mid;
            else
                lo = mid + 1;
        }
        start = qMax(0, lo - 1);
        lo = start;
        hi = count;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (map.pixelX(xAt(mid)) > map.clipRight)
                hi = mid;
            else
                lo = mid + 1;
        }
        end = qMin(count - 1, lo);
    }

    RunWriter writer(values, map, &result);
    if (!xValues) {
        const double xMin = map.xMin;
        const double kx = map.kx;
        for (int i = start; i <= end; ++i) {
            const double v = values[i];
            if (!std::isfinite(v)) {
                writer.breakLine();
                continue;
            }
            writer.add(i, map.left + truncatedPixel((i - xMin) * kx), v);
        }
    } else {
        for (int i = start; i <= end; ++i) {
            const double v = values[i];
            const double x = xValues[i];
            if (!std::isfinite(v) || !std::isfinite(x)) {
                writer.breakLine();
                continue;
            }
            writer.add(i, map.pixelX(x), v);
        }
    }
    writer.flush();

    for (int k = 0; k < result.polylineCount(); ++k) {
        const int first = result.starts.at(k);
        const int size = result.polylineSize(k);
        if (size == 1) {
            result.dots.append(result.points.at(first));
            continue;
        }
        for (int i = first + 1; i < first + size; ++i) {
            result.segmentEnds.append(result.points.at(i - 1));
            result.segmentEnds.append(result.points.at(i));
        }
    }
    return result;
}
