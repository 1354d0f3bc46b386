#include "plot/dynamicspectrumwidget.h"
#include "plot/dynamicspectrumyaxis.h"
#include "tests/support/widgetprobe.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

using WidgetProbe::countPixels;
using WidgetProbe::isBlue;
using WidgetProbe::isDark;
using WidgetProbe::isRed;

using Rows = QVector<QVector<float>>;

int inkOf(DynamicSpectrumWidget &w, bool (*test)(QRgb), const QRect &area = QRect())
{
    return countPixels(WidgetProbe::render(w, Qt::magenta), area.isNull() ? w.rect() : area, test);
}

// A widget that shows nothing but the cells, image at the top-left corner.
void cellsOnly(DynamicSpectrumWidget &w)
{
    for (int e = 0; e < DynamicSpectrumWidget::ElementCount; ++e)
        w.setElementVisible(DynamicSpectrumWidget::Element(e), false);
    w.setTimeAxis(false, 0.0, {});
    w.setImageTop(0);
}

int greyAt(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) ? qRed(c) : -1;
}

Rows randomRows(int rowCount, int points, quint32 seed)
{
    QRandomGenerator rng(seed);
    Rows rows(rowCount, QVector<float>(points));
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < points; ++c)
            rows[r][c] = float(rng.generateDouble() * 10.0 - 3.0 + (c % 97 == 0 ? 40.0 : 0.0));
    return rows;
}

// Cells only, `rowCount` rows of `points` equal cells of the given size from
// the point `first`, in a widget of `size`.
void flatCells(DynamicSpectrumWidget &w, QSize cell, int rowCount, int points, QSize size, int first = 0)
{
    cellsOnly(w);
    w.setCellSize(cell);
    w.setData(Rows(rowCount, QVector<float>(points, 1.0f)), first, -1, QString());
    w.resize(size);
}

// Independent reference: every cell one rectangle, a quarter pixel larger than
// the cell so that neighbours overlap, clipped to the image. With two device
// pixels to a pixel that quarter is half a device pixel and rounds into the
// neighbour, so there the reference draws the exact cells. Row 0 lies at the
// bottom; each row has its own scale over its finite values (black at the
// maximum); a flat row and a NaN are white.
QImage rectanglePicture(const DynamicSpectrumWidget &w, const Rows &rows, const QColor &background,
                        qreal ratio)
{
    const double overlap = ratio == 1.0 ? 0.25 : 0.0;
    const DynamicSpectrumWidget::Layout l = w.layout();
    QImage image(w.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(background);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setClipRect(l.image);
    p.setPen(Qt::NoPen);
    const int rowCount = rows.size();
    for (int r = 0; r < rowCount; ++r) {
        float lo = std::numeric_limits<float>::infinity();
        float hi = -lo;
        for (float v : rows[r]) {
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        const double y = l.image.top() + (rowCount - 1 - r) * l.cellHeight;
        for (int c = 0; c < rows[r].size(); ++c) {
            int g = 255;
            if (hi > lo && !std::isnan(rows[r][c]))
                g = std::clamp(int(std::floor((hi - rows[r][c]) * 255.0f / (hi - lo) + 0.5f)), 0,
                               255);
            p.setBrush(QColor(g, g, g));
            p.drawRect(QRectF(l.image.left() + c * l.cellWidth, y, l.cellWidth + overlap,
                              l.cellHeight + overlap));
        }
    }
    return image;
}

} // namespace

class TestDynamicSpectrum : public QObject
{
    Q_OBJECT

private slots:
    void imageMatchesRectangles_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<bool>("fit");
        QTest::addColumn<bool>("axisInside");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("cell 1 x 3") << 500 << 40 << QSize(1, 3) << false << false << QSize(520, 160) << 1.0;
        QTest::newRow("3 x 2 axis in") << 200 << 50 << QSize(3, 2) << false << true << QSize(700, 140) << 1.0;
        QTest::newRow("cell 20 x 20") << 30 << 6 << QSize(20, 20) << false << false << QSize(640, 140) << 1.0;
        QTest::newRow("fitted 1.43") << 700 << 32 << QSize(1, 4) << true << false << QSize(1000, 160) << 1.0;
        QTest::newRow("fit 1.53 in") << 1000 << 24 << QSize(1, 3) << true << true << QSize(1600, 100) << 1.0;
        QTest::newRow("fitted 0.133") << 12000 << 64 << QSize(1, 2) << true << false << QSize(1600, 160) << 1.0;
        // High-density screens: two device pixels per logical pixel.
        QTest::newRow("2 x 4, ratio 2") << 300 << 40 << QSize(2, 4) << false << false << QSize(620, 200) << 2.0;
        QTest::newRow("1.43, ratio 2") << 700 << 32 << QSize(1, 4) << true << false << QSize(1000, 160) << 2.0;
    }

    void imageMatchesRectangles()
    {
        QFETCH(int, points);
        QFETCH(int, rowCount);
        QFETCH(QSize, cell);
        QFETCH(bool, fit);
        QFETCH(bool, axisInside);
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);

        DynamicSpectrumWidget w;
        cellsOnly(w);
        w.setCellSize(cell);
        w.setFitToWidth(fit);
        w.setAxisInside(axisInside);
        Rows rows = randomRows(rowCount, points, 7u + quint32(points));
        rows[1].fill(2.5f);
        for (int c = 0; c < points; c += 5)
            rows[2][c] = std::numeric_limits<float>::quiet_NaN();
        w.setData(rows, 5000, -1, QString());
        w.resize(size);

        const QImage drawn = WidgetProbe::render(w, Qt::magenta, ratio);
        const QImage reference = rectanglePicture(w, rows, w.palette().window().color(), ratio);
        const QRectF logical = w.layout().image;
        const QRect image = QRectF(logical.topLeft() * ratio, logical.size() * ratio).toAlignedRect();
        QVERIFY(image.width() > 10 && image.height() > 10);

        int differing = 0;
        int greys = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (drawn.pixel(x, y) != reference.pixel(x, y))
                    ++differing;
                if (image.contains(x, y) && greyAt(drawn, x, y) > 0 && greyAt(drawn, x, y) < 255)
                    ++greys;
            }
        }
        const double fraction = double(differing) / double(image.width() * image.height());
        QVERIFY2(fraction <= 0.01, qPrintable(QString::number(100.0 * fraction) + " %"));
        // The picture really holds the cells (not an empty image on both sides).
        QVERIFY(greys > image.width() * image.height() / 2);
    }

    // The grey scale of the whole row or of the visible columns only; a fragment
    // rendered for saving keeps the scale of the screen.
    void scaleOfWindowAndFragments()
    {
        QWidget frame;
        frame.resize(100, 60);
        auto *w = new DynamicSpectrumWidget(&frame);
        cellsOnly(*w);
        w->setCellSize(QSize(10, 10));
        QVector<float> ramp(20);
        for (int c = 0; c < 20; ++c)
            ramp[c] = float(c);
        w->setData(Rows{ramp}, 300, -1, QString());
        w->setGeometry(0, 0, 200, 60);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        int first = -1, count = -1;
        QVERIFY(w->visiblePoints(&first, &count));
        QCOMPARE(QPoint(first, count), QPoint(300, 10));
        // Whole-row scale 0..19: column 9 is round(10 * 255 / 19) = 134.
        QCOMPARE(greyAt(frame.grab().toImage(), 95, 5), 134);

        // Point 310 is column 5 of the fragment: round(9 * 255 / 19) = 121.
        const QImage part = w->renderFragment(305, 10);
        QCOMPARE(part.width(), DynamicSpectrumWidget::axisStripWidth + 10 * 10);
        bool found = false;
        for (int y = 0; y < part.height() && !found; ++y)
            found = greyAt(part, 70 + 5 * 10 + 5, y) == 121;
        QVERIFY(found);
        QVERIFY(w->renderFragment(305, 0).isNull());
        QVERIFY(w->renderFragment(320, 5).isNull());
        QCOMPARE(w->renderFragment(315, 1000).width(), 70 + 5 * 10);

        // Visible columns 0..9 only: column 9 is now the maximum.
        w->setScalePerWindow(true);
        const QImage shot = frame.grab().toImage();
        QCOMPARE(greyAt(shot, 95, 5), 0);
        QCOMPARE(greyAt(shot, 45, 5), 142); // round((9 - 4) * 255 / 9) = 141.7
    }

    void cellSizes()
    {
        DynamicSpectrumWidget w;
        QSignalSpy spy(&w, &DynamicSpectrumWidget::cellSizeChanged);
        w.setCellSize(QSize(25, 0));
        QCOMPARE(w.cellSize(), QSize(20, 1));
        QVERIFY(!w.autoCellSize());
        w.setCellSize(QSize(90, -4)); // clamps to the same size: no signal
        w.setCellSize(QSize(-3, 50));
        QCOMPARE(w.cellSize(), QSize(1, 20));
        QCOMPARE(spy.count(), 2);

        // Until a size is set the rows share the height, 1 to 20 px each.
        DynamicSpectrumWidget a;
        cellsOnly(a);
        a.setData(Rows(10, QVector<float>(50, 1.0f)), 0, -1, QString());
        a.resize(200, 900);
        QCOMPARE(a.layout().cellHeight, 20);
        a.setData(Rows(300, QVector<float>(50, 1.0f)), 0, -1, QString());
        QCOMPARE(a.layout().cellHeight, 3);
        a.setCellSize(QSize(2, 5));
        QCOMPARE(a.minimumHeight(), 1500);
    }

    // 3 rows of 10 cells 3 x 4 px from point 1000, at the top-left; the column
    // arithmetic itself is checked on its own.
    void clicksCursorAndSelection()
    {
        DynamicSpectrumWidget w;
        flatCells(w, QSize(3, 4), 3, 10, QSize(200, 120), 1000);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy clicks(&w, &DynamicSpectrumWidget::pointClicked);
        // The right edge of the last cell still belongs to it.
        for (const QPoint &press : {QPoint(30, 1009), QPoint(0, 1000), QPoint(26, 1008)}) {
            QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(press.x(), 6));
            QCOMPARE(clicks.count(), 1);
            QCOMPARE(clicks.takeFirst().at(0).toInt(), press.y());
        }
        // Beside and under the image, and with the right button: nothing.
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(31, 6));
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(10, 40));
        QTest::mouseClick(&w, Qt::RightButton, {}, QPoint(10, 6));
        QCOMPARE(clicks.count(), 0);

        QSignalSpy moved(&w, &DynamicSpectrumWidget::cursorPointChanged);
        QSignalSpy left(&w, &DynamicSpectrumWidget::cursorLeft);
        WidgetProbe::move(&w, QPoint(7, 5));
        WidgetProbe::move(&w, QPoint(30, 5));
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.at(1).at(0).toInt(), 1009);
        WidgetProbe::move(&w, QPoint(120, 5));
        QCOMPARE(left.count(), 1);
        WidgetProbe::leave(&w);
        QCOMPARE(left.count(), 2);

        // Selection mode: the dragged rectangle is outlined in blue while it is drawn.
        QSignalSpy spy(&w, &DynamicSpectrumWidget::fragmentSelected);
        w.setSelectionMode(true);
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(6, 5));
        WidgetProbe::move(&w, QPoint(16, 5), Qt::LeftButton);
        const QImage shot = WidgetProbe::render(w, Qt::magenta);
        QVERIFY(isBlue(shot.pixel(6, 6)) && isBlue(shot.pixel(16, 6)));
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(16, 5));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0), (QList<QVariant>{1002, 4}));
        QVERIFY(!w.selectionMode());
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(inkOf(w, isBlue), 0);
        QCOMPARE(clicks.count(), 0);

        // A drag under one pixel selects nothing and stays in selection mode.
        w.setSelectionMode(true);
        WidgetProbe::click(&w, QPoint(9, 5));
        QCOMPARE(spy.count(), 1);
        QVERIFY(w.selectionMode());

        // Leaving the mode removes a half-drawn rectangle.
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(3, 5));
        WidgetProbe::move(&w, QPoint(24, 5), Qt::LeftButton);
        QVERIFY(inkOf(w, isBlue) > 0);
        w.setSelectionMode(false);
        QCOMPARE(inkOf(w, isBlue), 0);
        QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(24, 5));
        QCOMPARE(spy.count(), 1);
    }

    void timeAxis()
    {
        DynamicSpectrumWidget w;
        flatCells(w, QSize(2, 4), 4, 1000, QSize(2100, 200));
        w.setElementVisible(DynamicSpectrumWidget::TimeSpanCaption, true);
        w.setTimeAxis(true, 0.0, {});
        QCOMPARE(w.timeSpanCaption(), QString()); // no seconds per point yet
        w.setTimeAxis(true, 0.0125, {});
        QCOMPARE(w.timeSpanCaption(), QStringLiteral("Time span: 12.5 s"));
        // The dimension line lies 30 px under the image (no label rows).
        const QImage shot = WidgetProbe::render(w, Qt::magenta);
        const int y = int(w.layout().image.bottom()) + 30;
        QVERIFY(countPixels(shot, QRect(40, y - 1, 200, 3), isDark) >= 200);
        QCOMPARE(countPixels(shot, QRect(40, y - 20, 200, 10), isDark), 0);
    }

    void dispersionLine()
    {
        DynamicSpectrumWidget w;
        flatCells(w, QSize(4, 4), 32, 200, QSize(820, 140), 7000);
        QVector<double> frequencies;
        for (int r = 0; r < 32; ++r)
            frequencies.append(109.0 + 0.078 * r);
        w.setDispersion(true, 30.0, 0.0125, frequencies, 7050);
        const QImage shot = WidgetProbe::render(w, Qt::magenta);
        // DM 30 from 111.418 to 109 MHz: 0.4498 s = 35.98 points later at the bottom row.
        for (const QPair<int, double> &row : {qMakePair(31, 0.0), qMakePair(0, 35.98)}) {
            const int x = int(std::floor((50 + row.second + 0.5) * 4));
            const int y = int((32 - row.first - 0.5) * 4);
            QVERIFY2(countPixels(shot, QRect(x - 2, y - 1, 5, 3), isRed) > 0, qPrintable(QString::number(x)));
            QCOMPARE(countPixels(shot, QRect(x - 40, y - 1, 20, 3), isRed), 0);
        }

        // Each missing input hides the line; its colour can be changed.
        w.setDispersion(false, 30.0, 0.0125, frequencies, 7050);
        QCOMPARE(inkOf(w, isRed), 0);
        w.setDispersion(true, 30.0, 0.0, frequencies, 7050);
        QCOMPARE(inkOf(w, isRed), 0);
        w.setDispersion(true, 30.0, 0.0125, frequencies.mid(0, 31), 7050);
        QCOMPARE(inkOf(w, isRed), 0);
        w.setDispersion(true, 30.0, 0.0125, frequencies, 7050);
        w.setDispersionColor(Qt::blue);
        QVERIFY(inkOf(w, isBlue) > 0);
        // Clearing the data switches the line off with everything else.
        w.clear();
        w.setData(Rows(32, QVector<float>(200, 1.0f)), 7000, -1, QString());
        QCOMPARE(inkOf(w, isBlue), 0);
    }

    void searchPointMarker()
    {
        DynamicSpectrumWidget w;
        cellsOnly(w);
        w.setElementVisible(DynamicSpectrumWidget::SearchMarker, true);
        w.setCellSize(QSize(4, 10));
        w.setData(Rows(5, QVector<float>(100, 1.0f)), 500, 530, QStringLiteral("05:34:31"));
        w.resize(420, 300);
        const int fh = QFontMetrics(w.axisFont()).height();
        const int top = int(w.layout().image.top());
        const QImage shot = WidgetProbe::render(w, Qt::magenta);
        const int x = int((30 + 0.5) * 4);
        QCOMPARE(countPixels(shot, QRect(x - 1, top - 18, 3, 16), isRed), 16);
        QCOMPARE(countPixels(shot, QRect(x - 30, top - 18, 20, 16), isRed), 0);
        // The point number's box above the line.
        QVERIFY(countPixels(shot, QRect(x - 40, top - 20 - fh - 4, 80, fh + 4), isDark) > 0);

        // A marker outside the shown points is neither drawn nor given room.
        w.setData(Rows(5, QVector<float>(100, 1.0f)), 500, 600, QStringLiteral("05:34:31"));
        QCOMPARE(w.layout().image.top(), 0.0);
        QCOMPARE(inkOf(w, isRed), 0);

        // With fit to width, the label boxes stay inside the image near its edge.
        w.setFitToWidth(true);
        w.setData(Rows(5, QVector<float>(100, 1.0f)), 500, 599, QStringLiteral("a long marker text that is wide"));
        const int labelTop = int(w.layout().image.top()) - 20 - 2 * fh - 8;
        QCOMPARE(inkOf(w, isDark, QRect(419, labelTop, 1, 2 * fh + 8)), 0);
        QVERIFY(inkOf(w, isRed, QRect(300, labelTop, 117, 2 * fh + 8)) > 0);
    }

    void traceAboveImage()
    {
        DynamicSpectrumWidget w;
        flatCells(w, QSize(4, 4), 4, 100, QSize(420, 300));
        QVector<double> trace(100);
        for (int c = 0; c < 100; ++c)
            trace[c] = 5.0 + c;
        w.setTrace(trace, 100);
        const int top = int(w.layout().image.top());
        const QImage shot = WidgetProbe::render(w, Qt::magenta);
        // The lowest value lies 4 px above the image, the highest 4 px under the top of its 100 px band.
        QVERIFY(countPixels(shot, QRect(0, top - 7, 6, 6), isBlue) > 0);
        QVERIFY(countPixels(shot, QRect(394, top - 100, 6, 8), isBlue) > 0);
        QCOMPARE(countPixels(shot, QRect(0, top, 420, 20), isBlue), 0);

        // A trace of another length is not drawn and takes no room.
        w.setTrace(trace.mid(0, 99), 100);
        QCOMPARE(w.layout().image.top(), 0.0);
        QCOMPARE(inkOf(w, isBlue), 0);
        // Not-a-number samples break the line instead of breaking the paint.
        trace[50] = std::numeric_limits<double>::quiet_NaN();
        w.setTrace(trace, 100);
        QVERIFY(inkOf(w, isBlue) > 0);
        w.setTraceVisible(false);
        QCOMPARE(inkOf(w, isBlue), 0);

        // Several columns to a pixel: each pixel column still reaches its lowest
        // and highest value, so the line spans the whole band.
        DynamicSpectrumWidget dense;
        dense.setFitToWidth(true);
        flatCells(dense, QSize(4, 4), 4, 1000, QSize(420, 300));
        QVector<double> wave(1000);
        for (int c = 0; c < wave.size(); ++c)
            wave[c] = std::sin(c * 0.7);
        dense.setTrace(wave, 100);
        const int denseTop = int(dense.layout().image.top());
        const QImage denseShot = WidgetProbe::render(dense, Qt::magenta);
        QVERIFY(countPixels(denseShot, QRect(0, denseTop - 7, 420, 6), isBlue) > 100);
        QVERIFY(countPixels(denseShot, QRect(0, denseTop - 100, 420, 8), isBlue) > 100);
    }

    void channelLabels()
    {
        // Where each row has room the strip below shows them all; thin rows get
        // numbers only where they do not overprint, from 1 at the bottom.
        DynamicSpectrumWidget w;
        flatCells(w, QSize(2, 1), 256, 10, QSize(200, 400));
        w.setElementVisible(DynamicSpectrumWidget::ChannelLabels, true);
        QVector<DynamicSpectrumWidget::ChannelLabel> labels = w.channelLabels();
        const int box = QFontMetrics(w.axisFont()).height() + 4;
        QVERIFY(labels.size() > 5 && labels.size() <= 256 / box + 1);
        QCOMPARE(labels.first().text, QStringLiteral("1"));
        for (int i = 1; i < labels.size(); ++i)
            QVERIFY(labels.at(i - 1).centreY - labels.at(i).centreY >= box);

        // Print layout: frequencies of the bottom, top and middle rows.
        QVector<double> frequencies;
        for (int r = 0; r < 256; ++r)
            frequencies.append(109.0390625 + 0.0078125 * r);
        w.setDispersion(false, 0.0, 0.0, frequencies, 0);
        w.setPrintLayout(true);
        labels = w.channelLabels();
        QCOMPARE(labels.size(), 3);
        QCOMPARE(labels.at(0).text + labels.at(1).text + labels.at(2).text, QStringLiteral("109.04111.03110.04"));
        // Too few frequencies: no labels.
        w.setData(Rows(300, QVector<float>(10, 1.0f)), 0, -1, QString());
        QVERIFY(w.channelLabels().isEmpty());
    }

    void yAxisStrip()
    {
        QWidget frame;
        frame.resize(300, 200);
        auto *spectrum = new DynamicSpectrumWidget(&frame);
        flatCells(*spectrum, QSize(4, 20), 3, 50, QSize(230, 160));
        spectrum->setElementVisible(DynamicSpectrumWidget::ChannelLabels, true);
        spectrum->move(70, 20);
        auto *strip = new DynamicSpectrumYAxis(spectrum, &frame);
        strip->setGeometry(0, 0, 70, 200);
        QImage shot = WidgetProbe::render(frame, Qt::magenta);
        // Rows centred 10, 30 and 50 px into the spectrum, which starts 20 px down.
        for (int centre : {30, 50, 70})
            QVERIFY2(countPixels(shot, QRect(30, centre - 8, 31, 16), isDark) > 0, qPrintable(QString::number(centre)));
        QCOMPARE(countPixels(shot, QRect(62, 0, 8, 200), isDark), 0);
        spectrum->setElementVisible(DynamicSpectrumWidget::ChannelLabels, false);
        shot = WidgetProbe::render(frame, Qt::magenta);
        QCOMPARE(countPixels(shot, QRect(0, 0, 70, 200), isDark), 0);

        QSignalSpy spy(spectrum, &DynamicSpectrumWidget::yAxisChanged);
        spectrum->setCellSize(QSize(3, 3));
        QVERIFY(spy.count() > 0);
    }

    void badInput()
    {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        DynamicSpectrumWidget w;
        w.resize(300, 200);

        // No data: only the background.
        const QImage blank = WidgetProbe::render(w, Qt::magenta);
        QCOMPARE(WidgetProbe::countColour(blank, w.palette().window().color()), 300 * 200);
        w.setData(Rows{{}, {}}, 0, 5, QStringLiteral("x"));
        QCOMPARE(WidgetProbe::render(w, Qt::magenta), blank);

        // Rows of unequal length are cut to the shortest.
        w.setData(Rows{{1, 2, 3, 4}, {1, 2}, {5, 6, 7}}, 0, -1, QString());
        QCOMPARE(w.pointCount(), 2);

        // Not-a-number and infinite samples, a row without any finite value.
        w.setData(Rows{{nan, inf, -inf, 1.0f}, {nan, nan, nan, nan}, {inf, inf, 2, 2}}, 0, 1, QString());
        QCOMPARE(w.rowMin(0), 1.0f);
        w.setTrace({nan, std::numeric_limits<double>::infinity(), nan, 1.0}, 50);
        w.setDispersion(true, 1.0e12, 1.0e-9, {nan, 0.0, 110.0}, -2000000000);
        w.setTimeAxis(true, std::numeric_limits<double>::quiet_NaN(), {});
        QVERIFY(!WidgetProbe::render(w, Qt::magenta).isNull());
        w.setTimeAxis(true, 1.0e300, [](int) { return QString(); });
        WidgetProbe::render(w, Qt::magenta);

        // A huge spectrum squeezed into one pixel.
        DynamicSpectrumWidget tiny;
        tiny.setFitToWidth(true);
        tiny.setData(randomRows(16, 12000, 3), 0, 6000, QStringLiteral("marker"));
        tiny.setTrace(QVector<double>(12000, 1.0), 100);
        tiny.setMinimumSize(0, 0);
        tiny.resize(1, 1);
        QCOMPARE(WidgetProbe::render(tiny, Qt::magenta).size(), QSize(1, 1));
        QVERIFY(!tiny.channelLabels().isEmpty());

        // Extreme first points do not overflow into wrong fragments.
        DynamicSpectrumWidget far;
        far.setData(Rows(2, QVector<float>(10, 1.0f)), 2147483640, -1, QString());
        QVERIFY(!far.renderFragment(2147483645, 2147483647).isNull());
        QVERIFY(far.renderFragment(-2147483647, 100).isNull());
    }
};

QTEST_MAIN(TestDynamicSpectrum)
#include "tst_dynamicspectrum.moc"
