#include "capturedialogs.h"

#include "addtextdialog.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

bool CaptureDialogs::askText(QWidget *parent, QString *text)
{
    AddTextDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *text = dialog.text();
    return true;
}

QColor CaptureDialogs::askColor(QWidget *parent, const QColor &initial, const QString &title)
{
    return QColorDialog::getColor(initial, parent, title);
}

QString CaptureDialogs::askSaveFileName(QWidget *parent, const QString &title,
                                        const QString &defaultPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, defaultPath, filter);
}

void CaptureDialogs::showWarning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}
