#include "app/savelocation.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const char settingsKey[] = "lastSavePath";

} // namespace

QString SaveLocation::lastDirectory()
{
    return QSettings().value(QLatin1String(settingsKey)).toString();
}

void SaveLocation::rememberSavedFile(const QString &path)
{
    QSettings().setValue(QLatin1String(settingsKey), QFileInfo(path).absolutePath());
}
