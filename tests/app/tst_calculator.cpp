#include "astro/catalogtokvx.h"
#include "astro/kvxtocatalog.h"
#include "astro/timecoords.h"
#include "modules/calculator/calculatorform.h"
#include "modules/calculator/calculatormodule.h"
#include "modules/calculator/calculatorrules.h"
#include "tests/support/widgetprobe.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using WidgetProbe::apply;
using WidgetProbe::child;
static void press(QWidget *root, const char *name) { child<QPushButton>(root, name)->click(); }

class TestCalculator : public QObject
{
    Q_OBJECT

private slots:
    // The modules of a site (the form's module spin box clamps to them, below), and a delta
    // refused for each missing choice or for a beam the module does not have.
    void siteModulesAndDeltaRefusals()
    {
        QCOMPARE(siteModuleRange(QStringLiteral("N1")), qMakePair(1, 6));
        QCOMPARE(siteModuleRange(QStringLiteral("n1")), qMakePair(1, 20));
        const DeltaFromRay missing = deltaFromRay(QString(), 0, 0);
        QVERIFY(!missing.found);
        QVERIFY2(missing.report.endsWith(QStringLiteral("<b>Error:</b><br>Select plosh in form!<br>"
                                                        "Select module in form!<br>Select ray in form!<br>")),
                 qPrintable(missing.report));
        const DeltaFromRay none = deltaFromRay(QStringLiteral("N1"), 1, 9);
        QVERIFY(!none.found);
        QVERIFY2(none.report.contains(QStringLiteral("no delta for these module and beam")), qPrintable(none.report));
    }

    // Each calculator fills its fields and the result; the period list comes with progress;
    // linked fields follow each other; the result font follows its buttons; clearing keeps the choices.
    void calculatorsWiredToTheWindow()
    {
        CalculatorModule calculator;
        CalculatorForm *form = calculator.form();
        apply(form, QStringLiteral("groupBoxCat2Kvx=1,groupBoxKvx2Cat=1,groupBoxFfa=1,tres=1"));
        const QString tres = child<QComboBox>(form, "tres")->currentText();

        press(form, "cat2kvx_send");
        const CatalogToKvxResult cat = catalogToKvx({QStringLiteral("03:23:27"), QStringLiteral("39:44:52"),
                                                     QStringLiteral("01.04.2015"), QStringLiteral("N1"), tres});
        QCOMPARE(child<QLineEdit>(form, "cat2kvx_fileName")->text(), cat.crossings.first().fileName);
        QCOMPARE(child<QLineEdit>(form, "cat2kvx_culmPoint")->text(), QString::number(cat.crossings.first().wholePoint));
        QVERIFY(calculator.resultLabel()->text().contains(cat.crossings.first().wholePointAlpha));

        press(form, "kvx2cat_send");
        const KvxToCatalogResult kvx =
            kvxToCatalog({QStringLiteral("01.04.2015"), QStringLiteral("12:13:20.66"),
                          child<QLineEdit>(form, "kvx2cat_culmPoint")->text(),
                          child<QLineEdit>(form, "kvx2cat_deltaKvx")->text(), tres, KvxTimeField::Time});
        QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfa")->text(), kvx.alpha);
        QCOMPARE(child<QLineEdit>(form, "kvx2cat_pulsarName")->text(), kvx.pulsarName);

        // Input errors are listed and the result fields keep what they showed.
        child<QLineEdit>(form, "kvx2cat_date")->setText(QStringLiteral("32.01.2015"));
        press(form, "kvx2cat_send");
        QVERIFY(calculator.resultLabel()->text().contains(QStringLiteral("<b>Error:</b><br>KVX date:")));
        QCOMPARE(child<QLineEdit>(form, "kvx2cat_alfa")->text(), kvx.alpha);

        // A long period list: 2^22 points at the initial bins and periods, 1,975,844 trial periods.
        child<QLineEdit>(form, "ffa_poins")->setText(QStringLiteral("4194304"));
        QSignalSpy texts(form, &CalculatorForm::resultTextChanged);
        QSignalSpy lists(form, &CalculatorForm::resultListChanged);
        press(form, "ffa_show_periods");
        QCOMPARE(child<QLineEdit>(form, "ffa_rows")->text(), QStringLiteral("1975844"));
        QVERIFY(lists.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(lists.count(), 1, 30000);

        // The progress came through the event loop while the list was built.
        int progress = 0;
        for (const QList<QVariant> &text : texts)
            progress += text.first().toString().contains(QStringLiteral("Building the list of periods")) ? 1 : 0;
        QVERIFY2(progress >= 2, qPrintable(QString::number(progress)));
        QPlainTextEdit *list = calculator.resultList();
        QVERIFY(list->isVisibleTo(&calculator));
        QVERIFY(list->toPlainText().contains(QStringLiteral("1,955,844 trial periods not shown")));

        // Any other result hides the list, and stops one being built.
        press(form, "ffa_show_info");
        QVERIFY(!list->isVisibleTo(&calculator));
        press(form, "ffa_show_periods");
        press(form, "cat2kvx_send");
        const QString catalogReport = calculator.resultLabel()->text();
        QTest::qWait(500);
        QCOMPARE(lists.count(), 1);
        QCOMPARE(calculator.resultLabel()->text(), catalogReport);

        // The KVX time and point of culmination follow each other; a bound period follows the bins.
        apply(form, QStringLiteral("tres=0"));
        auto *time = child<QLineEdit>(form, "kvx2cat_time");
        auto *point = child<QLineEdit>(form, "kvx2cat_culmPoint");
        point->selectAll();
        QTest::keyClicks(point, QStringLiteral("100"));
        // 100 x 0.0124928 s from the hour of 12:13:20.66.
        QCOMPARE(time->text(), QStringLiteral("12:00:01.249"));
        child<QComboBox>(form, "tres")->setCurrentIndex(2);
        QCOMPARE(time->text(), QStringLiteral("12:00:00.307"));
        time->selectAll();
        QTest::keyClicks(time, QStringLiteral("13:00:03.072"));
        QCOMPARE(point->text(), QStringLiteral("1000"));
        auto *period = child<QLineEdit>(form, "ffa_period_min");
        auto *bound = child<QCheckBox>(form, "ffa_boundPeriodBin");
        bound->setChecked(true);
        QVERIFY(period->isReadOnly());
        child<QLineEdit>(form, "ffa_bin_min")->setText(QStringLiteral("40"));
        QCOMPARE(period->text(), QStringLiteral("0.499712"));
        bound->setChecked(false);
        QVERIFY(!period->isReadOnly());
        child<QLineEdit>(form, "ffa_bin_min")->setText(QStringLiteral("41"));
        QCOMPARE(period->text(), QStringLiteral("0.499712"));

        // A beam's delta: module 1 is not at N0, so the spin box takes its first module, 3.
        child<QComboBox>(form, "calcdelta_plosh")->setCurrentText(QStringLiteral("N0"));
        apply(form, QStringLiteral("calcdelta_module=1,calcdelta_ray=5,tres=2"));
        QCOMPARE(child<QSpinBox>(form, "calcdelta_module")->value(), 3);
        press(form, "calcdelta_send");
        QCOMPARE(child<QLineEdit>(form, "calcdelta_deltaD")->text(), QStringLiteral("53.665"));
        QCOMPARE(child<QLineEdit>(form, "calcdelta_delta")->text(), formatDegreesText(53.665));
        QVERIFY(calculator.resultLabel()->text().contains(QStringLiteral("delta = <span style='color: blue'>53.665</span>")));
        // The result's font follows the form's size buttons.
        const int size = calculator.resultFontSize();
        press(form, "fontIncrease");
        QCOMPARE(calculator.resultLabel()->font().pointSize(), size + 1);
        press(form, "fontDecrease");
        QCOMPARE(child<QLabel>(form, "fontSize")->text(), QString::number(size));

        // Clearing empties the line edits and the result, and keeps the choices.
        press(form, "clearForm");
        int ownEdits = 0;
        for (QLineEdit *edit : form->findChildren<QLineEdit *>()) {
            if (edit->objectName().startsWith(QLatin1String("qt_")))
                continue;
            ++ownEdits;
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        }
        QVERIFY(ownEdits >= 20);
        QCOMPARE(child<QComboBox>(form, "calcdelta_plosh")->currentText(), QStringLiteral("N0"));
        QCOMPARE(child<QSpinBox>(form, "calcdelta_ray")->value(), 5);
        QVERIFY(calculator.resultLabel()->text().isEmpty());
    }
};

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"
