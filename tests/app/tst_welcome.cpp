#include "app/welcometraces.h"
#include "app/welcomewidget.h"

#include <QFontDatabase>
#include <QImage>
#include <QtTest>

#include <cmath>

// The greeting must appear as traces that are bright where its letters are and
// flat elsewhere. The checks work from the rendered greeting mask and the
// drawing rules, not from the trace builder's internals.
class TestWelcome : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int top;
        int bottom;
    };

    static QVector<Run> darkRuns(const QImage &image, int column)
    {
        QVector<Run> runs;
        int start = -1;
        for (int row = 0; row <= image.height(); ++row) {
            const bool dark = row < image.height() && qGray(image.pixel(column, row)) < 128;
            if (dark && start < 0)
                start = row;
            if (!dark && start >= 0) {
                runs.append({start, row - 1});
                start = -1;
            }
        }
        return runs;
    }

    static bool isInk(QRgb pixel) { return qRed(pixel) < 235 || qGreen(pixel) < 235 || qBlue(pixel) < 235; }

    static const int quietRow = 2 * 21 + 70;

private slots:
    void initTestCase();
    void darkRule_data();
    void darkRule();
    void sameOnEveryBuild();
    void tracesFollowTheLetters();
    void paintedTracesLieOnTheLetters();
    void narrowWidgetStaysEmpty_data();
    void narrowWidgetStaysEmpty();
    void emptyImageGivesNoTraces();
};

void TestWelcome::initTestCase()
{
    QVERIFY2(QFontDatabase().families().contains(QStringLiteral("Liberation Mono")),
             "fonts-liberation is not installed");
}

void TestWelcome::darkRule_data()
{
    QTest::addColumn<QRgb>("pixel");
    QTest::addColumn<bool>("dark");
    QTest::newRow("black") << qRgb(0, 0, 0) << true;
    QTest::newRow("white") << qRgb(255, 255, 255) << false;
    // 11*128 + 16*128 + 5*128 = 4096: exactly one half is not dark.
    QTest::newRow("half grey") << qRgb(128, 128, 128) << false;
    QTest::newRow("just below half") << qRgb(127, 128, 128) << true;
    QTest::newRow("pure blue is dark") << qRgb(0, 0, 255) << true;
    QTest::newRow("pure green is just dark") << qRgb(0, 255, 0) << true;
    QTest::newRow("cyan is light") << qRgb(0, 255, 255) << false;
}

void TestWelcome::darkRule()
{
    QFETCH(QRgb, pixel);
    QFETCH(bool, dark);
    QCOMPARE(WelcomeTraces::isDark(pixel), dark);
}

void TestWelcome::sameOnEveryBuild()
{
    const WelcomeTraces first = WelcomeTraces::build();
    const WelcomeTraces second = WelcomeTraces::build();
    QCOMPARE(first.traces, second.traces);
    QCOMPARE(first.yExtent, second.yExtent);

    WelcomeWidget a;
    WelcomeWidget b;
    a.resize(1300, 700);
    b.resize(1300, 700);
    QImage imageA(a.size(), QImage::Format_RGB32);
    QImage imageB(b.size(), QImage::Format_RGB32);
    imageA.fill(Qt::white);
    imageB.fill(Qt::white);
    a.render(&imageA);
    b.render(&imageB);
    QCOMPARE(imageA, imageB);
}

void TestWelcome::tracesFollowTheLetters()
{
    const QImage image = WelcomeTraces::greetingImage();
    const WelcomeTraces t = WelcomeTraces::build();
    int textTop = 100;
    int textBottom = -1;
    int firstDarkColumn = -1;
    for (int c = 0; c < image.width(); ++c) {
        const QVector<Run> runs = darkRuns(image, c);
        if (!runs.isEmpty() && firstDarkColumn < 0)
            firstDarkColumn = c;
        for (const Run &run : runs) {
            textTop = qMin(textTop, run.top);
            textBottom = qMax(textBottom, run.bottom);
        }
    }
    QVERIFY(firstDarkColumn > 0);

    // Trace value back to a greeting row: the quiet band is row quietRow.
    auto rowOf = [&](double y) { return quietRow - t.bandStart + y; };
    for (int c = 0; c < image.width(); ++c) {
        const QVector<Run> runs = darkRuns(image, c);
        for (const QVector<QPointF> &trace : t.traces) {
            for (int k = 0; k < 50; ++k) {
                const double row = rowOf(trace[50 * c + k].y());
                const bool quiet = row >= quietRow - 1e-9 && row < quietRow + 1.0;
                if (c < firstDarkColumn)
                    QVERIFY2(quiet, qPrintable(QStringLiteral("column %1 before the text").arg(c)));
                else if (!quiet)
                    QVERIFY2(row >= textTop - 1e-9 && row < textBottom + 1.0 + 1e-9,
                             qPrintable(QStringLiteral("column %1 row %2").arg(c).arg(row)));
            }
        }
        // Every stroke of the letter in this column is drawn by some trace.
        for (const Run &run : runs) {
            bool covered = false;
            for (const QVector<QPointF> &trace : t.traces) {
                bool inside = true;
                for (int k = 0; k < 50 && inside; ++k) {
                    const double row = rowOf(trace[50 * c + k].y());
                    inside = row >= run.top - 1e-9 && row < run.bottom + 1.0 + 1e-9;
                }
                covered = covered || inside;
            }
            QVERIFY2(covered, qPrintable(QStringLiteral("column %1 rows %2..%3")
                                             .arg(c).arg(run.top).arg(run.bottom)));
        }
    }
}

void TestWelcome::paintedTracesLieOnTheLetters()
{
    const QImage greeting = WelcomeTraces::greetingImage();
    WelcomeWidget widget;
    // Wide enough that one greeting column spans several screen pixels.
    const QSize size(2400, 800);
    widget.resize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    widget.render(&image);
    const WelcomeTraces &t = widget.traces();

    const double xScale = (size.width() - 200.0) / t.xExtent;
    const double yScale = (size.height() - 220.0) * 0.85 / t.yExtent;
    int textTop = 100;
    int textBottom = -1;
    for (int c = 0; c < greeting.width(); ++c) {
        for (const Run &run : darkRuns(greeting, c)) {
            textTop = qMin(textTop, run.top);
            textBottom = qMax(textBottom, run.bottom);
        }
    }
    // Screen rows of the greeting's top and bottom, from the drawing rules.
    auto screenY = [&](double row) { return (row - quietRow + t.bandStart - t.yFloor) * yScale + 130.0; };
    const int letterTop = int(std::floor(screenY(textTop))) - 2;
    const int letterBottom = int(std::ceil(screenY(textBottom + 1))) + 2;
    const int bandTop = size.height() - 160 - 2;
    QVERIFY(letterBottom < bandTop);

    // Nothing outside the margins or above the letters.
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const bool ink = isInk(image.pixel(x, y));
            if (x < 99 || x > size.width() - 99 || y < letterTop || y > size.height() - 128)
                QVERIFY2(!ink, qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
        }
    }

    int darkColumns = 0;
    int inkedDarkColumns = 0;
    for (int c = 0; c < greeting.width(); ++c) {
        const QVector<Run> runs = darkRuns(greeting, c);
        const int x0 = int(std::ceil((50.0 * c + 12.0) * xScale + 100.0));
        const int x1 = int(std::floor((50.0 * c + 38.0) * xScale + 100.0));
        bool ink = false;
        for (int x = x0; x <= x1 && !ink; ++x)
            for (int y = letterTop; y <= letterBottom && !ink; ++y)
                ink = isInk(image.pixel(x, y));
        // Within a column the traces stay on their rows; only the step from one
        // column to the next crosses the gap between the letters and the band.
        for (int x = x0; x <= x1; ++x)
            for (int y = letterBottom + 1; y < bandTop; ++y)
                QVERIFY2(!isInk(image.pixel(x, y)),
                         qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
        if (runs.isEmpty()) {
            // Blank columns before the first letter carry only the flat band.
            if (darkColumns == 0)
                QVERIFY2(!ink, qPrintable(QStringLiteral("column %1").arg(c)));
            continue;
        }
        ++darkColumns;
        if (ink)
            ++inkedDarkColumns;
        // Each stroke's own screen rows are inked.
        for (const Run &run : runs) {
            bool strokeInk = false;
            const int y0 = int(std::floor(screenY(run.top))) - 1;
            const int y1 = int(std::ceil(screenY(run.bottom + 1))) + 1;
            for (int x = x0; x <= x1 && !strokeInk; ++x)
                for (int y = y0; y <= y1 && !strokeInk; ++y)
                    strokeInk = isInk(image.pixel(x, y));
            QVERIFY2(strokeInk, qPrintable(QStringLiteral("column %1 rows %2..%3")
                                               .arg(c).arg(run.top).arg(run.bottom)));
        }
    }
    QVERIFY(darkColumns > 100);
    QCOMPARE(inkedDarkColumns, darkColumns);

    // The flat line of the quiet traces runs across the bottom band.
    int bandInk = 0;
    for (int x = 100; x < size.width() - 100; x += 10)
        for (int y = bandTop; y < size.height() - 128; ++y)
            if (isInk(image.pixel(x, y))) {
                ++bandInk;
                break;
            }
    QVERIFY(bandInk > (size.width() - 200) / 10 - 2);

}

void TestWelcome::narrowWidgetStaysEmpty_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("narrower than the margins") << QSize(199, 600);
    QTest::newRow("exactly the margins") << QSize(200, 600);
    QTest::newRow("too low") << QSize(800, 220);
}

void TestWelcome::narrowWidgetStaysEmpty()
{
    QFETCH(QSize, size);
    WelcomeWidget widget;
    widget.resize(size);
    QVERIFY(!widget.traces().drawable(size));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    widget.render(&image);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QVERIFY(!isInk(image.pixel(x, y)));
}

void TestWelcome::emptyImageGivesNoTraces()
{
    const WelcomeTraces t = WelcomeTraces::buildFromImage(QImage(), 21);
    QVERIFY(t.traces.isEmpty());
    QVERIFY(!t.drawable(QSize(1000, 800)));
}

QTEST_MAIN(TestWelcome)
#include "tst_welcome.moc"
