#pragma once

#include <QVector>
#include <QtGlobal>

#include <vector>

// Building blocks of the dispersed channel sums, shared by dispersedChannelSum
// and ChannelSumStream so that both add the same values in the same order and
// give bit-identical sums. Plain functions without state.
namespace channelsum {

// Delays of the frequency channels 0 .. nChannels - 2 against the last one,
// in whole samples (rounded half away from zero, saturated to 32 bits).
// False when no sum can be computed: fewer than two channels, too few
// frequencies, a zero frequency, a zero sample interval or a NaN delay.
bool channelDelays(const QVector<double> &fbands, int nChannels, double dm, double tresolution,
                   std::vector<qint32> *delays);

// Writes into acc[0 .. n) the sum of n values of every channel, adding the
// channels from the last down to 0 onto 0.0. source[c] points at channel c's
// first value; usable[c] of them exist (the rest count as 0).
void addChannels(double *acc, const std::vector<const float *> &source, const std::vector<qint64> &usable,
                 qint64 n);

// Copies `rows` rows of nFreq little-endian floats, the first row starting at
// float index `first` of `bytes` and the rows rowStride floats apart, into
// channel-major columns columnStride floats apart. Floats at index `count`
// and beyond read 0. When plainSums is set, plainSums[k] also receives row
// k's channels added from the last down to 0 onto 0.0, the order and values
// of addChannels, so an undispersed sum needs no second pass; scratch may
// then be null when the columns are not wanted.
void copyRows(const uchar *bytes, qint64 count, qint64 first, qint64 rowStride, qint64 rows, int nFreq,
              float *scratch, qint64 columnStride, double *plainSums = nullptr);

// Column stride for columns of `rows` floats: an odd number of cache lines, so
// that the scattered writes of one row do not all fall into one cache set.
qint64 columnStride(qint64 rows);

} // namespace channelsum
