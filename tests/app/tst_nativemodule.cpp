#include "app/appidentity.h"
#include "data/nativefileloader.h"
#include "data/nativetext.h"
#include "modules/native/nativeanimationbar.h"
#include "modules/native/nativedynamicview.h"
#include "modules/native/nativeform.h"
#include "modules/native/nativesearchpoint.h"
#include "plot/grafiks.h"
#include "plot/grapharea.h"
#include "plot/graphpanel.h"
#include "plot/infopanel.h"
#include "plot/plotpanel.h"
#include "plot/seriespalette.h"
#include "tests/support/fakenativedialogs.h"
#include "tests/support/fakeshell.h"
#include "tests/support/nativemoduleprobe.h"
#include "tests/support/widgetprobe.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using NativeModuleProbe::pulsarParams;
using NativeModuleProbe::waitLoaded;
using NativeModuleProbe::waitSaved;
using WidgetProbe::apply;
using WidgetProbe::typeInto;

namespace {

const auto Dynamic = NativeSearchPoint::DynamicView;

int searchPoint(const NativeModule *m, NativeSearchPoint::View view = NativeSearchPoint::NativeView)
{
    return m->search()->point(view);
}

DynamicSpectrumWidget *spectrum(const NativeModule *m)
{
    return m->dynamicView()->spectrum();
}

void click(const NativeModule *m, const char *button)
{
    m->form()->findChild<QPushButton *>(QLatin1String(button))->click();
}

// What each row of the refusal table tries.
enum Refusal { TypePoint, TypeAlpha, DynamicAllBeams, ZoomTooWide, SaveGraph, SaveSpectrum, CutShort, BrokenUtc };

} // namespace

class TestNativeModule : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("KVX-test"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_nativemodule"));
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_log = DialogLog();
        m_native = nullptr;
        QSettings().clear();
    }

    // An extract (first point 1000) shows and takes the points' numbers in the observation.
    void searchPointByNumberAlphaAndClickThenCloseMidEdit()
    {
        auto m = open(writeFile(pulsarParams(4000, 1000)));
        QVERIFY(waitLoaded(m.get()));
        NativeForm *f = m->form();
        f->nativeRay()->setValue(1);
        typeInto(f->nativeSearchPoint(), QStringLiteral("2234"));
        const QString alpha = f->nativeSearchAlpha()->text();
        QCOMPARE(alpha, m->builder().alphaTextAt(1234, f->nativeDelta()->text(), -1));
        QCOMPARE(m->plot()->series().last().sampleIndex, 1234);
        QVERIFY(m->legendPanel()->headerHtml().contains(QStringLiteral("point = 2234")));
        // The same point typed as its alpha.
        typeInto(f->nativeSearchPoint(), QStringLiteral("1010"));
        typeInto(f->nativeSearchAlpha(), alpha);
        QCOMPARE(searchPoint(m.get()), 1234);
        QCOMPARE(f->nativeSearchPoint()->text(), QStringLiteral("2234"));

        // A point outside the shown range is kept but draws no marker; typed, it is pointed out.
        f->setNativeRange(0, 100);
        emit f->nativeRangeEdited();
        QCOMPARE(m->plot()->series().size(), 1);
        typeInto(f->nativeSearchPoint(), QStringLiteral("1500"));
        QCOMPARE(searchPoint(m.get()), 500);
        QCOMPARE(m_log.texts(), QStringList{QStringLiteral("Point 1500 is outside the visible Native graph range "
                                                           "1000–1099.\nThe point has been accepted, but its red "
                                                           "line is outside the visible range.")});
        // The file's range is told in the observation's numbers too.
        typeInto(f->nativeSearchPoint(), QStringLiteral("999"));
        QVERIFY(m_log.texts().last().startsWith(QStringLiteral("Point 999 is outside the file range 1000–4999.")));
        // Typing the first point's number moves the range to that index.
        f->nativeFirstPoint()->setFocus();
        f->nativeFirstPoint()->selectAll();
        QTest::keyClicks(f->nativeFirstPoint(), QStringLiteral("1700"));
        QTest::keyClick(f->nativeFirstPoint(), Qt::Key_Return);
        QCOMPARE(f->nativeFirstPoint()->value(), 700);

        // A click on the graph sets the point under it.
        click(m.get(), "nativeResetToNative");
        QApplication::processEvents();
        const Grafiks::PlotLayout layout = m->plot()->plotLayout();
        WidgetProbe::click(m->plot(), QPoint(layout.pixelX(2000.0), layout.top + layout.plotHeight / 2));
        QVERIFY2(qAbs(searchPoint(m.get()) - 2000) <= 10, qPrintable(QString::number(searchPoint(m.get()))));
        // The paired spectrum labels and reports numbers too.
        f->dynamicGroup()->setChecked(true);
        QCOMPARE(searchPoint(m.get(), Dynamic), searchPoint(m.get()));
        QCOMPARE(spectrum(m.get())->firstPoint(), 1000 + m->dynamicView()->range().first);
        emit spectrum(m.get())->pointClicked(1100);
        QCOMPARE(searchPoint(m.get(), Dynamic), 100);
        QCOMPARE(f->dynamicSearchPoint()->text(), QStringLiteral("1100"));

        // A field left mid-edit loses its focus as the module is torn down, which no longer answers then.
        m->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m.get()));
        f->nativeSearchPoint()->setFocus();
        QTRY_VERIFY(f->nativeSearchPoint()->hasFocus());
        QTest::keyClicks(f->nativeSearchPoint(), QStringLiteral("12x"));
        m.reset();
        QApplication::processEvents();
        QCOMPARE(m_log.messages.size(), 2);
    }

    void refusals_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("input"); // typed; for an alpha, empty means one 12 h from the file's
        QTest::addColumn<QString>("text");  // how the message starts
        const auto s = [](const char *text) { return QString::fromUtf8(text); };
        QTest::newRow("point past the end") << int(TypePoint) << s("4000") << s("Point 4000 is outside the file range 0–3999.");
        QTest::newRow("alpha with letters") << int(TypeAlpha) << s("ab:cd:ef") << s("Invalid alpha format.");
        QTest::newRow("alpha outside") << int(TypeAlpha) << QString() << QString();
        QTest::newRow("spectrum of every beam") << int(DynamicAllBeams) << QString() << s("Set Beam>0");
        QTest::newRow("12001 points to the spectrum") << int(ZoomTooWide) << QString() << s("Too many points");
        QTest::newRow("graph picture, native off") << int(SaveGraph) << QString() << s("No native graph");
        QTest::newRow("spectrum picture, dynamic off") << int(SaveSpectrum) << QString() << s("No dynamic");
        QTest::newRow("next file cut short") << int(CutShort) << QString() << s("File size does not");
        QTest::newRow("next file's UTC date broken") << int(BrokenUtc) << QString()
                                                     << s("The selected file cannot be displayed:\n\n• ");
    }

    // Each refusal says why in one message and changes nothing; a refused file leaves nothing shown.
    void refusals()
    {
        QFETCH(int, action);
        QFETCH(QString, input);
        QFETCH(QString, text);
        const QString good = writeFile(pulsarParams(action == ZoomTooWide ? 30000 : 4000));
        const bool badFile = action == CutShort || action == BrokenUtc;
        if (badFile) {
            QFile file(m_dir->filePath(QStringLiteral("b_00.pnt")));
            QVERIFY(QFile::copy(good, file.fileName()) && file.open(QIODevice::ReadWrite));
            const int at = file.read(4096).indexOf("UTC 25.07.2026");
            QVERIFY(action == CutShort ? file.resize(file.size() - 3)
                                       : at > 0 && file.seek(at + 4) && file.write("99.99.9999") == 10);
        }
        auto m = open(good);
        QVERIFY(waitLoaded(m.get()));
        NativeForm *f = m->form();
        f->nativeRay()->setValue(action == DynamicAllBeams ? 0 : 1);
        const bool dynamicOn = action == ZoomTooWide || badFile;
        f->dynamicGroup()->setChecked(dynamicOn);
        typeInto(f->nativeSearchPoint(), QStringLiteral("300"));
        const QStringList fields{f->nativeSearchPoint()->text(), f->nativeSearchAlpha()->text()};
        const QPair<int, int> shown(spectrum(m.get())->firstPoint(), spectrum(m.get())->pointCount());

        if (action == TypeAlpha && input.isEmpty()) {
            const QString first = m->builder().alphaTextAt(0, f->nativeDelta()->text(), -1);
            input = QStringLiteral("%1").arg((first.left(2).toInt() + 12) % 24, 2, 10, QLatin1Char('0')) + first.mid(2);
            text = QStringLiteral("Alpha %1 is outside the file range %2–").arg(input, first);
        }
        if (action == TypePoint || action == TypeAlpha)
            typeInto(action == TypePoint ? f->nativeSearchPoint() : f->nativeSearchAlpha(), input);
        if (action == DynamicAllBeams)
            f->dynamicGroup()->setChecked(true);
        if (action == ZoomTooWide) {
            m->plot()->setVisibleXRange(200.0, 12200.0);
            f->dynamicZoomToNative()->click();
        }
        if (action == SaveGraph) {
            f->nativeGroup()->setChecked(false);
            emit f->nativeSaveGraphRequested();
        }
        if (action == SaveSpectrum)
            emit f->dynamicSaveGraphAllRequested();
        if (badFile) {
            f->fileNext()->click();
            QVERIFY(waitLoaded(m.get()));
        }
        QCOMPARE(m_log.messages.size(), 1);
        QVERIFY2(m_log.messages[0].text.startsWith(text), qPrintable(m_log.messages[0].text));

        if (!badFile) {
            QCOMPARE(searchPoint(m.get()), 300);
            QCOMPARE(QStringList({f->nativeSearchPoint()->text(), f->nativeSearchAlpha()->text()}), fields);
            QVERIFY(f->dynamicGroup()->isChecked() == dynamicOn && m->graphArea()->isPanelVisible(2) == dynamicOn);
            QCOMPARE(qMakePair(spectrum(m.get())->firstPoint(), spectrum(m.get())->pointCount()), shown);
            return;
        }
        QVERIFY(!m->data().loaded && m->plot()->series().isEmpty() && m->legendPanel()->legend().isEmpty());
        QVERIFY(spectrum(m.get())->pointCount() == 0 && !m->graphArea()->isPanelVisible(2));
        QVERIFY(!m->loadingOverlay()->isVisible() && !m->progressBar()->isVisible());
        for (QLineEdit *field : {f->npointsField(), f->nativeDelta(), f->nativePoints(), f->nativeSearchPoint(),
                                 f->nativeSearchAlpha(), f->dynamicPoints()})
            QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName() + QLatin1Char('=') + field->text()));
        // Typing into the empty module does nothing; the good file draws again.
        typeInto(f->nativeSearchPoint(), QStringLiteral("5"));
        QCOMPARE(searchPoint(m.get()), -1);
        QCOMPARE(m_log.messages.size(), 1);
        f->filePre()->click();
        QVERIFY(waitLoaded(m.get()));
        QCOMPARE(m->plot()->series().size(), 1);
    }

    void pairingCopiesBothWaysAndZooms()
    {
        auto m = open(writeFile(pulsarParams(30000)));
        QVERIFY(waitLoaded(m.get()));
        NativeForm *f = m->form();
        apply(f, QStringLiteral("nativeRay=3,nativeChannel=2,nativeDispersion=25"));
        typeInto(f->nativeSearchPoint(), QStringLiteral("5000"));
        f->dynamicGroup()->setChecked(true);
        // The dynamic view is centred on the point: 1000 points from 4500.
        QCOMPARE(spectrum(m.get())->firstPoint(), 4500);
        QCOMPARE(spectrum(m.get())->markerPoint(), 5000);
        // Row 2 holds frequency channel index 2 of the dynamic beam over the range.
        float rowMax = -1e30f;
        for (int i = 4500; i < 5500; ++i)
            rowMax = std::max(rowMax, nativeSample(m->data(), 0, 2, 2, i));
        QCOMPARE(spectrum(m.get())->rowMax(2), rowMax);
        // The cursor's read-out, and the right-panel box hiding it.
        InfoPanel *info = m->dynamicView()->panel()->infoPanel();
        emit spectrum(m.get())->cursorPointChanged(250);
        QVERIFY(info->coordinatesText().contains(m->builder().alphaTextAt(250, m->dynamicView()->currentDeltaText(), -1)));
        emit spectrum(m.get())->cursorLeft();
        QVERIFY(!info->coordinatesText().contains(QStringLiteral("250")));
        f->dynamicRightPanel()->setChecked(false);
        QVERIFY(!info->isVisible());

        // The native graph's visible range goes to the spectrum, up to 12000 points.
        m->plot()->setVisibleXRange(100.0, 12099.0);
        f->dynamicZoomToNative()->click();
        QCOMPARE(qMakePair(spectrum(m.get())->firstPoint(), spectrum(m.get())->pointCount()), qMakePair(100, 12000));
        // Fit to width: the native graph takes the whole dynamic range.
        f->setDynamicRange(2000, 500);
        emit f->dynamicRangeEdited();
        click(m.get(), "nativeZoomToDynamic");
        QCOMPARE(f->nativeFirstPoint()->value(), 2000);
        QCOMPARE(m->plot()->series()[0].values.size(), 500);
        // Scrollable, 4 px per point, 3000 points: only the columns in the viewport.
        apply(f, QStringLiteral("dynamicTypeScrollable=1,dynamicPixWidth=4"));
        f->setDynamicRange(1000, 3000);
        emit f->dynamicRangeEdited();
        QApplication::processEvents();
        m->dynamicView()->scrollArea()->horizontalScrollBar()->setValue(400);
        const int viewport = m->dynamicView()->scrollArea()->viewport()->width();
        click(m.get(), "nativeZoomToDynamic");
        QCOMPARE(f->nativeFirstPoint()->value(), 1100);
        QCOMPARE(f->nativePoints()->text(), QString::number(visibleSpectrumColumns(1000, 3000, 4, 0, 400, viewport).count));
        // A dynamic search point moves the native one and centres the native range.
        f->setNativeRange(0, 2000);
        typeInto(f->dynamicSearchPoint(), QStringLiteral("4700"));
        QCOMPARE(f->nativeFirstPoint()->value(), 3700);
        // The native graph shows the channel sum of the dynamic selection.
        f->dynamicRay()->setValue(5);
        QCOMPARE(m->plot()->series()[0].name, QStringLiteral("Beam 5, sum with disp=25"));
        // The native group switched off and on again takes the dynamic point over.
        f->nativeGroup()->setChecked(false);
        typeInto(f->dynamicSearchPoint(), QStringLiteral("9000"));
        QCOMPARE(searchPoint(m.get()), 4700);
        f->nativeGroup()->setChecked(true);
        QCOMPARE(searchPoint(m.get()), 9000);
        QCOMPARE(f->nativeFirstPoint()->value(), 8000);
        // Graph 2 takes the spectrum's slot.
        apply(f, QStringLiteral("graph2Group=1"));
        QVERIFY(!f->dynamicGroup()->isChecked() && !m->graphArea()->isPanelVisible(2) && m->graphArea()->isPanelVisible(0));
    }

    void animationStopsAtEnd()
    {
        auto m = open(writeFile(pulsarParams(1500)));
        QVERIFY(waitLoaded(m.get()));
        apply(m->form(), QStringLiteral("nativeRay=1,dynamicGroup=1,dynamicTypeAnimation=1"));
        NativeAnimationBar *bar = m->dynamicView()->animationBar();
        QTRY_VERIFY(bar->isVisible());
        bar->speed()->setValue(10000);
        bar->button()->click();
        QCOMPARE(m->plot()->series().last().name, QStringLiteral("Animation first point"));
        QTRY_VERIFY_WITH_TIMEOUT(!bar->isPlaying(), 10000);
        const QScrollBar *slider = bar->slider();
        QCOMPARE(slider->value(), slider->maximum());
        QVERIFY2(bar->label()->text().contains(QStringLiteral("–1499 ")), qPrintable(bar->label()->text()));
        QVERIFY(m->plot()->series().last().name != QStringLiteral("Animation first point"));
        // Starting again from the end begins at the first point; a click pauses.
        bar->speed()->setValue(1);
        bar->button()->click();
        QCOMPARE(slider->value(), 0);
        QVERIFY(bar->isPlaying());
        emit spectrum(m.get())->pointClicked(20);
        QVERIFY(!bar->isPlaying());
        QCOMPARE(searchPoint(m.get(), Dynamic), -1);
    }

    // Under the program's style sheet the read-only passport fields show their whole
    // texts. Extracts read back as the data they were cut from; pictures are what was shown.
    void passportFieldsAndSavesReadBack()
    {
        AppIdentity::initResources();
        qApp->setStyleSheet(AppIdentity::readStyleSheet(AppIdentity::styleSheetResource()));
        const auto plainStyle = qScopeGuard([] { qApp->setStyleSheet(QString()); });
        auto m = open(writeFile(pulsarParams(), QStringLiteral("250726_00.pnt")));
        QVERIFY(waitLoaded(m.get()));
        NativeForm *f = m->form();
        QCoreApplication::processEvents();
        for (const char *name : {"zone", "plosh", "dateKvx", "timeKvx", "dateUtc", "timeUtc", "tresolution",
                                 "npoints", "fileFirstPoint", "channels", "modules", "rays"}) {
            auto *field = f->findChild<QLineEdit *>(QLatin1String(name));
            QVERIFY2(field && !field->text().isEmpty(), name);
            // With the cursor at the end, the text's first character must still be in view.
            field->setCursorPosition(field->text().size());
            const int end = field->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
            QVERIFY2(end >= field->fontMetrics().horizontalAdvance(field->text()), name);
        }

        f->nativeRay()->setValue(4);
        // Cancelled dialogs write nothing and remember nothing.
        f->nativeSaveDataPnt()->click();
        f->nativeSaveDataTxt()->click();
        click(m.get(), "nativeSaveGraph");
        QCOMPARE(m_log.askedTitles.size(), 3);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QStringLiteral("250726_00.pnt")});

        m->plot()->setVisibleXRange(1000.0, 1499.0);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("out")));
        m_log = DialogLog();
        m_log.replies = QStringList{m_dir->filePath(QStringLiteral("out/extract"))};
        f->nativeSaveDataPnt()->click();
        // Written on another thread behind the overlay; meanwhile nothing else starts, not even a save.
        QVERIFY(m->saving()->isRunning() && !f->isEnabled() && m->loadingOverlay()->isVisible());
        m->saving()->saveNativeData(false);
        f->onFileNextClicked();
        QVERIFY(waitSaved(m.get()));
        QCOMPARE(m_log.askedTitles.size(), 1);
        QVERIFY(f->isEnabled() && !m->loadingOverlay()->isVisible());
        QCOMPARE(m->currentPath(), m->data().path);
        // The first dialog starts beside the shown file.
        QVERIFY(m_log.askedPaths.value(0).startsWith(m_dir->path() + QStringLiteral("/J")));
        QVERIFY(m_log.askedPaths.value(0).endsWith(QStringLiteral("_file250726_m1_r4_n500.pnt")));
        NativeFile back;
        QVERIFY(readNativeFile(m_dir->filePath(QStringLiteral("out/extract.pnt")), &back));
        QVERIFY(back.npoints == 500 && back.firstRay == 4);
        const int ray = 4 - m->data().firstRay;
        for (int i = 0; i < 500; i += 37)
            QCOMPARE(nativeSample(back, 0, 0, 2, i), nativeSample(m->data(), 0, ray, 2, 1000 + i));
        // A suffix in capitals is kept.
        m_log.replies = QStringList{m_dir->filePath(QStringLiteral("out/extract.TXT"))};
        f->nativeSaveDataTxt()->click();
        QVERIFY(waitSaved(m.get()));
        NativeFile text;
        QVERIFY(readNativeText(m_dir->filePath(QStringLiteral("out/extract.TXT")), &text));
        QCOMPARE(text.npoints, 500);
        for (int i = 0; i < 500; i += 41)
            QVERIFY(qAbs(nativeSample(text, 0, 0, 5, i) - nativeSample(m->data(), 0, ray, 5, 1000 + i)) < 1e-3f);

        // The graph as shown, its panel's size (the load's progress bar may still take its room).
        m_log.replies = QStringList{m_dir->filePath(QStringLiteral("graph.PNG"))};
        const QSize shown = m->primaryGraphPanel()->size();
        click(m.get(), "nativeSaveGraph");
        QVERIFY(waitSaved(m.get()));
        const QImage graph(m_dir->filePath(QStringLiteral("graph.PNG")));
        QCOMPARE(graph.size(), shown);
        QVERIFY(WidgetProbe::countColour(graph.convertToFormat(QImage::Format_RGB32), graphColours[3]) > 20);
        // The spectrum with a title line above it.
        f->dynamicGroup()->setChecked(true);
        f->setDynamicRange(100, 300);
        emit f->dynamicRangeEdited();
        m_native->title = QStringLiteral("B0329+54, 25 July");
        m_log.replies = QStringList{m_dir->filePath(QStringLiteral("spectrum"))};
        f->dynamicSaveGraphAll()->click();
        QVERIFY(waitSaved(m.get()));
        const QImage titled(m_dir->filePath(QStringLiteral("spectrum.png")));
        QCOMPARE(titled.width(), m_native->shownImage.width());
        QVERIFY(titled.height() > m_native->shownImage.height());
        // The area variant waits for a dragged fragment, then saves it.
        m_log.replies = QStringList{m_dir->filePath(QStringLiteral("fragment.png"))};
        click(m.get(), "dynamicSaveGraphArea");
        QVERIFY(spectrum(m.get())->selectionMode());
        emit spectrum(m.get())->fragmentSelected(150, 40);
        QVERIFY(waitSaved(m.get()));
        QVERIFY(m_log.askedPaths.value(4).endsWith(QStringLiteral("_m1_r4_n40_dynamic.png")));
        QVERIFY(QFileInfo::exists(m_dir->filePath(QStringLiteral("fragment.png"))));
        QVERIFY(m_log.messages.isEmpty());
    }

    // A newer load replaces older ones still running, and an older load's delayed
    // hide of the progress bar leaves a newer load's bar alone.
    void newerLoadWins()
    {
        const QString first = writeFile(pulsarParams(60000));
        const QString second = writeFile(pulsarParams(2000), QStringLiteral("b_00.pnt"));
        auto m = open(first);
        QVERIFY(m->isLoading() && m->loadingOverlay()->isVisible());
        QTest::qWait(60);
        m->onFileChanged(second);
        m->onFileChanged(first);
        m->onFileChanged(second);
        QVERIFY(waitLoaded(m.get()));
        QCOMPARE(m->data().npoints, 2000);
        QCOMPARE(m->plot()->series()[0].values.size(), 2000);
        m->onFileChanged(first);
        QVERIFY(waitLoaded(m.get()));
        QCOMPARE(m->data().npoints, 60000);
        QVERIFY(m_log.messages.isEmpty());

        QElapsedTimer sinceFirst;
        sinceFirst.start();
        QVERIFY(!m->loadingOverlay()->isVisible());
        QCOMPARE(m->progressBar()->value(), 100);
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

    // Closing asks a load or a save to stop without waiting: the loader goes with its
    // thread, started or not, and a save leaves the whole extract or nothing, never a
    // part or a temporary file. Events of the destroyed modules arrive nowhere.
    void closingWhileLoadingOrSaving()
    {
        const SyntheticObservation::Params p = pulsarParams(400000);
        const QString source = writeFile(p);
        const QString target = m_dir->filePath(QStringLiteral("closed.txt"));
        for (int wait : {0, 20, 55, 80}) {
            auto m = open(source, false);
            QTest::qWait(wait);
            QPointer<NativeFileLoader> loader = m->load()->loader();
            QVERIFY(loader);
            QPointer<QThread> thread = loader->thread();
            QVERIFY(thread && thread != QThread::currentThread());
            m.reset();
            QTRY_VERIFY(thread.isNull());
            QTRY_VERIFY(loader.isNull());

            m_log.replies = QStringList{target};
            m = open(source, false);
            QVERIFY(waitLoaded(m.get()));
            m->form()->nativeRay()->setValue(1);
            m->saving()->saveNativeData(false);
            QVERIFY(m->saving()->isRunning());
            QTest::qWait(wait);
            m.reset();
            NativeFile written;
            QVERIFY(!QFileInfo::exists(target) || (readNativeFile(target, &written) && written.npoints == p.npoints));
            QFile::remove(target);
            QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{QFileInfo(source).fileName()});
        }
        QTest::qWait(100);
        QVERIFY(m_log.messages.isEmpty());
    }

    // A 2 GiB file is mapped. Another process cuts it short while shown; the next graph would read
    // past its end. The module survives, says so, and is left as after a failed load.
    void fileCutShortWhileShown()
    {
        SyntheticObservation::Params p = pulsarParams();
        p.nBands = 255;
        p.snr = 0.0;
        SyntheticObservation::Params used;
        QString error;
        const QString path = m_dir->filePath(QStringLiteral("big_00.pnt"));
        if (!SyntheticObservation::writeSparse(path, qint64(1) << 31, p, 2000, &used, &error))
            QSKIP(qPrintable(QStringLiteral("no room for a sparse file: ") + error));
        auto m = open(path);
        // A mapped file has no byte count to report: the overlay says so, without a bar.
        QVERIFY(!m->progressBar()->isVisible());
        QVERIFY(waitLoaded(m.get()) && m->data().mapping != nullptr);
        apply(m->form(), QStringLiteral("nativeRay=1,nativeChannel=1"));
        QCOMPARE(m->plot()->series()[0].values[10], double(SyntheticObservation(used).sample(10, 0, 0, 0)));

        QCOMPARE(QProcess::execute(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("0"), path}), 0);
        m->form()->nativeChannel()->setValue(2);
        QCOMPARE(m_log.messages.size(), 1);
        QVERIFY(m_log.messages[0].text.startsWith(QStringLiteral("The file changed on disk while it was shown:\n") + path));
        QVERIFY(!m->data().loaded && m->plot()->series().isEmpty() && m->form()->npointsField()->text().isEmpty());
        // Nothing of the cut file is drawn again.
        m->form()->nativeChannel()->setValue(3);
        QVERIFY(m->plot()->series().isEmpty());
        QCOMPARE(m_log.messages.size(), 1);
    }

private:
    QString writeFile(const SyntheticObservation::Params &params, const QString &name = QStringLiteral("a_00.pnt"))
    {
        return NativeModuleProbe::write(m_dir->filePath(name), params);
    }

    std::unique_ptr<NativeModule> open(const QString &path, bool show = true)
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

    std::unique_ptr<QTemporaryDir> m_dir;
    DialogLog m_log;
    // The spectrum-title dialog of the module opened last.
    FakeNativeDialogs *m_native = nullptr;
};

QTEST_MAIN(TestNativeModule)
#include "tst_nativemodule.moc"
