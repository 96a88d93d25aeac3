// Anderson-Darling, Shapiro-Wilk and Lin-Mudholkar tests of the current sample.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/Sentinels.h"
#include "engine/descriptive/SampleData.h"
#include "engine/descriptive/SessionSample.h"
#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "session/CurrentSample.h"

namespace amx {
namespace {

// The parts of a session the engine works on (the engine links without the worksheet).
struct EngineSession : CommonState, CurrentSample, EngineState {};

std::vector<double> Generated(int n, double (*f)(int)) {
    std::vector<double> xs;
    for (int i = 1; i <= n; ++i) xs.push_back(f(i));
    return xs;
}

struct Reference {
    const char* name;
    std::vector<double> xs;
    double w, wp;  // shapiro.test(x)
    double ad;     // A²* = A²(1 + .75/n + 2.25/n²), A² from pnorm(z, log.p = TRUE)
    double lm;     // abs(cor(x, sapply(seq_along(x), function(i) var(x[-i])^(1/3))))
};

const std::vector<Reference>& References() {
    static const std::vector<Reference> refs{
        {"x12", {2.1, 3.4, 1.9, 5.6, 4.4, 3.3, 2.8, 6.1, 3.9, 4.7, 2.2, 3.0},
         0.94393174414912362, 0.55061786174849137, 0.2748103374779417, 0.46866847061399924},
        {"(1:50)^1.5", Generated(50, [](int i) { return std::pow(i, 1.5); }),
         0.93178698973870833, 0.0064610884052193696, 0.96684929865254576, 0.38488008002298479},
        {"c(1,2,4)", {1, 2, 4}, 0.96428571428571419, 0.6368868450289632, NAN, NAN},
        {"c(3,1,2,7)", {3, 1, 2, 7}, 0.88691237797718181, 0.36899933289192421,
         0.44972891569363782, 0.8685504997818575},
        {"five", {5.1, 4.9, 5.3, 5.0, 5.2}, 0.98676215544771917, 0.96717393596803869, NAN, NAN},
        {"exp((1:20)/5)", Generated(20, [](int i) { return std::exp(i / 5.0); }),
         0.81968113842715962, 0.001724289726598456, 1.3990318402278403, 0.78937617036660135},
        {"sin(1:5000)*3+(1:5000)/1000",
         Generated(5000, [](int i) { return std::sin(i) * 3 + i / 1000.0; }),
         0.98450225948965797, 5.2722995964176254e-23, 13.469038755943329, NAN},
    };
    return refs;
}

TEST(NormalityTest, AgreesWithR) {
    for (const auto& r : References()) {
        EngineSession s;
        SampleData& sd = SessionSample(s);
        sd.SetValues(r.xs);
        sd.ComputeStats('T');
        EXPECT_NEAR(sd.swW, r.w, 1e-6) << r.name;
        EXPECT_NEAR(sd.swP, r.wp, std::max(1e-6 * r.wp, 1e-30)) << r.name;
        if (!std::isnan(r.ad)) {
            EXPECT_NEAR(sd.adStat, r.ad, 1e-12) << r.name;
        }
        if (!std::isnan(r.lm)) {
            EXPECT_NEAR(sd.lmR, r.lm, 1e-12) << r.name;
        }
    }
}

TEST(NormalityTest, ShapiroWilkCoefficientsFollowTheSampleSize) {
    // The same session computes W for samples of different sizes in turn.
    EngineSession s;
    SampleData& sd = SessionSample(s);
    for (int pass = 0; pass < 2; ++pass)
        for (const auto& r : References()) {
            sd.SetValues(r.xs);
            sd.ShapiroWilkTest(true);
            EXPECT_NEAR(sd.swW, r.w, 1e-6) << r.name << " pass " << pass;
        }
    // n = 3: W at its minimum 3/4 gives p = 0, never a negative probability.
    sd.SetValues(std::vector<double>{1, 2, 3 + 1e-9});
    sd.ShapiroWilkTest(true);
    EXPECT_GE(sd.swP, 0);
    sd.SetValues(std::vector<double>{0, 0, 1});
    sd.ShapiroWilkTest(true);
    EXPECT_NEAR(sd.swW, 0.75, 1e-15);
    EXPECT_EQ(sd.swP, 0);
}

// Samples no test can judge: every statistic and p-value is "not available"
// (999), never a W of 0 that reads as a significant departure. A pair always
// gives the same A² whatever its values, and Royston's approximation of the
// Shapiro-Wilk distribution covers n <= 5000 only.
TEST(NormalityTest, NotAvailableWhereNoTestApplies) {
    struct Case {
        const char* what;
        std::vector<double> xs;
        bool sw, ad;  // whether each is not available
    };
    std::vector<double> big = Generated(5001, [](int i) { return std::sin(i) * 3.0; });
    const Case cases[] = {
        {"constant", {4, 4, 4, 4, 4, 4}, true, true},
        {"a pair", {1, 7}, true, true},
        {"another pair", {-3, 100}, true, true},
        {"n = 5001", big, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EngineSession s;
        SampleData& sd = SessionSample(s);
        sd.SetValues(c.xs);
        sd.ComputeStats('T');
        sd.ShapiroWilkTest(true);
        EXPECT_EQ(sd.swW == NotAvailable && sd.swP == NotAvailable, c.sw);
        EXPECT_EQ(sd.adStat == NotAvailable && sd.adP == NotAvailable, c.ad);
    }
}

TEST(NormalityTest, AndersonDarlingPValue) {
    struct Case {
        long double a, p;
    };
    const std::vector<Case> cases{
        {NotAvailable, NotAvailable},
        {0.05L, 1},
        {0.1L, 1},
        // pnorm((log(A - 0.04) + 1.2026)/0.527, lower = FALSE)
        {0.2748103374779417L, 0.67993206998876698L},
        {0.44972891569363782L, 0.27797042874006594L},
        // linear in the table between (0.9, 0.9797) and (1.0, 0.9887)
        {0.96684929865254576L, 0.014283563121270881L},
        {1.3990318402278403L, 0.0010096815977216345L},
        {0.752L, 0.05L},
        {1.5L, 0},
        {7.0L, 0},
    };
    for (const auto& c : cases) EXPECT_NEAR(ADPValue(c.a), c.p, 1e-12) << static_cast<double>(c.a);
}

TEST(NormalityTest, AndersonDarlingKeepsFarOutliers) {
    // A value 40 standard deviations out still gives a statistic (with p = 0).
    std::vector<double> xs(200, 0.0);
    for (size_t i = 0; i < xs.size(); ++i) xs[i] = std::sin(static_cast<double>(i)) * 1e-3;
    xs.push_back(1.0);
    EngineSession s;
    SampleData& sd = SessionSample(s);
    sd.SetValues(xs);
    sd.ComputeStats('A');
    ASSERT_NE(sd.adStat, NotAvailable);
    EXPECT_GT(sd.adStat, 10);
    EXPECT_EQ(sd.adP, 0);
}

TEST(NormalityTest, LinMudholkarPValueSolvesTheCornishFisherRelation) {
    // u + γ(u³ - 3u)/24 = z/σ, with lmP = 2(1 - Φ(|u|)); n = 4 takes the
    // single-real-root branch, larger n the trigonometric one.
    for (int n : {4, 8, 30, 200}) {
        const long double N = n;
        const long double sigma = std::sqrt(3 / N - 7.324L / (N * N) + 53.005L / (N * N * N));
        const long double gamma = -11.7L / N + 55.06L / (N * N);
        for (long double r : {0.05L, 0.2L, 0.4L}) {
            const long double p = LMPValue(n, r);
            if (p == 0) continue;
            ASSERT_GT(p, 0);
            ASSERT_LE(p, 1);
            // invert p to |u| and check the relation
            long double lo = 0, hi = 10;
            for (int i = 0; i < 200; ++i) {
                long double mid = (lo + hi) / 2;
                (std::erfc(mid / std::sqrt(2.0L)) > p ? lo : hi) = mid;
            }
            const long double u = lo;
            const long double y = 0.5L * std::log((1 + r) / (1 - r)) / sigma;
            EXPECT_NEAR(u + gamma * (u * u * u - 3 * u) / 24, y, 1e-9) << n << " " << static_cast<double>(r);
        }
    }
    EXPECT_EQ(LMPValue(30, 0.99L), 0);
    EXPECT_GT(LMPValue(30, 0.1L), LMPValue(30, 0.3L));
}

}  // namespace
}  // namespace amx
