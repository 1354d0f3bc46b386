#pragma once

#include "data/nativefile.h"
#include "data/nativereader.h"

#include <QString>
#include <QVector>

// The SIGPROC filterbank file of one beam: a header of keywords between
// HEADER_START and HEADER_END, then 32-bit float samples, time-major, each
// time sample holding every frequency channel from the highest frequency
// down (the receiver's total channel is left out). Plain functions; the
// writer reads only the record it is given and writes only its target.

// Frequency channels in the order a filterbank holds them, highest first,
// and the spacing its header states.
struct FilterbankChannels
{
    QVector<int> order;   // channel indexes of the record, highest frequency first
    double fch1 = 0.0;    // MHz, the first (highest) channel
    double foff = 0.0;    // MHz, negative
};

// Fails with the user's text when the channels cannot be described by fch1
// and foff: not evenly spaced, no frequency channel, or too few frequencies.
// Channels count as evenly spaced when each lies within a hundredth of the
// spacing of its place: frequencies in passports are rounded decimals.
bool filterbankChannels(const NativeFile &file, FilterbankChannels *channels, QString *error);

// Writes the selection (one module and one beam) through an atomic save
// file. Fails with the user's text, leaving no file behind and an existing
// target unchanged; the progress receives the share of points written and
// may stop the writer. A mapped file is read a piece at a time and each
// piece's pages are given back, so memory holds no copy of the file.
bool writeFilterbank(const QString &path, const NativeFile &file, const NativeSelection &selection,
                     QString *error, const NativeProgress &progress = {});
