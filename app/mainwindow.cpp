#include "app/mainwindow.h"

#include "app/aboutbox.h"
#include "app/appdialogs.h"
#include "app/appidentity.h"
#include "app/welcomewidget.h"
#include "data/nativelisting.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/native/nativemodule.h"
#include "ui/savelocation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(std::make_unique<AppDialogs>())
{
    setWindowTitle(AppIdentity::applicationName());
    restoreWindowGeometry();
    buildMenus();
    showWelcomePage();
}

MainWindow::~MainWindow()
{
    saveWindowGeometry();
}

QWidget *MainWindow::currentModule() const
{
    return m_currentModule;
}

WelcomeWidget *MainWindow::welcomePage() const
{
    return m_welcomePage;
}

void MainWindow::setDialogs(std::unique_ptr<AppDialogs> dialogs)
{
    if (dialogs)
        m_dialogs = std::move(dialogs);
}

QString MainWindow::findHelpDocument(const QString &appDir, const QString &fileName)
{
    const QStringList candidates = {appDir + QStringLiteral("/doc/") + fileName,
                                    appDir + QLatin1Char('/') + fileName};
    for (const QString &candidate : candidates) {
        const QFileInfo info(candidate);
        if (info.exists())
            return info.absoluteFilePath();
    }
    return QString();
}

QString MainWindow::parentDirectory(const QString &directory)
{
    // By text, so that it also holds for a directory that has gone meanwhile.
    const QString absolute = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
    return QFileInfo(absolute).path();
}

void MainWindow::showWelcomePage()
{
    if (!m_welcomePage)
        m_welcomePage = new WelcomeWidget(this);
    setCentralWidget(m_welcomePage);
}

void MainWindow::setCentralModule(QWidget *module)
{
    if (m_currentModule && m_currentModule != m_welcomePage)
        m_currentModule->deleteLater();
    m_currentModule = module;
    // QMainWindow hides the replaced central widget and deletes it later too,
    // which is how the welcome page goes away when the first module opens.
    setCentralWidget(module);
}

void MainWindow::buildMenus()
{
    QMenu *native = menuBar()->addMenu(QStringLiteral("Native data"));
    native->addAction(QStringLiteral("Show native && dynamic"), this, &MainWindow::openNativeFile);
    native->addAction(QStringLiteral("Multi-day channel sums"), this,
                      &MainWindow::openMultiDayDirectory);

    QMenu *profiles = menuBar()->addMenu(QStringLiteral("Profiles"));
    profiles->addAction(QStringLiteral("Average profiles - periods"), this,
                        &MainWindow::openProfilesDirectory);

    QMenu *calculator = menuBar()->addMenu(QStringLiteral("Calculator"));
    calculator->addAction(QStringLiteral("Calculator"), this, &MainWindow::openCalculator);

    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->addAction(QStringLiteral("README"), this, [this] {
        openHelpDocument(QStringLiteral("README_kvx3_visual.pdf"), QStringLiteral("README"));
    });
    help->addAction(QStringLiteral("README - flux density calculator"), this, [this] {
        openHelpDocument(QStringLiteral("README_kvx3_visual_calc.pdf"),
                         QStringLiteral("README - flux density calculator"));
    });
    help->addAction(QStringLiteral("Updates"), this, [this] {
        openHelpDocument(QStringLiteral("updates_kvx3_visual.pdf"), QStringLiteral("Updates"));
    });
    help->addAction(QStringLiteral("About"), this, &MainWindow::showAbout);
}

void MainWindow::reportModuleMissing(const QString &title, const QString &what)
{
    m_dialogs->information(
        this, title, QStringLiteral("The %1 module is not available yet.").arg(what));
}

void MainWindow::openNativeFile()
{
    const QString path = m_dialogs->openFileName(
        this, QStringLiteral("Open native data file"), SaveLocation::directory(SaveLocation::NativeFileDirectory),
        QStringLiteral("KVX data (*.pnt *.pnthr *.txt);;All files (*.*)"));
    if (path.isEmpty())
        return;

    QString dir;
    QVector<NativeFileEntry> files;
    QString selected;
    QString error;
    if (!prepareNativeFileSelection(path, &dir, &files, &selected, &error)) {
        m_dialogs->warning(this, QStringLiteral("Error"), error);
        return;
    }
    SaveLocation::remember(SaveLocation::NativeFileDirectory, dir);
    setCentralModule(new NativeModule(files, selected, this));
}

void MainWindow::openMultiDayDirectory()
{
    const QString dir = m_dialogs->existingDirectory(this, QStringLiteral("Open pulsar observations directory"),
                                                     SaveLocation::directory(SaveLocation::MultiDayDirectory));
    if (dir.isEmpty())
        return;
    SaveLocation::remember(SaveLocation::MultiDayDirectory, parentDirectory(dir));
    reportModuleMissing(QStringLiteral("Multi-day channel sums"), QStringLiteral("multi-day"));
}

void MainWindow::openProfilesDirectory()
{
    const QString dir = m_dialogs->existingDirectory(this, QStringLiteral("Open profiles directory"),
                                                     SaveLocation::directory(SaveLocation::ProfilesDirectory));
    if (dir.isEmpty())
        return;
    SaveLocation::remember(SaveLocation::ProfilesDirectory, parentDirectory(dir));
    reportModuleMissing(QStringLiteral("Average profiles - periods"),
                        QStringLiteral("average profiles"));
}

void MainWindow::openCalculator()
{
    setCentralModule(new CalculatorModule(this));
}

void MainWindow::openHelpDocument(const QString &fileName, const QString &title)
{
    const QString path = findHelpDocument(QCoreApplication::applicationDirPath(), fileName);
    if (path.isEmpty()) {
        m_dialogs->warning(this, title,
                                         QStringLiteral("File not found:\n%1").arg(fileName));
        return;
    }
    if (!m_dialogs->openLocalFile(path))
        m_dialogs->warning(this, title,
                                         QStringLiteral("Cannot open file:\n%1").arg(path));
}

void MainWindow::showAbout()
{
    const QString buildDate = AboutBox::buildDateText(QCoreApplication::applicationFilePath());
    m_dialogs->about(this, AboutBox::text(buildDate));
}

void MainWindow::restoreWindowGeometry()
{
    QSettings settings;
    const QByteArray geometry = settings.value(QStringLiteral("geometry")).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    else
        resize(1100, 700);
    if (settings.value(QStringLiteral("maximized"), false).toBool())
        showMaximized();
}

void MainWindow::saveWindowGeometry()
{
    QSettings settings;
    const bool maximized = isMaximized();
    settings.setValue(QStringLiteral("maximized"), maximized);
    if (!maximized)
        settings.setValue(QStringLiteral("geometry"), saveGeometry());
}
