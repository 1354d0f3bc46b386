#include "astro/catalogtokvx.h"

#include "astro/beamtables.h"
#include "astro/calculatorinput.h"
#include "astro/filenames.h"
#include "astro/kvxtocatalog.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 hourMs = 3600 * 1000;
// The program's alpha jumps where the UTC date changes (its precession counts
// whole days), near the pole by up to about a second. A crossing that falls
// into such a jump is taken at the end of the hour before it.
constexpr double jumpSlackSeconds = 2.0;

struct Candidate
{
    KvxCrossing crossing;
    bool clamped = false;
};

} // namespace

NearestBeam nearestBeam(const QString &plosh, double declinationDegrees)
{
    NearestBeam nearest;
    for (int module = 1; module <= 20; ++module) {
        for (int ray = 1; ray <= 8; ++ray) {
            const double beam = beamDeclination(module, ray, plosh);
            if (beam < -100.0)
                continue;
            if (!nearest.found
                || std::fabs(beam - declinationDegrees) < std::fabs(nearest.declination - declinationDegrees)) {
                nearest = {true, module, ray, beam};
            }
        }
    }
    return nearest;
}

CatalogToKvxResult catalogToKvx(const CatalogToKvxInput &input)
{
    CatalogToKvxResult result;
    double alphaSeconds = 0.0;
    if (!parseAlphaSeconds(input.alpha, &alphaSeconds))
        result.errors << QStringLiteral("Catalog alfa: enter the right ascension as hh:mm:ss or hh:mm:ss.ss "
                                        "(hours 0 to 23).");
    double delta = 0.0;
    if (!parseDeclination(input.delta, &delta))
        result.errors << QStringLiteral("Catalog delta: enter the declination as dd:mm:ss, dd mm ss or "
                                        "decimal degrees, from -90 to 90.");
    QDate date;
    if (!parseCalculatorDate(input.date, &date))
        result.errors << QStringLiteral("KVX date: enter the date as dd.MM.yyyy, for example 01.04.2015.");
    if (!isKnownPlosh(input.plosh))
        result.errors << QStringLiteral("Plosh: select the site N0, N1, N2 or N4.");
    double tres = 0.0;
    if (!parseCalculatorNumber(input.tresolution, &tres) || !(tres > 0))
        result.errors << QStringLiteral("Tresolution: select a sample interval above 0 s.");
    if (!result.errors.isEmpty())
        return result;

    result.catalog = {alphaSeconds / 3600.0 * programPi / 12.0, delta};
    result.tresolution = tres;

    // Hour files begin at whole hours of telescope time, which are whole
    // hours of UTC too: within one file the UTC date, and with it the place
    // of date, stays the same, and the meridian's alpha grows steadily.
    QVector<Candidate> candidates;
    for (int hour = 0; hour < 24; ++hour) {
        const QDateTime hourStart(date, QTime(hour, 0), Qt::UTC);
        const QDateTime hourStartUtc = hourStart.addSecs(-qint64(telescopeZoneHours) * 3600);
        EquatorialCoords ofDate;
        if (!precessFromJ2000(result.catalog, precessionYears(hourStartUtc.date()), &ofDate)) {
            result.errors << QStringLiteral("Catalog delta: the source is too close to the pole for the "
                                            "program's precession formula.");
            return result;
        }
        double seconds = secondsToMeridianAlpha(hourStartUtc, ofDate.alpha, ofDate.delta);
        if (!std::isfinite(seconds)) {
            result.errors << QStringLiteral("Catalog delta: the telescope's beam formula has no solution at "
                                            "this declination.");
            return result;
        }
        // The last hour's passages past its end belong to the next day.
        if (seconds >= 3600.0 + (hour < 23 ? jumpSlackSeconds : 0.0))
            continue;
        Candidate candidate;
        const qint64 ms = qMin(qint64(std::llround(seconds * 1000.0)), hourMs - 1);
        if (seconds >= 3600.0) {
            candidate.clamped = true;
            seconds = double(ms) / 1000.0;
        }
        KvxCrossing &crossing = candidate.crossing;
        crossing.telescopeTime = hourStart.addMSecs(ms);
        crossing.utc = hourStartUtc.addMSecs(ms);
        crossing.hourStartUtc = hourStartUtc;
        crossing.fileName = hourFileBaseName(hourStart, input.plosh) + QStringLiteral(".pnt");
        crossing.secondsFromHour = seconds;
        crossing.point = seconds / tres;
        crossing.wholePoint = qMin(qint64(std::llround(crossing.point)), lastPointOfHour(tres));
        crossing.wholePointAlpha = alphaTextAtPoint(hourStartUtc, tres, ofDate.delta, double(crossing.wholePoint),
                                                    autoAlphaDecimals(tres));
        crossing.ofDate = ofDate;
        candidates.append(candidate);
    }

    // One passage may show in two neighbouring hours (at an end of one and the
    // start of the next); passages of one day are a sidereal day apart.
    for (int i = 0; i < candidates.size();) {
        int end = i + 1;
        while (end < candidates.size()
               && candidates[i].crossing.utc.secsTo(candidates[end].crossing.utc) < 60)
            ++end;
        const auto chosen = std::find_if(candidates.begin() + i, candidates.begin() + end,
                                         [](const Candidate &c) { return !c.clamped; });
        result.crossings.append(chosen != candidates.begin() + end ? chosen->crossing : candidates[i].crossing);
        i = end;
    }

    if (result.crossings.isEmpty()) {
        result.errors << QStringLiteral("The beam meridian does not reach this source on this date.");
        return result;
    }
    result.beam = nearestBeam(input.plosh, result.crossings.first().ofDate.delta * 180.0 / programPi);
    return result;
}
