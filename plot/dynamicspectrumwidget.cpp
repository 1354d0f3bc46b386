#include "plot/dynamicspectrumwidget.h"

#include "plot/spectrummath.h"

#include "astro/dispersion.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPolygonF>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int markerLineLength = 20;
constexpr int tickLength = 7;
constexpr int captionGap = 30;
constexpr int stripRightMargin = 9;
// Far-away dispersion points are pulled in to keep the rasteriser in range;
// the line is clipped to the image anyway.
constexpr double farCoordinate = 1.0e6;

double clampFar(double v, double lo, double hi)
{
    return std::min(std::max(v, lo - farCoordinate), hi + farCoordinate);
}

void appendOrBreak(QVector<QPolygonF> &lines, bool &broken, const QPointF &pt)
{
    if (broken || lines.isEmpty()) {
        lines.append(QPolygonF());
        broken = false;
    }
    lines.last().append(pt);
}

void drawPolylines(QPainter &p, const QVector<QPolygonF> &lines)
{
    for (const QPolygonF &line : lines) {
        if (line.size() == 1)
            p.drawPoint(line.first());
        else
            p.drawPolyline(line);
    }
}

} // namespace

DynamicSpectrumWidget::DynamicSpectrumWidget(QWidget *parent)
    : QWidget(parent)
    , m_font(QStringLiteral("Arial"), 9)
{
    setMinimumHeight(100);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
}

void DynamicSpectrumWidget::setData(const QVector<QVector<float>> &rows, int firstPoint,
                                    int markerPoint, const QString &markerText)
{
    m_rows = rows;
    // Rows of unequal length are cut to the shortest so that every column has all rows.
    int points = m_rows.isEmpty() ? 0 : m_rows.first().size();
    for (const QVector<float> &row : qAsConst(m_rows))
        points = std::min(points, int(row.size()));
    for (QVector<float> &row : m_rows) {
        if (row.size() != points)
            row.resize(points);
    }
    if (points == 0)
        m_rows.clear();

    m_rowMin.resize(m_rows.size());
    m_rowMax.resize(m_rows.size());
    for (int r = 0; r < m_rows.size(); ++r)
        SpectrumMath::finiteRange(m_rows.at(r).constData(), 0, points, &m_rowMin[r], &m_rowMax[r]);

    m_firstPoint = firstPoint;
    m_markerPoint = markerPoint;
    m_markerText = markerText;
    ++m_generation;
    geometryChanged();
}

void DynamicSpectrumWidget::clear()
{
    m_rows.clear();
    m_rowMin.clear();
    m_rowMax.clear();
    m_cache.clear();
    ++m_generation;
    m_markerPoint = -1;
    m_markerText.clear();
    m_dragging = false;
    m_selection = QRectF();
    m_showDispersion = false;
    geometryChanged();
}

void DynamicSpectrumWidget::setCellSize(const QSize &size)
{
    const QSize clamped(std::clamp(size.width(), 1, maxCellSide),
                        std::clamp(size.height(), 1, maxCellSide));
    m_autoCellSize = false;
    const bool changed = clamped != m_cellSize;
    m_cellSize = clamped;
    geometryChanged();
    if (changed)
        emit cellSizeChanged(m_cellSize);
}

void DynamicSpectrumWidget::setFitToWidth(bool on)
{
    m_fitToWidth = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setAxisInside(bool on)
{
    m_axisInside = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setScalePerWindow(bool on)
{
    m_scalePerWindow = on;
    update();
}

void DynamicSpectrumWidget::setDispersion(bool show, double dm, double tres,
                                          const QVector<double> &frequencies, int startPoint)
{
    m_showDispersion = show;
    m_dispersionDm = dm;
    m_dispersionTres = tres;
    m_frequencies = frequencies;
    m_dispersionStart = startPoint;
    // The frequencies are the channel labels of the print layout.
    geometryChanged();
}

void DynamicSpectrumWidget::setDispersionColor(const QColor &color)
{
    m_dispersionColor = color;
    update();
}

void DynamicSpectrumWidget::setSelectionMode(bool on)
{
    m_selectionMode = on;
    m_dragging = false;
    m_selection = QRectF();
    if (on)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
    update();
}

void DynamicSpectrumWidget::setAxisFont(int penWidth, int pointSize)
{
    m_axisPenWidth = std::clamp(penWidth, 1, 20);
    m_font = QFont(QStringLiteral("Arial"), std::clamp(pointSize, 6, 72));
    geometryChanged();
}

void DynamicSpectrumWidget::setTrace(const QVector<double> &values, int bandHeight)
{
    m_trace = values;
    m_traceBandHeight = std::max(bandHeight, 0);
    geometryChanged();
}

void DynamicSpectrumWidget::setTraceVisible(bool on)
{
    m_traceVisible = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setTraceWidth(int width)
{
    m_traceWidth = std::clamp(width, 1, 20);
    update();
}

void DynamicSpectrumWidget::setElementVisible(Element element, bool on)
{
    m_elements[element] = on;
    geometryChanged();
}

bool DynamicSpectrumWidget::elementVisible(Element element) const
{
    return m_elements[element];
}

void DynamicSpectrumWidget::setTimeAxis(bool on, double secondsPerPoint,
                                        TimeLabelFunction labelFunction)
{
    m_timeAxisOn = on;
    m_secondsPerPoint = secondsPerPoint;
    m_timeLabel = std::move(labelFunction);
    geometryChanged();
}

void DynamicSpectrumWidget::setImageTop(int top)
{
    m_imageTop = std::max(top, -1);
    geometryChanged();
}

void DynamicSpectrumWidget::setBottomGap(int gap)
{
    m_bottomGap = std::max(gap, 0);
    geometryChanged();
}

void DynamicSpectrumWidget::setPrintLayout(bool on)
{
    m_printLayout = on;
    geometryChanged();
}

bool DynamicSpectrumWidget::markerShown() const
{
    const qint64 column = qint64(m_markerPoint) - m_firstPoint;
    return m_elements[SearchMarker] && m_markerPoint >= 0 && column >= 0
        && column < pointCount();
}

bool DynamicSpectrumWidget::traceShown() const
{
    return m_traceVisible && m_traceBandHeight > 0 && pointCount() > 0
        && m_trace.size() == pointCount();
}

int DynamicSpectrumWidget::labelRowCount() const
{
    if (!m_timeAxisOn)
        return 0;
    return int(m_elements[PointLabels]) + int(m_elements[TimeLabels])
        + int(m_elements[RelativeTimeLabels]);
}

bool DynamicSpectrumWidget::captionShown() const
{
    return m_elements[TimeSpanCaption] && m_secondsPerPoint > 0.0;
}

int DynamicSpectrumWidget::fontHeight() const
{
    return QFontMetrics(m_font).height();
}

double DynamicSpectrumWidget::markerBandHeight() const
{
    return markerShown() ? 2 * fontHeight() + 28 + (m_printLayout ? 20 : 10) : 0.0;
}

double DynamicSpectrumWidget::traceBandHeight() const
{
    return traceShown() ? m_traceBandHeight + (m_printLayout ? 20 : 10) : 0.0;
}

double DynamicSpectrumWidget::bottomBandHeight() const
{
    if (pointCount() == 0)
        return 0.0;
    const int rows = labelRowCount();
    double h = rows > 0 ? tickLength + 4 + rows * (fontHeight() + 5) : 0.0;
    if (captionShown())
        h += captionGap + fontHeight() / 2.0 + 6;
    return h;
}

DynamicSpectrumWidget::Layout DynamicSpectrumWidget::layout() const
{
    Layout l;
    const int points = pointCount();
    const int rowsCount = rowCount();
    const double left = m_axisInside ? axisStripWidth : 0;
    l.cellWidth = m_cellSize.width();
    l.cellHeight = m_cellSize.height();
    if (m_fitToWidth && points > 0)
        l.cellWidth = std::max(1.0, width() - left) / points;
    l.markerBand = markerBandHeight();
    l.traceBand = traceBandHeight();
    l.bottomBand = bottomBandHeight();
    if (points == 0 || rowsCount == 0)
        return l;

    double top = l.markerBand + l.traceBand;
    const double below = l.bottomBand + m_bottomGap;
    if (m_autoCellSize) {
        const double room = height() - top - below - std::max(m_imageTop, 0);
        l.cellHeight = std::clamp(int(room / rowsCount), 1, maxCellSide);
    }
    const double imageHeight = double(rowsCount) * l.cellHeight;
    if (m_imageTop < 0)
        top += std::max(0.0, std::floor((height() - top - below - imageHeight) / 2.0));
    else
        top += m_imageTop;
    l.image = QRectF(left, top, points * l.cellWidth, imageHeight);
    return l;
}

QRect DynamicSpectrumWidget::bottomGapRect() const
{
    const Layout l = layout();
    if (m_bottomGap < 1 || l.image.isEmpty())
        return QRect();
    const int y = int(std::ceil(l.image.bottom() + l.bottomBand)) + 1;
    return QRect(int(l.image.left()), y, int(std::ceil(l.image.width())), m_bottomGap);
}

QVector<DynamicSpectrumWidget::ChannelLabel> DynamicSpectrumWidget::channelLabels() const
{
    QVector<ChannelLabel> labels;
    const int rowsCount = rowCount();
    if (!m_elements[ChannelLabels] || rowsCount == 0)
        return labels;
    const Layout l = layout();
    const double boxHeight = fontHeight() + 4;
    auto centreOf = [&](int row) {
        return l.image.top() + l.cellHeight * (rowsCount - row - 0.5);
    };

    if (m_printLayout || m_axisInside) {
        if (m_frequencies.size() < rowsCount)
            return labels;
        const int top = rowsCount - 1;
        const int middle = rowsCount / 2;
        labels.append({QString::number(m_frequencies.at(0), 'f', 2), centreOf(0)});
        if (top != 0)
            labels.append({QString::number(m_frequencies.at(top), 'f', 2), centreOf(top)});
        if (middle != 0 && middle != top
            && std::fabs(centreOf(middle) - centreOf(0)) >= boxHeight
            && std::fabs(centreOf(middle) - centreOf(top)) >= boxHeight)
            labels.append({QString::number(m_frequencies.at(middle), 'f', 2), centreOf(middle)});
        return labels;
    }

    // Channel numbers; rows too thin for a label each get one where the
    // previous label's box ends, so the numbers never overprint.
    double lastCentre = 0.0;
    for (int r = 0; r < rowsCount; ++r) {
        const double centre = centreOf(r);
        if (!labels.isEmpty() && lastCentre - centre < boxHeight)
            continue;
        labels.append({QString::number(r + 1), centre});
        lastCentre = centre;
    }
    return labels;
}

bool DynamicSpectrumWidget::visibleColumns(const Layout &l, int *first, int *last) const
{
    const int points = pointCount();
    if (l.image.isEmpty() || points == 0)
        return false;
    const QRect visible = isVisible() ? visibleRegion().boundingRect() : rect();
    const double x0 = std::max(double(visible.left()), l.image.left());
    const double x1 = std::min(double(visible.right() + 1), l.image.right());
    if (!(x1 > x0))
        return false;
    const double w = std::max(l.cellWidth, SpectrumMath::minColumnWidth);
    const int c0 = SpectrumMath::columnAt(x0, l.image.left(), w, points);
    const double end = std::ceil((x1 - l.image.left()) / w) - 1.0;
    *first = c0;
    *last = end <= c0 ? c0 : end >= points - 1 ? points - 1 : int(end);
    return true;
}

double DynamicSpectrumWidget::visibleImageWidth(const Layout &l) const
{
    if (l.image.isEmpty())
        return 0.0;
    const QRect visible = isVisible() ? visibleRegion().boundingRect() : rect();
    const double x0 = std::max(double(visible.left()), l.image.left());
    const double x1 = std::min(double(visible.right() + 1), l.image.right());
    return std::max(0.0, x1 - x0);
}

bool DynamicSpectrumWidget::visiblePoints(int *first, int *count) const
{
    int c0 = 0;
    int c1 = 0;
    if (!visibleColumns(layout(), &c0, &c1))
        return false;
    *first = m_firstPoint + c0;
    *count = c1 - c0 + 1;
    return true;
}

void DynamicSpectrumWidget::geometryChanged()
{
    const int points = pointCount();
    const double left = m_axisInside ? axisStripWidth : 0;
    const double top = markerBandHeight() + traceBandHeight();
    const int cellHeight = m_autoCellSize ? 1 : m_cellSize.height();
    const double height = top + double(rowCount()) * cellHeight + bottomBandHeight() + m_bottomGap
        + std::max(m_imageTop, 0);
    double width = left + 1;
    if (!m_fitToWidth && points > 0)
        width = left + std::ceil(double(points) * m_cellSize.width());
    setMinimumSize(int(std::min(width, double(QWIDGETSIZE_MAX))),
                   int(std::min(std::max(100.0, std::ceil(height)), double(QWIDGETSIZE_MAX))));
    updateGeometry();
    update();
    emit yAxisChanged();
}

QSize DynamicSpectrumWidget::sizeHint() const
{
    const QSize minimum = minimumSize();
    int width = minimum.width();
    if (m_fitToWidth) {
        const double left = m_axisInside ? axisStripWidth : 0;
        width = int(left + std::clamp(double(pointCount()) * m_cellSize.width(), 200.0, 1000.0));
    }
    // The minimum counts automatic cells 1 px high; ask for the default height.
    const qint64 height =
        minimum.height() + (m_autoCellSize ? qint64(m_cellSize.height() - 1) * rowCount() : 0);
    return QSize(std::max(width, 100), int(std::min<qint64>(height, QWIDGETSIZE_MAX)));
}

QSize DynamicSpectrumWidget::minimumSizeHint() const
{
    return minimumSize();
}

void DynamicSpectrumWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Scrolled in a scroll area: the trace scale, a per-window grey scale and
    // the caption follow the visible columns, so all of it is painted anew.
    update();
}

void DynamicSpectrumWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A new height moves a centred image and a new width refits the cells.
    emit yAxisChanged();
}

QImage DynamicSpectrumWidget::renderFragment(int first, int count) const
{
    const int points = pointCount();
    if (count <= 0 || points == 0)
        return QImage();
    const qint64 from = std::max<qint64>(qint64(first) - m_firstPoint, 0);
    const qint64 to = std::min<qint64>(qint64(first) + count - m_firstPoint, points);
    if (from >= to)
        return QImage();
    const int begin = int(from);
    const int end = int(to);

    DynamicSpectrumWidget picture;
    // The picture is never fitted: it shows the cells at their set width.
    picture.m_cellSize = QSize(m_cellSize.width(), layout().cellHeight);
    picture.m_autoCellSize = false;
    picture.m_axisInside = true;
    picture.m_scalePerWindow = m_scalePerWindow;
    picture.m_showDispersion = m_showDispersion;
    picture.m_dispersionDm = m_dispersionDm;
    picture.m_dispersionTres = m_dispersionTres;
    picture.m_frequencies = m_frequencies;
    picture.m_dispersionStart = m_dispersionStart;
    picture.m_dispersionColor = m_dispersionColor;
    picture.m_font = m_font;
    picture.m_axisPenWidth = m_axisPenWidth;
    picture.m_printLayout = m_printLayout;
    picture.m_traceVisible = m_traceVisible;
    picture.m_traceBandHeight = m_traceBandHeight;
    picture.m_traceWidth = m_traceWidth;
    picture.m_traceColor = m_traceColor;
    if (m_trace.size() == points)
        picture.m_trace = m_trace.mid(begin, end - begin);
    std::copy(std::begin(m_elements), std::end(m_elements), std::begin(picture.m_elements));
    picture.m_timeAxisOn = m_timeAxisOn;
    picture.m_secondsPerPoint = m_secondsPerPoint;
    picture.m_timeLabel = m_timeLabel;
    picture.m_imageTop = std::max(m_imageTop, 0);

    QVector<QVector<float>> rows;
    rows.reserve(m_rows.size());
    for (const QVector<float> &row : m_rows)
        rows.append(row.mid(begin, end - begin));
    picture.setData(rows, m_firstPoint + begin, m_markerPoint, m_markerText);
    // The picture keeps the grey scale of the screen unless that follows the window.
    if (!m_scalePerWindow) {
        picture.m_rowMin = m_rowMin;
        picture.m_rowMax = m_rowMax;
    }
    picture.resize(picture.minimumSize().width(), picture.minimumSize().height() + 10);

    QImage image(picture.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(palette().window().color());
    picture.render(&image);
    return image;
}

void DynamicSpectrumWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    p.setRenderHint(QPainter::Antialiasing, false);
    const Layout l = layout();
    int c0 = 0;
    int c1 = 0;
    const bool anyVisible = visibleColumns(l, &c0, &c1);
    if (anyVisible) {
        if (traceShown())
            paintTrace(p, l, c0, c1);
        p.save();
        p.setClipRect(l.image);
        paintCells(p, l, c0, c1);
        paintDispersion(p, l);
        p.restore();
    }
    if (!l.image.isEmpty()) {
        p.setFont(m_font);
        paintMarker(p, l);
        paintBottomBand(p, l);
        if (m_axisInside)
            paintInsideLabels(p);
    }
    if (m_selectionMode && !m_selection.isNull()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::blue, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_selection.normalized());
    }
}

void DynamicSpectrumWidget::paintTrace(QPainter &p, const Layout &l, int c0, int c1) const
{
    const double bandBottom = l.image.top();
    const double bandHeight = m_traceBandHeight;
    double lo = 0.0;
    double hi = 0.0;
    if (!SpectrumMath::finiteRange(m_trace.constData(), c0, c1 - c0 + 1, &lo, &hi))
        return;
    const double factor = bandHeight - 8 > 1 ? bandHeight - 8 : 1.0;
    auto yOf = [&](double v) {
        const double t = hi > lo ? (v - lo) / (hi - lo) : 0.5;
        return bandBottom - 4 - t * factor;
    };
    auto xOf = [&](int c) { return l.image.left() + (c + 0.5) * l.cellWidth; };

    // Many columns to a pixel: each pixel column keeps its first, lowest,
    // highest and last value in order, which looks the same as every segment.
    QVector<QPolygonF> lines;
    bool broken = true;
    int c = c0;
    while (c <= c1) {
        const int pixel = int(std::floor(xOf(c)));
        int end = c;
        while (end + 1 <= c1 && int(std::floor(xOf(end + 1))) == pixel)
            ++end;
        if (end == c) {
            const double v = m_trace.at(c);
            if (std::isfinite(v))
                appendOrBreak(lines, broken, QPointF(xOf(c), yOf(v)));
            else
                broken = true;
            ++c;
            continue;
        }
        int firstIndex = -1;
        int lastIndex = -1;
        int minIndex = -1;
        int maxIndex = -1;
        for (int i = c; i <= end; ++i) {
            const double v = m_trace.at(i);
            if (!std::isfinite(v))
                continue;
            if (firstIndex < 0)
                firstIndex = minIndex = maxIndex = i;
            lastIndex = i;
            if (v < m_trace.at(minIndex))
                minIndex = i;
            if (v > m_trace.at(maxIndex))
                maxIndex = i;
        }
        if (firstIndex < 0) {
            broken = true;
        } else {
            int order[4] = {firstIndex, std::min(minIndex, maxIndex), std::max(minIndex, maxIndex),
                            lastIndex};
            int previous = -1;
            for (int i : order) {
                if (i == previous)
                    continue;
                appendOrBreak(lines, broken, QPointF(xOf(i), yOf(m_trace.at(i))));
                previous = i;
            }
        }
        c = end + 1;
    }

    p.save();
    p.setClipRect(QRectF(l.image.left(), bandBottom - bandHeight, l.image.width(), bandHeight));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(m_traceColor, m_traceWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    drawPolylines(p, lines);
    p.restore();
}

void DynamicSpectrumWidget::paintCells(QPainter &p, const Layout &l, int c0, int c1)
{
    const double w = l.cellWidth;
    // Device pixels per logical pixel and the device offset (high-density
    // screens, rendering into pictures); turned painters get one pixel per cell.
    const QTransform device = p.deviceTransform();
    const bool aligned = device.type() <= QTransform::TxScale && device.m11() > 0.0;
    const double sx = aligned ? device.m11() : 1.0;
    const double dx = aligned ? device.dx() : 0.0;
    const double deviceWidth = w * sx;
    QVector<int> columns;
    QRectF target;
    if (!aligned || (deviceWidth >= 1.0 && std::floor(deviceWidth) == deviceWidth)) {
        columns.resize(c1 - c0 + 1);
        std::iota(columns.begin(), columns.end(), c0);
        target = QRectF(l.image.left() + c0 * w, l.image.top(), (c1 - c0 + 1) * w,
                        l.image.height());
    } else {
        // Cells not a whole number of device pixels wide: each device pixel
        // shows the cell under its centre, so the image is made at device
        // resolution from those cells (also when many cells share a pixel).
        const int d0 = int(std::floor((l.image.left() + c0 * w) * sx + dx));
        const int d1 = int(std::ceil((l.image.left() + (c1 + 1) * w) * sx + dx)) - 1;
        columns.resize(std::max(d1 - d0 + 1, 0));
        for (int d = d0; d <= d1; ++d) {
            const double c = std::floor(((d + 0.5 - dx) / sx - l.image.left()) / w);
            columns[d - d0] = c <= c0 ? c0 : c >= c1 ? c1 : int(c);
        }
        target = QRectF((d0 - dx) / sx, l.image.top(), (d1 - d0 + 1) / sx, l.image.height());
    }
    const QImage &cells = m_cache.image(m_rows, m_rowMin, m_rowMax, m_generation, c0, c1,
                                        m_scalePerWindow, columns);
    if (cells.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, cells);
}

void DynamicSpectrumWidget::paintDispersion(QPainter &p, const Layout &l) const
{
    const int rowsCount = rowCount();
    if (!m_showDispersion || m_frequencies.size() < rowsCount || m_dispersionTres == 0.0)
        return;
    const double topFrequency = m_frequencies.at(rowsCount - 1);
    QVector<QPolygonF> lines;
    bool broken = true;
    for (int r = rowsCount - 1; r >= 0; --r) {
        const double delay = dispersionDelayPoints(topFrequency, m_frequencies.at(r),
                                                   m_dispersionDm, m_dispersionTres);
        const double x =
            l.image.left() + (delay + m_dispersionStart - m_firstPoint + 0.5) * l.cellWidth;
        if (!std::isfinite(x)) {
            broken = true;
            continue;
        }
        const double y = l.image.top() + (rowsCount - r - 0.5) * l.cellHeight;
        appendOrBreak(lines, broken, QPointF(clampFar(x, l.image.left(), l.image.right()), y));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(m_dispersionColor, 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    drawPolylines(p, lines);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void DynamicSpectrumWidget::paintMarker(QPainter &p, const Layout &l) const
{
    if (!markerShown())
        return;
    const int column = m_markerPoint - m_firstPoint;
    const double x = l.image.left() + (column + 0.5) * l.cellWidth;
    const double lineTop = l.image.top() - markerLineLength - l.traceBand;
    p.setPen(QPen(Qt::red, m_axisPenWidth));
    p.drawLine(QPointF(x, l.image.top()), QPointF(x, lineTop));

    const QFontMetrics fm(m_font);
    const double boxHeight = fm.height() + 4;
    double bottom = lineTop;
    const QStringList texts{QString::number(m_markerPoint), m_markerText};
    for (const QString &text : texts) {
        if (text.isEmpty())
            continue;
        double boxWidth = fm.horizontalAdvance(text) + 6;
        double boxLeft = x - boxWidth / 2.0;
        if (m_fitToWidth) {
            boxWidth = std::min(boxWidth, std::max(l.image.width() - 4, 1.0));
            boxLeft = std::min(boxLeft, l.image.right() - 2 - boxWidth);
            boxLeft = std::max(boxLeft, l.image.left() + 2);
        }
        const QRectF box(boxLeft, bottom - boxHeight, boxWidth, boxHeight);
        p.setPen(QPen(Qt::red, 1));
        p.setBrush(Qt::white);
        p.drawRect(box);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(box, Qt::AlignCenter, text);
        bottom -= boxHeight;
    }
    p.setBrush(Qt::NoBrush);
}

void DynamicSpectrumWidget::paintBottomBand(QPainter &p, const Layout &l) const
{
    const int points = pointCount();
    const int rows = labelRowCount();
    const QFontMetrics fm(m_font);
    const double bottom = l.image.bottom();
    const QColor ink = palette().color(QPalette::WindowText);

    if (rows > 0) {
        p.setPen(QPen(ink, m_axisPenWidth));
        QSet<QString> timeTexts;
        for (int c : SpectrumMath::tickColumns(points, l.image.width())) {
            const double x = l.image.left() + (c + 0.5) * l.cellWidth;
            p.drawLine(QPointF(x, bottom), QPointF(x, bottom + tickLength));
            int row = 0;
            auto drawRow = [&](const QString &text) {
                const double y = bottom + tickLength + 4 + row * (fm.height() + 5);
                const double w = fm.horizontalAdvance(text) + 4;
                p.drawText(QRectF(x - w / 2.0, y, w, fm.height()), Qt::AlignCenter, text);
            };
            const int point = m_firstPoint + c;
            if (m_elements[PointLabels]) {
                drawRow(QString::number(point));
                ++row;
            }
            if (m_elements[TimeLabels]) {
                const QString text = m_timeLabel ? m_timeLabel(point) : QString();
                if (!text.isEmpty() && !timeTexts.contains(text)) {
                    timeTexts.insert(text);
                    drawRow(text);
                }
                ++row;
            }
            if (m_elements[RelativeTimeLabels]) {
                drawRow(SpectrumMath::timeSpanText(m_secondsPerPoint * c, 1.0, false));
                ++row;
            }
        }
    }

    if (captionShown()) {
        const double y = bottom + (rows > 0 ? tickLength + 4 + rows * (fm.height() + 5) : 0)
            + captionGap;
        paintCaption(p, l, y);
    }
}

bool DynamicSpectrumWidget::captionSpan(const Layout &l, double *x0, double *x1) const
{
    if (!captionShown() || l.image.isEmpty())
        return false;
    *x0 = l.image.left();
    *x1 = l.image.right();
    if (!m_timeAxisOn && !m_axisInside) {
        const QRect visible = isVisible() ? visibleRegion().boundingRect() : rect();
        *x0 = std::max(*x0, double(visible.left()));
        *x1 = *x0 + visibleImageWidth(l);
    }
    return *x1 > *x0;
}

QString DynamicSpectrumWidget::timeSpanCaption() const
{
    const Layout l = layout();
    double x0 = 0.0;
    double x1 = 0.0;
    if (!captionSpan(l, &x0, &x1))
        return QString();
    const double w = std::max(l.cellWidth, SpectrumMath::minColumnWidth);
    const double span = m_timeAxisOn ? m_secondsPerPoint * pointCount()
                                     : m_secondsPerPoint * ((x1 - x0) / w);
    return QStringLiteral("Time span: %1").arg(SpectrumMath::timeSpanText(span, span, true));
}

void DynamicSpectrumWidget::paintCaption(QPainter &p, const Layout &l, double y) const
{
    double x0 = 0.0;
    double x1 = 0.0;
    if (!captionSpan(l, &x0, &x1))
        return;
    const QString text = timeSpanCaption();

    // Straight parts crisp, the slanted arrowheads smoothed.
    p.setPen(QPen(palette().color(QPalette::WindowText), m_axisPenWidth));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
    p.drawLine(QPointF(x0, y - 5), QPointF(x0, y + 5));
    p.drawLine(QPointF(x1, y - 5), QPointF(x1, y + 5));
    p.setRenderHint(QPainter::Antialiasing, true);
    const double arrow = std::min(7.0, (x1 - x0) / 6.0);
    p.drawLine(QPointF(x0, y), QPointF(x0 + arrow, y - 4));
    p.drawLine(QPointF(x0, y), QPointF(x0 + arrow, y + 4));
    p.drawLine(QPointF(x1, y), QPointF(x1 - arrow, y - 4));
    p.drawLine(QPointF(x1, y), QPointF(x1 - arrow, y + 4));
    p.setRenderHint(QPainter::Antialiasing, false);

    const QFontMetrics fm(m_font);
    const double textWidth = fm.horizontalAdvance(text) + 8;
    const QRectF box((x0 + x1 - textWidth) / 2.0, y - fm.height() / 2.0, textWidth, fm.height());
    p.fillRect(box, palette().window());
    p.drawText(box, Qt::AlignCenter, text);
}

void DynamicSpectrumWidget::paintInsideLabels(QPainter &p) const
{
    const QFontMetrics fm(m_font);
    p.setPen(palette().color(QPalette::WindowText));
    const double w = axisStripWidth - stripRightMargin;
    for (const ChannelLabel &label : channelLabels()) {
        const QRectF box(0, label.centreY - (fm.height() + 4) / 2.0, w, fm.height() + 4);
        p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, label.text);
    }
}

void DynamicSpectrumWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const Layout l = layout();
    if (l.image.isEmpty())
        return;
    const QPointF pos = event->localPos();
    if (m_selectionMode) {
        const double x = std::clamp(pos.x(), l.image.left(), l.image.right());
        m_dragging = true;
        m_selectionStartX = x;
        m_selection = QRectF(x, l.image.top(), 0.0, l.image.height());
        update();
        return;
    }
    // Edges count as inside: a press on the right edge belongs to the last point.
    if (pos.x() >= l.image.left() && pos.x() <= l.image.right() && pos.y() >= l.image.top()
        && pos.y() <= l.image.bottom())
        emit pointClicked(m_firstPoint
                          + SpectrumMath::columnAt(pos.x(), l.image.left(), l.cellWidth,
                                                   pointCount()));
}

void DynamicSpectrumWidget::mouseMoveEvent(QMouseEvent *event)
{
    const Layout l = layout();
    const QPointF pos = event->localPos();
    if (m_selectionMode) {
        if (m_dragging && !l.image.isEmpty()) {
            const double x = std::clamp(pos.x(), l.image.left(), l.image.right());
            m_selection = QRectF(QPointF(m_selectionStartX, l.image.top()),
                                 QPointF(x, l.image.bottom()));
            update();
        }
        return;
    }
    if (!l.image.isEmpty() && pos.x() >= l.image.left() && pos.x() <= l.image.right())
        emit cursorPointChanged(m_firstPoint
                                + SpectrumMath::columnAt(pos.x(), l.image.left(), l.cellWidth,
                                                         pointCount()));
    else
        emit cursorLeft();
}

void DynamicSpectrumWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_selectionMode || !m_dragging)
        return QWidget::mouseReleaseEvent(event);
    const Layout l = layout();
    const double x = std::clamp(event->localPos().x(), l.image.left(), l.image.right());
    m_dragging = false;
    int first = 0;
    int count = 0;
    if (!SpectrumMath::fragmentAt(m_selectionStartX, x, l.image.left(), l.cellWidth, pointCount(),
                                  &first, &count)) {
        m_selection = QRectF();
        update();
        return;
    }
    // Leave the mode before reporting: the receiver may open a dialog over us.
    setSelectionMode(false);
    emit fragmentSelected(m_firstPoint + first, count);
}

void DynamicSpectrumWidget::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    emit cursorLeft();
}
