#include "data/nativefile.h"
#include "modules/native/nativeform.h"
#include "tests/support/widgetprobe.h"

#include <QtTest>

static NativeFile fileWith(int firstRay, int nRays, const QString &plosh = QStringLiteral("N1"))
{
    NativeFile file;
    file.loaded = true;
    file.npoints = 5000;
    file.nRays = nRays;
    file.firstRay = firstRay;
    file.nChannels = 7;
    file.plosh = plosh;
    return file;
}

using WidgetProbe::apply;

class TestNativeForm : public QObject
{
    Q_OBJECT

private slots:
    void fileShown_data()
    {
        QTest::addColumn<int>("firstRay");
        QTest::addColumn<int>("nRays");
        QTest::addColumn<QString>("plosh");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QString>("selection"); // beams: native range=value, graph 2, spectrum..Fourier; channel, dm, code
        QTest::newRow("rays 1..8 allow beam 0, choices kept") << 1 << 8 << "N1" << true << "0..8=7 0 1..8 6 30";
        QTest::newRow("choices reset, position code at N4") << 1 << 8 << "N4" << false << "0..8=0 0 1..8 0 0 code";
        QTest::newRow("rays 3..4: beam 7 out of range") << 3 << 2 << "N1" << true << "3..4=3 3 3..4 6 30";
        QTest::newRow("one ray") << 5 << 1 << "N2" << true << "5..5=5 5 5..5 6 30";
        QTest::newRow("rays 2..9: no beam 0") << 2 << 8 << "N4" << true << "2..9=7 2 2..9 6 30 code";
    }

    void fileShown()
    {
        QFETCH(int, firstRay);
        QFETCH(int, nRays);
        QFETCH(QString, plosh);
        QFETCH(bool, keep);
        NativeForm form;
        form.setFileInfo(fileWith(1, 8), false);
        apply(&form, QStringLiteral("nativeRay=7,nativeChannel=6,nativeDispersion=30"));
        QSignalSpy redraws(&form, &NativeForm::graphParametersChanged);
        form.setFileInfo(fileWith(firstRay, nRays, plosh), keep);
        const QSpinBox *ray = form.nativeRay();
        QTEST(QString::asprintf("%d..%d=%d %d %d..%d %d %d%s%s", ray->minimum(), ray->maximum(), ray->value(),
                                form.nativeRay2()->value(), form.dynamicRay()->minimum(), form.fourierRay()->maximum(),
                                form.nativeChannel()->value(), form.nativeDispersion()->value(),
                                form.codeField()->isVisibleTo(&form) ? " code" : "", redraws.isEmpty() ? "" : " redrawn"),
              "selection");

        form.setFileList({{"a.pnt", "/d/a.pnt"}, {"b.pnt", "/d/b.pnt"}}, "/x.pnt"); // unknown: the first, no signal
        QSignalSpy changed(&form, &NativeForm::fileChanged);
        for (auto step : {&NativeForm::onFilePreClicked, &NativeForm::onFileNextClicked, &NativeForm::onFileNextClicked})
            (form.*step)();
        QCOMPARE(changed, QSignalSpy::QList({{form.currentPath()}}));
        QVERIFY(form.currentPath() == "/d/b.pnt" && form.filePre()->isEnabled() && !form.fileNext()->isEnabled());
    }

    void pairing_data()
    {
        // The truth table of switching the two groups, and what follows from it. From native beam 2, channel 5,
        // dm 30 and spectrum dm 44, the steps "start|action". "after": the groups on ("!": controls shown exactly
        // while off), mode, dms, channel, zoom and txt export on, range frozen, signals.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("after");
        const QString paired = QStringLiteral("dynamicGroup=1");
        const QString started = QStringLiteral(" zoom txt nativeDynamicPairingStarted");
        const QString animation = QStringLiteral(" dynamicAnimationChanged");
        QTest::newRow("native alone") << "nativeGroup=0|nativeGroup=1" << "N 1 30/44 ch5 txt";
        QTest::newRow("native off, nothing left") << "|nativeGroup=0" << " 0 30/44 ch5";
        QTest::newRow("spectrum alone") << "nativeGroup=0|" + paired << "D 2 30/44 ch5";
        QTest::newRow("spectrum off, native stays") << paired + "|dynamicGroup=0" << "N 1 30/30 ch0 txt";
        QTest::newRow("spectrum off, nothing left") << "nativeGroup=0," + paired + "|dynamicGroup=0" << " 0 30/44 ch5";
        QTest::newRow("spectrum by one beam") << "|" + paired << "ND 3 30/30 ch0" + started + "(true)";
        QTest::newRow("spectrum by all beams: refused") << "nativeRay=0|" + paired << "N 1 30/44 ch5";
        QTest::newRow("native by spectrum") << "nativeGroup=0,dynamicGroup=1|nativeGroup=1" << "ND 3 44/44 ch5" + started + "(false)";
        QTest::newRow("native off, paired") << paired + "|nativeGroup=0" << "D 2 30/30 ch0";
        QTest::newRow("beam 0 closes spectrum") << paired + "|nativeRay=0" << "N 1 30/30 ch0";
        QTest::newRow("graph 2 closes spectrum") << paired + "|graph2Group=1" << "NG 1 30/30 ch0 txt";
        QTest::newRow("spectrum closes graph 2") << "graph2Group=1|" + paired << "ND 3 30/30 ch0" + started + "(true)";
        QTest::newRow("native dm to spectrum") << paired + "|nativeDispersion=50" << "ND 3 50/50 ch0 zoom txt";
        QTest::newRow("spectrum dm to native") << paired + "|dynamicDispersion=60" << "ND 3 60/60 ch0 zoom txt";
        QTest::newRow("animation") << paired + "|dynamicTypeAnimation=1" << "ND 3 30/30 ch0 txt frozen" + animation + "(true)";
        QTest::newRow("animation ended") << paired + "|dynamicTypeAnimation=1,dynamicTypeScrollable=1"
                                         << "ND 3 30/30 ch0 zoom txt" + animation + "(true)" + animation + "(false)";
    }

    void pairing()
    {
        NativeForm form;
        form.setFileInfo(fileWith(1, 8), false);
        apply(&form, QStringLiteral("nativeRay=2,nativeChannel=5,nativeDispersion=30,dynamicDispersion=44"));
        QFETCH(QString, steps);
        apply(&form, steps.section('|', 0, 0));
        QSignalSpy paired(&form, &NativeForm::nativeDynamicPairingStarted);
        QSignalSpy animation(&form, &NativeForm::dynamicAnimationChanged);
        apply(&form, steps.section('|', 1));
        QString after;
        for (QGroupBox *group : {form.nativeGroup(), form.dynamicGroup(), form.graph2Group()}) {
            const bool shown = group->findChild<QWidget *>(QString(), Qt::FindDirectChildrenOnly)->isVisibleTo(&form);
            after += shown != group->isChecked() ? QStringLiteral("!") : shown ? group->objectName().left(1).toUpper() : "";
        }
        const auto offByForm = [](QWidget *control) { return !control->isEnabledTo(control->parentWidget()); };
        const bool frozen = offByForm(form.dynamicFirstPoint()) && offByForm(form.dynamicPoints())
                            && offByForm(form.dynamicSaveGraphAll());
        after += QString::asprintf(" %d %d/%d ch%d%s%s%s", int(form.pairingMode()), form.nativeDispersion()->value(),
                                   form.dynamicDispersion()->value(), form.nativeChannel()->value(),
                                   form.dynamicZoomToNative()->isEnabled() ? " zoom" : "",
                                   form.nativeSaveDataTxt()->isEnabled() ? " txt" : "", frozen ? " frozen" : "");
        for (QSignalSpy *spy : {&paired, &animation})
            for (const QList<QVariant> &arguments : *spy)
                after += ' ' + QString::fromLatin1(spy->signal()).replace("bool", arguments.value(0).toString());
        QTEST(after, "after");
    }
};

QTEST_MAIN(TestNativeForm)
#include "tst_nativeform.moc"
