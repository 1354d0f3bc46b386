#include "data/nativefileinfo.h"
#include "data/nativelisting.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

// What `info` tells of a file: the record as the program reads it, the
// start in three time scales against hand-computed values, and the problems
// in the same words as the program's own checks.
class NativeFileInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void goodFile()
    {
        fixture::Entries entries = fixture::entries(40, 1, 8, 5);
        fixture::set(&entries, QStringLiteral("firstPoint"), QStringLiteral("100"));
        const QString path = m_dir.filePath(QStringLiteral("good.pnt"));
        QVERIFY(fixture::writeFile(path, fixture::passport(entries) + fixture::samples(40, 1, 8, 5)));
        NativeFile file;
        QStringList problems;
        QVERIFY(loadCheckedNativeFile(path, &file, &problems));

        const QJsonObject info = nativeFileInfoJson(path, file, problems);
        const QJsonObject expected{{"ok", true}, {"points", 40}, {"firstPoint", 100}, {"firstModule", 3}, {"beams", 8},
                                   {"channels", 4}, {"frequenciesMHz", QJsonArray({109.0, 109.5, 110.0, 110.5})},
                                   {"utcStart", "2015-04-01T12:13:20.660Z"},
                                   {"telescopeTimeStart", "2015-04-01T15:13:20.660+03:00"}};
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(info.value(it.key()) == it.value(), qPrintable(it.key()));
        // 2015-04-01 is day 57113 of the Modified Julian Date.
        QVERIFY(std::fabs(info.value("mjdStart").toDouble() - (57113.0 + 44000.66 / 86400.0)) < 1e-10);
        QCOMPARE(info.value("durationSeconds").toDouble(), 40 * 0.0124928);
    }

    void problems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("removedKey");
        QTest::addColumn<bool>("readable");
        QTest::newRow("one byte too many") << "long.pnt" << QByteArray("x") << QString() << false;
        QTest::newRow("no UTC begin") << "nodate.pnt" << QByteArray() << "date_begin" << true;
        QTest::newRow("not a native suffix") << "data.bin" << QByteArray() << QString() << false;
    }

    void problems()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, tail);
        QFETCH(QString, removedKey);
        QFETCH(bool, readable);
        fixture::Entries entries = fixture::entries(10, 1, 1, 3);
        fixture::remove(&entries, removedKey);
        const QString path = m_dir.filePath(name);
        QVERIFY(fixture::writeFile(path, fixture::passport(entries) + fixture::samples(10, 1, 1, 3) + tail));

        NativeFile file;
        QStringList problems;
        QVERIFY(!loadCheckedNativeFile(path, &file, &problems));
        // The program's own words: its path check, load error or validation.
        NativeFile direct;
        const QString refusal = nativeFileChoiceProblem(path);
        const QStringList expected = !refusal.isEmpty() ? QStringList{refusal}
            : readNativeFile(path, &direct)         ? validateNativeFile(direct)
                                                    : QStringList{loadErrorText(direct)};
        QVERIFY(!expected.isEmpty());
        QCOMPARE(problems, expected);

        const QJsonObject info = nativeFileInfoJson(path, file, problems);
        QVERIFY(!info.value("ok").toBool() && info.contains("points") == readable);
        QCOMPARE(info.value("problems").toVariant().toStringList(), expected);
        // What the passport says is still shown when the samples cannot be read.
        QCOMPARE(info.value("source").toString(), name.endsWith(QLatin1String(".pnt")) ? "B0531+21" : "");
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(NativeFileInfoTest)
#include "tst_nativefileinfo.moc"
