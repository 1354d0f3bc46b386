#pragma once

#include "data/nativereader.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// The one progress line of long work on standard error ("Reading x.pnt 42%"),
// rewritten in place. It shows only when standard error is a terminal and
// the work has gone on for a while, so pipelines and quick files see none.
// Used on the tool's only thread.
class ProgressLine
{
public:
    explicit ProgressLine(std::FILE *stream = stderr);
    ~ProgressLine();

    // A callback for the readers and writers that shows label and percentage.
    NativeProgress track(const QString &label);
    // Clears the line; the next output starts at the left margin.
    void clear();

private:
    void show(const QString &label, int percent);

    std::FILE *m_stream;
    bool m_terminal = false;
    bool m_shown = false;
    QElapsedTimer m_timer;
    QString m_label;
    int m_percent = -1;
};
