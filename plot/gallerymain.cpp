// orvalis-plot-gallery OUTDIR: renders a representative set of graphs to PNG
// files, so the look of the plotting toolkit can be reviewed without clicking
// through the program.

#include "astro/dispersion.h"
#include "plot/dynamicspectrumwidget.h"
#include "plot/dynamicspectrumyaxis.h"
#include "plot/grafiks.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"
#include "plot/seriespalette.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPixmap>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTime>

#include <cmath>

namespace {

constexpr double samplePeriod = 0.0125;
constexpr double pulsarPeriod = 1.2925;

// A noisy channel sum with pulses of a pulsar and a slow baseline drift.
QVector<double> pulsarSignal(int count, quint32 seed, double amplitude)
{
    QRandomGenerator random(seed);
    QVector<double> values(count);
    for (int i = 0; i < count; ++i) {
        const double t = i * samplePeriod;
        const double phase = std::fmod(t, pulsarPeriod) / pulsarPeriod - 0.5;
        const double pulse = amplitude * std::exp(-phase * phase / (2 * 0.004 * 0.004));
        const double noise = (random.generateDouble() + random.generateDouble() + random.generateDouble() - 1.5) * 2.0;
        values[i] = 100.0 + 6.0 * std::sin(t / 40.0) + pulse + noise;
    }
    return values;
}

QString clockText(double seconds)
{
    return QTime(0, 0).addMSecs(qint64(std::fmod(seconds, 86400.0) * 1000.0)).toString(QStringLiteral("hh:mm:ss"));
}

bool savePage(QWidget *page, const QDir &outDir, const QString &fileName, QTextStream &log)
{
    page->show();
    QApplication::processEvents();
    QApplication::processEvents();
    const QString path = outDir.filePath(fileName);
    if (!page->grab().save(path, "PNG")) {
        log << "Cannot write " << path << "\n";
        return false;
    }
    log << path << "\n";
    return true;
}

GraphSpec nativeStyleSpec(int count)
{
    GraphSpec spec;
    spec.key = QStringLiteral("gallery|native|m=1|r=3|c=0");
    spec.title = QStringLiteral("N1, module 1, beam 3");
    spec.infoLines = QStringList{QStringLiteral("Channel sum, DM = 26.76"), QString(), QStringLiteral("0329+54")};
    spec.yAxis.name = QStringLiteral("S");
    spec.yAxis.title = QStringLiteral("signal, relative units");
    spec.yAxis.tickSpacing = 60;
    spec.lineWidth = 1;
    spec.zoomEnabled = true;

    spec.series.append(GraphSeries(QStringLiteral("Beam 3"), pulsarSignal(count, 7, 40.0), graphColours.at(0)));
    spec.series.last().details = QStringLiteral("sum of 32 channels");
    GraphSeries searchPoint;
    searchPoint.kind = GraphSeries::VerticalLine;
    searchPoint.name = QStringLiteral("Search point");
    searchPoint.sampleIndex = count * 3 / 5;
    searchPoint.color = Qt::red;
    searchPoint.drawOnTop = true;
    spec.series.append(searchPoint);
    GraphSeries baseline;
    baseline.kind = GraphSeries::HorizontalLine;
    baseline.name = QStringLiteral("Baseline");
    baseline.yValue = 100.0;
    spec.series.append(baseline);

    spec.bottomAxis.enabled = true;
    spec.bottomAxis.tickSpacing = 100;
    AxisRow points;
    points.name = QStringLiteral("N");
    points.title = QStringLiteral("point number");
    AxisRow time;
    time.name = QStringLiteral("T");
    time.title = QStringLiteral("telescope time");
    time.tickFormatter = [](double x) { return clockText(3 * 3600 + 12 * 60 + x * samplePeriod); };
    AxisRow ra;
    ra.name = QStringLiteral("RA");
    ra.title = QStringLiteral("right ascension");
    ra.tickFormatter = [](double x) { return clockText(3 * 3600 + 30 * 60 + x * samplePeriod * 1.0027379); };
    spec.bottomAxis.rows = {points, time, ra};

    spec.headerRows = {HeaderRow(QStringLiteral("File"), QStringLiteral("010124_03_N1_00.pnt")),
                       HeaderRow(QStringLiteral("Site"), QStringLiteral("N1")),
                       HeaderRow(QStringLiteral("Start"), QStringLiteral("01.01.2024 03:12:00 UTC")),
                       HeaderRow(QStringLiteral("Points"), QString::number(count)),
                       HeaderRow(QStringLiteral("Search point"), QString::number(count * 3 / 5))};
    spec.headerSpacerBeforeLast = true;
    return spec;
}

void dragInPlot(Grafiks *plot, const QPoint &from, const QPoint &to)
{
    QMouseEvent press(QEvent::MouseButtonPress, from, plot->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &press);
    for (int step = 1; step <= 4; ++step) {
        const QPoint point = from + (to - from) * step / 4;
        QMouseEvent move(QEvent::MouseMove, point, plot->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, to, plot->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(plot, &release);
}

bool nativeGraphPages(const QDir &outDir, QTextStream &log)
{
    GraphPanel panel;
    panel.resize(1500, 650);
    panel.setGraphSpec(nativeStyleSpec(24000));
    bool ok = savePage(&panel, outDir, QStringLiteral("native_graph.png"), log);

    Grafiks *plot = panel.plot();
    const Grafiks::PlotLayout layout = plot->plotLayout();
    const QRect area = layout.plotRect();
    dragInPlot(plot, QPoint(area.left() + area.width() * 55 / 100, area.top() + 10),
               QPoint(area.left() + area.width() * 66 / 100, area.bottom() - 10));
    const QPoint cursor(area.left() + area.width() / 2, area.top() + area.height() / 3);
    QMouseEvent move(QEvent::MouseMove, cursor, plot->mapToGlobal(cursor), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    ok = savePage(&panel, outDir, QStringLiteral("native_zoomed.png"), log) && ok;
    return ok;
}

bool thumbnailPage(const QDir &outDir, QTextStream &log)
{
    const int columns = 4;
    const int rows = 3;
    const int cellWidth = 260;
    const int cellHeight = 150;
    QVector<QVector<QWidget *>> cells(rows);
    for (int i = 0; i < rows * columns; ++i) {
        auto *thumbnail = new MiniGrafik(cellWidth, cellHeight);
        if (i == rows * columns - 1) {
            cells[i / columns].append(thumbnail);
            continue;
        }
        GraphSpec spec;
        spec.key = QStringLiteral("gallery|day|%1").arg(i);
        spec.series.append(GraphSeries(QStringLiteral("sum"), pulsarSignal(1500, 100 + i, 10.0 + 5.0 * i),
                                       graphColours.at(0)));
        spec.title = QStringLiteral("2024.01.%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        spec.yAxis.tickSpacing = 40;
        spec.yAxis.tickDecimals = 0;
        spec.bottomAxis.enabled = true;
        spec.bottomAxis.tickSpacing = 80;
        thumbnail->setGraphSpec(spec, i / columns, i % columns,
                                {{QStringLiteral("date"), spec.title}});
        thumbnail->setBackgroundColor(i % 5 == 2 ? QColor(QStringLiteral("#defbdd")) : QColor(Qt::white));
        cells[i / columns].append(thumbnail);
    }
    QStringList columnHeaders{QString()};
    for (int c = 1; c <= columns; ++c)
        columnHeaders.append(QString::number(c));
    QStringList rowHeaders{QString()};
    for (int r = 1; r <= rows; ++r)
        rowHeaders.append(QString::number(r));
    MultiGrafiksPanel panel;
    panel.resize(1180, 590);
    panel.setGrid(cellWidth, cellHeight, columnHeaders, rowHeaders, cells);
    return savePage(&panel, outDir, QStringLiteral("thumbnails.png"), log);
}

bool badInputPage(const QDir &outDir, QTextStream &log)
{
    GraphPanel panel;
    panel.resize(1100, 450);
    GraphSpec spec;
    QVector<double> gappy = pulsarSignal(3000, 3, 25.0);
    for (int i = 900; i < 1100; ++i)
        gappy[i] = std::nan("");
    gappy[2000] = INFINITY;
    spec.series.append(GraphSeries(QStringLiteral("With gaps"), gappy));
    spec.series.append(GraphSeries(QStringLiteral("Flat at -10"), QVector<double>(3000, -10.0)));
    spec.series.append(GraphSeries(QStringLiteral("Shorter, left out"), QVector<double>(100, 5.0)));
    spec.title = QStringLiteral("NaN breaks the line; unequal lengths are left out");
    spec.yAxis.tickSpacing = 50;
    spec.bottomAxis.enabled = true;
    panel.setGraphSpec(spec);
    return savePage(&panel, outDir, QStringLiteral("bad_input.png"), log);
}


// A dispersed pulsar in 256 channels: dynamic spectrum with its channel-sum
// trace, the dispersion line from the search point, and the time axis.
bool dynamicSpectrumPage(const QDir &outDir, QTextStream &log)
{
    const int channels = 256;
    const int points = 1200;
    const int firstPoint = 48000;
    const double dm = 30.0;
    QVector<double> frequencies(channels);
    for (int r = 0; r < channels; ++r)
        frequencies[r] = 109.0390625 + 0.0078125 * r;
    QRandomGenerator random(11);
    QVector<QVector<float>> rows(channels, QVector<float>(points));
    QVector<double> sum(points, 0.0);
    for (int r = 0; r < channels; ++r) {
        const double delay = dispersionDelayPoints(frequencies.last(), frequencies[r], dm, samplePeriod);
        for (int c = 0; c < points; ++c) {
            const double t = (firstPoint + c - delay) * samplePeriod;
            const double phase = std::fmod(t, pulsarPeriod) / pulsarPeriod - 0.5;
            const double pulse = 1.6 * std::exp(-phase * phase / (2 * 0.005 * 0.005));
            rows[r][c] = float(random.generateDouble() + pulse + 0.2 * std::sin(r / 9.0));
        }
        for (int c = 0; c < points; ++c) {
            const int shifted = c + int(std::lround(delay));
            sum[c] += shifted < points ? rows[r][shifted] : rows[r][points - 1];
        }
    }

    QWidget page;
    page.resize(1400, 900);
    auto *spectrum = new DynamicSpectrumWidget(&page);
    auto *strip = new DynamicSpectrumYAxis(spectrum, &page);
    auto *layout = new QHBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    strip->setFixedWidth(DynamicSpectrumWidget::axisStripWidth);
    layout->addWidget(strip);
    layout->addWidget(spectrum);

    int searchPoint = 0;
    for (int c = 1; c < points - 1; ++c)
        if (sum[c] > sum[searchPoint] && c > points / 3)
            searchPoint = c;
    searchPoint += firstPoint;
    auto alphaText = [](int point) { return clockText(5 * 3600 + 34 * 60 + point * samplePeriod); };
    spectrum->setFitToWidth(true);
    spectrum->setAxisFont(1, 9);
    spectrum->setCellSize(QSize(1, 2));
    spectrum->setTimeAxis(true, samplePeriod, alphaText);
    spectrum->setDispersion(true, dm, samplePeriod, frequencies, searchPoint);
    spectrum->setTrace(sum, 100);
    spectrum->setData(rows, firstPoint, searchPoint, alphaText(searchPoint));
    return savePage(&page, outDir, QStringLiteral("dynamic_spectrum.png"), log);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream log(stdout);
    QTextStream errors(stderr);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2) {
        errors << "Usage: orvalis-plot-gallery OUTDIR\n";
        return 2;
    }
    QDir outDir(arguments.at(1));
    if (!outDir.exists() && !QDir().mkpath(outDir.absolutePath())) {
        errors << "Cannot create " << outDir.absolutePath() << "\n";
        return 1;
    }
    bool ok = nativeGraphPages(outDir, log);
    ok = thumbnailPage(outDir, log) && ok;
    ok = badInputPage(outDir, log) && ok;
    ok = dynamicSpectrumPage(outDir, log) && ok;
    return ok ? 0 : 1;
}
