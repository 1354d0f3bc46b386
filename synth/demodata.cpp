#include "synth/demodata.h"

#include "astro/beamtables.h"
#include "astro/timecoords.h"
#include "synth/profilewriter.h"
#include "synth/syntheticobservation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

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

struct Beam
{
    QString plosh;
    int module = 0;
    int ray = 0;
};

// The beam of the telescope whose declination is nearest the given one.
Beam nearestBeam(const QString &deltaText)
{
    double radians = 0.0;
    parseDeclination(deltaText, &radians);
    const double degrees = radians * 180.0 / M_PI;
    Beam best;
    double distance = 0.0;
    for (const char *plosh : {"N0", "N1", "N2"}) {
        for (int module = 1; module <= 6; ++module) {
            for (int ray = 1; ray <= 8; ++ray) {
                const double d = beamDeclination(module, ray, QLatin1String(plosh));
                if (d == unknownDeclination)
                    continue;
                if (best.module == 0 || std::abs(d - degrees) < distance) {
                    best = {QLatin1String(plosh), module, ray};
                    distance = std::abs(d - degrees);
                }
            }
        }
    }
    return best;
}

// The first whole second of the UTC day at which the program's own alpha of
// the beam equals the alpha text; invalid when there is none.
QDateTime transitInstant(const QDate &date, const QString &alpha, const Beam &beam)
{
    double delta = 0.0;
    if (!parseDeclination(beamDeclinationText(beam.module, beam.ray, beam.plosh), &delta))
        return QDateTime();
    for (int hour = 0; hour < 24; ++hour) {
        const QDateTime start(date, QTime(hour, 0), Qt::UTC);
        int second = 0;
        if (findPointForAlpha(start, 1.0, delta, alpha, 0, 3599, 0, &second) == AlphaFound)
            return start.addSecs(second);
    }
    return QDateTime();
}

// An observation of the source (the default parameters' pulsar) in `beam`
// on `date`: `npoints` points around the transit, starting `lead` seconds
// before it but not before the hour of the transit, so that the file's name
// tells the hour that holds it. The pulses follow the passage through the
// beam, fwhm seconds wide.
SyntheticObservation::Params transitParams(const Beam &beam, const QDate &date, double lead, double fwhm,
                                          qint32 npoints)
{
    SyntheticObservation::Params p;
    p.plosh = beam.plosh;
    p.firstModule = beam.module;
    p.pulseModule = beam.module;
    p.pulseRay = beam.ray;
    p.npoints = npoints;
    const QDateTime transit = transitInstant(date, p.alpha, beam);
    QDateTime begin = transit.addSecs(-qint64(lead));
    const qint64 zoneSeconds = qint64(p.zone) * 3600;
    if (begin.addSecs(zoneSeconds).time().hour() != transit.addSecs(zoneSeconds).time().hour())
        begin = QDateTime(transit.date(), QTime(transit.time().hour(), 0), Qt::UTC);
    p.utcBegin = begin;
    p.transitCentre = double(begin.secsTo(transit));
    p.transitWidth = fwhm;
    p.pulseFollowsTransit = true;
    return p;
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
    // Missing parent directories are made, as for every other output of the tool.
    if (!makeDir(QFileInfo(path).absolutePath(), error))
        return false;
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

    // The pulsar shows where the program finds it: in the beam nearest its
    // declination, at the minutes its alpha passes over that beam.
    const Beam beam = nearestBeam(SyntheticObservation::Params().delta);
    const QDate date(2026, 7, 25);

    // Five minutes of eight beams around the transit.
    SyntheticObservation::Params pnt = transitParams(beam, date, 150.0, 150.0, 24000);
    pnt.snr = 5.0;
    const SyntheticObservation pntObservation(pnt);

    // The next day in 32 channels, two minutes around the transit.
    SyntheticObservation::Params pnthr = transitParams(beam, date.addDays(1), 60.0, 150.0, 9600);
    pnthr.nBands = 32;
    pnthr.snr = 6.0;
    pnthr.seed = 2;
    pnthr.descending = true;
    const SyntheticObservation pnthrObservation(pnthr);

    // The pulsar's beam alone, as text.
    SyntheticObservation::Params txt = transitParams(beam, date, 25.0, 150.0, 4000);
    txt.nRays = 1;
    txt.firstRay = beam.ray;
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

    // Ten days of the pulsar's beam; the transit comes about 3 min 56 s
    // earlier every day and the strength varies from day to day.
    for (int day = 0; day < multiDayCount; ++day) {
        SyntheticObservation::Params p = transitParams(beam, QDate(2026, 7, 16).addDays(day), 60.0, 60.0, 9600);
        p.nBands = 32;
        p.nRays = 1;
        p.firstRay = beam.ray;
        p.seed = 100 + day;
        p.snr = 2.0 + 0.5 * ((day * 3) % 7);
        p.transitLevel = 4.0;
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
    const QByteArray markText = completeMarkText();
    if (!complete.open(QIODevice::WriteOnly) || complete.write(markText) != markText.size() || !complete.commit())
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
    const QString greenDir = root.filePath(QStringLiteral("greendates"));
    for (const QString &path : {passportDir, textDir, sniffDir, namesDir, timesDir, greenDir}) {
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
    for (const QString &target : {sniffDir, greenDir}) {
        if (!writeSeed(QDir(target).filePath(QStringLiteral("green_dates.txt")), "2026.07.16 1\n2026.07.19\n",
                       written, error))
            return false;
    }
    for (int i = 0; i < names.size(); ++i) {
        if (!writeSeed(QDir(namesDir).filePath(QStringLiteral("seed%1").arg(i)), QFile::encodeName(names.at(i)),
                       written, error))
            return false;
    }
    return true;
}
