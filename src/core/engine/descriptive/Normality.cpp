// The three normality tests of the current sample: Anderson-Darling A²*,
// Shapiro-Wilk W and the Lin-Mudholkar correlation r.
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include "common/CommonState.h"
#include "common/Sentinels.h"
#include "engine/descriptive/NormalityLimits.h"
#include "engine/descriptive/SampleData.h"
#include "engine/distributions/Distributions.h"

namespace amx {

namespace {

constexpr long double NA = NotAvailable;

// Normal tails through the complementary error function, so that values many
// standard deviations out keep their full relative accuracy.
long double UpperNormal(long double z) {
    return 0.5L * std::erfc(z / std::numbers::sqrt2_v<long double>);
}

// ln(1 - Φ(a)) and ln Φ(a) for a >= 0; in double precision (ample for a sum
// of logarithms, and several times faster) until the double range runs out,
// then in extended precision.
void LogNormalTails(long double a, long double& lnSmall, long double& lnLarge) {
    if (a < 26) {
        const double small = 0.5 * std::erfc(static_cast<double>(a) / std::numbers::sqrt2);
        lnSmall = std::log(small);
        lnLarge = std::log1p(-small);
        return;
    }
    const long double small = 0.5L * std::erfc(a / std::numbers::sqrt2_v<long double>);
    lnSmall = std::log(small);
    lnLarge = std::log1p(-small);
}

long double Poly(const long double* c, int count, long double x) {
    long double r = c[count - 1];
    for (int i = count - 2; i >= 0; --i) r = r * x + c[i];
    return r;
}

}  // namespace

// ---------------------------------------------------------------------------
// Anderson-Darling

long double ADPValue(long double a) {
    if (a == NA) return NA;
    if (a <= 0.1L) return 1;
    if (a < 0.63L) return UpperNormal((std::log(a - 0.04L) + 1.2026L) / 0.527L);
    if (a >= 1.5L) return 0;
    // (A²*, F = 1 - p)
    static constexpr std::array<std::array<double, 2>, 24> table{{
        {0.1, 0},       {0.146, 0.01},  {0.2, 0.099},   {0.3, 0.38},    {0.4, 0.6223},
        {0.472, 0.75},  {0.5, 0.783},   {0.509, 0.8},   {0.561, 0.85},  {0.6, 0.8787},
        {0.631, 0.9},   {0.7, 0.9327},  {0.752, 0.95},  {0.8, 0.9633},  {0.873, 0.975},
        {0.9, 0.9797},  {1.0, 0.9887},  {1.035, 0.99},  {1.1, 0.9937},  {1.159, 0.995},
        {1.2, 0.9963},  {1.3, 0.998},   {1.4, 0.999},   {1.5, 1.0},
    }};
    size_t k = 1;
    while (k < table.size() && table[k][0] < a) ++k;
    const auto& lo = table[k - 1];
    const auto& hi = table[k];
    const long double F = lo[1] + (a - lo[0]) * (hi[1] - lo[1]) / (hi[0] - lo[0]);
    return 1 - F;
}

void SampleData::AndersonDarlingTest() {
    const int N = n();
    nReal = N;
    // Two values always give the same A², whatever they are: no test.
    if (N < 3 || stdDev == 0) {
        adStat = adP = NA;
        return;
    }
    EnsureSorted();
    const auto& x = values();
    // A² = -n - (1/n) Σ (2i - 1)[ln F(x(i)) + ln(1 - F(x(n+1-i)))] (Stephens 1974),
    // with the case 3 adjustment A²* = A²(1 + 0.75/n + 2.25/n²) for estimated
    // mean and standard deviation (D'Agostino and Stephens 1986, table 4.7).
    // ln F(x(i)) and ln(1 - F(x(i))) for every value, from one tail
    // probability each: the smaller tail carries the accuracy, the other is
    // its complement.
    std::vector<long double> lnLower(static_cast<size_t>(N) + 1), lnUpper(static_cast<size_t>(N) + 1);
    for (int i = 1; i <= N; ++i) {
        const long double z = (x[static_cast<size_t>(i)] - mean) / stdDev;
        long double lnSmall, lnLarge;
        LogNormalTails(std::fabs(z), lnSmall, lnLarge);
        lnLower[static_cast<size_t>(i)] = z < 0 ? lnSmall : lnLarge;
        lnUpper[static_cast<size_t>(i)] = z < 0 ? lnLarge : lnSmall;
        if (!std::isfinite(lnSmall)) {
            adStat = adP = NA;
            return;
        }
    }
    long double S = 0;
    for (int i = 1; i <= N; ++i)
        S += (2.0L * i - 1) * (lnLower[static_cast<size_t>(i)] + lnUpper[static_cast<size_t>(N + 1 - i)]);
    const long double A2 = -S / N - N;
    adStat = A2 * (1 + 0.75L / N + 2.25L / (static_cast<long double>(N) * N));
    adP = ADPValue(adStat);
}

// ---------------------------------------------------------------------------
// Shapiro-Wilk: Royston, "Remark AS R94: A remark on algorithm AS 181: the
// W-test for normality", Applied Statistics 44(4), 1995, 547-551.

void SampleData::BuildShapiroWilkCoefficients(int N) {
    const int half = N / 2;
    swA_.assign(static_cast<size_t>(half) + 1, 0.0L);
    swCacheN_ = N;
    if (N < 3) return;
    if (N == 3) {
        swA_[1] = std::sqrt(0.5L);
        return;
    }
    static constexpr long double c1[] = {0.0L, 0.221157L, -0.147981L, -2.07119L, 4.434685L, -2.706056L};
    static constexpr long double c2[] = {0.0L, 0.042981L, -0.293762L, -1.752461L, 5.682633L, -3.582633L};
    std::vector<long double> m(static_cast<size_t>(half) + 1);
    long double summ2 = 0;
    const long double an25 = N + 0.25L;
    for (int i = 1; i <= half; ++i) {
        // Blom's approximation to the expected normal order statistics.
        m[static_cast<size_t>(i)] = -InvNormalSeries(1, (i - 0.375L) / an25);
        summ2 += m[static_cast<size_t>(i)] * m[static_cast<size_t>(i)];
    }
    summ2 *= 2;
    const long double ssumm2 = std::sqrt(summ2);
    const long double rsn = 1 / std::sqrt(static_cast<long double>(N));
    const long double a1 = Poly(c1, 6, rsn) - m[1] / ssumm2;
    int first;
    long double fac;
    if (N > 5) {
        first = 3;
        const long double a2 = -m[2] / ssumm2 + Poly(c2, 6, rsn);
        fac = std::sqrt((summ2 - 2 * m[1] * m[1] - 2 * m[2] * m[2]) /
                        (1 - 2 * a1 * a1 - 2 * a2 * a2));
        swA_[2] = a2;
    } else {
        first = 2;
        fac = std::sqrt((summ2 - 2 * m[1] * m[1]) / (1 - 2 * a1 * a1));
    }
    swA_[1] = a1;
    for (int i = first; i <= half; ++i) swA_[static_cast<size_t>(i)] = -m[static_cast<size_t>(i)] / fac;
}

void SampleData::ShapiroWilkTest(bool resort) {
    const int N = n();
    // Two values, or more than the algorithm's approximations cover (Royston
    // 1995: 3 <= n <= 5000): no test.
    if (N <= 2 || N > ShapiroWilkMaxN) {
        swW = swP = NA;
        return;
    }
    if (resort) OrderStats();
    else EnsureSorted();
    const auto& x = values();
    const long double rng = static_cast<long double>(x[static_cast<size_t>(N)]) - x[1];
    // Constant data have no shape to test: W is 0/0.
    if (rng < 1e-20L) {
        swW = swP = NA;
        return;
    }
    if (swCacheN_ != N) BuildShapiroWilkCoefficients(N);

    // W is the squared correlation of the scaled data with the antisymmetric
    // coefficient vector (-a for the lower half, +a for the upper half).
    const int half = N / 2;
    auto coef = [&](int i) -> long double {
        if (i <= half) return -swA_[static_cast<size_t>(i)];
        const int j = N + 1 - i;
        if (j <= half) return swA_[static_cast<size_t>(j)];
        return 0.0L;
    };
    long double sa = 0, sx = 0;
    for (int i = 1; i <= N; ++i) {
        sa += coef(i);
        sx += x[static_cast<size_t>(i)] / rng;
    }
    sa /= N;
    sx /= N;
    long double ssa = 0, ssx = 0, sax = 0;
    for (int i = 1; i <= N; ++i) {
        const long double as = coef(i) - sa;
        const long double xs = x[static_cast<size_t>(i)] / rng - sx;
        ssa += as * as;
        ssx += xs * xs;
        sax += as * xs;
    }
    const long double ssassx = std::sqrt(ssa * ssx);
    const long double w1 = (ssassx - sax) * (ssassx + sax) / (ssa * ssx);
    swW = 1 - w1;

    if (N == 3) {
        // Exact distribution for n = 3; rounding can push W a hair below its
        // minimum 3/4, which would give a negative probability.
        constexpr long double pi6 = 1.90985931710274L, stqr = 1.04719755119660L;
        swP = std::max(0.0L, pi6 * (std::asin(std::sqrt(swW)) - stqr));
        return;
    }
    long double y = std::log(w1);
    const long double nn = N;
    long double mu, sigma;
    if (N <= 11) {
        const long double gamma = -2.273L + 0.459L * nn;
        if (y >= gamma) {
            swP = 0;
            return;
        }
        y = -std::log(gamma - y);
        mu = 0.544L - 0.39978L * nn + 0.025054L * nn * nn - 0.0006714L * nn * nn * nn;
        sigma = std::exp(1.3822L - 0.77857L * nn + 0.062767L * nn * nn - 0.0020322L * nn * nn * nn);
    } else {
        const long double u = std::log(nn);
        mu = -1.5861L - 0.31082L * u - 0.083751L * u * u + 0.0038915L * u * u * u;
        sigma = std::exp(-0.4803L - 0.082676L * u + 0.0030302L * u * u);
    }
    swP = UpperNormal((y - mu) / sigma);
}

// ---------------------------------------------------------------------------
// Lin-Mudholkar: Lin and Mudholkar, "A simple test for normality against
// asymmetric alternatives", Biometrika 67(2), 1980, 455-461.

long double LMPValue(int n, long double r) {
    const long double N = n;
    const long double z = 0.5L * std::log((1 + r) / (1 - r));
    const long double sigma = std::sqrt(3 / N - 7.324L / (N * N) + 53.005L / (N * N * N));
    const long double gamma = -11.7L / N + 55.06L / (N * N);
    const long double y = z / sigma;
    if (z > sigma * (3.5L + gamma * (42.875L - 10.5L) / 24)) return 0;
    // Invert the Cornish-Fisher relation u + γ(u³ - 3u)/24 = y for u.
    const long double P = -(24 / gamma - 3) / 3;
    const long double Q = -12 * y / gamma;
    const long double D = P * P * P - Q * Q;
    long double u;
    if (D >= 0) {
        const long double phi = std::acos(std::clamp(Q / std::sqrt(P * P * P), -1.0L, 1.0L));
        u = -2 * std::sqrt(P) * std::cos((phi + 4 * std::numbers::pi_v<long double>) / 3);
    } else {
        const long double A = std::cbrt(std::fabs(Q) + std::sqrt(-D));
        u = -(Q < 0 ? -1 : 1) * (A + P / A);
    }
    return 2 * UpperNormal(std::fabs(u));
}

void SampleData::LinMudholkarTest() {
    const int N = n();
    nReal = N;
    if (N < 3 || stdDev == 0) {
        lmR = lmP = NA;
        return;
    }
    const auto& x = values();
    const long double nn = N;
    long double su = 0, sv = 0, suu = 0, svv = 0, suv = 0;
    for (int i = 1; i <= N; ++i) {
        const long double d = x[static_cast<size_t>(i)] - mean;
        const long double u = d / (nn - 1);
        // Cube root of the variance of the sample without x[i].
        const long double rest = (nn * m2 - nn * d * d / (nn - 1)) / (nn - 2);
        const long double v = std::cbrt(static_cast<double>(std::max(0.0L, rest)));
        su += u;
        sv += v;
        suu += u * u;
        svv += v * v;
        suv += u * v;
    }
    const long double D = (svv - sv * sv / nn) * (suu - su * su / nn);
    lmR = D <= 0 ? 0 : std::fabs((suv - su * sv / nn) / std::sqrt(D));
    lmP = lmR >= 1 ? 0 : LMPValue(N, lmR);
}

}  // namespace amx
