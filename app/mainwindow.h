#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AppDialogs;
class WelcomeWidget;

// The single top-level window: menus, help documents, About box, and the one
// module at a time that fills it. Owns the current central widget (a replaced
// module is deleted later by the event loop) and the dialogs it asks through.
// GUI thread only. Saves its geometry to the settings store when destroyed.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QWidget *currentModule() const;
    WelcomeWidget *welcomePage() const;
    // Replaces the dialogs the window asks through (real ones by default).
    void setDialogs(std::unique_ptr<AppDialogs> dialogs);

    // Help document lookup: "<appDir>/doc/<name>", then "<appDir>/<name>";
    // the absolute path of the first that exists, else empty.
    static QString findHelpDocument(const QString &appDir, const QString &fileName);
    // The absolute path of a directory with its last component removed.
    static QString parentDirectory(const QString &directory);

public slots:
    void showWelcomePage();
    void setCentralModule(QWidget *module);

    void openNativeFile();
    void openMultiDayDirectory();
    void openProfilesDirectory();
    void openCalculator();
    void openHelpDocument(const QString &fileName, const QString &title);
    void showAbout();

private:
    void buildMenus();
    void restoreWindowGeometry();
    void saveWindowGeometry();
    void reportModuleMissing(const QString &title, const QString &what);

    std::unique_ptr<AppDialogs> m_dialogs;
    QPointer<WelcomeWidget> m_welcomePage;
    QPointer<QWidget> m_currentModule;
};
