// Far upper tails of the studentized range, to 9 significant digits down to
// 1e-12. R's ptukey loses digits there, so the reference is an independent
// integration: R's integrate() (adaptive Gauss-Kronrod, rel.tol 1e-12 and
// 1e-13) of the complement of the range distribution,
//   compW <- function(w, r) r * integrate(function(z) {
//       U <- pnorm(z, lower.tail = FALSE); ratio <- pnorm(z + w, lower.tail = FALSE) / U
//       dnorm(z) * U^(r - 1) * -expm1((r - 1) * log1p(-ratio)) }, -40, 40)$value
//   upper <- function(v, r, q) integrate(function(s) f_v(s) * compW(q * s, r), ...)$value
// with f_v the density of sqrt(chisq_v / v) and the s range split at 40/q.
#include <gtest/gtest.h>

#include "common/CommonState.h"
#include "engine/distributions/Distributions.h"

namespace amx {
namespace {

TEST(StudentizedRangeTail, NineDigitsDownTo1e12) {
    struct Case {
        int v, r;
        double q, p;
    };
    const Case cases[] = {
        {1000000, 3, 7.7, 1.555028699945362e-07},  {1000000, 3, 8.6, 3.580518063721643e-09},
        {1000000, 3, 9.9, 7.663808975166058e-12},  {1000000, 10, 9.9, 1.149256599244277e-10},
        {1000000, 10, 10.8, 1.003275307802648e-12}, {100, 4, 10, 1.270723094631577e-09},
        {100, 4, 11.5, 7.092122668907928e-12},     {10, 3, 25, 1.961081754006337e-08},
        {10, 3, 60, 3.494999303010783e-12},        {2, 5, 3000, 6.840644269953491e-07},
        {2, 5, 100000, 6.156583065830973e-10},     {20, 5, 4.2, 5.235357667355853e-02},
        {1, 3, 30, 4.497003675570688e-02},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.v << ", " << c.r << ", " << c.q);
        CommonState cs;
        const long double p = StudentizedRangeProb(cs, c.v, c.r, c.q);
        EXPECT_NEAR(static_cast<double>(p) / c.p, 1.0, 1e-9);
    }
}

}  // namespace
}  // namespace amx
