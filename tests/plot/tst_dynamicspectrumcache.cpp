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

} // namespace

class TestDynamicSpectrumCache : public QObject
{
    Q_OBJECT

private slots:
    // What the image shows, sampled columns included, is checked through the
    // widget against rectangles drawn independently; here when it is built.
    void reusedUntilSomethingChanges()
    {
        SpectrumImageCache cache;
        const Rows rows{{1, 2, 3, 4}, {4, 3, 2, 1}};
        const QVector<float> lo{1, 1};
        const QVector<float> hi{4, 4};
        // Each change of generation, first point, scale or columns builds again.
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

    void emptyInput()
    {
        SpectrumImageCache cache;
        QVERIFY(cache.image(Rows{}, {}, {}, 1, 0, 3, false, range(0, 3)).isNull());
        QVERIFY(cache.image(Rows{{1, 2}}, {1}, {2}, 1, 1, 0, false, {0}).isNull());
        QCOMPARE(cache.builds(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDynamicSpectrumCache)
#include "tst_dynamicspectrumcache.moc"
