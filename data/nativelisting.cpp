#include "data/nativelisting.h"

#include "data/nativetext.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// Enough for the header and table lines of any text file the reader takes
// (each line is at most 1 MiB), little enough to list a directory quickly.
constexpr qint64 sniffMaxBytes = 4 << 20;

bool isTxtSuffix(const QString &suffix)
{
    return suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool isBinaryNativeSuffix(const QString &suffix)
{
    const QString lower = suffix.toLower();
    return lower == QLatin1String("pnt") || lower == QLatin1String("pnthr");
}

bool isNativeSuffix(const QString &suffix)
{
    return isBinaryNativeSuffix(suffix) || isTxtSuffix(suffix);
}

bool isNativeFile(const QString &path)
{
    return isNativeSuffix(QFileInfo(path).suffix());
}

bool isNativeTextFile(const QString &path)
{
    const QFileInfo info(path);
    return !isTxtSuffix(info.suffix()) || mayBeNativeText(path, sniffMaxBytes);
}

bool listNativeFiles(const QString &dir, QVector<NativeFileEntry> *list)
{
    if (!list)
        return false;
    list->clear();
    const QStringList patterns{QStringLiteral("*.pnt"), QStringLiteral("*.pnthr"), QStringLiteral("*.txt")};
    const QFileInfoList entries = QDir(dir).entryInfoList(patterns, QDir::Files, QDir::NoSort);
    for (const QFileInfo &info : entries) {
        if (isTxtSuffix(info.suffix()) && !isNativeTextFile(info.absoluteFilePath()))
            continue;
        list->append({info.fileName(), info.absoluteFilePath()});
    }
    std::sort(list->begin(), list->end(), [](const NativeFileEntry &a, const NativeFileEntry &b) {
        return QString::compare(a.fileName, b.fileName, Qt::CaseSensitive) < 0;
    });
    return !list->isEmpty();
}

void listNativeFilesRecursively(const QString &dir, QStringList *paths)
{
    QVector<NativeFileEntry> entries;
    listNativeFiles(dir, &entries);
    for (const NativeFileEntry &entry : qAsConst(entries))
        paths->append(entry.absolutePath);
    // Links to directories are not followed: they may lead back up the tree.
    const QFileInfoList subdirectories =
        QDir(dir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo &subdirectory : subdirectories)
        listNativeFilesRecursively(subdirectory.absoluteFilePath(), paths);
}

QString nativeFileChoiceProblem(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return QStringLiteral("Path does not exist.");
    if (!info.isFile() || !isNativeSuffix(info.suffix()))
        return QStringLiteral("Select a file with extension .pnt, .pnthr or .txt.");
    if (!isNativeTextFile(path))
        return QStringLiteral("The selected TXT is not a Native data file.");
    return QString();
}

bool prepareNativeFileSelection(const QString &path, QString *dir, QVector<NativeFileEntry> *list,
                                QString *selectedPath, QString *error)
{
    if (!dir || !list || !selectedPath || !error)
        return false;
    *error = nativeFileChoiceProblem(path);
    if (!error->isEmpty())
        return false;
    const QFileInfo info(path);
    QVector<NativeFileEntry> entries;
    if (!listNativeFiles(info.absolutePath(), &entries)) {
        *error = QStringLiteral("This directory contains no .pnt, .pnthr or .txt files.");
        return false;
    }
    *dir = info.absolutePath();
    *list = entries;
    *selectedPath = info.absoluteFilePath();
    return true;
}

QString loadErrorText(const NativeFile &file)
{
    switch (file.npoints) {
    case NativeError::CannotOpen:
        return QStringLiteral("Cannot open file.");
    case NativeError::SizeMismatch:
        return QStringLiteral("File size does not match header.");
    case NativeError::BadHeader:
        return QStringLiteral("Invalid file header.");
    case NativeError::EndOfData:
        return QStringLiteral("Unexpected end of file while reading data.");
    default:
        return QStringLiteral("Failed to read file.");
    }
}

QString problemsText(const QStringList &problems)
{
    const QString bullet = QString(QChar(0x2022)) + QLatin1Char(' ');
    return QStringLiteral("The selected file cannot be displayed:\n\n") + bullet
        + problems.join(QLatin1Char('\n') + bullet);
}
