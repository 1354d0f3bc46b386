#pragma once

#include <QVector>

struct NativeFile;

// Sum over the frequency channels of one module and ray of a loaded record,
// each channel shifted by its dispersion delay (astro/dispersion.h) against
// the last frequency channel. Writes count values into out and returns count,
// or -1 (out untouched) when nothing can be computed, or -1 (out emptied) when
// the mapped file shrank on disk while it was read. Module and ray are 0-based
// indexes. Outputs whose shifted samples reach before the first point repeat
// the first complete sum, those reaching past the last point repeat the last
// one (0 when no sum is complete). Reads only the record; any thread.
int dispersedChannelSum(const NativeFile &data, QVector<double> *out, int firstPoint, double dm,
                        int moduleIndex, int rayIndex, int count);
