// The fixed tables of the range and median constants, checked entry by entry
// against the integrals that define them: each entry must be its integral
// rounded to the decimals it carries.
#include <gtest/gtest.h>

#include <cmath>

#include "spc/ControlConstants.h"

namespace amx {
namespace {

struct AuditFixture : CommonState, SpcState {};

// R, n = 2..30:
//   d2 <- function(n) integrate(function(x) 1 - pnorm(x)^n - pnorm(x, lower.tail = FALSE)^n,
//                               -Inf, Inf, rel.tol = 1e-13)$value
//   d3 <- function(n) { inner <- function(y) sapply(y, function(yy) integrate(function(x)
//           1 - pnorm(yy)^n - pnorm(x, lower.tail = FALSE)^n + (pnorm(yy) - pnorm(x))^n,
//           -Inf, yy, rel.tol = 1e-12)$value)
//         sqrt(2 * integrate(inner, -Inf, Inf, rel.tol = 1e-11)$value - d2(n)^2) }
//   pW <- function(w, n) n * integrate(function(z) dnorm(z) * (pnorm(z + w) - pnorm(z))^(n - 1),
//                                      -Inf, Inf, rel.tol = 1e-13)$value
//   medianRange <- function(n) uniroot(function(w) pW(w, n) - 0.5, c(0.1, 10), tol = 1e-13)$root
TEST(AuditConstants, RangeTablesAreTheRoundedIntegrals) {
    struct Row {
        int n;
        double d2, d3, medianRange;
    };
    const Row rows[] = {
        {2, 1.1283791671, 0.8525024664, 0.9538725524},
        {3, 1.6925687506, 0.8883680040, 1.5877877504},
        {4, 2.0587507460, 0.8798082028, 1.9783204855},
        {5, 2.3259289473, 0.8640819411, 2.2568824930},
        {6, 2.5344127212, 0.8480396861, 2.4716516048},
        {7, 2.7043567512, 0.8332053356, 2.6454520358},
        {8, 2.8472006121, 0.8198314898, 2.7908407571},
        {9, 2.9700263244, 0.8078342746, 2.9154379134},
        {10, 3.0775054617, 0.7970506735, 3.0242015730},
        {11, 3.1728727038, 0.7873146206, 3.1205308925},
        {12, 3.2584552797, 0.7784783412, 3.2068532500},
        {13, 3.3359803541, 0.7704162021, 3.2849597399},
        {14, 3.4067631082, 0.7630230956, 3.3562079661},
        {15, 3.4718268899, 0.7562114297, 3.4216503550},
        {16, 3.5319827861, 0.7499080894, 3.4821184812},
        {17, 3.5878839618, 0.7440517840, 3.5382802899},
        {18, 3.6400637579, 0.7385908534, 3.5906800066},
        {19, 3.6889630232, 0.7334814955, 3.6397666408},
        {20, 3.7349501196, 0.7286863457, 3.6859147720},
        {21, 3.7783358298, 0.7241733407, 3.7294399874},
        {22, 3.8193846434, 0.7199148084, 3.7706105368},
        {23, 3.8583234233, 0.7158867355, 3.8096562601},
        {24, 3.8953481485, 0.7120681751, 3.8467755178},
        {25, 3.9306292195, 0.7084407659, 3.8821406336},
        {26, 3.9643156795, 0.7049883378, 3.9159022175},
        {27, 3.9965386040, 0.7016965889, 3.9481926313},
        {28, 4.0274138482, 0.6985528172, 3.9791287947},
        {29, 4.0570442921, 0.6955456983, 4.0088144736},
        {30, 4.0855216883, 0.6926650989, 4.0373421637},
    };
    // d2 carries five decimals, d3 and the median range four: half a unit of
    // the last one (with a hair for the binary form of the decimals).
    constexpr double kHalf5 = 0.5e-5 + 1e-12, kHalf4 = 0.5e-4 + 1e-12;
    AuditFixture s;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.n);
        EXPECT_NEAR(static_cast<double>(D2Factor(s, r.n)), r.d2, kHalf5);
        EXPECT_NEAR(static_cast<double>(D3Factor(s, r.n)), r.d3, kHalf4);
        EXPECT_NEAR(static_cast<double>(MedianRangeFactor(s, r.n)), r.medianRange, kHalf4);
    }
    EXPECT_EQ(s.StatErrorCode, 0);
}

// c4 = sqrt(2/(n-1)) Γ(n/2)/Γ((n-1)/2). For large n a difference of lgamma
// values would lose digits; Γ(n/2)/Γ((n-1)/2) = √π / B((n-1)/2, ½) keeps them,
// R: sqrt(2/(n-1)) * sqrt(pi) / exp(lbeta((n-1)/2, 0.5))
TEST(AuditConstants, C4ForSmallAndHugeSubgroups) {
    struct Row {
        long long n;
        long double c4;
    };
    const Row rows[] = {
        {2, 0.79788456080286518L},
        {7, 0.95936878869983278L},
        {30, 0.99141805329267274L},
        {1000, 0.99974978110151269L},
        {10000, 0.99997499781235211L},
        {100000, 0.99999749997812515L},
        {1000000, 0.99999974999978158L},
    };
    AuditFixture s;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.n);
        EXPECT_NEAR(static_cast<double>(C4Factor(s, r.n) / r.c4), 1.0, 1e-12);
    }
}

// The variance of the median of n standard normals for even n is that of the
// mean of the two middle order statistics; for odd n that of the middle one.
// R, odd n: k <- (n+1)/2; integrate(function(x) x^2 * exp(lfactorial(n) -
//   lfactorial(k-1) - lfactorial(n-k)) * pnorm(x)^(k-1) *
//   pnorm(x, lower.tail = FALSE)^(n-k) * dnorm(x), -Inf, Inf, rel.tol = 1e-13)
TEST(AuditConstants, MedianStandardDeviationOfFive) {
    AuditFixture s;
    // sqrt(0.286833661606), the variance of the median of five standard normals.
    EXPECT_NEAR(MedianSDFactor(s, 5, 1.0L), std::sqrt(0.286833661606), 1e-9);
    EXPECT_NEAR(MedianSDFactor(s, 3, 1.0L), std::sqrt(0.448671104578), 1e-9);
    EXPECT_NEAR(MedianSDFactor(s, 19, 1.0L), std::sqrt(0.080790975072), 1e-9);
}

}  // namespace
}  // namespace amx
