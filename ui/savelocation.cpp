#include "ui/savelocation.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString settingsKey(SaveLocation::Kind kind)
{
    switch (kind) {
    case SaveLocation::NativeFileDirectory:
        return QStringLiteral("lastNativeFileDir");
    case SaveLocation::MultiDayDirectory:
        return QStringLiteral("lastNativeMultiDayDir");
    case SaveLocation::ProfilesDirectory:
        return QStringLiteral("lastResultDir");
    case SaveLocation::SavedFileDirectory:
        break;
    }
    return QStringLiteral("lastSavePath");
}

} // namespace

QString SaveLocation::directory(Kind kind)
{
    return QSettings().value(settingsKey(kind)).toString();
}

void SaveLocation::remember(Kind kind, const QString &directory)
{
    QSettings().setValue(settingsKey(kind), directory);
}

void SaveLocation::rememberSavedFile(const QString &path)
{
    remember(SavedFileDirectory, QFileInfo(path).absolutePath());
}

QString SaveLocation::suggestedPath(const QString &name, const QString &fallbackDirectory)
{
    QString dir = directory(SavedFileDirectory);
    if (dir.isEmpty())
        dir = fallbackDirectory;
    return dir.isEmpty() ? name : dir + QLatin1Char('/') + name;
}

QString SaveLocation::withSuffix(const QString &path, const QString &extension)
{
    const QString dotted = QLatin1Char('.') + extension;
    if (path.endsWith(dotted, Qt::CaseInsensitive))
        return path;
    return path + dotted;
}
