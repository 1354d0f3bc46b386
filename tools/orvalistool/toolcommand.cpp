#include "tools/orvalistool/toolcommand.h"

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
