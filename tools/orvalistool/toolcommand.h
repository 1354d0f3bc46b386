#pragma once

#include "tools/orvalistool/toolconsole.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// One subcommand of orvalis-tool: its name, its options and what it does.
// Subclasses are stateless between runs; the tool's main routine owns them.
class ToolCommand
{
public:
    virtual ~ToolCommand() = default;

    virtual QString name() const = 0;
    // One line for the tool's own help.
    virtual QString summary() const = 0;
    // Adds the description, options and positional arguments to the parser.
    virtual void describe(QCommandLineParser &parser) const = 0;
    // Runs on parsed arguments (help already handled); returns the exit status.
    virtual ToolStatus run(const QCommandLineParser &parser, ToolConsole &console) const = 0;

    // Parses arguments (the first is the program as the application was
    // started, which the parser's usage line shows), answers --help, and
    // reports unknown options and missing values as usage errors.
    ToolStatus execute(const QStringList &arguments, ToolConsole &console) const;

protected:
    // Says what is wrong with the command line and where the options are told.
    ToolStatus usageError(ToolConsole &console, const QString &text) const;
};
