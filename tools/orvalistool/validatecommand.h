#pragma once

#include "tools/orvalistool/toolcommand.h"

// "validate PATH...": every native file among the paths (directories walked
// by the program's own listing rules) read and checked as the program opens
// it; one line per file, "ok" or the reason.
class ValidateCommand : public ToolCommand
{
public:
    QString name() const override { return QStringLiteral("validate"); }
    QString summary() const override;
    void describe(QCommandLineParser &parser) const override;
    ToolStatus run(const QCommandLineParser &parser, ToolConsole &console) const override;
};
