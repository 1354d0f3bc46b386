#include "modules/native/nativegraphbuilder.h"

#include "astro/timecoords.h"
#include "data/channelsum.h"
#include "data/nativereader.h"
#include "data/nativetimes.h"
#include "plot/seriespalette.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

void NativeGraphBuilder::setFile(NativeFile file)
{
    m_file = std::move(file);
    m_sumKey.clear();
    m_sums.clear();
}

void NativeGraphBuilder::clear()
{
    setFile(NativeFile());
}

QVector<double> NativeGraphBuilder::channelSumCached(int module, int rayIndex, int disp, int first,
                                                     int count)
{
    const int moduleIndex = module - m_file.firstModule;
    if (!hasData() || moduleIndex < 0 || moduleIndex >= m_file.nModules || rayIndex < 0
        || rayIndex >= m_file.nRays || first < 0 || first >= m_file.npoints || count <= 0)
        return {};
    const QString key = QStringLiteral("%1|m=%2|disp=%3").arg(m_file.path).arg(module).arg(disp);
    if (key != m_sumKey) {
        m_sums.clear();
        m_sumKey = key;
    }
    auto it = m_sums.find(rayIndex);
    if (it == m_sums.end()) {
        QVector<double> sum;
        if (dispersedChannelSum(m_file, &sum, 0, disp, moduleIndex, rayIndex, m_file.npoints) < 1)
            return {};
        it = m_sums.insert(rayIndex, sum);
    }
    const int n = std::min(count, m_file.npoints - first);
    if (first == 0 && n == it->size())
        return *it;
    return it->mid(first, n);
}

QVector<GraphSeries> NativeGraphBuilder::buildNativeSeries(int module, int beam, int channel,
                                                           int first, int count, int disp)
{
    QVector<GraphSeries> series;
    const int moduleIndex = module - m_file.firstModule;
    if (!hasData() || moduleIndex < 0 || moduleIndex >= m_file.nModules || channel < 0
        || channel - 1 >= m_file.nChannels || first < 0 || first >= m_file.npoints || count < 1)
        return series;
    const int n = std::min(count, m_file.npoints - first);
    QVector<int> rays;
    if (beam == 0) {
        for (int r = 0; r < m_file.nRays; ++r)
            rays.append(r);
    } else if (beam - m_file.firstRay >= 0 && beam - m_file.firstRay < m_file.nRays) {
        rays.append(beam - m_file.firstRay);
    }
    for (const int r : rays) {
        const int rayNumber = m_file.firstRay + r;
        QVector<double> values;
        if (channel != 0) {
            values.resize(n);
            for (int i = 0; i < n; ++i)
                values[i] = nativeSample(m_file, moduleIndex, r, channel - 1, qint64(first) + i);
        } else {
            values = channelSumCached(module, r, disp, first, n);
        }
        if (values.isEmpty())
            continue;
        const QColor colour = rayNumber >= 1 && rayNumber <= 8 ? graphColours.value(rayNumber - 1)
                                                               : QColor(Qt::blue);
        const QString name = channel != 0
            ? QStringLiteral("Beam %1, channel %2").arg(rayNumber).arg(channel)
            : QStringLiteral("Beam %1, sum with disp=%2").arg(rayNumber).arg(disp);
        series.append(GraphSeries(name, values, colour));
    }
    // A file cut short on disk reads zeros where its data were: no curve.
    if (nativeSamplesLost(m_file))
        return {};
    return series;
}

QVector<QVector<float>> NativeGraphBuilder::spectrumRows(int module, int beam, int first, int count) const
{
    const int moduleIndex = module - m_file.firstModule;
    const int rayIndex = beam - m_file.firstRay;
    const int rows = std::max(m_file.nChannels - 1, 0);
    const int n = std::min(m_file.npoints - first, count);
    QVector<QVector<float>> result(rows);
    if (n <= 0)
        return result;
    for (int c = 0; c < rows; ++c) {
        QVector<float> &row = result[c];
        row.resize(n);
        for (int i = 0; i < n; ++i)
            row[i] = nativeSample(m_file, moduleIndex, rayIndex, c, qint64(first) + i);
    }
    return result;
}

GraphSpec NativeGraphBuilder::buildGraphSpec(int module, int beam, int channel, int first, int count,
                                             const QString &delta, bool rightPanel, int disp)
{
    GraphSpec spec;
    spec.series = buildNativeSeries(module, beam, channel, first, count, disp);
    if (spec.series.isEmpty())
        return spec;

    spec.key = QStringLiteral("%1|native|m=%2|r=%3|c=%4|first=%5|count=%6|disp=%7")
                   .arg(m_file.path)
                   .arg(module)
                   .arg(beam)
                   .arg(channel)
                   .arg(first)
                   .arg(count)
                   .arg(channel != 0 ? QStringLiteral("-") : QString::number(disp));
    spec.title = m_file.fileName.isEmpty() ? QFileInfo(m_file.path).fileName() : m_file.fileName;
    spec.infoLines << QStringLiteral("module=%1, beam=%2, channel=%3").arg(module).arg(beam).arg(channel);
    if (!m_file.localBeginDate.isEmpty())
        spec.infoLines << QStringLiteral("KVX date=%1").arg(m_file.localBeginDate);
    spec.yAxis.name = QStringLiteral("signal");
    spec.yAxis.title = channel != 0 ? QStringLiteral("native signal")
                               : QStringLiteral("channels sum with disp=%1").arg(disp);
    spec.yAxis.formatter = [](double value, int) { return QString::number(value, 'f', 2); };

    XAxisSpec &axis = spec.bottomAxis;
    axis.enabled = true;
    axis.tickSpacing = 100;
    const int n = spec.series.first().values.size();
    axis.xValues.resize(n);
    for (int i = 0; i < n; ++i)
        axis.xValues[i] = double(first) + i;

    // x is the index in the file; the user sees the point's number in the
    // observation, while its time and alpha count from the file's own begin.
    const qint64 firstPoint = m_file.firstPoint;
    AxisRow num;
    num.name = QStringLiteral("num");
    num.title = QStringLiteral("number of points");
    num.tickFormatter = [firstPoint](double x) { return QString::number(firstPoint + std::llround(x)); };
    axis.rows.append(num);

    const double tres = m_file.tresolution;
    AxisRow time;
    time.name = QStringLiteral("kvx_time");
    time.title = QStringLiteral("Moscow time");
    const QDateTime localStart = localBeginInstant(m_file);
    if (localStart.isValid() && tres > 0) {
        time.tickFormatter = [localStart, tres](double x) {
            if (!std::isfinite(x))
                return QString();
            const QDateTime at = samplePointTime(localStart, std::llround(x), tres);
            return at.isValid() ? at.time().toString(QStringLiteral("hh:mm:ss")) : QString();
        };
    } else {
        time.tickFormatter = [](double) { return QString(); };
    }
    axis.rows.append(time);

    AxisRow alpha;
    alpha.name = QStringLiteral("alpha");
    alpha.title = QStringLiteral("catalog J2000 coordinate");
    const auto tickAlpha = alphaFunction(delta, 0);
    const auto readoutAlpha = alphaFunction(delta, -1);
    alpha.tickFormatter = [tickAlpha](double x) {
        return std::isfinite(x) ? tickAlpha(std::llround(x)) : QString();
    };
    alpha.readoutFormatter = [readoutAlpha](double x, int) {
        return std::isfinite(x) ? readoutAlpha(std::llround(x)) : QString();
    };
    axis.rows.append(alpha);

    spec.zoomEnabled = true;
    spec.peakSelectionEnabled = false;
    spec.infoPanelVisible = rightPanel;
    return spec;
}

std::function<QString(qint64)> NativeGraphBuilder::alphaFunction(const QString &delta, int decimals) const
{
    const QDateTime start = utcBeginInstant(m_file);
    const double tres = m_file.tresolution;
    double deltaRadians = 0.0;
    if (!start.isValid() || !(tres > 0) || !parseDeclination(delta, &deltaRadians))
        return [](qint64) { return QString(); };
    const int d = decimals < 0 ? autoAlphaDecimals(tres) : decimals;
    return [start, tres, deltaRadians, d](qint64 point) {
        return alphaTextAtPoint(start, tres, deltaRadians, double(point), d);
    };
}

QString NativeGraphBuilder::alphaTextAt(qint64 point, const QString &delta, int decimals) const
{
    return alphaFunction(delta, decimals)(point);
}

AlphaSearchStatus NativeGraphBuilder::pointForAlpha(const QString &alpha, const QString &delta, int *point) const
{
    const QDateTime start = utcBeginInstant(m_file);
    double deltaRadians = 0.0;
    if (!start.isValid() || m_file.tresolution <= 0 || !parseDeclination(delta, &deltaRadians))
        return AlphaTextInvalid;
    int found = 0;
    const AlphaSearchStatus status =
        findPointForAlpha(start, m_file.tresolution, deltaRadians, alpha, 0, std::max(m_file.npoints - 1, 0),
                          autoAlphaDecimals(m_file.tresolution), &found);
    if (status == AlphaFound && point)
        *point = found;
    return status;
}

qint64 NativeGraphBuilder::pointNumber(qint64 index) const
{
    return nativePointNumber(m_file, index);
}

QString NativeGraphBuilder::pointText(qint64 index) const
{
    return QString::number(pointNumber(index));
}
