// Binomial, Poisson and hypergeometric probabilities, exact tests and
// intervals. Far tails are compared on the log scale (R's log.p = TRUE), so a
// tolerance of 1e-9 there is a relative error of 1e-9 in the probability.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "common/Sentinels.h"
#include "engine/discrete/Discrete.h"
#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "session/CurrentSample.h"

namespace amx {
namespace {

// The parts of a session the engine works on (the engine links without the worksheet).
struct EngineSession : CommonState, CurrentSample, EngineState {};

constexpr long double NA = NotAvailable;

void ExpectRelative(long double got, long double want, const char* what) {
    if (want == 0) {
        EXPECT_EQ(got, 0) << what;
        return;
    }
    EXPECT_NEAR(static_cast<double>(got / want), 1.0, 1e-9) << what;
}

void ExpectLog(long double got, long double wantLog, const char* what) {
    ASSERT_GT(got, 0) << what;
    EXPECT_NEAR(static_cast<double>(std::log(got)), static_cast<double>(wantLog), 1e-9) << what;
}

TEST(DiscreteTest, BinomialAgreesWithR) {
    EngineSession s;
    struct Case {
        const char* what;
        long double got, want;
    };
    const std::vector<Case> cases{
        {"BinomProb(0,10,.5)", BinomProb(s, 0, 10, 0.5L), std::ldexp(1.0L, -10)},
        {"BinomProb(10,10,.5)", BinomProb(s, 10, 10, 0.5L), std::ldexp(1.0L, -10)},
        {"BinomAtLeast(0,..)", BinomAtLeast(s, 0, 7, 0.3L), 1},
        // pbinom(2, 10, .5, lower = FALSE); pbinom(7, 10, .5, lower = FALSE)
        {"BinomAtLeast(3,10,.5)", BinomAtLeast(s, 3, 10, 0.5L), 0.9453125L},
        {"BinomAtLeast(8,10,.5)", BinomAtLeast(s, 8, 10, 0.5L), 0.0546875L},
        // pbinom(899, 1000, .5, lower = FALSE); pbinom(100, 1000, .5)
        {"upper 900/1000", BinomAtLeast(s, 900, 1000, 0.5L), 6.7017177900063219e-162L},
        {"lower 100/1000", BinomAtMost(s, 100, 1000, 0.5L), 6.7017177900063219e-162L},
        // pbinom(599, 1000, .5, lower = FALSE); pbinom(499, 1000, .5, lower = FALSE)
        {"upper 600/1000", BinomAtLeastBeta(s, 600, 1000, 0.5L), 1.3642320780330136e-10L},
        {"upper 500/1000", BinomAtLeastBeta(s, 500, 1000, 0.5L), 0.51261250908918043L},
        // dbinom(0, 20000, 1e-3); dbinom(20000, 20000, .999); dbinom(10000, 20000, .5);
        // dbinom(3, 1e6, 1e-6)
        {"dbinom(0,20000,1e-3)", BinomProb(s, 0, 20000, 1e-3L), 2.0406311867621371e-09L},
        {"dbinom(n,20000,.999)", BinomProb(s, 20000, 20000, 0.999L), 2.0406311867621011e-09L},
        {"dbinom(10000,20000,.5)", BinomProb(s, 10000, 20000, 0.5L), 0.0056418253122204141L},
        {"dbinom(3,1e6,1e-6)", BinomProb(s, 3, 1000000, 1e-6L), 0.061313209538546187L},
        // pbinom(50, 1e9, 1e-7, lower = FALSE); pbinom(1e5, 1e9, 1e-4)
        {"upper 51/1e9", BinomAtLeast(s, 51, 1000000000, 1e-7L), 0.99999997598410828L},
        {"lower 1e5/1e9", BinomAtMost(s, 100000, 1000000000, 1e-4L), 0.50084104310038557L},
        // pbinom(1, 12, .5)
        {"lower 1/12", BinomAtMost(s, 1, 12, 0.5L), 0.0031738281250000022L},
        {"p = 0", BinomProb(s, 0, 50000, 0), 1},
        {"p = 1", BinomProb(s, 50000, 50000, 1), 1},
        {"p = 1, k < n", BinomProb(s, 3, 50000, 1), 0},
        {"k > n", BinomProb(s, 11, 10, 0.5L), 0},
    };
    for (const auto& c : cases) ExpectRelative(c.got, c.want, c.what);
    EXPECT_EQ(s.StatErrorCode, 0);

    // Far tails: log.p = TRUE values of pbinom.
    ExpectLog(BinomAtLeast(s, 5000, 10000, 0.3L), -876.03868088095498L, "upper 5000/1e4");
    ExpectLog(BinomAtMost(s, 1000, 10000, 0.3L), -1167.2378562168919L, "lower 1000/1e4");
    ExpectLog(BinomAtLeast(s, 1000, 1000, 0.01L), -4605.1701859880914L, "upper 1000/1000");
    ExpectLog(BinomAtMost(s, 5, 10000, 0.2L), -2197.1017729795667L, "lower 5/1e4");
    ExpectLog(BinomProb(s, 100000, 200000, 0.5L), -6.3288289254098151L, "dbinom 1e5/2e5");
    ExpectLog(BinomProb(s, 0, 10000, 0.5L), -6931.4718055994526L, "dbinom 0/1e4");
    // Beyond the extended range (ln P = -6931471.8 and -22268.5): exactly 0.
    EXPECT_EQ(BinomProb(s, 0, 10000000, 0.5L), 0);
    EXPECT_EQ(BinomAtMost(s, 5, 100000, 0.2L), 0);
    EXPECT_EQ(s.StatErrorCode, 0);

    BinomProb(s, 1, 10, 1.5L);
    EXPECT_EQ(s.StatErrorCode, 1);
}

TEST(DiscreteTest, PoissonAgreesWithR) {
    struct Case {
        const char* what;
        long double got, want;
    };
    const std::vector<Case> cases{
        {"AtLeast(2, .5)", PoissonAtLeast(2, 0.5L), 1},
        {"AtMost(2, .5)", PoissonAtMost(2, 0.5L), std::exp(-2.0L)},
        {"Prob(3, 0)", PoissonProb(3, 0), 0},
        {"Prob(0, 0)", PoissonProb(0, 0), 1},
        {"AtMost(-1)", PoissonAtMost(2, -1), 0},
        // ppois(1, .5, lower = FALSE); ppois(12, 10); ppois(7, 10, lower = FALSE); dpois(500, 400)
        {"AtLeast(.5, 2)", PoissonAtLeast(0.5L, 2), 0.090204010431049877L},
        {"AtMost(10, 12)", PoissonAtMost(10, 12), 0.79155647639487425L},
        {"AtLeast(10, 8)", PoissonAtLeast(10, 8), 0.77977935339830107L},
        {"Prob(500, 400)", PoissonProb(500, 400), 1.6818775266729483e-07L},
    };
    for (const auto& c : cases) ExpectRelative(c.got, c.want, c.what);
    // ppois(1000, 10, lower = FALSE, log.p = TRUE) etc.
    ExpectLog(PoissonAtLeast(10, 1001), -3624.1392251073903L, "AtLeast(10, 1001)");
    ExpectLog(PoissonAtMost(1000, 10), -946.01681962963278L, "AtMost(1000, 10)");
    ExpectLog(PoissonAtLeast(1e4L, 15001), -1087.0109206122152L, "AtLeast(1e4, 15001)");
    EXPECT_EQ(PoissonAtLeast(1e6L, 2000001), 0);  // ln P = -386302.5
}

TEST(DiscreteTest, HypergeometricAgreesWithR) {
    long double lnTotal = 0;
    // dhyper(3, 50, 150, 40): 40 drawn from 200 with 50 marked
    ExpectRelative(HyperProb(3, 40, 200, 0.25L, lnTotal), 0.001778640545138726L, "dhyper");
    EXPECT_NEAR(static_cast<double>(lnTotal), std::lgamma(201.0) - std::lgamma(41.0) - std::lgamma(161.0), 1e-9);
    // Outside the support: more marked items than exist, or a negative count.
    lnTotal = 0;
    EXPECT_EQ(HyperProb(6, 10, 20, 0.25L, lnTotal), 0);
    EXPECT_EQ(HyperProb(-1, 10, 20, 0.25L, lnTotal), 0);
    EXPECT_EQ(HyperProb(1, 18, 20, 0.25L, lnTotal), 0);  // at least 3 marked items are drawn
    // phyper(4, 5, 15, 10, lower = FALSE): only k = 5 remains
    ExpectRelative(HyperAtLeast(5, 10, 20, 0.25L), 0.016253869969040272L, "AtLeast(5,10,20,.25)");
    ExpectRelative(HyperAtLeast(6, 10, 20, 0.25L), 0, "beyond the support");
    ExpectRelative(HyperAtLeast(0, 10, 20, 0.25L), 1, "k = 0");
    // phyper(100, 500, 500, 300, lower = FALSE); phyper(199, 2000, 8000, 600, lower = FALSE)
    ExpectRelative(HyperAtLeast(101, 300, 1000, 0.5L), 0.99999999999699229L, "near side");
    ExpectRelative(HyperAtLeast(200, 600, 10000, 0.2L), 1.590480256497196e-15L, "far side");
    // phyper(299, 500, 500, 300, lower = FALSE, log.p = TRUE)
    ExpectLog(HyperAtLeast(300, 300, 1000, 0.5L), -274.07887494169211L, "AtLeast(300,300,1000)");
}

TEST(DiscreteTest, FisherExact) {
    struct Case {
        int alternative;
        long double x1, f1, x2, f2, p;
    };
    const std::vector<Case> cases{
        // m <- matrix(c(x1, x2, f1, f2), 2); fisher.test(m, alternative = "greater"/"less")
        {2, 3, 1, 1, 3, 0.24285714285714288L},
        {1, 3, 1, 1, 3, 0.98571428571428577L},
        {2, 10, 2, 3, 15, 0.00046518094336290585L},
        {1, 10, 2, 3, 15, 0.99998451901868612L},
        // equal proportions: each alternative gets its own tail
        {2, 1, 2, 2, 4, 0.76190476190476197L},
        {1, 1, 2, 2, 4, 0.77380952380952372L},
        {2, 0, 2000, 2000, 0, 1},
        // Equal margins: twice the one-sided tail, 2(16 + 1)/70.
        {0, 3, 1, 1, 3, 34.0L / 70},
        {0, 1, 3, 3, 1, 34.0L / 70},
        {0, 2, 2, 2, 2, 1},
        // Unequal margins: tables at least as far from equal proportions,
        // |x1/S - f1/F| >= the observed, by brute force in R:
        // k <- max(0, n1 - F):min(n1, S); d <- abs(k*F - (n1 - k)*S)
        // sum(dhyper(k, S, F, n1)[d >= abs(x1*F - f1*S)])
        {0, 7, 3, 2, 8, 0.06977851869492734949L},
        {0, 10, 2, 3, 15, 0.00053672411914343669L},
        {0, 2, 10, 15, 3, 0.00053672411914343669L},
        {0, 3, 9, 40, 12, 0.00120617978852415194L},
        {0, 1, 2, 1, 5, 1},
        {0, 0, 5, 5, 0, 2.0L / 252},
    };
    for (const auto& c : cases) {
        long double p = -1;
        FisherExactP(c.alternative, p, c.x1, c.x2, c.f1, c.f2);
        EXPECT_NEAR(static_cast<double>(p / c.p), 1.0, 1e-12)
            << c.alternative << ": " << static_cast<double>(c.x1) << " " << static_cast<double>(c.f1)
            << " / " << static_cast<double>(c.x2) << " " << static_cast<double>(c.f2);
    }
    long double p = 0;
    // phyper(899, 1000, 1000, 1000, lower = FALSE, log.p = TRUE) (fisher.test
    // returns a denormal double here, good to 2 digits only)
    FisherExactP(2, p, 900, 100, 100, 900);
    ExpectLog(p, -738.42902731291144L, "900/100 vs 100/900");
    // phyper(1999, 2000, 2000, 2000, lower = FALSE, log.p = TRUE)
    FisherExactP(2, p, 2000, 0, 0, 2000);
    ExpectLog(p, -2768.2158435670858L, "2000/0 vs 0/2000");
    for (auto [x1, f1, x2, f2] : {std::array<long double, 4>{0, 0, 1, 2}, {1, 2, 0, 0},
                                  {0, 3, 0, 4}, {3, 0, 4, 0}, {6e6, 1, 5e6, 1}}) {
        FisherExactP(0, p, x1, x2, f1, f2);
        EXPECT_EQ(p, NA);
    }
}

TEST(DiscreteTest, SignAndBinomialTests) {
    EngineSession s;
    long double p = -1;
    SignTestP(s, 5, 5, 0, p);
    EXPECT_EQ(p, 1);
    // 2 * pbinom(5, 10, .5, lower = FALSE) for a = 6, b = 4... max(a, b) = 6
    SignTestP(s, 6, 4, 0, p);
    ExpectRelative(p, 0.75390625000000022L, "sign 6/4");
    SignTestP(s, 11, 1, 2, p);  // P(X <= 1), X ~ Bin(12, .5)
    ExpectRelative(p, 0.0031738281250000022L, "sign lower");

    struct Case {
        long long k, n;
        int alternative;
        long double p0, p;
    };
    const std::vector<Case> cases{
        // binom.test(3, 20, .5, "less"); binom.test(17, 20, .5, "greater")
        {3, 20, 1, 0.5L, 0.0012884140014648451L},
        {17, 20, 2, 0.5L, 0.0012884140014648451L},
        // twice the smaller tail: 2*pbinom(3, 20, .4); 2*pbinom(16, 20, .4, lower = FALSE)
        {3, 20, 0, 0.4L, 0.031922325580016536L},
        {17, 20, 0, 0.4L, 9.4689941384069074e-05L},
        {6, 20, 0, 0.3L, 1},
        {20, 20, 1, 0.3L, 1},
        {0, 20, 2, 0.3L, 1},
    };
    for (const auto& c : cases) {
        BinomTestP(s, c.k, c.n, p, c.alternative, c.p0);
        ExpectRelative(p, c.p, "BinomTestP");
    }
    // binom.test(5, 1e4, .2, "less")$p.value underflows doubles; pbinom(.., log.p = TRUE)
    BinomTestP(s, 5, 10000, p, 1, 0.2L);
    ExpectLog(p, -2197.1017729795667L, "far lower tail");
}

TEST(DiscreteTest, ExactIntervals) {
    EngineSession s;
    struct Case {
        long long n;
        long double x, alpha, lo, hi;
    };
    // binom.test(x, n, conf.level = 1 - alpha)$conf.int
    const std::vector<Case> cases{
        {30, 7, 0.05L, 0.099337864958019786L, 0.4228365229782195L},
        {30, 0, 0.05L, 0, 0.11570330822202779L},
        {30, 30, 0.05L, 0.88429669177797221L, 1},
        {1000000, 1, 0.01L, 5.0125418109815012e-09L, 7.4301056119785301e-06L},
        {1000, 400, 0.1L, 0.37426088184572237L, 0.42617658666469149L},
    };
    for (const auto& c : cases) {
        long double lo = -1, hi = -1;
        ProportionCI(s, lo, hi, c.alpha, c.n, c.x / c.n);
        ExpectRelative(lo, c.lo, "ProportionCI lower");
        ExpectRelative(hi, c.hi, "ProportionCI upper");
    }
    struct PCase {
        long double count, units, alpha, lo, hi;
    };
    // poisson.test(count, units, conf.level = 1 - alpha)$conf.int
    const std::vector<PCase> pcases{
        {7, 2.5L, 0.05L, 1.1257452206079468L, 5.7690701446809509L},
        {0, 3, 0.05L, 0, 1.2296264847046452L},
        {1000, 10, 0.01L, 92.042404616335915L, 108.43728680643892L},
    };
    for (const auto& c : pcases) {
        long double lo = -1, hi = -1;
        PoissonRateCI(s, lo, hi, c.alpha, c.units, c.count);
        ExpectRelative(lo, c.lo, "PoissonRateCI lower");
        ExpectRelative(hi, c.hi, "PoissonRateCI upper");
    }
    // Fractional counts take the F and chi-square forms:
    // qbeta(c(.025, .975), c(7.5, 8.5), c(23.5, 22.5)); qgamma(c(.025, .975), c(2.5, 3.5))
    long double lo = 0, hi = 0;
    ProportionCI(s, lo, hi, 0.05L, 30, 7.5L / 30);
    EXPECT_NEAR(static_cast<double>(lo), 0.11092090715825267, 1e-7);
    EXPECT_NEAR(static_cast<double>(hi), 0.44099568067942119, 1e-7);
    PoissonRateCI(s, lo, hi, 0.05L, 1, 2.5L);
    EXPECT_NEAR(static_cast<double>(lo), 0.41560580674333125, 1e-7);
    EXPECT_NEAR(static_cast<double>(hi), 8.0063821373146613, 1e-7);
    PoissonRateCI(s, lo, hi, 0.05L, 0, 4);
    EXPECT_EQ(lo, NA);
    EXPECT_EQ(hi, NA);
}

TEST(DiscreteTest, PoissonRates) {
    long double p = -1, z = -1;
    PoissonRatesTest(0, 0, 0, p, z, 1, 2);
    EXPECT_EQ(p, 1);
    EXPECT_EQ(z, 0);
    // λ = 30/5 = 6: χ = (20 - 12)²/12 + (10 - 18)²/18, z = +sqrt(χ)
    PoissonRatesTest(20, 10, 2, p, z, 2, 3);
    const long double chi = 64.0L / 12 + 64.0L / 18;
    EXPECT_NEAR(static_cast<double>(z), std::sqrt(static_cast<double>(chi)), 1e-15);
    EXPECT_NEAR(static_cast<double>(p), 0.5 * std::erfc(std::sqrt(static_cast<double>(chi)) / std::sqrt(2.0)), 1e-6);
    PoissonRatesTest(3, 4, 0, p, z, 0, 2);
    EXPECT_EQ(p, NA);
}

}  // namespace
}  // namespace amx
