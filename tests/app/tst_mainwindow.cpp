#include "app/aboutbox.h"
#include "app/appidentity.h"
#include "app/mainwindow.h"
#include "app/welcomewidget.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/native/nativemodule.h"
#include "tests/support/fakeappdialogs.h"
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

    void cancelledDialogsChangeNothing()
    {
        auto w = window();
        QWidget *before = w->centralWidget();
        action(*w, QStringLiteral("Native data"), QStringLiteral("Show native && dynamic"))->trigger();
        action(*w, QStringLiteral("Native data"), QStringLiteral("Multi-day channel sums"))->trigger();
        action(*w, QStringLiteral("Profiles"), QStringLiteral("Average profiles - periods"))->trigger();
        WidgetProbe::flushDeletes();
        QCOMPARE(m_log.askedTitles.size(), 3);
        QCOMPARE(w->centralWidget(), before);
        QVERIFY(m_log.messages.isEmpty());
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    void nativeFileErrorsKeepModuleAndSettings_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("error");
        // The refusals themselves are the native listing's; here one of them reaches the user.
        const QString root = m_files.path();
        QDir(root).mkpath(QStringLiteral("native"));
        writeFile(root + QStringLiteral("/native/obs.pnt"));
        QTest::newRow("missing") << root + "/errors/none.pnt" << "Path does not exist.";
        QTest::newRow("native file opens") << root + "/native/obs.pnt" << QString();
    }

    void nativeFileErrorsKeepModuleAndSettings()
    {
        QFETCH(QString, path);
        QFETCH(QString, error);
        QSettings().setValue(QStringLiteral("lastNativeFileDir"), QStringLiteral("/previous"));
        auto w = window();
        w->openCalculator();
        QWidget *module = w->centralWidget();
        m_log.replies << path;
        w->openNativeFile();
        WidgetProbe::flushDeletes();
        QCOMPARE(m_log.askedPaths.value(0), QStringLiteral("/previous"));
        if (error.isEmpty()) {
            // The native module takes the window over and reads the file in the background;
            // the next dialog starts in the file's directory.
            QVERIFY(qobject_cast<NativeModule *>(w->centralWidget()));
            w->openNativeFile();
            QCOMPARE(m_log.askedPaths.value(1), QFileInfo(path).absolutePath());
            return;
        }
        QCOMPARE(m_log.texts(), QStringList(error));
        QCOMPARE(w->centralWidget(), module);
        QCOMPARE(QSettings().value(QStringLiteral("lastNativeFileDir")).toString(), QStringLiteral("/previous"));
    }

    void directoriesRememberTheirParent_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("remembered");
        const QString root = QDir(m_files.path()).absolutePath();
        QDir().mkpath(root + QStringLiteral("/B0329+54/2024.01.05"));
        QDir().mkpath(root + QStringLiteral("/results/J0332+5434"));
        QTest::newRow("multi-day") << "Native data" << "Multi-day channel sums"
                                   << QString(root + "/B0329+54/2024.01.05") << "lastNativeMultiDayDir"
                                   << QString(root + "/B0329+54");
        QTest::newRow("profiles, trailing slash") << "Profiles" << "Average profiles - periods"
                                                  << QString(root + "/results/J0332+5434/") << "lastResultDir"
                                                  << QString(root + "/results");
        // The parent is found by text, so that it also holds for a directory gone meanwhile.
        QTest::newRow("gone meanwhile") << "Profiles" << "Average profiles - periods" << QString(root + "/gone/day")
                                        << "lastResultDir" << QString(root + "/gone");
    }

    void directoriesRememberTheirParent()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(QString, chosen);
        QFETCH(QString, key);
        QFETCH(QString, remembered);
        auto w = window();
        m_log.replies << chosen << QString();
        action(*w, menu, entry)->trigger();
        QCOMPARE(QSettings().value(key).toString(), remembered);
        action(*w, menu, entry)->trigger();
        QCOMPARE(m_log.askedPaths.value(1), remembered);
        // Each menu fills its own key only.
        QCOMPARE(QSettings().allKeys(), QStringList(key));
    }

    void modulesReplacedLater()
    {
        auto w = window();
        QPointer<WelcomeWidget> welcome = w->welcomePage();
        action(*w, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
        QPointer<QWidget> first = qobject_cast<CalculatorModule *>(w->centralWidget());
        WidgetProbe::flushDeletes();
        QVERIFY(welcome.isNull());
        action(*w, QStringLiteral("Calculator"), QStringLiteral("Calculator"))->trigger();
        QVERIFY(first && w->centralWidget() != first);
        QCOMPARE(w->currentModule(), w->centralWidget());
        // Deleted by the event loop, not at once.
        QVERIFY(!first.isNull());
        WidgetProbe::flushDeletes();
        QVERIFY(first.isNull());
    }

    void helpDocuments()
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

        // The menu looks beside this test program: missing, opened, refused.
        const QString docDir = QCoreApplication::applicationDirPath() + QStringLiteral("/doc");
        const QString docPath = QFileInfo(docDir + QStringLiteral("/updates_kvx3_visual.pdf")).absoluteFilePath();
        QVERIFY(QDir().mkpath(docDir));
        QFile::remove(docPath);
        auto w = window();
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        writeFile(docPath);
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        m_dialogs->openSucceeds = false;
        action(*w, QStringLiteral("Help"), QStringLiteral("Updates"))->trigger();
        QCOMPARE(m_dialogs->opened, QStringList({docPath, docPath}));
        QCOMPARE(m_log.texts(), QStringList({QStringLiteral("File not found:\nupdates_kvx3_visual.pdf"),
                                             QStringLiteral("Cannot open file:\n") + docPath}));
        QVERIFY(QFile::remove(docPath));
        QDir().rmdir(docDir);
    }

    void aboutBox()
    {
        auto w = window();
        action(*w, QStringLiteral("Help"), QStringLiteral("About"))->trigger();
        const QStringList lines = m_log.messages.value(0).text.split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Build date: ") + AboutBox::buildDateText(QCoreApplication::applicationFilePath())));

        const QString program = m_files.path() + QStringLiteral("/program");
        QCOMPARE(AboutBox::buildDateText(program), QStringLiteral("unknown"));
        writeFile(program);
        QFile file(program);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QDateTime modified(QDate(2026, 3, 7), QTime(9, 5, 42));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
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
    static void writeFile(const QString &path, const QByteArray &data = QByteArray("x"))
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    DialogLog m_log;
    FakeAppDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
