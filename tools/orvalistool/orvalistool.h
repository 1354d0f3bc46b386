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

    // arguments as the application received them, the program first.
    ToolStatus run(const QStringList &arguments, ToolConsole &console) const;
    QString helpText() const;

private:
    std::vector<std::unique_ptr<ToolCommand>> m_commands;
};
