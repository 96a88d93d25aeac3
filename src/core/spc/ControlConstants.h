#pragma once
// Unbiasing constants of control charts and the estimates of the process
// standard deviation built on them.
//
// n is the number of observations behind one range, standard deviation or
// median. A request with n < 2 returns 0 and sets StatErrorCode to 1; a
// successful one leaves StatErrorCode alone.
#include "spc/SpcState.h"

namespace amx {

// Constant tables reach this size; beyond it the values are integrated.
inline constexpr int ConstantTableMax = 30;

// d2: expected range of n standard normal values.
long double D2Factor(SpcContext ctx, long long n);
// d3: standard deviation of that range.
long double D3Factor(SpcContext ctx, long long n);
// Median of that range.
long double MedianRangeFactor(SpcContext ctx, long long n);
// c4: expected sample standard deviation of n standard normal values.
long double C4Factor(SpcContext ctx, long long n);
// x times the standard deviation of the median of n standard normal values.
double MedianSDFactor(SpcContext ctx, long long n, long double x);
// d2* for g ranges of m values each (g >= 1, m >= 2). loadedCount is the
// number of values in the current sample: with 16 or more, d2* is d2(m).
double D2StarFactor(SpcContext ctx, long long g, long long m, long long loadedCount);

// Process standard deviation from a dispersion statistic of spans of n values.
// R / d2(n): average range or average moving range.
long double SigmaFromRange(SpcContext ctx, long long n, long double R);
// R / median-range factor(n): median range or median moving range.
long double SigmaFromMedianRange(SpcContext ctx, long long n, long double R);
// s / c4(n): average standard deviation, or one standard deviation of n values.
long double SigmaFromStdDev(SpcContext ctx, long long n, long double s);
// s * sqrt((n - 1) / m), m the median of chi-square with n - 1 df: median
// standard deviation.
long double SigmaFromMedianStdDev(SpcContext ctx, long long n, long double s);

}  // namespace amx
