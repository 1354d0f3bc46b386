// orvalis-synth: writes synthetic observations, profile directories, the demo
// data of scripts/run and the seed corpus of the fuzz targets.

#include "synth/profilewriter.h"
#include "synth/syntheticobservation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool writeObservation(const SyntheticObservation &observation, const QString &path)
{
    QString error;
    if (!observation.write(path, &error)) {
        err() << "Cannot write " << path << ": " << error << Qt::endl;
        return false;
    }
    const auto &p = observation.params();
    out() << "Wrote " << path << " (" << QFileInfo(path).size() << " bytes; " << p.npoints << " points, "
          << p.nModules << " module(s), " << p.nRays << " ray(s), " << p.nBands << "+1 channels, tres "
          << p.tresolution << " s";
    if (p.snr > 0)
        out() << "; pulse P=" << p.period << " s DM=" << p.dm << " SNR=" << p.snr;
    if (p.calibrationStart >= 0)
        out() << "; calibration step at " << p.calibrationStart << " s";
    out() << ")" << Qt::endl;
    return true;
}

bool writeProfiles(const QString &dir, int days, quint64 seed)
{
    if (!QDir().mkpath(dir)) {
        err() << "Cannot create " << dir << Qt::endl;
        return false;
    }
    int written = 0;
    for (int day = 0; day < days; ++day) {
        for (int dm : {23, 25, 27, 29}) {
            ProfileWriter::Params params;
            params.date = QDate(2026, 7, 16).addDays(day);
            params.dm = dm;
            params.seed = seed;
            params.snr = 8.0 + 3.0 * ((day * 7) % 5);   // the days differ in strength
            QString path;
            QString error;
            if (!ProfileWriter::write(dir, params, &path, &error)) {
                err() << "Cannot write profiles into " << dir << ": " << error << Qt::endl;
                return false;
            }
            ++written;
        }
    }
    out() << "Wrote " << written << " profile files into " << dir << Qt::endl;
    return true;
}

SyntheticObservation::Params kindDefaults(const QString &kind)
{
    SyntheticObservation::Params p;
    p.snr = 6.0;
    if (kind == QLatin1String("pnthr")) {
        p.nBands = 32;
        p.npoints = 9600;
    } else if (kind == QLatin1String("txt")) {
        p.nRays = 1;
        p.firstModule = 3;
        p.firstRay = 2;
        p.npoints = 4000;
    }
    return p;
}

bool writeDemo(const QString &dir)
{
    const QString nativeDir = QDir(dir).filePath(QStringLiteral("native"));
    const QString multiDir = QDir(dir).filePath(QStringLiteral("multiday/J0332+5434_N1"));
    const QString profileDir = QDir(dir).filePath(QStringLiteral("profiles"));
    QFile::remove(QDir(dir).filePath(QStringLiteral(".complete")));
    for (const QString &path : {nativeDir, multiDir, profileDir}) {
        if (!QDir().mkpath(path)) {
            err() << "Cannot create " << path << Qt::endl;
            return false;
        }
    }

    SyntheticObservation::Params pnt = kindDefaults(QStringLiteral("pnt"));
    pnt.npoints = 6000;
    pnt.pulseModule = 1;
    pnt.pulseRay = 5;
    pnt.snr = 5.0;
    const SyntheticObservation pntObservation(pnt);
    SyntheticObservation::Params pnthr = kindDefaults(QStringLiteral("pnthr"));
    pnthr.utcBegin = pnthr.utcBegin.addSecs(3600);
    pnthr.pulseRay = 5;
    pnthr.seed = 2;
    const SyntheticObservation pnthrObservation(pnthr);
    SyntheticObservation::Params txt = kindDefaults(QStringLiteral("txt"));
    txt.seed = 3;
    const SyntheticObservation txtObservation(txt);
    if (!writeObservation(pntObservation, QDir(nativeDir).filePath(pntObservation.fileName(QStringLiteral("pnt"))))
        || !writeObservation(pnthrObservation,
                             QDir(nativeDir).filePath(pnthrObservation.fileName(QStringLiteral("pnthr"))))
        || !writeObservation(txtObservation, QDir(nativeDir).filePath(txtObservation.textFileName())))
        return false;

    // Ten days of one source, one module and beam each; the transit comes
    // 3 min 56 s earlier every day and the strength varies from day to day.
    for (int day = 0; day < 10; ++day) {
        SyntheticObservation::Params p = kindDefaults(QStringLiteral("pnthr"));
        p.nRays = 1;
        p.firstModule = 3;
        p.firstRay = 2;
        p.npoints = 9600;
        p.seed = 100 + day;
        p.utcBegin = QDateTime(QDate(2026, 7, 16).addDays(day), QTime(2, 0, 0), Qt::UTC).addSecs(-236 * day);
        p.snr = 2.0 + 0.5 * ((day * 3) % 7);
        if (day == 4) {
            p.calibrationStart = 40.0;
            p.calibrationLevel = 12.0;
        }
        const SyntheticObservation observation(p);
        if (!writeObservation(observation, QDir(multiDir).filePath(observation.fileName(QStringLiteral("pnthr")))))
            return false;
    }
    if (!writeProfiles(profileDir, 5, 7))
        return false;

    QSaveFile complete(QDir(dir).filePath(QStringLiteral(".complete")));
    if (!complete.open(QIODevice::WriteOnly) || complete.write("demo\n") != 5 || !complete.commit()) {
        err() << "Cannot mark " << dir << " complete: " << complete.errorString() << Qt::endl;
        return false;
    }
    out() << "Demo data complete in " << QDir(dir).absolutePath() << Qt::endl;
    return true;
}

// Small valid files of every kind and variant for the fuzz targets to start from.
bool writeCorpus(const QString &dir)
{
    const QString passportDir = QDir(dir).filePath(QStringLiteral("passport"));
    const QString textDir = QDir(dir).filePath(QStringLiteral("nativetext"));
    if (!QDir().mkpath(passportDir) || !QDir().mkpath(textDir)) {
        err() << "Cannot create " << dir << Qt::endl;
        return false;
    }
    QVector<SyntheticObservation::Params> binaries;
    SyntheticObservation::Params base;
    base.npoints = 12;
    base.nRays = 2;
    base.nBands = 3;
    base.snr = 4.0;
    base.width = 0.05;
    base.period = 0.05;
    binaries.append(base);
    SyntheticObservation::Params n4 = base;
    n4.plosh = QStringLiteral("N4");
    n4.positionCode = QStringLiteral("13 1 0");
    n4.tresolution = 0.003072;
    binaries.append(n4);
    SyntheticObservation::Params seconds = base;
    seconds.tresInSeconds = true;
    seconds.writeZone = true;
    seconds.firstPoint = 500;
    seconds.nModules = 2;
    seconds.nRays = 1;
    seconds.firstRay = 4;
    seconds.descending = true;
    binaries.append(seconds);
    int index = 0;
    for (const SyntheticObservation::Params &p : qAsConst(binaries)) {
        const SyntheticObservation observation(p);
        if (!writeObservation(observation, QDir(passportDir).filePath(
                                               QStringLiteral("seed%1_").arg(index++) + observation.fileName(QStringLiteral("pnt")))))
            return false;
    }
    SyntheticObservation::Params text = base;
    text.nRays = 1;
    text.firstModule = 2;
    text.firstRay = 7;
    const SyntheticObservation textObservation(text);
    if (!writeObservation(textObservation, QDir(textDir).filePath(textObservation.textFileName())))
        return false;
    text.descending = true;
    text.npoints = 3;
    const SyntheticObservation shortText(text);
    return writeObservation(shortText, QDir(textDir).filePath(QStringLiteral("short_") + shortText.textFileName()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvalis-synth"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes synthetic KVX observations.\n"
        "  orvalis-synth pnt|pnthr|txt OUT [options]   one observation (OUT: file or directory)\n"
        "  orvalis-synth profiles DIR [--days N]      average-profile files\n"
        "  orvalis-synth demo DIR                     demo data for scripts/run\n"
        "  orvalis-synth corpus DIR                   seed corpus of the fuzz targets"));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("pnt, pnthr, txt, profiles, demo or corpus"));
    parser.addPositionalArgument(QStringLiteral("out"), QStringLiteral("Output file or directory"));
    const auto option = [&parser](const char *name, const char *help, const char *value) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value));
        parser.addOption(o);
        return o;
    };
    const QCommandLineOption points = option("points", "Points per channel", "N");
    const QCommandLineOption modules = option("modules", "Number of modules", "N");
    const QCommandLineOption rays = option("rays", "Rays per module", "N");
    const QCommandLineOption channels = option("channels", "Frequency channels (the total comes on top)", "N");
    const QCommandLineOption firstModule = option("first-module", "First module number", "N");
    const QCommandLineOption firstRay = option("first-ray", "First ray number", "N");
    const QCommandLineOption firstPoint = option("first-point", "First point within the observation", "N");
    const QCommandLineOption plosh = option("plosh", "Site code N0, N1, N2 or N4", "CODE");
    const QCommandLineOption position = option("position", "N4 position code, e.g. \"12 0 1\"", "CODE");
    const QCommandLineOption date = option("date", "UTC begin date yyyy-MM-dd", "DATE");
    const QCommandLineOption time = option("time", "UTC begin time hh:mm:ss[.zzz]", "TIME");
    const QCommandLineOption zone = option("zone", "Hours of local time ahead of UTC", "H");
    const QCommandLineOption tres = option("tres", "Sample interval in seconds", "S");
    const QCommandLineOption bandLow = option("band-low", "Lower band edge, MHz", "F");
    const QCommandLineOption bandHigh = option("band-high", "Upper band edge, MHz", "F");
    const QCommandLineOption descending("descending", QStringLiteral("Channel frequencies in descending order"));
    parser.addOption(descending);
    const QCommandLineOption dm = option("dm", "Dispersion measure of the pulse", "X");
    const QCommandLineOption period = option("period", "Pulse period, s", "S");
    const QCommandLineOption width = option("width", "Pulse width (FWHM), s", "S");
    const QCommandLineOption snr = option("snr", "Pulse peak per channel in noise sigma (0: none)", "X");
    const QCommandLineOption pulseRay = option("pulse-ray", "Ray number carrying the pulse (0: all)", "N");
    const QCommandLineOption noise = option("noise", "Noise sigma per channel", "X");
    const QCommandLineOption seed = option("seed", "Noise seed", "N");
    const QCommandLineOption calibration = option("calibration", "Start of a 15 s calibration step, s", "S");
    const QCommandLineOption calibrationLevel = option("calibration-level", "Step height in noise sigma", "X");
    const QCommandLineOption days = option("days", "Number of profile dates", "N");
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        err() << parser.helpText();
        return 2;
    }
    const QString command = args.at(0);
    const QString target = args.at(1);
    if (command == QLatin1String("demo"))
        return writeDemo(target) ? 0 : 1;
    if (command == QLatin1String("corpus"))
        return writeCorpus(target) ? 0 : 1;
    if (command == QLatin1String("profiles"))
        return writeProfiles(target, parser.isSet(days) ? parser.value(days).toInt() : 5,
                             parser.isSet(seed) ? parser.value(seed).toULongLong() : 1)
            ? 0
            : 1;
    if (command != QLatin1String("pnt") && command != QLatin1String("pnthr") && command != QLatin1String("txt")) {
        err() << "Unknown command " << command << Qt::endl << parser.helpText();
        return 2;
    }

    SyntheticObservation::Params p = kindDefaults(command);
    bool ok = true;
    const auto integer = [&](const QCommandLineOption &o, qint32 *field) {
        if (parser.isSet(o)) {
            bool good = false;
            *field = parser.value(o).toInt(&good);
            ok = ok && good;
        }
    };
    const auto real = [&](const QCommandLineOption &o, double *field) {
        if (parser.isSet(o)) {
            bool good = false;
            *field = parser.value(o).toDouble(&good);
            ok = ok && good;
        }
    };
    integer(points, &p.npoints);
    integer(modules, &p.nModules);
    integer(rays, &p.nRays);
    integer(channels, &p.nBands);
    integer(firstModule, &p.firstModule);
    integer(firstRay, &p.firstRay);
    integer(firstPoint, &p.firstPoint);
    integer(zone, &p.zone);
    integer(pulseRay, &p.pulseRay);
    real(tres, &p.tresolution);
    real(bandLow, &p.bandLow);
    real(bandHigh, &p.bandHigh);
    real(dm, &p.dm);
    real(period, &p.period);
    real(width, &p.width);
    real(snr, &p.snr);
    real(noise, &p.noiseSigma);
    real(calibration, &p.calibrationStart);
    real(calibrationLevel, &p.calibrationLevel);
    if (parser.isSet(seed))
        p.seed = parser.value(seed).toULongLong(&ok);
    if (parser.isSet(plosh))
        p.plosh = parser.value(plosh);
    if (parser.isSet(position))
        p.positionCode = parser.value(position);
    if (p.plosh == QLatin1String("N4") && !parser.isSet(tres))
        p.tresolution = 0.003072;
    p.descending = parser.isSet(descending);
    if (parser.isSet(date))
        p.utcBegin.setDate(QDate::fromString(parser.value(date), Qt::ISODate));
    if (parser.isSet(time)) {
        const QString text = parser.value(time);
        p.utcBegin.setTime(QTime::fromString(text, text.contains(QLatin1Char('.')) ? QStringLiteral("hh:mm:ss.zzz")
                                                                                    : QStringLiteral("hh:mm:ss")));
    }
    if (!ok) {
        err() << "An option value is not a number." << Qt::endl;
        return 2;
    }
    const SyntheticObservation observation(p);
    const QString problem = observation.problem();
    if (!problem.isEmpty()) {
        err() << problem << Qt::endl;
        return 2;
    }
    QString path = target;
    if (QFileInfo(target).isDir())
        path = QDir(target).filePath(command == QLatin1String("txt") ? observation.textFileName()
                                                                      : observation.fileName(command));
    return writeObservation(observation, path) ? 0 : 1;
}
