#include "app/aboutbox.h"
#include "app/appidentity.h"
#include "app/mainwindow.h"
#include "app/welcomewidget.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/native/nativemodule.h"
#include "tests/support/fakeappdialogs.h"
#include "tests/support/nativefixture.h"
#include "tests/support/widgetprobe.h"

#include <QAction>
#include <QDir>
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

private slots:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid() && m_files.isValid());
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
        QCoreApplication::setOrganizationName(AppIdentity::organizationName());
        QCoreApplication::setApplicationName(AppIdentity::applicationName());
        AppIdentity::initResources();
        // Never the user's own settings.
        QVERIFY(QSettings().fileName().startsWith(m_settingsDir.path()));
    }

    void init()
    {
        QSettings().clear();
        m_log = DialogLog();
    }

    void geometryRoundTrip()
    {
        {
            auto w = window();
            QVERIFY(qobject_cast<WelcomeWidget *>(w->centralWidget()));
            w->resize(900, 600);
        }
        QCOMPARE(window()->size(), QSize(900, 600));
        // A maximized run keeps the normal geometry for the next one.
        const QByteArray normal = QSettings().value(QStringLiteral("geometry")).toByteArray();
        window()->showMaximized();
        QCOMPARE(QSettings().value(QStringLiteral("geometry")).toByteArray(), normal);
        QVERIFY(window()->windowState() & Qt::WindowMaximized);
    }

    void menusCancelledThenModulesReplaced()
    {
        auto w = window();
        QPointer<WelcomeWidget> welcome = w->welcomePage();
        action(*w, QStringLiteral("Native data"), QStringLiteral("Show native && dynamic"))->trigger();
        action(*w, QStringLiteral("Native data"), QStringLiteral("Multi-day channel sums"))->trigger();
        action(*w, QStringLiteral("Profiles"), QStringLiteral("Average profiles - periods"))->trigger();
        WidgetProbe::flushDeletes();
        QCOMPARE(m_log.askedTitles.size(), 3);
        QCOMPARE(w->centralWidget(), welcome.data());
        QVERIFY(m_log.messages.isEmpty());
        QVERIFY(QSettings().allKeys().isEmpty());

        // A module replaces what was shown, which the event loop deletes later.
        action(*w, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
        QPointer<QWidget> first = qobject_cast<CalculatorModule *>(w->centralWidget());
        WidgetProbe::flushDeletes();
        QVERIFY(welcome.isNull());
        action(*w, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
        QVERIFY(first && w->centralWidget() != first);
        QCOMPARE(w->currentModule(), w->centralWidget());
        QVERIFY(!first.isNull());
        WidgetProbe::flushDeletes();
        QVERIFY(first.isNull());
    }

    // The refusals themselves are the native listing's; here one reaches the user
    // and changes nothing, and a native file opens.
    void nativeFileRefusedOrOpened()
    {
        QSettings().setValue(QStringLiteral("lastNativeFileDir"), QStringLiteral("/previous"));
        auto w = window();
        w->openCalculator();
        QWidget *module = w->centralWidget();
        m_log.replies << m_files.filePath(QStringLiteral("none.pnt"));
        w->openNativeFile();
        WidgetProbe::flushDeletes();
        QCOMPARE(m_log.askedPaths.value(0), QStringLiteral("/previous"));
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("Path does not exist.")));
        QCOMPARE(w->centralWidget(), module);
        QCOMPARE(QSettings().value(QStringLiteral("lastNativeFileDir")).toString(), QStringLiteral("/previous"));

        // The native module takes the window over and reads the file in the background;
        // the next dialog starts in the file's directory.
        const QString native = m_files.filePath(QStringLiteral("native/obs.pnt"));
        QVERIFY(QDir().mkpath(QFileInfo(native).path()) && fixture::writeFile(native, "x"));
        m_log.replies << native << QString();
        w->openNativeFile();
        QVERIFY(qobject_cast<NativeModule *>(w->centralWidget()));
        w->openNativeFile();
        QCOMPARE(m_log.askedPaths.value(2), QFileInfo(native).absolutePath());
    }

    // The menus' wiring is the cancelled case above; here the slots they call.
    void directoriesRememberTheirParent_data()
    {
        QTest::addColumn<bool>("profiles");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("remembered");
        const QString root = QDir(m_files.path()).absolutePath();
        QDir().mkpath(root + QStringLiteral("/B0329+54/2024.01.05"));
        QTest::newRow("multi-day") << false << root + "/B0329+54/2024.01.05" << root + "/B0329+54";
        // The parent is found by text, so that it also holds for a directory gone meanwhile.
        QTest::newRow("profiles, gone meanwhile, trailing slash") << true << root + "/gone/day/" << root + "/gone";
    }

    void directoriesRememberTheirParent()
    {
        QFETCH(bool, profiles);
        QFETCH(QString, chosen);
        QFETCH(QString, remembered);
        const QString key = profiles ? QStringLiteral("lastResultDir") : QStringLiteral("lastNativeMultiDayDir");
        const auto open = profiles ? &MainWindow::openProfilesDirectory : &MainWindow::openMultiDayDirectory;
        auto w = window();
        m_log.replies << chosen << QString();
        for (int i = 0; i < 2; ++i)
            (w.get()->*open)();
        QCOMPARE(QSettings().value(key).toString(), remembered);
        QCOMPARE(m_log.askedPaths.value(1), remembered);
        // Each kind fills its own key only.
        QCOMPARE(QSettings().allKeys(), QStringList(key));
    }

    void helpMenu()
    {
        const QString appDir = m_files.path() + QStringLiteral("/app");
        QVERIFY(QDir().mkpath(appDir + QStringLiteral("/doc")));
        for (const char *name : {"/doc/both.pdf", "/both.pdf", "/beside.pdf"})
            QVERIFY(fixture::writeFile(appDir + QLatin1String(name), "x"));
        QCOMPARE(MainWindow::findHelpDocument(appDir, QStringLiteral("both.pdf")),
                 QDir(appDir).absoluteFilePath(QStringLiteral("doc/both.pdf")));
        QCOMPARE(MainWindow::findHelpDocument(appDir, QStringLiteral("beside.pdf")),
                 QDir(appDir).absoluteFilePath(QStringLiteral("beside.pdf")));

        // The menu looks beside this test program: missing, opened, refused.
        const QString docDir = QCoreApplication::applicationDirPath() + QStringLiteral("/doc");
        const QString docPath = QFileInfo(docDir + QStringLiteral("/updates_kvx3_visual.pdf")).absoluteFilePath();
        QVERIFY(QDir().mkpath(docDir));
        QFile::remove(docPath);
        auto w = window();
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        QVERIFY(fixture::writeFile(docPath, "x"));
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        m_dialogs->openSucceeds = false;
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        QCOMPARE(m_dialogs->opened, QStringList({docPath, docPath}));
        QCOMPARE(m_log.texts(), QStringList({QStringLiteral("File not found:\nupdates_kvx3_visual.pdf"),
                                             QStringLiteral("Cannot open file:\n") + docPath}));
        QVERIFY(QFile::remove(docPath));
        QDir().rmdir(docDir);

        m_log = DialogLog();
        action(*w, QStringLiteral("Help"), QStringLiteral("About"))->trigger();
        const QStringList lines = m_log.messages.value(0).text.split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Build date: ") + AboutBox::buildDateText(QCoreApplication::applicationFilePath())));

        const QString program = m_files.path() + QStringLiteral("/program");
        QCOMPARE(AboutBox::buildDateText(program), QStringLiteral("unknown"));
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 42)), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(AboutBox::buildDateText(program), QStringLiteral("07.03.2026 09:05"));

        // No line of the box wraps.
        QMessageBox box;
        AboutBox::prepare(&box, m_log.messages[0].text);
        auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label && !label->wordWrap());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        for (const QString &line : lines)
            QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->width(), qPrintable(line));
    }

private:
    // A window asking through fake dialogs; the pointer to them stays valid
    // while the window lives.
    std::unique_ptr<MainWindow> window()
    {
        auto window = std::make_unique<MainWindow>();
        auto dialogs = std::make_unique<FakeAppDialogs>(&m_log);
        m_dialogs = dialogs.get();
        window->setDialogs(std::move(dialogs));
        return window;
    }

    static QAction *action(MainWindow &window, const QString &menu, const QString &text)
    {
        for (QAction *menuAction : window.menuBar()->actions()) {
            if (menuAction->text() != menu || !menuAction->menu())
                continue;
            for (QAction *item : menuAction->menu()->actions())
                if (item->text() == text)
                    return item;
        }
        qFatal("no menu entry %s > %s", qPrintable(menu), qPrintable(text));
        return nullptr;
    }

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    DialogLog m_log;
    FakeAppDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
