#include "spc/ControlLimits.h"

#include <algorithm>
#include <array>
#include <functional>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "engine/discrete/Discrete.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"
#include "spc/ControlConstants.h"

namespace amx {

namespace {

const std::vector<std::string>& MethodNames(int chartType) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> mean = {
        "Average Range",    "Median Range",        "Average Std Dev",
        "Median Std Dev",   "Average Variance",    "Avg MR of X-bars",
        "Median MR of X-bars", "Std Dev of X-bars", "Known Std Dev"};
    static const std::vector<std::string> median = {
        "Average Range",     "Median Range",      "Average Std Dev",
        "Median Std Dev",    "Average Variance",  "Avg MR of Medians",
        "Med MR of Medians", "Std Dev of Medians", "Known Std Dev"};
    static const std::vector<std::string> individuals = {"Average MR", "Median MR",
                                                         "Std Dev (k values)", "Known Std Dev"};
    static const std::vector<std::string> dispersion = {"Average Range",  "Median Range",
                                                        "Average Std Dev", "Median Std Dev",
                                                        "Average Variance", "Known Std Dev"};
    static const std::vector<std::string> binomial = {"Approximate", "Exact Binomial"};
    static const std::vector<std::string> poisson = {"Approximate", "Exact Poisson"};
    switch (chartType) {
        case ChartMean: return mean;
        case ChartMedian: return median;
        case ChartIndividuals: return individuals;
        case ChartRange:
        case ChartStdDev:
        case ChartVariance: return dispersion;
        case ChartProportion:
        case ChartNumberNonconforming: return binomial;
        case ChartDefects:
        case ChartDefectsPerUnit: return poisson;
        default: return none;
    }
}

// ---- exact probability limits ----------------------------------------------
//
// The exact limits of the attribute charts are the counts at which the tail
// probabilities of the binomial or Poisson distribution cross v, the normal
// tail of k. The tails come from the engine (incomplete beta and gamma
// functions for large parameters), so each costs the same for any mean or
// sample size; the crossing is sought from the Cornish-Fisher value of the
// quantile, which for large means is within a count or two of it, by steps
// that double until the crossing is bracketed and then by bisection.

// Tails of a count distribution at whole counts held as long doubles (a
// Poisson mean may be far beyond any integer type).
struct CountTails {
    std::function<long double(long double)> atLeast;  // P(X >= g)
    std::function<long double(long double)> atMost;   // P(X <= m)
    long double mean = 0, sd = 0, skewness = 0;
    long double largest = 0;  // the last count of the support (infinite for Poisson)
};

// The smallest whole count in [lowest, largest + 1] at which `reached` holds,
// for a test that is false below some count and true from it on; true is
// taken for granted past the support. Nothing when the search could not
// close in on it (an unbounded support with no count reached).
template <class Reached>
std::optional<long double> FirstCountReached(long double seed, long double lowest,
                                             long double largest, Reached reached) {
    const long double past = largest + 1.0L;
    auto test = [&](long double g) { return g >= past || reached(g); };
    long double g = std::nearbyint(std::clamp(seed, lowest, past));
    // Steps start at one count, or at the spacing of long doubles where
    // counts are too large for every whole number to exist.
    const long double unit = std::max(1.0L, std::fabs(g) * std::numeric_limits<long double>::epsilon());
    long double below, above;  // below: not reached (or below the range); above: reached
    if (test(g)) {
        above = g;
        below = lowest - 1.0L;
        for (long double step = unit; above > lowest; step *= 2.0L) {
            const long double c = std::max(lowest, above - step);
            if (!test(c)) {
                below = c;
                break;
            }
            above = c;
        }
    } else {
        below = g;
        above = past;
        for (long double step = unit;; step *= 2.0L) {
            const long double c = below + step;
            if (!std::isfinite(c)) return std::nullopt;
            if (c >= past) break;
            if (test(c)) {
                above = c;
                break;
            }
            below = c;
        }
    }
    for (int i = 0; i < 20000 && above - below > 1.0L; ++i) {
        const long double mid = std::floor(below + (above - below) / 2.0L);
        if (mid <= below || mid >= above) break;
        if (test(mid)) above = mid;
        else below = mid;
    }
    return above;
}

struct ExactCounts {
    bool valid = false;          // false: the search failed
    bool hasUpper = false;       // upperCount exists within the support
    long double upperCount = 0;  // smallest count whose upper tail is below v
    bool hasLower = false;
    long double lowerCount = 0;  // largest count whose lower tail is below v
};

ExactCounts FindExactCounts(const CountTails& d, long double v) {
    ExactCounts out;
    if (!(v > 0.0L)) return out;  // a zero tail probability: no count is ever rare enough
    // Cornish-Fisher expansion to the skewness term (Johnson, Kemp and Kotz,
    // Univariate Discrete Distributions, 3rd ed., 3.6 and 4.4).
    const long double z = InvNormalSeries(1, v);
    const long double shift = d.skewness * (z * z - 1.0L) / 6.0L;
    const long double upperSeed = d.mean + d.sd * (z + shift);
    const long double lowerSeed = d.mean + d.sd * (-z + shift);
    auto upper = FirstCountReached(upperSeed + 0.5L, 0.0L, d.largest,
                                   [&](long double g) { return d.atLeast(g) < v; });
    if (!upper) return out;
    out.hasUpper = *upper <= d.largest;
    out.upperCount = *upper;
    // Lower: the last count whose lower tail is below v (P(X <= largest) = 1);
    // none when even 0 is not rare enough.
    if (d.atMost(0.0L) < v) {
        auto past = FirstCountReached(lowerSeed + 0.5L, 0.0L, d.largest,
                                      [&](long double m) { return d.atMost(m) >= v; });
        if (!past) return out;
        out.hasLower = true;
        out.lowerCount = *past - 1.0L;
    }
    out.valid = true;
    return out;
}

// The chi-square value with df degrees of freedom whose upper tail (or, with
// upper false, lower tail) is tail. The engine's inverse holds probabilities
// to [1e-9, 1 - 1e-9], which would quietly cap k near 6; smaller tails are
// found by bisection on the regularized incomplete gamma function.
long double ChiSqForTail(CommonState& cs, long double df, long double tail, bool upper) {
    constexpr long double Clamp = 1e-9L;
    if (tail >= Clamp) return InvChiSq(cs, 1, df, upper ? tail : 1.0L - tail);
    // A tail that is 0 as a double (k near 40 and beyond) stands for the
    // smallest one a double holds, so the limit stays a number.
    if (!(tail > 0.0L)) tail = std::numeric_limits<double>::denorm_min();
    const long double a = df / 2.0L;
    // Probability on the side of x that shrinks away from the centre.
    auto far = [&](long double x) { return upper ? GammQ(cs, a, x / 2.0L) : GammP(cs, a, x / 2.0L); };
    long double lo, hi;
    if (upper) {
        lo = df;
        hi = 2.0L * df;
        for (int i = 0; i < 200 && far(hi) >= tail; ++i) {
            lo = hi;
            hi *= 2.0L;
        }
    } else {
        hi = df;
        lo = df / 2.0L;
        for (int i = 0; i < 20000 && far(lo) >= tail; ++i) {
            hi = lo;
            lo /= 2.0L;
        }
    }
    for (int i = 0; i < 128 && hi - lo > hi * 1e-18L; ++i) {
        long double mid = (lo + hi) / 2.0L;
        if ((far(mid) < tail) == upper) hi = mid;
        else lo = mid;
    }
    return (lo + hi) / 2.0L;
}

// Sizes beyond this are not sample sizes.
constexpr long double LargestSampleSize = 1e15L;

}  // namespace

int MethodCount(int chartType) { return static_cast<int>(MethodNames(chartType).size()); }

std::string MethodName(int chartType, int method) {
    const auto& names = MethodNames(chartType);
    if (method < 1 || method > static_cast<int>(names.size())) return {};
    return names[method - 1];
}

std::string ChartCaption(int chartType) {
    static const std::array<const char*, 10> captions = {"X-Bar", "Median", "X",  "R", "s",
                                                         "s²",    "p",      "np", "c", "u"};
    if (chartType < FirstChartCode || chartType > LastChartCode) return {};
    return captions[chartType - 1];
}

int ControlLimits(SpcContext ctx, int chartType, int method, long double& CL, long double statistic,
                  long double k, long double n, long double& UCL, long double& LCL, long double& sigma,
                  MissingLimits* missing) {
    int& status = ctx.common.StatErrorCode;
    MissingLimits none;
    auto finish = [&](int s) {
        status = s;
        if (missing) *missing = none;
        return s;
    };

    // Every statistic a chart is built on (a range, standard deviation,
    // variance, proportion or count) and every k is positive; a negative one
    // would give crossed limits or the square root of a negative number.
    if (!(statistic > 0.0L) || !(k > 0.0L) || !std::isfinite(statistic) || !std::isfinite(k))
        return finish(LimitsZeroStatistic);
    if (chartType < FirstChartCode || chartType > LastChartCode) return finish(LimitsOutOfRange);
    const bool knownIndividuals = chartType == ChartIndividuals && method == IndividualsKnownStdDev;
    const bool sizeFree = chartType == ChartDefects || knownIndividuals;
    if (!sizeFree && !(std::fabs(n) <= LargestSampleSize)) return finish(LimitsOutOfRange);
    // Round half to even.
    const long long B = sizeFree ? 0 : static_cast<long long>(std::nearbyint(n));
    if (!sizeFree) {
        if (chartType == ChartDefectsPerUnit) {
            // Units per sample divide the limits: they must be positive.
            if (!(n > 0.0L)) return finish(LimitsZeroSampleSize);
        } else {
            if (B <= 0) return finish(LimitsZeroSampleSize);
            if (chartType <= ChartNumberNonconforming && B == 1) return finish(LimitsSampleSizeOne);
        }
    }
    if (chartType != ChartIndividuals && (method < 1 || method > MethodCount(chartType)))
        return finish(LimitsOutOfRange);

    // Upper tail of the normal at k: the tail probability the variance
    // chart's and the exact limits aim for. Zero for k above 8.
    const double v = static_cast<double>(NormalTail(1, k));
    status = LimitsComputed;
    UCL = 0.0L;
    LCL = 0.0L;
    const long double rootB = std::sqrt(static_cast<long double>(B));

    switch (chartType) {
        case ChartMean:
        case ChartMedian: {
            const bool isMean = chartType == ChartMean;
            switch (method) {
                case 1: sigma = SigmaFromRange(ctx, B, statistic); break;
                case 2: sigma = SigmaFromMedianRange(ctx, B, statistic); break;
                case 3: sigma = SigmaFromStdDev(ctx, B, statistic); break;
                case 4: sigma = SigmaFromMedianStdDev(ctx, B, statistic); break;
                case 5: sigma = std::sqrt(statistic); break;
                case 6: {
                    // Moving ranges of the plotted means or medians measure
                    // their own spread; scale back to single values.
                    long double spread = statistic / D2Factor(ctx, 2);
                    sigma = isMean ? rootB * spread : spread / MedianSDFactor(ctx, B, 1.0L);
                    break;
                }
                case 7: {
                    long double spread = statistic / MedianRangeFactor(ctx, 2);
                    sigma = isMean ? rootB * spread : spread / MedianSDFactor(ctx, B, 1.0L);
                    break;
                }
                case 8: sigma = isMean ? rootB * statistic : statistic / MedianSDFactor(ctx, B, 1.0L); break;
                case 9: sigma = statistic; break;
            }
            if (status != LimitsComputed) return finish(status);
            if (isMean) {
                UCL = CL + k * sigma / rootB;
                LCL = CL - k * sigma / rootB;
            } else {
                long double w = MedianSDFactor(ctx, B, sigma);
                UCL = CL + k * w;
                LCL = CL - k * w;
            }
            return finish(status);
        }

        case ChartIndividuals:
            switch (method) {
                case 1: sigma = SigmaFromRange(ctx, B, statistic); break;
                case 2: sigma = SigmaFromMedianRange(ctx, B, statistic); break;
                case 3: sigma = SigmaFromStdDev(ctx, B, statistic); break;
                case 4: sigma = statistic; break;
                default: break;  // the caller's sigma
            }
            if (status != LimitsComputed) return finish(status);
            UCL = CL + k * sigma;
            LCL = CL - k * sigma;
            return finish(status);

        case ChartRange:
        case ChartStdDev:
        case ChartVariance: {
            switch (method) {
                case 1: sigma = SigmaFromRange(ctx, B, statistic); break;
                case 2: sigma = SigmaFromMedianRange(ctx, B, statistic); break;
                case 3: sigma = SigmaFromStdDev(ctx, B, statistic); break;
                case 4: sigma = SigmaFromMedianStdDev(ctx, B, statistic); break;
                case 5: sigma = std::sqrt(statistic); break;
                case 6: sigma = statistic; break;
            }
            if (status != LimitsComputed) return finish(status);
            if (chartType == ChartRange) {
                long double d2 = D2Factor(ctx, B), d3 = D3Factor(ctx, B);
                CL = d2 * sigma;
                UCL = CL + k * d3 * sigma;
                LCL = CL - k * d3 * sigma;
            } else if (chartType == ChartStdDev) {
                long double c4 = C4Factor(ctx, B);
                CL = c4 * sigma;
                long double h = static_cast<double>(std::sqrt(1.0L - c4 * c4) * sigma);
                UCL = CL + k * h;
                LCL = CL - k * h;
            } else {
                // Probability limits of s^2 from chi-square with B - 1 df; the
                // centre is the median of s^2, not sigma^2.
                long double df = static_cast<long double>(B - 1);
                long double scale = sigma * sigma / df;
                CL = InvChiSq(ctx.common, 1, df, 0.5L) * scale;
                UCL = ChiSqForTail(ctx.common, df, v, true) * scale;
                LCL = ChiSqForTail(ctx.common, df, v, false) * scale;
                return finish(LimitsComputed);
            }
            if (LCL <= 0.0L) {
                LCL = 0.0L;
                none.lower = true;
                return finish(LimitsNoLower);
            }
            return finish(LimitsComputed);
        }

        case ChartProportion:
        case ChartNumberNonconforming: {
            const long double Bl = static_cast<long double>(B);
            CL = chartType == ChartProportion ? statistic : statistic / Bl;
            const double F = static_cast<double>(CL);
            if (F >= 1.0) {
                if (chartType == ChartNumberNonconforming) CL = statistic;
                return finish(LimitsOutOfRange);
            }
            const long double se = F > 0.0 ? std::sqrt(F * (1.0L - F) / Bl) : 0.0L;
            sigma = se;
            UCL = CL + k * se;
            LCL = CL - k * se;
            int result = LimitsComputed;
            if (method == MethodApproximate) {
                // A later event overwrites an earlier one: a chart with both
                // limits clipped reports -1 (and both are flagged missing).
                if (UCL >= 1.0L) {
                    UCL = 1.0L;
                    none.upper = true;
                    result = LimitsNoUpper;
                }
                if (LCL <= 0.0L) {
                    LCL = 0.0L;
                    none.lower = true;
                    result = LimitsNoLower;
                }
            } else {
                CountTails dist;
                dist.atLeast = [&](long double g) {
                    return BinomAtLeast(ctx.common, static_cast<long long>(g), B, F);
                };
                dist.atMost = [&](long double m) {
                    return BinomAtMost(ctx.common, static_cast<long long>(m), B, F);
                };
                dist.mean = Bl * F;
                dist.sd = std::sqrt(Bl * F * (1.0L - F));
                dist.skewness = dist.sd > 0.0L ? (1.0L - 2.0L * F) / dist.sd : 0.0L;
                dist.largest = Bl;
                ExactCounts counts = FindExactCounts(dist, v);
                if (counts.valid && counts.hasUpper) {
                    UCL = (counts.upperCount - 0.5L) / Bl;
                } else {
                    UCL = 1.0L;
                    none.upper = true;
                    result = LimitsNoUpper;
                }
                if (counts.valid && counts.hasLower) {
                    LCL = (counts.lowerCount + 0.5L) / Bl;
                } else {
                    LCL = 0.0L;
                    none.lower = true;
                    // A missing UCL is the graver news; it is not overwritten.
                    if (result != LimitsNoUpper) result = LimitsNoLower;
                }
            }
            if (chartType == ChartNumberNonconforming) {
                UCL *= Bl;
                LCL *= Bl;
                sigma *= Bl;
                CL *= Bl;
            }
            return finish(result);
        }

        case ChartDefects:
        case ChartDefectsPerUnit: {
            CL = chartType == ChartDefects ? statistic : statistic * n;
            const long double se = std::sqrt(CL);
            sigma = se;
            UCL = CL + k * se;
            LCL = CL - k * se;
            int result = LimitsComputed;
            if (method == MethodApproximate) {
                if (LCL <= 0.0L) {
                    LCL = 0.0L;
                    none.lower = true;
                    result = LimitsNoLower;
                }
            } else {
                CountTails dist;
                const long double mean = CL;
                dist.atLeast = [mean](long double g) { return PoissonAtLeast(mean, g); };
                dist.atMost = [mean](long double m) { return PoissonAtMost(mean, m); };
                dist.mean = mean;
                dist.sd = std::sqrt(mean);
                dist.skewness = 1.0L / dist.sd;
                dist.largest = HUGE_VALL;
                ExactCounts counts = FindExactCounts(dist, v);
                if (counts.valid && counts.hasUpper) {
                    // Where whole counts are coarser than half a count, the
                    // half-count offset vanishes; the limit never falls to
                    // the centre's side.
                    UCL = std::max(counts.upperCount - 0.5L, CL);
                } else {
                    // The normal UCL stays as a value; the chart has none.
                    none.upper = true;
                    result = LimitsNoUpper;
                }
                if (counts.valid && counts.hasLower) {
                    LCL = std::min(counts.lowerCount + 0.5L, CL);
                } else {
                    LCL = 0.0L;
                    none.lower = true;
                    if (result != LimitsNoUpper) result = LimitsNoLower;
                }
            }
            if (chartType == ChartDefectsPerUnit) {
                UCL /= n;
                LCL /= n;
                sigma /= n;
                CL /= n;
            }
            return finish(result);
        }
    }
    return finish(LimitsOutOfRange);
}

}  // namespace amx
