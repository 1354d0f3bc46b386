#include "plot/spectrumimagecache.h"

#include <QtTest>

#include <functional>
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
    void sampledColumns();
    void reusedUntilSomethingChanges();
    void emptyInput();
};

// The widget's tests check the grey levels of whole cells and of the visible
// window; here image columns repeat or skip cells, and the scale still covers
// first .. last.
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
    // Each change of cell width, first point, scale or columns builds again.
    const QVector<std::function<void()>> calls{
        [&] { cache.image(rows, lo, hi, 1, 0, 3, false, range(0, 3)); },
        [&] { cache.image(rows, lo, hi, 2, 0, 3, false, range(0, 3)); },
        [&] { cache.image(rows, lo, hi, 2, 1, 3, false, range(1, 3)); },
        [&] { cache.image(rows, lo, hi, 2, 1, 3, true, range(1, 3)); },
        [&] { cache.image(rows, lo, hi, 2, 1, 3, true, QVector<int>{1, 1, 2, 3}); }};
    for (int i = 0; i < calls.size(); ++i) {
        calls[i]();
        calls[i]();
        QCOMPARE(cache.builds(), i + 1);
    }
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
