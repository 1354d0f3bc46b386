#include "tools/orvalistool/render/rendercommand.h"

#include "modules/native/nativegraphbuilder.h"
#include "plot/dynamicspectrumwidget.h"
#include "tools/orvalistool/render/nativepicture.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <cstdio>
#include <utility>

namespace {

// "WxH" with both sides in [minimum, maximum].
bool sizeOption(const QString &text, int minimum, int maximum, QSize *size)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,6})[xX](\\d{1,6})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    const int w = match.captured(1).toInt();
    const int h = match.captured(2).toInt();
    if (w < minimum || w > maximum || h < minimum || h > maximum)
        return false;
    *size = QSize(w, h);
    return true;
}

// Largest side of a graph picture: a QImage row of it stays far below Qt's limits.
constexpr int maxGraphSide = 16384;
constexpr int minGraphSide = 64;

} // namespace

QString RenderCommand::summary() const
{
    return QStringLiteral("draws the native graph or the dynamic spectrum of files as PNG pictures");
}

void RenderCommand::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(QStringLiteral(
        "Draws native files as Orvalis-3 draws them, without a display:\n"
        "  the native graph: one beam's channel, or with --channel 0 (the default) the channel sum at "
        "--dm; --beam 0 draws every beam of an eight-beam module (the default there);\n"
        "  with --spectrum the dynamic spectrum of one beam with its channel sum at --dm above it, as "
        "\"Save spectrum all\" saves it (at most 12000 points, 1000 by default).\n"
        "OUT is the picture, or for several files a directory (an existing one, or a name ending in "
        "\"/\"), where each picture gets the name the program proposes when it saves one. Points are "
        "numbered as the program shows them. A failed picture leaves no file behind.\n"
        "Exit status: 0 when every picture was written, 1 when one was not, 2 for usage errors."));
    const auto option = [&parser](const QStringList &names, const char *help, const char *value) {
        parser.addOption({names, QString::fromLatin1(help), QString::fromLatin1(value)});
    };
    option({QStringLiteral("o"), QStringLiteral("output")}, "Output picture, or directory for several files.",
           "OUT");
    parser.addOption({QStringLiteral("spectrum"), QStringLiteral("Draw the dynamic spectrum.")});
    option({QStringLiteral("module")}, "Module number (default: the file's first).", "N");
    option({QStringLiteral("beam")}, "Beam number; 0: all beams (default: as the program opens the file).", "N");
    option({QStringLiteral("channel")}, "Channel number; 0: the channel sum (default 0; graph only).", "N");
    option({QStringLiteral("dm")}, "Dispersion measure of the channel sum, whole pc cm^-3 (default 0).", "DM");
    option({QStringLiteral("first")}, "Number of the first point (default: the file's first).", "N");
    option({QStringLiteral("count")}, "Number of points (default: the whole file; 1000 for --spectrum).", "N");
    option({QStringLiteral("size")}, "Size of the graph in pixels (default 1200x600).", "WxH");
    option({QStringLiteral("cell")}, "Size of one spectrum cell in pixels, 1 to 20 each (default 2x4).", "WxH");
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Native files."),
                                 QStringLiteral("FILE..."));
}

ToolStatus RenderCommand::run(const QCommandLineParser &parser, ToolConsole &console) const
{
    const auto usage = [this, &console](const QString &text) { return usageError(console, text); };
    const QStringList inputs = parser.positionalArguments();
    if (inputs.isEmpty())
        return usage(QStringLiteral("Name at least one file."));
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return usage(QStringLiteral("Give the output with -o OUT.png."));

    PictureRequest request;
    if (parser.isSet(QStringLiteral("spectrum")))
        request.kind = PictureKind::DynamicSpectrum;
    const bool spectrum = request.kind == PictureKind::DynamicSpectrum;
    std::optional<qint64> dm;
    if (!integerOption(parser, QStringLiteral("module"), &request.module)
        || !integerOption(parser, QStringLiteral("beam"), &request.beam)
        || !integerOption(parser, QStringLiteral("channel"), &request.channel)
        || !integerOption(parser, QStringLiteral("first"), &request.first)
        || !integerOption(parser, QStringLiteral("count"), &request.count))
        return usage(QStringLiteral("--module, --beam, --channel, --first and --count take whole numbers."));
    // The program's dispersion field takes whole numbers, and so does its channel sum.
    if (!integerOption(parser, QStringLiteral("dm"), &dm) || (dm && (*dm < 0 || *dm > 100000)))
        return usage(QStringLiteral("--dm takes a whole number from 0 (the program's dispersion field)."));
    request.dm = int(dm.value_or(0));
    if (spectrum && request.channel)
        return usage(QStringLiteral("--channel applies to the native graph; the spectrum shows every channel."));
    if (spectrum && parser.isSet(QStringLiteral("size")))
        return usage(QStringLiteral("The spectrum's size follows its points and cells: give --cell WxH."));
    if (!spectrum && parser.isSet(QStringLiteral("cell")))
        return usage(QStringLiteral("--cell applies to --spectrum; the graph takes --size WxH."));
    if (parser.isSet(QStringLiteral("size"))
        && !sizeOption(parser.value(QStringLiteral("size")), minGraphSide, maxGraphSide, &request.size))
        return usage(QStringLiteral("--size takes WxH, each from %1 to %2 pixels.").arg(minGraphSide).arg(maxGraphSide));
    if (parser.isSet(QStringLiteral("cell"))
        && !sizeOption(parser.value(QStringLiteral("cell")), 1, DynamicSpectrumWidget::maxCellSide, &request.cell))
        return usage(QStringLiteral("--cell takes WxH, each from 1 to %1 pixels.").arg(DynamicSpectrumWidget::maxCellSide));
    bool intoDirectory = false;
    if (const ToolStatus prepared = prepareOutput(inputs, output, &intoDirectory, console);
        prepared != ToolStatus::Success)
        return prepared;

    ToolStatus status = ToolStatus::Success;
    QSet<QString> written;
    for (const QString &input : inputs) {
        NativeFile file;
        PictureSelection selection;
        QString error;
        if (!loadInput(input, &file, console)) {
            status = ToolStatus::Failure;
            continue;
        }
        if (!pictureSelection(file, request, &selection, &error)) {
            console.error(input + QStringLiteral(": ") + error);
            status = ToolStatus::Failure;
            continue;
        }
        NativeGraphBuilder builder;
        builder.setFile(std::move(file));
        const QString target = intoDirectory
            ? QDir(output).filePath(defaultPictureName(builder, request.kind, selection))
            : output;
        const QImage image = spectrum ? drawDynamicSpectrum(builder, selection, request.cell)
                                      : drawNativeGraph(builder, selection, request.size);
        const QString absolute = QFileInfo(target).absoluteFilePath();
        if (image.isNull())
            error = QStringLiteral("There is nothing to draw: the file's samples are missing.");
        else if (sameFile(target, input))
            error = QStringLiteral("The picture would replace the file it is drawn from.");
        else if (written.contains(absolute))
            error = QStringLiteral("An earlier file of this run was drawn to the same name.");
        else if (writePicture(image, target, &error)) {
            written.insert(absolute);
            console.print(target + QLatin1Char('\n'));
            continue;
        }
        console.error(QStringLiteral("%1 -> %2: %3").arg(input, target, error));
        status = ToolStatus::Failure;
    }
    return status;
}

std::unique_ptr<QCoreApplication> RenderCommand::makeApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Text is sized for the usual desktop screen of 96 dpi, whatever the
    // platform reports, so that a picture is the same on every machine.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    // The tool says what went wrong itself; the off-screen platform's notes
    // about the desktop session (no runtime directory) would only clutter the
    // standard error of pipelines.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    return std::make_unique<QApplication>(argc, argv);
}
