#pragma once

#include "app/shelldialogs.h"

#include <QImage>
#include <QStringList>

// Answers the shell's dialogs from queued replies and records every question,
// so that tests run without anyone clicking.
class FakeShellDialogs : public ShellDialogs
{
public:
    struct Message
    {
        QString kind;
        QString title;
        QString text;
    };

    QStringList replies;          // consumed by the file and directory dialogs
    QStringList askedTitles;
    QStringList askedDirs;
    QStringList askedFilters;
    QList<Message> messages;
    QStringList opened;
    bool openSucceeds = true;
    QList<QImage> captures;

    QString openFileName(QWidget *, const QString &title, const QString &dir,
                         const QString &filter) override
    {
        askedTitles << title;
        askedDirs << dir;
        askedFilters << filter;
        return replies.isEmpty() ? QString() : replies.takeFirst();
    }
    QString existingDirectory(QWidget *, const QString &title, const QString &dir) override
    {
        askedTitles << title;
        askedDirs << dir;
        return replies.isEmpty() ? QString() : replies.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &title, const QString &path,
                         const QString &filter) override
    {
        askedTitles << title;
        askedDirs << path;
        askedFilters << filter;
        return replies.isEmpty() ? QString() : replies.takeFirst();
    }
    void warning(QWidget *, const QString &title, const QString &text) override
    {
        messages.append({QStringLiteral("warning"), title, text});
    }
    void information(QWidget *, const QString &title, const QString &text) override
    {
        messages.append({QStringLiteral("information"), title, text});
    }
    void about(QWidget *, const QString &text) override
    {
        messages.append({QStringLiteral("about"), QStringLiteral("About"), text});
    }
    bool openLocalFile(const QString &absolutePath) override
    {
        opened << absolutePath;
        return openSucceeds;
    }
    void editCapture(const QImage &image, QWidget *) override { captures.append(image); }
};
