#include "plot/dynamicspectrumwidget.h"

#include "plot/spectrummath.h"

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

constexpr int tickLength = DynamicSpectrumPainter::tickLength;
constexpr int captionGap = DynamicSpectrumPainter::captionGap;

} // namespace

DynamicSpectrumWidget::DynamicSpectrumWidget(QWidget *parent)
    : QWidget(parent)
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
    m_style.showDispersion = false;
    geometryChanged();
}

void DynamicSpectrumWidget::setCellSize(const QSize &size)
{
    const QSize clamped(std::clamp(size.width(), 1, maxCellSide),
                        std::clamp(size.height(), 1, maxCellSide));
    m_style.autoCellSize = false;
    const bool changed = clamped != m_style.cellSize;
    m_style.cellSize = clamped;
    geometryChanged();
    if (changed)
        emit cellSizeChanged(m_style.cellSize);
}

void DynamicSpectrumWidget::setFitToWidth(bool on)
{
    m_style.fitToWidth = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setAxisInside(bool on)
{
    m_style.axisInside = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setScalePerWindow(bool on)
{
    m_style.scalePerWindow = on;
    update();
}

void DynamicSpectrumWidget::setDispersion(bool show, double dm, double tres,
                                          const QVector<double> &frequencies, int startPoint)
{
    m_style.showDispersion = show;
    m_style.dispersionDm = dm;
    m_style.dispersionTres = tres;
    m_style.frequencies = frequencies;
    m_style.dispersionStart = startPoint;
    // The frequencies are the channel labels of the print layout.
    geometryChanged();
}

void DynamicSpectrumWidget::setDispersionColor(const QColor &color)
{
    m_style.dispersionColor = color;
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
    m_style.axisPenWidth = std::clamp(penWidth, 1, 20);
    m_style.font = QFont(QStringLiteral("Arial"), std::clamp(pointSize, 6, 72));
    geometryChanged();
}

void DynamicSpectrumWidget::setTrace(const QVector<double> &values, int bandHeight)
{
    m_trace = values;
    m_style.traceBandHeight = std::max(bandHeight, 0);
    geometryChanged();
}

void DynamicSpectrumWidget::setTraceVisible(bool on)
{
    m_style.traceVisible = on;
    geometryChanged();
}

void DynamicSpectrumWidget::setTraceWidth(int width)
{
    m_style.traceWidth = std::clamp(width, 1, 20);
    update();
}

void DynamicSpectrumWidget::setElementVisible(Element element, bool on)
{
    m_style.elements[element] = on;
    geometryChanged();
}

bool DynamicSpectrumWidget::elementVisible(Element element) const
{
    return m_style.elements[element];
}

void DynamicSpectrumWidget::setTimeAxis(bool on, double secondsPerPoint,
                                        TimeLabelFunction labelFunction)
{
    m_style.timeAxisOn = on;
    m_style.secondsPerPoint = secondsPerPoint;
    m_style.timeLabel = std::move(labelFunction);
    geometryChanged();
}

void DynamicSpectrumWidget::setImageTop(int top)
{
    m_style.imageTop = std::max(top, -1);
    geometryChanged();
}

void DynamicSpectrumWidget::setBottomGap(int gap)
{
    m_style.bottomGap = std::max(gap, 0);
    geometryChanged();
}

void DynamicSpectrumWidget::setPrintLayout(bool on)
{
    m_style.printLayout = on;
    geometryChanged();
}

bool DynamicSpectrumWidget::markerShown() const
{
    const qint64 column = qint64(m_markerPoint) - m_firstPoint;
    return m_style.elements[SearchMarker] && m_markerPoint >= 0 && column >= 0
        && column < pointCount();
}

bool DynamicSpectrumWidget::traceShown() const
{
    return m_style.traceVisible && m_style.traceBandHeight > 0 && pointCount() > 0
        && m_trace.size() == pointCount();
}

int DynamicSpectrumWidget::labelRowCount() const
{
    if (!m_style.timeAxisOn)
        return 0;
    return int(m_style.elements[PointLabels]) + int(m_style.elements[TimeLabels])
        + int(m_style.elements[RelativeTimeLabels]);
}

bool DynamicSpectrumWidget::captionShown() const
{
    return m_style.elements[TimeSpanCaption] && m_style.secondsPerPoint > 0.0;
}

int DynamicSpectrumWidget::fontHeight() const
{
    return QFontMetrics(m_style.font).height();
}

double DynamicSpectrumWidget::markerBandHeight() const
{
    return markerShown() ? 2 * fontHeight() + 28 + (m_style.printLayout ? 20 : 10) : 0.0;
}

double DynamicSpectrumWidget::traceBandHeight() const
{
    return traceShown() ? m_style.traceBandHeight + (m_style.printLayout ? 20 : 10) : 0.0;
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
    const double left = m_style.axisInside ? axisStripWidth : 0;
    l.cellWidth = m_style.cellSize.width();
    l.cellHeight = m_style.cellSize.height();
    if (m_style.fitToWidth && points > 0)
        l.cellWidth = std::max(1.0, width() - left) / points;
    l.markerBand = markerBandHeight();
    l.traceBand = traceBandHeight();
    l.bottomBand = bottomBandHeight();
    if (points == 0 || rowsCount == 0)
        return l;

    double top = l.markerBand + l.traceBand;
    const double below = l.bottomBand + m_style.bottomGap;
    if (m_style.autoCellSize) {
        const double room = height() - top - below - std::max(m_style.imageTop, 0);
        l.cellHeight = std::clamp(int(room / rowsCount), 1, maxCellSide);
    }
    const double imageHeight = double(rowsCount) * l.cellHeight;
    if (m_style.imageTop < 0)
        top += std::max(0.0, std::floor((height() - top - below - imageHeight) / 2.0));
    else
        top += m_style.imageTop;
    l.image = QRectF(left, top, points * l.cellWidth, imageHeight);
    return l;
}

QRect DynamicSpectrumWidget::bottomGapRect() const
{
    const Layout l = layout();
    if (m_style.bottomGap < 1 || l.image.isEmpty())
        return QRect();
    const int y = int(std::ceil(l.image.bottom() + l.bottomBand)) + 1;
    return QRect(int(l.image.left()), y, int(std::ceil(l.image.width())), m_style.bottomGap);
}

QVector<DynamicSpectrumWidget::ChannelLabel> DynamicSpectrumWidget::channelLabels() const
{
    return DynamicSpectrumPainter::channelLabels(m_style, layout(), rowCount());
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
    const double left = m_style.axisInside ? axisStripWidth : 0;
    const double top = markerBandHeight() + traceBandHeight();
    const int cellHeight = m_style.autoCellSize ? 1 : m_style.cellSize.height();
    const double height = top + double(rowCount()) * cellHeight + bottomBandHeight() + m_style.bottomGap
        + std::max(m_style.imageTop, 0);
    double width = left + 1;
    if (!m_style.fitToWidth && points > 0)
        width = left + std::ceil(double(points) * m_style.cellSize.width());
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
    if (m_style.fitToWidth) {
        const double left = m_style.axisInside ? axisStripWidth : 0;
        width = int(left + std::clamp(double(pointCount()) * m_style.cellSize.width(), 200.0, 1000.0));
    }
    // The minimum counts automatic cells 1 px high; ask for the default height.
    const qint64 height =
        minimum.height() + (m_style.autoCellSize ? qint64(m_style.cellSize.height() - 1) * rowCount() : 0);
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
    picture.m_style = m_style;
    // The picture is never fitted: it shows the cells at their set width.
    picture.m_style.cellSize = QSize(m_style.cellSize.width(), layout().cellHeight);
    picture.m_style.autoCellSize = false;
    picture.m_style.fitToWidth = false;
    picture.m_style.axisInside = true;
    picture.m_style.imageTop = std::max(m_style.imageTop, 0);
    picture.m_style.bottomGap = 0;
    if (m_trace.size() == points)
        picture.m_trace = m_trace.mid(begin, end - begin);

    QVector<QVector<float>> rows;
    rows.reserve(m_rows.size());
    for (const QVector<float> &row : m_rows)
        rows.append(row.mid(begin, end - begin));
    picture.setData(rows, m_firstPoint + begin, m_markerPoint, m_markerText);
    // The picture keeps the grey scale of the screen unless that follows the window.
    if (!m_style.scalePerWindow) {
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
    DynamicSpectrumPainter parts(p, m_style, l, palette().color(QPalette::WindowText), palette().window().color());
    int c0 = 0;
    int c1 = 0;
    const bool anyVisible = visibleColumns(l, &c0, &c1);
    if (anyVisible) {
        if (traceShown())
            parts.paintTrace(m_trace, c0, c1);
        p.save();
        p.setClipRect(l.image);
        paintCells(p, l, c0, c1);
        parts.paintDispersion(rowCount(), m_firstPoint);
        p.restore();
    }
    if (!l.image.isEmpty()) {
        p.setFont(m_style.font);
        if (markerShown())
            parts.paintMarker(m_markerPoint, m_firstPoint, m_markerText);
        if (labelRowCount() > 0)
            parts.paintTimeAxis(pointCount(), m_firstPoint, labelRowCount());
        double x0 = 0.0;
        double x1 = 0.0;
        if (captionSpan(l, &x0, &x1)) {
            const int rows = labelRowCount();
            const double y = l.image.bottom()
                + (rows > 0 ? tickLength + 4 + rows * (fontHeight() + 5) : 0) + captionGap;
            parts.paintCaption(x0, x1, y, timeSpanCaption());
        }
        if (m_style.axisInside)
            parts.paintChannelLabels(channelLabels(), axisStripWidth);
    }
    if (m_selectionMode && !m_selection.isNull()) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::blue, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_selection.normalized());
    }
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
                                        m_style.scalePerWindow, columns);
    if (cells.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(target, cells);
}


bool DynamicSpectrumWidget::captionSpan(const Layout &l, double *x0, double *x1) const
{
    if (!captionShown() || l.image.isEmpty())
        return false;
    *x0 = l.image.left();
    *x1 = l.image.right();
    if (!m_style.timeAxisOn && !m_style.axisInside) {
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
    const double span = m_style.timeAxisOn ? m_style.secondsPerPoint * pointCount()
                                     : m_style.secondsPerPoint * ((x1 - x0) / w);
    return QStringLiteral("Time span: %1").arg(SpectrumMath::timeSpanText(span, span, true));
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
