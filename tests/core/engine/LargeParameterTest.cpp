// Incomplete gamma and beta functions, discrete tails and the noncentral F
// power at parameters far beyond what a series or term sum reaches (10^5 to
// 10^20). References from mpmath at 60 digits by direct quadrature of the
// densities, e.g. for Q(a, x):
//   mp.dps = 60; L = loggamma(a)
//   quad(lambda t: exp((a-1)*log(t) - t - L), [x, x+sqrt(a), ..., x+40*sqrt(a), inf])
// (R's pgamma and pbinom lose about 9 digits at 10^18, so they are no
// reference there.)
#include <gtest/gtest.h>

#include <cmath>

#include "common/CommonState.h"
#include "engine/discrete/Discrete.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {
namespace {

void ExpectRelative(long double got, long double want, double tol) {
    EXPECT_NEAR(static_cast<double>(got / want), 1.0, tol) << static_cast<double>(got);
}

TEST(LargeParameters, IncompleteGammaAgreesWithQuadrature) {
    struct Case {
        long double a, x, P, Q;
    };
    const Case cases[] = {
        {1e5L, 98500, 9.382554994077995786e-7L, 0.9999990617445005922L},
        {1e12L, 999995000000.0L, 2.866396783250203718e-7L, 0.99999971336032167498L},
        {1e18L, 1000000007000000000.0L, 0.99999999999872018731L, 1.2798126900413691155e-12L},
        {1e18L, 999999997000000000.0L, 0.0013498980198118321192L, 0.99865010198018816788L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<double>(c.a));
        CommonState cs;
        long double p, q;
        ASSERT_TRUE(IncompleteGammaPQ(cs, c.a, c.x, p, q));
        ExpectRelative(p, c.P, 1e-13);
        ExpectRelative(q, c.Q, 1e-13);
        EXPECT_EQ(cs.StatErrorCode, 0);
        // The raw series and fraction answer the same, without a warning.
        long double g, gln;
        GSer(cs, g, gln, c.a, c.x);
        ExpectRelative(g, c.P, 1e-13);
        GCF(cs, g, gln, c.a, c.x);
        ExpectRelative(g, c.Q, 1e-13);
        EXPECT_EQ(cs.StatErrorCode, 0);
    }
}

TEST(LargeParameters, DiscreteTailsOfHugeCountsAgreeWithQuadrature) {
    CommonState cs;
    // P(X <= 2e18 + 3e9), X ~ Binomial(4e18, 1/2): one minus
    // quad of the Beta(k + 1, n - k) density from 1/2 to 1.
    ExpectRelative(BinomAtMost(cs, 2'000'000'003'000'000'000LL, 4'000'000'000'000'000'000LL, 0.5L),
                   0.99865010197058582967987117L, 1e-13);
    ExpectRelative(BinomAtLeast(cs, 2'000'000'009'000'000'000LL, 4'000'000'000'000'000'000LL, 0.5L),
                   1.128588411093727290938101e-19L, 1e-11);
    // Poisson(1e18): P(X >= 1e18 + 3e9 + 2) / pnorm(-3) and
    // P(X <= 1e18 - 3e9) / pnorm(-3), pnorm(-3) = 0.001349898031630094527...
    const long double v = 0.0013498980316300945267L;
    ExpectRelative(PoissonAtLeast(1e18L, 1000000003000000002.0L) / v, 0.99999999945281689002L, 1e-12);
    ExpectRelative(PoissonAtMost(1e18L, 999999997000000000.0L) / v, 0.99999999726408445340L, 1e-12);
    // Counts beyond a long long.
    EXPECT_EQ(PoissonAtMost(1e18L, 1e300L), 1.0L);
    EXPECT_EQ(PoissonAtLeast(1e18L, 1e300L), 0.0L);
}

TEST(LargeParameters, NoncentralFPowerForHugeNoncentrality) {
    CommonState cs;
    // As λ grows, F' / (λ/ν1) tends to ν2/χ²(ν2): the power at f = m·λ/ν1
    // tends to P(χ²(20) < 20/m). R: pchisq(c(25, 20/1.05), 20).
    ExpectRelative(NoncentralFPower(cs, 3, 20, 1e20L, 1e20L / 3 * 0.8L), 0.79856889505446416L, 1e-9);
    ExpectRelative(NoncentralFPower(cs, 3, 20, 1e20L, 1e20L / 3 * 1.05L), 0.48126730862666067L, 1e-9);
    // The strided sum meets the term-by-term one where they hand over.
    const long double below = NoncentralFPower(cs, 3, 20, 1.999999e5L, 1.999999e5L / 3 * 0.8L);
    const long double above = NoncentralFPower(cs, 3, 20, 2.000001e5L, 2.000001e5L / 3 * 0.8L);
    EXPECT_NEAR(static_cast<double>(below), static_cast<double>(above), 1e-9);
    EXPECT_EQ(cs.StatErrorCode, 0);
    // Infinite or undefined non-centrality: the routine's error value.
    EXPECT_EQ(NoncentralFPower(cs, 3, 20, HUGE_VALL, 2), NotAvailable);
    EXPECT_EQ(cs.StatErrorCode, StatOutOfRange);
}

}  // namespace
}  // namespace amx
