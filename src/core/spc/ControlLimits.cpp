#include "spc/ControlLimits.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

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
// tail of k. Terms are formed on the log scale (log-gamma), so any sample
// size or mean is safe, and each tail is summed from its far end only, where
// terms shrink geometrically; the crossing counts are found by bisection on
// the monotone tails.

constexpr long double LogUnderflow = -11350.0L;
// No sum needs more terms than this for any mean a chart can meet; a sum that
// does is abandoned and the chart gets no exact limit.
constexpr long long TermBudget = 50'000'000;

class CountDistribution {
public:
    static CountDistribution Binomial(long long n, long double p) {
        CountDistribution d;
        d.binomial_ = true;
        d.n_ = n;
        d.p_ = p;
        d.logP_ = std::log(p);
        d.logQ_ = std::log1p(-p);
        d.odds_ = p / (1.0L - p);
        d.lgN_ = std::lgamma(static_cast<long double>(n) + 1.0L);
        d.mode_ = static_cast<long long>(std::floor((static_cast<long double>(n) + 1.0L) * p));
        if (d.mode_ > n) d.mode_ = n;
        return d;
    }
    static CountDistribution Poisson(long double lambda) {
        CountDistribution d;
        d.lambda_ = lambda;
        d.logLambda_ = std::log(lambda);
        d.n_ = std::numeric_limits<long long>::max() / 4;
        d.mode_ = static_cast<long long>(std::floor(lambda));
        return d;
    }

    long long Max() const { return n_; }
    long long Mode() const { return mode_; }
    bool Abandoned() const { return abandoned_; }

    // P(X >= g).
    long double UpperTail(long long g) {
        if (g <= 0) return 1.0L;
        if (g > n_) return 0.0L;
        if (g > mode_) return SumUpward(g);
        return 1.0L - SumDownward(g - 1);
    }
    // P(X <= m).
    long double LowerTail(long long m) {
        if (m < 0) return 0.0L;
        if (m >= n_) return 1.0L;
        if (m < mode_) return SumDownward(m);
        return 1.0L - SumUpward(m + 1);
    }

private:
    long double Pmf(long long j) const {
        long double jj = static_cast<long double>(j);
        long double logPmf;
        if (binomial_)
            logPmf = lgN_ - std::lgamma(jj + 1.0L) - std::lgamma(static_cast<long double>(n_ - j) + 1.0L) +
                     jj * logP_ + static_cast<long double>(n_ - j) * logQ_;
        else
            logPmf = jj * logLambda_ - lambda_ - std::lgamma(jj + 1.0L);
        return logPmf < LogUnderflow ? 0.0L : std::exp(logPmf);
    }
    // P(X = j + 1) / P(X = j).
    long double Ratio(long long j) const {
        if (binomial_) return static_cast<long double>(n_ - j) / static_cast<long double>(j + 1) * odds_;
        return lambda_ / static_cast<long double>(j + 1);
    }
    // P(X >= g) for g above the mode: terms fall from the first one on.
    long double SumUpward(long long g) {
        long double term = Pmf(g), sum = term;
        for (long long j = g, steps = 0; j < n_ && term > sum * 1e-21L; ++j) {
            if (++steps > TermBudget) {
                abandoned_ = true;
                break;
            }
            term *= Ratio(j);
            sum += term;
        }
        return sum;
    }
    // P(X <= m) for m below the mode: terms fall towards 0.
    long double SumDownward(long long m) {
        long double term = Pmf(m), sum = term;
        for (long long j = m, steps = 0; j > 0 && term > sum * 1e-21L; --j) {
            if (++steps > TermBudget) {
                abandoned_ = true;
                break;
            }
            term /= Ratio(j - 1);
            sum += term;
        }
        return sum;
    }

    bool binomial_ = false;
    bool abandoned_ = false;
    long long n_ = 0;
    long long mode_ = 0;
    long double p_ = 0, logP_ = 0, logQ_ = 0, odds_ = 0, lgN_ = 0;
    long double lambda_ = 0, logLambda_ = 0;
};

struct ExactCounts {
    bool valid = false;      // false: the tails could not be resolved
    bool hasUpper = false;   // upperCount exists within the support
    long long upperCount = 0;  // smallest count whose upper tail is below v
    bool hasLower = false;
    long long lowerCount = 0;  // largest count whose lower tail is below v
};

// The first count k > 0 at which `reached` holds, for a test that is false at
// 0 and stays true from its first true count on (a tail crossing v). A finite
// support gives the search its end, `supportEnd`, where the test holds; an
// unbounded one is searched by doubling from past the mode. Bisection then
// keeps the calls to a few dozen tail sums. Nothing when the tails had to be
// abandoned or the doubling would overflow.
template <class Reached>
std::optional<long long> FirstCountReached(CountDistribution& d, long long supportEnd,
                                           Reached reached) {
    const long long cap = d.Max();
    long long lo = 0, hi;
    if (cap < std::numeric_limits<long long>::max() / 4) {
        hi = supportEnd;
    } else {
        hi = std::max<long long>(1, 2 * d.Mode() + 1);
        while (!reached(hi)) {
            if (d.Abandoned() || hi > cap / 2) return std::nullopt;
            lo = hi;
            hi *= 2;
        }
    }
    while (hi - lo > 1) {
        const long long mid = lo + (hi - lo) / 2;
        if (reached(mid)) hi = mid;
        else lo = mid;
    }
    return hi;
}

ExactCounts FindExactCounts(CountDistribution& d, long double v) {
    ExactCounts out;
    if (!(v > 0.0L)) return out;  // a zero tail probability: no count is ever rare enough
    const long long cap = d.Max();
    // Upper: the first count whose upper tail is below v; the count past the
    // support has tail 0.
    auto upper = FirstCountReached(d, cap + 1, [&](long long k) { return d.UpperTail(k) < v; });
    if (!upper) return out;
    out.hasUpper = *upper <= cap;
    out.upperCount = *upper;
    // Lower: the last count whose lower tail is below v (P(X <= n) = 1); none
    // when even 0 is not rare enough.
    if (d.LowerTail(0) < v) {
        auto past = FirstCountReached(d, cap, [&](long long k) { return d.LowerTail(k) >= v; });
        if (!past) return out;
        out.hasLower = true;
        out.lowerCount = *past - 1;
    }
    out.valid = !d.Abandoned();
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
                CountDistribution dist = CountDistribution::Binomial(B, F);
                ExactCounts counts = FindExactCounts(dist, v);
                if (counts.valid && counts.hasUpper) {
                    UCL = (static_cast<long double>(counts.upperCount) - 0.5L) / Bl;
                } else {
                    UCL = 1.0L;
                    none.upper = true;
                    result = LimitsNoUpper;
                }
                if (counts.valid && counts.hasLower) {
                    LCL = (static_cast<long double>(counts.lowerCount) + 0.5L) / Bl;
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
                CountDistribution dist = CountDistribution::Poisson(CL);
                ExactCounts counts = FindExactCounts(dist, v);
                if (counts.valid && counts.hasUpper) {
                    UCL = static_cast<long double>(counts.upperCount) - 0.5L;
                } else {
                    // The normal UCL stays as a value; the chart has none.
                    none.upper = true;
                    result = LimitsNoUpper;
                }
                if (counts.valid && counts.hasLower) {
                    LCL = static_cast<long double>(counts.lowerCount) + 0.5L;
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
