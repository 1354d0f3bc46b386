#include "astro/timecoords.h"
#include "astro/beamtables.h"
#include "data/channelsum.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "modules/native/nativegraphbuilder.h"
#include "plot/seriespalette.h"
#include "tests/support/nativemoduleprobe.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

SyntheticObservation::Params smallParams()
{
    return NativeModuleProbe::pulsarParams(3000);
}

NativeFile makeFile(const SyntheticObservation::Params &p)
{
    NativeFile file = SyntheticObservation(p).toNativeFile(QStringLiteral("/data/obs_00.pnt"));
    file.path = QStringLiteral("/data/obs_00.pnt");
    return file;
}

} // namespace

class TestNativeGraphBuilder : public QObject
{
    Q_OBJECT

private slots:
    // One curve per beam in the beam's colour, the channel sums (cached per ray),
    // refused selections, and the axis rows under the curves.
    void seriesSumsAndAxesOfOneFile()
    {
        NativeGraphBuilder builder;
        builder.setFile(makeFile(smallParams()));
        const NativeFile &file = builder.file();
        const QString delta = QStringLiteral("54:34:43");
        const GraphSpec spec = builder.buildGraphSpec(1, 0, 2, 100, 50, delta, true, 0);
        QCOMPARE(spec.series.size(), 8);
        for (int r = 0; r < 8; ++r) {
            QCOMPARE(spec.series[r].color, graphColours[r]);
            QCOMPARE(spec.series[r].values.size(), 50);
            // Raw samples of channel index 1 straight from the record.
            QCOMPARE(spec.series[r].values[7], double(nativeSample(file, 0, r, 1, 107)));
        }
        const GraphSpec sum = builder.buildGraphSpec(1, 2, 0, 200, 300, QString(), true, 0);
        QCOMPARE(sum.series[0].name, QStringLiteral("Beam 2, sum with disp=0"));
        QVERIFY(sum.key.startsWith(QStringLiteral("/data/obs_00.pnt|native|m=1|r=2|c=0|first=200|count=300")));
        QVERIFY(builder.buildGraphSpec(1, 2, 3, 200, 300, QString(), true, 55).key.endsWith(QStringLiteral("disp=-")));
        // A sum curve is the core's dispersed sum of that beam at that dispersion, over the range.
        QVector<double> reference;
        QCOMPARE(dispersedChannelSum(file, &reference, 0, 40.0, 0, 1, file.npoints), file.npoints);
        QCOMPARE(builder.buildGraphSpec(1, 2, 0, 200, 300, QString(), true, 40).series[0].values, reference.mid(200, 300));

        // The dispersed sum of a ray is computed once for the whole file and cut to the
        // range asked for (at the file's end); another dispersion replaces the cached sums.
        const QVector<double> whole = builder.channelSumCached(1, 3, 10, 0, 3000);
        QCOMPARE(builder.cachedSumCount(), 1);
        QCOMPARE(builder.channelSumCached(1, 3, 10, 1000, 50), whole.mid(1000, 50));
        QCOMPARE(builder.channelSumCached(1, 3, 10, 2990, 50).size(), 10);
        builder.channelSumCached(1, 4, 10, 0, 10);
        QCOMPARE(builder.cachedSumCount(), 2);
        // Module, beam, channel, first point and count out of range, one at a time, give nothing.
        const QVector<QVector<int>> refused{{2, 0, 0, 0, 10}, {0, 0, 0, 0, 10}, {1, 9, 1, 0, 10}, {1, 1, 8, 0, 10},
                                            {1, 1, -1, 0, 10}, {1, 1, 1, 3000, 10}, {1, 1, 1, 0, 0}};
        for (const QVector<int> &c : refused) {
            const GraphSpec none = builder.buildGraphSpec(c[0], c[1], c[2], c[3], c[4], QString(), true, 0);
            QVERIFY2(none.series.isEmpty() && none.key.isEmpty(), qPrintable(QString::number(c[0] * 10 + c[1])));
        }
        QVERIFY(builder.channelSumCached(1, 8, 0, 0, 10).isEmpty());
        QVERIFY(NativeGraphBuilder().buildGraphSpec(1, 0, 0, 0, 10, QString(), true, 0).series.isEmpty());
        // The total channel (number = channel count) is still a channel.
        QCOMPARE(builder.buildGraphSpec(1, 1, 7, 0, 10, QString(), true, 0).series.size(), 1);

        // Point numbers, local time and alpha under the curve.
        const XAxisSpec axis = builder.buildGraphSpec(1, 1, 1, 500, 100, delta, true, 0).bottomAxis;
        QCOMPARE(axis.xValues.first(), 500.0);
        QCOMPARE(axis.xValues.last(), 599.0);
        QCOMPARE(axis.rows[0].tickFormatter(512.0), QStringLiteral("512"));
        // Local start 05:00:00; point 1000 at 12.4928 ms per point is 12.49 s later.
        QCOMPARE(axis.rows[1].tickFormatter(1000.0), QStringLiteral("05:00:12"));
        QCOMPARE(axis.rows[2].tickFormatter(700.0), builder.alphaTextAt(700, delta, 0));
        QCOMPARE(axis.rows[2].readoutFormatter(700.4, 0), builder.alphaTextAt(700, delta, -1));
        QCOMPARE(axis.rows[2].readoutFormatter(700.5, 0), builder.alphaTextAt(701, delta, -1));
        // The search for an alpha stays inside the file: a minute past its last point is not found.
        const QStringList last = builder.alphaTextAt(2999, delta, 0).split(QLatin1Char(':'));
        const QString later = QStringLiteral("%1:%2:%3").arg(last[0]).arg(last[1].toInt() + 1, 2, 10, QLatin1Char('0')).arg(last[2]);
        int point = -1;
        QCOMPARE(builder.pointForAlpha(later, delta, &point), AlphaNotFound);
        // A delta that does not parse empties the alpha row.
        const XAxisSpec north = builder.buildGraphSpec(1, 1, 1, 0, 100, QStringLiteral("north"), true, 0).bottomAxis;
        QCOMPARE(north.rows[2].tickFormatter(5.0), QString());

        // Without the UTC date there is no alpha at all.
        NativeFile noUtc = makeFile(smallParams());
        noUtc.utcBeginDate.clear();
        builder.setFile(noUtc);
        QCOMPARE(builder.cachedSumCount(), 0);
        const GraphSpec withoutAlpha = builder.buildGraphSpec(1, 1, 1, 0, 100, delta, true, 0);
        QCOMPARE(withoutAlpha.series.size(), 1);
        QCOMPARE(withoutAlpha.bottomAxis.rows[2].tickFormatter(10.0), QString());
        QCOMPARE(builder.pointForAlpha(QStringLiteral("03:00:00"), delta, &point), AlphaTextInvalid);

        // A file of beams 3 and 4: their own colours; beam 1 does not exist here.
        SyntheticObservation::Params p = smallParams();
        p.firstRay = 3;
        p.nRays = 2;
        builder.setFile(makeFile(p));
        const GraphSpec two = builder.buildGraphSpec(1, 0, 1, 0, 10, QString(), false, 0);
        QCOMPARE(two.series.size(), 2);
        QCOMPARE(two.series[0].color, graphColours[2]);
        QCOMPARE(two.series[1].name, QStringLiteral("Beam 4, channel 1"));
        QCOMPARE(builder.buildGraphSpec(1, 3, 1, 0, 10, QString(), false, 0).series.size(), 1);
        QVERIFY(builder.buildGraphSpec(1, 1, 1, 0, 10, QString(), false, 0).series.isEmpty());
    }

    // Points 1000.. of a file (itself an extract from point 250) saved as an extract
    // and opened again: the first point of the extract shows the same number,
    // telescope time and alpha as that point of the source.
    void extractShowsItsSourcesPoints()
    {
        QTemporaryDir dir;
        SyntheticObservation::Params p = smallParams();
        p.firstPoint = 250;
        // A begin time with milliseconds, which the alpha read-out shows.
        p.utcBegin = p.utcBegin.addMSecs(660);
        const QString sourcePath = dir.filePath(QStringLiteral("source_00.pnt"));
        QString error;
        QVERIFY2(SyntheticObservation(p).write(sourcePath, &error), qPrintable(error));
        NativeFile source;
        QVERIFY(readNativeFile(sourcePath, &source));

        const QString delta = beamDeclinationText(1, 3, source.plosh);
        const NativeSelection selection{1, 3, 1000, 600, delta};
        const QString extractPath = dir.filePath(QStringLiteral("cut.pnt"));
        QVERIFY2(writeBinaryExtract(extractPath, source, selection, &error), qPrintable(error));
        NativeFile extract;
        QVERIFY(readNativeFile(extractPath, &extract));

        NativeGraphBuilder from;
        from.setFile(source);
        NativeGraphBuilder cut;
        cut.setFile(extract);
        const GraphSpec sourceSpec = from.buildGraphSpec(1, 3, 1, 1000, 600, delta, true, 0);
        const GraphSpec cutSpec = cut.buildGraphSpec(1, 3, 1, 0, 600, delta, true, 0);
        QCOMPARE(cutSpec.series.value(0).values, sourceSpec.series.value(0).values);
        const double sourceX = sourceSpec.bottomAxis.xValues.first();
        const double cutX = cutSpec.bottomAxis.xValues.first();
        for (int row = 0; row < 3; ++row) {
            const AxisRow &a = sourceSpec.bottomAxis.rows[row];
            const AxisRow &b = cutSpec.bottomAxis.rows[row];
            QCOMPARE(b.tickFormatter(cutX), a.tickFormatter(sourceX));
            if (a.readoutFormatter)
                QCOMPARE(b.readoutFormatter(cutX, 0), a.readoutFormatter(sourceX, 0));
        }
    }
};

QTEST_MAIN(TestNativeGraphBuilder)
#include "tst_nativegraphbuilder.moc"
