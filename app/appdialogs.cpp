#include "app/appdialogs.h"

#include "app/aboutbox.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void AppDialogs::about(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("About"), text, QMessageBox::Ok, parent);
    AboutBox::prepare(&box, text);
    box.exec();
}

bool AppDialogs::openLocalFile(const QString &absolutePath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolutePath));
}
