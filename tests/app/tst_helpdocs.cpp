#include "tests/support/toolrun.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>

// The build draws the icon and writes the help documents with our own tools;
// these checks read what it produced beside the program, and that a build
// with nothing changed does nothing.
class TestHelpDocs : public QObject
{
    Q_OBJECT

private slots:
    // The user's guide stands for the three documents: one writer makes them all.
    void guideIsPdf()
    {
        const QString title = QStringLiteral("Orvalis-3 user's guide");
        QFile file(QStringLiteral(ORVALIS_APP_BUILD_DIR "/doc/README_kvx3_visual.pdf"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray pdf = file.readAll();
        QVERIFY(pdf.startsWith("%PDF-1."));
        QVERIFY(pdf.trimmed().endsWith("%%EOF"));
        // Page objects, not the page tree ("/Type /Pages").
        const QString text = QString::fromLatin1(pdf.constData(), pdf.size());
        const int pages = text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])")));
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        const QRegularExpressionMatch count =
            QRegularExpression(QStringLiteral("/Type\\s*/Pages\\b[^>]*/Count\\s+(\\d+)")).match(text);
        QVERIFY(count.hasMatch());
        QCOMPARE(count.captured(1).toInt(), pages);
        // The title is stored in the document information, as UTF-16 text.
        QByteArray utf16("\xfe\xff");
        for (const QChar c : title) {
            utf16.append(char(c.unicode() >> 8));
            utf16.append(char(c.unicode() & 0xff));
        }
        QVERIFY(pdf.contains(utf16) || pdf.contains(title.toLatin1()));
    }

    void installsLikeADesktopProgram()
    {
        QTemporaryDir destination;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destination.path());
        const ToolRun::Result install = ToolRun::run(QStringLiteral(ORVALIS_CMAKE_COMMAND),
                                                     {QStringLiteral("--install"), QStringLiteral(ORVALIS_BUILD_DIR),
                                                      QStringLiteral("--prefix"), QStringLiteral("/opt/orvalis")},
                                                     environment);
        QVERIFY2(install.status == 0, qPrintable(install.err));

        const QString root = destination.path() + QStringLiteral("/opt/orvalis");
        const QFileInfo link(root + QStringLiteral("/bin/orvalis3"));
        QVERIFY(link.isSymLink());
        const QFileInfo program(link.canonicalFilePath());
        QVERIFY(program.isFile() && program.isExecutable());
        // The command-line companion lives beside it, reached through its own link.
        const QFileInfo tool(QFileInfo(root + QStringLiteral("/bin/orvalis-tool")).canonicalFilePath());
        QVERIFY(tool.isExecutable());
        QCOMPARE(tool.absolutePath(), program.absolutePath());
        // The Help menu looks for doc/ beside the program it runs from.
        QVERIFY(QFileInfo(program.absolutePath() + QStringLiteral("/doc/updates_kvx3_visual.pdf")).size() > 1000);

        QFile desktop(root + QStringLiteral("/share/applications/orvalis3.desktop"));
        QVERIFY(desktop.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(desktop.readAll()).split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Exec=orvalis3")) && lines.contains(QStringLiteral("Icon=orvalis3")));
        QCOMPARE(QImage(root + QStringLiteral("/share/icons/hicolor/256x256/apps/orvalis3.png")).size(), QSize(256, 256));
    }

    // The scripts configure before every build; with nothing changed, that must
    // leave every build step up to date (no icon resource, relinks or re-globbing).
    void configuringAgainBuildsNothing()
    {
        if (QStringLiteral(ORVALIS_CMAKE_GENERATOR) != QLatin1String("Ninja"))
            QSKIP("The build tree does not use Ninja.");
        const QString cmake = QStringLiteral(ORVALIS_CMAKE_COMMAND);
        const ToolRun::Result configure = ToolRun::run(cmake, {QStringLiteral("-S"), QStringLiteral(ORVALIS_SOURCE_DIR),
                                                               QStringLiteral("-B"), QStringLiteral(ORVALIS_BUILD_DIR)});
        QVERIFY2(configure.status == 0, qPrintable(configure.out + configure.err));
        // A dry run lists what a build would do, without doing it.
        const ToolRun::Result build = ToolRun::run(cmake, {QStringLiteral("--build"), QStringLiteral(ORVALIS_BUILD_DIR),
                                                           QStringLiteral("--"), QStringLiteral("-n"), QStringLiteral("-d"),
                                                           QStringLiteral("explain")});
        QVERIFY2(build.status == 0 && build.out.contains(QStringLiteral("ninja: no work to do.")),
                 qPrintable(build.out + build.err));
    }
};

QTEST_MAIN(TestHelpDocs)
#include "tst_helpdocs.moc"
