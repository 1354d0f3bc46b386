#pragma once

#include "tools/orvalistool/progressline.h"

#include <QString>
#include <QTextStream>

// Exit statuses of the tool.
enum class ToolStatus { Success = 0, Failure = 1, UsageError = 2 };

// The tool's standard output (results) and standard error (problems and the
// progress line of long work), kept in step: an error line first clears the
// progress line. Owned by the tool's main routine, used on its only thread.
class ToolConsole
{
public:
    ToolConsole();

    // Writes text to standard output as it is.
    void print(const QString &text);
    // Writes a line to standard error.
    void error(const QString &line);
    // A progress callback showing label and percentage until the next call.
    NativeProgress progress(const QString &label) { return m_progress.track(label); }
    void endProgress() { m_progress.clear(); }

private:
    QTextStream m_out;
    QTextStream m_err;
    ProgressLine m_progress;
};
