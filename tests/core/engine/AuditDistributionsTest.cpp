// Independent check of the continuous distributions where the other tests do
// not reach: far tails with fractional or extreme degrees of freedom, and
// inverses at points where R's own quantile routines are off (there the
// reference is the root of R's distribution function, found separately).
#include <gtest/gtest.h>

#include <cmath>

#include "common/CommonState.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {
namespace {

struct AuditDistributions : ::testing::Test {
    RecordingMessages rec;
    CommonState cs;
    AuditDistributions() { cs.messages = &rec; }
    void TearDown() override {
        EXPECT_TRUE(rec.entries.empty()) << "unexpected message: " << rec.entries[0].text;
        EXPECT_EQ(cs.StatErrorCode, 0);
    }
};

enum class Fn { T, ChiSq, F, GammaP, GammaQ, BetaLower, BetaUpper };

long double Evaluate(CommonState& cs, Fn fn, double a, double b, double c) {
    switch (fn) {
        case Fn::T: return TTail(cs, 1, a, b);
        case Fn::ChiSq: return ChiSqTail(cs, 1, a, b);
        case Fn::F: return FTail(cs, 1, a, b, c);
        case Fn::GammaP: return GammP(cs, a, b);
        case Fn::GammaQ: return GammQ(cs, a, b);
        case Fn::BetaLower: return BetaI(cs, a, b, c);
        case Fn::BetaUpper: return BetaIUpper(cs, a, b, c);
    }
    return 0;
}

// Arguments are doubles, as R holds them: 0.99999999989999999 is the double
// nearest 1 - 1e-10, not the extended one.
TEST_F(AuditDistributions, FarTailsAtExtremeParameters) {
    struct Case {
        Fn fn;
        double a, b, c;
        long double want;
        const char* r;
    };
    const Case cases[] = {
        // Student's t upper tail: 0.5 * pbeta(t^2/(df + t^2), 0.5, df/2, lower.tail = FALSE),
        // or 0.5 * pbeta(df/(df + t^2), df/2, 0.5) once t^2 passes df.
        {Fn::T, 4.5, 1e5, 0, 1.6599412459141188e-22L, "t df 4.5"},
        {Fn::T, 29.5, 1e10, 0, 3.4849298124353609e-275L, "t df 29.5"},
        {Fn::T, 45.5, 30, 0, 6.356618758386588e-32L, "t df 45.5"},
        {Fn::T, 1e15, 10, 0, 7.6198530241799872e-24L, "t df 1e15"},
        // pchisq(x, df, lower.tail = FALSE)
        {Fn::ChiSq, 1, 1350, 0, 1.5405535053332928e-295L, "chi-square df 1"},
        {Fn::ChiSq, 1.5, 300, 0, 1.6703313388558024e-66L, "chi-square df 1.5"},
        {Fn::ChiSq, 7.5, 375, 0, 1.5177650714769188e-76L, "chi-square df 7.5"},
        {Fn::ChiSq, 29.5, 1475, 0, 3.1385108466293034e-292L, "chi-square df 29.5"},
        {Fn::ChiSq, 1e9, 1001207476.7078499, 0, 9.9066597383706023e-161L, "chi-square df 1e9"},
        // pf(f, df1, df2, lower.tail = FALSE)
        {Fn::F, 0.5, 1e10, 30, 3.0882205282320114e-05L, "F 0.5, 1e10"},
        {Fn::F, 1e10, 0.5, 1e12, 0.00078012450216414717L, "F 1e10, 0.5"},
        {Fn::F, 1.5, 3, 1e12, 1.9672343316881765e-18L, "F 1.5, 3"},
        {Fn::F, 1e4, 1e4, 2, 2.0656728995848663e-258L, "F 1e4, 1e4"},
        // pgamma(x, a) and pgamma(x, a, lower.tail = FALSE)
        {Fn::GammaP, 50, 4.9999999999999996e-05, 0, 2.9201425691684518e-280L, "P(50, 5e-5)"},
        {Fn::GammaQ, 1e9, 1000853814.9682455, 0, 9.0920518258844424e-161L, "Q(1e9, x)"},
        {Fn::GammaQ, 1e-8, 0.5, 0, 5.5977359770995867e-09L, "Q(1e-8, 0.5)"},
        // pbeta(x, a, b) and pbeta(x, a, b, lower.tail = FALSE)
        {Fn::BetaLower, 1e7, 0.001, 0.99999999989999999, 0.0063123532585392288L, "I(1e7, 1e-3)"},
        {Fn::BetaUpper, 100, 30, 0.99999999989999999, 2.0094960092771762e-271L, "1 - I(100, 30)"},
        {Fn::BetaUpper, 1, 30, 0.99999999989999999, 1.0000024822141656e-300L, "1 - I(1, 30)"},
        {Fn::BetaLower, 100, 2, 0.001, 1.0090000000000756e-298L, "I(100, 2)"},
    };
    for (const Case& c : cases) {
        const long double got = Evaluate(cs, c.fn, c.a, c.b, c.c);
        EXPECT_NEAR(static_cast<double>(got / c.want), 1.0, 1e-9) << c.r;
    }
}

TEST_F(AuditDistributions, InversesWhereRQuantilesAreOff) {
    // qf(1e-8, 1, 3) gives 6.66e-16; the root of R's distribution function,
    //   uniroot(function(lf) pbeta(exp(lf)/(3 + exp(lf)), .5, 1.5, log.p = TRUE) -
    //           log(1 - 0.99999998999999995), c(-45, -30), tol = 1e-15)
    // is 1.8505508438013774e-16.
    EXPECT_NEAR(static_cast<double>(InvF(cs, 1, 1, 3, 0.99999998999999995) /
                                    1.8505508438013774e-16L),
                1.0, 1e-9);
    // qf(0.95, 1, 1e4, lower.tail = FALSE) is off by 1.2e-10; here the point
    // whose lower tail pf(x, 1, 1e4) is 0.05 to 17 digits, checked by
    // 2 * pt(sqrt(x), 1e4, lower.tail = FALSE) = 0.95.
    EXPECT_NEAR(static_cast<double>(InvF(cs, 1, 1, 1e4, 0.95) / 0.0039323373850916794L), 1.0,
                1e-12);
}

// Few degrees of freedom with many means or a large q: the upper tail then
// comes from s below a few tenths, where 1 - W(q·s) turns from 1 to 0. The
// reference integrates over w = q·s instead, so that turn has a fixed scale:
//   pW <- function(w, r) 1 - r * integrate(function(z) dnorm(z) *
//           (pnorm(z + w) - pnorm(z))^(r - 1), -Inf, Inf, rel.tol = 1e-12)$value
//   ptu <- function(q, r, v) { f <- function(w) sapply(w, function(ww)
//           dchisq(v * ww^2 / q^2, v) * 2 * v * ww / q^2 * pW(ww, r))
//         br <- c(0:8, 10, 14, 20, Inf); sum(sapply(1:12, function(i)
//           integrate(f, br[i], br[i + 1], rel.tol = 1e-11)$value)) }
// (R's ptukey is no reference here: 1.000000004e-3 at v = 2, r = 100,
// q = 146.6685500089.) Quantiles: uniroot(function(q) ptu(q, r, v) - p,
// interval, tol = 1e-10); they agree with the two decimals of Harter's table
// (Annals of Mathematical Statistics 31, 1960): 135.0, 49.07, 59.56, 31.69.
TEST_F(AuditDistributions, StudentizedRangeWithFewDfAndManyMeans) {
    struct Case {
        int v, r;
        double q, upper;
    };
    const Case cases[] = {
        {1, 50, 30, 0.119158140058226},
        {1, 20, 30, 0.0990494713260355},
        {1, 100, 15, 0.261672884946864},
        {2, 100, 30, 0.0279320087102474},
        {2, 100, 146.668550008917, 0.00118551054344421},
        {3, 100, 30, 0.00655919126449558},
        {2, 10, 15, 0.043666462556745},
        {3, 20, 15, 0.0222056966267079},
        {5, 100, 15, 0.01141842408724},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(static_cast<double>(StudentizedRangeProb(cs, c.v, c.r, c.q)), c.upper, 1e-9)
            << "v " << c.v << " r " << c.r << " q " << c.q;
    struct Quantile {
        int v, r;
        long double p;
        double q;
    };
    const Quantile quantiles[] = {
        {1, 3, 0.01L, 135.0406595185},  {1, 10, 0.05L, 49.0710224237},
        {1, 10, 0.01L, 245.5416426700}, {1, 20, 0.05L, 59.5575699134},
        {2, 10, 0.01L, 31.6893523694},
    };
    for (const Quantile& c : quantiles)
        EXPECT_NEAR(static_cast<double>(StudentizedRangeInv(cs, c.v, c.r, c.p)), c.q, 1e-8 * c.q)
            << "v " << c.v << " r " << c.r << " p " << static_cast<double>(c.p);
}

// Shapes far below 1, where Q(a, x) is of the order of a: the complement of
// the series P would keep none of its digits. R: pgamma(x, a, lower.tail =
// FALSE) and pgamma(x, a).
TEST_F(AuditDistributions, IncompleteGammaOfTinyShapes) {
    struct Case {
        double a, x;
        long double lower, upper;  // 0: not checked
    };
    const Case cases[] = {
        {1e-300, 1e-300, 0, 6.9019831223335099e-298L},
        {1e-20, 1, 0, 2.1938393439551968e-21L},
        {1e-12, 1, 0, 2.1938393439574259e-13L},
        {1e-8, 0.5, 0, 5.5977359770995867e-09L},
        {0.75, 1e-12, 1.088065252130551e-09L, 0},
        {0.3, 1.5, 0.95789053670411062L, 0.042109463295889389L},
    };
    for (const Case& c : cases) {
        if (c.upper != 0) {
            EXPECT_NEAR(static_cast<double>(GammQ(cs, c.a, c.x) / c.upper), 1.0, 1e-12)
                << "Q(" << c.a << ", " << c.x << ")";
        }
        if (c.lower != 0) {
            EXPECT_NEAR(static_cast<double>(GammP(cs, c.a, c.x) / c.lower), 1.0, 1e-12)
                << "P(" << c.a << ", " << c.x << ")";
        }
    }
    // pgamma(1, 1e-300, log.p = TRUE) = -2.19e-301: P is 1 to every digit.
    EXPECT_EQ(GammP(cs, 1e-300L, 1), 1.0L);
}

}  // namespace
}  // namespace amx
