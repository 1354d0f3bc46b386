#pragma once

#include <QVector>

struct NativeFile;

// Dispersion constant, seconds * MHz^2 per unit of DM.
constexpr double dispersionConstant = 4148.8;

// Delay of f2 against f1 in sample points: (1/f2^2 - 1/f1^2) * 4148.8 * dm / tres;
// 0 when f1, f2 or tres is 0.
double dispersionDelayPoints(double f1, double f2, double dm, double tres);

// Sum over the frequency channels of one module and ray, each channel shifted
// by its dispersion delay against the last frequency channel. Writes count
// values into out and returns count, or -1 (out untouched) when nothing can be
// computed, or -1 (out emptied) when the mapped file shrank on disk while it
// was read. Module and ray are 0-based indexes. Outputs whose shifted samples
// reach before the first point repeat the first complete sum, those reaching
// past the last point repeat the last one (0 when no sum is complete).
int dispersedChannelSum(const NativeFile &data, QVector<double> *out, int firstPoint, double dm,
                        int moduleIndex, int rayIndex, int count);
