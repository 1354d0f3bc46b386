#include "astro/ffaplan.h"

#include "astro/calculatorinput.h"

#include <cmath>

namespace {

// Bin counts beyond this are no FFA search; the bound keeps the arithmetic in range.
constexpr qint64 largestBins = 10000000;
// Relative slack of the comparisons of periods that come from different roundings.
constexpr double periodSlack = 1e-9;

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

bool readWhole(const QString &text, qint64 low, qint64 high, qint64 *value)
{
    return parseCalculatorWholeNumber(text, value) && *value >= low && *value <= high;
}

} // namespace

double FfaPlan::trialPeriod(const FfaFold &fold, qint64 s) const
{
    return steps[fold.step].tau * (fold.bins + double(s) / double(fold.rows - 1));
}

int ffaAverageBins(int binsMin, int binsMax)
{
    return (binsMin + binsMax - 1) / 2;
}

QVector<int> ffaWidthTrials(int averageBins, double ducyMax, double wtsp)
{
    QVector<int> widths;
    const double widest = std::floor(std::max(1.0, ducyMax * averageBins));
    double width = 1.0;
    while (width <= widest) {
        widths.append(int(width));
        width = std::max(width + 1.0, std::floor(wtsp * width));
    }
    return widths;
}

QString ffaBoundPeriodMinText(const QString &binsMin, const QString &tresolution)
{
    qint64 bins = 0;
    double tres = 0.0;
    if (!readWhole(binsMin, 1, largestBins, &bins) || !parseCalculatorNumber(tresolution, &tres) || !(tres > 0))
        return QString();
    return QString::number(double(bins) * tres, 'g', 12);
}

FfaPlan ffaPlan(const FfaInput &input)
{
    FfaPlan plan;
    QStringList &errors = plan.errors;
    qint64 points = 0;
    const bool pointsOk = readWhole(input.points, 1, qint64(1) << 50, &points);
    if (!pointsOk)
        errors << QStringLiteral("Points in signal: enter a whole number above 0.");
    double tres = 0.0;
    const bool tresOk = parseCalculatorNumber(input.tresolution, &tres) && tres > 0;
    if (!tresOk)
        errors << QStringLiteral("Tres: select a sample interval above 0 s.");
    double ducy = 0.0;
    if (!parseCalculatorNumber(input.ducyMax, &ducy) || !(ducy > 0 && ducy < 1))
        errors << QStringLiteral("Ducy_max: enter a duty cycle above 0 and below 1.");
    double wtsp = 0.0;
    if (!parseCalculatorNumber(input.wtsp, &wtsp) || !(wtsp >= 1))
        errors << QStringLiteral("Wtsp: enter a growth factor of the widths of at least 1.");
    qint64 binsMin = 0;
    const bool binsMinOk = readWhole(input.binsMin, 2, largestBins - 1, &binsMin);
    if (!binsMinOk)
        errors << QStringLiteral("Bins min: enter a whole number of at least 2.");
    qint64 binsMax = 0;
    const bool binsMaxOk = readWhole(input.binsMax, 3, largestBins, &binsMax);
    if (!binsMaxOk)
        errors << QStringLiteral("Bins max: enter a whole number of at least 3.");
    else if (binsMinOk && binsMax <= binsMin)
        errors << QStringLiteral("Bins max must be above bins min.");

    const bool finestOk = binsMinOk && tresOk;
    const double finest = double(binsMin) * tres;  // one sample per bin
    double periodMin = finest;
    bool periodMinOk = finestOk;
    if (!input.periodMinBoundToBins) {
        periodMinOk = parseCalculatorNumber(input.periodMin, &periodMin) && periodMin > 0;
        if (!periodMinOk)
            errors << QStringLiteral("Period min: enter a period above 0 s.");
        else if (finestOk && periodMin < finest * (1.0 - periodSlack))
            errors << QStringLiteral("Period min must be at least bins min x tres = %1 s: a fold cannot have "
                                     "more bins than samples.")
                          .arg(number(finest));
        else if (finestOk)
            periodMin = std::max(periodMin, finest);
    }
    double periodMax = 0.0;
    const bool periodMaxOk = parseCalculatorNumber(input.periodMax, &periodMax) && periodMax > 0;
    if (!periodMaxOk)
        errors << QStringLiteral("Period max: enter a period above 0 s.");
    else if (periodMinOk && periodMax <= periodMin)
        errors << QStringLiteral("Period max must be above period min.");
    if (!errors.isEmpty())
        return plan;

    const double duration = double(points) * tres;
    const double longest = duration / ffaMinimumPulses;
    if (duration < periodMin) {
        errors << QStringLiteral("The signal (%1 s) is shorter than one fold at period min.").arg(number(duration));
        return plan;
    }
    if (longest <= periodMin) {
        errors << QStringLiteral("The signal is too short to fold %1 pulses of period min: that needs at least "
                                 "%2 points.")
                      .arg(ffaMinimumPulses)
                      .arg(qint64(std::floor(ffaMinimumPulses * periodMin / tres)) + 1);
        return plan;
    }
    const double growth = double(binsMax) / double(binsMin);
    const double searched = std::min(periodMax, longest);
    const double stepCount = std::ceil(std::log(searched / periodMin) / std::log(growth));
    if (stepCount * double(binsMax - binsMin) > ffaMaximumFolds) {
        errors << QStringLiteral("The plan would fold more than %1 bin counts: narrow the periods or widen the "
                                 "bins range.")
                      .arg(ffaMaximumFolds);
        return plan;
    }

    plan.points = points;
    plan.tresolution = tres;
    plan.ducyMax = ducy;
    plan.wtsp = wtsp;
    plan.binsMin = int(binsMin);
    plan.binsMax = int(binsMax);
    plan.periodMin = periodMin;
    plan.periodMaxRequested = periodMax;
    plan.periodMax = searched;
    plan.periodMaxCapped = longest < periodMax;

    // Step i folds at the effective interval tau_i = tau_0 x growth^i, so that
    // its bin counts [bins min, bins max) cover the periods from where the
    // step before stopped.
    const double firstTau = periodMin / double(binsMin);
    for (int i = 0;; ++i) {
        FfaStep step;
        step.tau = firstTau * std::pow(growth, i);
        step.periodMin = double(binsMin) * step.tau;
        if (step.periodMin >= searched * (1.0 - periodSlack))
            break;
        step.downsampling = step.tau / tres;
        step.samples = qint64(std::floor(duration / step.tau * (1.0 + periodSlack)));
        step.periodMax = std::min(double(binsMax) * step.tau, searched);
        const double top = searched / step.tau;
        for (qint64 bins = binsMin; bins < binsMax && bins < top; ++bins) {
            FfaFold fold;
            fold.step = plan.steps.size();
            fold.bins = int(bins);
            fold.rows = step.samples / bins;
            if (fold.rows < 2)
                continue;
            const double span = std::min(top, double(bins) + 1.0) - double(bins);
            fold.periodTrials = qBound(qint64(0), qint64(std::ceil(span * double(fold.rows - 1) - periodSlack)),
                                       fold.rows - 1);
            if (fold.periodTrials == 0)
                continue;
            if (step.periodTrials == 0)
                step.binsFirst = fold.bins;
            step.binsLast = fold.bins;
            step.periodTrials += fold.periodTrials;
            plan.folds.append(fold);
        }
        plan.periodTrials += step.periodTrials;
        plan.steps.append(step);
    }
    plan.widths = ffaWidthTrials(ffaAverageBins(plan.binsMin, plan.binsMax), ducy, wtsp);
    return plan;
}
