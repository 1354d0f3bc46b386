#include "tools/orvalistool/infocommand.h"

#include "data/nativefileinfo.h"

#include <QFileInfo>
#include <QJsonDocument>

QString InfoCommand::summary() const
{
    return QStringLiteral("passport, dimensions, channel frequencies, start and duration of native files");
}

void InfoCommand::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(
        QStringLiteral("Shows what Orvalis-3 reads from each native file (.pnt, .pnthr, .txt): the passport, "
                       "the dimensions, the channel frequencies, the start in telescope time, UTC and MJD, "
                       "the duration, and the problems that would stop the program from showing it.\n"
                       "Exit status: 0 when every file can be shown, 1 when one cannot, 2 for usage errors."));
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file, one per line.")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Native files."), QStringLiteral("FILE..."));
}

ToolStatus InfoCommand::run(const QCommandLineParser &parser, ToolConsole &console) const
{
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return usageError(console, QStringLiteral("Name at least one file."));
    const bool json = parser.isSet(QStringLiteral("json"));
    ToolStatus status = ToolStatus::Success;
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths.at(i);
        NativeFile file;
        QStringList problems;
        if (!loadCheckedNativeFile(path, &file, &problems,
                                   console.progress(QStringLiteral("Reading ") + QFileInfo(path).fileName())))
            status = ToolStatus::Failure;
        console.endProgress();
        if (json)
            console.print(QString::fromUtf8(QJsonDocument(nativeFileInfoJson(path, file, problems))
                                                .toJson(QJsonDocument::Compact))
                          + QLatin1Char('\n'));
        else
            console.print((i > 0 ? QStringLiteral("\n") : QString()) + nativeFileInfoText(path, file, problems));
    }
    return status;
}
