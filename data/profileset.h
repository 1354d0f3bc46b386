#pragma once

#include "data/profilefilename.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// A directory of average-profile files scanned into a profile set, and what
// the profiles module derives from it: the maximum signal-to-noise ratio of
// each date, the date and dispersion lists and the file of a date and DM.
// Plain functions on values; they read files but keep no state, so a worker
// thread may run them.

// The records of the matching files in the order of the directory walk.
using ProfileSet = QVector<ProfileRecord>;

// Most files a profile set may hold.
constexpr int maxProfileFiles = 1000;

// Told how far a long job is (done of total; total 0 while unknown); returning
// false abandons the job.
using ProfileProgress = std::function<bool(int done, int total)>;

struct ProfileScanResult
{
    bool ok = false;
    ProfileSet set;
    QString error;   // worded for the user; empty when the scan was abandoned
};

// Walks dir and its subdirectories for files named "p20*.txt" that match the
// profile name; fails with the user's message when there are more than
// maxProfileFiles, none, or none holding a profile value. Progress is told
// the files found at every file visited (total 0), then the files checked
// for a value of the set's size.
ProfileScanResult scanProfileDirectory(const QString &dir, const ProfileProgress &progress = {});

// For every date, the largest profile value over its files and their periods
// (a period without values counts 0); files read once each, repeated paths
// skipped. False when abandoned.
bool maximumSnrByDate(const ProfileSet &set, QMap<QString, double> *maxima, const ProfileProgress &progress = {});

enum class ProfileDateOrder {
    Text,         // ascending as text, which is chronological
    MaximumSnr    // descending maximum SNR; maxima within 1e-12 keep text order; a date without one counts 0
};
QStringList profileDates(const ProfileSet &set, ProfileDateOrder order, const QMap<QString, double> &maxima = {});

// The distinct DMs of the set / of one date, ascending by value.
QStringList profileDispersions(const ProfileSet &set);
QStringList profileDispersionsOfDate(const ProfileSet &set, const QString &date);

// Path of the first record with that date and DM; empty when there is none.
QString findProfileFile(const ProfileSet &set, const QString &date, const QString &dm);

// "_m%1_r%2" found in the directory path, else in the first record path that
// has one; empty when none has.
QString profileModuleRayTag(const QString &dir, const ProfileSet &set);
