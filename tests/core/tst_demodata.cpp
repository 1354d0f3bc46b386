#include "astro/filenames.h"
#include "data/nativereader.h"
#include "data/nativetext.h"
#include "synth/demodata.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// The demo data of scripts/run and the fuzz seed corpus: complete, readable
// and shaped as the modules that open them expect.
class TestDemoData : public QObject
{
    Q_OBJECT

private slots:
    void demoIsCompleteAndReadable();
    void multiDayDirectory();
    void profilesDirectory();
    void demoRewriteKeepsTheSameSet();
    void demoFailureLeavesNoMark();
    void corpusFilesParse();

private:
    static QStringList filesBelow(const QString &dir);

    QTemporaryDir m_dir;
    QStringList m_written;
};

QStringList TestDemoData::filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(dir).relativeFilePath(it.next()));
    files.sort();
    return files;
}

void TestDemoData::demoIsCompleteAndReadable()
{
    QVERIFY(m_dir.isValid());
    QString error;
    QVERIFY2(DemoData::writeDemo(m_dir.path(), &m_written, &error), qPrintable(error));
    QVERIFY(QFile::exists(m_dir.filePath(DemoData::completeMarkName())));
    // Every file but the mark is reported.
    QCOMPARE(m_written.size(), filesBelow(m_dir.path()).size() - 1);

    const QDir native(m_dir.filePath(DemoData::nativeDirName()));
    QStringList suffixes;
    for (const QString &name : native.entryList(QDir::Files, QDir::Name)) {
        suffixes.append(QFileInfo(name).suffix());
        NativeFile file;
        QVERIFY2(readNativeFile(native.filePath(name), &file), qPrintable(name));
        QVERIFY2(validateNativeFile(file).isEmpty(), qPrintable(name));
        QCOMPARE(file.observationDate, QStringLiteral("2026.07.25"));
        QCOMPARE(file.plosh, QStringLiteral("N1"));
    }
    suffixes.sort();
    QCOMPARE(suffixes, QStringList({"pnt", "pnthr", "txt"}));

    qint64 total = 0;
    for (const QString &file : filesBelow(m_dir.path()))
        total += QFileInfo(m_dir.filePath(file)).size();
    QVERIFY2(total < 64 * 1024 * 1024, qPrintable(QString::number(total)));
}

void TestDemoData::multiDayDirectory()
{
    const QString dir = m_dir.filePath(DemoData::multiDayDirName());
    QCOMPARE(ploshFromPath(dir), QStringLiteral("N1"));
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::Name);
    QCOMPARE(names.size(), DemoData::multiDayCount);
    QSet<QString> dates;
    int withStep = 0;
    for (const QString &name : names) {
        NativeFile file;
        QVERIFY2(readNativeFile(QDir(dir).filePath(name), &file), qPrintable(name));
        QCOMPARE(file.nModules, 1);
        QCOMPARE(file.nRays, 1);
        QCOMPARE(ploshFromPath(name), QStringLiteral("N1"));
        const QString date = dateFromFileName(name);
        QVERIFY(QDate::fromString(date, QStringLiteral("yyyy.MM.dd")).isValid());
        QCOMPARE(date, file.localBeginDate);
        dates.insert(date);
        // A calibration pattern shows as about 13 s far above the median
        // level of the first channel (one-second means against the noise)
        // between its low edges.
        const int second = int(std::round(1.0 / file.tresolution));
        QVector<double> means;
        for (int start = 0; start + second <= file.npoints; start += second) {
            double sum = 0.0;
            for (int p = start; p < start + second; ++p)
                sum += file.samples.at(p);
            means.append(sum / second);
        }
        QVector<double> sorted = means;
        std::sort(sorted.begin(), sorted.end());
        const double median = sorted.at(sorted.size() / 2);
        int raised = 0;
        for (double m : means)
            raised += m > median + 50.0 ? 1 : 0;   // the step is 12 sigma = 120
        QVERIFY2(raised == 0 || (raised >= 12 && raised <= 14), qPrintable(QString::number(raised)));
        withStep += raised > 0 ? 1 : 0;
    }
    QCOMPARE(dates.size(), DemoData::multiDayCount);
    QCOMPARE(withStep, 1);
}

void TestDemoData::profilesDirectory()
{
    const QDir dir(m_dir.filePath(DemoData::profilesDirName()));
    const QRegularExpression rule(QStringLiteral("p(20\\d\\d\\.\\d\\d\\.\\d\\d)_dm(\\d+)_p([\\d.]+).*\\.txt"));
    const QStringList names = dir.entryList({QStringLiteral("p20*.txt")}, QDir::Files);
    QVERIFY(names.size() >= 10);
    QSet<QString> dates;
    QSet<QString> dms;
    for (const QString &name : names) {
        const QRegularExpressionMatch match = rule.match(name);
        QVERIFY2(match.hasMatch(), qPrintable(name));
        dates.insert(match.captured(1));
        dms.insert(match.captured(2));
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readLine().startsWith("period="));
    }
    QVERIFY(dates.size() >= 3);
    QVERIFY(dms.size() >= 3);
}

void TestDemoData::demoRewriteKeepsTheSameSet()
{
    const QStringList before = filesBelow(m_dir.path());
    const QDir multiDay(m_dir.filePath(DemoData::multiDayDirName()));
    const QString firstDay = multiDay.filePath(multiDay.entryList(QDir::Files, QDir::Name).value(0));
    QFile original(firstDay);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray first = original.readAll();
    original.close();

    QStringList written;
    QString error;
    QVERIFY2(DemoData::writeDemo(m_dir.path(), &written, &error), qPrintable(error));
    QCOMPARE(filesBelow(m_dir.path()), before);
    QFile rewritten(firstDay);
    QVERIFY(rewritten.open(QIODevice::ReadOnly));
    QVERIFY(rewritten.readAll() == first);
}

void TestDemoData::demoFailureLeavesNoMark()
{
    QTemporaryDir dir;
    // A plain file where the multi-day directory must go.
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("multiday"))));
    QFile blocker(dir.filePath(DemoData::multiDayDirName()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QStringList written;
    QString error;
    QVERIFY(!DemoData::writeDemo(dir.path(), &written, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(DemoData::completeMarkName())));
}

void TestDemoData::corpusFilesParse()
{
    QTemporaryDir dir;
    QStringList written;
    QString error;
    QVERIFY2(DemoData::writeCorpus(dir.path(), &written, &error), qPrintable(error));
    int files = 0;
    for (const char *target : {"passport", "nativetext", "textsniff", "filenames", "timecoords"}) {
        const QFileInfoList seeds = QDir(dir.filePath(QLatin1String(target))).entryInfoList(QDir::Files);
        QVERIFY2(!seeds.isEmpty(), target);
        for (const QFileInfo &seed : seeds)
            QVERIFY(seed.size() <= 262144);   // the -max_len of scripts/sanitize
        files += seeds.size();
    }
    QCOMPARE(written.size(), files);
    bool sawN4 = false;
    qint64 largest = 0;
    for (const QFileInfo &seed : QDir(dir.filePath(QStringLiteral("passport"))).entryInfoList(QDir::Files)) {
        NativeFile file;
        QVERIFY2(parsePassport(seed.filePath(), &file) > 0, qPrintable(seed.fileName()));
        QVERIFY(readBinaryStreamed(seed.filePath(), &file));
        sawN4 = sawN4 || !file.positionCodeKey.isEmpty();
        largest = std::max(largest, seed.size());
    }
    QVERIFY(sawN4);
    QVERIFY(largest > 100000);
    largest = 0;
    for (const QFileInfo &seed : QDir(dir.filePath(QStringLiteral("nativetext"))).entryInfoList(QDir::Files)) {
        NativeFile file;
        QVERIFY2(readNativeText(seed.filePath(), &file), qPrintable(seed.fileName()));
        largest = std::max(largest, seed.size());
    }
    QVERIFY(largest > 64000);
}

QTEST_GUILESS_MAIN(TestDemoData)
#include "tst_demodata.moc"
