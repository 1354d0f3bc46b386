#pragma once

#include "plot/dynamicspectrumstyle.h"

#include <QColor>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// Where a dynamic spectrum's parts go for one size and style.
struct DynamicSpectrumLayout
{
    double cellWidth = 0.0;
    int cellHeight = 0;
    QRectF image;        // the cells; empty without data
    double markerBand = 0.0;
    double traceBand = 0.0;
    double bottomBand = 0.0;
};

// One channel label: its text and the y of its row centre in widget coordinates.
struct DynamicSpectrumChannelLabel
{
    QString text;
    double centreY = 0.0;
};

// Draws the parts of a dynamic spectrum around its cells: the trace above,
// the dispersion line over them, the search-point marker, the time axis and
// the time-span caption below, and the channel labels of an axis inside.
// Holds nothing between paints; made for one paint on the GUI thread (the
// widget's own or a picture's).
class DynamicSpectrumPainter
{
public:
    static constexpr int markerLineLength = 20;
    static constexpr int tickLength = 7;
    static constexpr int captionGap = 30;
    static constexpr int stripRightMargin = 9;

    // The labels of the y-axis strip, bottom row first: channel numbers that
    // never overprint, or the frequencies of the print layout and an axis inside.
    static QVector<DynamicSpectrumChannelLabel> channelLabels(const DynamicSpectrumStyle &style,
                                                              const DynamicSpectrumLayout &layout, int rowCount);

    DynamicSpectrumPainter(QPainter &painter, const DynamicSpectrumStyle &style,
                           const DynamicSpectrumLayout &layout, const QColor &ink, const QColor &window);

    // Columns c0 .. c1 of the trace, scaled to their own range.
    void paintTrace(const QVector<double> &trace, int c0, int c1);
    void paintDispersion(int rowCount, int firstPoint);
    void paintMarker(int markerPoint, int firstPoint, const QString &markerText);
    // The ticks and label rows (labelRows of them) under the image.
    void paintTimeAxis(int pointCount, int firstPoint, int labelRows);
    // The dimension line from x0 to x1 at height y with the caption on it.
    void paintCaption(double x0, double x1, double y, const QString &text);
    void paintChannelLabels(const QVector<DynamicSpectrumChannelLabel> &labels, double stripWidth);

private:
    QPainter &m_painter;
    const DynamicSpectrumStyle &m_style;
    const DynamicSpectrumLayout &m_layout;
    QColor m_ink;
    QColor m_window;
};
