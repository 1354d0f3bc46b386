#include "app/aboutbox.h"
#include "app/appidentity.h"
#include "app/mainwindow.h"
#include "app/welcomewidget.h"
#include "fakeshelldialogs.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/native/nativemodule.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    static QAction *action(MainWindow &window, const QString &menu, const QString &text)
    {
        for (QAction *menuAction : window.menuBar()->actions()) {
            if (menuAction->text() != menu || !menuAction->menu())
                continue;
            for (QAction *item : menuAction->menu()->actions())
                if (item->text() == text)
                    return item;
        }
        return nullptr;
    }

    static void flushDeferredDeletes()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    FakeShellDialogs m_dialogs;

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void styleSheetResource();
    void applicationSetUp();
    void menusInOrder();
    void firstStart();
    void geometrySavedWhenNotMaximized();
    void maximizedRunKeepsGeometry();
    void cancelledDialogsChangeNothing();
    void nativeFileErrorsKeepModuleAndSettings_data();
    void nativeFileErrorsKeepModuleAndSettings();
    void nativeFileRemembersDirectory();
    void multiDayStoresParentDirectory();
    void profilesStoresParentDirectory();
    void calculatorReplacesModule();
    void helpDocumentLookup();
    void helpMenuMessages();
    void aboutText();
    void aboutBoxIsWideEnough();
};

void TestMainWindow::initTestCase()
{
    QVERIFY(m_settingsDir.isValid());
    QVERIFY(m_files.isValid());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
    QCoreApplication::setOrganizationName(AppIdentity::organizationName());
    QCoreApplication::setApplicationName(AppIdentity::applicationName());
    AppIdentity::initResources();
    ShellDialogs::setInstance(&m_dialogs);
    QVERIFY(QSettings().fileName().startsWith(m_settingsDir.path()));
}

void TestMainWindow::init()
{
    QSettings().clear();
    m_dialogs = FakeShellDialogs();
}

void TestMainWindow::cleanupTestCase()
{
    ShellDialogs::setInstance(nullptr);
}

void TestMainWindow::styleSheetResource()
{
    const QString sheet = AppIdentity::readStyleSheet(AppIdentity::styleSheetResource());
    QCOMPARE(sheet, QStringLiteral("QComboBox, QLineEdit, QSpinBox {\n"
                                   "    min-height: 26px;\n"
                                   "    max-height: 26px;\n"
                                   "    padding: 2px 5px;\n"
                                   "}\n"
                                   "\n"
                                   "QPushButton {\n"
                                   "    min-height: 36px;\n"
                                   "\tmin-height: 36px;\n"
                                   "    padding: 2px 5px;\n"
                                   "}\n"
                                   "\n"
                                   "QLabel span.red {\n"
                                   "    color: red;\n"
                                   "}\n"
                                   "QLabel span.green {\n"
                                   "    color: green;\n"
                                   "}\n"
                                   "QLabel span.blue {\n"
                                   "    color: blue;\n"
                                   "}\n"));
    QVERIFY(AppIdentity::readStyleSheet(QStringLiteral(":/styles/missing.qss")).isEmpty());
}

void TestMainWindow::applicationSetUp()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    QVERIFY(app);
    const QString previousSheet = app->styleSheet();
    AppIdentity::setUpApplication(app);
    QVERIFY(app->styleSheet().contains(QStringLiteral("QLabel span.red")));
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Orvalis-3"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("KVX"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Orvalis-3"));
    QVERIFY(!QApplication::windowIcon().isNull());
    // The icon drawn at build time carries several sizes.
    QImageReader reader(AppIdentity::iconResource());
    QVERIFY(reader.canRead());
    QVERIFY(reader.imageCount() >= 4);
    const QList<QSize> sizes = QIcon(AppIdentity::iconResource()).availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(256, 256)));
    const QImage big = QIcon(AppIdentity::iconResource()).pixmap(QSize(256, 256)).toImage();
    QCOMPARE(big.size(), QSize(256, 256));
    QCOMPARE(qAlpha(big.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(big.pixel(128, 60)), 255);
    app->setStyleSheet(previousSheet);
}

void TestMainWindow::menusInOrder()
{
    MainWindow window;
    QStringList menus;
    for (QAction *menuAction : window.menuBar()->actions())
        menus << menuAction->text();
    QCOMPARE(menus, QStringList({QStringLiteral("Native data"), QStringLiteral("Profiles"),
                                 QStringLiteral("Calculator"), QStringLiteral("Help")}));
    QStringList help;
    for (QAction *item : window.menuBar()->actions().last()->menu()->actions())
        help << item->text();
    QCOMPARE(help, QStringList({QStringLiteral("README"),
                                QStringLiteral("README - flux density calculator"),
                                QStringLiteral("Updates"), QStringLiteral("About")}));
    QVERIFY(action(window, QStringLiteral("Native data"), QStringLiteral("Show native && dynamic")));
    QVERIFY(action(window, QStringLiteral("Native data"), QStringLiteral("Multi-day channel sums")));
    QVERIFY(action(window, QStringLiteral("Profiles"), QStringLiteral("Average profiles - periods")));
    QVERIFY(action(window, QStringLiteral("Calculator"), QStringLiteral("Calculator")));
    QCOMPARE(window.windowTitle(), QStringLiteral("Orvalis-3"));
}

void TestMainWindow::firstStart()
{
    {
        MainWindow window;
        QCOMPARE(window.size(), QSize(1100, 700));
        QVERIFY(!window.isMaximized());
        QVERIFY(qobject_cast<WelcomeWidget *>(window.centralWidget()));
        QCOMPARE(window.centralWidget(), window.welcomePage());
        QCOMPARE(window.currentModule(), nullptr);
        action(window, QStringLiteral("Native data"), QStringLiteral("Show native && dynamic"))
            ->trigger();
        action(window, QStringLiteral("Native data"), QStringLiteral("Multi-day channel sums"))
            ->trigger();
        action(window, QStringLiteral("Profiles"), QStringLiteral("Average profiles - periods"))
            ->trigger();
    }
    // Every dialog started in the process's default directory.
    QCOMPARE(m_dialogs.askedDirs, QStringList({QString(), QString(), QString()}));
    QCOMPARE(m_dialogs.askedTitles,
             QStringList({QStringLiteral("Open native data file"),
                          QStringLiteral("Open pulsar observations directory"),
                          QStringLiteral("Open profiles directory")}));
    QCOMPARE(m_dialogs.askedFilters.value(0),
             QStringLiteral("KVX data (*.pnt *.pnthr *.txt);;All files (*.*)"));
}

void TestMainWindow::geometrySavedWhenNotMaximized()
{
    {
        MainWindow window;
        window.resize(900, 600);
    }
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("maximized")).toBool(), false);
    QVERIFY(!settings.value(QStringLiteral("geometry")).toByteArray().isEmpty());

    MainWindow restored;
    QCOMPARE(restored.size(), QSize(900, 600));
    QVERIFY(!restored.isMaximized());
}

void TestMainWindow::maximizedRunKeepsGeometry()
{
    {
        MainWindow window;
        window.resize(820, 540);
    }
    const QByteArray normal = QSettings().value(QStringLiteral("geometry")).toByteArray();
    QVERIFY(!normal.isEmpty());
    {
        MainWindow window;
        window.showMaximized();
        QVERIFY(window.isMaximized());
    }
    QSettings settings;
    QCOMPARE(settings.value(QStringLiteral("maximized")).toBool(), true);
    QCOMPARE(settings.value(QStringLiteral("geometry")).toByteArray(), normal);

    MainWindow next;
    QVERIFY(next.windowState() & Qt::WindowMaximized);
}

void TestMainWindow::cancelledDialogsChangeNothing()
{
    MainWindow window;
    QWidget *before = window.centralWidget();
    const QStringList menus[][2] = {
        {{QStringLiteral("Native data")}, {QStringLiteral("Show native && dynamic")}},
        {{QStringLiteral("Native data")}, {QStringLiteral("Multi-day channel sums")}},
        {{QStringLiteral("Profiles")}, {QStringLiteral("Average profiles - periods")}}};
    for (const auto &entry : menus)
        action(window, entry[0].first(), entry[1].first())->trigger();
    flushDeferredDeletes();
    QCOMPARE(window.centralWidget(), before);
    QVERIFY(m_dialogs.messages.isEmpty());
    QVERIFY(QSettings().allKeys().isEmpty());
}

void TestMainWindow::nativeFileErrorsKeepModuleAndSettings_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("error");
    const QString root = m_files.path();
    QDir(root).mkpath(QStringLiteral("errors/dirpick"));
    writeFile(root + QStringLiteral("/errors/notes.dat"));
    writeFile(root + QStringLiteral("/errors/plain.txt"), "just some words\n");
    QTest::newRow("missing") << root + QStringLiteral("/errors/none.pnt")
                             << "Path does not exist.";
    QTest::newRow("directory") << root + QStringLiteral("/errors/dirpick")
                               << "Select a file with extension .pnt, .pnthr or .txt.";
    QTest::newRow("suffix") << root + QStringLiteral("/errors/notes.dat")
                            << "Select a file with extension .pnt, .pnthr or .txt.";
    QTest::newRow("text that is not native") << root + QStringLiteral("/errors/plain.txt")
                                             << "The selected TXT is not a Native data file.";
}

void TestMainWindow::nativeFileErrorsKeepModuleAndSettings()
{
    QFETCH(QString, path);
    QFETCH(QString, error);
    QSettings().setValue(QStringLiteral("lastNativeFileDir"), QStringLiteral("/previous"));
    MainWindow window;
    window.openCalculator();
    QWidget *module = window.centralWidget();
    m_dialogs.replies << path;
    action(window, QStringLiteral("Native data"), QStringLiteral("Show native && dynamic"))->trigger();
    flushDeferredDeletes();
    QCOMPARE(m_dialogs.askedDirs.value(0), QStringLiteral("/previous"));
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].kind, QStringLiteral("warning"));
    QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("Error"));
    QCOMPARE(m_dialogs.messages[0].text, error);
    QCOMPARE(window.centralWidget(), module);
    QCOMPARE(QSettings().value(QStringLiteral("lastNativeFileDir")).toString(),
             QStringLiteral("/previous"));
}

void TestMainWindow::nativeFileRemembersDirectory()
{
    const QString dir = m_files.path() + QStringLiteral("/native");
    QVERIFY(QDir().mkpath(dir));
    writeFile(dir + QStringLiteral("/obs.pnt"));
    MainWindow window;
    QWidget *before = window.centralWidget();
    m_dialogs.replies << dir + QStringLiteral("/obs.pnt");
    window.openNativeFile();
    QCOMPARE(QSettings().value(QStringLiteral("lastNativeFileDir")).toString(),
             QDir(dir).absolutePath());
    // The native module takes the window over and reads the file in the background.
    QVERIFY(qobject_cast<NativeModule *>(window.centralWidget()));
    QVERIFY(window.centralWidget() != before);

    m_dialogs.replies << QString();
    window.openNativeFile();
    QCOMPARE(m_dialogs.askedDirs.value(1), QDir(dir).absolutePath());
}

void TestMainWindow::multiDayStoresParentDirectory()
{
    const QString observations = m_files.path() + QStringLiteral("/B0329+54");
    QVERIFY(QDir().mkpath(observations + QStringLiteral("/2024.01.05")));
    MainWindow window;
    m_dialogs.replies << observations + QStringLiteral("/2024.01.05");
    window.openMultiDayDirectory();
    QCOMPARE(QSettings().value(QStringLiteral("lastNativeMultiDayDir")).toString(),
             QDir(observations).absolutePath());
    QVERIFY(m_dialogs.messages.value(0).text.contains(QStringLiteral("not available yet")));

    m_dialogs.replies << QString();
    window.openMultiDayDirectory();
    QCOMPARE(m_dialogs.askedDirs.value(1), QDir(observations).absolutePath());
    QVERIFY(QSettings().value(QStringLiteral("lastResultDir")).toString().isEmpty());
}

void TestMainWindow::profilesStoresParentDirectory()
{
    const QString results = m_files.path() + QStringLiteral("/results");
    QVERIFY(QDir().mkpath(results + QStringLiteral("/J0332+5434")));
    MainWindow window;
    m_dialogs.replies << results + QStringLiteral("/J0332+5434/");
    window.openProfilesDirectory();
    QCOMPARE(QSettings().value(QStringLiteral("lastResultDir")).toString(),
             QDir(results).absolutePath());
    QCOMPARE(MainWindow::parentDirectory(QStringLiteral("/data/obs/day")),
             QStringLiteral("/data/obs"));
    QCOMPARE(MainWindow::parentDirectory(QStringLiteral("/data/obs/day/")),
             QStringLiteral("/data/obs"));
    QCOMPARE(MainWindow::parentDirectory(QStringLiteral("/data")), QStringLiteral("/"));
}

void TestMainWindow::calculatorReplacesModule()
{
    MainWindow window;
    QPointer<WelcomeWidget> welcome = window.welcomePage();
    QVERIFY(welcome);
    action(window, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
    auto *first = qobject_cast<CalculatorModule *>(window.centralWidget());
    QVERIFY(first);
    QCOMPARE(window.currentModule(), first);
    QCOMPARE(first->parentWidget(), &window);
    flushDeferredDeletes();
    QVERIFY(welcome.isNull());

    QPointer<CalculatorModule> old = first;
    action(window, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
    auto *second = qobject_cast<CalculatorModule *>(window.centralWidget());
    QVERIFY(second);
    QVERIFY(second != first);
    QVERIFY(!old.isNull());  // deleted later, not at once
    flushDeferredDeletes();
    QVERIFY(old.isNull());
    QCOMPARE(window.currentModule(), second);
}

void TestMainWindow::helpDocumentLookup()
{
    const QString appDir = m_files.path() + QStringLiteral("/app");
    QVERIFY(QDir().mkpath(appDir + QStringLiteral("/doc")));
    writeFile(appDir + QStringLiteral("/doc/both.pdf"));
    writeFile(appDir + QStringLiteral("/both.pdf"));
    writeFile(appDir + QStringLiteral("/beside.pdf"));
    QCOMPARE(MainWindow::findHelpDocument(appDir, QStringLiteral("both.pdf")),
             QDir(appDir).absoluteFilePath(QStringLiteral("doc/both.pdf")));
    QCOMPARE(MainWindow::findHelpDocument(appDir, QStringLiteral("beside.pdf")),
             QDir(appDir).absoluteFilePath(QStringLiteral("beside.pdf")));
    QVERIFY(MainWindow::findHelpDocument(appDir, QStringLiteral("none.pdf")).isEmpty());
}

void TestMainWindow::helpMenuMessages()
{
    // Uses the test's own directory: a file put into its doc/ is found there.
    const QString docDir = QCoreApplication::applicationDirPath() + QStringLiteral("/doc");
    const QString docPath = docDir + QStringLiteral("/updates_kvx3_visual.pdf");
    QVERIFY(QDir().mkpath(docDir));
    QFile::remove(docPath);
    MainWindow window;

    action(window, QStringLiteral("Help"), QStringLiteral("README - flux density calculator"))
        ->trigger();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].title, QStringLiteral("README - flux density calculator"));
    QCOMPARE(m_dialogs.messages[0].text,
             QStringLiteral("File not found:\nREADME_kvx3_visual_calc.pdf"));
    QVERIFY(m_dialogs.opened.isEmpty());

    writeFile(docPath);
    action(window, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
    QCOMPARE(m_dialogs.opened, QStringList({QFileInfo(docPath).absoluteFilePath()}));
    QCOMPARE(m_dialogs.messages.size(), 1);

    m_dialogs.openSucceeds = false;
    action(window, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
    QCOMPARE(m_dialogs.messages.size(), 2);
    QCOMPARE(m_dialogs.messages[1].title, QStringLiteral("Updates"));
    QCOMPARE(m_dialogs.messages[1].text,
             QStringLiteral("Cannot open file:\n%1").arg(QFileInfo(docPath).absoluteFilePath()));
    QVERIFY(QFile::remove(docPath));
    QDir().rmdir(docDir);
}

void TestMainWindow::aboutText()
{
    const QString text = AboutBox::text(QStringLiteral("05.12.2026 14:03"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].startsWith(QStringLiteral("Software developer")));
    QVERIFY(lines[1].startsWith(QStringLiteral("Scientific lead")));
    QVERIFY(lines[2].startsWith(QStringLiteral("Project website: ")));
    QVERIFY(lines[3].isEmpty());
    QCOMPARE(lines[4], QStringLiteral("Version: Orvalis-3_visual_2026.07.25"));
    QCOMPARE(lines[5], QStringLiteral("Build date: 05.12.2026 14:03"));
    // Role placeholders only: no addresses that look real.
    QVERIFY(!text.contains(QLatin1Char('@')));
    QVERIFY(!text.contains(QStringLiteral("http")));

    QCOMPARE(AboutBox::buildDateText(m_files.path() + QStringLiteral("/no-such-program")),
             QStringLiteral("unknown"));
    const QString program = m_files.path() + QStringLiteral("/program");
    writeFile(program);
    QFile file(program);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QDateTime when(QDate(2026, 3, 7), QTime(9, 5, 42));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(AboutBox::buildDateText(program), QStringLiteral("07.03.2026 09:05"));

    MainWindow window;
    action(window, QStringLiteral("Help"), QStringLiteral("About"))->trigger();
    QCOMPARE(m_dialogs.messages.size(), 1);
    QCOMPARE(m_dialogs.messages[0].kind, QStringLiteral("about"));
    QVERIFY(m_dialogs.messages[0].text.endsWith(
        QStringLiteral("Build date: ")
        + AboutBox::buildDateText(QCoreApplication::applicationFilePath())));
}

void TestMainWindow::aboutBoxIsWideEnough()
{
    const QString text = AboutBox::text(QStringLiteral("05.12.2026 14:03"));
    QMessageBox box;
    AboutBox::prepare(&box, text);
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.textFormat(), Qt::PlainText);
    QCOMPARE(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    QVERIFY(!label->wordWrap());
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    QVERIFY(widest > 100);
    QCOMPARE(label->minimumWidth(), widest + 12);
    QCOMPARE(box.minimumWidth(), widest + 117);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(label->width() >= widest);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
