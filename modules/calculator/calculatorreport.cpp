#include "modules/calculator/calculatorreport.h"

#include "astro/beamtables.h"
#include "astro/catalogtokvx.h"
#include "astro/ffaperiodlist.h"
#include "astro/ffaplan.h"
#include "astro/kvxtocatalog.h"

#include <QLocale>

#include <cmath>

namespace {

QString green(const QString &text)
{
    return QStringLiteral("<span style='color: green'>%1</span>").arg(text.toHtmlEscaped());
}

QString blue(const QString &text)
{
    return QStringLiteral("<span style='color: blue'>%1</span>").arg(text.toHtmlEscaped());
}

QString note(const QString &text)
{
    return QStringLiteral("<p style='color: gray'>%1</p>").arg(text.toHtmlEscaped());
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString general(double value)
{
    return QString::number(value, 'g', 10);
}

QString count(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

QString dateTime(const QDateTime &instant)
{
    return instant.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz"));
}

QString signedValue(double value, int decimals)
{
    return (value >= 0 ? QStringLiteral("+") : QString()) + fixed(value, decimals);
}

QString ffaParameters(const FfaPlan &plan)
{
    return QStringLiteral("<p><b>Parameters:</b><p>points = %1<br>tres = %2 s<br>ducy_max = %3<br>wtsp = %4<br>"
                          "bins min/max = %5 / %6<br>period min/max = %7 / %8 s")
        .arg(green(QString::number(plan.points)), green(general(plan.tresolution)), green(general(plan.ducyMax)),
             green(general(plan.wtsp)), green(QString::number(plan.binsMin)), green(QString::number(plan.binsMax)),
             green(general(plan.periodMin)), green(general(plan.periodMaxRequested)));
}

QString ffaStepRow(int index, const FfaStep &step)
{
    return QStringLiteral("<tr><td align='right'>%1</td><td align='right'>%2</td><td align='right'>%3</td>"
                          "<td align='right'>%4</td><td align='right' nowrap>%5 - %6</td><td nowrap>%7 - %8</td>"
                          "<td align='right'>%9</td></tr>")
        .arg(index)
        .arg(fixed(step.downsampling, 4), fixed(step.tau * 1000.0, 6), count(step.samples))
        .arg(step.binsFirst)
        .arg(step.binsLast)
        .arg(fixed(step.periodMin, 6), fixed(step.periodMax, 6), count(step.periodTrials));
}

} // namespace

QString CalculatorReport::title(const QString &calculator)
{
    return QStringLiteral("<p style='color: blue'><b>Calculator: %1</b></p><p>&nbsp;</p>")
        .arg(calculator.toHtmlEscaped());
}

QString CalculatorReport::errors(const QString &calculator, const QStringList &errors)
{
    QString text = title(calculator) + QStringLiteral("<p><b>Error:</b><br>");
    for (const QString &error : errors)
        text += error.toHtmlEscaped() + QStringLiteral("<br>");
    return text;
}

QString CalculatorReport::catalogToKvx(const CatalogToKvxInput &input, const CatalogToKvxResult &result)
{
    QString text = title(QStringLiteral("From catalog to KVX"));
    text += QStringLiteral("<p><b>Parameters:</b><p>alfa = %1<br>delta = %2<br>date = %3<br>plosh = %4<br>"
                           "tresolution = %5 s")
                .arg(green(input.alpha.trimmed()), green(input.delta.trimmed()), green(input.date.trimmed()),
                     green(input.plosh), green(general(result.tresolution)));
    text += QStringLiteral("<p><b>Result:</b>");
    if (result.crossings.size() > 1)
        text += QStringLiteral("<p>The source crosses the beam meridian %1 times on this telescope day.")
                    .arg(result.crossings.size());
    for (int i = 0; i < result.crossings.size(); ++i) {
        const KvxCrossing &c = result.crossings[i];
        text += QStringLiteral("<p>");
        if (result.crossings.size() > 1)
            text += QStringLiteral("<b>Crossing %1</b><br>").arg(i + 1);
        text += QStringLiteral("KVX time = %1<br>UTC = %2<br>file = %3 (or .pnthr)<br>sec from hour = %4<br>"
                               "culmination point = %5 (%6)<br>KVX delta = %7<br>alfa at point %8 = %9")
                    .arg(blue(dateTime(c.telescopeTime)), blue(dateTime(c.utc)), blue(c.fileName),
                         blue(fixed(c.secondsFromHour, 3)), blue(QString::number(c.wholePoint)), fixed(c.point, 2),
                         blue(formatSexagesimal(c.ofDate.delta * 180.0 / programPi)),
                         QString::number(c.wholePoint), blue(c.wholePointAlpha));
    }
    if (result.beam.found) {
        const double away = std::fabs(result.beam.declination
                                      - result.crossings.first().ofDate.delta * 180.0 / programPi);
        text += QStringLiteral("<p>nearest beam at %1 = %2 %3, beam %4 (delta %5, %6&deg; away)")
                    .arg(input.plosh.toHtmlEscaped(),
                         input.plosh == QLatin1String("N4") ? QStringLiteral("position") : QStringLiteral("module"))
                    .arg(result.beam.module)
                    .arg(result.beam.ray)
                    .arg(beamDeclinationText(result.beam.module, result.beam.ray, input.plosh), fixed(away, 2));
    }
    text += note(QStringLiteral("KVX time is the telescope's clock, UTC + %1 h as in the headers of the data. "
                                "Hour files begin at whole hours of it; the culmination point counts samples "
                                "from the start of the file. KVX delta is the source's declination of date, at "
                                "which the program's alpha of the beam meridian equals the catalog alpha.")
                     .arg(telescopeZoneHours));
    return text;
}

QString CalculatorReport::kvxToCatalog(const KvxToCatalogInput &input, const KvxToCatalogResult &result)
{
    const bool byPoint = input.lead == KvxTimeField::Point;
    QString text = title(QStringLiteral("From KVX to catalog"));
    text += QStringLiteral("<p><b>Parameters:</b><p>date = %1<br>%2<br>KVX delta = %3<br>tresolution = %4 s")
                .arg(green(input.date.trimmed()),
                     byPoint ? QStringLiteral("point = %1 of the hour file of %2").arg(green(input.point.trimmed()),
                                                                                      green(input.time.trimmed()))
                             : QStringLiteral("time = %1").arg(green(input.time.trimmed())),
                     green(input.delta.trimmed()), green(general(result.tresolution)));
    text += QStringLiteral("<p><b>Result:</b><p>KVX time = %1<br>UTC = %2<br>sec from hour = %3<br>point = %4")
                .arg(blue(dateTime(result.telescopeTime)), blue(dateTime(result.utc)),
                     blue(fixed(result.secondsFromHour, 3)), blue(fixed(result.point, 2)));
    text += QStringLiteral("<p>alfa 2000 = %1<br>delta 2000 = %2<br>pulsar name = %3")
                .arg(blue(result.alpha), blue(result.delta), blue(result.pulsarName));
    text += QStringLiteral("<p>alfa 2000 (Zuld) = %1<br>delta 2000 (Zuld) = %2<br>"
                           "program minus Zuld = %3 s in alfa, %4&Prime; in delta")
                .arg(blue(result.alphaRigorous), blue(result.deltaRigorous),
                     signedValue(result.alphaDifferenceSeconds, 3), signedValue(result.deltaDifferenceArcsec, 1));
    text += note(QStringLiteral("alfa and delta 2000 come from the program's own formulas, as the native module "
                                "shows them: the beam meridian's place of date taken to J2000 by a short "
                                "precession formula. Zuld is the same place of date taken to J2000 by ERFA's "
                                "IAU 2006 precession at that instant, the standard reduction."));
    return text;
}

QString CalculatorReport::ffaInfo(const FfaPlan &plan)
{
    QString text = title(QStringLiteral("FFA info")) + ffaParameters(plan);
    text += QStringLiteral("<p><b>Result:</b><p>signal length = %1 s").arg(blue(fixed(plan.points * plan.tresolution, 3)));
    if (plan.periodMaxCapped)
        text += QStringLiteral("<br>period max is cut to %1 s so that at least %2 pulses are folded")
                    .arg(blue(general(plan.periodMax)))
                    .arg(ffaMinimumPulses);
    text += QStringLiteral("<p>%1 steps; each folds the bin counts %2 - %3 of its downsampled signal:")
                .arg(plan.steps.size())
                .arg(plan.binsMin)
                .arg(plan.binsMax - 1);
    text += QStringLiteral("<table cellspacing='0' cellpadding='3' border='1'><tr><th>Step</th><th>Downsampling</th>"
                           "<th>Tau, ms</th><th>Samples</th><th>Bins</th><th>Periods, s</th><th>Trials</th></tr>");
    const int steps = plan.steps.size();
    const int head = steps > shownSteps ? shownSteps / 2 : steps;
    for (int i = 0; i < head; ++i)
        text += ffaStepRow(i + 1, plan.steps[i]);
    if (head < steps) {
        text += QStringLiteral("<tr><td colspan='7' align='center'>... steps %1 to %2 ...</td></tr>")
                    .arg(head + 1)
                    .arg(steps - shownSteps / 2);
        for (int i = steps - shownSteps / 2; i < steps; ++i)
            text += ffaStepRow(i + 1, plan.steps[i]);
    }
    text += QStringLiteral("</table>");

    QStringList widths;
    for (int width : plan.widths)
        widths << QString::number(width);
    const int averageBins = ffaAverageBins(plan.binsMin, plan.binsMax);
    text += QStringLiteral("<p>width trials = %1 bins (from 1, each next max(w + 1, floor(wtsp x w)), up to "
                           "floor(max(1, ducy_max x %2)) = %3; %2 is the average bins)")
                .arg(blue(widths.join(QStringLiteral(", "))))
                .arg(averageBins)
                .arg(std::floor(std::max(1.0, plan.ducyMax * averageBins)));
    text += QStringLiteral("<br>period trials = %1<br>periodogram = %2 cols (widths) x %3 rows (periods)")
                .arg(blue(count(plan.periodTrials)), blue(QString::number(plan.columns())), blue(count(plan.rows())));
    text += note(QStringLiteral("Each step downsamples the signal so that its periods fold into bins min to "
                                "bins max - 1 bins; a fold of m rows tries the periods tau x (bins + s / (m - 1)). "
                                "The plan follows the FFA search of Morello et al. 2020 (MNRAS 497, 4654)."));
    return text;
}

QString CalculatorReport::ffaPeriods(const FfaPlan &plan, int percent)
{
    // Short, so that it fits above the list.
    QString text = title(QStringLiteral("FFA info: periods"));
    text += QStringLiteral("<p><b>Parameters:</b> points %1, tres %2 s, bins %3 - %4, periods %5 - %6 s")
                .arg(green(QString::number(plan.points)), green(general(plan.tresolution)),
                     green(QString::number(plan.binsMin)), green(QString::number(plan.binsMax - 1)),
                     green(general(plan.periodMin)), green(general(plan.periodMax)));
    text += QStringLiteral("<p><b>Result:</b> %1 trial periods").arg(blue(count(plan.periodTrials)));
    if (percent >= 0)
        text += QStringLiteral("<p>Building the list of periods: %1 %</p>").arg(percent);
    return text;
}

QString CalculatorReport::ffaPeriodsShown(const FfaPlan &plan, const FfaPeriodListText &list)
{
    QString text = ffaPeriods(plan, -1);
    if (list.omitted > 0)
        text += QStringLiteral("<p>The list below shows the first and the last %1 periods; %2 in between are "
                               "left out.")
                    .arg(count((list.total - list.omitted) / 2), count(list.omitted));
    else
        text += QStringLiteral("<p>The list below shows every trial period with the bins it is folded into.");
    return text;
}
