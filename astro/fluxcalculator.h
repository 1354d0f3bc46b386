#pragma once

#include <QString>
#include <QVector>

// The flux density calculator of average profiles: peak and integral flux
// densities from the profile's signal-to-noise ratio, the noise outside the
// pulse and the telescope's sensitivity, and the pulse half-width w50. Pure
// functions on values.

// Sky background temperature at 111 MHz per kelvin at 178 MHz.
constexpr double fluxBackgroundFactor = 3.33;

// What the calculator form holds. Non-finite numbers count as 0, as an
// unreadable field does.
struct FluxInput
{
    QString site;                // "N0", "N1", "N2" or "N4"
    double tresolution = 0.0;    // sample interval, s
    double period = 0.0;         // s
    double delta = 0.0;          // declination, degrees
    int n0 = 0;                  // points of the source data segment
    bool withCos = false;        // correct the point count by cos(delta)
    int n1 = 0;                  // peak area, point numbers
    int n2 = 0;
    double H = 0.0;              // height of the profile peak
    int np = 0;                  // points of the average profile
    double k1 = 0.0;
    double k2 = 0.0;
    double T178 = 0.0;           // sky background at 178 MHz, K
    double Tr = 0.0;             // receiver temperature, K
    double sens = 0.0;
};

// Every number is finite.
struct FluxResult
{
    double cosDelta = 1.0;
    int n = 0;                   // points corrected by the cosine
    int nPeriods = 0;            // N, the number of summed periods
    double sigma = 0.0;          // noise outside the peak area
    double snr = 0.0;
    double Ts = 0.0;             // system temperature, K
    double dS = 0.0;             // telescope sensitivity
    double Sp = 0.0;             // peak flux density
    double sum = 0.0;
    double Sint = 0.0;           // integral flux density
    int n1 = 0;                  // the peak area used, after the defaults
    int n2 = 0;
};

struct FluxCalculation
{
    bool ok = false;
    FluxResult result;           // meaningful only when ok
    QString error;               // the user's message when not ok
};

// Runs every check in order and computes the result from the values of the
// profile on display; the first failing check gives its message.
FluxCalculation calculateFlux(const FluxInput &input, const QVector<double> &values);

// Crossings of the half level y = H / 2 around the pulse, within n1 .. n2 (the
// whole profile when n1 < 1 or n2 beyond the last point), interpolated
// linearly, and their times. Every number is finite; all zero when not found.
struct HalfWidth
{
    bool found = false;
    double level = 0.0;          // y = H / 2
    double i1 = 0.0;             // fractional point numbers of the crossings
    double i2 = 0.0;
    double p1 = 0.0;             // their times, s
    double p2 = 0.0;
    double w50 = 0.0;            // (p2 - p1) x 1000, ms
};
HalfWidth halfWidth(const QVector<double> &values, double H, int np, double period, int n1, int n2);

// A calculator field as a number: unreadable or non-finite text reads as 0.
double calculatorNumber(const QString &text);
int calculatorInteger(const QString &text);

// The message of "Calculate and Show" when n1 or n2 is empty; else empty.
QString missingPeakAreaText(const QString &n1Text, const QString &n2Text);
