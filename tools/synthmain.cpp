// orvalis-synth: writes synthetic observations, profile directories, the demo
// data of scripts/run and the seed corpus of the fuzz targets.

#include "synth/demodata.h"
#include "synth/syntheticobservation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>


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

// Prints what was written, or the error; returns the exit status.
int finish(bool ok, const QStringList &written, const QString &error)
{
    for (const QString &line : written)
        out() << "Wrote " << line << Qt::endl;
    if (!ok) {
        err() << error << Qt::endl;
        return 1;
    }
    return 0;
}

void printDemoSummary(const QDir &root)
{
    qint64 total = 0;
    const auto countFiles = [&total](const QDir &dir) {
        const QFileInfoList files = dir.entryInfoList(QDir::Files);
        for (const QFileInfo &file : files)
            total += file.size();
        return files.size();
    };
    const QDir native(root.filePath(DemoData::nativeDirName()));
    out() << "Demo data in " << root.absolutePath() << ":" << Qt::endl;
    out() << "  " << DemoData::nativeDirName() << "/: " << native.entryList(QDir::Files).join(QStringLiteral(", "))
          << Qt::endl;
    countFiles(native);
    out() << "  " << DemoData::multiDayDirName() << "/: " << countFiles(QDir(root.filePath(DemoData::multiDayDirName())))
          << " days of one source, one with a calibration step" << Qt::endl;
    out() << "  " << DemoData::profilesDirName() << "/: " << countFiles(QDir(root.filePath(DemoData::profilesDirName())))
          << " average-profile files" << Qt::endl;
    out() << "  " << QString::number(total / 1048576.0, 'f', 1) << " MiB in all" << Qt::endl;
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
    const QCommandLineOption calibrationLevel = option("calibration-level", "Plateau height in noise sigma", "X");
    const QCommandLineOption calibrationDip = option("calibration-dip", "Depth of its low edges in noise sigma (0: none)", "X");
    const QCommandLineOption days = option("days", "Number of profile dates", "N");
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        err() << parser.helpText();
        return 2;
    }
    const QString command = args.at(0);
    const QString target = args.at(1);
    QStringList written;
    QString error;
    if (command == QLatin1String("demo")) {
        if (!DemoData::writeDemo(target, &written, &error)) {
            err() << error << Qt::endl;
            return 1;
        }
        printDemoSummary(QDir(target));
        return 0;
    }
    if (command == QLatin1String("corpus"))
        return finish(DemoData::writeCorpus(target, &written, &error), written, error);
    if (command == QLatin1String("profiles"))
        return finish(DemoData::writeProfiles(target, parser.isSet(days) ? parser.value(days).toInt() : 5,
                                              parser.isSet(seed) ? parser.value(seed).toULongLong() : 1,
                                              &written, &error),
                      written, error);
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
    real(calibrationDip, &p.calibrationDip);
    if (parser.isSet(seed)) {
        bool good = false;
        p.seed = parser.value(seed).toULongLong(&good);
        ok = ok && good;
    }
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
    // An existing directory, or a name ending in a slash, receives the file
    // under its default name.
    QString path = target;
    if (QFileInfo(target).isDir() || target.endsWith(QLatin1Char('/')))
        path = QDir(target).filePath(command == QLatin1String("txt") ? observation.textFileName()
                                                                      : observation.fileName(command));
    return finish(DemoData::writeObservation(observation, path, &written, &error), written, error);
}
