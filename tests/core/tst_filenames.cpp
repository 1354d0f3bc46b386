#include "astro/filenames.h"

#include <QtTest>

#include <functional>

using Reading = std::function<QString(const QString &)>;
Q_DECLARE_METATYPE(Reading)

// Metadata read from observation and profile file names.
class TestFileNames : public QObject
{
    Q_OBJECT

private slots:
    // The readers that give one text for a name or path.
    void texts_data()
    {
        QTest::addColumn<Reading>("read");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        const Reading date = dateFromFileName, plosh = ploshFromPath, delta = deltaFromFileName;
        const Reading cos = [](const QString &name) { return QString::number(hasCosSuffix(name)); };
        // The name, a blank and the site.
        const Reading tres = [](const QString &t) {
            return defaultTresolutionText(t.section(' ', 0, 0), t.section(' ', 1));
        };
        // Found or not, module, ray (-1 untouched) and the tag.
        const Reading moduleRay = [](const QString &name) {
            int m = -1, r = -1;
            const bool found = moduleRayFromFileName(name, &m, &r);
            return QStringLiteral("%1 %2 %3 %4").arg(found).arg(m).arg(r).arg(moduleRayTag(name));
        };
        // Found or not, alpha and delta ("unset" untouched), the alpha alone and the J name.
        const Reading alphaDelta = [](const QString &name) {
            QString a = QStringLiteral("unset"), d = a;
            const bool found = alphaDeltaFromFileName(name, &a, &d);
            return QStringLiteral("%1 %2 %3 %4 %5").arg(found).arg(a, d, alphaFromFileName(name), jNameFromFileName(name));
        };
        QTest::newRow("module, ray with a leading zero") << moduleRay << "250726_N1_m03_r5.pnt" << "1 3 5 _m03_r5";
        QTest::newRow("three digit module") << moduleRay << "x_m123_r4" << "0 -1 -1 ";
        QTest::newRow("ray overflows") << moduleRay << "x_m3_r99999999999" << "0 -1 -1 _m3_r99999999999";
        QTest::newRow("alpha, delta negative with d") << alphaDelta << "250726_053431_d-052200_m3_r5_N2.txt"
                                                      << "1 05:34:31 -05:22:00 05:34:31 J0534-0522";
        QTest::newRow("alpha, delta positive without d") << alphaDelta << "p_053431_220052_m1_r1.txt"
                                                         << "1 05:34:31 22:00:52 05:34:31 J0534+2200";
        QTest::newRow("five digit alpha") << alphaDelta << "250726_05343_d220052_m1_r1.txt" << "0 unset unset  ";
        QTest::newRow("date") << date << "250726_00.pnt" << "2026.07.25";
        QTest::newRow("plosh, directory ending _N1/") << plosh << "/data/B0329_N1/" << "N1";
        QTest::newRow("plosh, unknown trailing then known inside") << plosh << "/x_N2_y/obs_N3" << "N2";
        QTest::newRow("plosh, lower case") << plosh << "/data/250726_n1_00.pnt" << "";
        QTest::newRow("plosh, N3 separated then name N1.") << plosh << "/a/N3/b_N1.txt" << "N1";
        QTest::newRow("delta pair") << delta << "250726_053431_d-052200_m3_r5_N2.txt" << "-05:22:00";
        QTest::newRow("delta, no alpha, second rule") << delta << "x123456_d-2200521_m1_r1_N1.txt" << "-22:00:21";
        QTest::newRow("delta, five digit alpha, beam table") << delta << "250726_05343_d-220052_m1_r1_N1.txt" << "42:10:47";
        // The five digits after the date are taken for a declination, too short for one.
        QTest::newRow("delta, five digit alpha without delta") << delta << "250726_05343_m3_r5_N0.txt" << "";
        QTest::newRow("delta, nothing") << delta << "readme.txt" << "";
        QTest::newRow("cos") << cos << "x_cos_y" << "1";
        QTest::newRow("cos, upper case") << cos << "250726_COS.txt" << "0";
        QTest::newRow("tres N4") << tres << "250726_short_N4.pnt N4" << "0.003072";
        QTest::newRow("tres N1 short") << tres << "250726_N1_short.pnt N1" << "0.0999424";
        QTest::newRow("tres N0") << tres << "250726_00.pnt N0" << "0.0124928";
        QTest::newRow("tres, unknown site") << tres << "250726_short.pnt N3" << "";
    }

    void texts()
    {
        QFETCH(Reading, read);
        QFETCH(QString, name);
        QTEST(read(name), "text");
    }
};

QTEST_GUILESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
