#pragma once

#include "astro/beamtables.h"
#include "data/nativefile.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// A synthetic native observation: a periodic dispersed pulse in Gaussian noise,
// optionally with a 15 s calibration step, described by a Params record. It
// writes the binary (".pnt", ".pnthr") and text (".txt") forms and builds the
// same data as an in-memory NativeFile. Samples are produced in blocks of
// pointsPerBlock points, each block from its own seeded generator, so the
// same parameters always give the same samples, whatever part is asked for.
// Immutable after construction; safe to use from any thread.
class SyntheticObservation
{
public:
    struct Params
    {
        // Dimensions. The file holds nBands frequency channels plus the total.
        qint32 npoints = 4000;
        qint32 nModules = 1;
        qint32 nRays = 8;
        qint32 nBands = 6;
        qint32 firstModule = 1;       // at site N4 the position index is used instead
        qint32 firstRay = 1;
        qint32 firstPoint = 0;        // place of point 0 in the whole observation

        // Passport.
        QString plosh = QStringLiteral("N1");
        QString positionCode = QStringLiteral("12 0 1");   // site N4 only
        QString source = QStringLiteral("B0329+54");
        QString alpha = QStringLiteral("03:32:59");
        QString delta = QStringLiteral("54:34:43");
        QDateTime utcBegin = QDateTime(QDate(2026, 7, 25), QTime(2, 0, 0), Qt::UTC);
        qint32 zone = telescopeZoneHours;   // hours of local time ahead of UTC
        bool writeZone = false;       // else the reader derives it from the begin times
        double tresolution = 0.0124928;   // seconds
        bool tresInSeconds = false;   // write "tres" (s) instead of "tresolution" (ms)

        // Channel frequencies (MHz): explicit list, or nBands channel centres
        // spread evenly over [bandLow, bandHigh].
        QVector<double> frequencies;
        double bandLow = 109.0;
        double bandHigh = 111.5;
        bool descending = false;

        // Signal. Noise sigma and level are per frequency channel.
        double baseline = 1000.0;
        double noiseSigma = 10.0;     // 0: no noise
        quint64 seed = 1;

        // Pulse: peak amplitude snr * noiseSigma (snr itself when there is no
        // noise) in every frequency channel, Gaussian of the given full width at
        // half maximum, arriving in the last frequency channel at pulseEpoch +
        // k * period seconds after the observation's point 0 and dispersed in
        // the other channels by 4148.8 * dm * (1/f^2 - 1/f_last^2) seconds.
        double period = 0.714519;
        double dm = 26.8;
        double width = 0.02;
        double snr = 0.0;             // 0: no pulse
        double pulseEpoch = 0.1;
        qint32 pulseModule = 0;       // module number carrying the pulse, 0: all
        qint32 pulseRay = 0;          // ray number carrying the pulse, 0: all
        // The pulses rise and fade as the source passes through the beam:
        // their amplitude is scaled by the transit Gaussian below (centre and
        // width), whatever transitLevel is.
        bool pulseFollowsTransit = false;

        // Calibration step, 15 s from calibrationStart seconds after the
        // observation's point 0 (a negative start means none), in every
        // frequency channel: calibrationEdge seconds at calibrationDip *
        // noiseSigma below the baseline, the plateau at calibrationLevel *
        // noiseSigma above it, and calibrationEdge seconds low again, the
        // rectangular pattern the receiver's switching leaves in the data.
        // A dip of 0 gives a plain level step.
        double calibrationStart = -1.0;
        double calibrationLevel = 20.0;
        double calibrationDip = 20.0;
        double calibrationEdge = 1.0;

        // A slow rise of the level as the source drifts through the beam: a
        // Gaussian of transitLevel * noiseSigma peaking transitCentre seconds
        // after the observation's point 0, transitWidth seconds wide at half
        // maximum. A level of 0 means none.
        double transitLevel = 0.0;
        double transitCentre = 60.0;
        double transitWidth = 60.0;
    };

    // The band description as the passport and the text header print it.
    struct BandTexts
    {
        QString fbands;     // channel centres, MHz
        QString wbands;     // channel widths, MHz
        QString fcentral;
        QString wbTotal;
    };

    static constexpr qint32 pointsPerBlock = 4096;
    static constexpr double calibrationDuration = 15.0;

    explicit SyntheticObservation(const Params &params);

    const Params &params() const { return m_params; }
    const QVector<double> &frequencies() const { return m_frequencies; }
    const BandTexts &bandTexts() const { return m_bandTexts; }
    qint32 nChannels() const { return m_params.nBands + 1; }
    // Floats per point: modules x rays x channels; 0 when a dimension is
    // below 1, -1 when the product does not fit in 64 bits.
    qint64 valuesPerPoint() const;
    // Empty when the parameters can describe a file, else what is wrong.
    QString problem() const;

    // Local begin (UTC clock values shifted by the zone) and the channel delays.
    QDateTime localBegin() const;
    double channelDelaySeconds(int channel) const;
    // Sample point of the observation where pulse k peaks in the dispersion-corrected sum.
    double pulsePeakPoint(qint64 k) const;

    // "DDMMYY_HH_N1_00" from the local begin, plus "_m%1_r%2" for a single module
    // and ray; the text form is named like an extract of that binary file.
    QString baseName() const;
    QString fileName(const QString &suffix) const;
    QString textFileName() const;

    // Passport lines of the binary form; padBytes extra bytes go into a
    // comment line (0, or at least 10).
    QByteArray passport(qint64 padBytes = 0) const;

    // Values of points [first, first + count) in file order; points outside
    // the observation are 0. Does nothing when problem() reports too many
    // values per point.
    void fillPoints(qint64 first, qint64 count, float *out) const;
    // One value by 0-based indexes; 0 outside the observation.
    float sample(qint64 point, int moduleIndex, int rayIndex, int channel) const;

    bool writeBinary(const QString &path, QString *error) const;
    // Needs one module and one ray.
    bool writeText(const QString &path, QString *error) const;
    // Writes the form the suffix of path names.
    bool write(const QString &path, QString *error) const;

    // The record a reader fills from the form written to path (binary unless
    // the suffix is "txt"); without samples, unloaded, when they do not fit in
    // one array.
    NativeFile toNativeFile(const QString &path = QString()) const;

    // A binary file of exactly totalBytes bytes: npoints is chosen to fill it
    // and the passport padded; only the first densePoints points are written,
    // the rest is a hole that reads as zeros. usedParams receives the
    // parameters that describe the file.
    static bool writeSparse(const QString &path, qint64 totalBytes, const Params &params,
                            qint64 densePoints, Params *usedParams, QString *error);

private:
    bool fitsOneBlock() const;
    void fillBlock(qint64 block, float *out) const;
    double pulseMean(double t, double delay) const;
    // Calibration offset at time t, in units of the noise sigma.
    double calibrationOffset(double t) const;

    Params m_params;
    QVector<double> m_frequencies;
    QVector<double> m_delays;         // seconds, per frequency channel
    double m_sigmaSeconds = 0.0;      // Gaussian sigma of the pulse
    BandTexts m_bandTexts;
};
