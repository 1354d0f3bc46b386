#include "tools/orvalistool/validatecommand.h"

#include "data/nativefileinfo.h"
#include "data/nativelisting.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The paths to check for one argument, shown as the user wrote the argument:
// the argument itself, or the native files below a directory.
QStringList pathsOf(const QString &argument)
{
    if (!QFileInfo(argument).isDir())
        return {argument};
    QStringList found;
    listNativeFilesRecursively(argument, &found);
    const QDir dir(argument);
    for (QString &path : found)
        path = QDir::cleanPath(argument + QLatin1Char('/') + dir.relativeFilePath(path));
    return found;
}

} // namespace

QString ValidateCommand::summary() const
{
    return QStringLiteral("checks native files and directories of them as the program opens them");
}

void ValidateCommand::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(
        QStringLiteral("Reads and checks native files as Orvalis-3 opens them; directories are searched with "
                       "their subdirectories for .pnt, .pnthr and native .txt files. Prints one line per "
                       "file: \"PATH: ok\" or \"PATH: \" and the reason.\n"
                       "Exit status: 0 when every file is valid, 1 when one is not (or a directory holds "
                       "no native file), 2 for usage errors."));
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Native files or directories."),
                                 QStringLiteral("PATH..."));
}

ToolStatus ValidateCommand::run(const QCommandLineParser &parser, ToolConsole &console) const
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return usageError(console, QStringLiteral("Name at least one file or directory."));
    ToolStatus status = ToolStatus::Success;
    for (const QString &argument : arguments) {
        const QStringList paths = pathsOf(argument);
        if (paths.isEmpty()) {
            console.print(argument + QStringLiteral(": This directory contains no .pnt, .pnthr or .txt files.\n"));
            status = ToolStatus::Failure;
        }
        for (const QString &path : paths) {
            NativeFile file;
            QStringList problems;
            const bool ok = loadCheckedNativeFile(path, &file, &problems,
                                                  console.progress(QStringLiteral("Checking ") + path));
            console.print(path + QStringLiteral(": ") + (ok ? QStringLiteral("ok") : problems.join(QLatin1Char(' ')))
                          + QLatin1Char('\n'));
            if (!ok)
                status = ToolStatus::Failure;
        }
    }
    return status;
}
