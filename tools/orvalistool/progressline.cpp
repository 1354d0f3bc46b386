#include "tools/orvalistool/progressline.h"

#include <unistd.h>

namespace {

// Work shorter than this shows no progress.
constexpr qint64 quietMs = 700;

} // namespace

ProgressLine::ProgressLine(std::FILE *stream) : m_stream(stream), m_terminal(isatty(fileno(stream)) == 1) {}

ProgressLine::~ProgressLine()
{
    clear();
}

NativeProgress ProgressLine::track(const QString &label)
{
    clear();
    m_label = label;
    m_percent = -1;
    m_timer.start();
    return [this, label](int percent) {
        show(label, percent);
        return true;
    };
}

void ProgressLine::show(const QString &label, int percent)
{
    if (!m_terminal || label != m_label || percent == m_percent || m_timer.elapsed() < quietMs)
        return;
    m_percent = percent;
    m_shown = true;
    std::fprintf(m_stream, "\r\033[K%s %d%%", label.toLocal8Bit().constData(), percent);
    std::fflush(m_stream);
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    std::fprintf(m_stream, "\r\033[K");
    std::fflush(m_stream);
    m_shown = false;
}
