#pragma once

#include "app/appdialogs.h"
#include "tests/support/fakeshell.h"

// The main window's dialogs, answered from a DialogLog: the About box is a
// message of kind "about", and files handed to the desktop are recorded.
class FakeAppDialogs : public FakeDialogs<AppDialogs>
{
public:
    using FakeDialogs::FakeDialogs;

    QStringList opened;
    bool openSucceeds = true;

    void about(QWidget *, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("about"), QStringLiteral("About"), text});
    }
    bool openLocalFile(const QString &absolutePath) override
    {
        opened << absolutePath;
        return openSucceeds;
    }
};
