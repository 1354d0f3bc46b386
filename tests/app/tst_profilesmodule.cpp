#include "tests/support/profilefixture.h"
#include "../support/fakeappdialogs.h"
#include "../support/widgetprobe.h"
#include "app/mainwindow.h"
#include "astro/profileview.h"
#include "data/profilefile.h"
#include "modules/profiles/profilesform.h"
#include "modules/profiles/profilesmodule.h"
#include "plot/grafiks.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using WidgetProbe::child;

// The average profiles module as a user drives it, on profile directories
// written by the synthetic generator.
class TestProfilesModule : public QObject
{
    Q_OBJECT

private:
    // A scanned module on dir, its dialogs answering from m_log.
    std::unique_ptr<ProfilesModule> openModule(const QString &dir)
    {
        auto module = std::make_unique<ProfilesModule>(dir);
        module->setDialogs(fakeDialogs(&m_log));
        module->resize(1300, 800);
        QSignalSpy finished(module.get(), &ProfilesModule::scanFinished);
        if (!finished.wait(20000) || !finished.first().at(0).toBool())
            qFatal("scan of %s failed", qPrintable(dir));
        module->show();
        if (!QTest::qWaitForWindowExposed(module.get()))
            qFatal("module not shown");
        return module;
    }
    static void setText(QWidget *root, const QString &name, const QString &text)
    {
        QLineEdit *edit = child<QLineEdit>(root, name);
        edit->setText(text);
        emit edit->textEdited(text);
    }
    // The fields of a calculation that passes every check.
    void fillCalculator(ProfilesModule &module)
    {
        child<QComboBox>(&module, QStringLiteral("comboBoxPlosh"))->setCurrentText(QStringLiteral("N1"));
        child<QComboBox>(&module, QStringLiteral("comboBoxTresolution"))->setCurrentText(QStringLiteral("0.0124928"));
        setText(&module, QStringLiteral("calc_k1"), QStringLiteral("0.8"));
        setText(&module, QStringLiteral("calc_k2"), QStringLiteral("0.9"));
    }

    QTemporaryDir m_dir;
    QString m_period;               // the true period as the module lists it
    ProfileWriter::Params m_strong; // 2026.07.26, DM 27: the strongest pulse
    DialogLog m_log;

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("KVX-test-profiles"));
        QSettings().clear();
        QVERIFY(m_dir.isValid());
        m_strong.date = QDate(2026, 7, 26);
        m_strong.snr = 30.0;
        ProfileWriter::Params weak = m_strong;
        weak.date = QDate(2026, 7, 25);
        weak.snr = 8.0;
        // DM 26 of the strong date lists two of the seven periods only.
        ProfileWriter::Params partial = m_strong;
        partial.dm = 26;
        partial.periods = ProfileWriter::trialPeriods(m_strong).mid(0, 2);
        for (const ProfileWriter::Params &params : {m_strong, weak, partial})
            QVERIFY(!profilefixture::writeGenerated(m_dir.path(), params).isEmpty());
        m_period = QString::number(m_strong.truePeriod, 'f', m_strong.decimals);
    }

    void init() { m_log = DialogLog(); }
    void tableThumbnailsArrowsAndAverageWindow()
    {
        auto module = openModule(m_dir.path());
        QComboBox *dates = child<QComboBox>(module.get(), QStringLiteral("comboBoxDate"));
        QCOMPARE(dates->itemText(0), QStringLiteral("2026.07.26"));
        QCOMPARE(dates->itemText(1), QStringLiteral("2026.07.25"));
        // Seven periods x DMs 26 and 27; DM 26 has only the first two periods.
        MultiGrafiksPanel *panel = module->thumbnailPanel();
        QCOMPARE(module->graphStack()->currentWidget(), panel);
        for (int row = 0; row < 7; ++row) {
            QCOMPARE(panel->cellWidget(row, 0) != nullptr, row < 2);
            QVERIFY(qobject_cast<MiniGrafik *>(panel->cellWidget(row, 1)));
        }

        // A click on a thumbnail shows its profile alone; a click on that graph goes back.
        auto *cell = qobject_cast<MiniGrafik *>(panel->cellWidget(1, 0));
        QTest::mouseClick(cell->plot(), Qt::LeftButton, Qt::NoModifier, cell->plot()->rect().center());
        QVERIFY(module->isOneGraphMode());
        QCOMPARE(module->form()->dispersion(), QStringLiteral("26"));
        QCOMPARE(module->form()->period(), module->table().periods().at(1));
        emit module->plot()->graphClicked();
        QVERIFY(!module->isOneGraphMode());

        child<QCheckBox>(module.get(), QStringLiteral("sortSnr"))->setChecked(false);
        QCOMPARE(dates->itemText(0), QStringLiteral("2026.07.25"));

        // The period arrows stop at the ends of the list.
        ProfilesForm *form = module->form();
        QComboBox *periods = child<QComboBox>(module.get(), QStringLiteral("comboBoxPeriod"));
        QSignalSpy changed(form, &ProfilesForm::periodChanged);
        periods->setCurrentIndex(0);
        child<QToolButton>(module.get(), QStringLiteral("periodPre"))->click();
        QCOMPARE(changed.count(), 0);
        child<QToolButton>(module.get(), QStringLiteral("periodNext"))->click();
        QCOMPARE(periods->currentIndex(), 1);

        // The moving-average window is limited by the period: ceil(0.714519 / (2 x 0.0999424)) = 4.
        module->selectProfile(QStringLiteral("27"), m_period);
        child<QComboBox>(module.get(), QStringLiteral("comboBoxTresolution"))->setCurrentText(QStringLiteral("0.0999424"));
        QSignalSpy averaged(form, &ProfilesForm::averageChanged);
        QSpinBox *average = child<QSpinBox>(module.get(), QStringLiteral("average"));
        average->setValue(10);
        QCOMPARE(average->value(), 4);
        QCOMPARE(averaged.count(), 0);
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("4 is the maximum moving-average window for period 0.714519")));
        average->setValue(3);
        QCOMPARE(averaged.count(), 1);
    }

    // A failed scan gives the window back to what it showed; a good one keeps the module.
    void scanFromTheMenuReplacesOnlyOnSuccess()
    {
        QTemporaryDir empty;
        MainWindow window;
        DialogLog log;
        window.setDialogs(std::make_unique<FakeAppDialogs>(&log));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QPointer<QWidget> before = window.centralWidget();
        for (const QString &dir : {empty.path(), m_dir.path()}) {
            log.replies << dir;
            window.openProfilesDirectory();
            // The scan runs behind the module's overlay while the window goes on.
            auto *module = qobject_cast<ProfilesModule *>(window.centralWidget());
            QVERIFY(module);
            QVERIFY(module->isScanning());
            QVERIFY(module->loadingOverlay()->isVisibleTo(module));
            QTRY_VERIFY_WITH_TIMEOUT(!module->isScanning(), 20000);
            WidgetProbe::flushDeletes();
            QCOMPARE(window.centralWidget(), dir == m_dir.path() ? module : before.data());
        }
        QCOMPARE(log.texts().size(), 1);
        QVERIFY(log.texts().first().startsWith(QStringLiteral("This directory contains no files matching")));
        QVERIFY(before.isNull());
    }

    // Each missing choice is named; a period the file does not list names the file.
    void singleGraphRefusals()
    {
        auto module = openModule(m_dir.path());
        QComboBox *periods = child<QComboBox>(module.get(), QStringLiteral("comboBoxPeriod"));
        for (const char *name : {"comboBoxDate", "comboBoxDispersion", "comboBoxPeriod"}) {
            child<QComboBox>(module.get(), QStringLiteral("comboBoxDate"))->setCurrentIndex(0);
            module->selectProfile(QStringLiteral("27"), m_period);
            child<QComboBox>(module.get(), QLatin1String(name))->setCurrentIndex(-1);
            module->drawOneGraph();
        }
        periods->addItem(QStringLiteral("9.9"));
        periods->setCurrentText(QStringLiteral("9.9"));
        module->drawOneGraph();
        const QString path = findProfileFile(module->profileSet(), QStringLiteral("2026.07.26"), QStringLiteral("27"));
        QCOMPARE(m_log.texts(), (QStringList{QStringLiteral("Select a date."), QStringLiteral("Select a dispersion."),
                                             QStringLiteral("Select a period."),
                                             QStringLiteral("No SNR data for period=9.9 in file:\n") + path}));
        QCOMPARE(module->plot()->commonSampleCount(), 0);
    }

    void calculatorInSingleGraphOnly()
    {
        auto module = openModule(m_dir.path());
        QGroupBox *group = child<QGroupBox>(module.get(), QStringLiteral("groupBoxCalculator"));
        group->setChecked(true);
        module->showPrintSize();
        QCOMPARE(m_log.texts(), (QStringList{QStringLiteral("The calculator is available only in single-graph mode."),
                                             QStringLiteral("Switch to single-graph mode.")}));
        QVERIFY(!group->isChecked());
        m_log = DialogLog();

        module->selectProfile(QStringLiteral("27"), m_period);
        module->drawOneGraph();
        fillCalculator(*module);
        child<QPushButton>(module.get(), QStringLiteral("calculate"))->click();
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("Select the peak area with the mouse, then click \"Calculate and Show\".")));
        m_log = DialogLog();
        Grafiks *plot = module->plot();
        const Grafiks::PlotLayout layout = plot->plotLayout();
        // Drag over the pulse (the generator puts it at phase 0.5) on the plot.
        const int n = module->currentProfile().size();
        WidgetProbe::drag(plot, QPoint(layout.pixelX(n / 2 - 12), layout.pixelY(0)),
                          QPoint(layout.pixelX(n / 2 + 12), layout.pixelY(0)));
        const int n1 = child<QLineEdit>(module.get(), QStringLiteral("calc_n1"))->text().toInt();
        const int n2 = child<QLineEdit>(module.get(), QStringLiteral("calc_n2"))->text().toInt();
        QVERIFY2(qAbs(n1 - (n / 2 - 12)) <= 1 && qAbs(n2 - (n / 2 + 12)) <= 1, qPrintable(QStringLiteral("%1 %2").arg(n1).arg(n2)));

        child<QPushButton>(module.get(), QStringLiteral("calculate"))->click();
        const QString clipboard = QGuiApplication::clipboard()->text();
        QVERIFY2(clipboard.startsWith(QStringLiteral("Pulsar:\t\t\nPeriod:\t\t%1 sec\nDispersion:\t27\nDate:\t\t2026.07.26\nResult:\t\tSNR=")
                                          .arg(m_period)),
                 qPrintable(clipboard));
        QCOMPARE(m_log.messages.size(), 1);
        // The pulse's half-width: 4 % of the period.
        const double w50 = child<QLineEdit>(module.get(), QStringLiteral("calc_w50"))->text().toDouble();
        const double expected = m_strong.pulseWidth * m_strong.truePeriod * 1000.0;
        QVERIFY2(qAbs(w50 - expected) < 0.15 * expected, qPrintable(QString::number(w50)));
        QVERIFY(child<QLineEdit>(module.get(), QStringLiteral("calc_Sp"))->text().toDouble() > 0.0);

        // The half-width helper lines: the half level across the plot and the two bounds.
        const auto helperPixels = [&] { return WidgetProbe::countColour(WidgetProbe::render(*plot), QColor(200, 0, 0)); };
        QCOMPARE(helperPixels(), 0);
        child<QCheckBox>(module.get(), QStringLiteral("calc_show_w50"))->setChecked(true);
        QVERIFY(helperPixels() >= layout.plotWidth + layout.plotHeight);

        // A click inside the selection gives the integral SNR and keeps the single graph.
        child<QLineEdit>(module.get(), QStringLiteral("pulsarName"))->setText(QStringLiteral("J0332+5434-extra"));
        m_log = DialogLog();
        QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, QPoint(layout.pixelX(n / 2), layout.pixelY(0)));
        QVERIFY(module->isOneGraphMode());
        const QString line = QGuiApplication::clipboard()->text();
        QVERIFY2(line.startsWith(QStringLiteral("J0332+5434,  date=2026.07.26:  max_snr=")), qPrintable(line));
        QCOMPARE(m_log.messages.size(), 1);

        // Zoom and the calculator's peak selection exclude each other.
        QCheckBox *zoom = child<QCheckBox>(module.get(), QStringLiteral("zoom"));
        zoom->setChecked(true);
        QVERIFY(!group->isChecked());
        QVERIFY(module->plot()->zoomEnabled() && !module->plot()->peakSelectionEnabled());
        group->setChecked(true);
        QVERIFY(!zoom->isChecked() && module->plot()->peakSelectionEnabled());

        child<QLineEdit>(module.get(), QStringLiteral("printWidth"))->setText(QStringLiteral("0"));
        module->showPrintSize();
        QCOMPARE(m_log.texts().last(), QStringLiteral("Set a non-zero window size."));
        child<QLineEdit>(module.get(), QStringLiteral("printWidth"))->setText(QStringLiteral("700"));
        child<QLineEdit>(module.get(), QStringLiteral("printHeight"))->setText(QStringLiteral("450"));
        module->showPrintSize();
        QTRY_COMPARE(module->plot()->size(), QSize(700, 450));

        // Fields being typed recompute quietly; only the button tells what is wrong,
        // and the last result stays.
        m_log = DialogLog();
        child<QCheckBox>(module.get(), QStringLiteral("calc_with_cos"))->setChecked(true);
        setText(module.get(), QStringLiteral("delta1"), QStringLiteral("90"));
        QVERIFY(m_log.messages.isEmpty());
        const QString result = child<QLineEdit>(module.get(), QStringLiteral("calc_Sp"))->text();
        child<QPushButton>(module.get(), QStringLiteral("calculate"))->click();
        QCOMPARE(m_log.texts().size(), 1);
        QVERIFY2(m_log.texts().first().startsWith(QStringLiteral("Invalid delta cosine: 0.00000")), qPrintable(m_log.texts().first()));
        QCOMPARE(child<QLineEdit>(module.get(), QStringLiteral("calc_Sp"))->text(), result);
    }

    // The table as laid out, then one processed graph at the print size; the names tell which.
    void saveTableThenProcessedGraph()
    {
        auto module = openModule(m_dir.path());
        child<QLineEdit>(module.get(), QStringLiteral("pulsarName"))->setText(QStringLiteral("B0329"));
        child<QLineEdit>(module.get(), QStringLiteral("printWidth"))->setText(QStringLiteral("320"));
        child<QLineEdit>(module.get(), QStringLiteral("printHeight"))->setText(QStringLiteral("240"));
        QTemporaryDir out;
        m_log.replies << out.filePath(QStringLiteral("table")) << out.filePath(QStringLiteral("one"));
        module->saveImage();
        QCOMPARE(QImage(out.filePath(QStringLiteral("table.png"))).size(), module->thumbnailPanel()->gridHost()->size());
        QCOMPARE(QSettings().value(QStringLiteral("lastSavePath")).toString(), out.path());

        // The processing itself is checked on its own; here that the file's values
        // and both options reach it.
        child<QSpinBox>(module.get(), QStringLiteral("average"))->setValue(5);
        child<QCheckBox>(module.get(), QStringLiteral("shiftMaxToCenter"))->setChecked(true);
        module->selectProfile(QStringLiteral("27"), m_period);
        module->drawOneGraph();
        const QVector<double> written = profilefixture::writtenValues(m_strong, m_strong.truePeriod);
        const ProfileView expected = profileView(written, 5, true);
        QCOMPARE(module->plot()->series().first().values, expected.values);
        // An averaged curve keeps the scale of the raw profile.
        QVERIFY(module->plot()->fullRange().yMax > *std::max_element(written.begin(), written.end()));
        // The calculator takes the height and the points of what is shown.
        QCOMPARE(child<QLineEdit>(module.get(), QStringLiteral("calc_np"))->text().toInt(), expected.values.size());
        QCOMPARE(child<QLineEdit>(module.get(), QStringLiteral("calc_H"))->text().toDouble(), expected.maximum);

        module->saveImage();
        QCOMPARE(QImage(out.filePath(QStringLiteral("one.png"))).size(), QSize(320, 240));
        module->saveImage();
        QCOMPARE(m_log.texts(), QStringList(QStringLiteral("File name was not selected")));
        QCOMPARE(QFileInfo(m_log.askedPaths.value(0)).fileName(), QStringLiteral("B0329_2026.07.26.png"));
        QCOMPARE(QFileInfo(m_log.askedPaths.value(1)).fileName(), QStringLiteral("B0329_p%1_dm27_2026.07.26.png").arg(m_period));
    }
};

QTEST_MAIN(TestProfilesModule)
#include "tst_profilesmodule.moc"
