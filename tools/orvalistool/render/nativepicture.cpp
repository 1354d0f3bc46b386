#include "tools/orvalistool/render/nativepicture.h"

#include "astro/beamtables.h"
#include "modules/native/nativegraphbuilder.h"
#include "modules/native/nativerules.h"
#include "plot/dynamicspectrumwidget.h"
#include "plot/grafiks.h"

#include <QSaveFile>

#include <algorithm>

namespace {

QString rangeText(qint64 first, qint64 last)
{
    return QStringLiteral("%1-%2").arg(first).arg(last);
}

} // namespace

bool pictureSelection(const NativeFile &file, const PictureRequest &request, PictureSelection *selection,
                      QString *error)
{
    const bool graph = request.kind == PictureKind::NativeGraph;
    const qint64 lastModule = qint64(file.firstModule) + file.nModules - 1;
    const qint64 lastBeam = qint64(file.firstRay) + file.nRays - 1;
    const qint64 firstBeam = graph && allBeamsSelectable(file.firstRay, file.nRays) ? 0 : file.firstRay;
    const qint64 lastPoint = qint64(file.firstPoint) + file.npoints - 1;

    const qint64 module = request.module.value_or(file.firstModule);
    const qint64 beam = request.beam.value_or(firstBeam);
    const qint64 channel = request.channel.value_or(0);
    const qint64 first = request.first.value_or(file.firstPoint);
    const qint64 available = lastPoint - first + 1;
    const qint64 asked = request.count.value_or(graph ? available : defaultDynamicPoints);
    const qint64 count = std::min(asked, available);

    QString problem;
    if (module < file.firstModule || module > lastModule)
        problem = QStringLiteral("Module %1 is not in the file.").arg(module);
    else if (beam == 0 && !graph)
        problem = QStringLiteral("The dynamic spectrum shows a single beam.");
    else if (beam == 0 && firstBeam != 0)
        problem = QStringLiteral("Beam 0 (all beams) needs a file of eight beams numbered from 1.");
    else if (beam < firstBeam || beam > lastBeam)
        problem = QStringLiteral("Beam %1 is not in the file.").arg(beam);
    else if (channel < 0 || channel > file.nChannels)
        problem = QStringLiteral("Channel %1 is not in the file.").arg(channel);
    else if (first < file.firstPoint || first > lastPoint)
        problem = QStringLiteral("Point %1 is not in the file.").arg(first);
    else if (request.count && *request.count < 1)
        problem = QStringLiteral("--count takes at least one point.");
    else if (!graph && asked > maxDynamicSpectrumPoints)
        problem = QStringLiteral("The dynamic spectrum takes at most %1 points; give fewer with --count.")
                      .arg(maxDynamicSpectrumPoints);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem
                + QStringLiteral(" The file has modules %1, beams %2, channels 0-%3 (0: the channel sum) "
                                 "and points %4.")
                      .arg(rangeText(file.firstModule, lastModule), rangeText(firstBeam, lastBeam))
                      .arg(file.nChannels)
                      .arg(rangeText(file.firstPoint, lastPoint));
        return false;
    }
    selection->module = int(module);
    selection->beam = int(beam);
    selection->channel = int(channel);
    selection->first = int(first - file.firstPoint);
    selection->count = int(count);
    selection->dm = request.dm;
    selection->delta = beam != 0 ? beamDeclinationText(int(module), int(beam), file.plosh)
                                 : centralDeclinationText(int(module), file.plosh);
    return true;
}

QImage drawNativeGraph(NativeGraphBuilder &builder, const PictureSelection &selection, const QSize &size)
{
    const GraphSpec spec = builder.buildGraphSpec(selection.module, selection.beam, selection.channel,
                                                  selection.first, selection.count, selection.delta, false,
                                                  selection.dm);
    if (spec.series.isEmpty())
        return QImage();
    Grafiks plot;
    plot.resize(size);
    plot.setGraphSpec(spec);
    return plot.grab().toImage();
}

QImage drawDynamicSpectrum(NativeGraphBuilder &builder, const PictureSelection &selection, const QSize &cell)
{
    const NativeFile &file = builder.file();
    const QVector<QVector<float>> rows =
        builder.spectrumRows(selection.module, selection.beam, selection.first, selection.count);
    if (rows.isEmpty() || rows.first().isEmpty())
        return QImage();
    // Beside the native graph the spectrum's trace is the graph's channel sum,
    // cut from the sum of the whole file.
    const QVector<double> sum = builder.channelSumCached(selection.module, selection.beam - file.firstRay,
                                                         selection.dm, selection.first, selection.count);
    // The widget labels and reports point numbers; alphas go by the index.
    const int offset = int(builder.pointNumber(0));
    const auto alpha = builder.alphaFunction(selection.delta, 0);
    const SpectrumLook look;

    DynamicSpectrumWidget widget;
    widget.setImageTop(-1);
    widget.setAxisFont(look.scaleThickness, look.fontSize);
    widget.setCellSize(cell);
    widget.setTimeAxis(true, file.tresolution, [alpha, offset](int number) { return alpha(qint64(number) - offset); });
    widget.setTraceWidth(look.lineThickness);
    // Without a search point there is no dispersion line; the frequencies
    // still label the channel rows.
    widget.setDispersion(false, selection.dm, file.tresolution, file.fbands.mid(0, rows.size()), offset);
    widget.setTrace(sum, look.sumHeight);
    widget.setData(rows, offset + selection.first, -1, QString());
    return widget.renderFragment(offset + selection.first, selection.count);
}

QString defaultPictureName(const NativeGraphBuilder &builder, PictureKind kind, const PictureSelection &selection)
{
    const NativeFile &file = builder.file();
    const QString parent = file.nativeFileName.isEmpty() ? file.fileName : file.nativeFileName;
    const QString alpha = builder.alphaTextAt(selection.first + selection.count / 2, selection.delta, -1);
    return defaultSaveFileName(parent, alpha, selection.module, selection.beam, selection.count,
                               kind == PictureKind::NativeGraph ? QStringLiteral("native") : QStringLiteral("dynamic"),
                               QStringLiteral("png"));
}

bool writePicture(const QImage &image, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    if (!image.save(&file, "PNG")) {
        *error = file.error() != QFileDevice::NoError ? file.errorString()
                                                     : QStringLiteral("The picture could not be encoded.");
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
