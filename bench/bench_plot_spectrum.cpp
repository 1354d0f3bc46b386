// Paint of a 12,000-point x 256-channel dynamic spectrum fitted into 1600 x 900:
// the widget's cached cell image against one rectangle per cell, side by side.
#include "bench/benchtiming.h"
#include "plot/dynamicspectrumwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int points = 12000;
constexpr int channels = 256;

using Rows = QVector<QVector<float>>;

Rows makeRows(quint32 seed)
{
    QRandomGenerator rng(seed);
    Rows rows(channels, QVector<float>(points));
    for (int r = 0; r < channels; ++r)
        for (int c = 0; c < points; ++c)
            rows[r][c] = float(rng.generateDouble()) + (c % 1000 == r ? 5.0f : 0.0f);
    return rows;
}

// The plain drawing: every cell its own rectangle, a quarter pixel oversized.
void paintRectangles(QPainter &p, const DynamicSpectrumWidget &w, const Rows &rows)
{
    const DynamicSpectrumWidget::Layout l = w.layout();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(l.image);
    p.setPen(Qt::NoPen);
    for (int r = 0; r < rows.size(); ++r) {
        const float lo = w.rowMin(r);
        const float hi = w.rowMax(r);
        const double y = l.image.top() + (rows.size() - 1 - r) * l.cellHeight;
        for (int c = 0; c < points; ++c) {
            int g = 255;
            if (hi > lo)
                g = std::clamp(int(std::floor((hi - rows[r][c]) * 255.0f / (hi - lo) + 0.5f)), 0,
                               255);
            p.setBrush(QColor(g, g, g));
            p.drawRect(QRectF(l.image.left() + c * l.cellWidth, y, l.cellWidth + 0.25,
                              l.cellHeight + 0.25));
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const Rows rowsA = makeRows(1);
    const Rows rowsB = makeRows(2);
    QImage target(1600, 900, QImage::Format_ARGB32_Premultiplied);

    DynamicSpectrumWidget w;
    for (int e = 0; e < DynamicSpectrumWidget::ElementCount; ++e)
        w.setElementVisible(DynamicSpectrumWidget::Element(e), false);
    w.setTimeAxis(false, 0.0, {});
    w.setCellSize(QSize(1, 3));
    w.setFitToWidth(true);
    w.resize(target.size());

    // Cells only, each paint with new data so the cell image is built every time.
    std::vector<double> cold;
    std::vector<double> warm;
    for (int i = 0; i < 9; ++i) {
        w.setData(i % 2 ? rowsB : rowsA, 0, -1, QString());
        QElapsedTimer t;
        t.start();
        w.render(&target);
        cold.push_back(t.nsecsElapsed() / 1.0e6);
        t.start();
        w.render(&target);
        warm.push_back(t.nsecsElapsed() / 1.0e6);
    }

    std::vector<double> plain;
    for (int i = 0; i < 3; ++i) {
        w.setData(i % 2 ? rowsB : rowsA, 0, -1, QString());
        QElapsedTimer t;
        t.start();
        QPainter p(&target);
        p.fillRect(target.rect(), w.palette().window());
        paintRectangles(p, w, i % 2 ? rowsB : rowsA);
        p.end();
        plain.push_back(t.nsecsElapsed() / 1.0e6);
    }

    // Everything the native module shows: trace, marker, dispersion line, time axis.
    QVector<double> trace(points);
    for (int c = 0; c < points; ++c)
        trace[c] = std::sin(c * 0.01) + (c % 1000 == 0 ? 3.0 : 0.0);
    QVector<double> frequencies;
    for (int r = 0; r < channels; ++r)
        frequencies.append(109.0390625 + 0.0078125 * r);
    for (int e = 0; e < DynamicSpectrumWidget::ElementCount; ++e)
        w.setElementVisible(DynamicSpectrumWidget::Element(e), true);
    w.setCellSize(QSize(1, 2));
    w.setTrace(trace, 100);
    w.setDispersion(true, 30.0, 0.0125, frequencies, 6000);
    w.setTimeAxis(true, 0.0125, [](int p) { return QString::number(p / 80); });
    std::vector<double> full;
    for (int i = 0; i < 9; ++i) {
        w.setData(i % 2 ? rowsB : rowsA, 0, 6000, QStringLiteral("05:34:31"));
        QElapsedTimer t;
        t.start();
        w.render(&target);
        full.push_back(t.nsecsElapsed() / 1.0e6);
    }

    const double coldMs = median(cold);
    const double plainMs = median(plain);
    std::printf("spectrum_rectangles_ms: %.2f\n", plainMs);
    std::printf("spectrum_cells_paint_ms: %.2f\n", coldMs);
    std::printf("spectrum_cells_repaint_ms: %.2f\n", median(warm));
    std::printf("spectrum_paint_speedup: %.1f\n", plainMs / coldMs);
    std::printf("spectrum_paint_ms: %.2f\n", median(full));
    return 0;
}
