#include "data/profilefile.h"
#include "data/profilefilename.h"
#include "data/profileset.h"
#include "tests/support/profilefixture.h"

#include <QtTest>

#include <cstring>

#include <sys/stat.h>

// Names and contents of average-profile files: what is a value, which block a
// period text reads, and files that make little or no sense.
class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("fields");   // matches, date, DM, period, precision
        QTest::newRow("six decimals") << "p2021.03.04_dm012_p0.714519_s6.txt" << "1 2021.03.04 12 0.714519 6";
        QTest::newRow("DM of zeros") << "p2021.03.04_dm000_p1.txt" << "1 2021.03.04 0 1 4";
        QTest::newRow("DM beyond any integer, precision clamped")
            << "p2021.03.04_dm00123456789012345678901234_p1_s99999999999.txt"
            << "1 2021.03.04 123456789012345678901234 1 17";
        QTest::newRow("upper-case suffix") << "p2021.03.04_dm12_p0.7_s6.TXT" << "0    4";
        QTest::newRow("year before 2000") << "p1999.03.04_dm12_p0.7.txt" << "0    4";
    }

    void fileNames()
    {
        QFETCH(QString, name);
        ProfileRecord record;
        const bool matches = parseProfileFileName(name, &record);
        QTEST(QStringLiteral("%1 %2 %3 %4 %5").arg(matches).arg(record.date, record.dm, record.period).arg(
                  profilePeriodPrecision(name)),
              "fields");
    }

    void contents_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("periods");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QVector<double>>("values");
        const QStringList half{QStringLiteral("0.5000")};
        QTest::newRow("asterisks that are no marks")
            << QByteArray("period=0.5\n1 ** 2\t*3 4* *5\n") << half << "0.5000" << QVector<double>{1, 2, 5};
        QTest::newRow("number forms") << QByteArray("period=0.5\n+3 -2.5 .5 5. 1e-3 1E2 +-1 1e 0x10\n") << half
                                      << "0.5000" << QVector<double>{3, -2.5, 0.5, 5, 0.001, 100};
        QTest::newRow("one period within 1e-12, blocks concatenated")
            << QByteArray("period=0.5\n1\nperiod=0.7\n9\nperiod=0.5000000000001\n2\n")
            << QStringList{QStringLiteral("0.5000"), QStringLiteral("0.7000")} << "0.5000" << QVector<double>{1, 2};
        QTest::newRow("negative zero is zero") << QByteArray("period=-0\n1\nperiod=0\n2\nperiod=-0.0\n3\n")
                                               << QStringList{QStringLiteral("0.0000")} << "0.0000"
                                               << QVector<double>{1, 2, 3};
        QTest::newRow("block 5e-10 away still read") << QByteArray("period=0.7145190005\n1 2\n")
                                                     << QStringList{QStringLiteral("0.7145")} << "0.714519"
                                                     << QVector<double>{1, 2};
        QTest::newRow("period line without a number")
            << QByteArray("period=\n1 2\nperiod=0.5 s\n7\nperiod=nan\n8\nperiod=0.5\n3\n") << half << "0.5000"
            << QVector<double>{3};
        QTest::newRow("number longer than any profile writes")
            << QByteArray("period=0.5\n1 7." + QByteArray(1100, '0') + " 2\n") << half << "0.5000"
            << QVector<double>{1, 2};
        QTest::newRow("no period") << QByteArray("1 2 3\n") << QStringList{} << "1" << QVector<double>{};
        QTest::newRow("windows line ends, no final newline")
            << QByteArray("period=0.5\r\n1 2\r\n3") << half << "0.5000" << QVector<double>{1, 2, 3};
        QTest::newRow("indented period line is text") << QByteArray("period=0.5\n1\n period=0.6\n2\nperiod 3\n")
                                                      << half << "0.5000" << QVector<double>{1, 2, 3};
    }

    void contents()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, period);
        // Whole, and in pieces that split every line and number somewhere.
        for (const int chunk : {0, 1, 2, 3, 5}) {
            const ProfileFile file = ProfileFile::parse(text, 4, chunk);
            QTEST(file.periods(), "periods");
            QTEST(file.values(period), "values");
        }
    }

    // Random decimals, exponents and long mantissas included, read bit for bit
    // as Qt's own conversion reads them.
    void numbersAsQtReadsThem()
    {
        QRandomGenerator random(7);
        QByteArray text = "period=1\n";
        QVector<double> expected;
        for (int i = 0; i < 20000; ++i) {
            QByteArray token = random.bounded(2) ? "-" : "";
            const int digits = 1 + int(random.bounded(19));
            const int point = int(random.bounded(digits + 1));
            for (int d = 0; d < digits; ++d) {
                if (d == point)
                    token += '.';
                token += char('0' + random.bounded(10));
            }
            if (random.bounded(5) == 0)
                token += "e" + QByteArray::number(int(random.bounded(60)) - 30);
            text += token + (i % 8 == 7 ? "\n" : " ");
            expected.append(token.toDouble());
        }
        const QVector<double> values = ProfileFile::parse(text, 4).values(QStringLiteral("1.0000"));
        QCOMPARE(values.size(), expected.size());
        for (int i = 0; i < values.size(); ++i)
            QVERIFY2(std::memcmp(&values.at(i), &expected.at(i), sizeof(double)) == 0, qPrintable(QString::number(i)));
    }

    // Generated values read back as written, also where the file's chunks split
    // a line or a number.
    void generatedFileReadsBackAcrossChunks()
    {
        QTemporaryDir dir;
        ProfileWriter::Params params;
        params.phasePoints = 2048;
        params.periods.clear();
        for (int i = 0; i < 160; ++i)
            params.periods.append(0.7 + i * 1e-4);
        const QString path = profilefixture::writeGenerated(dir.path(), params);
        QVERIFY(!path.isEmpty() && QFileInfo(path).size() > 2 * 1024 * 1024);
        const ProfileFile file = ProfileFile::read(path);
        QCOMPARE(file.precision(), params.decimals);
        const QStringList periods = file.periods();
        QCOMPARE(periods.size(), params.periods.size());
        for (int i = 0; i < periods.size(); ++i) {
            QCOMPARE(periods.at(i), QString::number(params.periods.at(i), 'f', params.decimals));
            QCOMPARE(file.values(periods.at(i)), profilefixture::writtenValues(params, params.periods.at(i)));
        }
    }

    void pathsThatAreNoFile()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("p2021.03.04_dm12_p0.7.txt"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const ProfileFile file = ProfileFile::read(fifo);
        QVERIFY(file.periods().isEmpty() && !file.hasValues());
    }

    // A file of endless period lines is read up to the block limit.
    void blockLimit()
    {
        QByteArray text;
        for (int i = 0; i < ProfileFile::maxBlocks + 10; ++i)
            text += "period=" + QByteArray::number(i + 1) + "\n1\n";
        const ProfileFile file = ProfileFile::parse(text, 0);
        const QStringList periods = file.periods();
        QCOMPARE(periods.size(), ProfileFile::maxBlocks);
        QCOMPARE(periods.last(), QString::number(ProfileFile::maxBlocks));
        double maximum = 0.0;
        QVERIFY(file.maximumValue(&maximum));
        QCOMPARE(maximum, 1.0);

        // As many blocks of one period: one period, all its values.
        const ProfileFile same = ProfileFile::parse(QByteArray("period=1\n1\n").repeated(ProfileFile::maxBlocks), 0);
        QCOMPARE(same.periods(), QStringList{QStringLiteral("1")});
        QCOMPARE(same.values(QStringLiteral("1")).size(), ProfileFile::maxBlocks);
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
