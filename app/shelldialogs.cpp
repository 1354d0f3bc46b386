#include "shelldialogs.h"

#include "aboutbox.h"
#include "capture/screenshoteditor.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QUrl>

namespace {
ShellDialogs *installedDialogs = nullptr;
}

ShellDialogs &ShellDialogs::instance()
{
    static ShellDialogs realDialogs;
    return installedDialogs ? *installedDialogs : realDialogs;
}

void ShellDialogs::setInstance(ShellDialogs *dialogs)
{
    installedDialogs = dialogs;
}

QString ShellDialogs::openFileName(QWidget *parent, const QString &title, const QString &dir,
                                   const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, dir, filter);
}

QString ShellDialogs::existingDirectory(QWidget *parent, const QString &title, const QString &dir)
{
    return QFileDialog::getExistingDirectory(parent, title, dir, QFileDialog::ShowDirsOnly);
}

QString ShellDialogs::saveFileName(QWidget *parent, const QString &title, const QString &path,
                                   const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, path, filter);
}

void ShellDialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

void ShellDialogs::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void ShellDialogs::about(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("About"), text, QMessageBox::Ok,
                    parent);
    AboutBox::prepare(&box, text);
    box.exec();
}

bool ShellDialogs::openLocalFile(const QString &absolutePath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
}

void ShellDialogs::editCapture(const QImage &image, QWidget *parent)
{
    ScreenshotEditor editor(image, parent);
    editor.exec();
}
