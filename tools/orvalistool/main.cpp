// orvalis-tool: file info, validation, pictures and export of KVX native
// observations from the command line.

#include "tools/orvalistool/orvalistool.h"

#ifdef ORVALIS_TOOL_RENDER
#include "tools/orvalistool/render/rendercommand.h"
#endif

#include <QCoreApplication>

#include <memory>

int main(int argc, char *argv[])
{
    OrvalisTool tool;
    std::unique_ptr<QCoreApplication> app;
#ifdef ORVALIS_TOOL_RENDER
    tool.addCommand(std::make_unique<RenderCommand>());
    // Only a command that draws gets a GUI application; the others need no display.
    const ToolCommand *command = tool.command(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    if (command && command->needsWidgets())
        app = RenderCommand::makeApplication(argc, argv);
#endif
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvalis-tool"));
    ToolConsole console;
    return int(tool.run(QCoreApplication::arguments(), console));
}
