#include "astro/seriesprocessing.h"
#include "data/dayplotreader.h"
#include "modules/multiday/multidaydialogs.h"
#include "modules/multiday/nativemultidayform.h"
#include "modules/multiday/nativemultidaymodule.h"
#include "plot/grafiks.h"
#include "plot/minigrafik.h"
#include "plot/multigrafikspanel.h"
#include "tests/support/coreprobes.h"
#include "tests/support/fakeshell.h"
#include "tests/support/multidayfixture.h"
#include "tests/support/nativefixture.h"
#include "tests/support/widgetprobe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

// The module's own dialogs answering from the test: Yes or No to the
// question; every question and rich message is logged.
class FakeMultiDayDialogs : public MultiDayDialogs
{
public:
    FakeMultiDayDialogs(DialogLog *log, const bool *yes) : m_log(log), m_yes(yes) {}
    bool askYesNo(QWidget *, const QString &title, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("question"), title, text});
        return *m_yes;
    }
    void richInformation(QWidget *, const QString &title, const QString &text) override
    {
        m_log->messages.append({QStringLiteral("information"), title, text});
    }

private:
    DialogLog *m_log;
    const bool *m_yes;
};

using WidgetProbe::child;

QString dateOf(int day)
{
    return QDate(2026, 7, 16).addDays(day).toString(QStringLiteral("yyyy.MM.dd"));
}

} // namespace

class TestMultiDay : public QObject
{
    Q_OBJECT

private:
    // A module on dir with test dialogs, its first load finished; null when it does not end.
    std::unique_ptr<NativeMultiDayModule> open(const QString &dir)
    {
        auto module = std::make_unique<NativeMultiDayModule>(dir);
        module->setDialogs(fakeDialogs(&m_log));
        module->setMultiDayDialogs(std::make_unique<FakeMultiDayDialogs>(&m_log, &m_yes));
        module->resize(1400, 900);
        module->show();
        if (!QTest::qWaitFor([&] { return module->loadGeneration() > 0 && !module->isLoading(); }, 20000))
            return nullptr;
        return module;
    }

    // A directory of `count` plain days.
    QString days(const QString &name, int count)
    {
        const QString dir = multiday::freshDir(m_root, name);
        for (int day = 0; day < count; ++day)
            multiday::writeDay(dir, multiday::dayParams(day), QStringLiteral("pnt"));
        return dir;
    }

    MiniGrafik *thumbnail(NativeMultiDayModule &module, int row, int col)
    {
        return qobject_cast<MiniGrafik *>(module.table()->cellWidget(row, col));
    }

    QTemporaryDir m_root;
    DialogLog m_log;
    bool m_yes = false;

private slots:
    void cleanup()
    {
        m_log = DialogLog();
        m_yes = false;
    }

    void formFieldsListsAndExclusiveChecks()
    {
        NativeMultiDayForm form;
        QSignalSpy rebuild(&form, &NativeMultiDayForm::dataRebuildRequested);
        QSignalSpy observation(&form, &NativeMultiDayForm::observationChanged);
        QSignalSpy processing(&form, &NativeMultiDayForm::graphProcessingChanged);

        // The arrows stop at the ends of their list.
        child<QPushButton>(&form, "dispPre")->click();
        QCOMPARE(rebuild.count(), 0);
        child<QPushButton>(&form, "dispNext")->click();
        QCOMPARE(rebuild.count(), 1);
        QCOMPARE(form.dispersion(), 1.0);

        // Date and file lists move together; the table keeps no selection.
        form.setDays({"2026.07.16", "2026.07.17", "2026.07.18"}, {"a.pnt", "b.pnt", "c.pnt"}, {"/d/a", "/d/b", "/d/c"});
        auto *dates = child<QComboBox>(&form, "comboBoxDate");
        auto *files = child<QComboBox>(&form, "comboBoxFile");
        dates->setCurrentIndex(2);
        QCOMPARE(files->currentIndex(), 2);
        QCOMPARE(form.currentFilePath(), QStringLiteral("/d/c"));
        child<QPushButton>(&form, "fileNext")->click();
        child<QPushButton>(&form, "filePre")->click();
        QCOMPARE(dates->currentIndex(), 1);
        QCOMPARE(observation.count(), 2);

        auto *approx = child<QCheckBox>(&form, "showApprox");
        auto *noise = child<QCheckBox>(&form, "deductNoise");
        noise->setChecked(true);
        approx->setChecked(true);
        QVERIFY(!noise->isChecked() && form.graphSettings().processing.showApproximation);
        QCOMPARE(processing.count(), 2);

        // The size fields are trimmed and held to their range; text that is not a number is the least.
        child<QLineEdit>(&form, "cols")->setText(QStringLiteral("21"));
        QCOMPARE(form.columns(), 20);
        child<QLineEdit>(&form, "multiWidth")->setText(QStringLiteral("four"));
        QCOMPARE(form.thumbnailWidth(), 150);
        child<QLineEdit>(&form, "multiHeight")->setText(QStringLiteral(" 300 "));
        QCOMPARE(form.thumbnailHeight(), 300);

        // A colour field's swatch follows valid colours only.
        auto *swatch = child<QLabel>(&form, "disp0ColorBox");
        child<QLineEdit>(&form, "disp0Color")->setText(QStringLiteral(" 00FF7F"));
        QVERIFY(swatch->styleSheet().contains(QStringLiteral("#00ff7f")));
        child<QLineEdit>(&form, "disp0Color")->setText(QStringLiteral("grün"));
        QVERIFY(swatch->styleSheet().contains(QStringLiteral("#00ff7f")));
    }

    void loadSkipsAndNamesSeveralPairFiles()
    {
        const QString dir = multiday::freshDir(m_root, QStringLiteral("mixed"));
        multiday::writeDay(dir, multiday::dayParams(0), QStringLiteral("pnt"));
        multiday::writeDay(dir + QStringLiteral("/sub/deeper"), multiday::dayParams(1), QStringLiteral("pnthr"));
        SyntheticObservation::Params twoBeams = multiday::dayParams(2);
        twoBeams.nRays = 2;
        const QString pair = multiday::writeDay(dir, twoBeams, QStringLiteral("pnt"));
        QVERIFY(fixture::writeFile(dir + QStringLiteral("/empty.pnt"), ""));
        QVERIFY(fixture::writeFile(dir + QStringLiteral("/green_dates.txt"), (dateOf(1) + " 1\n").toUtf8()));

        auto module = open(dir);
        QVERIFY(module);
        QCOMPARE(m_log.messages.size(), 1);
        QVERIFY(m_log.messages.first().text.endsWith(
            QStringLiteral("multiple module-beam pairs and will not be displayed: ") + QFileInfo(pair).fileName()));
        QCOMPARE(child<QLabel>(module->form(), "loadedLabel")->text(),
                 QStringLiteral("Loaded days: 2\nSkipped files: 2\nGreen days: 1"));
        QVERIFY(thumbnail(*module, 0, 1));
        // ".pnt" and ".pnthr" together: no common interval, on pink.
        auto *tresolution = child<QLineEdit>(module->form(), "tresolution");
        QVERIFY(tresolution->text().isEmpty() && tresolution->styleSheet().contains(QStringLiteral("#fae5eb")));
    }

    void stepRemovalThenReloadWithoutDays()
    {
        const QString dir = multiday::freshDir(m_root, QStringLiteral("step"));
        SyntheticObservation::Params step = multiday::dayParams(0);
        step.npoints = 6000;
        step.calibrationStart = 40.0;
        const QString path = multiday::writeDay(dir, step, QStringLiteral("pnt"));
        auto module = open(dir);
        QVERIFY(module);
        child<QPushButton>(module->form(), "drawGrafikOne")->click();
        const DayPlot day = module->days().first();
        child<QCheckBox>(module->form(), "deleteStep")->setChecked(true);
        const QVector<double> removed = removeStep(day.channelSumDm0, day.tresolution);
        QVERIFY(removed != day.channelSumDm0);
        QCOMPARE(module->plot()->series().first().values, removed);
        QCOMPARE(module->plot()->series().at(1).values, removeStep(day.channelSumDm, day.tresolution));
        WidgetProbe::click(module->plot(), module->plot()->rect().center());
        QVERIFY(thumbnail(*module, 0, 0));
        auto *info = child<QLabel>(module->form(), "textInfo");

        // Nothing readable: no day of the earlier load stays in the table.
        QVERIFY(QFile(path).resize(0));
        module->load();
        QTRY_VERIFY(!module->isLoading());
        QVERIFY(!thumbnail(*module, 0, 0));
        QCOMPARE(child<QComboBox>(module->form(), "comboBoxFile")->count(), 0);
        QCOMPARE(info->text(), QStringLiteral("No observations could be read."));

        QVERIFY(QFile::remove(path));
        module->load();
        QCOMPARE(m_log.texts(), QStringList{"No pnt/pnthr/txt files were found in the selected directory."});
        QCOMPARE(info->text(), QStringLiteral("No pnt/pnthr/txt files found."));
    }

    void dmChangeAbandonsTheLoad()
    {
        const QString dir = days(QStringLiteral("dm"), 8);
        auto module = std::make_unique<NativeMultiDayModule>(dir);
        module->setDialogs(fakeDialogs(&m_log));
        QTRY_VERIFY(module->loadGeneration() == 1);
        QTRY_VERIFY(module->progressBar()->value() > 0 || !module->isLoading());
        child<QComboBox>(module->form(), "comboBoxDispersion")->setCurrentIndex(30);
        QCOMPARE(module->loadGeneration(), quint64(2));
        QCOMPARE(module->progressBar()->value(), 0);
        QVERIFY(module->progressBar()->isVisibleTo(module.get()));
        // Half-loaded days are not saved, copied or shown alone.
        auto *save = child<QPushButton>(module->form(), "saveGreenDates");
        QVERIFY(!save->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!module->isLoading(), 20000);
        QVERIFY(save->isEnabled());

        QCOMPARE(module->days().size(), 8);
        DayPlot expected;
        QVERIFY(readDayPlot(module->days().first().filePath, 30.0, &expected));
        QCOMPARE(module->days().first().channelSumDm, expected.channelSumDm);
        QVERIFY(m_log.messages.isEmpty());
    }

    void tableMouseAndGreenDates()
    {
        const QString dir = days(QStringLiteral("table"), 9);
        auto module = open(dir);
        QVERIFY(module);
        auto *status = child<QLabel>(module->form(), "loadedLabel");
        const QColor green(QStringLiteral("#defbdd"));
        QCOMPARE(child<QLineEdit>(module->form(), "tresolution")->text(), module->days().first().tresolutionText);

        // Right-click twice: green, then white and the count as before.
        MiniGrafik *second = thumbnail(*module, 0, 1);
        const QPoint middle = second->plot()->rect().center();
        WidgetProbe::click(second->plot(), middle, Qt::RightButton);
        QVERIFY(status->text().endsWith(QStringLiteral("Green days: 1")));
        QVERIFY(WidgetProbe::countColour(WidgetProbe::render(*second), green) > 1000);
        WidgetProbe::click(second->plot(), middle, Qt::RightButton);
        QVERIFY(status->text().endsWith(QStringLiteral("Green days: 0")));
        QCOMPARE(WidgetProbe::countColour(WidgetProbe::render(*second), green), 0);

        // A left click shows that day alone; its combos select it.
        MiniGrafik *seventh = thumbnail(*module, 1, 2);
        WidgetProbe::click(seventh->plot(), seventh->plot()->rect().center());
        QVERIFY(module->isOneGraph());
        QCOMPARE(child<QComboBox>(module->form(), "comboBoxDate")->currentText(), dateOf(6));
        QCOMPARE(module->plot()->series().first().values, module->days().at(6).channelSumDm0);

        // Right on the single graph: its background turns green; left: the table again.
        WidgetProbe::click(module->plot(), module->plot()->rect().center(), Qt::RightButton);
        QVERIFY(module->greenDates().contains(dateOf(6)));
        QVERIFY(WidgetProbe::countColour(WidgetProbe::render(*module->plot()), green) > 1000);
        WidgetProbe::click(module->plot(), module->plot()->rect().center());
        QVERIFY(!module->isOneGraph());
        QVERIFY(WidgetProbe::countColour(WidgetProbe::render(*thumbnail(*module, 1, 2)), green) > 1000);

        // Hiding the DM = 0 sum hides it in every thumbnail.
        child<QCheckBox>(module->form(), "showDisp0")->setChecked(false);
        QVERIFY(!thumbnail(*module, 1, 2)->plot()->series().first().visible);

        // Two columns: the nine days fill four rows and one cell of the fifth.
        auto *cols = child<QLineEdit>(module->form(), "cols");
        cols->setText(QStringLiteral("2"));
        emit cols->editingFinished();
        QVERIFY(thumbnail(*module, 4, 0) && !thumbnail(*module, 4, 1));

        // The green dates are saved and read back.
        WidgetProbe::click(thumbnail(*module, 0, 0)->plot(), QPoint(100, 100), Qt::RightButton);
        child<QPushButton>(module->form(), "saveGreenDates")->click();
        const QString file = dir + QStringLiteral("/green_dates.txt");
        QCOMPARE(probe::contents(file), (dateOf(0) + " 1\n" + dateOf(6) + " 1\n").toUtf8());
        // Clearing forgets the marks but not the file; a reload reads them back.
        child<QPushButton>(module->form(), "clearAllGreen")->click();
        QCOMPARE(WidgetProbe::countColour(WidgetProbe::render(*thumbnail(*module, 0, 0)), green), 0);
        auto *write = child<QPushButton>(module->form(), "writeGreenDates");
        write->click();
        QCOMPARE(m_log.messages.last().title, QStringLiteral("No green dates"));
        module->load();
        QTRY_VERIFY(!module->isLoading());
        QCOMPARE(module->greenDates(), (QSet<QString>{dateOf(0), dateOf(6)}));

        // Their files are copied into a directory beside this one.
        write->click();
        const QStringList copies = QDir(m_root.path()).entryList({QStringLiteral("table_green*")}, QDir::Dirs);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(QDir(m_root.filePath(copies.first())).entryList(QDir::Files),
                 (QStringList{QFileInfo(module->days().at(0).filePath).fileName(),
                              QFileInfo(module->days().at(6).filePath).fileName()}));

        // Only dates of days not loaded: the save asks whether to clear the list.
        QVERIFY(fixture::writeFile(file, "1999.01.01 1\n"));
        module->load();
        QTRY_VERIFY(!module->isLoading());
        child<QPushButton>(module->form(), "saveGreenDates")->click();
        QCOMPARE(m_log.messages.last().kind, QStringLiteral("question"));
        QVERIFY(QFile::exists(file));
        m_yes = true;
        child<QPushButton>(module->form(), "saveGreenDates")->click();
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestMultiDay)
#include "tst_multiday.moc"
