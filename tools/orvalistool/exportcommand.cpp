#include "tools/orvalistool/exportcommand.h"

#include "astro/beamtables.h"
#include "astro/filenames.h"
#include "data/filterbankwriter.h"
#include "data/nativefileinfo.h"
#include "data/nativetext.h"
#include "data/prestowriter.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

struct FormatName
{
    const char *name;
    ExportFormat format;
    const char *suffix;
};

constexpr FormatName formats[] = {
    {"fil", ExportFormat::Filterbank, ".fil"},
    {"dat", ExportFormat::Presto, ""},
    {"pnt", ExportFormat::Binary, ".pnt"},
    {"txt", ExportFormat::Text, ".txt"},
};

const FormatName *formatNamed(const QString &name)
{
    for (const FormatName &f : formats) {
        if (name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

const FormatName &formatOf(ExportFormat format)
{
    for (const FormatName &f : formats) {
        if (f.format == format)
            return f;
    }
    return formats[0];
}

// A whole number option; unset stays unset. False when it is set but not a number.
bool integerOption(const QCommandLineParser &parser, const QString &name, std::optional<qint64> *value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toLongLong(&ok);
    return ok;
}

QString rangeText(qint64 first, qint64 count)
{
    return QStringLiteral("%1-%2").arg(first).arg(first + count - 1);
}

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

// Writes one selection; the paths written go to `written`.
bool writeExport(const QString &output, const NativeFile &file, const NativeSelection &selection,
                 const ExportRequest &request, const NativeProgress &progress, QStringList *written,
                 QString *error)
{
    switch (request.format) {
    case ExportFormat::Filterbank:
        *written << output;
        return writeFilterbank(output, file, selection, error, progress);
    case ExportFormat::Presto: {
        const QString base = prestoBasePath(output);
        *written << base + QStringLiteral(".dat") << base + QStringLiteral(".inf");
        return writePrestoTimeSeries(base, file, selection, request.dm, error, progress);
    }
    case ExportFormat::Binary:
        *written << output;
        return writeBinaryExtract(output, file, selection, error, progress);
    case ExportFormat::Text:
        *written << output;
        return writeTextExtract(output, file, selection, error, progress);
    }
    return false;
}

} // namespace

bool exportSelection(const NativeFile &file, const ExportRequest &request, NativeSelection *selection,
                     QString *error)
{
    const qint64 module = request.module.value_or(file.firstModule);
    const qint64 beam = request.beam.value_or(file.firstRay);
    const qint64 start = request.first.value_or(file.firstPoint) - file.firstPoint;
    const qint64 count = request.count.value_or(qint64(file.npoints) - start);
    const bool singleBeam = request.format != ExportFormat::Binary;
    // A number too large for the record's fields is as far out of range as -1.
    const auto narrow = [](qint64 value) {
        return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max() ? int(value)
                                                                                                     : -1;
    };
    selection->module = narrow(module);
    selection->ray = narrow(beam);
    selection->startPoint = narrow(start);
    selection->count = narrow(count);
    selection->delta = selection->ray != 0 ? beamDeclinationText(selection->module, selection->ray, file.plosh)
                                           : centralDeclinationText(selection->module, file.plosh);
    int moduleIndex = 0;
    QString problem;
    if (checkSelection(file, *selection, singleBeam, &moduleIndex, &problem))
        return true;
    if (error)
        *error = problem
            + QStringLiteral(" The file has modules %1, beams %2 and points %3.")
                  .arg(rangeText(file.firstModule, file.nModules), rangeText(file.firstRay, file.nRays),
                       rangeText(file.firstPoint, file.npoints));
    return false;
}

QString exportOutputPath(const QString &input, const QString &output, bool intoDirectory,
                         const ExportRequest &request, const NativeSelection &selection)
{
    if (!intoDirectory)
        return output;
    QString base = QFileInfo(input).completeBaseName();
    const QString tag = moduleRayTag(base);
    if (!tag.isEmpty())
        base.remove(tag);
    base += QStringLiteral("_m%1_r%2").arg(selection.module).arg(selection.ray);
    if (request.format == ExportFormat::Presto)
        base += QStringLiteral("_dm") + QString::number(request.dm, 'g', 12);
    return QDir(output).filePath(base + QLatin1String(formatOf(request.format).suffix));
}

QString ExportCommand::summary() const
{
    return QStringLiteral("writes a SIGPROC filterbank, a PRESTO time series or the program's extracts");
}

void ExportCommand::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(QStringLiteral(
        "Exports one beam of native files:\n"
        "  fil  SIGPROC filterbank of every frequency channel (highest frequency first, 32-bit floats);\n"
        "  dat  PRESTO time series (.dat and .inf) of the channel sum at --dm;\n"
        "  pnt  the program's binary extract (--beam 0: all eight beams);\n"
        "  txt  the program's text extract.\n"
        "OUT is the output file, or for several files a directory (an existing one, or a name ending "
        "in \"/\"), where each output is named after its file, module and beam. Points are numbered as "
        "the program shows them. A failed export leaves no file behind.\n"
        "Exit status: 0 when every file was exported, 1 when one was not, 2 for usage errors."));
    const auto option = [&parser](const QStringList &names, const char *help, const char *value) {
        parser.addOption({names, QString::fromLatin1(help), QString::fromLatin1(value)});
    };
    option({QStringLiteral("f"), QStringLiteral("format")}, "Output format: fil, dat, pnt or txt.", "FORMAT");
    option({QStringLiteral("o"), QStringLiteral("output")}, "Output file, or directory for several files.", "OUT");
    option({QStringLiteral("module")}, "Module number (default: the file's first).", "N");
    option({QStringLiteral("beam")}, "Beam number (default: the file's first).", "N");
    option({QStringLiteral("dm")}, "Dispersion measure of the channel sum, pc cm^-3 (dat; default 0).", "DM");
    option({QStringLiteral("first")}, "Number of the first point (default: the file's first).", "N");
    option({QStringLiteral("count")}, "Number of points (default: to the end of the file).", "N");
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Native files."), QStringLiteral("FILE..."));
}

ToolStatus ExportCommand::run(const QCommandLineParser &parser, ToolConsole &console) const
{
    const auto usage = [this, &console](const QString &text) { return usageError(console, text); };
    const QStringList inputs = parser.positionalArguments();
    if (inputs.isEmpty())
        return usage(QStringLiteral("Name at least one file."));
    const FormatName *format = formatNamed(parser.value(QStringLiteral("format")));
    if (!format)
        return usage(QStringLiteral("Give the format with --format fil, dat, pnt or txt."));
    const QString output = parser.value(QStringLiteral("output"));
    if (output.isEmpty())
        return usage(QStringLiteral("Give the output with -o OUT."));

    ExportRequest request;
    request.format = format->format;
    if (!integerOption(parser, QStringLiteral("module"), &request.module)
        || !integerOption(parser, QStringLiteral("beam"), &request.beam)
        || !integerOption(parser, QStringLiteral("first"), &request.first)
        || !integerOption(parser, QStringLiteral("count"), &request.count))
        return usage(QStringLiteral("--module, --beam, --first and --count take whole numbers."));
    if (parser.isSet(QStringLiteral("dm"))) {
        bool ok = false;
        request.dm = parser.value(QStringLiteral("dm")).toDouble(&ok);
        if (!ok || !std::isfinite(request.dm))
            return usage(QStringLiteral("--dm takes a number."));
        if (request.format != ExportFormat::Presto)
            return usage(QStringLiteral("--dm applies to the channel sum of --format dat only."));
    }
    const bool intoDirectory = output.endsWith(QLatin1Char('/')) || QFileInfo(output).isDir();
    if (inputs.size() > 1 && !intoDirectory)
        return usage(QStringLiteral("Several files need an output directory: -o DIR/"));
    if (intoDirectory && !QDir().mkpath(output)) {
        console.error(QStringLiteral("Cannot make the directory %1.").arg(output));
        return ToolStatus::Failure;
    }

    ToolStatus status = ToolStatus::Success;
    for (const QString &input : inputs) {
        NativeFile file;
        QStringList problems;
        NativeSelection selection;
        QString error;
        // Mapped, so that the export streams from the file instead of holding it.
        if (!loadCheckedNativeFile(input, &file, &problems,
                                   console.progress(QStringLiteral("Reading ") + QFileInfo(input).fileName()),
                                   SampleAccess::Mapped)) {
            console.error(input + QStringLiteral(": ") + problems.join(QLatin1Char(' ')));
            status = ToolStatus::Failure;
            continue;
        }
        if (!exportSelection(file, request, &selection, &error)) {
            console.error(input + QStringLiteral(": ") + error);
            status = ToolStatus::Failure;
            continue;
        }
        const QString target = exportOutputPath(input, output, intoDirectory, request, selection);
        QStringList written;
        if (sameFile(target, input))
            error = QStringLiteral("The output would replace the file it is made from.");
        else if (writeExport(target, file, selection, request,
                             console.progress(QStringLiteral("Writing ") + QFileInfo(target).fileName()), &written,
                             &error)) {
            console.print(written.join(QLatin1Char('\n')) + QLatin1Char('\n'));
            continue;
        }
        console.error(QStringLiteral("%1 -> %2: %3").arg(input, target, error));
        status = ToolStatus::Failure;
    }
    return status;
}
