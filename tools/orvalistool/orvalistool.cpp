#include "tools/orvalistool/orvalistool.h"

#include "tools/orvalistool/exportcommand.h"
#include "tools/orvalistool/infocommand.h"
#include "tools/orvalistool/validatecommand.h"

OrvalisTool::OrvalisTool()
{
    m_commands.push_back(std::make_unique<InfoCommand>());
    m_commands.push_back(std::make_unique<ValidateCommand>());
    m_commands.push_back(std::make_unique<ExportCommand>());
}

QString OrvalisTool::helpText() const
{
    QString text = QStringLiteral("Usage: orvalis-tool COMMAND [options] ARGUMENTS...\n"
                                  "The command-line companion of Orvalis-3 for KVX native observation files "
                                  "(.pnt, .pnthr, .txt).\n\nCommands:\n");
    for (const auto &command : m_commands)
        text += QStringLiteral("  %1%2\n").arg(command->name().leftJustified(10), command->summary());
    return text + QStringLiteral("\nRun \"orvalis-tool COMMAND --help\" for the options of a command.\n");
}

ToolStatus OrvalisTool::run(const QStringList &arguments, ToolConsole &console) const
{
    const QString name = arguments.value(1);
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        console.print(helpText());
        return ToolStatus::Success;
    }
    for (const auto &command : m_commands) {
        if (command->name() == name)
            return command->execute(QStringList(arguments.value(0)) + arguments.mid(2), console);
    }
    console.error(name.isEmpty() ? QStringLiteral("Name a command.") : QStringLiteral("Unknown command: ") + name);
    console.error(helpText());
    return ToolStatus::UsageError;
}
