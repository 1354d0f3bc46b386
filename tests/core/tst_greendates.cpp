#include "data/greendates.h"
#include "tests/support/coreprobes.h"
#include "tests/support/multidayfixture.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <cerrno>

namespace {

DayPlot dayOf(const QString &date, const QString &path)
{
    DayPlot day;
    std::tie(day.date, day.filePath) = std::tie(date, path);
    return day;
}

QStringList entriesOf(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

// The green-dates file, its saving and clearing, and the copies of the green
// days' files.
class TestGreenDates : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("green");
        QTest::newRow("date and 1, a date alone") << "2026.07.16 1\n2026.07.17" << QStringList{"2026.07.16", "2026.07.17"};
        QTest::newRow("0 and words are not green") << "2026.07.16 0\n2026.07.17 yes\n2026.07.18 1.0\n"
                                                   << QStringList{};
        QTest::newRow("blanks, tabs, carriage returns, more tokens")
            << "  2026.07.16\t 1  extra\r\n\n\r\n2026.07.17  +01\r\n" << QStringList{"2026.07.16", "2026.07.17"};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, green);
        const QSet<QString> dates = parseGreenDates(text);
        QCOMPARE(dates, QSet<QString>(green.begin(), green.end()));
    }

    // Failures name the path and the system's reason, after the program's own words.
    void failuresReportThePathAndTheReason()
    {
        const QString dir = m_dir.filePath(QStringLiteral("missing/deeper"));
        GreenDatesReport report = saveGreenDates(dir, {"2026.07.16"}, {dayOf("2026.07.16", "x.pnt")});
        QVERIFY(!report.ok);
        QVERIFY(report.text.contains(QDir::toNativeSeparators(greenDatesPath(dir))));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing"))));

        // A directory whose name is as long as a name may be: its sibling with the
        // suffix for the green copies cannot exist.
        const QString parent = fresh(QStringLiteral("long"));
        const QString longDir = QDir(parent).filePath(QString(255, QLatin1Char('d')));
        QVERIFY(QDir().mkpath(longDir) && fixture::writeFile(longDir + QStringLiteral("/x.pnt"), "x"));
        report = writeGreenFiles(longDir, {longDir + QStringLiteral("/x.pnt")});
        QVERIFY(!report.ok && report.kind == GreenDatesReport::Kind::Warning);
        QCOMPARE(report.text.section(QLatin1Char('\n'), -1), qt_error_string(ENAMETOOLONG));
        QCOMPARE(entriesOf(parent), QStringList{QString(255, QLatin1Char('d'))});
        QVERIFY(!writeGreenFiles(longDir, {}).ok);
    }

    void writeTwiceArchivesTheFirstCopy()
    {
        // Characters of a directory name that the rich-text message must escape.
        const QString root = fresh(QStringLiteral("write"));
        const QString dir = QDir(root).filePath(QStringLiteral("J0332&co\\N1"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/sub")));
        const QString first = QDir(dir).filePath(QStringLiteral("160726_05_N1_00.pnt"));
        const QString second = QDir(dir).filePath(QStringLiteral("sub/170726_05_N1_00.pnthr"));
        QVERIFY(fixture::writeFile(first, "first day") && fixture::writeFile(second, "second day"));
        const QString target = dir + QStringLiteral("_green");

        GreenDatesReport report = writeGreenFiles(dir, {first, second});
        QVERIFY2(report.ok && report.richText, qPrintable(report.text));
        QVERIFY2(report.text.contains(QStringLiteral("J0332&amp;co\\&#8203;N1_green")), qPrintable(report.text));
        QCOMPARE(entriesOf(target), (QStringList{"160726_05_N1_00.pnt", "170726_05_N1_00.pnthr"}));
        QCOMPARE(probe::contents(QDir(target).filePath(QStringLiteral("170726_05_N1_00.pnthr"))), QByteArray("second day"));

        // Again, with the copy in place's time-stamped name taken: it moves aside
        // under the time stamp and "_2".
        QVERIFY(fixture::writeFile(QDir(target).filePath(QStringLiteral("mark")), "first copy"));
        const QString stamped = target + QLatin1Char('_')
                                + QFileInfo(target).lastModified().toString(QStringLiteral("yyyy.MM.dd_hhmmss"));
        QVERIFY(QDir().mkpath(stamped));
        report = writeGreenFiles(dir, {second});
        QVERIFY2(report.ok, qPrintable(report.text));
        QCOMPARE(probe::contents(stamped + QStringLiteral("_2/mark")), QByteArray("first copy"));
        QCOMPARE(entriesOf(target), QStringList{"170726_05_N1_00.pnthr"});
    }

    void copyFailureListsTheFile()
    {
        const QString dir = fresh(QStringLiteral("clash"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/a")) && QDir().mkpath(dir + QStringLiteral("/b")));
        const QString one = dir + QStringLiteral("/a/160726_05_N1_00.pnt");
        const QString other = dir + QStringLiteral("/b/160726_05_N1_00.pnt");
        QVERIFY(fixture::writeFile(one, "from a") && fixture::writeFile(other, "from b")
                && fixture::writeFile(dir + QStringLiteral("/c.pnt"), "c"));

        const GreenDatesReport report = writeGreenFiles(dir, {one, other, dir + QStringLiteral("/c.pnt")});
        QVERIFY(!report.ok && report.kind == GreenDatesReport::Kind::Warning);
        QVERIFY(report.text.contains(QStringLiteral("160726_05_N1_00.pnt")) && !report.text.contains(QStringLiteral("c.pnt")));
        // The first file of the name and the later file are copied; no partial file is left.
        const QString target = dir + QStringLiteral("_green");
        QCOMPARE(entriesOf(target), (QStringList{"160726_05_N1_00.pnt", "c.pnt"}));
        QCOMPARE(probe::contents(target + QStringLiteral("/160726_05_N1_00.pnt")), QByteArray("from a"));
    }

private:
    QString fresh(const QString &name) { return multiday::freshDir(m_dir, name); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestGreenDates)
#include "tst_greendates.moc"
