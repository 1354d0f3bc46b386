#pragma once

#include <QString>

class QApplication;

// Names, resources and start-up steps of the application, shared by the
// entry routine, the main window and the About box. Stateless.
class AppIdentity
{
public:
    static QString applicationName();   // also the display name and window title
    static QString organizationName();  // scope of the settings store
    static QString versionDate();
    static QString iconResource();
    static QString styleSheetResource();

    // Registers the compiled-in resources; they sit in a static library, so
    // the program and the tests must pull them in explicitly.
    static void initResources();
    // The style sheet resource decoded as UTF-8; empty when it cannot be read.
    static QString readStyleSheet(const QString &resourcePath);
    // Start-up steps after creating the application object: style sheet,
    // names for the settings store, window icon.
    static void setUpApplication(QApplication *app);
};
