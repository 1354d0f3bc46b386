// orvalis-tool: file info, validation and export of KVX native observations
// from the command line.

#include "tools/orvalistool/orvalistool.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvalis-tool"));
    ToolConsole console;
    return int(OrvalisTool().run(QCoreApplication::arguments(), console));
}
