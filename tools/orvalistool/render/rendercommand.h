#pragma once

#include "tools/orvalistool/toolcommand.h"

#include <QCoreApplication>

#include <memory>

// "render FILE... -o OUT.png": the native graph of each file (module, beam,
// channel or the channel sum at --dm, points, size) or with --spectrum its
// dynamic spectrum, drawn off screen by the program's own plot widgets and
// written as PNG through an atomic save file; several files into a directory.
// Stateless; runs on the thread of the QApplication that makeApplication makes.
class RenderCommand : public ToolCommand
{
public:
    QString name() const override { return QStringLiteral("render"); }
    QString summary() const override;
    bool needsWidgets() const override { return true; }
    void describe(QCommandLineParser &parser) const override;
    ToolStatus run(const QCommandLineParser &parser, ToolConsole &console) const override;

    // The application the widgets draw in: off screen unless QT_QPA_PLATFORM
    // names a platform, so that pictures come out the same with or without a
    // display. argc must outlive the application.
    static std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv);
};
