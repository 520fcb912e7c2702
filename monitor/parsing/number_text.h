// Numbers as a person reads them in the monitor's windows: plain decimals,
// never an exponent, and single-precision values as the decimals they were
// written as rather than their nearest binary value.
#pragma once

#include <QString>

// d in plain notation with at most nMaxDecimals decimals and no trailing
// zeros: 1 reads "1", 0.05 "0.05", 1234567 "1234567" (never "1.23457e+06").
QString PlainNumber(double d, int nMaxDecimals = 6);

// A single-precision value with nDecimals decimals, taken from the shortest
// decimal that reads back as the same float: 0.1f reads "0.100000000" with
// nine decimals, not "0.100000001".
QString FloatDecimals(float f, int nDecimals);
