#include "astro/beamtables.h"
#include "astro/catalogtokvx.h"
#include "astro/kvxtocatalog.h"
#include "astro/timecoords.h"
#include "modules/calculator/calculatorform.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/calculator/calculatorrules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class TestCalculator : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    static T *child(QWidget *root, const char *name)
    {
        T *widget = root->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("missing widget %s", name);
        return widget;
    }

private slots:
    void moduleRange_data();
    void moduleRange();
    void siteChangesModuleSpinRange();
    void deltaFromRayFillsFields();
    void deltaFromRayReportsUnknownBeam();
    void deltaFromRayInputErrors_data();
    void deltaFromRayInputErrors();
    void fontSizeStopsAtLimits();
    void clearFormEmptiesLineEditsOnly();
    void coordinateCalculatorsFillTheirFields();
    void timeAndPointFollowEachOther();
    void boundPeriodFollowsTheBins();
    void longPeriodListArrivesWithProgress();
};

void TestCalculator::moduleRange_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("N0") << "N0" << 3 << 6;
    QTest::newRow("N1") << "N1" << 1 << 6;
    QTest::newRow("N2") << "N2" << 1 << 6;
    QTest::newRow("N4") << "N4" << 1 << 20;
    QTest::newRow("empty") << "" << 1 << 20;
    QTest::newRow("lower-case n1 is not N1") << "n1" << 1 << 20;
}

void TestCalculator::moduleRange()
{
    QFETCH(QString, site);
    QFETCH(int, low);
    QFETCH(int, high);
    const QPair<int, int> range = siteModuleRange(site);
    QCOMPARE(range.first, low);
    QCOMPARE(range.second, high);
}

void TestCalculator::siteChangesModuleSpinRange()
{
    CalculatorForm form;
    auto *site = child<QComboBox>(&form, "calcdelta_plosh");
    auto *module = child<QSpinBox>(&form, "calcdelta_module");
    QCOMPARE(site->currentText(), QStringLiteral("N1"));
    QCOMPARE(module->minimum(), 1);
    QCOMPARE(module->maximum(), 6);

    site->setCurrentText(QStringLiteral("N0"));
    QCOMPARE(module->minimum(), 3);
    module->setValue(1);
    QCOMPARE(module->value(), 3);

    site->setCurrentText(QStringLiteral("N1"));
    QCOMPARE(module->minimum(), 1);
    QCOMPARE(module->maximum(), 6);
    module->setValue(1);
    QCOMPARE(module->value(), 1);

    site->setCurrentText(QStringLiteral("N4"));
    QCOMPARE(module->maximum(), 20);
}

void TestCalculator::deltaFromRayFillsFields()
{
    CalculatorModule calculator;
    CalculatorForm *form = calculator.form();
    QSignalSpy published(form, &CalculatorForm::resultTextChanged);
    child<QComboBox>(form, "calcdelta_plosh")->setCurrentText(QStringLiteral("N0"));
    child<QSpinBox>(form, "calcdelta_module")->setValue(3);
    child<QSpinBox>(form, "calcdelta_ray")->setValue(5);
    QTest::mouseClick(child<QPushButton>(form, "calcdelta_send"), Qt::LeftButton);

    QCOMPARE(published.count(), 1);
    auto *degrees = child<QLineEdit>(form, "calcdelta_deltaD");
    auto *text = child<QLineEdit>(form, "calcdelta_delta");
    QCOMPARE(degrees->text(), QStringLiteral("53.665"));
    QCOMPARE(text->text(), formatDegreesText(53.665));
    QVERIFY(text->text().startsWith(QStringLiteral("53")));
    QCOMPARE(degrees->styleSheet(), QStringLiteral("background-color: #98FB98;"));

    const QString report = calculator.resultLabel()->text();
    QVERIFY(report.startsWith(QStringLiteral(
        "<p style='color: blue'><b>Calculator: Get delta from ray</b></p><p>&nbsp;</p>")));
    QVERIFY(report.contains(QStringLiteral("plosh = <span style='color: green'>N0</span><br>"
                                           "module = <span style='color: green'>3</span><br>"
                                           "ray = <span style='color: green'>5</span>")));
    QVERIFY(report.contains(QStringLiteral("<p><b>Result:</b>")));
    QVERIFY(report.contains(QStringLiteral("delta = <span style='color: blue'>53.665</span>")));
    QVERIFY(!report.contains(QStringLiteral("Error")));

    // The next calculation first puts the styling back, then marks its own result.
    child<QSpinBox>(form, "calcdelta_ray")->setValue(1);
    QTest::mouseClick(child<QPushButton>(form, "calcdelta_send"), Qt::LeftButton);
    QCOMPARE(degrees->text(),
             QString::number(beamDeclination(3, 1, QStringLiteral("N0")), 'f', 3));
    QCOMPARE(child<QSpinBox>(form, "calcdelta_ray")->styleSheet(),
             QStringLiteral("background-color: #ffffff;"));
}

void TestCalculator::deltaFromRayReportsUnknownBeam()
{
    const DeltaFromRay beyond =
        deltaFromRay(QStringLiteral("N1"), 1, 9);
    QVERIFY(!beyond.found);
    QVERIFY(beyond.report.contains(QStringLiteral("ray = <span style='color: green'>9</span>")));
    QVERIFY(beyond.report.endsWith(
        QStringLiteral("<p><span style='color: red'>Error:</span> no delta for these module and beam!")));

    QVERIFY(!deltaFromRay(QStringLiteral("N4"), 21, 1).found);
    QVERIFY(!deltaFromRay(QStringLiteral("N3"), 1, 1).found);
}

void TestCalculator::deltaFromRayInputErrors_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<int>("module");
    QTest::addColumn<int>("ray");
    QTest::addColumn<QString>("errors");
    QTest::newRow("all three") << "" << 0 << 0
                               << "Select plosh in form!<br>Select module in form!<br>"
                                  "Select ray in form!<br>";
    QTest::newRow("ray only") << "N1" << 2 << 0 << "Select ray in form!<br>";
    QTest::newRow("module only") << "N2" << -1 << 4 << "Select module in form!<br>";
}

void TestCalculator::deltaFromRayInputErrors()
{
    QFETCH(QString, site);
    QFETCH(int, module);
    QFETCH(int, ray);
    QFETCH(QString, errors);
    const DeltaFromRay result = deltaFromRay(site, module, ray);
    QVERIFY(!result.found);
    QCOMPARE(result.report,
             QStringLiteral("<p style='color: blue'><b>Calculator: Get delta from ray</b></p>"
                            "<p>&nbsp;</p><p><b>Error:</b><br>")
                 + errors);
}

void TestCalculator::fontSizeStopsAtLimits()
{
    CalculatorModule calculator;
    auto *plus = child<QPushButton>(calculator.form(), "fontIncrease");
    auto *minus = child<QPushButton>(calculator.form(), "fontDecrease");
    auto *shown = child<QLabel>(calculator.form(), "fontSize");
    QCOMPARE(calculator.resultFontSize(), 11);

    QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(calculator.resultFontSize(), 12);
    for (int i = 0; i < 40; ++i)
        QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(calculator.resultFontSize(), 40);
    QCOMPARE(calculator.resultLabel()->font().pointSize(), 40);

    for (int i = 0; i < 50; ++i)
        QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(calculator.resultFontSize(), 6);
    QCOMPARE(shown->text(), QStringLiteral("6"));
}

void TestCalculator::clearFormEmptiesLineEditsOnly()
{
    CalculatorModule calculator;
    CalculatorForm *form = calculator.form();
    child<QComboBox>(form, "calcdelta_plosh")->setCurrentText(QStringLiteral("N0"));
    child<QSpinBox>(form, "calcdelta_module")->setValue(3);
    child<QSpinBox>(form, "calcdelta_ray")->setValue(5);
    child<QComboBox>(form, "tres")->setCurrentIndex(2);
    QTest::mouseClick(child<QPushButton>(form, "calcdelta_send"), Qt::LeftButton);
    QVERIFY(!child<QLineEdit>(form, "calcdelta_deltaD")->text().isEmpty());
    QVERIFY(!calculator.resultLabel()->text().isEmpty());

    QSignalSpy cleared(form, &CalculatorForm::resultClearRequested);
    QTest::mouseClick(child<QPushButton>(form, "clearForm"), Qt::LeftButton);
    QCOMPARE(cleared.count(), 1);
    const QList<QLineEdit *> edits = form->findChildren<QLineEdit *>();
    int ownEdits = 0;
    for (QLineEdit *edit : edits) {
        if (edit->objectName().startsWith(QLatin1String("qt_")))
            continue;
        ++ownEdits;
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    }
    QVERIFY(ownEdits >= 20);
    QCOMPARE(child<QComboBox>(form, "calcdelta_plosh")->currentText(), QStringLiteral("N0"));
    QCOMPARE(child<QComboBox>(form, "tres")->currentIndex(), 2);
    QCOMPARE(child<QSpinBox>(form, "calcdelta_module")->value(), 3);
    QCOMPARE(child<QSpinBox>(form, "calcdelta_ray")->value(), 5);
    QCOMPARE(child<QSpinBox>(form, "calcdelta_ray")->text(), QStringLiteral("5"));
    QVERIFY(calculator.resultLabel()->text().isEmpty());
}

void TestCalculator::coordinateCalculatorsFillTheirFields()
{
    CalculatorModule calculator;
    CalculatorForm *form = calculator.form();
    child<QGroupBox>(form, "groupBoxCat2Kvx")->setChecked(true);
    child<QGroupBox>(form, "groupBoxKvx2Cat")->setChecked(true);
    child<QComboBox>(form, "tres")->setCurrentIndex(1);
    const QString tres = child<QComboBox>(form, "tres")->currentText();

    child<QPushButton>(form, "cat2kvx_send")->click();
    const CatalogToKvxResult cat = catalogToKvx({QStringLiteral("03:23:27"), QStringLiteral("39:44:52"),
                                                 QStringLiteral("01.04.2015"), QStringLiteral("N1"), tres});
    QCOMPARE(child<QLineEdit>(form, "cat2kvx_fileName")->text(), cat.crossings.first().fileName);
    QCOMPARE(child<QLineEdit>(form, "cat2kvx_culmPoint")->text(), QString::number(cat.crossings.first().wholePoint));
    QVERIFY(calculator.resultLabel()->text().contains(QStringLiteral("Calculator: From catalog to KVX")));
    QVERIFY(calculator.resultLabel()->text().contains(cat.crossings.first().wholePointAlpha));

    child<QPushButton>(form, "kvx2cat_send")->click();
    const KvxToCatalogResult kvx =
        kvxToCatalog({QStringLiteral("01.04.2015"), QStringLiteral("12:13:20.66"),
                      child<QLineEdit>(form, "kvx2cat_culmPoint")->text(),
                      child<QLineEdit>(form, "kvx2cat_deltaKvx")->text(), tres, KvxTimeField::Time});
    QVERIFY(kvx.errors.isEmpty());
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfa")->text(), kvx.alpha);
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_delta")->text(), kvx.delta);
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_pulsarName")->text(), kvx.pulsarName);
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfaZuld")->text(), kvx.alphaRigorous);
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfaZuld")->styleSheet(), QStringLiteral("background-color: #98FB98;"));

    // Input errors are listed and the result fields keep what they showed.
    child<QLineEdit>(form, "kvx2cat_date")->setText(QStringLiteral("32.01.2015"));
    child<QPushButton>(form, "kvx2cat_send")->click();
    QVERIFY(calculator.resultLabel()->text().contains(QStringLiteral("<b>Error:</b><br>KVX date:")));
    QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfa")->text(), kvx.alpha);
}

void TestCalculator::timeAndPointFollowEachOther()
{
    CalculatorForm form;
    child<QGroupBox>(&form, "groupBoxKvx2Cat")->setChecked(true);
    auto *time = child<QLineEdit>(&form, "kvx2cat_time");
    auto *point = child<QLineEdit>(&form, "kvx2cat_culmPoint");
    QCOMPARE(point->text(), QStringLiteral("64090"));

    point->selectAll();
    QTest::keyClicks(point, QStringLiteral("100"));
    // 100 x 0.0124928 s from the hour of 12:13:20.66.
    QCOMPARE(time->text(), QStringLiteral("12:00:01.249"));
    child<QComboBox>(&form, "tres")->setCurrentIndex(2);
    QCOMPARE(time->text(), QStringLiteral("12:00:00.307"));
    QCOMPARE(point->text(), QStringLiteral("100"));

    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("13:00:03.072"));
    QCOMPARE(point->text(), QStringLiteral("1000"));
    child<QComboBox>(&form, "tres")->setCurrentIndex(1);
    QCOMPARE(time->text(), QStringLiteral("13:00:03.072"));
    QCOMPARE(point->text(), kvxPointForTime(time->text(), QStringLiteral("0.0999424")));
}

void TestCalculator::boundPeriodFollowsTheBins()
{
    CalculatorForm form;
    child<QGroupBox>(&form, "groupBoxFfa")->setChecked(true);
    auto *period = child<QLineEdit>(&form, "ffa_period_min");
    auto *bound = child<QCheckBox>(&form, "ffa_boundPeriodBin");
    bound->setChecked(true);
    QVERIFY(period->isReadOnly());
    QCOMPARE(period->text(), QStringLiteral("0.4872192"));
    QCOMPARE(period->styleSheet(), QStringLiteral("background-color: #dfffd3;"));
    child<QLineEdit>(&form, "ffa_bin_min")->setText(QStringLiteral("40"));
    QCOMPARE(period->text(), QStringLiteral("0.499712"));
    child<QComboBox>(&form, "ffa_tres")->setCurrentIndex(2);
    QCOMPARE(period->text(), QStringLiteral("0.12288"));
    bound->setChecked(false);
    QVERIFY(!period->isReadOnly());
    child<QLineEdit>(&form, "ffa_bin_min")->setText(QStringLiteral("41"));
    QCOMPARE(period->text(), QStringLiteral("0.12288"));
}

void TestCalculator::longPeriodListArrivesWithProgress()
{
    CalculatorModule calculator;
    CalculatorForm *form = calculator.form();
    child<QGroupBox>(form, "groupBoxFfa")->setChecked(true);
    child<QGroupBox>(form, "groupBoxCat2Kvx")->setChecked(true);
    // 2^22 points at the initial bins and periods: 1,975,844 trial periods.
    child<QLineEdit>(form, "ffa_poins")->setText(QStringLiteral("4194304"));
    QSignalSpy texts(form, &CalculatorForm::resultTextChanged);
    QSignalSpy lists(form, &CalculatorForm::resultListChanged);
    child<QPushButton>(form, "ffa_show_periods")->click();
    QCOMPARE(child<QLineEdit>(form, "ffa_rows")->text(), QStringLiteral("1975844"));
    QCOMPARE(child<QLineEdit>(form, "ffa_cols")->text(), QStringLiteral("1"));
    QVERIFY(lists.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(lists.count(), 1, 30000);

    // The progress came through the event loop while the list was built.
    int progress = 0;
    for (const QList<QVariant> &text : texts)
        progress += text.first().toString().contains(QStringLiteral("Building the list of periods")) ? 1 : 0;
    QVERIFY2(progress >= 2, qPrintable(QString::number(progress)));
    QPlainTextEdit *list = calculator.resultList();
    QVERIFY(list->isVisibleTo(&calculator));
    QCOMPARE(list->blockCount(), 1 + 10000 + 1 + 10000 + 1);
    QVERIFY(list->toPlainText().contains(QStringLiteral("1,955,844 trial periods not shown")));
    QVERIFY(calculator.resultLabel()->text().contains(QStringLiteral("left out")));

    // Any other result hides the list, and stops one being built.
    child<QPushButton>(form, "ffa_show_info")->click();
    QVERIFY(!list->isVisibleTo(&calculator));
    child<QPushButton>(form, "ffa_show_periods")->click();
    child<QPushButton>(form, "cat2kvx_send")->click();
    const QString catalogReport = calculator.resultLabel()->text();
    QTest::qWait(500);
    QCOMPARE(lists.count(), 1);
    QCOMPARE(calculator.resultLabel()->text(), catalogReport);
}

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"
