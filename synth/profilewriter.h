#pragma once

#include <QDate>
#include <QString>
#include <QVector>

// Writes synthetic average-profile files: one file per date and trial DM, one
// "period=" block of phase-point values per trial period. The pulse is
// strongest at the true DM and period and fades with the distance from them;
// the noise comes from a generator seeded by seed, date and DM, so a file's
// contents depend only on its parameters. Stateless; safe from any thread.
class ProfileWriter
{
public:
    struct Params
    {
        QDate date = QDate(2026, 7, 25);
        int dm = 27;                   // trial DM of the file
        double trueDm = 26.8;
        double truePeriod = 0.714519;  // seconds
        QVector<double> periods;       // trial periods; empty: seven around the true one
        double periodStep = 2e-6;      // spacing of the default trial periods
        int decimals = 6;              // period decimals, written as "_s<decimals>"
        int phasePoints = 128;
        double snr = 15.0;             // peak at the true DM and period, in noise sigma
        double dmTolerance = 2.0;      // DM offset that halves the peak, roughly
        double periodTolerance = 4e-6; // period offset that halves the peak, roughly
        double pulseWidth = 0.04;      // FWHM as a fraction of the period
        quint64 seed = 1;
        bool markPeak = true;          // put " *" after the largest value, as some writers do
    };

    // "pYYYY.MM.DD_dm{dm}_p{period}_s{decimals}.txt" with the true period.
    static QString fileName(const Params &params);
    static QVector<double> trialPeriods(const Params &params);
    // Peak signal-to-noise ratio expected for a trial period in this file.
    static double expectedPeak(const Params &params, double period);
    // Profile values of one trial period (noise included).
    static QVector<double> profile(const Params &params, double period);
    // Writes into dir; path receives the written file's path.
    static bool write(const QString &dir, const Params &params, QString *path, QString *error);
};
