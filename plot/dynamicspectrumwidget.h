#pragma once

#include "plot/spectrumimagecache.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

// A dynamic spectrum: one column per time point, one row per frequency channel
// (row 0 at the bottom), each cell grey by its value within the row's scale,
// with an optional signal trace above, dispersion line, search-point marker,
// time axis and time-span caption below. Owns copies of the rows, the trace
// and the grey-cell image cache; lives on the GUI thread. New data, a new
// scale or a changed column range invalidate the cached cell image.
class DynamicSpectrumWidget : public QWidget
{
    Q_OBJECT

public:
    // Switchable elements.
    enum Element {
        ChannelLabels = 0,
        SearchMarker = 1,
        PointLabels = 2,
        TimeLabels = 3,
        RelativeTimeLabels = 4,
        TimeSpanCaption = 5,
        ElementCount = 6
    };

    // Text under a tick for an absolute point; an empty text draws nothing.
    using TimeLabelFunction = std::function<QString(int)>;

    // One channel label: its text and the y of its row centre in widget coordinates.
    struct ChannelLabel
    {
        QString text;
        double centreY = 0.0;
    };

    // Where everything goes for the current size and settings.
    struct Layout
    {
        double cellWidth = 0.0;
        int cellHeight = 0;
        QRectF image;        // the cells; empty without data
        double markerBand = 0.0;
        double traceBand = 0.0;
        double bottomBand = 0.0;
    };

    static constexpr int axisStripWidth = 70;
    static constexpr int maxCellSide = 20;

    explicit DynamicSpectrumWidget(QWidget *parent = nullptr);

    void setData(const QVector<QVector<float>> &rows, int firstPoint, int markerPoint,
                 const QString &markerText);
    void clear();

    void setCellSize(const QSize &size);
    void setFitToWidth(bool on);
    void setAxisInside(bool on);
    void setScalePerWindow(bool on);
    // dm and tres are the delay parameters; frequencies in MHz, one per row;
    // startPoint is the absolute point where the line starts at the top row.
    void setDispersion(bool show, double dm, double tres, const QVector<double> &frequencies,
                       int startPoint);
    void setDispersionColor(const QColor &color);
    void setSelectionMode(bool on);
    void setAxisFont(int penWidth, int pointSize);
    void setTrace(const QVector<double> &values, int bandHeight);
    void setTraceVisible(bool on);
    void setTraceWidth(int width);
    void setElementVisible(Element element, bool on);
    void setTimeAxis(bool on, double secondsPerPoint, TimeLabelFunction labelFunction);
    // -1 centres the image vertically, else it starts this many px under the top band.
    void setImageTop(int top);
    void setBottomGap(int gap);
    // Layout for print: a wider gap above the image and frequencies as channel labels.
    void setPrintLayout(bool on);

    int rowCount() const { return m_rows.size(); }
    int pointCount() const { return m_rows.isEmpty() ? 0 : m_rows.first().size(); }
    int firstPoint() const { return m_firstPoint; }
    int markerPoint() const { return m_markerPoint; }
    QSize cellSize() const { return m_cellSize; }
    bool autoCellSize() const { return m_autoCellSize; }
    bool fitToWidth() const { return m_fitToWidth; }
    bool axisInside() const { return m_axisInside; }
    bool scalePerWindow() const { return m_scalePerWindow; }
    bool selectionMode() const { return m_selectionMode; }
    bool elementVisible(Element element) const;
    bool printLayout() const { return m_printLayout; }
    QFont axisFont() const { return m_font; }
    int axisPenWidth() const { return m_axisPenWidth; }
    int traceWidth() const { return m_traceWidth; }
    float rowMin(int row) const { return m_rowMin.value(row); }
    float rowMax(int row) const { return m_rowMax.value(row); }

    Layout layout() const;
    // The image rectangle in widget coordinates (empty without data).
    QRectF imageRect() const { return layout().image; }
    // Room under the bottom band that the owner may cover with a widget of its own.
    QRect bottomGapRect() const;
    // Channel labels as the y-axis strip shows them, bottom row first.
    QVector<ChannelLabel> channelLabels() const;
    // The caption under the time axis, "Time span: ..."; empty while it is not shown.
    QString timeSpanCaption() const;
    // Absolute points of the visible columns; false when nothing is visible.
    bool visiblePoints(int *first, int *count) const;

    // The points first .. first + count - 1 drawn as a picture of their own at
    // the current cell size (no fitting); null when nothing of it has data.
    QImage renderFragment(int first, int count) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void cellSizeChanged(QSize size);
    void fragmentSelected(int firstPoint, int pointCount);
    void cursorPointChanged(int absolutePoint);
    void pointClicked(int absolutePoint);
    void cursorLeft();
    void yAxisChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool markerShown() const;
    bool traceShown() const;
    int labelRowCount() const;
    bool captionShown() const;
    int fontHeight() const;
    double markerBandHeight() const;
    double traceBandHeight() const;
    double bottomBandHeight() const;
    // Visible columns of the image: the widget's visible part, or all of it
    // while the widget is not shown (rendering for a picture).
    bool visibleColumns(const Layout &l, int *first, int *last) const;
    double visibleImageWidth(const Layout &l) const;
    // The horizontal extent of the caption's dimension line; false when it has none.
    bool captionSpan(const Layout &l, double *x0, double *x1) const;
    void geometryChanged();

    void paintTrace(QPainter &p, const Layout &l, int c0, int c1) const;
    void paintCells(QPainter &p, const Layout &l, int c0, int c1);
    void paintDispersion(QPainter &p, const Layout &l) const;
    void paintMarker(QPainter &p, const Layout &l) const;
    void paintBottomBand(QPainter &p, const Layout &l) const;
    void paintCaption(QPainter &p, const Layout &l, double y) const;
    void paintInsideLabels(QPainter &p) const;

    QVector<QVector<float>> m_rows;
    QVector<float> m_rowMin;
    QVector<float> m_rowMax;
    quint64 m_generation = 0;
    SpectrumImageCache m_cache;
    int m_firstPoint = 0;
    int m_markerPoint = -1;
    QString m_markerText;

    QSize m_cellSize{2, 4};
    bool m_autoCellSize = true;
    bool m_fitToWidth = false;
    bool m_axisInside = false;
    bool m_scalePerWindow = false;

    bool m_showDispersion = false;
    double m_dispersionDm = 0.0;
    double m_dispersionTres = 0.0;
    QVector<double> m_frequencies;
    int m_dispersionStart = 0;
    QColor m_dispersionColor = Qt::red;

    bool m_selectionMode = false;
    bool m_dragging = false;
    double m_selectionStartX = 0.0;
    QRectF m_selection;

    QFont m_font;
    int m_axisPenWidth = 1;
    int m_imageTop = -1;
    int m_bottomGap = 0;
    bool m_printLayout = false;

    QVector<double> m_trace;
    bool m_traceVisible = true;
    int m_traceBandHeight = 100;
    int m_traceWidth = 1;
    QColor m_traceColor = Qt::blue;

    bool m_elements[ElementCount] = {true, true, true, true, true, true};
    bool m_timeAxisOn = true;
    double m_secondsPerPoint = 0.0;
    TimeLabelFunction m_timeLabel;
};
