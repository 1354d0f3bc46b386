#pragma once

#include "ui/shelldialogs.h"

#include <QList>
#include <QStringList>

#include <memory>

// What the fake dialogs of a test were asked, and how they answer. Owned by
// the test, so that it outlives the widgets (and their dialogs) it watches.
struct DialogLog
{
    struct Message
    {
        QString kind;   // "warning", "information", "critical" or "about"
        QString title;
        QString text;
    };

    QStringList replies;          // taken in turn by the file and directory dialogs
    QStringList askedTitles;
    QStringList askedPaths;       // the directory or path each dialog started at
    QList<Message> messages;

    // The texts of the messages, in order.
    QStringList texts() const
    {
        QStringList all;
        for (const Message &message : messages)
            all << message.text;
        return all;
    }
};

// Shell dialogs (or dialogs derived from them) that answer from a DialogLog
// and record every question in it, so that tests run without anyone clicking.
template <class Base = ShellDialogs>
class FakeDialogs : public Base
{
public:
    explicit FakeDialogs(DialogLog *log) : m_log(log) {}

    QString openFileName(QWidget *, const QString &title, const QString &dir, const QString &) override
    {
        return ask(title, dir);
    }
    QString existingDirectory(QWidget *, const QString &title, const QString &dir) override
    {
        return ask(title, dir);
    }
    QString saveFileName(QWidget *, const QString &title, const QString &path, const QString &) override
    {
        return ask(title, path);
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("warning"), title, text});
    }
    void information(QWidget *, const QString &title, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("information"), title, text});
    }
    void critical(QWidget *, const QString &title, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("critical"), title, text});
    }

protected:
    DialogLog *m_log;

private:
    QString ask(const QString &title, const QString &path)
    {
        m_log->askedTitles << title;
        m_log->askedPaths << path;
        return m_log->replies.isEmpty() ? QString() : m_log->replies.takeFirst();
    }
};

using FakeShell = FakeDialogs<ShellDialogs>;

// A fake for a widget's setDialogs(): fakeDialogs(&log).
inline std::unique_ptr<FakeShell> fakeDialogs(DialogLog *log)
{
    return std::make_unique<FakeShell>(log);
}
