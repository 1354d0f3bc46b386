#pragma once

#include "tools/orvalistool/toolconsole.h"

#include "data/nativefile.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

// One subcommand of orvalis-tool: its name, its options and what it does.
// Subclasses are stateless between runs; the tool's main routine owns them.
class ToolCommand
{
public:
    virtual ~ToolCommand() = default;

    virtual QString name() const = 0;
    // One line for the tool's own help.
    virtual QString summary() const = 0;
    // True when the command draws with widgets and so needs a QApplication;
    // every other command runs on a QCoreApplication, without any display.
    virtual bool needsWidgets() const { return false; }
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
    // Where the outputs of the inputs go: the file OUT, or the directory OUT
    // (an existing one, or a name ending in "/", made when missing), which
    // several inputs need. Tells a usage error or a directory that cannot be
    // made on the console and returns its status; Success otherwise.
    ToolStatus prepareOutput(const QStringList &inputs, const QString &output, bool *intoDirectory,
                             ToolConsole &console) const;
    // Reads and checks an input as the program opens it, its samples mapped
    // so that the work streams from the file; tells why not on the console.
    static bool loadInput(const QString &input, NativeFile *file, ToolConsole &console);
    // True when both paths name the same existing file.
    static bool sameFile(const QString &a, const QString &b);
};

// A whole number option; unset stays unset. False when it is set but not a
// whole number.
bool integerOption(const QCommandLineParser &parser, const QString &name, std::optional<qint64> *value);
