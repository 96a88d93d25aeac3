#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {
namespace {

void ExpectRelNear(long double actual, long double expected, long double tol,
                   const char* what) {
    const long double err = std::fabs(actual - expected);
    EXPECT_LE(err, tol * std::fabs(expected))
        << what << ": got " << static_cast<double>(actual) << ", want "
        << static_cast<double>(expected);
}

struct Fixture : ::testing::Test {
    RecordingMessages rec;
    CommonState cs;
    EngineState es;
    Fixture() { cs.messages = &rec; }
};

using SpecialFunctionsTest = Fixture;

TEST_F(SpecialFunctionsTest, LogGammaMatchesR) {
    // R: lgamma(x)
    struct Case { long double x, want; };
    const Case cases[] = {
        {0.5, 0.57236494292470008L},   {1e-08, 18.420680738180209L},
        {0.9, 0.066376239734742881L},  {1.5, -0.12078223763524518L},
        {3, 0.69314718055994529L},     {10.5, 13.940625219403763L},
        {171.2, 707.60092684767005L},  {100000, 1051287.7089736569L},
        {1e+300, 6.8977552789821374e+302L},
    };
    for (const auto& c : cases) ExpectRelNear(GammLn(c.x), c.want, 1e-14L, "GammLn");
    EXPECT_EQ(GammLn(1), 0.0L);
    EXPECT_EQ(GammLn(2), 0.0L);
    EXPECT_EQ(GammLn(0), 0.0L);
    EXPECT_EQ(GammLn(-3), 0.0L);
}

TEST_F(SpecialFunctionsTest, LogFactorialTableAndBeyond) {
    EXPECT_FALSE(es.LnFactTable.built);
    EXPECT_EQ(FactLn(es, 0), 0.0L);
    EXPECT_TRUE(es.LnFactTable.built);
    ExpectRelNear(FactLn(es, 5), std::log(120.0L), 1e-18L, "5!");
    // Halves round to even: 2.5 -> 2, 3.5 -> 4.
    ExpectRelNear(FactLn(es, 2.5L), std::log(2.0L), 1e-18L, "2.5");
    ExpectRelNear(FactLn(es, 3.5L), std::log(24.0L), 1e-18L, "3.5");
    EXPECT_EQ(FactLn(es, 301), GammLn(302));
    // R: lfactorial(300) = 1414.9058499751207
    ExpectRelNear(FactLn(es, 300), 1414.9058499450677L, 1e-15L, "300!");
}

TEST_F(SpecialFunctionsTest, LogBinomialCoefficient) {
    EXPECT_EQ(LnBinomCoef(10, 0), 0.0L);
    EXPECT_EQ(LnBinomCoef(10, 10), 0.0L);
    ExpectRelNear(LnBinomCoef(10, 3), std::log(120.0L), 1e-17L, "C(10,3)");
    ExpectRelNear(LnBinomCoef(10, 7), std::log(120.0L), 1e-17L, "C(10,7)");
    // R: lchoose(1000, 500); lchoose(52, 5)
    ExpectRelNear(LnBinomCoef(1000, 500), 689.4672615678511L, 1e-14L, "C(1000,500)");
    ExpectRelNear(LnBinomCoef(52, 5), 14.770621922970372L, 1e-14L, "C(52,5)");
    EXPECT_TRUE(std::isinf(LnBinomCoef(5, 6)));
}

TEST_F(SpecialFunctionsTest, IncompleteGammaMatchesRInBothTails) {
    // R: pgamma(x, a) and pgamma(x, a, lower.tail = FALSE)
    struct Case { long double a, x, p, q; };
    const Case cases[] = {
        {0.5, 0.1, 0.34527915398142295L, 0.65472084601857694L},
        {1, 2, 0.8646647167633873L, 0.1353352832366127L},
        {3, 0.5, 0.014387677966970687L, 0.98561232203302929L},
        {10, 30, 0.99999287824913718L, 7.1217508628155784e-06L},
        {100, 90, 0.15822098918643021L, 0.84177901081356976L},
        {100000, 100300, 0.82863631125120774L, 0.17136368874879232L},
        // Large shapes need far more than 100 series terms.
        {1000000, 995000, 2.7495803592700656e-07L, 0.99999972504196399L},
        {50, 0.001, 3.2847275170409999e-215L, 1.0L},
        {2, 700, 1.0L, 6.9116332571757217e-302L},
    };
    for (const auto& c : cases) {
        ExpectRelNear(GammP(cs, c.a, c.x), c.p, 1e-12L, "GammP");
        ExpectRelNear(GammQ(cs, c.a, c.x), c.q, 1e-12L, "GammQ");
    }
    EXPECT_EQ(cs.StatErrorCode, 0);
    EXPECT_TRUE(rec.entries.empty());
}

TEST_F(SpecialFunctionsTest, IncompleteGammaSeriesAndFractionAgreeOnTheExponential) {
    for (long double x : {0.1L, 1.0L, 1.999L, 2.0L, 5.0L, 40.0L}) {
        ExpectRelNear(GammP(cs, 1, x), -std::expm1(-x), 1e-17L, "P(1,x)");
        long double gamser, gammcf, gln;
        GSer(cs, gamser, gln, 1, x);
        GCF(cs, gammcf, gln, 1, x);
        ExpectRelNear(gamser, -std::expm1(-x), 1e-17L, "GSer");
        ExpectRelNear(gammcf, std::exp(-x), 1e-16L, "GCF");
        EXPECT_EQ(gln, 0.0L);
    }
    EXPECT_EQ(GammP(cs, 2, 0), 0.0L);
    EXPECT_TRUE(rec.entries.empty());
}

TEST_F(SpecialFunctionsTest, IncompleteGammaRejectsBadArguments) {
    EXPECT_EQ(GammP(cs, 0, 1), 0.0L);
    EXPECT_EQ(cs.StatErrorCode, StatIterationFailed);
    ASSERT_EQ(rec.Warnings().size(), 1u);
    EXPECT_EQ(rec.Warnings()[0], "Error in Statistical Routine - GAMMP routine");
    EXPECT_EQ(GammP(cs, 2, -1), 0.0L);
    EXPECT_EQ(rec.Warnings().size(), 2u);
}

TEST_F(SpecialFunctionsTest, IncompleteBetaMatchesRInBothTails) {
    // R: pbeta(x, a, b) and pbeta(x, a, b, lower.tail = FALSE)
    struct Case { long double a, b, x, lower, upper; };
    const Case cases[] = {
        {1, 1, 0.3, 0.3L, 0.7L},
        {2, 3, 0.4, 0.52480000000000004L, 0.47519999999999996L},
        {0.5, 0.5, 0.01, 0.06376856085851984L, 0.9362314391414801L},
        {0.5, 5, 0.999, 0.99999999999999978L, 2.4619635502857402e-16L},
        {30, 40, 0.4, 0.31814380259056313L, 0.68185619740943681L},
        {10000, 10000, 0.49, 0.0023370593301101643L, 0.99766294066988981L},
        {500000, 0.5, 0.99999, 0.0015653640065981841L, 0.99843463599340176L},
        {200, 3, 0.7, 1.9563637604757805e-28L, 1.0L},
        {2, 1000, 0.1, 1.0L, 1.7653499642398255e-44L},
        // One parameter beyond 1e9: x within 1e-9 of 0 or 1.
        {2e9, 3, 1 - 1e-9, 0.67667643095189289L, 0.32332356904810705L},
        {2e9, 0.5, 1 - 1e-9, 0.045500266909802994L, 0.95449973309019698L},
        {3, 2e9, 1e-9, 0.32332358435827957L, 0.67667641564172043L},
        {1e10, 50, 1 - 5e-9, 0.48119168770319654L, 0.51880831229680346L},
    };
    for (const auto& c : cases) {
        ExpectRelNear(BetaI(cs, c.a, c.b, c.x), c.lower, 1e-11L, "BetaI");
        ExpectRelNear(BetaIUpper(cs, c.a, c.b, c.x), c.upper, 1e-11L, "BetaIUpper");
    }
    EXPECT_EQ(cs.StatErrorCode, 0);
    EXPECT_EQ(BetaI(cs, 2, 3, 0), 0.0L);
    EXPECT_EQ(BetaI(cs, 2, 3, 1), 1.0L);
}

TEST_F(SpecialFunctionsTest, IncompleteBetaOutsideUnitIntervalIsSilentStatus99) {
    EXPECT_EQ(BetaI(cs, 2, 3, 1.5), 0.0L);
    EXPECT_EQ(cs.StatErrorCode, StatBetaArgument);
    cs.StatErrorCode = 0;
    EXPECT_EQ(BetaI(cs, 2, 3, -0.1), 0.0L);
    EXPECT_EQ(cs.StatErrorCode, StatBetaArgument);
    EXPECT_TRUE(rec.entries.empty());
}

TEST_F(SpecialFunctionsTest, GuardedPower) {
    struct Case { long double base, exponent, want; };
    const Case cases[] = {
        {0, 0, 1},
        {0, 2, 0},
        {-8, 3, -512},
        {-8, 1.0L / 3, 0},
        {2, -2, 0.25},
        {2, 0.5, std::sqrt(2.0L)},
        // Overflow and underflow are bounded for whole exponents too.
        {10, 5000, 1.1e4932L},
        {-10, 5001, -1.1e4932L},
        {10, -5000, 0},
        {10, 5000.5, 1.1e4932L},
        {10, -5000.5, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PowerX(c.base, c.exponent), c.want) << c.base << "^" << c.exponent;
    ExpectRelNear(PowerX(1.0001L, 1e6), std::exp(1e6L * std::log1p(1e-4L)), 1e-12L, "1.0001^1e6");
}

TEST_F(SpecialFunctionsTest, ElementaryHelpers) {
    EXPECT_EQ(Log10X(0), 99.0L);
    EXPECT_EQ(Log10X(-1), 99.0L);
    ExpectRelNear(Log10X(1000), 3.0L, 1e-18L, "log10");
    EXPECT_EQ(ArcCoshX(0.5), 0.0L);
    ExpectRelNear(ArcCoshX(2), 1.3169578969248167086L, 1e-18L, "acosh");
    ExpectRelNear(ArcSinhX(-1e10L), -23.718998110500402L, 1e-15L, "asinh");  // R: asinh(-1e10)
    EXPECT_EQ(SignX(0), 1.0L);
    EXPECT_EQ(SignX(-2), -1.0L);
    EXPECT_EQ(Pow10(0), 1.0L);
    EXPECT_EQ(Pow10(3), 1000.0L);
    EXPECT_EQ(Pow10(-2), 0.01L);
    ExpectRelNear(FisherZ(0.5), 0.54930614433405484570L, 1e-18L, "FisherZ");
    ExpectRelNear(InvFisherZ(FisherZ(0.3L)), 0.3L, 1e-18L, "InvFisherZ");
    EXPECT_EQ(InvFisherZ(20000), 1.0L);
    ExpectRelNear(SinhX(1), 1.1752011936438014569L, 1e-18L, "sinh");
    EXPECT_EQ(MinX(1, 2), 1.0L);
    EXPECT_EQ(MaxX(1, 2), 2.0L);
    EXPECT_EQ(MinI(-1, 2), -1);
    EXPECT_EQ(MaxI(-1, 2), 2);
    const std::vector<long double> c = {1, 2, 3};
    EXPECT_EQ(PolyValue(c, 2, 2), 17.0L);
    EXPECT_EQ(PolyValue(c, 0, 5), 1.0L);
}

TEST_F(SpecialFunctionsTest, VarianceFromSums) {
    // 2, 4, 4, 4, 5, 5, 7, 9: sum 40, sum of squares 232, variance 32/7.
    ExpectRelNear(VarFromSums(8, 232, 40), 32.0L / 7, 1e-18L, "var");
    ExpectRelNear(StdDevFromSums(8, 232, 40), std::sqrt(32.0L / 7), 1e-18L, "sd");
    // One value has no variance (and no division by n - 1 = 0).
    EXPECT_EQ(VarFromSums(1, 25, 5), 0.0L);
    EXPECT_EQ(StdDevFromSums(1, 25, 5), 0.0L);
    EXPECT_EQ(VarFromSums(0, 0, 0), 0.0L);
    // A quotient that rounding made negative gives 0, not NaN.
    EXPECT_EQ(StdDevFromSums(2, 1.0L, 2.0L), 0.0L);
}

}  // namespace
}  // namespace amx
