#pragma once

// Dispersion constant, seconds * MHz^2 per unit of DM.
constexpr double dispersionConstant = 4148.8;

// Delay of f2 against f1 in sample points: (1/f2^2 - 1/f1^2) * 4148.8 * dm / tres;
// 0 when f1, f2 or tres is 0.
double dispersionDelayPoints(double f1, double f2, double dm, double tres);
