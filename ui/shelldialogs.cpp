#include "ui/shelldialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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

void ShellDialogs::critical(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::critical(parent, title, text, QMessageBox::Ok);
}
