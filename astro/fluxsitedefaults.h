#pragma once

#include <QString>

#include <optional>

// What the flux density calculator's fields take from a profile file when it
// is shown: the site's sensitivity, the length of the source data segment and
// the cosine correction; and the temperatures "Clear" restores. Pure functions.

struct FluxSiteDefaults
{
    enum class Cosine { Unchanged, Off, On };

    QString site;                         // from the file name; empty when it names none
    QString sens;                         // empty: the field stays as it is
    QString n0;                           // empty: the field stays as it is
    Cosine cosine = Cosine::Unchanged;
    QString cosText;                      // with Off or On
    QString nText;                        // empty: the field stays as it is
};

// The site comes from the file name by the site rules. Sites other than N4
// (and a name without site) switch the cosine correction off with n = n0; N4
// with a known declination switches it on with n = n0 / cos(delta) when the
// cosine exceeds 1e-5. currentN0 is the field's text, used when the site
// sets none.
FluxSiteDefaults fluxSiteDefaults(const QString &fileName, const QString &currentN0,
                                  std::optional<double> deltaDegrees);

// The declination that a file name gives (coordinates in the name, else the
// beam tables of its site, module and ray), in degrees.
std::optional<double> fileNameDeclinationDegrees(const QString &fileName);

QString defaultT178Text();
QString defaultTrText();
