// The distribution of the studentized range Q = range of r standard normal
// means / (s/σ), s with v degrees of freedom.
//
//   P(Q < q) = ∫₀^∞ f_v(s) W(q·s) ds,   W(w) = r ∫ φ(z) [Φ(z + w) - Φ(z)]^(r-1) dz,
//
// with f_v the density of s = √(χ²_v / v). This is the double integral of
// Copenhaver and Holland (J. Statist. Comput. Simul. 30, 1988) and of Lund and
// Lund's AS 190 (Applied Statistics 32, 1983); both integrals are taken here by
// composite 16-point Gauss-Legendre quadrature on panels sized to the
// integrands, for every v (no switch to v = ∞ above 120 df). The inner
// integral is of the complement 1 - W, so upper tails keep about 9
// significant digits down to 1e-12.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "common/CommonState.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {

namespace {

constexpr int kGaussPoints = 16;

struct GaussLegendre {
    std::array<double, kGaussPoints> node{}, weight{};
};

// Nodes and weights on [-1, 1] by Newton's method on the Legendre polynomial
// (Press et al., Numerical Recipes, 2nd ed., 4.5, routine gauleg).
GaussLegendre MakeGaussLegendre() {
    GaussLegendre g;
    const int n = kGaussPoints;
    const long double pi = 3.14159265358979323846264338327950288L;
    for (int i = 0; i < (n + 1) / 2; ++i) {
        long double z = std::cos(pi * (i + 0.75L) / (n + 0.5L)), pp = 0.0L;
        for (int it = 0; it < 100; ++it) {
            long double p1 = 1.0L, p2 = 0.0L;
            for (int j = 1; j <= n; ++j) {
                const long double p3 = p2;
                p2 = p1;
                p1 = ((2.0L * j - 1.0L) * z * p2 - (j - 1.0L) * p3) / j;
            }
            pp = n * (z * p1 - p2) / (z * z - 1.0L);
            const long double z1 = z;
            z = z1 - p1 / pp;
            if (std::fabs(z - z1) < 1e-19L) break;
        }
        const long double w = 2.0L / ((1.0L - z * z) * pp * pp);
        g.node[i] = static_cast<double>(-z);
        g.node[n - 1 - i] = static_cast<double>(z);
        g.weight[i] = g.weight[n - 1 - i] = static_cast<double>(w);
    }
    return g;
}

const GaussLegendre& Gauss() {
    static const GaussLegendre g = MakeGaussLegendre();
    return g;
}

double UpperPhi(double z) { return 0.5 * std::erfc(z * 0.70710678118654752440); }

// Quadrature nodes of the inner integral over z in [-12, 9]: below -12 the
// integrand is under r·φ(z), whose mass there (1e-33) is beyond the digits
// of the smallest tail computed; above 9 it is under φ(z)·(1 - Φ(z)).
// Weight·φ(z) and 1 - Φ(z) are kept for reuse.
struct InnerNodes {
    std::vector<double> z, wphi, upper;
};

const InnerNodes& Inner() {
    static const InnerNodes nodes = [] {
        InnerNodes in;
        const GaussLegendre& g = Gauss();
        const double lo = -12.0, width = 1.0;
        const int panels = 21;
        for (int k = 0; k < panels; ++k) {
            const double a = lo + k * width, mid = a + width / 2;
            for (int i = 0; i < kGaussPoints; ++i) {
                const double z = mid + width / 2 * g.node[i];
                in.z.push_back(z);
                in.wphi.push_back(width / 2 * g.weight[i] * 0.39894228040143267794 *
                                  std::exp(-0.5 * z * z));
                in.upper.push_back(UpperPhi(z));
            }
        }
        return in;
    }();
    return nodes;
}

// 1 - W(w): probability that the range of r standard normals exceeds w.
// With the smallest value at z, the others lie above it with probability
// U(z)^(r-1), U = 1 - Φ, and within w of it with (U(z) - U(z + w))^(r-1), so
//   1 - W(w) = r ∫ φ(z) U(z)^(r-1) [1 - (1 - U(z + w)/U(z))^(r-1)] dz,
// every term positive and the bracket from expm1 and log1p: the far tail
// keeps its relative accuracy instead of being the difference of W from 1,
// which leaves double rounding (1e-16) as the error of a 1e-9 tail.
double RangeExceeds(double w, int r) {
    if (w <= 0.0) return 1.0;
    const InnerNodes& in = Inner();
    double sum = 0.0;
    for (size_t k = 0; k < in.z.size(); ++k) {
        const double a = in.upper[k];
        if (!(a > 0.0)) continue;
        const double ratio = UpperPhi(in.z[k] + w) / a;
        const double bracket = -std::expm1((r - 1) * std::log1p(-ratio));
        sum += in.wphi[k] * std::pow(a, r - 1) * bracket;
    }
    return std::min(1.0, r * sum);
}

// Upper tail P(Q > q) for v df (v >= 1, r >= 2, q > 0).
double RangeUpper(int v, int r, double q) {
    const double nu = static_cast<double>(v);
    const GaussLegendre& g = Gauss();
    // ln f_v(s) = ln 2 + (v/2) ln(v/2) - ln Γ(v/2) + (v - 1) ln s - v s²/2
    const double lnConst = std::log(2.0) + 0.5 * nu * std::log(0.5 * nu) - std::lgamma(0.5 * nu);
    const double mode = std::sqrt((nu - 1.0) / nu);
    const double sd = 1.0 / std::sqrt(2.0 * nu);
    const double lo = std::max(0.0, mode - 13.0 * sd);
    const double hi = mode + 13.0 * sd;
    // Panels sized to f_v, split further where 1 - W(q·s) falls from 1 to 0,
    // over s in about [0.5/q, 17/q]. For large q and few df that span lies
    // within one or two density panels, too narrow a step for their nodes
    // (at v = 1, q = 30 and 50 means the tail came out 7e-4 too high); where it
    // spans many panels they resolve it already.
    std::vector<double> cuts;
    const int panels = 13;
    for (int k = 0; k <= panels; ++k) cuts.push_back(lo + (hi - lo) * k / panels);
    if (16.5 / q < 8.0 * (hi - lo) / panels) {
        for (double w : {0.5, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 11.0, 17.0}) {
            const double s = w / q;
            if (s > lo && s < hi) cuts.push_back(s);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    double mass = 0.0, tail = 0.0;
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double width = cuts[k + 1] - cuts[k];
        if (!(width > 0.0)) continue;
        const double mid = cuts[k] + width / 2;
        for (int i = 0; i < kGaussPoints; ++i) {
            const double s = mid + width / 2 * g.node[i];
            const double dens =
                std::exp(lnConst + (nu - 1.0) * std::log(s) - 0.5 * nu * s * s);
            const double wt = width / 2 * g.weight[i] * dens;
            mass += wt;
            tail += wt * RangeExceeds(q * s, r);
        }
    }
    // Dividing by the quadrature's own mass of f_v cancels most of its error.
    return std::clamp(tail / mass, 0.0, 1.0);
}

}  // namespace

long double StudentizedRangeProb(CommonState& cs, int v, int r, long double q) {
    if (r < 2) {
        cs.StatErrorCode = StatOutOfRange;
        return 0.0L;
    }
    if (v < 1) {
        cs.StatErrorCode = StatOutOfRange;
        return 0.0L;
    }
    if (q <= 0.0L) return 1.0L;
    return RangeUpper(v, r, static_cast<double>(q));
}

long double StudentizedRangeInv(CommonState& cs, int v, int r, long double p) {
    if (!(p > 0.0L && p < 1.0L) || r <= 0 || v < 1) return 0.0L;
    if (r == 1) return 2.0L * InvT(cs, 1, v, p / 2.0L);
    auto upper = [&](double q) { return RangeUpper(v, r, q) - static_cast<double>(p); };
    // Bracket the root: the upper tail falls from 1 at q = 0.
    double lo = 4.0;
    double flo = upper(lo);
    for (int i = 0; i < 80 && flo < 0.0; ++i) flo = upper(lo /= 2.0);
    double hi = lo, fhi = flo;
    for (int i = 0; i < 2000 && fhi > 0.0; ++i) fhi = upper(hi *= 2.0);
    if (flo < 0.0 || fhi > 0.0) return hi;
    if (hi == lo) {
        hi = lo * 2.0;
        fhi = upper(hi);
    }
    // Regula falsi with the Illinois modification (Dowell and Jarratt, BIT 11,
    // 1971): bracketed and superlinear.
    int side = 0;
    double mid = lo;
    for (int it = 0; it < 200; ++it) {
        mid = (lo * fhi - hi * flo) / (fhi - flo);
        if (!(mid > lo && mid < hi)) mid = 0.5 * (lo + hi);
        const double fm = upper(mid);
        if (fm == 0.0) return mid;
        if ((fm > 0.0) == (flo > 0.0)) {
            lo = mid;
            flo = fm;
            if (side == -1) fhi /= 2.0;
            side = -1;
        } else {
            hi = mid;
            fhi = fm;
            if (side == 1) flo /= 2.0;
            side = 1;
        }
        if (hi - lo < 1e-11 * hi) break;
    }
    return mid;
}

}  // namespace amx
