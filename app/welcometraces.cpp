#include "app/welcometraces.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <random>

namespace {

constexpr int traceCount = 8;
constexpr int pointsPerColumn = 50;
constexpr int imageHeight = 100;

struct Run
{
    int top = 0;
    int bottom = 0;
};

// Index below count from one 32-bit draw, by multiplication rather than modulo.
quint32 drawBelow(QRandomGenerator &random, quint32 count)
{
    return quint32((quint64(random.generate()) * count) >> 32);
}

QVector<Run> darkRuns(const QImage &image, int column)
{
    QVector<Run> runs;
    int start = -1;
    for (int row = 0; row < image.height(); ++row) {
        const bool dark = WelcomeTraces::isDark(image.pixel(column, row));
        if (dark && start < 0)
            start = row;
        if (!dark && start >= 0) {
            runs.append({start, row - 1});
            start = -1;
        }
    }
    if (start >= 0)
        runs.append({start, image.height() - 1});
    return runs;
}

bool touches(const Run &band, const Run &run)
{
    return band.top <= run.bottom + 1 && run.top <= band.bottom + 1;
}

bool within(const Run &band, const Run &run, int tolerance)
{
    return band.top <= run.bottom + tolerance && run.top <= band.bottom + tolerance;
}

} // namespace

QString WelcomeTraces::greeting()
{
    return QStringLiteral("Welcome to Orvalis-3!");
}

QImage WelcomeTraces::greetingImage()
{
    QFont font(QStringLiteral("Liberation Mono"), 14);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    // Measured on an image so that the width matches the painting below.
    QImage probe(1, 1, QImage::Format_RGB32);
    const int width = QFontMetrics(font, &probe).horizontalAdvance(greeting()) + 10;

    QImage image(width, imageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(5, 50), greeting());
    return image;
}

bool WelcomeTraces::isDark(QRgb pixel)
{
    return 11 * qRed(pixel) + 16 * qGreen(pixel) + 5 * qBlue(pixel) < 4096;
}

WelcomeTraces WelcomeTraces::build()
{
    return buildFromImage(greetingImage(), greeting().size());
}

WelcomeTraces WelcomeTraces::buildFromImage(const QImage &greeting, int characterCount)
{
    WelcomeTraces result;
    const int width = greeting.width();
    if (width <= 0 || greeting.height() <= 0)
        return result;

    const int quietRow = 2 * characterCount + 70;
    const int tolerance = characterCount > 25 ? 1 : 0;
    std::seed_seq seeds{46499u};
    QRandomGenerator random(seeds);

    QVector<Run> bands(traceCount, Run{quietRow, quietRow});
    QVector<QVector<QPointF>> traces(traceCount);
    for (QVector<QPointF> &trace : traces)
        trace.reserve(width * pointsPerColumn);
    int order[traceCount];
    for (int i = 0; i < traceCount; ++i)
        order[i] = i;

    for (int column = 0; column < width; ++column) {
        for (int i = traceCount - 1; i > 0; --i)
            std::swap(order[i], order[drawBelow(random, quint32(i + 1))]);

        const QVector<Run> dark = darkRuns(greeting, column);
        QVector<Run> runs = dark;
        runs.append({quietRow, quietRow});
        QVector<bool> taken(runs.size(), false);
        int assigned[traceCount];
        std::fill(assigned, assigned + traceCount, -1);

        for (int k = 0; k < traceCount; ++k) {
            const int trace = order[k];
            for (int r = 0; r < runs.size(); ++r) {
                if (!taken[r] && touches(bands[trace], runs[r])) {
                    assigned[trace] = r;
                    taken[r] = true;
                    break;
                }
            }
        }
        for (int r = 0; r < runs.size(); ++r) {
            if (taken[r])
                continue;
            for (int k = 0; k < traceCount; ++k) {
                const int trace = order[k];
                if (assigned[trace] < 0) {
                    assigned[trace] = r;
                    taken[r] = true;
                    break;
                }
            }
        }

        for (int k = 0; k < traceCount; ++k) {
            const int trace = order[k];
            Run band = bands[trace];
            if (assigned[trace] >= 0) {
                band = runs[assigned[trace]];
            } else {
                bool found = false;
                for (const Run &run : dark) {
                    if (within(band, run, tolerance)) {
                        band = run;
                        found = true;
                        break;
                    }
                }
                if (!found && dark.size() > 1)
                    band = dark[int(drawBelow(random, quint32(dark.size())))];
            }
            bands[trace] = band;
        }

        for (int k = 0; k < traceCount; ++k) {
            const int trace = order[k];
            const Run &band = bands[trace];
            const double height = band.bottom - band.top + 1;
            for (int p = 0; p < pointsPerColumn; ++p) {
                const double r = drawBelow(random, 100);
                traces[trace].append(QPointF(pointsPerColumn * column + p,
                                             (imageHeight - band.top) - r * height / 100.0));
            }
        }
    }

    double minimum = std::numeric_limits<double>::max();
    double maximum = std::numeric_limits<double>::lowest();
    for (const QVector<QPointF> &trace : traces) {
        for (const QPointF &point : trace) {
            minimum = std::min(minimum, point.y());
            maximum = std::max(maximum, point.y());
        }
    }
    const double range = maximum - minimum;
    const double margin = 0.05 * range;
    for (QVector<QPointF> &trace : traces) {
        for (QPointF &point : trace)
            point.setY(maximum - point.y() + margin);
    }

    result.traces = traces;
    result.xExtent = double(width) * pointsPerColumn;
    result.yExtent = range + 2.0 * margin;
    result.yFloor = margin;
    result.bandStart = maximum - (imageHeight - quietRow) + margin;
    result.bandEnd = maximum - (imageHeight - quietRow - 0.99) + margin;
    return result;
}

bool WelcomeTraces::drawable(const QSize &widgetSize) const
{
    if (traces.isEmpty() || xExtent <= 0.0 || yExtent <= 0.0 || !(bandEnd > bandStart))
        return false;
    const double usableWidth = widgetSize.width() - 200.0;
    const double usableHeight = (widgetSize.height() - 150.0 - 70.0) * 0.85;
    return usableWidth > 0.0 && usableHeight > 0.0;
}

QPointF WelcomeTraces::screenPoint(const QPointF &point, const QSize &widgetSize) const
{
    const double usableWidth = widgetSize.width() - 200.0;
    const double usableHeight = (widgetSize.height() - 150.0 - 70.0) * 0.85;
    const double xScale = usableWidth / xExtent;
    const double yScale = usableHeight / yExtent;
    const double x = point.x() * xScale + 100.0;
    if (point.y() < bandStart)
        return QPointF(x, (point.y() - yFloor) * yScale + 130.0);
    return QPointF(x, (widgetSize.height() - 160.0)
                          + (point.y() - bandStart) / (bandEnd - bandStart) * 30.0);
}
