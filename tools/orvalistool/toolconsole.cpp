#include "tools/orvalistool/toolconsole.h"

ToolConsole::ToolConsole() : m_out(stdout), m_err(stderr) {}

void ToolConsole::print(const QString &text)
{
    m_progress.clear();
    m_out << text;
    m_out.flush();
}

void ToolConsole::error(const QString &line)
{
    m_progress.clear();
    m_err << line << '\n';
    m_err.flush();
}
