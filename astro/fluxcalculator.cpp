#include "astro/fluxcalculator.h"

#include "astro/seriesstats.h"

#include <QStringList>

#include <climits>
#include <cmath>

namespace {

// The minimum sky temperature, K.
constexpr double minimumSkyTemperature = 834.0;

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

double degreesToRadians(double degrees)
{
    return degrees * M_PI / 180.0;
}

bool fitsInt(double value)
{
    return std::isfinite(value) && std::fabs(value) <= double(INT_MAX);
}

FluxCalculation failure(const QString &error)
{
    FluxCalculation calculation;
    calculation.error = error;
    return calculation;
}

QString overflowText()
{
    return QStringLiteral("The numbers are too large for the calculation: check the calculator fields "
                          "and the profile values.");
}

QString peakAreaText()
{
    return QStringLiteral("Invalid peak area: check the n1 and n2 parameters.");
}

QString coefficientsText(const QString &site, double delta)
{
    QString hint;
    if (delta != 0.0) {
        const double angle = 55.0 - delta;
        hint = QStringLiteral("=cos(%1) = %2")
                   .arg(QString::number(angle, 'f', 2), QString::number(std::cos(degreesToRadians(angle)), 'f', 3));
    }
    const QString defaults = site == QLatin1String("N4")
        ? QStringLiteral("Defaults for N4:\nk1=0.95\n")
        : QStringLiteral("Defaults for N0, N1, and N2:\nk1=[0.4 to 1]\n");
    return QStringLiteral("Enter the k1 and k2 coefficients.\nThey are available in Tessaly et al. (2016).\n\n")
        + defaults + QStringLiteral("k2=cos(55 – delta)") + hint;
}

// Sample standard deviation of the values outside n1 .. n2; -1 when n1 lies
// outside the profile, -2 when n2 does, -3 when n1 > n2, -4 when fewer than
// two values remain.
double noiseOutside(const QVector<double> &x, int n1, int n2)
{
    const int size = x.size();
    if (n1 < 0 || n1 >= size)
        return -1.0;
    if (n2 < 0 || n2 >= size)
        return -2.0;
    if (n1 > n2)
        return -3.0;
    QVector<double> rest = x.mid(0, n1);
    rest += x.mid(n2 + 1);
    return rest.size() < 2 ? -4.0 : sampleStandardDeviation(rest);
}

// Nearest integer; a fraction of exactly one half rounds toward zero.
int roundHalfTowardZero(double value)
{
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    return int(whole) + (fraction > 0.5 ? (value > 0.0 ? 1 : -1) : 0);
}

} // namespace

FluxCalculation calculateFlux(const FluxInput &input, const QVector<double> &x)
{
    const double tresolution = finiteOrZero(input.tresolution);
    const double period = finiteOrZero(input.period);
    const double delta = finiteOrZero(input.delta);
    const double H = finiteOrZero(input.H);
    const double k1 = finiteOrZero(input.k1);
    const double k2 = finiteOrZero(input.k2);
    const double T178 = finiteOrZero(input.T178);
    const double Tr = finiteOrZero(input.Tr);
    const double sens = finiteOrZero(input.sens);

    if (input.site.isEmpty())
        return failure(QStringLiteral("Set the observatory site in the Plosh field."));
    static const QStringList sites{QStringLiteral("N1"), QStringLiteral("N2"), QStringLiteral("N0"), QStringLiteral("N4")};
    if (!sites.contains(input.site))
        return failure(QStringLiteral("Invalid observatory site. Use N0, N1, N2, or N4."));
    if (k1 < 1e-5 || k2 < 1e-5)
        return failure(coefficientsText(input.site, delta));
    if (input.n2 <= input.n1)
        return failure(peakAreaText());

    FluxCalculation calculation;
    FluxResult &r = calculation.result;
    if (input.withCos) {
        r.cosDelta = std::cos(degreesToRadians(delta));
        if (r.cosDelta <= 1e-5)
            return failure(QStringLiteral("Invalid delta cosine: %1").arg(QString::number(r.cosDelta, 'f', 5)));
        const double n = std::trunc(input.n0 / r.cosDelta);
        if (!fitsInt(n))
            return failure(overflowText());
        r.n = int(n);
    } else {
        r.n = input.n0;
    }
    if (period < 1e-5)
        return failure(QStringLiteral("period must be greater than zero."));

    r.n1 = input.n1 < 0 ? input.np / 2 - 10 : input.n1;
    r.n2 = input.n2 < 1 || input.n2 >= input.np ? input.np / 2 + 10 : input.n2;
    if (r.n1 >= r.n2)
        return failure(peakAreaText());

    r.nPeriods = -1;
    if (period > 1e-6 && tresolution > 0.0) {
        const double periods = r.n * tresolution / period;
        if (!fitsInt(periods))
            return failure(overflowText());
        r.nPeriods = roundHalfTowardZero(periods);
    }
    if (r.nPeriods < 1)
        return failure(QStringLiteral("n_periods must be greater than zero."));

    r.sigma = noiseOutside(x, r.n1, r.n2);
    if (!std::isfinite(r.sigma))
        return failure(overflowText());
    if (r.sigma < 1e-6)
        return failure(QStringLiteral("Invalid sigma=%1").arg(QString::number(r.sigma, 'g', 6)));

    const double rootN = std::sqrt(double(r.nPeriods));
    r.snr = H / r.sigma;
    r.Ts = fluxBackgroundFactor * T178 + Tr;
    r.dS = r.Ts * sens / minimumSkyTemperature;
    r.Sp = r.snr * r.dS / (rootN * k1 * k2);
    if (r.n1 < 0 || r.n2 < 0 || r.n1 >= x.size() || r.n2 >= x.size()) {
        r.sum = -1.0;
    } else {
        double peak = 0.0;
        for (int i = r.n1; i <= r.n2; ++i)
            peak += x.at(i);
        r.sum = r.dS * (peak / r.sigma) / rootN;
    }
    r.Sint = r.sum / (input.np * k1 * k2);
    for (const double v : {r.snr, r.Ts, r.dS, r.Sp, r.sum, r.Sint}) {
        if (!std::isfinite(v))
            return failure(overflowText());
    }
    calculation.ok = true;
    return calculation;
}

HalfWidth halfWidth(const QVector<double> &x, double H, int np, double period, int n1, int n2)
{
    HalfWidth none;
    if (x.isEmpty() || np < 1 || !(period >= 1e-5) || !std::isfinite(period) || !std::isfinite(H))
        return none;
    const int size = x.size();
    int first = n1;
    int last = n2;
    if (n1 < 1 || n2 > size - 1) {
        first = 0;
        last = size - 1;
    }
    HalfWidth w;
    w.level = H * 0.5;
    int i = first;
    while (i <= last && !(x.at(i) > w.level))
        ++i;
    if (i > last)
        return w;
    int j = i;
    for (int k = last; k > i; --k) {
        if (x.at(k) > w.level) {
            j = k;
            break;
        }
    }
    if (i > 0) {
        const double rise = x.at(i) - x.at(i - 1);
        w.i1 = i - (rise > 1e-5 ? (x.at(i) - w.level) / rise : 1.0);
    }
    if (j < size - 1) {
        const double fall = x.at(j) - x.at(j + 1);
        w.i2 = j + (fall > 1e-5 ? (x.at(j) - w.level) / fall : 1.0);
    } else {
        w.i2 = j;
    }
    if (w.i1 >= 0.0 && w.i2 >= 0.0) {
        w.p1 = w.i1 * period / np;
        w.p2 = w.i2 * period / np;
        w.w50 = (w.p2 - w.p1) * 1000.0;
    }
    for (const double v : {w.i1, w.i2, w.p1, w.p2, w.w50}) {
        if (!std::isfinite(v))
            return none;
    }
    w.found = true;
    return w;
}

double calculatorNumber(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int calculatorInteger(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

QString missingPeakAreaText(const QString &n1Text, const QString &n2Text)
{
    if (!n1Text.isEmpty() && !n2Text.isEmpty())
        return QString();
    return QStringLiteral("Select the peak area with the mouse, then click \"Calculate and Show\".");
}
