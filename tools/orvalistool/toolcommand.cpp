#include "tools/orvalistool/toolcommand.h"

#include "data/nativefileinfo.h"

#include <QDir>
#include <QFileInfo>

ToolStatus ToolCommand::execute(const QStringList &arguments, ToolConsole &console) const
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    describe(parser);
    if (!parser.parse(arguments))
        return usageError(console, parser.errorText());
    if (parser.isSet(help)) {
        // The parser's usage line names the program by its first argument.
        QString text = parser.helpText();
        const QString program = arguments.value(0);
        const int at = text.indexOf(program);
        if (!program.isEmpty() && at >= 0)
            text.replace(at, program.size(), QStringLiteral("orvalis-tool ") + name());
        console.print(text);
        return ToolStatus::Success;
    }
    return run(parser, console);
}

ToolStatus ToolCommand::usageError(ToolConsole &console, const QString &text) const
{
    console.error(text);
    console.error(QStringLiteral("Run \"orvalis-tool %1 --help\" for its options.").arg(name()));
    return ToolStatus::UsageError;
}

ToolStatus ToolCommand::prepareOutput(const QStringList &inputs, const QString &output, bool *intoDirectory,
                                      ToolConsole &console) const
{
    *intoDirectory = output.endsWith(QLatin1Char('/')) || QFileInfo(output).isDir();
    if (inputs.size() > 1 && !*intoDirectory)
        return usageError(console, QStringLiteral("Several files need an output directory: -o DIR/"));
    if (*intoDirectory && !QDir().mkpath(output)) {
        console.error(QStringLiteral("Cannot make the directory %1.").arg(output));
        return ToolStatus::Failure;
    }
    return ToolStatus::Success;
}

bool ToolCommand::loadInput(const QString &input, NativeFile *file, ToolConsole &console)
{
    QStringList problems;
    if (loadCheckedNativeFile(input, file, &problems,
                              console.progress(QStringLiteral("Reading ") + QFileInfo(input).fileName()),
                              SampleAccess::Mapped))
        return true;
    console.error(input + QStringLiteral(": ") + problems.join(QLatin1Char(' ')));
    return false;
}

bool ToolCommand::sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool integerOption(const QCommandLineParser &parser, const QString &name, std::optional<qint64> *value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toLongLong(&ok);
    return ok;
}
