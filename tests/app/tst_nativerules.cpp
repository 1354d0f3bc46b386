#include "modules/native/imagetitlepreview.h"
#include "modules/native/nativerules.h"

#include "tests/support/widgetprobe.h"

#include <QtTest>

namespace {

// What each row of the point-range table asks for.
enum RangeRule { Clamp, Visible, Followed, Centred };

} // namespace

class TestNativeRules : public QObject
{
    Q_OBJECT

private slots:
    void defaultFileName_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("alpha");
        QTest::addColumn<int>("module");
        QTest::addColumn<int>("beam");
        QTest::addColumn<qint64>("number");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("expected");

        QTest::newRow("example") << "250726_00.pnt" << "05:34:31.250" << 3 << 5 << qint64(2000) << "native" << "png"
                                 << "J053431_file250726_m3_r5_n2000_native.png";
        QTest::newRow("cut tail") << "/data/250726_00_p12-340.pnthr" << "05:34:31" << 1 << 2 << qint64(7) << ""
                                  << "pnthr" << "J053431_file250726_m1_r2_n7.pnthr";
        QTest::newRow("windows parent") << "C:\\data\\010415_13_N1_00.pnt" << "12:00:01" << 2 << 0 << qint64(10)
                                        << "dynamic" << "png" << "J120001_file010415_13_N1_m2_r0_n10_dynamic.png";
        QTest::newRow("short alpha, negative number") << "a_00.pnt" << "1:2" << 1 << 1 << qint64(-4) << "" << "pnt"
                                                      << "J12_filea_m1_r1_n0.pnt";
    }

    void defaultFileName()
    {
        QFETCH(QString, source);
        QFETCH(QString, alpha);
        QFETCH(int, module);
        QFETCH(int, beam);
        QFETCH(qint64, number);
        QFETCH(QString, tag);
        QFETCH(QString, extension);
        QTEST(defaultSaveFileName(source, alpha, module, beam, number, tag, extension), "expected");
    }

    void pointRanges_data()
    {
        // Clamp: the first point and count asked for; Visible and Followed: the
        // graph's x range a..b; Centred: the point and the count of the window.
        QTest::addColumn<int>("rule");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<int>("npoints");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        const auto row = [](const char *name, RangeRule rule, double a, double b, int npoints, int first, int count) {
            QTest::newRow(name) << int(rule) << a << b << npoints << first << count;
        };
        row("clamped, count beyond end", Clamp, 90, 20, 100, 90, 10);
        row("clamped, first beyond end", Clamp, 500, 20, 100, 99, 1);
        row("clamped, negative first", Clamp, -5, 20, 100, 0, 20);
        row("clamped, zero count", Clamp, 3, 0, 100, 3, 1);
        row("clamped, empty file", Clamp, 3, 5, 0, 0, 0);
        row("visible, fractions", Visible, 10.2, 19.8, 100, 11, 9);
        row("visible, beyond file", Visible, -50, 1e9, 100, 0, 100);
        row("visible, no whole point", Visible, 10.2, 10.8, 100, 11, 0);
        row("visible, not a number", Visible, std::nan(""), 5, 100, 0, 6);
        row("followed, no whole point keeps one", Followed, 10.2, 10.8, 100, 11, 1);
        row("centred, middle", Centred, 500, 100, 1000, 450, 100);
        row("centred, near start", Centred, 10, 100, 1000, 0, 100);
        row("centred, near end", Centred, 990, 100, 1000, 900, 100);
    }

    void pointRanges()
    {
        QFETCH(int, rule);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(int, npoints);
        PointRange r;
        if (rule == Clamp)
            r = clampPointRange(qint64(a), qint64(b), npoints);
        else if (rule == Centred)
            r = {centredFirstPoint(qint64(a), int(b), npoints), int(b)};
        else
            r = rule == Visible ? visiblePointRange(a, b, npoints) : followedPointRange(a, b, npoints);
        QTEST(r.first, "first");
        QTEST(r.count, "count");
    }

    // A points field that is no number counts as 0; a huge one stays an int. A click
    // takes the nearest point inside the file.
    void pointsFieldAndClicks()
    {
        QCOMPARE(pointsFieldValue(QStringLiteral("lots")), 0);
        QCOMPARE(pointsFieldValue(QStringLiteral(" 250 ")), 250);
        QCOMPARE(pointsFieldValue(QStringLiteral("99999999999")), 2147483647);
        QCOMPARE(clickedPoint(2.5, 100), 3);
        QCOMPARE(clickedPoint(2.49, 100), 2);
        QCOMPARE(clickedPoint(1e12, 100), 99);
    }

    void searchPointText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("first");
        QTest::addColumn<int>("point"); // -1: refused

        QTest::newRow("last") << "999" << qint64(0) << 999;
        QTest::newRow("npoints") << "1000" << qint64(0) << -1;
        QTest::newRow("letters") << "12a" << qint64(0) << -1;
        QTest::newRow("beyond 32 bits") << "4294967296" << qint64(0) << -1;
        // An extract numbers its points from its first point in the observation.
        QTest::newRow("extract's first") << "1000" << qint64(1000) << 0;
        QTest::newRow("before the extract") << "999" << qint64(1000) << -1;
        QTest::newRow("after the extract") << "2000" << qint64(1000) << -1;
    }

    void searchPointText()
    {
        QFETCH(QString, text);
        QFETCH(qint64, first);
        int result = -1;
        const bool accepted = parseSearchPoint(text, first, 1000, &result);
        QTEST(result, "point");
        QCOMPARE(accepted, result >= 0);
    }

    void spectrumColumns()
    {
        // Cells 4 px wide, image at x 0 (so the first column starts at -2), scrolled
        // by 100 px with a viewport 200 px wide: columns 25 .. 75.
        const auto columns = [](const PointRange &r) { return qMakePair(r.first, r.count); };
        QCOMPARE(columns(visibleSpectrumColumns(1000, 500, 4, 0, 100, 200)), qMakePair(1025, 51));
        // Scrolled past the end: the last column only.
        QCOMPARE(columns(visibleSpectrumColumns(0, 10, 4, 0, 1000, 200)), qMakePair(9, 1));
        // A cell width of 0 counts as 1.
        QCOMPARE(columns(visibleSpectrumColumns(0, 1000, 0, 0, 0, 100)), qMakePair(0, 101));
        QCOMPARE(visibleSpectrumColumns(0, 0, 4, 0, 0, 100).count, 0);
    }

    void animation()
    {
        // 200 points/s for 33 ms: 6.6 points, 6 taken, 0.6 carried.
        AnimationStep s = animationStep(10, 1000, 200, 33, 0.0);
        QVERIFY(s.value == 16 && qAbs(s.accumulator - 0.6) < 1e-9 && !s.finished);
        // Less than a point: nothing moves, all is carried with what was carried before.
        s = animationStep(17, 1000, 1, 33, 0.1);
        QVERIFY(s.value == 17 && qAbs(s.accumulator - 0.133) < 1e-9);
        // Reaching the end stops at the maximum.
        s = animationStep(995, 1000, 10000, 33, 0.0);
        QVERIFY(s.value == 1000 && s.finished);
        // The window shows what fits in the viewport, at most the file, at least a point.
        QCOMPARE(animationWindowPoints(800, 2, 100000), 400);
        QCOMPARE(animationWindowPoints(800, 2, 300), 300);
        QCOMPARE(animationWindowPoints(800, 0, 100000), 800);
    }

    void extractExtensionAndHeaderLines()
    {
        QCOMPARE(binaryExtractExtension(QStringLiteral("C:\\data\\010415_13_N1_00.PNTHR")), QStringLiteral("pnthr"));
        QCOMPARE(binaryExtractExtension(QStringLiteral("250726_00.txt")), QStringLiteral("pnt"));
        QCOMPARE(headerLinesHtml(QStringLiteral("Search point:\npoint = 5\nalpha = a<b & c")),
                 QStringLiteral("Search point:<br>point = 5<br>alpha = a&lt;b &amp; c"));
    }

    void titledImage()
    {
        const auto hasInk = [](const QImage &image, int x0, int x1, int height) {
            return WidgetProbe::countPixels(image, QRect(x0, 0, x1 - x0, height), WidgetProbe::isDark) > 0;
        };
        QImage picture(300, 80, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 30));
        QCOMPARE(ImageTitlePreview::titledImage(picture, QString(), 12), picture);

        const QImage titled = ImageTitlePreview::titledImage(picture, QStringLiteral("B0329+54"), 12);
        const int band = titled.height() - picture.height();
        QVERIFY(band > 10);
        // The picture sits unchanged under the band.
        QCOMPARE(titled.copy(0, band, 300, 80).convertToFormat(QImage::Format_RGB32), picture);
        // A short title is centred: no ink near either edge, ink in the middle.
        QVERIFY(!hasInk(titled, 0, 3, band) && !hasInk(titled, 297, 300, band) && hasInk(titled, 120, 180, band));

        // A title wider than the picture starts at the left edge.
        const QImage wide = ImageTitlePreview::titledImage(
            picture, QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"), 20);
        QVERIFY(hasInk(wide, 0, 6, wide.height() - picture.height()));
    }
};

QTEST_MAIN(TestNativeRules)
#include "tst_nativerules.moc"
