#pragma once

#include <QString>
#include <QStringList>

class SyntheticObservation;

// The data sets orvalis-synth writes in one go: the demo data of scripts/run,
// a directory of average-profile files and the seed corpus of the fuzz
// targets. Stateless; every function writes only below the directory it is
// given and appends one line per written file to *written when it is set.
class DemoData
{
public:
    // Layout of the demo directory.
    static QString nativeDirName() { return QStringLiteral("native"); }
    static QString multiDayDirName() { return QStringLiteral("multiday/J0332+5434_N0"); }
    static QString profilesDirName() { return QStringLiteral("profiles"); }
    static QString completeMarkName() { return QStringLiteral(".complete"); }
    static constexpr int multiDayCount = 10;
    static constexpr int calibrationDay = 4;   // index of the day with the calibration step

    // One native file of each kind, ten days of one source (one with a
    // calibration step) and a profiles directory; the mark file comes last,
    // so its presence means the set is whole.
    static bool writeDemo(const QString &dir, QStringList *written, QString *error);
    // Profile files for `days` dates from 2026.07.16 at four trial DMs.
    static bool writeProfiles(const QString &dir, int days, quint64 seed, QStringList *written, QString *error);
    // Small valid files: "passport/" (binary variants) and "nativetext/".
    static bool writeCorpus(const QString &dir, QStringList *written, QString *error);
    // Writes one observation in the form its path's suffix names, making
    // missing parent directories.
    static bool writeObservation(const SyntheticObservation &observation, const QString &path,
                                 QStringList *written, QString *error);
    // One summary line: path, size, dimensions, pulse and calibration step.
    static QString describe(const SyntheticObservation &observation, const QString &path);
};
