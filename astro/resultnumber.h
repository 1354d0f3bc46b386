#pragma once

#include <QString>

// Decimals of the result numbers of the profiles module and its flux density
// calculator: 1 above 100, 2 from 1 up, two significant figures below 1
// (2 decimals for 0.1 .. 1, one more for each further leading zero), 8 below
// 1e-8 (zero and negative values included).
int resultDecimals(double value);

// The value in fixed notation with its result decimals plus extraDecimals.
QString resultNumberText(double value, int extraDecimals = 0);
