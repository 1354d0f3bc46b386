#pragma once

#include <QString>

// What the name of an average-profile file says: date, trial DM, period and
// the decimals its periods are printed with. Pure functions; the patterns are
// compiled once and shared read-only.

// One profile file of a profile set.
struct ProfileRecord
{
    QString date;     // "yyyy.MM.dd"
    QString dm;       // trial DM: decimal digits without leading zeros
    QString period;   // the period as the name writes it
    QString path;     // full path of the file
};

// The name template shown to users.
QString profileNameTemplate();

// Date, DM and period of a file name holding "p(20\d\d\.\d\d\.\d\d)_dm(\d+)_p([\d.]+).*\.txt"
// anywhere (case-sensitive); the path is left alone. False when the name has no match.
bool parseProfileFileName(const QString &fileName, ProfileRecord *record);

// Decimals the periods of a file are printed with: the digits of the first
// "_s<digits>.txt" in its name (at most 17), else 4.
int profilePeriodPrecision(const QString &fileName);

// Orders DM texts (digits without leading zeros) by their integer value.
bool dmTextLess(const QString &a, const QString &b);
