#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>

// Running a command-line program built at the top of the build tree, beside
// the tests' folder, and keeping its exit status and what it wrote.
namespace ToolRun {

struct Result
{
    int status = -1;   // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

inline QString path(const QString &program)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../") + program);
}

inline Result run(const QString &program, const QStringList &arguments,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace ToolRun
