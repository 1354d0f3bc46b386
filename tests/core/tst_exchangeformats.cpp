#include "astro/dispersion.h"
#include "data/channelsum.h"
#include "data/filterbankwriter.h"
#include "data/prestowriter.h"
#include "tests/support/coreprobes.h"
#include "tests/support/nativefixture.h"

#include <QtTest>

#include <cmath>

namespace {

constexpr int points = 60;
const QVector<double> ascending{109.0, 109.5, 110.0, 110.5, 111.0};
// The begin in the passport of the fixture: 2015-04-01 12:13:20.660 UTC, MJD 57113.
const double beginMjd = 57113.0 + (12 * 3600 + 13 * 60 + 20.66) / 86400.0;
const double tres = 0.0124928;

float valueAt(qint64 p, int r, double frequency)
{
    return float(p) * 0.25f + float(r) * 1000.0f + float(frequency - 100.0) * 10.0f;
}

struct Filterbank
{
    QVariantMap keys;
    QVector<float> samples;
};

qint32 int32At(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

bool readFilterbank(const QString &path, Filterbank *out)
{
    const QByteArray bytes = probe::contents(path);
    int at = 0;
    const auto text = [&]() {
        const qint32 n = at + 4 <= bytes.size() ? int32At(bytes, at) : -1;
        if (n < 0 || at + 4 + n > bytes.size())
            return QByteArray();
        at += 4 + n;
        return bytes.mid(at - n, n);
    };
    const QByteArrayList integers{"telescope_id", "machine_id", "data_type", "nbits", "nchans",
                                  "nifs", "nbeams", "ibeam", "barycentric", "nsamples"};
    const QByteArrayList doubles{"src_raj", "src_dej", "tstart", "tsamp", "fch1", "foff", "refdm", "period"};
    if (text() != "HEADER_START")
        return false;
    for (;;) {
        const QByteArray key = text();
        if (key == "HEADER_END")
            break;
        if (integers.contains(key)) {
            out->keys.insert(QString::fromLatin1(key), int32At(bytes, at));
            at += 4;
        } else if (doubles.contains(key)) {
            out->keys.insert(QString::fromLatin1(key), qFromLittleEndian<double>(bytes.constData() + at));
            at += 8;
        } else if (key == "source_name") {
            out->keys.insert(QString::fromLatin1(key), QString::fromLatin1(text()));
        } else {
            return false;
        }
    }
    for (; at + 4 <= bytes.size(); at += 4)
        out->samples.append(qFromLittleEndian<float>(bytes.constData() + at));
    return at == bytes.size();
}

// ".inf" values by label, and the notes.
QMap<QString, QString> readInf(const QString &path)
{
    QFile file(path);
    QMap<QString, QString> values;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    for (const QString &line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
        const int cut = line.indexOf(QLatin1String("  =  "));
        if (cut > 0)
            values.insert(line.left(cut).trimmed(), line.mid(cut + 5));
    }
    return values;
}

QVector<float> readFloats(const QString &path)
{
    QVector<float> values;
    const QByteArray bytes = probe::contents(path);
    for (int at = 0; at + 4 <= bytes.size(); at += 4)
        values.append(qFromLittleEndian<float>(bytes.constData() + at));
    return bytes.size() % 4 == 0 ? values : QVector<float>();
}

NativeSelection selection(int ray, int start, int count, const QString &delta = QStringLiteral("54:28:30"))
{
    return NativeSelection{4, ray, start, count, delta};
}

} // namespace

// The exchange formats read back by readers written here from the formats'
// descriptions: SIGPROC's keyword header (length-prefixed strings, 4-byte
// integers, 8-byte doubles) with time-major floats, PRESTO's ".inf" lines
// "label  =  value" and its ".dat" floats.
class ExchangeFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void filterbankRoundTrip_data()
    {
        QTest::addColumn<bool>("descending");
        QTest::addColumn<bool>("mapped");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("delta");
        QTest::addColumn<double>("srcDej");
        QTest::newRow("ascending, streamed, whole file") << false << false << 0 << points << "22:00:52" << 220052.0;
        QTest::newRow("ascending, mapped, a range") << false << true << 7 << 20 << "-05:22:00.5" << -52200.5;
        QTest::newRow("descending, mapped, last point") << true << true << points - 1 << 1 << "+45.5" << 453000.0;
    }

    void filterbankRoundTrip()
    {
        QFETCH(bool, descending);
        QFETCH(bool, mapped);
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(QString, delta);
        QFETCH(double, srcDej);
        const NativeFile file = load(descending, mapped, delta);
        const QString path = m_dir.filePath(QStringLiteral("out.fil"));
        QString error;
        QVERIFY2(writeFilterbank(path, file, selection(3, start, count), &error), qPrintable(error));

        Filterbank fil;
        QVERIFY(readFilterbank(path, &fil));
        QVERIFY(std::fabs(fil.keys.take("tstart").toDouble() - (beginMjd + start * tres / 86400.0)) < 1e-9);
        const QVariantMap expected{{"source_name", "B0531+21"}, {"src_raj", 53431.0}, {"src_dej", srcDej},
                                   {"tsamp", tres}, {"fch1", 111.0}, {"foff", -0.5}, {"nchans", 5}, {"nbeams", 3},
                                   {"ibeam", 3}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(fil.keys.value(it.key()) == it.value(), qPrintable(it.key()));

        // Time-major, highest frequency first, whatever the file's order; ray
        // index 1 is beam 3.
        QCOMPARE(fil.samples.size(), count * 5);
        for (int t = 0; t < count; ++t) {
            for (int k = 0; k < 5; ++k)
                QCOMPARE(fil.samples.at(t * 5 + k), valueAt(start + t, 1, 111.0 - 0.5 * k));
        }
    }

    void filterbankRefusals_data()
    {
        QTest::addColumn<QString>("fbands");
        QTest::addColumn<int>("ray");
        QTest::addColumn<int>("count");
        QTest::newRow("uneven channels") << "109 109.5 110 110.6 111" << 3 << 10;
        QTest::newRow("two channels at one frequency") << "109 109 109 109 109" << 3 << 10;
        QTest::newRow("all beams") << "" << 0 << 10;
        QTest::newRow("past the last point") << "" << 3 << points + 1;
    }

    void filterbankRefusals()
    {
        QFETCH(QString, fbands);
        QFETCH(int, ray);
        QFETCH(int, count);
        NativeFile file = load(false, false);
        if (!fbands.isEmpty()) {
            file.fbands.clear();
            for (const QString &f : fbands.split(QLatin1Char(' ')))
                file.fbands.append(f.toDouble());
        }
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.fil"));
        QVERIFY(fixture::writeFile(path, "kept"));
        QString error;
        QVERIFY(!writeFilterbank(path, file, selection(ray, 0, count), &error) && !error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.fil")});
        QCOMPARE(probe::contents(path), QByteArray("kept"));
    }

    void prestoRoundTrip_data()
    {
        QTest::addColumn<bool>("descending");
        QTest::addColumn<bool>("mapped");
        QTest::addColumn<double>("dm");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");
        QTest::newRow("plain sum, streamed") << false << false << 0.0 << 0 << points;
        QTest::newRow("dispersed, mapped, a range") << true << true << 25.0 << 5 << 30;
    }

    void prestoRoundTrip()
    {
        QFETCH(bool, descending);
        QFETCH(bool, mapped);
        QFETCH(double, dm);
        QFETCH(int, start);
        QFETCH(int, count);
        const NativeFile file = load(descending, mapped);
        const QString base = m_dir.filePath(QStringLiteral("series"));
        QString error;
        QVERIFY2(writePrestoTimeSeries(base, file, selection(2, start, count), dm, &error), qPrintable(error));

        const QMap<QString, QString> inf = readInf(base + QStringLiteral(".inf"));
        QVERIFY(std::fabs(inf.value("Epoch of observation (MJD)").toDouble() - (beginMjd + start * tres / 86400.0))
                < 1e-9);
        QCOMPARE(QStringList({inf.value("Object being observed"), inf.value("J2000 Right Ascension (hh:mm:ss.ssss)"),
                              inf.value("J2000 Declination     (dd:mm:ss.ssss)")}),
                 QStringList({"B0531+21", "05:34:31.0000", "22:00:52.0000"}));
        QCOMPARE(QVector<double>({inf.value("Number of bins in the time series").toDouble(),
                                  inf.value("Width of each time series bin (sec)").toDouble(),
                                  inf.value("Dispersion measure (cm-3 pc)").toDouble(),
                                  inf.value("Central freq of low channel (Mhz)").toDouble(),
                                  inf.value("Number of channels").toDouble(), inf.value("Channel bandwidth (Mhz)").toDouble()}),
                 QVector<double>({double(count), tres, dm, 109.0, 5, 0.5}));

        const QVector<float> series = readFloats(base + QStringLiteral(".dat"));
        QCOMPARE(series.size(), count);
        QVector<double> sum;
        QCOMPARE(dispersedChannelSum(file, &sum, start, dm, 0, 0, count), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(series.at(i), float(sum.at(i)));
    }

private:
    // A file of 3 rays from ray 2, module 4, 5 frequency channels and the
    // total, whose samples depend on the point, the ray and the frequency only.
    NativeFile load(bool descending, bool mapped, const QString &delta = QStringLiteral("22:00:52"))
    {
        QVector<double> frequencies = ascending;
        if (descending)
            std::reverse(frequencies.begin(), frequencies.end());
        QStringList fbands;
        for (double f : frequencies)
            fbands << QString::number(f);
        fixture::Entries entries = fixture::entries(points, 1, 3, 6, 4, 2);
        fixture::set(&entries, QStringLiteral("fbands"), fbands.join(QLatin1Char(' ')));
        fixture::set(&entries, QStringLiteral("delta"), delta);
        const QString path = m_dir.filePath(QStringLiteral("source%1%2.pnt").arg(descending).arg(mapped));
        const auto sample = [&frequencies](qint64 p, int, int r, int c) {
            return c < frequencies.size() ? valueAt(p, r, frequencies.at(c)) : -1.0e6f;
        };
        NativeFile file;
        if (!fixture::writeFile(path, fixture::passport(entries) + fixture::samples(points, 1, 3, 6, sample))
            || !(mapped ? readBinaryMapped(path, &file) : readBinaryStreamed(path, &file)))
            qWarning("the source file could not be made");
        return file;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(ExchangeFormatsTest)
#include "tst_exchangeformats.moc"
