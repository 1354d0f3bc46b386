#include "data/nativelisting.h"
#include "data/nativetext.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

namespace {

const QByteArray nativeTextHead = "points 2\nchannels 1\nmodule 1\nray 1\ntres 0.1\nfbands 110\n\n"
                                  "frequency:\t110.00\t\nchannel:\t1\t\tsum\n1 2\n3 4\n";

QStringList names(const QVector<NativeFileEntry> &list)
{
    QStringList out;
    for (const NativeFileEntry &entry : list)
        out << entry.fileName;
    return out;
}

} // namespace

class NativeListingTest : public QObject
{
    Q_OBJECT

private:
    QString write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes = "x")
    {
        const QString path = dir.filePath(name);
        if (!fixture::writeFile(path, bytes))
            qFatal("cannot write fixture");
        return path;
    }

private slots:
    // The quick look refuses only what the reader refuses for certain, and
    // leaves doubtful files to the reader.
    void textSniff_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("readable");
        const QByteArray header = "points 1\nchannels 1\nmodule 1\nray 1\ntres 0.1\nfbands 110\n\n";
        QTest::newRow("extract") << nativeTextHead << true << true;
        QTest::newRow("header line of 70 KB") << QByteArray(70000, 'a') + '\n' + nativeTextHead << true << true;
        QTest::newRow("400,000 channels")
            << QByteArray("points 1\nchannels 400000\nmodule 1\nray 1\ntres 0.1\nfbands" + QByteArray(" 1").repeated(400000)
                          + "\n\nfrequency\nchannel: sum\n5\n")
            << true << true;
        QTest::newRow("1,000,000 columns")
            << QByteArray(header + "frequency\nchannel: sum" + QByteArray(" 1").repeated(1000000) + "\n5\n") << false
            << false;
        QTest::newRow("a bad row, found by the reader only")
            << QByteArray(header + "frequency\nchannel: 1 sum\n5 x\n") << true << false;
        QTest::newRow("no interval") << QByteArray(header).replace("tres 0.1\n", "") + "frequency\nchannel: sum\n5\n"
                                     << false << false;
        QTest::newRow("empty") << QByteArray() << false << false;
    }

    void textSniff()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = write(dir, QStringLiteral("sniff.TXT"), bytes);
        QTEST(isNativeTextFile(path), "listed");
        NativeFile file;
        QTEST(readNativeText(path, &file), "readable");
        // Other suffixes pass without a look.
        QVERIFY(isNativeTextFile(write(dir, QStringLiteral("sniff.pnt"), bytes)));
    }

    void sniffOfMissingAndHugeFiles()
    {
        QTemporaryDir dir;
        QVERIFY(!isNativeTextFile(dir.filePath(QStringLiteral("absent.txt"))));
        QVERIFY(isNativeTextFile(dir.filePath(QStringLiteral("absent.pnt"))));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.txt")));
        QVERIFY(!isNativeTextFile(dir.filePath(QStringLiteral("folder.txt"))));
        // A 3 GiB binary file renamed to .txt (sparse: it takes no disk).
        QFile huge(dir.filePath(QStringLiteral("huge.txt")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(3) << 30) && !isNativeTextFile(huge.fileName()));
    }

    void listing()
    {
        QTemporaryDir dir;
        for (const char *name : {"c.pnthr", "a.PNT", "x10.pnt", "x9.pnt", "Z.pnt", ".hidden.pnt", "a.pnt.bak", "notes.dat"})
            write(dir, QLatin1String(name));
        write(dir, QStringLiteral("b.txt"), "just notes\n");
        write(dir, QStringLiteral("cut.TXT"), nativeTextHead);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.pnt")));

        QVector<NativeFileEntry> list{{QStringLiteral("stale"), QStringLiteral("/stale")}};
        QVERIFY(listNativeFiles(dir.path(), &list));
        QCOMPARE(names(list), (QStringList{"Z.pnt", "a.PNT", "c.pnthr", "cut.TXT", "x10.pnt", "x9.pnt"}));
        for (const NativeFileEntry &entry : list)
            QCOMPARE(entry.absolutePath, QDir(dir.path()).absoluteFilePath(entry.fileName));

        QVERIFY(!listNativeFiles(dir.filePath(QStringLiteral("folder.pnt")), &list) && list.isEmpty());
        QVERIFY(!listNativeFiles(dir.filePath(QStringLiteral("missing")), &list));
        QVERIFY(!listNativeFiles(dir.path(), nullptr));
    }

    void selection_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "missing.pnt" << "Path does not exist.";
        QTest::newRow("directory") << "folder.pnt" << "Select a file with extension .pnt, .pnthr or .txt.";
        QTest::newRow("other suffix") << "notes.dat" << "Select a file with extension .pnt, .pnthr or .txt.";
        QTest::newRow("plain text") << "notes.txt" << "The selected TXT is not a Native data file.";
        QTest::newRow("hidden, alone") << "only/.hidden.pnt" << "This directory contains no .pnt, .pnthr or .txt files.";
        QTest::newRow("native text, path with a dot") << "./cut.txt" << "";
    }

    // A refused choice leaves the outputs as they were.
    void selection()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.pnt")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("only")));
        for (const char *name : {"notes.dat", "notes.txt", "only/.hidden.pnt", "good.pnt"})
            write(dir, QLatin1String(name));
        write(dir, QStringLiteral("cut.txt"), nativeTextHead);
        QString outDir = QStringLiteral("unchanged"), selected = outDir;
        QVector<NativeFileEntry> list{{QStringLiteral("kept"), QString()}};
        QString message;
        const QString path = dir.filePath(name);
        QCOMPARE(prepareNativeFileSelection(path, &outDir, &list, &selected, &message), error.isEmpty());
        QCOMPARE(message, error);
        if (!error.isEmpty()) {
            QCOMPARE(outDir + selected, QStringLiteral("unchangedunchanged"));
            QCOMPARE(names(list), QStringList{"kept"});
            return;
        }
        QCOMPARE(QStringList({outDir, selected}),
                 QStringList({QFileInfo(dir.path()).absoluteFilePath(), QFileInfo(path).absoluteFilePath()}));
        QCOMPARE(names(list), (QStringList{"cut.txt", "good.pnt"}));
        // Every output is needed; without one the check fails silently.
        QVERIFY(!prepareNativeFileSelection(path, nullptr, &list, &selected, &message) && message.isEmpty());
    }

    void suffixesAndLoadErrors()
    {
        // The last suffix decides, in any case.
        QVERIFY(isNativeFile(QStringLiteral("/data/a.txt.PntHr")) && !isNativeFile(QStringLiteral("a.pnt.pn")));
        QVERIFY(isBinaryNativeSuffix(QStringLiteral("pnt")) && !isBinaryNativeSuffix(QStringLiteral("txt")));
        const QVector<QPair<int, QString>> codes{{-1, "Cannot open file."}, {-2, "File size does not match header."},
                                                 {-3, "Invalid file header."},
                                                 {-9, "Unexpected end of file while reading data."},
                                                 {-4, "Failed to read file."}};
        for (const auto &code : codes) {
            NativeFile file;
            file.npoints = code.first;
            QCOMPARE(loadErrorText(file), code.second);
        }
    }
};

QTEST_GUILESS_MAIN(NativeListingTest)
#include "tst_nativelisting.moc"
