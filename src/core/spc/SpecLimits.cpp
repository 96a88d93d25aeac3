#include "spc/SpecLimits.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"
#include "engine/distributions/Distributions.h"

namespace amx {

void SetSpecLimits(SpcState& spc, double LSL, double Target, double USL) {
    SpecLimitsStore& s = spc.SpecLimits;
    s.LSL = LSL;
    s.Target = Target;
    s.USL = USL;
    s.HaveLSL = NotMissing(LSL);
    s.HaveTarget = NotMissing(Target);
    s.HaveUSL = NotMissing(USL);
    s.HaveAnySpec = s.HaveLSL || s.HaveTarget || s.HaveUSL;
    s.HaveUSLorLSL = s.HaveLSL || s.HaveUSL;
    s.TwoSided = s.HaveLSL && s.HaveUSL;
    if (s.TwoSided) s.Tolerance = USL - LSL;
    s.LSLText = s.HaveLSL ? FormatGeneral(LSL) : std::string();
    s.TargetText = s.HaveTarget ? FormatGeneral(Target) : std::string();
    s.USLText = s.HaveUSL ? FormatGeneral(USL) : std::string();
    s.SpecsInOrder = (s.TwoSided && USL > LSL) || (s.HaveTarget && s.HaveLSL && Target > LSL) ||
                     (s.HaveUSL && s.HaveTarget && USL > Target);
}

double CapabilityCp(SpcState& spc, int mode, long double centre, long double sigma) {
    SpecLimitsStore& s = spc.SpecLimits;
    if (mode <= 1) s.ProcessSpread = static_cast<double>(6.0L * sigma);
    if (!s.HaveUSLorLSL || !(sigma > 0.0L)) return 0.0;
    const long double spread = s.ProcessSpread;
    if (!(spread > 0.0L)) return 0.0;
    if (s.TwoSided) return static_cast<double>((s.USL - static_cast<long double>(s.LSL)) / spread);
    if (s.HaveUSL) return static_cast<double>(2.0L * (s.USL - centre) / spread);
    return static_cast<double>(2.0L * (centre - s.LSL) / spread);
}

double CapabilityCpk(SpcState& spc, int mode, long double centre, long double sigma) {
    const SpecLimitsStore& s = spc.SpecLimits;
    if (!s.HaveUSLorLSL || !(sigma > 0.0L)) return 0.0;
    if (mode <= 1) {
        const long double upper = (s.USL - centre) / (3.0L * sigma);
        const long double lower = (centre - s.LSL) / (3.0L * sigma);
        if (s.TwoSided) return static_cast<double>(std::min(upper, lower));
        return static_cast<double>(s.HaveUSL ? upper : lower);
    }
    if (!s.FittedCDF) return 0.0;
    const long double pU = s.HaveUSL ? 1.0L - s.FittedCDF(s.USL) : 0.0L;
    const long double pL = s.HaveLSL ? s.FittedCDF(s.LSL) : 0.0L;
    return static_cast<double>(InvNormal(1, std::max(pU, pL)) / 3.0L);
}

double CapabilityCpm(SpcState& spc, long long n, long double centre, long double sigma) {
    const SpecLimitsStore& s = spc.SpecLimits;
    if (!s.HaveTarget || !s.HaveUSLorLSL || !(sigma > 0.0L) || n == 0 || n == 1) return 0.0;
    const long double offset = centre - s.Target;
    long double tau2 = sigma * sigma;
    // Off-target variance with the n - 1 divisor; a negative n marks a caller
    // that wants the plain squared offset.
    if (n >= 2) tau2 += offset * offset * n / (n - 1.0L);
    else tau2 += offset * offset;
    const long double tau = std::sqrt(tau2);
    if (s.TwoSided) return static_cast<double>((s.USL - static_cast<long double>(s.LSL)) / (6.0L * tau));
    if (s.HaveUSL) return static_cast<double>((s.USL - centre) / (3.0L * tau));
    return static_cast<double>((centre - s.LSL) / (3.0L * tau));
}

}  // namespace amx
