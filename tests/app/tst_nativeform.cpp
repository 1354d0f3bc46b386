#include "data/nativefile.h"
#include "modules/native/nativeform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

namespace {

NativeFile fileWith(int firstRay, int nRays, const QString &plosh = QStringLiteral("N1"))
{
    NativeFile file;
    file.loaded = true;
    file.npoints = 5000;
    file.nModules = 2;
    file.firstModule = 3;
    file.nRays = nRays;
    file.firstRay = firstRay;
    file.nChannels = 7;
    file.tresolution = 0.0124928;
    file.plosh = plosh;
    file.positionCodeKey = QStringLiteral("12 0 1");
    file.utcBeginDate = QStringLiteral("2026.07.25");
    file.utcBeginTime = QStringLiteral("02:00:00");
    return file;
}

QVector<NativeFileEntry> threeFiles()
{
    return {{QStringLiteral("a.pnt"), QStringLiteral("/d/a.pnt")},
            {QStringLiteral("b.pnt"), QStringLiteral("/d/b.pnt")},
            {QStringLiteral("c.pnt"), QStringLiteral("/d/c.pnt")}};
}

} // namespace

class TestNativeForm : public QObject
{
    Q_OBJECT

private slots:
    void rayRanges_data();
    void rayRanges();
    void moduleRangeAndKeeping();
    void positionCodeOnlyAtN4();
    void fileNavigation();
    void groupsExcludeEachOther();
    void emissions();
    void animationType();
};

void TestNativeForm::rayRanges_data()
{
    QTest::addColumn<int>("firstRay");
    QTest::addColumn<int>("nRays");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("ray2");

    QTest::newRow("rays 1..8") << 1 << 8 << 0 << 8 << 0 << 0;
    QTest::newRow("rays 3..4") << 3 << 2 << 3 << 4 << 3 << 3;
    QTest::newRow("one ray") << 5 << 1 << 5 << 5 << 5 << 5;
    QTest::newRow("rays 2..9") << 2 << 8 << 2 << 9 << 2 << 2;
}

void TestNativeForm::rayRanges()
{
    QFETCH(int, firstRay);
    QFETCH(int, nRays);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, ray2);
    NativeForm form;
    form.setFileInfo(fileWith(firstRay, nRays), false);
    QCOMPARE(form.nativeRay()->minimum(), minimum);
    QCOMPARE(form.nativeRay()->maximum(), maximum);
    QCOMPARE(form.nativeRay()->value(), value);
    QCOMPARE(form.nativeRay2()->value(), ray2);
    QCOMPARE(form.dynamicRay()->minimum(), firstRay);
    QCOMPARE(form.fourierRay()->maximum(), maximum);
}

void TestNativeForm::moduleRangeAndKeeping()
{
    NativeForm form;
    form.setFileInfo(fileWith(1, 8), false);
    QCOMPARE(form.nativeModule()->minimum(), 3);
    QCOMPARE(form.nativeModule()->maximum(), 4);
    QCOMPARE(form.nativeModule()->value(), 3);
    QCOMPARE(form.nativeChannel()->maximum(), 7);

    form.nativeModule()->setValue(4);
    form.nativeRay()->setValue(7);
    form.nativeChannel()->setValue(6);
    form.nativeDispersion()->setValue(30);
    QSignalSpy redraws(&form, &NativeForm::graphParametersChanged);
    form.setFileInfo(fileWith(1, 8), true);
    QCOMPARE(redraws.count(), 0);
    QCOMPARE(form.nativeModule()->value(), 4);
    QCOMPARE(form.nativeRay()->value(), 7);
    QCOMPARE(form.nativeChannel()->value(), 6);
    QCOMPARE(form.nativeDispersion()->value(), 30);
    // Without keeping, the defaults come back.
    form.setFileInfo(fileWith(1, 8), false);
    QCOMPARE(form.nativeModule()->value(), 3);
    QCOMPARE(form.nativeRay()->value(), 0);
    QCOMPARE(form.nativeChannel()->value(), 0);
    QCOMPARE(form.nativeDispersion()->value(), 0);
}

void TestNativeForm::positionCodeOnlyAtN4()
{
    NativeForm form;
    form.show();
    form.setFileInfo(fileWith(1, 8, QStringLiteral("N4")), false);
    QVERIFY(form.codeField()->isVisible());
    QCOMPARE(form.codeField()->text(), QStringLiteral("12 0 1"));
    form.setFileInfo(fileWith(1, 8, QStringLiteral("N2")), false);
    QVERIFY(!form.codeField()->isVisible());
    QVERIFY(form.codeField()->text().isEmpty());
    QCOMPARE(form.ploshField()->text(), QStringLiteral("N2"));
}

void TestNativeForm::fileNavigation()
{
    NativeForm form;
    form.setFileList(threeFiles(), QStringLiteral("/d/c.pnt"));
    QCOMPARE(form.comboBoxFiles()->currentIndex(), 2);
    QVERIFY(!form.fileNext()->isEnabled());
    QVERIFY(form.filePre()->isEnabled());
    QSignalSpy changed(&form, &NativeForm::fileChanged);
    form.onFileNextClicked();
    QCOMPARE(changed.count(), 0);
    form.onFilePreClicked();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("/d/b.pnt"));
    form.onFilePreClicked();
    QCOMPARE(changed.count(), 2);
    QVERIFY(!form.filePre()->isEnabled());
    form.onFilePreClicked();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(form.currentPath(), QStringLiteral("/d/a.pnt"));
    // An unknown current path selects the first file.
    form.setFileList(threeFiles(), QStringLiteral("/elsewhere/x.pnt"));
    QCOMPARE(form.comboBoxFiles()->currentIndex(), 0);
    QCOMPARE(changed.count(), 2);
    form.onFileComboActivated(2);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("/d/c.pnt"));
}

void TestNativeForm::groupsExcludeEachOther()
{
    NativeForm form;
    form.setFileInfo(fileWith(1, 8), false);
    form.nativeRay()->setValue(2);
    QSignalSpy pairing(&form, &NativeForm::nativeDynamicPairingStarted);
    form.graph2Group()->setChecked(true);
    form.dynamicGroup()->setChecked(true);
    QVERIFY(!form.graph2Group()->isChecked());
    QCOMPARE(pairing.count(), 1);
    QCOMPARE(pairing.at(0).at(0).toBool(), true);
    QCOMPARE(form.pairingMode(), NativePairing::Paired);
    QVERIFY(form.findChild<QPushButton *>(QStringLiteral("nativeZoomToDynamic"))->isEnabled());
    form.graph2Group()->setChecked(true);
    QVERIFY(!form.dynamicGroup()->isChecked());
    QCOMPARE(form.pairingMode(), NativePairing::NativeOnly);
    QVERIFY(!form.findChild<QPushButton *>(QStringLiteral("nativeZoomToDynamic"))->isEnabled());
    // Dynamic alone, then nothing.
    form.nativeGroup()->setChecked(false);
    QCOMPARE(form.pairingMode(), NativePairing::NothingOn);
    QVERIFY(!form.nativeSaveDataPnt()->isEnabled());
    form.dynamicGroup()->setChecked(true);
    QCOMPARE(form.pairingMode(), NativePairing::DynamicOnly);
    QCOMPARE(pairing.count(), 1);
}

void TestNativeForm::emissions()
{
    NativeForm form;
    form.setFileInfo(fileWith(1, 8), false);
    QSignalSpy range(&form, &NativeForm::nativeRangeEdited);
    form.nativeModule()->setValue(4);
    form.nativeFirstPoint()->setValue(10);
    QCOMPARE(range.count(), 1);
    // The module's own writes do not echo back.
    form.setNativeRange(20, 30);
    QCOMPARE(range.count(), 1);
    QCOMPARE(form.nativeFirstPoint()->value(), 20);
    // The text export needs a single beam.
    form.nativeRay()->setValue(0);
    QVERIFY(form.nativeSaveDataPnt()->isEnabled());
    QVERIFY(!form.nativeSaveDataTxt()->isEnabled());
    form.nativeRay()->setValue(3);
    QVERIFY(form.nativeSaveDataTxt()->isEnabled());
    // Pairing copies every native change to the dynamic side.
    form.dynamicGroup()->setChecked(true);
    form.nativeDispersion()->setValue(44);
    QCOMPARE(form.dynamicDispersion()->value(), 44);
    form.dynamicModule()->setValue(3);
    QCOMPARE(form.nativeModule()->value(), 3);
}

void TestNativeForm::animationType()
{
    NativeForm form;
    form.setFileInfo(fileWith(1, 8), false);
    form.nativeRay()->setValue(1);
    form.dynamicGroup()->setChecked(true);
    QSignalSpy animation(&form, &NativeForm::dynamicAnimationChanged);
    form.dynamicTypeAnimation()->setChecked(true);
    QCOMPARE(animation.count(), 1);
    QCOMPARE(animation.at(0).at(0).toBool(), true);
    QVERIFY(!form.dynamicFirstPoint()->isEnabled());
    QVERIFY(!form.dynamicPoints()->isEnabled());
    QVERIFY(!form.dynamicSaveGraphAll()->isEnabled());
    QVERIFY(!form.dynamicZoomToNative()->isEnabled());
    form.dynamicTypeScrollable()->setChecked(true);
    QCOMPARE(animation.count(), 2);
    QVERIFY(form.dynamicFirstPoint()->isEnabled());
    QVERIFY(form.dynamicZoomToNative()->isEnabled());
    QCOMPARE(form.dynamicType(), NativeForm::Scrollable);
}

QTEST_MAIN(TestNativeForm)
#include "tst_nativeform.moc"
