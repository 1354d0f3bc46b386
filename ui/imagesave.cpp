#include "ui/imagesave.h"

#include "ui/savelocation.h"
#include "ui/shelldialogs.h"

#include <QImage>
#include <QSaveFile>

QString askImagePath(ShellDialogs &dialogs, QWidget *parent, const QString &defaultName)
{
    const QString path = dialogs.saveFileName(parent, QStringLiteral("Image save"),
                                              SaveLocation::suggestedPath(defaultName),
                                              QStringLiteral("Image *.png"));
    return path.isEmpty() ? path : SaveLocation::withSuffix(path, QStringLiteral("png"));
}

bool writePngImage(const QImage &image, const QString &path, const std::function<bool(int)> &progress)
{
    if (image.isNull())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || (progress && !progress(100))) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void saveImageAs(ShellDialogs &dialogs, QWidget *parent, const QString &defaultName,
                 const std::function<QImage()> &render)
{
    const QString path = askImagePath(dialogs, parent, defaultName);
    if (path.isEmpty())
        return;
    if (!writePngImage(render(), path)) {
        dialogs.warning(parent, QStringLiteral("Error"), QStringLiteral("Failed to save image:\n%1").arg(path));
        return;
    }
    SaveLocation::rememberSavedFile(path);
}
