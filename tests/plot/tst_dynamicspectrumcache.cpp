#include "plot/spectrumimagecache.h"

#include <QtTest>

#include <numeric>

namespace {

using Rows = QVector<QVector<float>>;

QVector<int> range(int first, int last)
{
    QVector<int> columns(last - first + 1);
    std::iota(columns.begin(), columns.end(), first);
    return columns;
}

int grey(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qAlpha(c) == 255 ? qRed(c) : -1;
}

} // namespace

class TestDynamicSpectrumCache : public QObject
{
    Q_OBJECT

private slots:
    void cellsAndRowOrder();
    void perWindowScale();
    void sampledColumns();
    void reusedUntilSomethingChanges();
    void emptyInput();
};

void TestDynamicSpectrumCache::cellsAndRowOrder()
{
    SpectrumImageCache cache;
    const Rows rows{{0, 2, 4}, {8, 8, 8}};
    const QVector<float> lo{0, 8};
    const QVector<float> hi{4, 8};
    const QImage &image = cache.image(rows, lo, hi, 1, 0, 2, false, range(0, 2));
    QCOMPARE(image.size(), QSize(3, 2));
    // Row 0 is the bottom line of the image.
    QCOMPARE(grey(image, 0, 1), 255);
    QCOMPARE(grey(image, 1, 1), 128); // 127.5 rounds up
    QCOMPARE(grey(image, 2, 1), 0);
    for (int x = 0; x < 3; ++x)
        QCOMPARE(grey(image, x, 0), 255); // flat row
}

void TestDynamicSpectrumCache::perWindowScale()
{
    SpectrumImageCache cache;
    const Rows rows{{0, 10, 20, 30, 40, 50}};
    const QVector<float> lo{0};
    const QVector<float> hi{50};
    QImage whole = cache.image(rows, lo, hi, 1, 2, 4, false, range(2, 4));
    QCOMPARE(whole.width(), 3);
    QCOMPARE(grey(whole, 0, 0), 153); // (50 - 20) * 255 / 50
    QCOMPARE(grey(whole, 2, 0), 51);
    const QImage &window = cache.image(rows, lo, hi, 1, 2, 4, true, range(2, 4));
    QCOMPARE(grey(window, 0, 0), 255);
    QCOMPARE(grey(window, 1, 0), 128);
    QCOMPARE(grey(window, 2, 0), 0);
}

// Image columns may repeat or skip cells; the scale still covers first .. last.
void TestDynamicSpectrumCache::sampledColumns()
{
    SpectrumImageCache cache;
    QVector<float> ramp(100);
    for (int c = 0; c < 100; ++c)
        ramp[c] = float(c);
    const Rows rows{ramp};
    const QVector<int> columns{10, 10, 37, 60, 99};
    const QImage &image = cache.image(rows, {0}, {99}, 3, 10, 99, true, columns);
    QCOMPARE(image.width(), 5);
    QCOMPARE(grey(image, 0, 0), 255);
    QCOMPARE(grey(image, 1, 0), 255);
    QCOMPARE(grey(image, 2, 0), 178); // scale 10..99: (99 - 37) * 255 / 89 = 177.6
    QCOMPARE(grey(image, 3, 0), 112); // (99 - 60) * 255 / 89 = 111.7
    QCOMPARE(grey(image, 4, 0), 0);
}

void TestDynamicSpectrumCache::reusedUntilSomethingChanges()
{
    SpectrumImageCache cache;
    const Rows rows{{1, 2, 3, 4}, {4, 3, 2, 1}};
    const QVector<float> lo{1, 1};
    const QVector<float> hi{4, 4};
    cache.image(rows, lo, hi, 1, 0, 3, false, range(0, 3));
    QCOMPARE(cache.builds(), 1);
    cache.image(rows, lo, hi, 1, 0, 3, false, range(0, 3));
    QCOMPARE(cache.builds(), 1);
    cache.image(rows, lo, hi, 2, 0, 3, false, range(0, 3));
    QCOMPARE(cache.builds(), 2);
    cache.image(rows, lo, hi, 2, 1, 3, false, range(1, 3));
    QCOMPARE(cache.builds(), 3);
    cache.image(rows, lo, hi, 2, 1, 3, true, range(1, 3));
    QCOMPARE(cache.builds(), 4);
    cache.image(rows, lo, hi, 2, 1, 3, true, QVector<int>{1, 1, 2, 3});
    QCOMPARE(cache.builds(), 5);
    cache.image(rows, lo, hi, 2, 1, 3, true, QVector<int>{1, 1, 2, 3});
    QCOMPARE(cache.builds(), 5);
    cache.clear();
    cache.image(rows, lo, hi, 2, 1, 3, true, QVector<int>{1, 1, 2, 3});
    QCOMPARE(cache.builds(), 6);
}

void TestDynamicSpectrumCache::emptyInput()
{
    SpectrumImageCache cache;
    QVERIFY(cache.image(Rows{}, {}, {}, 1, 0, 3, false, range(0, 3)).isNull());
    QVERIFY(cache.image(Rows{{1, 2}}, {1}, {2}, 1, 0, 1, false, {}).isNull());
    QVERIFY(cache.image(Rows{{1, 2}}, {1}, {2}, 1, 1, 0, false, {0}).isNull());
    QCOMPARE(cache.builds(), 0);
}

QTEST_GUILESS_MAIN(TestDynamicSpectrumCache)
#include "tst_dynamicspectrumcache.moc"
