// How a 10,000,000-sample curve paints against a 1,600-sample one in the same
// 1600 x 900 plot, measured side by side in one run: the first paint after a
// new graph description (its samples reduced per pixel column) and a repaint
// of the same view while a zoom rectangle is dragged (the reduction reused).

#include "plot/grafiks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace {

QVector<double> noisyPulses(int count)
{
    QRandomGenerator random(42);
    QVector<double> values(count);
    for (int i = 0; i < count; ++i) {
        const double pulse = (i % 1297) < 3 ? 30.0 : 0.0;
        values[i] = 100.0 + std::sin(i * 1e-5) * 8.0 + pulse + random.generateDouble() * 4.0;
    }
    return values;
}

GraphSpec specFor(const QVector<double> &values, int generation, const QVector<double> &xValues = {})
{
    GraphSpec spec;
    spec.key = QStringLiteral("bench|%1").arg(generation);
    spec.series.append(GraphSeries(QStringLiteral("signal"), values, QColor(0, 0, 255)));
    spec.yAxis.name = QStringLiteral("S");
    spec.yAxis.tickSpacing = 60;
    spec.bottomAxis.enabled = true;
    spec.bottomAxis.tickSpacing = 100;
    AxisRow points;
    points.name = QStringLiteral("N");
    AxisRow seconds;
    seconds.name = QStringLiteral("t");
    seconds.tickFormatter = [](double x) { return QString::number(x * 0.0125, 'f', 1); };
    spec.bottomAxis.rows = {points, seconds};
    spec.bottomAxis.xValues = xValues;
    spec.zoomEnabled = true;
    return spec;
}

// The least disturbed of several rounds: the machine is shared, and a longer
// paint is more likely to be interrupted than a short one.
double fastest(const QVector<double> &samples)
{
    return samples.isEmpty() ? 0.0 : *std::min_element(samples.begin(), samples.end());
}

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

struct Timings
{
    double firstPaintMs = 0.0;
    double repaintMs = 0.0;
};

// One first paint: a new description, then the picture.
double firstPaint(Grafiks *plot, const QVector<double> &values, int generation, QImage *image,
                  const QVector<double> &xValues = {})
{
    QElapsedTimer timer;
    timer.start();
    plot->setGraphSpec(specFor(values, generation, xValues));
    image->fill(Qt::white);
    plot->render(image);
    return timer.nsecsElapsed() / 1e6;
}

// One repaint during a drag: the zoom rectangle grows, the view stays.
double dragRepaint(Grafiks *plot, int step, QImage *image)
{
    const QRect area = plot->plotLayout().plotRect();
    const QPoint point(area.left() + 200 + (step % 50) * 10, area.top() + 100 + (step % 30) * 10);
    QElapsedTimer timer;
    timer.start();
    sendMouse(plot, QEvent::MouseMove, point, Qt::NoButton, Qt::LeftButton);
    image->fill(Qt::white);
    plot->render(image);
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    const QVector<double> large = noisyPulses(10000000);
    const QVector<double> small = noisyPulses(1600);
    Grafiks largePlot;
    Grafiks smallPlot;
    largePlot.resize(1600, 900);
    smallPlot.resize(1600, 900);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);

    // Warm up fonts and caches of the paint engine on both sides.
    firstPaint(&smallPlot, small, 0, &image);
    firstPaint(&largePlot, large, 0, &image);

    QVector<double> largeFirst;
    QVector<double> smallFirst;
    const int firstRounds = 15;
    for (int round = 1; round <= firstRounds; ++round) {
        largeFirst.append(firstPaint(&largePlot, large, round, &image));
        smallFirst.append(firstPaint(&smallPlot, small, round, &image));
    }

    // The same with point numbers as x values, as the native module sends
    // them: one more pass over the x values checks that they never decrease.
    QVector<double> largeX(large.size());
    for (int i = 0; i < largeX.size(); ++i)
        largeX[i] = 1000.0 + i;
    QVector<double> smallX(small.size());
    for (int i = 0; i < smallX.size(); ++i)
        smallX[i] = 1000.0 + i;
    QVector<double> largeFirstX;
    QVector<double> smallFirstX;
    for (int round = 1; round <= firstRounds; ++round) {
        largeFirstX.append(firstPaint(&largePlot, large, 100 + round, &image, largeX));
        smallFirstX.append(firstPaint(&smallPlot, small, 100 + round, &image, smallX));
    }
    largeX.clear();
    firstPaint(&largePlot, large, 200, &image);
    firstPaint(&smallPlot, small, 200, &image);

    for (Grafiks *plot : {&largePlot, &smallPlot}) {
        const QRect area = plot->plotLayout().plotRect();
        sendMouse(plot, QEvent::MouseButtonPress, area.topLeft() + QPoint(100, 50), Qt::LeftButton, Qt::LeftButton);
    }
    QVector<double> largeRepaint;
    QVector<double> smallRepaint;
    const int repaintRounds = 60;
    for (int step = 0; step < repaintRounds; ++step) {
        largeRepaint.append(dragRepaint(&largePlot, step, &image));
        smallRepaint.append(dragRepaint(&smallPlot, step, &image));
    }

    const double largeFirstMs = fastest(largeFirst);
    const double smallFirstMs = fastest(smallFirst);
    const double largeRepaintMs = fastest(largeRepaint);
    const double smallRepaintMs = fastest(smallRepaint);
    out << "plot_10m_first_paint_ms: " << QString::number(largeFirstMs, 'f', 2) << "\n";
    out << "plot_1600_first_paint_ms: " << QString::number(smallFirstMs, 'f', 2) << "\n";
    out << "plot_10m_first_paint_vs_1600_ratio: " << QString::number(largeFirstMs / smallFirstMs, 'f', 2) << "\n";
    out << "plot_10m_x_values_first_paint_vs_1600_ratio: "
        << QString::number(fastest(largeFirstX) / fastest(smallFirstX), 'f', 2) << "\n";
    out << "plot_10m_repaint_ms: " << QString::number(largeRepaintMs, 'f', 2) << "\n";
    out << "plot_1600_repaint_ms: " << QString::number(smallRepaintMs, 'f', 2) << "\n";
    out << "plot_10m_repaint_vs_1600_ratio: " << QString::number(largeRepaintMs / smallRepaintMs, 'f', 2) << "\n";
    return 0;
}
