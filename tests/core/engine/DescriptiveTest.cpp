// Descriptive statistics of the current sample, intervals and TCorr.
// Reference values from R 4.x as noted beside each table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/Sentinels.h"
#include "engine/descriptive/Intervals.h"
#include "engine/descriptive/SampleData.h"
#include "engine/descriptive/SessionSample.h"
#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "session/CurrentSample.h"

namespace amx {
namespace {

// The parts of a session the engine works on (the engine links without the worksheet).
struct EngineSession : CommonState, CurrentSample, EngineState {};

constexpr long double NA = NotAvailable;

// x <- c(2.1, 3.4, 1.9, 5.6, 4.4, 3.3, 2.8, 6.1, 3.9, 4.7, 2.2, 3.0)
const std::vector<double> kX12{2.1, 3.4, 1.9, 5.6, 4.4, 3.3, 2.8, 6.1, 3.9, 4.7, 2.2, 3.0};

struct Fixture {
    EngineSession session;
    SampleData& sd = SessionSample(session);
    explicit Fixture(const std::vector<double>& xs) { sd.SetValues(xs); }
};

TEST(DescriptiveTest, SampleIsTheSessionsCurrentSampleAndIsSortedInPlace) {
    EngineSession s;
    std::vector<std::vector<double>> cols{{9, MissingValue, 1}, {5, 3}};
    SampleData& sd = SessionSample(s);
    sd.LoadSample(cols, 0, 1, 0, 2);
    ASSERT_EQ(s.ATop, 4);
    EXPECT_EQ(s.A_Array, (std::vector<double>{0, 9, 1, 5, 3}));
    sd.OrderStats();
    EXPECT_EQ(s.A_Array, (std::vector<double>{0, 1, 3, 5, 9}));
    EXPECT_EQ(sd.median, 4);
    // Values a loader put straight into A_Array are what the engine sees.
    s.A_Array = {0, 2, 4};
    s.ATop = 2;
    sd.MeanStdDev();
    EXPECT_EQ(sd.mean, 3);

    sd.LoadSampleMean(cols, 1, 1, 0, 5);
    EXPECT_EQ(sd.mean, 4);
    sd.LoadSampleMean(cols, 0, 0, 1, 1);
    EXPECT_EQ(sd.n(), 0);
    EXPECT_EQ(sd.mean, MissingValue);
    sd.LoadSampleMinMax(cols, 0, 1, 0, 2);
    EXPECT_EQ(sd.n(), 4);
    EXPECT_EQ(sd.range, 8);
}

TEST(DescriptiveTest, OrderStatisticsAndQuartiles) {
    struct Case {
        std::vector<double> xs;
        long double median, q1, q3;
    };
    // Quartiles at (n + 1)/4 and 3(n + 1)/4: quantile(x, c(.25, .75), type = 6).
    const std::vector<Case> cases{
        {{5, 1, 4, 2, 3}, 3, 1.5, 4.5},
        {{8, 7, 6, 5, 4, 3, 2, 1}, 4.5, 2.25, 6.75},
        {{3, 1, 2}, 2, 1, 3},
        {{7}, 7, 7, 7},
        {kX12, 3.35, 2.35, 4.625},
    };
    for (const auto& c : cases) {
        Fixture f(c.xs);
        f.sd.OrderStats();
        EXPECT_NEAR(f.sd.median, c.median, 1e-15) << c.xs.size();
        EXPECT_NEAR(f.sd.q1, c.q1, 1e-15) << c.xs.size();
        EXPECT_NEAR(f.sd.q3, c.q3, 1e-15) << c.xs.size();
    }
    Fixture empty({});
    empty.sd.OrderStats();
    for (long double v : {empty.sd.minimum, empty.sd.maximum, empty.sd.range, empty.sd.median,
                          empty.sd.q1, empty.sd.q3})
        EXPECT_EQ(v, NA);
}

TEST(DescriptiveTest, MomentsAgreeWithR) {
    Fixture f(kX12);
    f.sd.MeanDeviations();
    f.sd.SkewKurt();
    // mean(x); sd(x); g1 = m3/m2^1.5; G1 = g1*sqrt(n(n-1))/(n-2);
    // g2 = m4/m2^2 - 3; G2 = ((n+1)g2 + 6)(n-1)/((n-2)(n-3))
    EXPECT_NEAR(f.sd.mean, 3.6166666666666667, 1e-15);
    EXPECT_NEAR(f.sd.stdDev, 1.362373152282665, 1e-14);
    EXPECT_NEAR(f.sd.skewness, 0.47610437606708966, 1e-13);
    EXPECT_NEAR(f.sd.adjSkewness, 0.54700228292165953, 1e-13);
    EXPECT_NEAR(f.sd.kurtosis, -0.87342727197001269, 1e-13);
    EXPECT_NEAR(f.sd.adjKurtosis, -0.65444555435235341, 1e-13);
    EXPECT_NEAR(f.sd.meanAbsDevMedian, 12.8L / 12, 1e-14);  // Σ|x - 3.35|/12
    f.sd.ComputeStats('N');
    EXPECT_NEAR(f.sd.lowerNatTol, 3.6166666666666667 - 3 * 1.362373152282665, 1e-13);
    EXPECT_NEAR(f.sd.upperNatTol, 3.6166666666666667 + 3 * 1.362373152282665, 1e-13);

    // D'Agostino's t form: 2*pt(-abs(t), floor(nu)), nu = 17.871
    EXPECT_NEAR(SkewnessPValue(f.session, 12, f.sd.skewness), 0.37514263754507915, 1e-8);
    EXPECT_EQ(SkewnessPValue(f.session, 7, 0.5), NA);
}

TEST(DescriptiveTest, ConstantAndTinySamplesGiveNotAvailable) {
    Fixture f({4, 4, 4, 4, 4, 4});
    f.sd.ComputeStats('T');
    EXPECT_EQ(f.sd.stdDev, 0);
    EXPECT_EQ(f.sd.mean, 4);
    EXPECT_EQ(f.sd.skewness, NA);
    EXPECT_EQ(f.sd.kurtosis, NA);
    EXPECT_EQ(f.sd.adjSkewness, NA);
    EXPECT_EQ(f.sd.adStat, NA);
    EXPECT_EQ(f.sd.adP, NA);
    EXPECT_EQ(f.sd.swW, NA);
    EXPECT_EQ(f.sd.swP, NA);
    EXPECT_EQ(f.sd.lmR, NA);
    EXPECT_EQ(f.sd.lmP, NA);

    Fixture two({1, 3});
    two.sd.ComputeStats('T');
    EXPECT_EQ(two.sd.skewness, NA);
    EXPECT_EQ(two.sd.swP, NA);
}

TEST(DescriptiveTest, Percentiles) {
    Fixture f(kX12);
    // quantile(x, c(.1, .9), type = 6)
    EXPECT_NEAR(f.sd.Percentile(0.1), 1.96, 1e-15);
    EXPECT_EQ(f.session.StatErrorCode, 0);
    EXPECT_NEAR(f.sd.Percentile(0.9), 5.95, 1e-15);
    Fixture ten({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(ten.sd.Percentile(0.005), 0);
    EXPECT_EQ(ten.session.StatErrorCode, 1);
    EXPECT_EQ(ten.sd.Percentile(0.995), 0);
    EXPECT_EQ(ten.session.StatErrorCode, 1);
    // (n + 0.4)p + 0.3: p = 0.5 -> 5.5; p = 0.02 -> 0.508 -> x[1]; p = 0.99 -> 10.6 -> 10.6
    EXPECT_NEAR(ten.sd.MedianRankPercentile(0.5), 5.5, 1e-15);
    EXPECT_EQ(ten.sd.MedianRankPercentile(0.02), 1);
    EXPECT_NEAR(ten.sd.MedianRankPercentile(0.99), 10, 1e-15);
    EXPECT_NEAR(ten.sd.MedianRankPercentile(0.25), 2.9, 1e-15);
}

TEST(DescriptiveTest, Mode) {
    struct Case {
        std::vector<double> xs;
        long double mode;
        int distinct;
    };
    const std::vector<Case> cases{
        {{}, MissingValue, 0},
        {{3}, 3, 1},
        {{3, 3}, 3, 1},
        {{5, 3}, 5, 2},
        {{4, 2, 2, 7, 7, 7, 1}, 7, 4},
        {{9, 1, 1, 9, 9, 1}, 1, 2},  // first of the longest runs
    };
    for (const auto& c : cases) {
        Fixture f(c.xs);
        f.sd.SampleMode();
        EXPECT_EQ(f.sd.mode, c.mode) << c.xs.size();
        EXPECT_EQ(f.sd.distinctCount, c.distinct) << c.xs.size();
    }
}

TEST(DescriptiveTest, MovingRangesReplaceTheSample) {
    Fixture f({1, 4, 2, 2, 7});
    f.sd.MovingRangeStats();
    // Moving ranges 3, 2, 0, 5: mean 2.5, median 2.5.
    EXPECT_NEAR(f.sd.avgMovingRange, 2.5, 1e-18);
    EXPECT_NEAR(f.sd.sigmaAvgMR, 2.5L / 1.12838L, 1e-15);
    EXPECT_NEAR(f.sd.medianMovingRange, 2.5, 1e-18);
    EXPECT_NEAR(f.sd.sigmaMedianMR, 2.5L / 0.9539L, 1e-15);
    EXPECT_EQ(f.sd.n(), 5);
    // Without a reload the sample holds the moving ranges.
    EXPECT_EQ(f.session.A_Array[1], 0);
    EXPECT_EQ(f.session.A_Array[4], 5);
}

TEST(DescriptiveTest, TiesMedianAndSpreading) {
    Fixture f({1, 2, 2, 2, 3});
    f.sd.TiedMedian();
    EXPECT_NEAR(f.sd.interpolatedMedian, 2, 1e-18);
    Fixture g({1, 2, 2, 2, 2, 4, 5});
    g.sd.TiedMedian();
    // w = 1, i = 1, j = 6: 2 - 0.5 + (3.5 - 1)/4
    EXPECT_NEAR(g.sd.interpolatedMedian, 2.125, 1e-18);
    g.sd.SpreadTies();
    const std::vector<double> spread{1, 1.7, 1.9, 2.1, 2.3, 4, 5};
    for (int i = 1; i <= 7; ++i) EXPECT_NEAR(g.session.A_Array[static_cast<size_t>(i)], spread[static_cast<size_t>(i - 1)], 1e-12);
    EXPECT_EQ(g.sd.CountAbove(2), 4);
    EXPECT_EQ(g.sd.CountBelow(2), 3);
}

TEST(DescriptiveTest, KurtosisSignificanceTexts) {
    struct Case {
        int n;
        long double g2;
        const char* text;
        long double p;
    };
    const std::vector<Case> cases{
        {6, 3.0L, "999.000", NA},
        {20, NA, "999.000", NA},
        {20, 0.0L, "1.000", NA - 1e-10L},
        {10, 2.0L, "<.02", 0.02L - 1e-10L},
        {10, -1.52L, ".05-.02", 0.05L - 1e-10L},
        {10, 0.5L, ">.10", NA - 1e-10L},
        // n = 11 lies between the rows for 10 and 12: upper .05 = 1.48.
        {11, 1.47L, ".10-.05", 0.10L - 1e-10L},
        {11, 1.49L, ".05-.02", 0.05L - 1e-10L},
    };
    for (const auto& c : cases) {
        std::string text;
        long double p = 0;
        KurtosisPValueText(c.n, text, c.g2, p);
        EXPECT_EQ(text, c.text) << c.n << " " << static_cast<double>(c.g2);
        EXPECT_NEAR(p, c.p, 1e-12) << c.n;
    }
    // Large samples: normal approximation, 2*pnorm(-0.1/SE) with n = 10000.
    std::string text;
    long double p = 0;
    KurtosisPValueText(10000, text, 0.1L, p);
    const long double n = 10000;
    const long double se = std::sqrt(6 * n * (n - 1) / ((n - 2) * (n + 1) * (n + 3)) * 4 *
                                      (n * n - 1) / ((n - 3) * (n + 5)));
    EXPECT_NEAR(p, std::erfc(0.1L / se / std::sqrt(2.0L)), 1e-15);
    EXPECT_EQ(text, "0.041");

    // The sample's own variant keeps the numeric companion.
    Fixture f({1, 2, 3, 4, 5, 6});
    f.sd.KurtosisPValueText(6, text, 1.0L);
    EXPECT_EQ(text, "999.000");
    EXPECT_EQ(f.sd.kurtosisP, NA);
}

TEST(DescriptiveTest, DispersionIndex) {
    Fixture f({3, 5, 2, 8, 4, 6});
    long double x = 0, p = 0;
    f.sd.DispersionIndexTest(x, p);
    // (n-1)*var(z)/mean(z); 2*pchisq(x, 5, lower = FALSE)
    EXPECT_NEAR(x, 5, 1e-15);
    EXPECT_NEAR(p, 2 * 0.41588018699550794, 1e-7);
    Fixture zero({-1, 1, 0});
    zero.sd.DispersionIndexTest(x, p);
    EXPECT_EQ(x, NA);
    EXPECT_EQ(p, NA);
}

TEST(DescriptiveTest, ConfidenceIntervals) {
    EngineSession s;
    long double lo = 0, hi = 0;
    // t.test(x)$conf.int
    MeanCI(s, 0.05L, 11, 12, 1.362373152282665L, 3.6166666666666667L, lo, hi);
    EXPECT_NEAR(lo, 2.7510560628731717, 1e-8);
    EXPECT_NEAR(hi, 4.4822772704601617, 1e-8);
    // sqrt(11*var(x)/qchisq(c(.975, .025), 11))
    StdDevCI(s, 0.05L, 11, 1.362373152282665L, lo, hi);
    EXPECT_NEAR(lo, 0.96509853474197915, 1e-7);
    EXPECT_NEAR(hi, 2.3131434271980975, 1e-7);
    StdDevCI(s, 0.05L, 0, 1.5L, lo, hi);
    EXPECT_EQ(lo, NA);
    EXPECT_EQ(hi, NA);
    // tanh(atanh(0.6) + c(-1, 1)*qnorm(.975)/sqrt(17))
    CorrCI(0.05L, 20, 0.6L, lo, hi);
    EXPECT_NEAR(lo, 0.21440693172348971, 1e-8);
    EXPECT_NEAR(hi, 0.82379337023494648, 1e-8);
    for (auto [n, r] : {std::pair{3.0L, 0.5L}, {10.0L, 1.0L}, {10.0L, -1.0L}}) {
        CorrCI(0.05L, n, r, lo, hi);
        EXPECT_EQ(lo, NA);
        EXPECT_EQ(hi, NA);
    }

    SampleData& sd = SessionSample(s);
    sd.SetValues(kX12);
    s.confI.SetConfText(s, "90");
    EXPECT_EQ(s.StatErrorCode, 0);
    EXPECT_NEAR(s.confI.alpha, 0.1L, 1e-18);
    sd.ComputeStats('I');
    // t.test(x, conf.level = 0.9)$conf.int
    EXPECT_NEAR(s.confI.m1, 2.9103752429674472, 1e-8);
    EXPECT_NEAR(s.confI.m2, 4.3229580903658862, 1e-8);
    EXPECT_EQ(s.confI.ni, 12);
    s.confI.SetConfText(s, "9x5");
    EXPECT_EQ(s.StatErrorCode, 2);
    EXPECT_NEAR(s.confI.conf, 0.9L, 1e-18);
}

TEST(DescriptiveTest, CorrelationAndRegression) {
    EngineSession s;
    const std::vector<double> y{1.2, 2.3, 2.9, 4.8, 5.1, 6.7, 6.9, 8.8, 9.1, 10.5, 11.0, 12.9};
    TCorr c;
    c.Init();
    for (size_t i = 0; i < y.size(); ++i) c.AddPair(kX12[i], y[i]);
    c.AddPair(MissingValue, 3);
    EXPECT_EQ(c.n, 12);
    // cor.test(x, y); coef(lm(y ~ x))
    EXPECT_NEAR(c.PearsonR(s), 0.1929114436999643, 1e-14);
    EXPECT_NEAR(c.pvalue, 0.54803852154776167, 1e-8);
    c.LinearRegression(s);
    EXPECT_NEAR(c.A, 4.949257142857145, 1e-12);
    EXPECT_NEAR(c.B, 0.52555102040816271, 1e-13);

    TCorr perfect;
    perfect.Init();
    for (int i = 1; i <= 5; ++i) perfect.AddPair(i, 10 - 2 * i);
    EXPECT_NEAR(perfect.PearsonR(s), -1, 1e-15);
    EXPECT_EQ(perfect.pvalue, 0);
    EXPECT_FALSE(perfect.Error);

    TCorr flat;
    flat.Init();
    flat.AddPair(1, 2);
    flat.AddPair(1, 3);
    EXPECT_EQ(flat.PearsonR(s), 0);
    EXPECT_TRUE(flat.Error);
    EXPECT_EQ(flat.pvalue, NA);
    flat.LinearRegression(s);
    EXPECT_EQ(s.StatErrorCode, 1);
}

}  // namespace
}  // namespace amx
