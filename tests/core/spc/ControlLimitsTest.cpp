// ControlLimits for every chart code: sigma by method, normal and exact
// limits, clipping and the status codes.
#include <gtest/gtest.h>

#include <cmath>

#include "spc/ControlConstants.h"
#include "spc/ControlLimits.h"

namespace amx {
namespace {

struct SpcFixture : CommonState, SpcState {};

struct Limits {
    int status;
    long double CL, UCL, LCL, sigma;
    MissingLimits missing;
};

Limits Limit(SpcFixture& s, int chart, int method, long double centre, long double statistic,
           long double k, long double n, long double sigmaIn = 0.0L) {
    Limits r{};
    r.CL = centre;
    r.sigma = sigmaIn;
    r.status = ControlLimits(s, chart, method, r.CL, statistic, k, n, r.UCL, r.LCL, r.sigma, &r.missing);
    EXPECT_EQ(s.StatErrorCode, r.status);
    return r;
}

// The variables charts. Constants from the tables; other references from R:
//   variance chart: qchisq(c(0.5, v, 1 - v), 4, lower.tail = FALSE)/4, v = pnorm(-3)
//   median s:       sqrt(4/qchisq(0.5, 4))
TEST(ControlLimits, VariablesChartsBySigmaMethod) {
    const long double r5 = std::sqrt(5.0L);
    const long double medianSd5 = std::sqrt(0.2868336616L);
    const long double c4_5 = 0.939985602987L, h5 = std::sqrt(1 - c4_5 * c4_5);
    struct Case {
        const char* what;
        int chart, method;
        long double centre, statistic, n;
        long double CL, UCL, LCL, sigma;
        int status;
        double tol;
    };
    const Case cases[] = {
        {"mean, average range", 1, 1, 10, 2.32593L, 5, 10, 10 + 3 / r5, 10 - 3 / r5, 1, 0, 1e-12},
        {"mean, median range", 1, 2, 10, 2.2569L, 5, 10, 10 + 3 / r5, 10 - 3 / r5, 1, 0, 1e-12},
        {"mean, average s", 1, 3, 0, c4_5, 5, 0, 3 / r5, -3 / r5, 1, 0, 1e-12},
        {"mean, median s", 1, 4, 0, 1, 5, 0, 3 * 1.0916266279069L / r5, -3 * 1.0916266279069L / r5,
         1.0916266279069L, 0, 2e-6},
        {"mean, average variance", 1, 5, 0, 4, 5, 0, 6 / r5, -6 / r5, 2, 0, 1e-12},
        {"mean, average MR of means", 1, 6, 0, 1.12838L, 4, 0, 3, -3, 2, 0, 1e-12},
        {"mean, median MR of means", 1, 7, 0, 0.9539L, 4, 0, 3, -3, 2, 0, 1e-12},
        {"mean, s of means", 1, 8, 0, 0.5L, 4, 0, 1.5L, -1.5L, 1, 0, 1e-12},
        {"mean, known", 1, 9, 5, 2, 4, 5, 8, 2, 2, 0, 1e-12},
        {"median, known", 2, 9, 10, 1, 5, 10, 10 + 3 * medianSd5, 10 - 3 * medianSd5, 1, 0, 1e-12},
        {"median, s of medians", 2, 8, 10, medianSd5, 5, 10, 10 + 3 * medianSd5, 10 - 3 * medianSd5, 1, 0,
         1e-12},
        {"median, average MR of medians", 2, 6, 0, 1.12838L * medianSd5, 5, 0, 3 * medianSd5,
         -3 * medianSd5, 1, 0, 1e-12},
        {"individuals, average MR", 3, 1, 7, 1.12838L, 2, 7, 10, 4, 1, 0, 1e-12},
        {"individuals, median MR", 3, 2, 7, 0.9539L, 2, 7, 10, 4, 1, 0, 1e-12},
        {"individuals, s of k values", 3, 3, 0, 0.886226925453L, 3, 0, 3, -3, 1, 0, 1e-11},
        {"range, known, LCL clipped", 4, 6, 0, 1, 5, 2.32593L, 4.91823L, 0, 1, -1, 1e-12},
        {"range, known, n = 10", 4, 6, 0, 1, 10, 3.07751L, 3.07751L + 3 * 0.7971L,
         3.07751L - 3 * 0.7971L, 1, 0, 1e-12},
        {"range, average range", 4, 1, 0, 2 * 3.07751L, 10, 2 * 3.07751L, 2 * (3.07751L + 3 * 0.7971L),
         2 * (3.07751L - 3 * 0.7971L), 2, 0, 1e-12},
        {"s, known, LCL clipped", 5, 6, 0, 1, 5, c4_5, c4_5 + 3 * h5, 0, 1, -1, 1e-10},
        {"s, average variance", 5, 5, 0, 4, 10, 2 * 0.972659274122L,
         2 * (0.972659274122L + 3 * std::sqrt(1 - 0.972659274122L * 0.972659274122L)),
         2 * (0.972659274122L - 3 * std::sqrt(1 - 0.972659274122L * 0.972659274122L)), 2, 0, 1e-10},
        // Probability limits: the tail v comes from the polynomial normal
        // tail (error below 1e-7), so the quantiles agree to about 1e-4.
        {"variance, known", 6, 6, 0, 1, 5, 0.83917349500833L, 4.45014515080829L, 0.0264407616618415L, 1, 0,
         2e-4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcFixture s;
        Limits r = Limit(s, c.chart, c.method, c.centre, c.statistic, 3, c.n);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NEAR(r.CL, c.CL, c.tol);
        EXPECT_NEAR(r.UCL, c.UCL, c.tol);
        EXPECT_NEAR(r.LCL, c.LCL, c.tol);
        EXPECT_NEAR(r.sigma, c.sigma, c.tol);
        EXPECT_EQ(r.missing.lower, c.status == LimitsNoLower);
        EXPECT_FALSE(r.missing.upper);
    }
}

// Median s: R sqrt((n - 1)/qchisq(0.5, n - 1)), 1.0916266279069 (n = 5) and
// 1.03863866905901 (n = 10).
TEST(SigmaEstimators, FromEachDispersionStatistic) {
    SpcFixture s;
    EXPECT_NEAR(SigmaFromRange(s, 5, 2 * 2.32593L), 2, 1e-15);
    EXPECT_NEAR(SigmaFromMedianRange(s, 5, 2.2569L), 1, 1e-15);
    EXPECT_NEAR(SigmaFromStdDev(s, 2, 0.797884560803L), 1, 1e-12);
    EXPECT_NEAR(SigmaFromMedianStdDev(s, 5, 1), 1.0916266279069L, 2e-6);
    EXPECT_NEAR(SigmaFromMedianStdDev(s, 10, 2), 2 * 1.03863866905901L, 4e-6);
    EXPECT_EQ(s.StatErrorCode, 0);
    using Estimator = long double (*)(SpcContext, long long, long double);
    for (Estimator f : {Estimator(&SigmaFromRange), Estimator(&SigmaFromMedianRange),
                        Estimator(&SigmaFromStdDev), Estimator(&SigmaFromMedianStdDev)}) {
        s.StatErrorCode = 0;
        EXPECT_EQ(f(s, 1, 2.0L), 0.0L);
        EXPECT_EQ(s.StatErrorCode, 1);
    }
}

// Beyond k = 6 the tail v is below 1e-9, where the chi-square inverse stops.
// R: v <- pnorm(-k); qchisq(v, df, lower.tail = FALSE)/df; qchisq(v, df)/df
TEST(ControlLimits, VarianceChartProbabilityLimitsForLargeK) {
    struct Case {
        long double k, n, UCL, LCL;
    };
    const Case cases[] = {
        {7, 5, 15.4225969869008L, 7.99941844423898e-07L},
        {10, 5, 28.6484164592629L, 1.95190330500519e-12L},
        {7, 20, 5.15296139976798L, 0.0261801415181014L},
        {10, 20, 8.29157836820539L, 0.001685613374149L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "k " << static_cast<double>(c.k) << " n " << static_cast<double>(c.n));
        SpcFixture s;
        Limits r = Limit(s, ChartVariance, 6, 0, 1, c.k, c.n);
        EXPECT_EQ(r.status, 0);
        EXPECT_NEAR(r.UCL / c.UCL, 1, 1e-9);
        EXPECT_NEAR(r.LCL / c.LCL, 1, 1e-9);
    }
    // A tail that underflows a double still gives finite limits.
    SpcFixture s;
    Limits r = Limit(s, ChartVariance, 6, 0, 1, 50, 5);
    EXPECT_TRUE(std::isfinite(r.UCL));
    EXPECT_GT(r.UCL, 28.6484164592629L);
    EXPECT_GE(r.LCL, 0);
}

TEST(ControlLimits, IndividualsWithOtherMethodKeepsCallersSigma) {
    SpcFixture s;
    Limits r = Limit(s, 3, 7, 100, 1, 3, 5, 2.5L);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.sigma, 2.5L);
    EXPECT_EQ(r.UCL, 107.5L);
    EXPECT_EQ(r.LCL, 92.5L);
}

TEST(ControlLimits, StatusCodesForUnusableInputs) {
    struct Case {
        const char* what;
        int chart, method;
        long double statistic, k, n;
        int status;
    };
    const Case cases[] = {
        {"statistic zero", 1, 1, 0, 3, 5, LimitsZeroStatistic},
        {"k zero", 9, 1, 4, 0, 1, LimitsZeroStatistic},
        {"negative statistic", 9, 1, -4, 3, 1, LimitsZeroStatistic},
        {"negative k", 1, 9, 1, -3, 5, LimitsZeroStatistic},
        {"mean, n zero", 1, 1, 1, 3, 0, LimitsZeroSampleSize},
        {"mean, n 0.5 rounds to even 0", 1, 1, 1, 3, 0.5L, LimitsZeroSampleSize},
        {"mean, n one", 1, 1, 1, 3, 1, LimitsSampleSizeOne},
        {"mean, n 1.5 rounds to 2", 1, 1, 1, 3, 1.5L, LimitsComputed},
        {"mean, n 2.5 rounds to even 2", 1, 1, 1, 3, 2.5L, LimitsComputed},
        {"np, n one", 8, 1, 0.5L, 3, 1, LimitsSampleSizeOne},
        {"range, n one", 4, 1, 1, 3, 1, LimitsSampleSizeOne},
        {"individuals MR, n zero", 3, 1, 1, 3, 0, LimitsZeroSampleSize},
        {"individuals MR, span one", 3, 1, 1, 3, 1, LimitsSampleSizeOne},
        // With a known sigma the size plays no part, so 0 and 1 both pass.
        {"individuals known, n zero", 3, 4, 1, 3, 0, LimitsComputed},
        {"individuals known, n one", 3, 4, 1, 3, 1, LimitsComputed},
        {"c ignores n", 9, 1, 4, 3, 0, LimitsNoLower},
        {"u, zero units", 10, 1, 4, 3, 0, LimitsZeroSampleSize},
        {"u, negative units", 10, 2, 4, 3, -2, LimitsZeroSampleSize},
        {"p-bar one", 7, 1, 1, 3, 50, LimitsOutOfRange},
        {"np-bar equal to n", 8, 2, 50, 3, 50, LimitsOutOfRange},
        {"unknown chart", 11, 1, 1, 3, 5, LimitsOutOfRange},
        {"unknown method", 4, 7, 1, 3, 5, LimitsOutOfRange},
        {"absurd n", 1, 1, 1, 3, 1e300L, LimitsOutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcFixture s;
        Limits r = Limit(s, c.chart, c.method, 0, c.statistic, c.k, c.n, 0);
        EXPECT_EQ(r.status, c.status);
    }
    // A rejected request leaves the limits as they were.
    SpcFixture s;
    long double CL = 5, UCL = 7, LCL = 3, sigma = 1;
    EXPECT_EQ(ControlLimits(s, 1, 1, CL, 0, 3, 5, UCL, LCL, sigma), LimitsZeroStatistic);
    EXPECT_EQ(UCL, 7);
    EXPECT_EQ(LCL, 3);
    EXPECT_EQ(CL, 5);
}

// Normal-approximation limits of the attribute charts; the first two match
// the worked examples of Montgomery (p-bar 0.2313, n 50: 0.4102 and 0.0524;
// c-bar 19.85: 33.22 and 6.48).
TEST(ControlLimits, AttributeChartsApproximate) {
    struct Case {
        const char* what;
        int chart;
        long double statistic, n;
        long double CL, UCL, LCL, se;
        int status;
        bool noUpper, noLower;
        double tol;
    };
    const Case cases[] = {
        {"p, textbook", 7, 0.2313L, 50, 0.2313L, 0.4102L, 0.0524L, 0.0596L, 0, false, false, 5e-5},
        {"c, textbook", 9, 19.85L, 1, 19.85L, 33.22L, 6.48L, 4.4553L, 0, false, false, 5e-3},
        {"p, LCL clipped", 7, 0.10L, 50, 0.10L, 0.22728L, 0, 0.042426L, -1, false, true, 5e-6},
        {"np, LCL clipped", 8, 5, 50, 5, 11.3640L, 0, 2.12132L, -1, false, true, 5e-5},
        {"c, c-bar 20", 9, 20, 1, 20, 33.4164L, 6.5836L, 4.47214L, 0, false, false, 5e-5},
        {"u, 2.5 units", 10, 8, 2.5L, 8, 8 + 3 * std::sqrt(20.0L) / 2.5L, 8 - 3 * std::sqrt(20.0L) / 2.5L,
         std::sqrt(20.0L) / 2.5L, 0, false, false, 1e-12},
        // Both limits clipped: the later event (-1) is the status, both are missing.
        {"p, both clipped", 7, 0.5L, 2, 0.5L, 1, 0, 0.353553L, -1, true, true, 5e-6},
        {"p, UCL clipped", 7, 0.9L, 4, 0.9L, 1, 0.45L, 0.15L, -2, true, false, 1e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcFixture s;
        Limits r = Limit(s, c.chart, MethodApproximate, 0, c.statistic, 3, c.n);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NEAR(r.CL, c.CL, c.tol);
        EXPECT_NEAR(r.UCL, c.UCL, c.tol);
        EXPECT_NEAR(r.LCL, c.LCL, c.tol);
        EXPECT_NEAR(r.sigma, c.se, c.tol);
        EXPECT_EQ(r.missing.upper, c.noUpper);
        EXPECT_EQ(r.missing.lower, c.noLower);
    }
}

// Exact probability limits at half a count beyond the rarest counts. From R,
// with v = pnorm(-3):
//   binomial: G = smallest g with pbinom(g - 1, n, p, lower.tail = FALSE) < v,
//             m = largest m with pbinom(m, n, p) < v; UCL (G - 0.5)/n, LCL (m + 0.5)/n
//   Poisson:  the same with ppois; UCL G - 0.5, LCL m + 0.5
// e.g. ppois(7, 20) = 0.000779 < v <= ppois(8, 20) = 0.00209, so the LCL
// for c-bar 20 is 7.5.
TEST(ControlLimits, AttributeChartsExact) {
    struct Case {
        const char* what;
        int chart;
        long double statistic, n;
        long double UCL, LCL;
        int status;
        bool noLower;
    };
    const Case cases[] = {
        {"p 0.10, n 50", 7, 0.10L, 50, 0.25L, 0, -1, true},
        {"np 5, n 50", 8, 5, 50, 12.5L, 0, -1, true},
        {"p 0.2313, n 50", 7, 0.2313L, 50, 0.43L, 0.07L, 0, false},
        {"p 0.02, n 1000", 7, 0.02L, 1000, 0.0345L, 0.0075L, 0, false},
        {"p 0.01, n 100000", 7, 0.01L, 100000, 0.010965L, 0.009065L, 0, false},
        {"np, n 2 million", 8, 600000, 2000000, 601945.5L, 598055.5L, 0, false},
        {"c 4", 9, 4, 1, 11.5L, 0, -1, true},
        {"c 20", 9, 20, 1, 35.5L, 7.5L, 0, false},
        {"c 19.85", 9, 19.85L, 1, 34.5L, 7.5L, 0, false},
        {"c 0.5", 9, 0.5L, 1, 4.5L, 0, -1, true},
        {"c 1000", 9, 1000, 1, 1096.5L, 905.5L, 0, false},
        {"c one million", 9, 1e6L, 1, 1003001.5L, 997000.5L, 0, false},
        {"u 3.2, 2.5 units", 10, 3.2L, 2.5L, 18.5L / 2.5L, 0.5L / 2.5L, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcFixture s;
        Limits r = Limit(s, c.chart, MethodExact, 0, c.statistic, 3, c.n);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NEAR(r.UCL, c.UCL, 1e-9);
        EXPECT_NEAR(r.LCL, c.LCL, 1e-9);
        EXPECT_FALSE(r.missing.upper);
        EXPECT_EQ(r.missing.lower, c.noLower);
        EXPECT_NEAR(r.CL, c.statistic, 1e-12);
    }
}

// Huge means and sample sizes. R (qpois, qbinom) up to 1e15:
//   G = qpois(v, c, lower.tail = FALSE) + 1, m = qpois(v, c) - 1
// and at 1e18, where R's tails lose digits, mpmath quadrature of the gamma
// density: P(X >= 1e18 + 3e9 + 2) = 0.99999999945·v < v <= P(X >= 1e18 + 3e9 + 1)
// = 1.0000000027·v, P(X <= 1e18 - 3e9) = 0.9999999973·v < v.
TEST(ControlLimits, ExactLimitsForHugeMeans) {
    struct Case {
        const char* what;
        int chart;
        long double statistic, n, UCL, LCL;
    };
    const Case cases[] = {
        {"c 1e9", 9, 1e9L, 1, 1000094870.5L, 999905132.5L},
        {"c 1e12", 9, 1e12L, 1, 1000003000001.5L, 999997000000.5L},
        {"c 1e15", 9, 1e15L, 1, 1000000094868331.5L, 999999905131671.5L},
        {"c 1e18", 9, 1e18L, 1, 1000000003000000001.5L, 999999997000000000.5L},
        {"np 3e14 of 1e15", 8, 3e14L, 1e15L, 300000043474131.5L, 299999956525869.5L},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcFixture s;
        Limits r = Limit(s, c.chart, MethodExact, 0, c.statistic, 3, c.n);
        EXPECT_EQ(r.status, LimitsComputed);
        EXPECT_EQ(r.UCL, c.UCL);
        EXPECT_EQ(r.LCL, c.LCL);
        EXPECT_FALSE(r.missing.upper);
        EXPECT_FALSE(r.missing.lower);
    }
    // Beyond whole long doubles the limits still exist and keep their sides.
    for (long double c : {1e19L, 1e20L, 1e100L, 1e300L, 1e4000L}) {
        SCOPED_TRACE(static_cast<double>(c));
        SpcFixture s;
        Limits r = Limit(s, 9, MethodExact, 0, c, 3, 1);
        EXPECT_EQ(r.status, LimitsComputed);
        EXPECT_FALSE(r.missing.upper);
        EXPECT_FALSE(r.missing.lower);
        EXPECT_GE(r.UCL, r.CL);
        EXPECT_LE(r.LCL, r.CL);
        const long double spread = 3 * std::sqrt(c);
        EXPECT_LE(r.UCL, r.CL + 2 * spread + r.CL * 1e-18L);
        EXPECT_GE(r.LCL, r.CL - 2 * spread - r.CL * 1e-18L);
    }
    // A tiny mean: even one count is rare, so the UCL is half a count.
    SpcFixture s;
    Limits r = Limit(s, 9, MethodExact, 0, 1e-10L, 3, 1);
    EXPECT_EQ(r.UCL, 0.5L);
    EXPECT_TRUE(r.missing.lower);
}

TEST(ControlLimits, ExactLimitsWithNoRareCountAboveTheCentre) {
    SpcFixture s;
    // n = 2, p-bar 0.5: P(X = 2) = P(X = 0) = 0.25, neither is rare. The
    // missing UCL is not overwritten by the missing LCL.
    Limits r = Limit(s, 7, MethodExact, 0, 0.5L, 3, 2);
    EXPECT_EQ(r.status, LimitsNoUpper);
    EXPECT_TRUE(r.missing.upper);
    EXPECT_TRUE(r.missing.lower);
    EXPECT_EQ(r.UCL, 1);
    EXPECT_EQ(r.LCL, 0);
    // np on the same input: the UCL is n.
    r = Limit(s, 8, MethodExact, 0, 1, 3, 2);
    EXPECT_EQ(r.status, LimitsNoUpper);
    EXPECT_EQ(r.UCL, 2);
}

TEST(ControlLimits, ExactLimitsWithAZeroTailEndWithoutLimits) {
    // At k = 50 the normal tail is 0 as a double: no count is ever that
    // rare. The search ends at once and both limits are missing.
    struct Case {
        int chart;
        long double statistic, n;
    };
    for (Case c : {Case{9, 4, 1}, Case{10, 4, 3}, Case{7, 0.1L, 50}, Case{8, 5, 50}}) {
        SCOPED_TRACE(c.chart);
        SpcFixture s;
        Limits r = Limit(s, c.chart, MethodExact, 0, c.statistic, 50, c.n);
        EXPECT_EQ(r.status, LimitsNoUpper);
        EXPECT_TRUE(r.missing.upper);
        EXPECT_TRUE(r.missing.lower);
    }
    // The approximate limits need no tail and stay.
    SpcFixture s;
    Limits r = Limit(s, 9, MethodApproximate, 0, 4, 50, 1);
    EXPECT_EQ(r.status, LimitsNoLower);
    EXPECT_EQ(r.UCL, 104);
}

TEST(ControlLimits, MethodNamesAndCaptions) {
    EXPECT_EQ(MethodCount(1), 9);
    EXPECT_EQ(MethodCount(3), 4);
    EXPECT_EQ(MethodCount(6), 6);
    EXPECT_EQ(MethodCount(10), 2);
    EXPECT_EQ(MethodCount(0), 0);
    EXPECT_EQ(MethodName(1, 6), "Avg MR of X-bars");
    EXPECT_EQ(MethodName(2, 7), "Med MR of Medians");
    EXPECT_EQ(MethodName(3, 3), "Std Dev (k values)");
    EXPECT_EQ(MethodName(5, 6), "Known Std Dev");
    EXPECT_EQ(MethodName(8, 2), "Exact Binomial");
    EXPECT_EQ(MethodName(9, 2), "Exact Poisson");
    EXPECT_EQ(MethodName(4, 7), "");
    EXPECT_EQ(ChartCaption(1), "X-Bar");
    EXPECT_EQ(ChartCaption(6), "s²");
    EXPECT_EQ(ChartCaption(10), "u");
    EXPECT_EQ(ChartCaption(11), "");
}

}  // namespace
}  // namespace amx
