#include "engine/distributions/Distributions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/CommonState.h"
#include "common/NumberText.h"
#include "engine/EngineState.h"
#include "engine/discrete/Discrete.h"
#include "engine/distributions/RandomDeviates.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {

namespace {

constexpr long double kInvSqrt2 = 0.707106781186547524400844362104849039L;
constexpr long double kLnSqrt2Pi = 0.918938533204672741780329736405617639861L;
constexpr long double kPi = 3.14159265358979323846264338327950288L;

// Both tails of a distribution at one point, each computed so that it keeps
// its relative accuracy when small.
struct Tails {
    long double lower;
    long double upper;
};

// Standard normal tails from the complementary error function of the C
// library (accurate to a few units in the last place of extended precision
// down to 1e-4900), in place of a polynomial that carries only 7 digits.
Tails NormalTails(long double z) {
    return {0.5L * std::erfc(-z * kInvSqrt2), 0.5L * std::erfc(z * kInvSqrt2)};
}

// Student's t with df ν > 0 through the incomplete beta function:
// P(|T| > t) = I_{ν/(ν+t²)}(ν/2, 1/2) (Abramowitz and Stegun 26.7.1, 26.5.27),
// for whole and fractional ν alike.
// Above 1e9 df the beta route loses digits: x = ν/(ν+t²) sits within t²/ν of
// 1 and I_x(ν/2, ½) amplifies its rounding by ν/2. There the asymptotic
// series in 1/ν (Abramowitz and Stegun 26.7.8 with five correction terms) is
// exact to extended precision while t⁴ is below ν/10⁴.
bool TTailsLargeDf(long double df, long double t, Tails& out) {
    const long double x = t * t;
    if (df < 1e9L || x * x > 1e-4L * df) return false;
    const long double at = std::fabs(t);
    const long double x2 = x * x, x3 = x2 * x, x4 = x3 * x, x5 = x4 * x, x6 = x5 * x,
                      x7 = x6 * x, x8 = x7 * x, x9 = x8 * x;
    const long double g1 = (x + 1.0L) / 4.0L;
    const long double g2 = (3.0L * x3 - 7.0L * x2 - 5.0L * x - 3.0L) / 96.0L;
    const long double g3 = (x5 - 11.0L * x4 + 14.0L * x3 + 6.0L * x2 - 3.0L * x - 15.0L) / 384.0L;
    const long double g4 = (15.0L * x7 - 375.0L * x6 + 2225.0L * x5 - 2141.0L * x4 - 939.0L * x3 -
                            213.0L * x2 - 915.0L * x + 945.0L) /
                           92160.0L;
    const long double g5 = (3.0L * x9 - 133.0L * x8 + 1764.0L * x7 - 7516.0L * x6 + 5994.0L * x5 +
                            2490.0L * x4 + 1140.0L * x3 + 180.0L * x2 + 5355.0L * x + 17955.0L) /
                           368640.0L;
    const long double v = 1.0L / df;
    const long double corr = v * (g1 + v * (g2 + v * (g3 + v * (g4 + v * g5))));
    const long double phi = std::exp(-0.5L * x) * 0.398942280401432677939946059934381868L;
    const long double far = 0.5L * std::erfc(at * kInvSqrt2) + at * phi * corr;
    const long double near = 1.0L - far;
    out = t >= 0.0L ? Tails{near, far} : Tails{far, near};
    return true;
}

Tails TTailsAt(CommonState& cs, long double df, long double t) {
    if (Tails large; TTailsLargeDf(df, t, large)) return large;
    const long double at = std::fabs(t);
    long double x, y;
    const long double t2 = at * at;
    if (t2 < df) {
        const long double w = t2 / df;
        x = 1.0L / (1.0L + w);
        y = w / (1.0L + w);
    } else {
        const long double r = df / t2;  // 0 when t² overflows
        x = r / (1.0L + r);
        y = 1.0L / (1.0L + r);
    }
    long double twoTail, central;
    IncompleteBetaPair(cs, 0.5L * df, 0.5L, x, y, twoTail, central);
    const long double far = 0.5L * twoTail;          // P(T > |t|)
    const long double near = 0.5L + 0.5L * central;  // P(T < |t|)
    return t >= 0.0L ? Tails{near, far} : Tails{far, near};
}

// Chi-square with ν > 0 through the incomplete gamma function (A&S 26.4.19).
Tails ChiSqTailsAt(CommonState& cs, long double df, long double x) {
    if (x <= 0.0L) return {0.0L, 1.0L};
    long double p, q;
    IncompleteGammaPQ(cs, 0.5L * df, 0.5L * x, p, q);
    return {p, q};
}

// F with ν1, ν2 > 0 through the incomplete beta function:
// P(F > f) = I_{ν2/(ν2+ν1 f)}(ν2/2, ν1/2) (A&S 26.6.2).
Tails FTailsAt(CommonState& cs, long double df1, long double df2, long double f) {
    if (f <= 0.0L) return {0.0L, 1.0L};
    if (std::isinf(f)) return {1.0L, 0.0L};
    const long double w = df1 * f / df2;
    long double x, y;
    if (w <= 1.0L) {
        x = 1.0L / (1.0L + w);
        y = w / (1.0L + w);
    } else {
        const long double r = 1.0L / w;
        x = r / (1.0L + r);
        y = 1.0L / (1.0L + r);
    }
    long double upper, lower;
    IncompleteBetaPair(cs, 0.5L * df2, 0.5L * df1, x, y, upper, lower);
    return {lower, upper};
}

// Tail pair and log density of one of the refinement kinds at x > 0.
struct KindEval {
    Tails tails;
    long double lnDensity;
};

struct Kind {
    int kind;
    long double df1, df2;
    long double lnConst = 0.0L;  // constant part of the log density

    Kind(int k, long double a, long double b) : kind(k), df1(a), df2(b) {
        switch (kind) {
            case RefineT:
                lnConst = std::lgamma((df1 + 1.0L) / 2.0L) - std::lgamma(df1 / 2.0L) -
                          0.5L * std::log(kPi * df1);
                break;
            case RefineChiSq:
                lnConst = -df1 * std::log(2.0L) / 2.0L - std::lgamma(df1 / 2.0L);
                break;
            case RefineF:
                lnConst = std::lgamma((df1 + df2) / 2.0L) - std::lgamma(df1 / 2.0L) -
                          std::lgamma(df2 / 2.0L) + (df1 / 2.0L) * std::log(df1) +
                          (df2 / 2.0L) * std::log(df2);
                break;
            default:
                lnConst = -kLnSqrt2Pi;
        }
    }

    KindEval At(CommonState& cs, long double x) const {
        switch (kind) {
            case RefineT:
                return {TTailsAt(cs, df1, x),
                        lnConst - ((df1 + 1.0L) / 2.0L) * std::log1p(x * x / df1)};
            case RefineChiSq:
                return {ChiSqTailsAt(cs, df1, x),
                        lnConst + ((df1 - 2.0L) / 2.0L) * std::log(x) - x / 2.0L};
            case RefineF:
                return {FTailsAt(cs, df1, df2, x),
                        lnConst + ((df1 - 2.0L) / 2.0L) * std::log(x) -
                            ((df1 + df2) / 2.0L) * std::log(df2 + df1 * x)};
            default:
                return {NormalTails(x), lnConst - 0.5L * x * x};
        }
    }

    // Symmetric about 0: the root for an upper tail above ½ is the negative of
    // the root for its complement.
    bool Symmetric() const { return kind != RefineChiSq && kind != RefineF; }
    // Positive support, where Newton's method works best in ln x.
    bool LogScale() const { return kind == RefineChiSq || kind == RefineF; }
};

// Newton's method on the logarithm of whichever tail is the smaller at the
// root, with bracketing and bisection as a safeguard. Working with ln(tail)
// keeps every step well scaled from the centre to tails of 1e-4900, and taking
// the smaller tail keeps the target's relative accuracy.
long double SolveTail(CommonState& cs, const Kind& kind, long double x, long double target) {
    const bool useUpper = target <= 0.5L;
    const long double goal = useUpper ? target : 1.0L - target;
    const long double lnGoal = std::log(goal);
    const bool logScale = kind.LogScale();
    // The variable the iteration moves: ln x on (0, ∞), x itself otherwise.
    auto toVar = [&](long double v) { return logScale ? std::log(v) : v; };
    auto fromVar = [&](long double v) { return logScale ? std::exp(v) : v; };

    long double var = toVar(x);
    bool haveLo = false, haveHi = false;  // brackets in var: lo below the root, hi above
    long double lo = 0.0L, hi = 0.0L;
    for (int iter = 0; iter < 1000; ++iter) {
        const long double xv = fromVar(var);
        const KindEval e = kind.At(cs, xv);
        const long double tail = useUpper ? e.tails.upper : e.tails.lower;
        // err > 0: the chosen tail is too large. For the upper tail the root
        // lies above x, for the lower tail below.
        long double err;
        if (tail <= 0.0L) err = -HUGE_VALL;
        else err = std::log(tail) - lnGoal;
        if (std::fabs(err) < 1e-15L) return xv;
        const bool below = useUpper ? err > 0.0L : err < 0.0L;
        if (below) {
            if (!haveLo || var > lo) lo = var;
            haveLo = true;
        } else {
            if (!haveHi || var < hi) hi = var;
            haveHi = true;
        }
        if (haveLo && haveHi &&
            std::fabs(hi - lo) <= 4.0L * std::numeric_limits<long double>::epsilon() *
                                      std::max({std::fabs(hi), std::fabs(lo), 1e-300L}))
            return fromVar(0.5L * (lo + hi));
        // d ln(tail) / d var = ∓ density · (dx/dvar) / tail
        long double next = var;
        bool newtonOk = false;
        if (std::isfinite(err)) {
            const long double slope =
                std::exp(e.lnDensity - std::log(tail)) * (logScale ? xv : 1.0L);
            if (slope > 0.0L && std::isfinite(slope)) {
                next = useUpper ? var + err / slope : var - err / slope;
                newtonOk = std::isfinite(next);
            }
        }
        const bool inside = (!haveLo || next > lo) && (!haveHi || next < hi);
        if (!newtonOk || !inside) {
            if (haveLo && haveHi) {
                next = 0.5L * (lo + hi);
            } else if (haveLo) {
                next = logScale ? var + 2.0L : var + std::max(1.0L, std::fabs(var));
            } else {
                next = logScale ? var - 2.0L : var / 2.0L;
            }
        }
        if (next == var) return xv;
        var = next;
    }
    return fromVar(var);
}

// p-values never reach 1,000, so the number format's thousands separators
// never show and the plain fixed form is what FormatNumber(3, p) prints.
std::string ThreeDecimals(long double p) { return FormatFixed(3, p, false); }

}  // namespace

long double FoldTails(int tails, long double p) {
    if (tails != 2) return p;
    p *= 2.0L;
    return p > 1.0L ? 2.0L - p : p;
}

void ToUpperTail(long double& p, int tails) {
    p = std::fabs(p);
    if (tails == 2) p = (p <= 0.5L) ? p / 2.0L : (p + 1.0L) / 2.0L;
}

long double NormalTail(int tails, long double z) {
    if (std::isnan(z)) return z;
    if (tails == 2) return std::erfc(std::fabs(z) * kInvSqrt2);
    return NormalTails(z).upper;
}

long double NormalTailSeries(int tails, long double z) { return NormalTail(tails, z); }

void InverseRefine(CommonState& cs, long double& x, int kind, long double target,
                   long double df1, long double df2) {
    if (kind < RefineNormal || kind > RefineNormalSeries) return;
    if (!(target > 0.0L && target < 1.0L)) return;
    if ((kind == RefineT || kind == RefineChiSq) && !(df1 > 0.0L)) return;
    if (kind == RefineF && !(df1 > 0.0L && df2 > 0.0L)) return;
    const Kind k(kind, df1, df2);
    if (k.Symmetric()) {
        if (target == 0.5L) {
            x = 0.0L;
            return;
        }
        // Solve for the positive root of the smaller upper tail.
        const bool flip = target > 0.5L;
        const long double q = flip ? 1.0L - target : target;
        long double start = flip ? -x : x;
        if (!(start > 0.0L)) start = 1.0L;
        const long double root = SolveTail(cs, k, start, q);
        x = flip ? -root : root;
        return;
    }
    if (!(x > 0.0L) || !std::isfinite(x)) x = 1.0L;
    x = SolveTail(cs, k, x, target);
}

namespace {

// Abramowitz and Stegun 26.2.23 (|error| < 4.5e-4): the starting point of the
// normal quantile, refined to full precision by InverseRefine.
long double NormalStart(long double q) {
    const long double r = q <= 0.5L ? q : 1.0L - q;
    const long double t = std::sqrt(std::log(1.0L / (r * r)));
    long double z = t - (2.515517L + 0.802853L * t + 0.010328L * t * t) /
                            (1.0L + 1.432788L * t + 0.189269L * t * t + 0.001308L * t * t * t);
    return q >= 0.5L ? -z : z;
}

// The normal kinds of InverseRefine never write a status or show a message;
// this stands in for the caller's state they do not need.
CommonState& NormalScratch() {
    thread_local CommonState scratch;
    return scratch;
}

}  // namespace

long double InvNormal(int tails, long double p) {
    long double q = p;
    ToUpperTail(q, tails);
    if (q == 0.5L) return 0.0L;
    q = std::clamp(q, 1e-9L, 1.0L - 1e-9L);
    long double z = NormalStart(q);
    InverseRefine(NormalScratch(), z, RefineNormal, q);
    return z;
}

long double InvNormalSeries(int tails, long double p) {
    long double q = p;
    ToUpperTail(q, tails);
    if (q == 0.5L) return 0.0L;
    // No probability clamp here beyond what extended precision can hold.
    q = std::clamp(q, std::numeric_limits<long double>::min(),
                   1.0L - std::numeric_limits<long double>::epsilon() / 2.0L);
    long double z = NormalStart(q);
    InverseRefine(NormalScratch(), z, RefineNormalSeries, q);
    return z;
}

long double TTail(CommonState& cs, int tails, long double df, long double t) {
    if (std::isnan(t) || std::isnan(df)) return std::numeric_limits<long double>::quiet_NaN();
    // No degrees of freedom, no evidence.
    if (!(df > 0.0L)) return FoldTails(tails, 0.5L);
    const Tails tt = TTailsAt(cs, df, std::fabs(t));
    if (tails == 2) return std::min(1.0L, 2.0L * tt.upper);
    return tt.upper;
}

long double InvT(CommonState& cs, int tails, long double df, long double p) {
    if (df < 1.0L) return 0.0L;
    long double q = p;
    ToUpperTail(q, tails);
    if (q == 0.5L) return 0.0L;
    q = std::clamp(q, 1e-9L, 1.0L - 1e-9L);
    long double sign = 1.0L;
    if (q > 0.5L) {
        sign = -1.0L;
        q = 1.0L - q;
    }
    // Cornish-Fisher start (Abramowitz and Stegun 26.7.5).
    const long double z = InvNormal(1, q);
    const long double z2 = z * z, z3 = z2 * z, z5 = z3 * z2, z7 = z5 * z2, z9 = z7 * z2;
    const long double g1 = (z3 + z) / 4.0L;
    const long double g2 = (5.0L * z5 + 16.0L * z3 + 3.0L * z) / 96.0L;
    const long double g3 = (3.0L * z7 + 19.0L * z5 + 17.0L * z3 - 15.0L * z) / 384.0L;
    const long double g4 =
        (79.0L * z9 + 776.0L * z7 + 1482.0L * z5 - 1920.0L * z3 - 945.0L * z) / 92160.0L;
    const long double v = df;
    long double t = z + g1 / v + g2 / (v * v) + g3 / (v * v * v) + g4 / (v * v * v * v);
    if (!(t > 0.0L) || !std::isfinite(t)) t = z;
    InverseRefine(cs, t, RefineT, q, df);
    return sign * t;
}

long double ChiSqTail(CommonState& cs, int tails, long double df, long double x) {
    if (std::isnan(x) || std::isnan(df)) return std::numeric_limits<long double>::quiet_NaN();
    // Below one degree of freedom the statistic is not formed: p = 1.
    if (df < 1.0L) return 1.0L;
    const Tails t = ChiSqTailsAt(cs, df, x);
    if (tails == 2) return std::min(1.0L, 2.0L * std::min(t.lower, t.upper));
    return t.upper;
}

long double InvChiSq(CommonState& cs, int tails, long double df, long double p) {
    if (!(df >= 1.0L)) return 0.0L;
    long double q = p;
    ToUpperTail(q, tails);
    q = std::clamp(q, 1e-9L, 1.0L - 1e-9L);
    // Wilson-Hilferty start (Abramowitz and Stegun 26.4.17); near zero, where
    // it turns negative or loses its way, the leading term of the lower tail,
    // P(x) ≈ (x/2)^(ν/2) / Γ(ν/2 + 1).
    const long double h = 2.0L / (9.0L * df);
    const long double z = InvNormal(1, q);
    const long double c = 1.0L - h + z * std::sqrt(h);
    long double x = df * c * c * c;
    const long double lower = 1.0L - q;
    const long double small =
        2.0L * std::exp((std::log(lower) + std::lgamma(df / 2.0L + 1.0L)) * 2.0L / df);
    if (!(x > 0.0L) || (lower < 0.05L && small < x)) x = small;
    InverseRefine(cs, x, RefineChiSq, q, df);
    return x;
}

long double FTail(CommonState& cs, int tails, long double df1, long double df2, long double f) {
    if (std::isnan(f) || std::isnan(df1) || std::isnan(df2))
        return std::numeric_limits<long double>::quiet_NaN();
    if (!(df1 > 0.0L && df2 > 0.0L)) return 1.0L;
    const Tails t = FTailsAt(cs, df1, df2, f);
    if (tails == 2) return std::min(1.0L, 2.0L * std::min(t.lower, t.upper));
    return t.upper;
}

long double InvF(CommonState& cs, int tails, long double df1, long double df2, long double p) {
    if (!(df1 > 0.0L && df2 > 0.0L)) return 0.0L;
    long double q = p;
    ToUpperTail(q, tails);
    q = std::clamp(q, 1e-8L, 1.0L - 1e-8L);
    // Coarse bracket by factors of 3 from 1; Newton finishes.
    long double x = 1.0L;
    const bool rootBelow = FTailsAt(cs, df1, df2, 1.0L).upper <= q;
    for (int i = 0; i < 200; ++i) {
        const long double next = rootBelow ? x / 3.0L : x * 3.0L;
        const long double g = FTailsAt(cs, df1, df2, next).upper;
        x = next;
        if (rootBelow ? g > q : g < q) break;
    }
    InverseRefine(cs, x, RefineF, q, df1, df2);
    return x;
}

long double NoncentralFPower(CommonState& cs, int df1, int df2, long double lambda,
                             long double f) {
    if (df1 < 1 || df2 < 1) {
        cs.StatErrorCode = StatOutOfRange;
        return NotAvailable;
    }
    if (std::isnan(lambda) || std::isnan(f) || std::isinf(lambda)) {
        cs.StatErrorCode = StatOutOfRange;
        return NotAvailable;
    }
    if (!(lambda > 0.0L)) return FTail(cs, 1, df1, df2, f);
    if (f <= 0.0L) return 1.0L;
    // Poisson mixture of central beta tails (Patnaik 1949; Johnson, Kotz and
    // Balakrishnan, Continuous Univariate Distributions 2, 30.3):
    //   power = Σ_j e^(-λ/2) (λ/2)^j / j! · I_{1-y}(ν2/2, ν1/2 + j),
    // y = ν1 f/(ν2 + ν1 f). Every term is positive, so summing outward from the
    // Poisson mode keeps full relative accuracy for tiny and huge λ alike.
    const long double a = 0.5L * df1, b = 0.5L * df2;
    const long double w = df1 * f / df2;
    const long double x = 1.0L / (1.0L + w);  // 1 - y
    const long double y = w / (1.0L + w);
    const long double half = 0.5L * lambda;
    auto lnWeight = [&](long double j) {
        return -half + j * std::log(half) - std::lgamma(j + 1.0L);
    };
    auto term = [&](long double j, long double& weight) {
        weight = std::exp(lnWeight(j));
        long double upper, lower;
        IncompleteBetaPair(cs, b, a + j, x, y, upper, lower);
        return weight * upper;
    };
    const long double mode = std::floor(half);
    if (half > 1e5L) {
        // The weights spread over some √(λ/2) counts and the beta tails
        // change smoothly on that scale, so the sum is taken by the trapezoid
        // rule with a stride of an eighth of that spread: for a smooth
        // summand the error falls like exp(-2π²·8²), and the cost no longer
        // grows with λ. The weights come from the saddle-point Poisson
        // probability, which keeps its digits where e^(-λ/2)(λ/2)^j/j! on the
        // log scale would cancel them all.
        const long double sd = std::sqrt(half);
        // Beyond 1e30 the tails change by less than 1e-15 relative across
        // the weights' spread: the mixture is its central term.
        if (half > 1e30L) {
            long double upper, lower;
            IncompleteBetaPair(cs, b, a + mode, x, y, upper, lower);
            return upper;
        }
        const long double stride = std::floor(sd / 8.0L);
        auto strideTerm = [&](long double j, long double& weight) {
            weight = PoissonProb(j, half);
            long double upper, lower;
            IncompleteBetaPair(cs, b, a + j, x, y, upper, lower);
            return weight * upper;
        };
        long double weight;
        long double sum = strideTerm(mode, weight);
        for (int dir = -1; dir <= 1; dir += 2) {
            // At most 60 standard deviations of the weights each way.
            for (int k = 1; k <= 480; ++k) {
                const long double j = mode + dir * k * stride;
                if (j < 0.0L) break;
                const long double t = strideTerm(j, weight);
                sum += t;
                if (k > 64 && weight * 100.0L * sd <= 1e-20L * sum) break;
            }
        }
        return std::min(1.0L, stride * sum);
    }
    long double weight;
    long double sum = term(mode, weight);
    // Upward: terms rise toward the weights; the rest is below the Poisson tail
    // beyond j, bounded by w_j·r/(1 - r) with r = (λ/2)/(j + 1) once r < 1.
    for (long double j = mode + 1.0L;; j += 1.0L) {
        sum += term(j, weight);
        const long double r = half / (j + 1.0L);
        if (r < 1.0L) {
            const long double rest = weight * r / (1.0L - r);
            if (rest <= 1e-18L * sum || rest < 1e-4900L) break;
        }
        if (j > mode + 1e7L) break;
    }
    // Downward: terms and weights both fall; the rest is below (mode·term)
    // bounded by term_j · j/(λ/2) / (1 - j/(λ/2)) geometric.
    for (long double j = mode - 1.0L; j >= 0.0L; j -= 1.0L) {
        const long double t = term(j, weight);
        sum += t;
        const long double r = j / half;
        if (r < 1.0L) {
            const long double rest = t * r / (1.0L - r);
            if (rest <= 1e-18L * sum) break;
        }
    }
    return std::min(1.0L, sum);
}

void ZTestP(long double& p, int alternative, long double z) {
    switch (alternative) {
        case 1: p = NormalTails(z).lower; break;
        case 2: p = NormalTails(z).upper; break;
        default: p = NormalTail(2, z);
    }
}

void TTestP(CommonState& cs, long double& p, int alternative, long double df, long double t) {
    if (alternative != 1 && alternative != 2) {
        p = TTail(cs, 2, df, t);
        return;
    }
    if (!(df > 0.0L)) {
        p = 0.5L;
        return;
    }
    const Tails tt = TTailsAt(cs, df, t);
    p = alternative == 1 ? tt.lower : tt.upper;
}

void CorrelatedMeansT(CommonState& cs, int alternative, long double& t, long double& p,
                      long double mean1, long double mean2, long double s1, long double s2,
                      long double r, long double n) {
    const long double v = s1 * s1 + s2 * s2 - 2.0L * r * s1 * s2;
    if (v <= 0.0L || n <= 0.0L) {
        t = 0.0L;
        p = NotAvailable;
        return;
    }
    t = (mean1 - mean2) / std::sqrt(v / n);
    // v is the variance of the n paired differences, so t is the paired t
    // statistic on n - 1 degrees of freedom.
    if (n - 1.0L <= 0.0L) {
        // No degrees of freedom left: the statistic stands, its p-value does not.
        p = NotAvailable;
        return;
    }
    TTestP(cs, p, alternative, n - 1.0L, t);
}

long double GaussRandom(EngineState& es) {
    RandomState& st = es.RandSeed;
    return PolarGauss(st, [&st] { return RandomUniform(st); });
}

long double NormalRandom(EngineState& es, long double mean, long double sd) {
    return mean + sd * GaussRandom(es);
}

namespace {

// ln(1 + e) - e without the cancellation of the two when e is small.
long double Log1pMinus(long double e) {
    if (std::fabs(e) > 1e-3L) return std::log1p(e) - e;
    return e * e * (-0.5L + e * (1.0L / 3 + e * (-0.25L + e * (0.2L - e / 6))));
}

// Gamma deviate of shape a >= 1 by Marsaglia and Tsang, "A simple method for
// generating gamma variables", ACM TOMS 26 (2000): d = a - 1/3, c = 1/√(9d),
// v = (1 + cx)³ for a normal x, accepted when ln u < x²/2 + d(1 - v + ln v).
// The acceptance rate is above 95 % for every a, so the time does not grow
// with a; 1 - v + ln v is formed from v - 1 so that a huge d keeps its digits.
long double GammaRandomShapeAtLeastOne(EngineState& es, long double a) {
    const long double d = a - 1.0L / 3.0L;
    const long double c = 1.0L / std::sqrt(9.0L * d);
    for (;;) {
        const long double x = GaussRandom(es);
        const long double cx = c * x;
        if (cx <= -1.0L) continue;
        const long double e = cx * (3.0L + cx * (3.0L + cx));  // v - 1
        const long double u = OpenUniform(es.RandSeed);
        if (std::log(u) < 0.5L * x * x + d * Log1pMinus(e)) return d * (1.0L + e);
    }
}

}  // namespace

long double ChiSquareRandom(EngineState& es, long double df) {
    if (!(df > 0.0L) || !std::isfinite(df)) return 0.0L;
    const long double a = df / 2.0L;
    if (a >= 1.0L) return 2.0L * GammaRandomShapeAtLeastOne(es, a);
    // Shape below 1: Gamma(a) = Gamma(a + 1)·U^(1/a) (Marsaglia and Tsang, 6),
    // on the log scale so that a tiny a underflows to 0 rather than NaN.
    const long double g = GammaRandomShapeAtLeastOne(es, a + 1.0L);
    const long double lnU = std::log(OpenUniform(es.RandSeed));
    return 2.0L * g * std::exp(lnU / a);
}

void PStarText(std::string& text, long double alpha, long double p) {
    text = ThreeDecimals(p);
    if (alpha >= p) text += "*";
}

void PEqualsText(std::string& text, long double alpha, long double p) {
    text = "   p = " + ThreeDecimals(p);
    if (alpha >= p) text += "*";
}

void PCellText(std::string& text, long double alpha, long double p) {
    text = ThreeDecimals(p) + (alpha >= p ? "*" : " ");
}

}  // namespace amx
