#include "capture/capturedialogs.h"

#include "capture/addtextdialog.h"

#include <QColorDialog>

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
