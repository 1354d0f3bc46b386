#include "app/welcometraces.h"
#include "app/welcomewidget.h"
#include "tests/support/widgetprobe.h"

#include <QFontDatabase>
#include <QImage>
#include <QtTest>

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
    void initTestCase()
    {
        QVERIFY2(QFontDatabase().families().contains(QStringLiteral("Liberation Mono")),
                 "fonts-liberation is not installed");
    }

    void darkRule_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<bool>("dark");
        // 11*128 + 16*128 + 5*128 = 4096: exactly one half is not dark.
        QTest::newRow("half grey") << qRgb(128, 128, 128) << false;
        QTest::newRow("just below half") << qRgb(127, 128, 128) << true;
    }

    void darkRule()
    {
        QFETCH(QRgb, pixel);
        QFETCH(bool, dark);
        QCOMPARE(WelcomeTraces::isDark(pixel), dark);
    }

    void tracesFollowTheLetters()
    {
        const QImage image = WelcomeTraces::greetingImage();
        const WelcomeTraces t = WelcomeTraces::build();
        // The same on every build; none without a greeting.
        QCOMPARE(WelcomeTraces::build().traces, t.traces);
        const WelcomeTraces none = WelcomeTraces::buildFromImage(QImage(), 21);
        QVERIFY(none.traces.isEmpty() && !none.drawable(QSize(1000, 800)));
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

    // Drawn only where the margins leave room: nothing at all otherwise.
    void drawnOnlyWithRoom_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("exactly the margins") << QSize(200, 600) << false;
        QTest::newRow("too low") << QSize(800, 220) << false;
        QTest::newRow("room for the letters") << QSize(800, 600) << true;
    }

    void drawnOnlyWithRoom()
    {
        QFETCH(QSize, size);
        QFETCH(bool, drawn);
        WelcomeWidget widget;
        widget.resize(size);
        QCOMPARE(widget.traces().drawable(size), drawn);
        const QImage image = WidgetProbe::render(widget);
        QCOMPARE(WidgetProbe::countPixels(image, image.rect(), isInk) > 0, drawn);
    }
};

QTEST_MAIN(TestWelcome)
#include "tst_welcome.moc"
