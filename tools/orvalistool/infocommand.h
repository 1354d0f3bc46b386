#pragma once

#include "tools/orvalistool/toolcommand.h"

// "info FILE...": what the program reads from each native file, and the
// problems that would stop it from showing the file; text or JSON lines.
class InfoCommand : public ToolCommand
{
public:
    QString name() const override { return QStringLiteral("info"); }
    QString summary() const override;
    void describe(QCommandLineParser &parser) const override;
    ToolStatus run(const QCommandLineParser &parser, ToolConsole &console) const override;
};
