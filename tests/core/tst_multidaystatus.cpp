#include "data/multidaystatus.h"

#include <QtTest>

namespace {

DayPlot day(const QString &plosh, const QString &suffix, const QString &tresolution)
{
    DayPlot d;
    std::tie(d.plosh, d.suffix, d.tresolutionText) = std::tie(plosh, suffix, tresolution);
    return d;
}

} // namespace

Q_DECLARE_METATYPE(SiteFields::Outcome)

// The "Plosh" and "Tresolution" fields after a load.
class TestMultiDayStatus : public QObject
{
    Q_OBJECT

private slots:
    void siteFields_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QVector<DayPlot>>("days");
        QTest::addColumn<SiteFields::Outcome>("outcome");
        QTest::addColumn<QString>("plosh");
        QTest::addColumn<QString>("tresolution");
        const QString plain = QStringLiteral("/data/J0332+5434");
        QTest::newRow("one site, one kind: every interval once, in day order")
            << plain
            << QVector<DayPlot>{day("N1", "pnthr", "0.0124928"), day("", "pnthr", "0.0999424"),
                                day("N1", "pnthr", "0.0124928"), day("N1", "pnthr", "")}
            << SiteFields::Outcome::Uniform << "N1" << "0.0124928, 0.0999424";
        QTest::newRow("two sites, sorted") << plain
                                           << QVector<DayPlot>{day("N2", "pnt", "0.1"), day("N1", "pnt", "0.1")}
                                           << SiteFields::Outcome::Mixed << "N1, N2" << "";
        QTest::newRow("the directory names the site") << QStringLiteral("/data/J0332+5434_N2/")
                                                      << QVector<DayPlot>{day("N2", "pnt", "0.1"), day("N1", "pnt", "0.1")}
                                                      << SiteFields::Outcome::Uniform << "N2" << "0.1";
        QTest::newRow("no interval texts") << plain << QVector<DayPlot>{day("N1", "pnt", "")}
                                           << SiteFields::Outcome::Unchanged << "" << "";
    }

    void siteFields()
    {
        QFETCH(QString, directory);
        QFETCH(QVector<DayPlot>, days);
        QFETCH(SiteFields::Outcome, outcome);
        QFETCH(QString, plosh);
        QFETCH(QString, tresolution);
        const SiteFields fields = ::siteFields(directory, days);
        QCOMPARE(fields.outcome, outcome);
        if (outcome == SiteFields::Outcome::Unchanged)
            return;
        QCOMPARE(fields.plosh + '|' + fields.tresolution, plosh + '|' + tresolution);
        QCOMPARE(fields.tresolutionStyle,
                 outcome == SiteFields::Outcome::Uniform ? SiteFields::uniformStyle() : SiteFields::mixedStyle());
    }
};

QTEST_GUILESS_MAIN(TestMultiDayStatus)
#include "tst_multidaystatus.moc"
