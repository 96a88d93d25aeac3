#pragma once
// The specification limits of the column being reported and the capability
// indices computed against them. Called with the within-subgroup sigma they
// give Cp and Cpk; with the overall sigma, Pp and Ppk.
#include "spc/SpcState.h"

namespace amx {

// Capability models: 0 or 1 the normal model; 2 or more the fitted
// distribution, whose spread and distribution function the fitting stores.
inline constexpr int CapabilityNormalModel = 0;
inline constexpr int CapabilityDistributionModel = 2;

// MissingValue for a value not given.
void SetSpecLimits(SpcState& spc, double LSL, double Target, double USL);

// Cp (Pp): the tolerance over the process spread; one-sided, twice the
// distance from the centre to the limit over the spread. The normal model
// first stores 6 sigma as the spread. 0 when no limit is given or sigma is
// not positive (or, in the distribution model, no spread has been stored).
double CapabilityCp(SpcState& spc, int mode, long double centre, long double sigma);
// Cpk (Ppk): the distance from the centre to the nearer limit in units of
// 3 sigma. In the distribution model, z/3 where z is the normal value whose
// upper tail equals the larger fraction beyond a limit under the fitted
// distribution. 0 when not computable.
double CapabilityCpk(SpcState& spc, int mode, long double centre, long double sigma);
// Cpm: like Cp but about the target, tau^2 = sigma^2 + (centre - target)^2
// n/(n - 1). n is the number of values; 0 when not computable.
double CapabilityCpm(SpcState& spc, long long n, long double centre, long double sigma);

}  // namespace amx
