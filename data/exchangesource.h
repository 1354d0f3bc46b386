#pragma once

#include "data/nativefile.h"

#include <QString>

// What the field's exchange formats (SIGPROC filterbank, PRESTO time series)
// say about the source of an exported selection: a name and a J2000 place.
// A value computed from a loaded record; no state.
struct ExchangeSource
{
    QString name;
    bool hasAlpha = false;
    double alphaSeconds = 0.0;    // seconds of time, [0, 86400)
    bool hasDelta = false;
    double deltaArcseconds = 0.0; // signed
};

// The passport's source, alpha and delta. A missing delta is the selection's
// (the beam's declination); a missing alpha is where the beam looks at the
// middle of the selection, which a meridian instrument knows from its clock.
// The name falls back to the pulsar J-name of that place and then to the
// observation file's name; at site N4 the source field holds the receiver's
// position code, not a name.
ExchangeSource exchangeSource(const NativeFile &file, const NativeSelection &selection);

// Sexagesimal fields of a value in seconds of time or of arc, rounded to
// `decimals` decimals of the last field with the carries done.
struct SexagesimalFields
{
    bool negative = false;
    qint64 whole = 0;     // hours or degrees
    int minutes = 0;
    double seconds = 0.0;
};
SexagesimalFields sexagesimalFields(double seconds, int decimals);

// "hh:mm:ss.ssss" style text with two-digit fields, a "-" for negative values.
QString sexagesimalText(double seconds, int decimals);
// The SIGPROC form hhmmss.s of a value: whole * 10000 + minutes * 100 + seconds, signed.
double sigprocSexagesimal(double seconds);

// The width of the first channel from the passport's channel widths ("wbands",
// MHz, blank-separated); 0 when it gives none. What a file of one frequency
// channel says of its band.
double firstChannelWidth(const NativeFile &file);
