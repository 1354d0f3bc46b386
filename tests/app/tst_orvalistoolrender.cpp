#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeform.h"
#include "plot/dynamicspectrumwidget.h"
#include "plot/grafiks.h"
#include "tests/support/nativemoduleprobe.h"
#include "tests/support/toolrun.h"
#include "tests/support/widgetprobe.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Point numbers that differ from the indexes catch a mix-up of the two.
constexpr int firstPoint = 20000;

SyntheticObservation::Params params()
{
    return NativeModuleProbe::pulsarParams(4000, firstPoint);
}

} // namespace

// orvalis-tool render against the program itself: the tool's pictures must
// have the pixels the native module's own widgets draw for the same file and
// settings; and the pictures come without a display, into directories, and
// not at all when they cannot be made.
class TestOrvalisToolRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_tool = ToolRun::path(QStringLiteral("orvalis-tool"));
        QVERIFY2(QFileInfo(m_tool).isExecutable(), qPrintable(m_tool + QStringLiteral(" is not built")));
        QVERIFY(m_dir.isValid());
        m_file = NativeModuleProbe::write(m_dir.filePath(QStringLiteral("250725_00.pnt")), params());
        QVERIFY(!m_file.isEmpty());
        m_fileSize = QFileInfo(m_file).size();
    }

    void pictureMatchesModule_data()
    {
        // The form's settings and range (first is an index in the file; -1: as the
        // module opens the file) and the tool's options for the same picture. A
        // spectrum is shown beside its native graph, paired.
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("as opened: all beams, channel sum") << "" << -1 << -1 << QStringList();
        QTest::newRow("one beam, one channel, part") << "nativeRay=2,nativeChannel=3" << 500 << 1500
            << QStringList{"--beam", "2", "--channel", "3", "--first", "20500", "--count", "1500"};
        QTest::newRow("dispersed sum of one beam") << "nativeRay=5,nativeDispersion=40" << 1000 << 2500
            << QStringList{"--beam", "5", "--dm", "40", "--first", "21000", "--count", "2500"};
        QTest::newRow("spectrum dispersed, part, large cells")
            << "nativeRay=4,nativeDispersion=40,dynamicGroup=1,dynamicPixWidth=3,dynamicPixHeight=9" << 1200 << 300
            << QStringList{"--beam", "4", "--dm", "40", "--first", "21200", "--count", "300", "--cell", "3x9"};
        QTest::newRow("spectrum to the end of the file") << "nativeRay=8,nativeDispersion=12,dynamicGroup=1" << 3900 << 100
            << QStringList{"--beam", "8", "--dm", "12", "--first", "23900", "--count", "5000"};
    }

    void pictureMatchesModule()
    {
        QFETCH(QString, settings);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(QStringList, options);
        auto m = NativeModuleProbe::open(m_file);
        m->resize(1400, 900);
        m->show();
        QVERIFY(NativeModuleProbe::waitLoaded(m.get()) && m->data().loaded);
        NativeForm *f = m->form();
        WidgetProbe::apply(f, settings);
        const bool spectrum = f->dynamicGroup()->isChecked();
        QVERIFY(!spectrum || f->isPaired());
        if (spectrum) {
            f->setDynamicRange(first, count);
            emit f->dynamicRangeEdited();
        } else if (first >= 0) {
            f->setNativeRange(first, count);
            emit f->nativeRangeEdited();
        }
        QApplication::processEvents();
        const QImage shown = spectrum ? m->dynamicView()->spectrum()->renderFragment(firstPoint + first, count)
                                      : m->plot()->grab().toImage();

        const QString out = m_dir.filePath(QStringLiteral("picture.png"));
        QFile::remove(out);
        QStringList arguments{"render", m_file, "-o", out};
        if (spectrum)
            arguments << QStringLiteral("--spectrum");
        else
            arguments << QStringLiteral("--size") << QStringLiteral("%1x%2").arg(shown.width()).arg(shown.height());
        const Run r = run(arguments + options);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.out.trimmed(), out);
        const QImage written(out);
        QVERIFY(!written.isNull());
        QCOMPARE(written.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
    }

    void picturesIntoDirectoryWithoutDisplay()
    {
        // A second file of another shape (one beam numbered 3, no all-beams graph).
        SyntheticObservation::Params p = params();
        p.nRays = 1;
        p.firstRay = 3;
        p.npoints = 1500;
        const QString other = NativeModuleProbe::write(m_dir.filePath(QStringLiteral("250726_00.pnt")), p);
        QVERIFY(!other.isEmpty());

        QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            bare.remove(QLatin1String(name));
        const QString dir = m_dir.filePath(QStringLiteral("pictures/"));
        Run r = run({"render", m_file, other, "-o", dir}, bare);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QStringList written = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written.size(), 2);
        // Named as the program proposes a saved graph: file, module, beam, points.
        QVERIFY2(written[0].endsWith(QStringLiteral("_file250725_m1_r0_n4000_native.png")), qPrintable(written[0]));
        QVERIFY2(written[1].endsWith(QStringLiteral("_file250726_m1_r3_n1500_native.png")), qPrintable(written[1]));
        QCOMPARE(QImage(written[1]).size(), QSize(1200, 600));

        // The same picture twice in one run is refused, not overwritten.
        r = run({"render", "--spectrum", m_file, m_file, "-o", dir});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(), 1);
        QVERIFY2(r.err.contains(QStringLiteral("same name")), qPrintable(r.err));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QString out = QStringLiteral("OUT/refused.png");
        QTest::newRow("size not WxH") << QStringList{"render", "FILE", "--size", "800", "-o", out} << 2 << "--size";
        QTest::newRow("cell too large") << QStringList{"render", "FILE", "--spectrum", "--cell", "21x4", "-o", out} << 2 << "--cell";
        QTest::newRow("spectrum channel") << QStringList{"render", "FILE", "--spectrum", "--channel", "2", "-o", out} << 2 << "--channel";
        QTest::newRow("fractional dm") << QStringList{"render", "FILE", "--dm", "26.8", "-o", out} << 2 << "--dm";
        QTest::newRow("several files, one picture") << QStringList{"render", "FILE", "FILE", "-o", out} << 2 << "DIR/";
        QTest::newRow("beam not in the file")
            << QStringList{"render", "FILE", "--beam", "9", "-o", out} << 1 << "The file has modules 1-1, beams 0-8";
        QTest::newRow("spectrum of all beams") << QStringList{"render", "FILE", "--spectrum", "--beam", "0", "-o", out} << 1 << "beams 1-8";
        QTest::newRow("before the file") << QStringList{"render", "FILE", "--first", "19999", "-o", out} << 1 << "points 20000-23999";
        QTest::newRow("no points") << QStringList{"render", "FILE", "--count", "0", "-o", out} << 1 << "--count";
        QTest::newRow("spectrum too long") << QStringList{"render", "FILE", "--spectrum", "--count", "12001", "-o", out} << 1 << "12000";
        QTest::newRow("missing file") << QStringList{"render", "OUT/none.pnt", "-o", out} << 1 << "none.pnt";
        QTest::newRow("picture over its file") << QStringList{"render", "FILE", "-o", "FILE"} << 1 << "replace";
        QTest::newRow("unwritable place") << QStringList{"render", "FILE", "-o", "OUT/no/such/dir/x.png"} << 1 << "x.png";
    }

    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, says);
        const QString out = m_dir.filePath(QStringLiteral("refusals"));
        QVERIFY(QDir().mkpath(out));
        arguments.replaceInStrings(QStringLiteral("FILE"), m_file);
        arguments.replaceInStrings(QStringLiteral("OUT"), out);
        const Run r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QCOMPARE(QFileInfo(m_file).size(), m_fileSize);
        // Nothing is left behind, not even a temporary file.
        QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

private:
    using Run = ToolRun::Result;
    Run run(const QStringList &arguments,
            const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) const
    {
        return ToolRun::run(m_tool, arguments, environment);
    }

    QString m_tool;
    QTemporaryDir m_dir;
    QString m_file;
    qint64 m_fileSize = 0;
};

QTEST_MAIN(TestOrvalisToolRender)
#include "tst_orvalistoolrender.moc"
