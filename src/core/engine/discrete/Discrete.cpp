// Discrete probabilities and exact tests.
//
// Point probabilities use the saddle-point expansion of Loader, "Fast and
// accurate computation of binomial probabilities" (2000): ln P is assembled
// from Stirling's-series remainders and the deviance term bd0, so it keeps
// full relative accuracy where ln C(n, k) + k ln p + (n - k) ln q would lose
// digits to cancellation (large n, p near 0 or 1), and it never forms a
// binomial coefficient, so it cannot overflow for any n.
//
// Tails are summed from the requested end towards the far tail, with each
// term obtained from the previous one by the ratio recurrence, and stop once
// a term no longer changes the sum in extended precision. On the side of the
// mean the complement of the opposite tail is taken instead; there the result
// is at least about one half, so nothing is lost to cancellation. Tails
// thereby keep their relative accuracy down to the extended range (about
// 1e-4900), far beyond an incomplete beta or gamma continued fraction with an
// absolute stopping rule, and cost time proportional to the spread of the
// distribution, not to n.
#include "engine/discrete/Discrete.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "common/CommonState.h"
#include "common/Sentinels.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {

namespace {

using LD = long double;
constexpr LD NegInf = -std::numeric_limits<LD>::infinity();
constexpr LD NA = NotAvailable;
constexpr LD LnTwoPi = 1.837877066409345483560659472811235279722794947275566825634L;
// Below e^-11350 a probability is returned as 0 (the extended range ends near e^-11355).
constexpr LD LnUnderflow = -11350.0L;
// A term this small relative to the running sum no longer changes it.
constexpr LD RelativeStop = 1e-22L;

LD Clamp01(LD p) { return std::clamp(p, 0.0L, 1.0L); }

LD ExpProb(LD L) {
    if (!(L >= LnUnderflow)) return 0;
    return Clamp01(std::exp(L));
}

// ln Γ(n + 1) - [(n + ½) ln n - n + ln √(2π)], the error of Stirling's formula.
LD StirlErr(LD n) {
    if (n <= 15) return std::lgamma(n + 1) - (n + 0.5L) * std::log(n) + n - LnTwoPi / 2;
    constexpr LD S0 = 1.0L / 12, S1 = 1.0L / 360, S2 = 1.0L / 1260, S3 = 1.0L / 1680,
                 S4 = 1.0L / 1188;
    const LD nn = n * n;
    return (S0 - (S1 - (S2 - (S3 - S4 / nn) / nn) / nn) / nn) / n;
}

// x ln(x/np) + np - x, by its series when x is close to np.
LD Bd0(LD x, LD np) {
    if (std::fabs(x - np) < 0.1L * (x + np)) {
        LD v = (x - np) / (x + np);
        LD s = (x - np) * v;
        LD ej = 2 * x * v;
        const LD v2 = v * v;
        for (int j = 1; j < 1000; ++j) {
            ej *= v2;
            const LD s1 = s + ej / (2 * j + 1);
            if (s1 == s) return s1;
            s = s1;
        }
        return s;
    }
    return x * std::log(x / np) + np - x;
}

// ln P(X = x), X ~ Binomial(n, p), q = 1 - p.
LD BinomLogPmf(LD x, LD n, LD p, LD q) {
    if (x < 0 || x > n) return NegInf;
    if (p == 0) return x == 0 ? 0 : NegInf;
    if (q == 0) return x == n ? 0 : NegInf;
    const LD lnq = p < 0.5L ? std::log1p(-p) : std::log(q);
    const LD lnp = q < 0.5L ? std::log1p(-q) : std::log(p);
    if (x == 0) return n == 0 ? 0 : n * lnq;
    if (x == n) return n * lnp;
    const LD lc = StirlErr(n) - StirlErr(x) - StirlErr(n - x) - Bd0(x, n * p) - Bd0(n - x, n * q);
    const LD lf = LnTwoPi + std::log(x) + std::log1p(-x / n);
    return lc - 0.5L * lf;
}

// ln P(X = x), X ~ Poisson(lambda).
LD PoissonLogPmf(LD x, LD lambda) {
    if (x < 0) return NegInf;
    if (lambda == 0) return x == 0 ? 0 : NegInf;
    if (x == 0) return -lambda;
    return -StirlErr(x) - Bd0(x, lambda) - 0.5L * (LnTwoPi + std::log(x));
}

// ln P(X = k) for a sample of n from N items of which D are marked, as a
// ratio of binomial probabilities with the sampling fraction n/N (Loader).
LD HyperLogPmf(long long k, long long n, long long N, long long D) {
    if (n < 0 || N < 0 || D < 0 || n > N || D > N) return NegInf;
    if (k < std::max(0LL, n - (N - D)) || k > std::min(n, D)) return NegInf;
    if (n == 0 || n == N) return 0;
    const LD p = static_cast<LD>(n) / N;
    const LD q = static_cast<LD>(N - n) / N;
    return BinomLogPmf(k, D, p, q) + BinomLogPmf(n - k, N - D, p, q) - BinomLogPmf(n, N, p, q);
}

// Σ of a run of terms relative to the first: the first term is 1 and each
// next one is the previous times ratio(j), j = start, start + step, ...,
// until the run leaves [lo, hi] or a term stops mattering. Returns ln of the sum.
template <class Ratio>
LD LogRunSum(long long start, long long step, long long lo, long long hi, Ratio ratio) {
    LD term = 1, s = 1;
    for (long long j = start; ; j += step) {
        const long long next = j + step;
        if (next < lo || next > hi) break;
        term *= ratio(j);
        s += term;
        if (term <= s * RelativeStop) break;
    }
    return std::log(s);
}

// Beyond this variance a tail sum would run over too many terms (about ten
// standard deviations of them); the tails are then the regularized
// incomplete beta or gamma functions, which the engine evaluates in constant
// time for large parameters.
constexpr LD LargeSpread = 1e6L;

// P(X >= k) = I_p(k, n - k + 1) when upper, else P(X <= k) = 1 - I_p(k + 1, n - k).
LD BinomTailByBeta(LD k, LD n, LD p, LD q, bool upper) {
    CommonState scratch;
    LD w, w1;
    if (upper) {
        IncompleteBetaPair(scratch, k, n - k + 1, p, q, w, w1);
        return Clamp01(w);
    }
    IncompleteBetaPair(scratch, k + 1, n - k, p, q, w, w1);
    return Clamp01(w1);
}

// P(X >= m) = P(m, λ) when upper, else P(X <= m) = Q(m + 1, λ).
LD PoissonTailByGamma(LD m, LD lambda, bool upper) {
    CommonState scratch;
    LD p, q;
    if (upper) {
        IncompleteGammaPQ(scratch, m, lambda, p, q);
        return Clamp01(p);
    }
    IncompleteGammaPQ(scratch, m + 1, lambda, p, q);
    return Clamp01(q);
}

// P(X >= k) and P(X <= k) of the binomial for 0 <= p <= 1.
LD BinomUpper(long long k, long long n, LD p);
LD BinomLower(long long k, long long n, LD p) {
    if (k < 0) return 0;
    if (k >= n) return 1;
    if (p == 0) return 1;
    if (p == 1) return 0;
    const LD q = 1 - p;
    if (n * p * q > LargeSpread) return BinomTailByBeta(k, n, p, q, false);
    if (static_cast<LD>(k) >= n * p) return Clamp01(1 - BinomUpper(k + 1, n, p));
    const LD odds = q / p;
    const LD L = BinomLogPmf(k, n, p, q) +
                 LogRunSum(k, -1, 0, k, [&](long long j) {
                     return static_cast<LD>(j) / static_cast<LD>(n - j + 1) * odds;
                 });
    return ExpProb(L);
}

LD BinomUpper(long long k, long long n, LD p) {
    if (k <= 0) return 1;
    if (k > n) return 0;
    if (p == 0) return 0;
    if (p == 1) return 1;
    const LD q = 1 - p;
    if (n * p * q > LargeSpread) return BinomTailByBeta(k, n, p, q, true);
    if (static_cast<LD>(k) <= n * p) return Clamp01(1 - BinomLower(k - 1, n, p));
    const LD odds = p / q;
    const LD L = BinomLogPmf(k, n, p, q) +
                 LogRunSum(k, 1, k, n, [&](long long j) {
                     return static_cast<LD>(n - j) / static_cast<LD>(j + 1) * odds;
                 });
    return ExpProb(L);
}

// P(X >= m) and P(X <= m) of the Poisson.
LD PoissonUpper(long long m, LD lambda);
LD PoissonLower(long long m, LD lambda) {
    if (m < 0) return 0;
    if (lambda <= 0) return 1;
    if (lambda > LargeSpread) return PoissonTailByGamma(m, lambda, false);
    if (static_cast<LD>(m) >= lambda) return Clamp01(1 - PoissonUpper(m + 1, lambda));
    const LD L = PoissonLogPmf(m, lambda) +
                 LogRunSum(m, -1, 0, m, [&](long long j) { return j / lambda; });
    return ExpProb(L);
}

LD PoissonUpper(long long m, LD lambda) {
    if (m <= 0) return 1;
    if (lambda <= 0) return 0;
    if (lambda > LargeSpread) return PoissonTailByGamma(m, lambda, true);
    if (static_cast<LD>(m) <= lambda) return Clamp01(1 - PoissonLower(m - 1, lambda));
    const LD L = PoissonLogPmf(m, lambda) +
                 LogRunSum(m, 1, m, std::numeric_limits<long long>::max() - 1,
                           [&](long long j) { return lambda / (j + 1); });
    return ExpProb(L);
}

// P(X >= k) and P(X <= k) of the hypergeometric (sample n of N, D marked).
LD HyperUpper(long long k, long long n, long long N, long long D);
LD HyperLower(long long k, long long n, long long N, long long D) {
    const long long lo = std::max(0LL, n - (N - D)), hi = std::min(n, D);
    if (k < lo) return 0;
    if (k >= hi) return 1;
    const LD mean = static_cast<LD>(n) * D / N;
    if (static_cast<LD>(k) >= mean) return Clamp01(1 - HyperUpper(k + 1, n, N, D));
    // P(j - 1)/P(j) = j (N - D - n + j) / ((D - j + 1)(n - j + 1))
    const LD L = HyperLogPmf(k, n, N, D) + LogRunSum(k, -1, lo, k, [&](long long j) {
                     return static_cast<LD>(j) * static_cast<LD>(N - D - n + j) /
                            (static_cast<LD>(D - j + 1) * static_cast<LD>(n - j + 1));
                 });
    return ExpProb(L);
}

LD HyperUpper(long long k, long long n, long long N, long long D) {
    const long long lo = std::max(0LL, n - (N - D)), hi = std::min(n, D);
    if (k <= lo) return 1;
    if (k > hi) return 0;
    const LD mean = static_cast<LD>(n) * D / N;
    if (static_cast<LD>(k) <= mean) return Clamp01(1 - HyperLower(k - 1, n, N, D));
    // P(j + 1)/P(j) = (D - j)(n - j) / ((j + 1)(N - D - n + j + 1))
    const LD L = HyperLogPmf(k, n, N, D) + LogRunSum(k, 1, k, hi, [&](long long j) {
                     return static_cast<LD>(D - j) * static_cast<LD>(n - j) /
                            (static_cast<LD>(j + 1) * static_cast<LD>(N - D - n + j + 1));
                 });
    return ExpProb(L);
}

bool ValidHyper(long long n, long long N, long long D) {
    return N >= 0 && n >= 0 && n <= N && D >= 0 && D <= N;
}

long long MarkedCount(long double p, long long N) { return std::llround(p * N); }

bool WholeNumber(LD x) { return std::fabs(x - std::nearbyint(x)) <= 1e-9L * std::max(1.0L, std::fabs(x)); }

// The root in (0, hi] of an increasing function f with f(0+) < target <= f(hi),
// to full extended relative precision: geometric halving to bracket it, then
// bisection (geometric while the bracket spans more than a factor 2).
template <class F>
LD IncreasingRoot(F f, LD target, LD hi) {
    LD lo = hi;
    int guard = 0;
    do {
        hi = lo;
        lo /= 2;
        if (++guard > 20000 || lo == 0) return lo;
    } while (f(lo) >= target);
    for (int it = 0; it < 400; ++it) {
        const LD mid = hi > 2 * lo ? std::sqrt(lo) * std::sqrt(hi) : lo + (hi - lo) / 2;
        if (mid <= lo || mid >= hi) break;
        if (f(mid) >= target) hi = mid;
        else lo = mid;
        if (hi - lo <= hi * 1e-18L) break;
    }
    return lo + (hi - lo) / 2;
}

// Lower Clopper-Pearson limit for x successes in n trials: P(X >= x | p) = a.
LD BinomLowerLimit(long long x, long long n, LD a) {
    if (x <= 0) return 0;
    return IncreasingRoot([&](LD p) { return BinomUpper(x, n, p); }, a,
                          static_cast<LD>(x) / n);
}

}  // namespace

// ---------------------------------------------------------------------------
// binomial

long double BinomProb(CommonState& cs, long long k, long long n, long double p) {
    cs.StatErrorCode = 0;
    if (n < 0 || !(p >= 0 && p <= 1)) {
        cs.StatErrorCode = 1;
        return 0;
    }
    return ExpProb(BinomLogPmf(k, n, p, 1 - p));
}

long double BinomAtLeast(CommonState& cs, long long k, long long n, long double p) {
    if (k <= 0) return 1;
    if (n < 0 || !(p >= 0 && p <= 1)) {
        cs.StatErrorCode = 1;
        return 0;
    }
    return BinomUpper(k, n, p);
}

long double BinomAtLeastBeta(CommonState& cs, long long k, long long n, long double p) {
    // For whole k and n, I_p(k, n - k + 1) is exactly P(X >= k).
    return BinomAtLeast(cs, k, n, p);
}

long double BinomAtMost(CommonState& cs, long long k, long long n, long double p) {
    if (n < 0 || !(p >= 0 && p <= 1)) {
        cs.StatErrorCode = 1;
        return 0;
    }
    return BinomLower(k, n, p);
}

// ---------------------------------------------------------------------------
// Poisson

long double PoissonProb(long double k, long double lambda) {
    if (lambda < 0) return 0;
    return ExpProb(PoissonLogPmf(std::nearbyint(k), lambda));
}

// Counts from here on do not fit a long long; their tails come from the
// incomplete gamma function.
constexpr LD LargestCount = 1e18L;

long double PoissonAtLeast(long double lambda, long double x) {
    if (std::isnan(lambda) || std::isnan(x)) return NA;
    if (x < 1) return 1;
    if (lambda < 0) return 0;
    if (std::isinf(lambda)) return 1;
    if (x > LargestCount) return lambda == 0 ? 0 : PoissonTailByGamma(std::nearbyint(x), lambda, true);
    return PoissonUpper(std::llround(x), lambda);
}

long double PoissonAtMost(long double lambda, long double x) {
    if (std::isnan(lambda) || std::isnan(x)) return NA;
    if (x < 0 || lambda < 0) return 0;
    if (std::isinf(lambda)) return std::isinf(x) ? 1 : 0;
    if (x > LargestCount) return lambda == 0 ? 1 : PoissonTailByGamma(std::nearbyint(x), lambda, false);
    const long long m = x >= 1 ? std::llround(x) : 0;
    return PoissonLower(m, lambda);
}

// ---------------------------------------------------------------------------
// hypergeometric

long double HyperProb(long long k, long long n, long long N, long double p, long double& lnTotal) {
    const long long D = MarkedCount(p, N);
    if (!ValidHyper(n, N, D)) return 0;
    if (lnTotal == 0)
        lnTotal = std::lgamma(static_cast<LD>(N) + 1) - std::lgamma(static_cast<LD>(n) + 1) -
                  std::lgamma(static_cast<LD>(N - n) + 1);
    return ExpProb(HyperLogPmf(k, n, N, D));
}

long double HyperAtLeast(long long k, long long n, long long N, long double p) {
    const long long D = MarkedCount(p, N);
    if (k <= 0) return 1;
    if (!ValidHyper(n, N, D)) return 0;
    return HyperUpper(k, n, N, D);
}

// ---------------------------------------------------------------------------
// Fisher's exact test

void FisherExactP(int alternative, long double& p, long double x1, long double x2,
                  long double f1, long double f2) {
    const long long X1 = std::llround(x1), X2 = std::llround(x2), F1 = std::llround(f1),
                    F2 = std::llround(f2);
    p = NA;
    if (X1 < 0 || X2 < 0 || F1 < 0 || F2 < 0) return;
    const long long n1 = X1 + F1, n2 = X2 + F2;
    if (n1 == 0 || n2 == 0) return;
    const long long S = X1 + X2, F = F1 + F2, N = S + F;
    if (N > 10000000 || S == 0 || F == 0) return;

    if (alternative == 1 || alternative == 2) {
        // Tails of the successes of the first sample given all margins.
        p = alternative == 1 ? HyperLower(X1, n1, N, S) : HyperUpper(X1, n1, N, S);
        return;
    }

    // The "low" sample is the one with the smaller success proportion.
    const bool firstLow = X1 * n2 <= X2 * n1;
    const long long a = firstLow ? X1 : X2, b = firstLow ? F1 : F2;
    const long long c = firstLow ? X2 : X1, d = firstLow ? F2 : F1;
    // Distance between the columns' proportions, a/S - b/F, scaled by S·F to
    // an exact integer; each move of one success changes it by N.
    const long long delta0 = std::llabs(a * F - b * S);

    // One tail in the observed direction (fewer successes in the low sample):
    // every such table is further from equal proportions.
    LD sum = HyperLower(a, a + b, N, S);
    if (sum >= 1) {
        p = 1;
        return;
    }
    if (S == F || a + b == c + d) {
        // Equal margins: the distribution is symmetric.
        p = std::min<LD>(1, 2 * sum);
        return;
    }
    // The other way: the first table at least as far from equal proportions,
    // reached after s moves (a + s, b - s, c - s, d + s), then its tail.
    const long long s = std::max<long long>(1, (2 * delta0 + N - 1) / N);
    if (s <= std::min(b, c)) sum += HyperUpper(a + s, a + b, N, S);
    p = std::min<LD>(1, sum);
}

void SignTestP(CommonState& cs, long long a, long long b, int alternative, long double& p) {
    long long n = 0;
    // Counts whose total does not fit a 64-bit integer have no test either.
    if (a < 0 || b < 0 || __builtin_add_overflow(a, b, &n)) {
        p = NA;
        return;
    }
    cs.StatErrorCode = 0;
    switch (alternative) {
        case 1: p = BinomUpper(b, n, 0.5L); break;
        case 2: p = BinomLower(b, n, 0.5L); break;
        default:
            p = a == b ? 1 : std::min<LD>(1, 2 * BinomUpper(std::max(a, b), n, 0.5L));
            break;
    }
}

void BinomTestP(CommonState& cs, long long k, long long n, long double& p, int alternative,
                long double p0) {
    cs.StatErrorCode = 0;
    if (n <= 0 || k < 0 || k > n || !(p0 >= 0 && p0 <= 1)) {
        p = NA;
        return;
    }
    const LD phat = static_cast<LD>(k) / n;
    switch (alternative) {
        case 1: p = BinomLower(k, n, p0); break;
        case 2: p = BinomUpper(k, n, p0); break;
        default:
            if (std::fabs(p0 - phat) <= 1e-14L)
                p = 1;
            else if (p0 > phat)
                p = std::min<LD>(1, 2 * BinomLower(k, n, p0));
            else
                p = std::min<LD>(1, 2 * BinomUpper(k, n, p0));
            break;
    }
}

// ---------------------------------------------------------------------------
// intervals

void ProportionCI(CommonState& cs, long double& lower, long double& upper, long double alpha,
                  long long n, long double phat) {
    if (n <= 0) {
        lower = upper = NA;
        return;
    }
    const LD x = n * phat;
    if (WholeNumber(x) && alpha > 0 && alpha < 1 && x >= -0.5L && x <= n + 0.5L) {
        // Solve the binomial tail equations directly (Clopper and Pearson 1934).
        const long long k = std::llround(x);
        const LD a = alpha / 2;
        lower = BinomLowerLimit(k, n, a);
        upper = k >= n ? 1 : 1 - BinomLowerLimit(n - k, n, a);
        return;
    }
    // Fractional counts: the F-distribution form of the same limits.
    LD v1 = 2 * x, v2 = 2 * (n - x + 1);
    if (v1 <= 0) {
        lower = 0;
    } else {
        const LD F = InvF(cs, 1, v1, v2, 1 - alpha / 2);
        lower = v1 * F / (v2 + v1 * F);
    }
    v1 = 2 * x + 2;
    v2 = 2 * (n - x);
    if (v2 <= 0) {
        upper = 1;
    } else {
        const LD F = InvF(cs, 1, v1, v2, alpha / 2);
        upper = v1 * F / (v2 + v1 * F);
    }
}

void PoissonRateCI(CommonState& cs, long double& lower, long double& upper, long double alpha,
                   long double units, long double count) {
    if (!(units > 0) || !(count >= 0) || !std::isfinite(units) || !std::isfinite(count)) {
        lower = upper = NA;
        return;
    }
    if (WholeNumber(count) && alpha > 0 && alpha < 1) {
        // Garwood's exact limits: P(X >= c | lower) = P(X <= c | upper) = alpha/2.
        const long long c = std::llround(count);
        const LD a = alpha / 2;
        LD lo = 0;
        if (c > 0)
            lo = IncreasingRoot([&](LD lam) { return PoissonUpper(c, lam); }, a,
                                static_cast<LD>(c));
        // P(X <= c | λ) decreases in λ: bracket upwards, then bisect.
        LD l = 0, h = static_cast<LD>(c) + 1;
        while (PoissonLower(c, h) > a) {
            l = h;
            h *= 2;
        }
        for (int it = 0; it < 400; ++it) {
            const LD mid = l + (h - l) / 2;
            if (mid <= l || mid >= h) break;
            if (PoissonLower(c, mid) > a) l = mid;
            else h = mid;
            if (h - l <= h * 1e-18L) break;
        }
        lower = lo / units;
        upper = (l + (h - l) / 2) / units;
        return;
    }
    lower = count > 0 ? InvChiSq(cs, 1, 2 * count, 1 - alpha / 2) / 2 / units : 0;
    upper = InvChiSq(cs, 1, 2 * (count + 1), alpha / 2) / 2 / units;
}

void PoissonRatesTest(long double c1, long double c2, int alternative, long double& p,
                      long double& z, long double t1, long double t2) {
    if (!(t1 > 0) || !(t2 > 0)) {
        p = NA;
        z = 0;
        return;
    }
    const LD lambda = (c1 + c2) / (t1 + t2);
    if (lambda == 0) {
        p = 1;
        z = 0;
        return;
    }
    const LD e1 = lambda * t1, e2 = lambda * t2;
    const LD chi = (c1 - e1) * (c1 - e1) / e1 + (c2 - e2) * (c2 - e2) / e2;
    z = SignX(c1 / t1 - c2 / t2) * std::sqrt(chi);
    ZTestP(p, alternative, z);
}

}  // namespace amx
