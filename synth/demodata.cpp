#include "synth/demodata.h"

#include "synth/profilewriter.h"
#include "synth/syntheticobservation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

bool makeDir(const QString &path, QString *error)
{
    return QDir().mkpath(path) || fail(error, QStringLiteral("Cannot create the directory %1.").arg(path));
}

bool writeSeed(const QString &path, const QByteArray &bytes, QStringList *written, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    if (written)
        written->append(path);
    return true;
}

} // namespace

QString DemoData::describe(const SyntheticObservation &observation, const QString &path)
{
    const SyntheticObservation::Params &p = observation.params();
    QString text = QStringLiteral("%1 (%2 bytes; %3 points, %4 module(s), %5 ray(s), %6+1 channels, tres %7 s")
                       .arg(path)
                       .arg(QFileInfo(path).size())
                       .arg(p.npoints)
                       .arg(p.nModules)
                       .arg(p.nRays)
                       .arg(p.nBands)
                       .arg(p.tresolution);
    if (p.snr > 0)
        text += QStringLiteral("; pulse P=%1 s DM=%2 SNR=%3").arg(p.period).arg(p.dm).arg(p.snr);
    if (p.calibrationStart >= 0)
        text += QStringLiteral("; calibration step at %1 s").arg(p.calibrationStart);
    return text + QLatin1Char(')');
}

bool DemoData::writeObservation(const SyntheticObservation &observation, const QString &path,
                                QStringList *written, QString *error)
{
    QString why;
    if (!observation.write(path, &why))
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(path, why));
    if (written)
        written->append(describe(observation, path));
    return true;
}

bool DemoData::writeProfiles(const QString &dir, int days, quint64 seed, QStringList *written, QString *error)
{
    if (!makeDir(dir, error))
        return false;
    for (int day = 0; day < days; ++day) {
        for (int dm : {23, 25, 27, 29}) {
            ProfileWriter::Params params;
            params.date = QDate(2026, 7, 16).addDays(day);
            params.dm = dm;
            params.seed = seed;
            params.snr = 8.0 + 3.0 * ((day * 7) % 5);   // the days differ in strength
            QString path;
            QString why;
            if (!ProfileWriter::write(dir, params, &path, &why))
                return fail(error, QStringLiteral("Cannot write profiles into %1: %2").arg(dir, why));
            if (written)
                written->append(path);
        }
    }
    return true;
}

bool DemoData::writeDemo(const QString &dir, QStringList *written, QString *error)
{
    const QDir root(dir);
    const QString nativeDir = root.filePath(nativeDirName());
    const QString multiDir = root.filePath(multiDayDirName());
    const QString mark = root.filePath(completeMarkName());
    if (QFile::exists(mark) && !QFile::remove(mark))
        return fail(error, QStringLiteral("Cannot remove %1.").arg(mark));
    if (!makeDir(nativeDir, error) || !makeDir(multiDir, error))
        return false;

    SyntheticObservation::Params pnt;
    pnt.npoints = 6000;
    pnt.pulseRay = 5;
    pnt.snr = 5.0;
    const SyntheticObservation pntObservation(pnt);

    SyntheticObservation::Params pnthr;
    pnthr.nBands = 32;
    pnthr.npoints = 9600;
    pnthr.utcBegin = pnthr.utcBegin.addSecs(3600);
    pnthr.pulseRay = 5;
    pnthr.snr = 6.0;
    pnthr.seed = 2;
    pnthr.descending = true;
    const SyntheticObservation pnthrObservation(pnthr);

    SyntheticObservation::Params txt;
    txt.nRays = 1;
    txt.firstModule = 3;
    txt.firstRay = 2;
    txt.snr = 6.0;
    txt.seed = 3;
    const SyntheticObservation txtObservation(txt);

    if (!writeObservation(pntObservation, QDir(nativeDir).filePath(pntObservation.fileName(QStringLiteral("pnt"))),
                          written, error)
        || !writeObservation(pnthrObservation,
                             QDir(nativeDir).filePath(pnthrObservation.fileName(QStringLiteral("pnthr"))), written,
                             error)
        || !writeObservation(txtObservation, QDir(nativeDir).filePath(txtObservation.textFileName()), written, error))
        return false;

    // Ten days of one source, one module and beam each; the transit comes
    // 3 min 56 s earlier every day and the strength varies from day to day.
    for (int day = 0; day < multiDayCount; ++day) {
        SyntheticObservation::Params p;
        p.nBands = 32;
        p.nRays = 1;
        p.firstModule = 3;
        p.firstRay = 2;
        p.npoints = 9600;
        p.seed = 100 + day;
        p.utcBegin = QDateTime(QDate(2026, 7, 16).addDays(day), QTime(2, 0, 0), Qt::UTC).addSecs(-236 * day);
        p.snr = 2.0 + 0.5 * ((day * 3) % 7);
        p.transitLevel = 4.0;
        p.transitCentre = 60.0 + 2.0 * day;
        if (day == calibrationDay) {
            p.calibrationStart = 40.0;
            p.calibrationLevel = 12.0;
            p.calibrationDip = 12.0;
        }
        const SyntheticObservation observation(p);
        if (!writeObservation(observation, QDir(multiDir).filePath(observation.fileName(QStringLiteral("pnthr"))),
                              written, error))
            return false;
    }
    if (!writeProfiles(root.filePath(profilesDirName()), 5, 7, written, error))
        return false;

    QSaveFile complete(mark);
    if (!complete.open(QIODevice::WriteOnly) || complete.write("demo\n") != 5 || !complete.commit())
        return fail(error, QStringLiteral("Cannot write %1: %2").arg(mark, complete.errorString()));
    return true;
}

bool DemoData::writeCorpus(const QString &dir, QStringList *written, QString *error)
{
    const QDir root(dir);
    const QString passportDir = root.filePath(QStringLiteral("passport"));
    const QString textDir = root.filePath(QStringLiteral("nativetext"));
    const QString sniffDir = root.filePath(QStringLiteral("textsniff"));
    const QString namesDir = root.filePath(QStringLiteral("filenames"));
    const QString timesDir = root.filePath(QStringLiteral("timecoords"));
    for (const QString &path : {passportDir, textDir, sniffDir, namesDir, timesDir}) {
        if (!makeDir(path, error))
            return false;
    }

    // Small files, quick to mutate, and files of a real receiver's size: 512
    // channels, long frequency lists, rows of several kilobytes.
    SyntheticObservation::Params base;
    base.npoints = 12;
    base.nRays = 2;
    base.nBands = 3;
    base.snr = 4.0;
    base.width = 0.05;
    base.period = 0.05;
    SyntheticObservation::Params n4 = base;
    n4.plosh = QStringLiteral("N4");
    n4.positionCode = QStringLiteral("13 1 0");
    n4.tresolution = 0.003072;
    SyntheticObservation::Params seconds = base;
    seconds.tresInSeconds = true;
    seconds.writeZone = true;
    seconds.firstPoint = 500;
    seconds.nModules = 2;
    seconds.nRays = 1;
    seconds.firstRay = 4;
    seconds.descending = true;
    SyntheticObservation::Params wide = base;
    wide.nBands = 512;
    wide.nRays = 8;
    wide.npoints = 8;
    SyntheticObservation::Params wideN4 = wide;
    wideN4.plosh = QStringLiteral("N4");
    wideN4.positionCode = QStringLiteral("12 0 1");
    wideN4.tresolution = 0.003072;
    wideN4.nBands = 256;
    int index = 0;
    QStringList names;
    for (const SyntheticObservation::Params &p : {base, n4, seconds, wide, wideN4}) {
        const SyntheticObservation observation(p);
        const QString name = QStringLiteral("seed%1_").arg(index++) + observation.fileName(QStringLiteral("pnt"));
        if (!writeObservation(observation, QDir(passportDir).filePath(name), written, error))
            return false;
        names << observation.fileName(QStringLiteral("pnt")) << observation.fileName(QStringLiteral("pnthr"));
        const QDateTime local = observation.localBegin();
        if (!writeSeed(QDir(timesDir).filePath(QStringLiteral("seed%1").arg(index)),
                       (QStringList{local.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" UTC ")
                                        + p.utcBegin.toString(QStringLiteral("dd.MM.yyyy")),
                                    local.toString(QStringLiteral("hh:mm:ss.zzz")), p.alpha, p.delta,
                                    QString::number(p.tresolution * 1000.0, 'g', 16)})
                           .join(QLatin1Char('\n'))
                           .toLatin1(),
                       written, error))
            return false;
    }

    SyntheticObservation::Params text = base;
    text.nRays = 1;
    text.firstModule = 2;
    text.firstRay = 7;
    SyntheticObservation::Params shortText = text;
    shortText.descending = true;
    shortText.npoints = 3;
    SyntheticObservation::Params wideText = wide;
    wideText.nRays = 1;
    wideText.firstModule = 3;
    wideText.firstRay = 5;
    wideText.npoints = 16;
    index = 0;
    for (const SyntheticObservation::Params &p : {text, shortText, wideText}) {
        const SyntheticObservation observation(p);
        const QString name = QStringLiteral("seed%1_").arg(index++) + observation.textFileName();
        for (const QString &target : {textDir, sniffDir}) {
            if (!writeObservation(observation, QDir(target).filePath(name), written, error))
                return false;
        }
        names << observation.textFileName();
    }
    // Text files of a native directory that are not native text.
    QString profile;
    QString why;
    if (!ProfileWriter::write(sniffDir, ProfileWriter::Params(), &profile, &why))
        return fail(error, QStringLiteral("Cannot write a profile into %1: %2").arg(sniffDir, why));
    if (written)
        written->append(profile);
    names << QFileInfo(profile).fileName() << QStringLiteral("/data/kvx/J0332+5434_N1/")
          << QStringLiteral("J053431_file250726_m3_r5_n2000_native.png")
          << QStringLiteral("250726_05_N1_00_p1-7.pnt") << QStringLiteral("C:\\kvx\\010415_13_N4_00_cos.pnthr");
    if (!writeSeed(QDir(sniffDir).filePath(QStringLiteral("green_dates.txt")), "2026.07.16\n2026.07.19\n", written,
                   error))
        return false;
    for (int i = 0; i < names.size(); ++i) {
        if (!writeSeed(QDir(namesDir).filePath(QStringLiteral("seed%1").arg(i)), QFile::encodeName(names.at(i)),
                       written, error))
            return false;
    }
    return true;
}
