#include "app/appidentity.h"
#include "ui/shelldialogs.h"
#include "data/channelsum.h"
#include "data/nativefileloader.h"
#include "data/nativelisting.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "modules/native/nativeanimationbar.h"
#include "modules/native/nativedialogs.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeload.h"
#include "modules/native/nativemodule.h"
#include "modules/native/nativesaving.h"
#include "modules/native/nativesearchpoint.h"
#include "modules/native/nativerules.h"
#include "plot/dynamicspectrumwidget.h"
#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "plot/seriespalette.h"
#include "synth/syntheticobservation.h"
#include "tests/support/fakenativedialogs.h"
#include "tests/support/fakeshell.h"
#include "tests/support/nativemoduleprobe.h"
#include "tests/support/widgetprobe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <memory>

using NativeModuleProbe::waitLoaded;

namespace {

SyntheticObservation::Params baseParams()
{
    SyntheticObservation::Params p;
    p.npoints = 4000;
    p.nBands = 6;
    p.snr = 25.0;
    p.dm = 40.0;
    p.period = 0.7;
    p.seed = 3;
    return p;
}

void typeInto(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestNativeModule : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void passportFields();
    void passportFieldsShowWholeTexts();
    void beamZeroDrawsEveryRayInItsColour();
    void channelZeroDrawsDispersedSum();
    void nextFileKeepsSelection();
    void searchPointByNumberAndAlpha();
    void refusedSearchInputKeepsState();
    void extractShowsPointNumbers();
    void pairingCopiesBothWays();
    void dynamicNeedsSingleBeam();
    void pointsFieldAndCursorReadout();
    void zoomToNativeLimit();
    void zoomToDynamicTakesVisibleColumns();
    void animationStopsAtEnd();
    void binaryAndTextSavesReadBack();
    void cancelledSaveWritesNothing();
    void graphPictureDefaultName();
    void spectrumPictureWithTitle();
    void refusedFileLeavesModuleEmpty_data();
    void refusedFileLeavesModuleEmpty();
    void failureAfterGoodFileLeavesNoStaleGraph();
    void newerLoadReplacesOlder();
    void olderProgressHideIgnored();
    void closingWhileLoading();
    void closingWhileSavingLeavesNoPartialFile();
    void closingWithUnfinishedEdit();
    void fileCutShortWhileShown();

private:
    QString writeFile(const SyntheticObservation::Params &params, const QString &name = QString());
    // A sparse file of exactly 2 GiB, which is mapped; empty when there is no room.
    QString writeMappedFile(SyntheticObservation::Params *used, QString *error);
    std::unique_ptr<NativeModule> open(const QString &path, bool show = true);
    bool waitSaved(NativeModule *module);

    std::unique_ptr<QTemporaryDir> m_dir;
    // The warnings and informations, or the critical messages, shown so far.
    QList<DialogLog::Message> warnings() const;
    QList<DialogLog::Message> criticals() const;

    DialogLog m_log;
    // The spectrum-title dialog of the module opened last.
    FakeNativeDialogs *m_native = nullptr;
};

QList<DialogLog::Message> TestNativeModule::warnings() const
{
    QList<DialogLog::Message> said;
    for (const DialogLog::Message &message : m_log.messages) {
        if (message.kind != QStringLiteral("critical"))
            said.append(message);
    }
    return said;
}

QList<DialogLog::Message> TestNativeModule::criticals() const
{
    QList<DialogLog::Message> said;
    for (const DialogLog::Message &message : m_log.messages) {
        if (message.kind == QStringLiteral("critical"))
            said.append(message);
    }
    return said;
}

void TestNativeModule::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("KVX-test"));
    QCoreApplication::setApplicationName(QStringLiteral("tst_nativemodule"));
}

void TestNativeModule::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_log = DialogLog();
    m_native = nullptr;
    QSettings().clear();
}

void TestNativeModule::cleanup()
{
    m_dir.reset();
}

QString TestNativeModule::writeFile(const SyntheticObservation::Params &params, const QString &name)
{
    const SyntheticObservation observation(params);
    const QString path = m_dir->filePath(name.isEmpty() ? observation.fileName(QStringLiteral("pnt")) : name);
    QString error;
    if (!observation.write(path, &error))
        qWarning() << error;
    return path;
}

QString TestNativeModule::writeMappedFile(SyntheticObservation::Params *used, QString *error)
{
    SyntheticObservation::Params p = baseParams();
    p.nBands = 255;
    p.snr = 0.0;
    const QString path = m_dir->filePath(QStringLiteral("big_00.pnt"));
    return SyntheticObservation::writeSparse(path, qint64(1) << 31, p, 2000, used, error) ? path : QString();
}

bool TestNativeModule::waitSaved(NativeModule *module)
{
    QElapsedTimer clock;
    clock.start();
    while (module->isSaving() && clock.elapsed() < 20000)
        QTest::qWait(10);
    return !module->isSaving();
}

std::unique_ptr<NativeModule> TestNativeModule::open(const QString &path, bool show)
{
    auto module = NativeModuleProbe::open(path);
    module->setDialogs(fakeDialogs(&m_log));
    auto native = std::make_unique<FakeNativeDialogs>();
    m_native = native.get();
    module->saving()->setDialogs(std::move(native));
    module->resize(1500, 1000);
    if (show)
        module->show();
    return module;
}

void TestNativeModule::passportFieldsShowWholeTexts()
{
    // Under the program's style sheet (line edits padded 5 px each side) the
    // read-only passport fields must show their texts without scrolling.
    AppIdentity::initResources();
    qApp->setStyleSheet(AppIdentity::readStyleSheet(AppIdentity::styleSheetResource()));
    const auto plainStyle = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    QCoreApplication::processEvents();
    for (const char *name : {"zone", "plosh", "dateKvx", "timeKvx", "dateUtc", "timeUtc", "tresolution",
                             "npoints", "fileFirstPoint", "channels", "modules", "rays"}) {
        auto *field = m->form()->findChild<QLineEdit *>(QLatin1String(name));
        QVERIFY2(field, name);
        QVERIFY2(!field->text().isEmpty(), name);
        // With the cursor at the end, the text's first character must still be in view.
        field->setCursorPosition(field->text().size());
        const int end = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
        const int advance = field->fontMetrics().horizontalAdvance(field->text());
        QVERIFY2(end - advance >= 0,
                 qPrintable(QStringLiteral("%1 \"%2\" is cut").arg(QLatin1String(name), field->text())));
    }
}

void TestNativeModule::passportFields()
{
    const QString path = writeFile(baseParams());
    auto m = open(path);
    QVERIFY(m->isLoading());
    QVERIFY(m->loadingOverlay()->isVisible());
    QVERIFY(waitLoaded(m.get()));
    QVERIFY(!m->loadingOverlay()->isVisible());
    QCOMPARE(m->progressBar()->value(), 100);
    // The bar goes 800 ms after the load.
    QTRY_VERIFY_WITH_TIMEOUT(!m->progressBar()->isVisible(), 3000);

    NativeForm *f = m->form();
    QCOMPARE(f->npointsField()->text(), QStringLiteral("4000"));
    QCOMPARE(f->findChild<QLineEdit *>(QStringLiteral("rays"))->text(), QStringLiteral("8"));
    QCOMPARE(f->findChild<QLineEdit *>(QStringLiteral("dateUtc"))->text(), QStringLiteral("2026.07.25"));
    QVERIFY(f->findChild<QLineEdit *>(QStringLiteral("timeKvx"))->text().startsWith(QStringLiteral("05:00:00")));
    QCOMPARE(f->nativeFirstPoint()->maximum(), 3999);
    // Beam 0 shows all rays: the text extract needs a single beam.
    QVERIFY(f->nativeSaveDataPnt()->isEnabled());
    QVERIFY(!f->nativeSaveDataTxt()->isEnabled());
    QVERIFY(warnings().isEmpty());
}

void TestNativeModule::beamZeroDrawsEveryRayInItsColour()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(m->plot()->series().size(), 8);
    // Every ray's colour reaches the screen.
    QApplication::processEvents();
    const QImage shot = m->plot()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int r = 0; r < 8; ++r)
        QVERIFY2(WidgetProbe::countColour(shot, graphColours[r]) > 20, qPrintable(QStringLiteral("ray %1").arg(r + 1)));
    // A single beam draws one curve.
    m->form()->nativeRay()->setValue(5);
    QCOMPARE(m->plot()->series().size(), 1);
    QCOMPARE(m->plot()->series()[0].color, graphColours[4]);
}

void TestNativeModule::channelZeroDrawsDispersedSum()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    m->form()->nativeRay()->setValue(2);
    m->form()->nativeDispersion()->setValue(60);
    const QVector<GraphSeries> &series = m->plot()->series();
    QCOMPARE(series.size(), 1);
    QCOMPARE(series[0].name, QStringLiteral("Beam 2, sum with disp=60"));
    QVector<double> reference;
    QCOMPARE(dispersedChannelSum(m->data(), &reference, 0, 60, 0, 1, 4000), 4000);
    QCOMPARE(series[0].values, reference);
    // A raw channel: the key no longer carries the dispersion.
    m->form()->nativeChannel()->setValue(3);
    QVERIFY(m->plot()->key().endsWith(QStringLiteral("disp=-")));
    QCOMPARE(m->plot()->series()[0].values[17], double(nativeSample(m->data(), 0, 1, 2, 17)));
}

void TestNativeModule::nextFileKeepsSelection()
{
    SyntheticObservation::Params p = baseParams();
    const QString first = writeFile(p, QStringLiteral("a_00.pnt"));
    p.seed = 9;
    p.npoints = 3000;
    const QString second = writeFile(p, QStringLiteral("b_00.pnt"));
    p.nRays = 2;
    writeFile(p, QStringLiteral("c_00.pnt"));
    auto m = open(first);
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    QVERIFY(!f->filePre()->isEnabled());
    QVERIFY(f->fileNext()->isEnabled());
    f->filePre()->click();
    QCOMPARE(m->currentPath(), QFileInfo(first).absoluteFilePath());

    f->nativeRay()->setValue(6);
    f->nativeChannel()->setValue(4);
    f->nativeDispersion()->setValue(17);
    f->onFileNextClicked();
    QVERIFY(m->isLoading());
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(m->currentPath(), QFileInfo(second).absoluteFilePath());
    QCOMPARE(f->npointsField()->text(), QStringLiteral("3000"));
    QCOMPARE(f->nativeModule()->value(), 1);
    QCOMPARE(f->nativeRay()->value(), 6);
    QCOMPARE(f->nativeChannel()->value(), 4);
    QCOMPARE(f->nativeDispersion()->value(), 17);
    QCOMPARE(m->plot()->series().size(), 1);
    QCOMPARE(m->plot()->series()[0].name, QStringLiteral("Beam 6, channel 4"));
    QCOMPARE(f->comboBoxFiles()->currentIndex(), 1);

    // The last file has only rays 1 and 2: ray 6 is out of range and resets.
    f->fileNext()->click();
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(f->nativeRay()->minimum(), 1);
    QCOMPARE(f->nativeRay()->maximum(), 2);
    QCOMPARE(f->nativeRay()->value(), 1);
    QCOMPARE(f->nativeChannel()->value(), 4);
    QVERIFY(!f->fileNext()->isEnabled());
    f->onFileNextClicked();
    QVERIFY(!m->isLoading());
}

void TestNativeModule::searchPointByNumberAndAlpha()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    typeInto(f->nativeSearchPoint(), QStringLiteral("1234"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 1234);
    const QString alpha = f->nativeSearchAlpha()->text();
    QVERIFY(!alpha.isEmpty());
    QCOMPARE(alpha, m->builder().alphaTextAt(1234, f->nativeDelta()->text(), -1));
    // The marker and the header.
    const QVector<GraphSeries> &series = m->plot()->series();
    QCOMPARE(series.last().name, QStringLiteral("Search point"));
    QCOMPARE(series.last().kind, GraphSeries::VerticalLine);
    QCOMPARE(series.last().sampleIndex, 1234);
    QVERIFY(m->legendPanel()->headerHtml().contains(QStringLiteral("point = 1234")));

    // The same point typed as its alpha.
    typeInto(f->nativeSearchPoint(), QStringLiteral("10"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 10);
    typeInto(f->nativeSearchAlpha(), alpha);
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 1234);
    QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("1234"));
    QVERIFY(criticals().isEmpty());

    // A point outside the shown range is kept but draws no marker.
    f->setNativeRange(0, 100);
    emit f->nativeRangeEdited();
    QCOMPARE(m->plot()->series().size(), 1);
    QVERIFY(!m->legendPanel()->headerHtml().contains(QStringLiteral("point = 1234")));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 1234);
    // Typing one outside the shown range gives the hint.
    typeInto(f->nativeSearchPoint(), QStringLiteral("500"));
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].title, QStringLiteral("Point outside visible range"));
    QCOMPARE(warnings()[0].text,
             QStringLiteral("Point 500 is outside the visible Native graph range 0–99.\n"
                            "The point has been accepted, but its red line is outside the visible range."));

    // A click on the graph sets the point under it.
    m->form()->findChild<QPushButton *>(QStringLiteral("nativeResetToNative"))->click();
    QApplication::processEvents();
    const Grafiks::PlotLayout layout = m->plot()->plotLayout();
    QVERIFY(layout.valid);
    const int x = layout.pixelX(2000.0);
    QTest::mouseClick(m->plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, layout.top + layout.plotHeight / 2));
    QVERIFY2(qAbs(m->search()->point(NativeSearchPoint::NativeView) - 2000) <= 10, qPrintable(QString::number(m->search()->point(NativeSearchPoint::NativeView))));
}

void TestNativeModule::refusedSearchInputKeepsState()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    typeInto(f->nativeSearchPoint(), QStringLiteral("3999"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 3999);
    typeInto(f->nativeSearchPoint(), QStringLiteral("0"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 0);
    const QString alpha0 = f->nativeSearchAlpha()->text();

    for (const QString &bad : {QStringLiteral("4000"), QStringLiteral("-1"), QStringLiteral("12x")}) {
        m_log.messages.clear();
        typeInto(f->nativeSearchPoint(), bad);
        QCOMPARE(criticals().size(), 1);
        QCOMPARE(criticals()[0].title, QStringLiteral("Point outside file"));
        QCOMPARE(criticals()[0].text,
                 QStringLiteral("Point %1 is outside the file range 0–3999.\nNothing has been changed.").arg(bad));
        QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 0);
        QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("0"));
    }

    m_log.messages.clear();
    typeInto(f->nativeSearchAlpha(), QStringLiteral("ab:cd:ef"));
    QCOMPARE(criticals().size(), 1);
    QCOMPARE(criticals()[0].title, QStringLiteral("Invalid alpha"));
    QCOMPARE(criticals()[0].text, QStringLiteral("Invalid alpha format.\nUse HH:MM:SS or HH:MM:SS.sss."));
    QCOMPARE(f->nativeSearchAlpha()->text(), alpha0);
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 0);

    // A minute beyond the last point.
    const QString delta = f->nativeDelta()->text();
    const QString last = m->builder().alphaTextAt(3999, delta, 0);
    QStringList parts = last.split(QLatin1Char(':'));
    parts[1] = QStringLiteral("%1").arg(parts[1].toInt() + 1, 2, 10, QLatin1Char('0'));
    const QString beyond = parts.join(QLatin1Char(':'));
    m_log.messages.clear();
    typeInto(f->nativeSearchAlpha(), beyond);
    QCOMPARE(criticals().size(), 1);
    QCOMPARE(criticals()[0].text,
             QStringLiteral("Alpha %1 is outside the file range %2–%3.\nNothing has been changed.")
                 .arg(beyond, m->builder().alphaTextAt(0, delta, -1), m->builder().alphaTextAt(3999, delta, -1)));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 0);
}

// A file cut from an observation (first point 1000) shows and takes the
// points' numbers in the observation; indexes stay inside the module.
void TestNativeModule::extractShowsPointNumbers()
{
    SyntheticObservation::Params p = baseParams();
    p.firstPoint = 1000;
    auto m = open(writeFile(p));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(2);
    QCOMPARE(f->nativeFirstPoint()->text(), QStringLiteral("1000"));
    typeInto(f->nativeSearchPoint(), QStringLiteral("1234"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 234);
    QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("1234"));
    QCOMPARE(f->nativeSearchAlpha()->text(), m->builder().alphaTextAt(234, f->nativeDelta()->text(), -1));
    QVERIFY(m->legendPanel()->headerHtml().contains(QStringLiteral("point = 1234")));
    QCOMPARE(m->plot()->series().last().sampleIndex, 234);

    typeInto(f->nativeSearchPoint(), QStringLiteral("999"));
    QCOMPARE(criticals().size(), 1);
    QCOMPARE(criticals()[0].text,
             QStringLiteral("Point 999 is outside the file range 1000–4999.\nNothing has been changed."));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 234);

    // Typing the first point's number moves the range to that index.
    f->nativeFirstPoint()->setFocus();
    f->nativeFirstPoint()->selectAll();
    QTest::keyClicks(f->nativeFirstPoint(), QStringLiteral("1500"));
    QTest::keyClick(f->nativeFirstPoint(), Qt::Key_Return);
    QCOMPARE(f->nativeFirstPoint()->value(), 500);

    // The paired spectrum labels and reports numbers too.
    f->dynamicGroup()->setChecked(true);
    QCOMPARE(m->search()->point(NativeSearchPoint::DynamicView), 234);
    QCOMPARE(m->dynamicView()->spectrum()->firstPoint(), 1000 + m->dynamicView()->range().first);
    emit m->dynamicView()->spectrum()->pointClicked(1100);
    QCOMPARE(m->search()->point(NativeSearchPoint::DynamicView), 100);
    QCOMPARE(f->dynamicSearchPoint()->text(), QStringLiteral("1100"));
}

void TestNativeModule::pairingCopiesBothWays()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 20000;
    auto m = open(writeFile(p));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(3);
    f->nativeDispersion()->setValue(25);
    f->nativeChannel()->setValue(2);
    typeInto(f->nativeSearchPoint(), QStringLiteral("5000"));

    f->dynamicGroup()->setChecked(true);
    QCOMPARE(f->pairingMode(), NativePairing::Paired);
    QCOMPARE(f->nativeChannel()->value(), 0);
    QCOMPARE(f->dynamicRay()->value(), 3);
    QCOMPARE(f->dynamicDispersion()->value(), 25);
    QCOMPARE(m->search()->point(NativeSearchPoint::DynamicView), 5000);
    QCOMPARE(f->dynamicSearchPoint()->text(), QStringLiteral("5000"));
    // The dynamic view is centred on the point: 1000 points from 4500.
    QCOMPARE(f->dynamicFirstPoint()->value(), 4500);
    QVERIFY(m->graphArea()->isPanelVisible(2));
    QCOMPARE(m->dynamicView()->spectrum()->rowCount(), 6);
    QCOMPARE(m->dynamicView()->spectrum()->pointCount(), 1000);
    QCOMPARE(m->dynamicView()->spectrum()->firstPoint(), 4500);
    QCOMPARE(m->dynamicView()->spectrum()->markerPoint(), 5000);
    // Row 2 holds frequency channel index 2 of the dynamic beam over the range.
    float rowMax = -1e30f;
    for (int i = 4500; i < 5500; ++i)
        rowMax = std::max(rowMax, nativeSample(m->data(), 0, 2, 2, i));
    QCOMPARE(m->dynamicView()->spectrum()->rowMax(2), rowMax);

    // A dynamic search point moves the native one and centres the native range.
    f->setNativeRange(0, 2000);
    typeInto(f->dynamicSearchPoint(), QStringLiteral("4700"));
    QCOMPARE(m->search()->point(NativeSearchPoint::DynamicView), 4700);
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 4700);
    QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("4700"));
    QCOMPARE(f->nativeFirstPoint()->value(), 3700);
    QCOMPARE(m->plot()->series().last().name, QStringLiteral("Search point"));
    QCOMPARE(m->plot()->series().last().sampleIndex, 1000);

    // Changing the dynamic selection changes the native one.
    f->dynamicRay()->setValue(5);
    QCOMPARE(f->nativeRay()->value(), 5);
    QCOMPARE(m->plot()->series()[0].name, QStringLiteral("Beam 5, sum with disp=25"));

    // Switching the native group off and on again takes the dynamic selection over.
    f->nativeGroup()->setChecked(false);
    QCOMPARE(f->pairingMode(), NativePairing::DynamicOnly);
    typeInto(f->dynamicSearchPoint(), QStringLiteral("9000"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 4700);
    f->dynamicDispersion()->setValue(30);
    f->nativeGroup()->setChecked(true);
    QCOMPARE(f->pairingMode(), NativePairing::Paired);
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), 9000);
    QCOMPARE(f->nativeDispersion()->value(), 30);
    QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("9000"));
    QCOMPARE(f->nativeFirstPoint()->value(), 8000);

    // Graph 2 and the dynamic spectrum exclude each other.
    f->graph2Group()->setChecked(true);
    QVERIFY(!f->dynamicGroup()->isChecked());
    QCOMPARE(f->pairingMode(), NativePairing::NativeOnly);
    QVERIFY(!m->graphArea()->isPanelVisible(2));
    QVERIFY(m->graphArea()->isPanelVisible(0));
}

void TestNativeModule::dynamicNeedsSingleBeam()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    QCOMPARE(f->nativeRay()->value(), 0);
    f->dynamicGroup()->setChecked(true);
    QVERIFY(!f->dynamicGroup()->isChecked());
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].title, QStringLiteral("Error"));
    QCOMPARE(warnings()[0].text, QStringLiteral("Set Beam>0 to open Dynamic spectrum!"));
    QCOMPARE(f->pairingMode(), NativePairing::NativeOnly);
    QVERIFY(!m->graphArea()->isPanelVisible(2));
    // Setting beam 0 while paired switches the dynamic spectrum off.
    f->nativeRay()->setValue(1);
    f->dynamicGroup()->setChecked(true);
    QCOMPARE(f->pairingMode(), NativePairing::Paired);
    f->nativeRay()->setValue(0);
    QVERIFY(!f->dynamicGroup()->isChecked());
    QCOMPARE(f->pairingMode(), NativePairing::NativeOnly);
}

void TestNativeModule::pointsFieldAndCursorReadout()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    typeInto(f->nativePoints(), QStringLiteral("lots"));
    QCOMPARE(f->nativePoints()->text(), QStringLiteral("1"));
    QCOMPARE(m->plot()->series()[0].values.size(), 1);
    f->nativeFirstPoint()->setValue(3990);
    typeInto(f->nativePoints(), QStringLiteral("500"));
    QCOMPARE(f->nativePoints()->text(), QStringLiteral("10"));
    QCOMPARE(m->plot()->series()[0].values.size(), 10);
    NativeGraphBuilder sums;
    sums.setFile(m->data());
    QCOMPARE(m->plot()->series()[0].values[0], sums.channelSumCached(1, 0, 0, 3990, 1).value(0));

    f->dynamicGroup()->setChecked(true);
    InfoPanel *info = m->dynamicView()->panel()->infoPanel();
    emit m->dynamicView()->spectrum()->cursorPointChanged(250);
    QCOMPARE(info->coordinatesText(), QStringLiteral("Coords:\nX1: point = 250\nX2: alpha = %1")
                                          .arg(m->builder().alphaTextAt(250, m->dynamicView()->deltaText(), -1)));
    emit m->dynamicView()->spectrum()->cursorLeft();
    QCOMPARE(info->coordinatesText(), QStringLiteral("Coords: move cursor over the graph..."));
    // The right-panel box hides the spectrum's info panel.
    f->dynamicRightPanel()->setChecked(false);
    QVERIFY(!info->isVisible());
}

void TestNativeModule::zoomToNativeLimit()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 30000;
    auto m = open(writeFile(p));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    f->dynamicGroup()->setChecked(true);
    QVERIFY(f->dynamicZoomToNative()->isEnabled());

    m->plot()->setVisibleXRange(100.0, 12099.0);
    f->dynamicZoomToNative()->click();
    QVERIFY(warnings().isEmpty());
    QCOMPARE(f->dynamicFirstPoint()->value(), 100);
    QCOMPARE(f->dynamicPoints()->text(), QStringLiteral("12000"));
    QCOMPARE(m->dynamicView()->spectrum()->pointCount(), 12000);

    m->plot()->setVisibleXRange(200.0, 12200.0);
    f->dynamicZoomToNative()->click();
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].title, QStringLiteral("Warning"));
    QCOMPARE(f->dynamicFirstPoint()->value(), 100);
    QCOMPARE(m->dynamicView()->spectrum()->firstPoint(), 100);
    QCOMPARE(m->dynamicView()->spectrum()->pointCount(), 12000);
}

void TestNativeModule::zoomToDynamicTakesVisibleColumns()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 10000;
    auto m = open(writeFile(p));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    f->dynamicGroup()->setChecked(true);
    // Fit to width: the whole dynamic range is visible.
    f->setDynamicRange(2000, 500);
    emit f->dynamicRangeEdited();
    f->findChild<QPushButton *>(QStringLiteral("nativeZoomToDynamic"))->click();
    QCOMPARE(f->nativeFirstPoint()->value(), 2000);
    QCOMPARE(f->nativePoints()->text(), QStringLiteral("500"));
    QCOMPARE(m->plot()->series()[0].values.size(), 500);

    // Scrollable, 4 px per point, 3000 points: the viewport shows only part of it.
    f->dynamicTypeScrollable()->setChecked(true);
    f->dynamicPixWidth()->setValue(4);
    f->setDynamicRange(1000, 3000);
    emit f->dynamicRangeEdited();
    QApplication::processEvents();
    m->dynamicView()->scrollArea()->horizontalScrollBar()->setValue(400);
    const int viewport = m->dynamicView()->scrollArea()->viewport()->width();
    QVERIFY(viewport > 100);
    f->findChild<QPushButton *>(QStringLiteral("nativeZoomToDynamic"))->click();
    const PointRange expected = visibleSpectrumColumns(1000, 3000, 4, 0, 400, viewport);
    QCOMPARE(f->nativeFirstPoint()->value(), expected.first);
    QCOMPARE(expected.first, 1100);
    QCOMPARE(f->nativePoints()->text(), QString::number(expected.count));
}

void TestNativeModule::animationStopsAtEnd()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 1500;
    auto m = open(writeFile(p));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    f->dynamicGroup()->setChecked(true);
    f->dynamicTypeAnimation()->setChecked(true);
    QVERIFY(!f->dynamicFirstPoint()->isEnabled());
    QVERIFY(!f->dynamicZoomToNative()->isEnabled());
    QCOMPARE(m->dynamicView()->spectrum()->pointCount(), 1500);
    QTRY_VERIFY(m->dynamicView()->animationBar()->isVisible());

    m->dynamicView()->animationBar()->speed()->setValue(10000);
    m->dynamicView()->animationBar()->button()->click();
    QVERIFY(m->dynamicView()->animationBar()->isPlaying());
    QCOMPARE(m->plot()->series().last().name, QStringLiteral("Animation first point"));
    QTRY_VERIFY_WITH_TIMEOUT(!m->dynamicView()->animationBar()->isPlaying(), 10000);
    const QScrollBar *slider = m->dynamicView()->animationBar()->slider();
    QVERIFY(slider->maximum() > 0);
    QCOMPARE(slider->value(), slider->maximum());
    const int w = slider->pageStep();
    QCOMPARE(slider->maximum(), 1500 - w);
    QCOMPARE(m->dynamicView()->animationBar()->label()->text(),
             QStringLiteral("Points %1–%2 of 1500").arg(slider->maximum()).arg(slider->maximum() + w - 1));
    QVERIFY(m->plot()->series().last().name != QStringLiteral("Animation first point"));

    // Starting again from the end begins at the first point; a click pauses.
    m->dynamicView()->animationBar()->speed()->setValue(1);
    m->dynamicView()->animationBar()->button()->click();
    QCOMPARE(slider->value(), 0);
    QVERIFY(m->dynamicView()->animationBar()->isPlaying());
    emit m->dynamicView()->spectrum()->pointClicked(20);
    QVERIFY(!m->dynamicView()->animationBar()->isPlaying());
    QCOMPARE(m->search()->point(NativeSearchPoint::DynamicView), -1);
}

void TestNativeModule::binaryAndTextSavesReadBack()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(4);
    m->plot()->setVisibleXRange(1000.0, 1499.0);
    QCOMPARE(f->nativeFirstPoint()->value(), 1000);
    QCOMPARE(f->nativePoints()->text(), QStringLiteral("500"));

    m_log.replies = QStringList{m_dir->filePath(QStringLiteral("extract"))};
    f->nativeSaveDataPnt()->click();
    // The data are written on another thread behind the progress overlay;
    // meanwhile nothing else starts, not even a second save.
    QVERIFY(m->isSaving());
    QVERIFY(!f->isEnabled());
    QVERIFY(m->loadingOverlay()->isVisible());
    QVERIFY(m->progressBar()->isVisible());
    m->saving()->saveNativeData(false);
    f->onFileNextClicked();
    QCOMPARE(m_log.askedTitles.size(), 1);
    QVERIFY(waitSaved(m.get()));
    QVERIFY(f->isEnabled());
    QVERIFY(!m->loadingOverlay()->isVisible());
    QVERIFY(!m->progressBar()->isVisible());
    QCOMPARE(m->currentPath(), m->data().path);
    // The first dialog starts beside the shown file.
    QVERIFY(m_log.askedPaths.value(0).startsWith(QFileInfo(m->currentPath()).absolutePath() + QStringLiteral("/J")));
    QVERIFY(m_log.askedPaths.value(0).endsWith(QStringLiteral("_m1_r4_n500.pnt")));
    QVERIFY(warnings().isEmpty());
    const QString pntPath = m_dir->filePath(QStringLiteral("extract.pnt"));
    QVERIFY(QFileInfo::exists(pntPath));
    QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), QFileInfo(pntPath).absolutePath());

    NativeFile back;
    QVERIFY(readNativeFile(pntPath, &back));
    QCOMPARE(back.npoints, 500);
    QCOMPARE(back.nRays, 1);
    QCOMPARE(back.firstRay, 4);
    const int ray = 4 - m->data().firstRay;
    for (int i = 0; i < 500; i += 37)
        QCOMPARE(nativeSample(back, 0, 0, 2, i), nativeSample(m->data(), 0, ray, 2, 1000 + i));

    m_log.replies = QStringList{m_dir->filePath(QStringLiteral("extract.TXT"))};
    f->nativeSaveDataTxt()->click();
    QVERIFY(waitSaved(m.get()));
    // The second dialog starts in the remembered directory.
    QVERIFY(m_log.askedPaths.value(1).startsWith(QFileInfo(pntPath).absolutePath() + QStringLiteral("/J")));
    QVERIFY(m_log.askedPaths.value(1).endsWith(QStringLiteral("_m1_r4_n500.txt")));
    const QString txtPath = m_dir->filePath(QStringLiteral("extract.TXT"));
    QVERIFY(QFileInfo::exists(txtPath));
    NativeFile text;
    QVERIFY(readNativeText(txtPath, &text));
    QCOMPARE(text.npoints, 500);
    for (int c : {0, 5}) {
        for (int i = 0; i < 500; i += 41)
            QVERIFY(qAbs(nativeSample(text, 0, 0, c, i) - nativeSample(m->data(), 0, ray, c, 1000 + i)) < 1e-3f);
    }
}

void TestNativeModule::cancelledSaveWritesNothing()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    m->form()->nativeRay()->setValue(2);
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);
    m_log.replies.clear();
    m->form()->nativeSaveDataPnt()->click();
    m->form()->nativeSaveDataTxt()->click();
    m->saving()->saveNativeGraph();
    QCOMPARE(m_log.askedTitles.size(), 3);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
    QVERIFY(!QSettings().contains(QStringLiteral("lastSavePath")));
    QVERIFY(warnings().isEmpty());
}

void TestNativeModule::graphPictureDefaultName()
{
    SyntheticObservation::Params p = baseParams();
    auto m = open(writeFile(p, QStringLiteral("250726_00.pnt")));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(5);
    m->plot()->setVisibleXRange(1000.0, 2999.0);
    m_log.replies = QStringList{m_dir->filePath(QStringLiteral("graph.PNG"))};
    // The panel as saved: the load's progress bar may still take its room.
    const QSize shown = m->primaryGraphPanel()->size();
    f->findChild<QPushButton *>(QStringLiteral("nativeSaveGraph"))->click();
    QVERIFY(waitSaved(m.get()));
    QVERIFY(m_log.askedPaths.value(0).endsWith(QStringLiteral("_file250726_m1_r5_n2000_native.png")));
    QImage saved(m_dir->filePath(QStringLiteral("graph.PNG")));
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.size(), shown);
    QVERIFY(WidgetProbe::countColour(saved.convertToFormat(QImage::Format_RGB32), graphColours[4]) > 20);

    // Nothing to save with the native group off.
    f->nativeGroup()->setChecked(false);
    m->saving()->saveNativeGraph();
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].text, QStringLiteral("No native graph to save."));
}

void TestNativeModule::spectrumPictureWithTitle()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    m->saving()->saveDynamicSpectrumAll();
    QCOMPARE(warnings().value(0).text, QStringLiteral("No dynamic spectrum to save."));
    f->nativeRay()->setValue(2);
    f->dynamicGroup()->setChecked(true);
    f->setDynamicRange(100, 300);
    emit f->dynamicRangeEdited();
    m_native->title = QStringLiteral("B0329+54, 25 July");
    m_log.replies = QStringList{m_dir->filePath(QStringLiteral("spectrum"))};
    f->dynamicSaveGraphAll()->click();
    QVERIFY(waitSaved(m.get()));
    QVERIFY(!m_native->shownImage.isNull());
    QVERIFY(m_log.askedPaths.value(0).endsWith(QStringLiteral("_m1_r2_n300_dynamic.png")));
    QImage saved(m_dir->filePath(QStringLiteral("spectrum.png")));
    QVERIFY(!saved.isNull());
    QCOMPARE(saved.width(), m_native->shownImage.width());
    QVERIFY(saved.height() > m_native->shownImage.height());

    // The area variant waits for a dragged fragment, then saves it.
    m_log.replies = QStringList{m_dir->filePath(QStringLiteral("fragment.png"))};
    f->findChild<QPushButton *>(QStringLiteral("dynamicSaveGraphArea"))->click();
    QVERIFY(m->dynamicView()->spectrum()->selectionMode());
    emit m->dynamicView()->spectrum()->fragmentSelected(150, 40);
    QVERIFY(waitSaved(m.get()));
    QVERIFY(m_log.askedPaths.value(1).endsWith(QStringLiteral("_m1_r2_n40_dynamic.png")));
    QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("fragment.png"))));
}

void TestNativeModule::refusedFileLeavesModuleEmpty_data()
{
    QTest::addColumn<bool>("cutShort");   // else the UTC date is broken
    QTest::addColumn<QString>("message"); // how the warning starts
    QTest::addColumn<QString>("names");   // what else it names
    QTest::newRow("cut short") << true << QStringLiteral("File size does not match header.") << QString();
    QTest::newRow("bad UTC date") << false << QStringLiteral("The selected file cannot be displayed:\n\n• ")
                                  << QStringLiteral("UTC");
}

void TestNativeModule::refusedFileLeavesModuleEmpty()
{
    QFETCH(bool, cutShort);
    QFETCH(QString, message);
    QFETCH(QString, names);
    const QString path = writeFile(baseParams());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    if (cutShort) {
        QVERIFY(file.resize(file.size() - 3));
    } else {
        const int at = file.read(4096).indexOf("UTC 25.07.2026");
        QVERIFY(at > 0);
        file.seek(at + 4);
        file.write("99.99.9999");
    }
    file.close();
    auto m = open(path);
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].title, QStringLiteral("Error"));
    QVERIFY2(warnings()[0].text.startsWith(message), qPrintable(warnings()[0].text));
    QVERIFY(warnings()[0].text.contains(names));
    QVERIFY(!m->data().loaded);
    QVERIFY(m->plot()->series().isEmpty());
    QVERIFY(!m->loadingOverlay()->isVisible());
    QVERIFY(!m->progressBar()->isVisible());
    QVERIFY(m->form()->npointsField()->text().isEmpty());
}

void TestNativeModule::failureAfterGoodFileLeavesNoStaleGraph()
{
    const QString good = writeFile(baseParams(), QStringLiteral("a_00.pnt"));
    const QString bad = m_dir->filePath(QStringLiteral("b_00.pnt"));
    QVERIFY(QFile::copy(good, bad));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() + 8));
    file.close();
    auto m = open(good);
    QVERIFY(waitLoaded(m.get()));
    NativeForm *f = m->form();
    f->nativeRay()->setValue(1);
    f->dynamicGroup()->setChecked(true);
    typeInto(f->nativeSearchPoint(), QStringLiteral("300"));
    QVERIFY(!m->plot()->series().isEmpty());
    QVERIFY(m->dynamicView()->spectrum()->pointCount() > 0);

    f->fileNext()->click();
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(warnings().size(), 1);
    QVERIFY(!m->data().loaded);
    QVERIFY(m->plot()->series().isEmpty());
    QCOMPARE(m->dynamicView()->spectrum()->pointCount(), 0);
    QVERIFY(!m->graphArea()->isPanelVisible(2));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), -1);
    // Nothing of the good file stays in the legend or the form.
    QVERIFY(m->legendPanel()->legend().isEmpty());
    for (QLineEdit *field : {f->nativeDelta(), f->nativePoints(), f->nativeSearchPoint(), f->nativeSearchAlpha(),
                             f->dynamicPoints()})
        QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName() + QLatin1Char('=') + field->text()));
    // Typing into the empty module does nothing.
    typeInto(f->nativeSearchPoint(), QStringLiteral("5"));
    QCOMPARE(m->search()->point(NativeSearchPoint::NativeView), -1);
    QVERIFY(criticals().isEmpty());
    // Back to the good file: everything draws again.
    f->filePre()->click();
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(m->plot()->series().size(), 1);
}

void TestNativeModule::newerLoadReplacesOlder()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 60000;
    const QString first = writeFile(p, QStringLiteral("a_00.pnt"));
    p.npoints = 2000;
    const QString second = writeFile(p, QStringLiteral("b_00.pnt"));
    auto m = open(first, false);
    QTest::qWait(60);
    m->onFileChanged(second);
    m->onFileChanged(first);
    m->onFileChanged(second);
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(m->data().npoints, 2000);
    QCOMPARE(m->form()->npointsField()->text(), QStringLiteral("2000"));
    QCOMPARE(m->plot()->series()[0].values.size(), 2000);
    m->onFileChanged(first);
    QVERIFY(waitLoaded(m.get()));
    QCOMPARE(m->data().npoints, 60000);
    QVERIFY(warnings().isEmpty());
}

void TestNativeModule::olderProgressHideIgnored()
{
    const QString first = writeFile(baseParams(), QStringLiteral("a_00.pnt"));
    const QString second = writeFile(baseParams(), QStringLiteral("b_00.pnt"));
    auto m = open(first);
    QVERIFY(waitLoaded(m.get()));
    QElapsedTimer sinceFirst;
    sinceFirst.start();
    QVERIFY(m->progressBar()->isVisible());
    QTest::qWait(300);
    m->onFileChanged(second);
    QVERIFY(waitLoaded(m.get()));
    const qint64 secondDone = sinceFirst.elapsed();
    QVERIFY(m->progressBar()->isVisible());
    // Past the first load's 800 ms, before the second's.
    QTest::qWait(int(std::max<qint64>(0, 900 - sinceFirst.elapsed())));
    if (sinceFirst.elapsed() >= secondDone + 750)
        QSKIP("the second load took too long to tell the two hides apart");
    QVERIFY(m->progressBar()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!m->progressBar()->isVisible(), 3000);
}

void TestNativeModule::closingWhileLoading()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 400000;
    const QString path = writeFile(p);
    for (int wait : {0, 55, 80}) {
        auto m = open(path, false);
        QTest::qWait(wait);
        QPointer<NativeFileLoader> loader = m->load()->loader();
        QVERIFY(loader);
        QPointer<QThread> thread = loader->thread();
        QVERIFY(thread && thread != QThread::currentThread());
        // Closing asks the read to stop and does not wait for it; the loader
        // goes with its thread, started or not.
        m.reset();
        QTRY_VERIFY(thread.isNull());
        QTRY_VERIFY(loader.isNull());
    }
    // Events of the destroyed modules arrive nowhere.
    QTest::qWait(100);
    QVERIFY(warnings().isEmpty());
}

void TestNativeModule::closingWhileSavingLeavesNoPartialFile()
{
    SyntheticObservation::Params p = baseParams();
    p.npoints = 200000;
    p.nRays = 1;
    const QString source = writeFile(p);
    const QString target = m_dir->filePath(QStringLiteral("closed.txt"));
    for (int wait : {0, 20, 60}) {
        m_log.replies = QStringList{target};
        auto m = open(source, false);
        QVERIFY(waitLoaded(m.get()));
        m->form()->nativeRay()->setValue(1);
        m->saving()->saveNativeData(false);
        QVERIFY(m->isSaving());
        QTest::qWait(wait);
        m.reset();
        // Either the whole extract or nothing; never a part, never a temporary.
        if (QFileInfo::exists(target)) {
            NativeFile written;
            QVERIFY(readNativeFile(target, &written));
            QCOMPARE(written.npoints, p.npoints);
            QVERIFY(QFile::remove(target));
        }
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({QFileInfo(source).fileName()}));
    }
    QTest::qWait(50);
    QVERIFY(warnings().isEmpty());
}

void TestNativeModule::closingWithUnfinishedEdit()
{
    auto m = open(writeFile(baseParams()));
    QVERIFY(waitLoaded(m.get()));
    m->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m.get()));
    QLineEdit *edit = m->form()->nativeSearchPoint();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    QTest::keyClicks(edit, QStringLiteral("12x"));
    // The field loses its focus while the module is torn down; the module no
    // longer answers by then.
    m.reset();
    QApplication::processEvents();
    QVERIFY(criticals().isEmpty());
}

// A 2 GiB file is mapped. Another process cuts it short while shown; the next graph would read
// past its end. The module survives, says so, and is left as after a failed load.
void TestNativeModule::fileCutShortWhileShown()
{
    SyntheticObservation::Params used;
    QString error;
    const QString path = writeMappedFile(&used, &error);
    if (path.isEmpty())
        QSKIP(qPrintable(QStringLiteral("no room for a sparse file: ") + error));
    auto m = open(path);
    // A mapped file has no byte count to report: the overlay says so, without a bar.
    QCOMPARE(m->loadingTextLabel()->text(), QStringLiteral("Preparing a large file. Please wait..."));
    QVERIFY(!m->progressBar()->isVisible());
    QVERIFY(waitLoaded(m.get()));
    QVERIFY(m->data().mapping != nullptr);
    QCOMPARE(m->data().npoints, used.npoints);
    m->form()->nativeRay()->setValue(1);
    m->form()->nativeChannel()->setValue(1);
    QCOMPARE(m->plot()->series()[0].values[10], double(SyntheticObservation(used).sample(10, 0, 0, 0)));

    QCOMPARE(QProcess::execute(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("0"), path}), 0);
    m->form()->nativeChannel()->setValue(2);
    QCOMPARE(warnings().size(), 1);
    QCOMPARE(warnings()[0].title, QStringLiteral("Error"));
    QCOMPARE(warnings()[0].text, QStringLiteral("The file changed on disk while it was shown:\n%1\n\n"
                                                      "Its data can no longer be shown. Open it again to see what "
                                                      "it holds now.").arg(path));
    QVERIFY(!m->data().loaded);
    QVERIFY(m->plot()->series().isEmpty());
    QVERIFY(m->form()->npointsField()->text().isEmpty());
    // Nothing of the cut file is drawn again.
    m->form()->nativeChannel()->setValue(3);
    QVERIFY(m->plot()->series().isEmpty());
    QCOMPARE(warnings().size(), 1);
}

QTEST_MAIN(TestNativeModule)
#include "tst_nativemodule.moc"
