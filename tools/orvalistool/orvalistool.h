#pragma once

#include "tools/orvalistool/toolcommand.h"

#include <memory>
#include <vector>

// orvalis-tool: picks the subcommand named by the first argument and runs
// it; answers the tool's own --help. Owns the subcommands; one per run.
class OrvalisTool
{
public:
    OrvalisTool();

    // Adds a command built outside the core (render, which draws with widgets).
    void addCommand(std::unique_ptr<ToolCommand> command);
    // The command of that name; null when there is none.
    const ToolCommand *command(const QString &name) const;

    // arguments as the application received them, the program first.
    ToolStatus run(const QStringList &arguments, ToolConsole &console) const;
    QString helpText() const;

private:
    std::vector<std::unique_ptr<ToolCommand>> m_commands;
};
