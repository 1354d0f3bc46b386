#pragma once

#include <QString>

class QMessageBox;

// Text and sizing of the About box. Stateless; GUI thread for prepare().
class AboutBox
{
public:
    // Last modification of the given executable as "dd.MM.yyyy hh:mm", or "unknown".
    static QString buildDateText(const QString &executablePath);
    // The six lines of the box for a build date text.
    static QString text(const QString &buildDate);
    // Plain-text, fixed-size box widened so that no line of the text wraps.
    static void prepare(QMessageBox *box, const QString &text);
};
