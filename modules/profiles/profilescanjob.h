#pragma once

#include "data/backgroundjob.h"
#include "data/profileset.h"

#include <QMap>
#include <QString>

// A scanned profile directory with the maximum SNR of each date.
struct ProfileScanOutcome
{
    bool ok = false;
    QString directory;
    ProfileSet set;
    QMap<QString, double> maxima;
    QString error;   // worded for the user when not ok
};

// Scans a profile directory and builds its maximum-SNR map on a worker
// thread (see BackgroundJob); the scan stops at the next file when cancelled.
// progressChanged gives the percent of the files read, -1 while the directory
// is still being walked.
class ProfileScanJob : public BackgroundJob
{
    Q_OBJECT

public:
    using BackgroundJob::BackgroundJob;

    void start(const QString &directory);

signals:
    void finished(const ProfileScanOutcome &outcome);
};
