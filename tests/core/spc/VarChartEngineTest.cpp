// The variables chart engine from worksheet to limits: subgroup statistics,
// sets, every limit method family, and the faults of one-value subgroups,
// median process sigma and one-statistic sets.
#include <gtest/gtest.h>

#include <cmath>

#include "../worksheet/TestSheets.h"
#include "spc/VarChartEngine.h"

namespace amx {
namespace {

using test::LoadSheet;
using test::Rows;

Rows Column(const std::vector<double>& v) {
    Rows r;
    for (double x : v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.10g", x);
        r.push_back({buf});
    }
    return r;
}

// Settings as "&Action" would commit them, written directly.
VarChartSetup Committed(int layout, int loc, int disp, int locMethod, int dispMethod, std::vector<int> measures = {1}) {
    VarChartSetup s;
    s.settings.Layout = static_cast<std::uint8_t>(layout);
    s.settings.LocChartType = static_cast<std::uint8_t>(loc);
    s.settings.DispChartType = static_cast<std::uint8_t>(disp);
    s.settings.LocLimitMethod = static_cast<std::uint8_t>(locMethod);
    s.settings.DispLimitMethod = static_cast<std::uint8_t>(dispMethod);
    s.settings.LocCenterline = locMethod ? 1 : 0;
    s.settings.DispCenterline = dispMethod ? 4 : 0;
    s.measures = std::move(measures);
    for (int c : s.measures) s.include[c] = true;
    s.run.ColFirst = s.measures.front();
    s.run.ColLast = s.measures.back();
    return s;
}

VarChartData Load(Session& s, const VarChartSetup& setup, bool breaks = false) {
    VarChartData d;
    LoadVarChart(s, setup, ChartSelection{setup.measures.front(), 0, ""}, breaks, true, d);
    return d;
}

constexpr double M = MissingValue;

TEST(VarChartEngine, MeanAndRangeOfTheFlowWidthSummary) {
    // 25 subgroups of 5 with mean 1.5056 and range 0.32521 each: the
    // textbook summary x-double-bar 1.5056, R-bar 0.32521.
    std::vector<double> v;
    const double c = 1.5056, r = 0.32521;
    for (int i = 0; i < 25; ++i)
        for (double x : {c - r / 2, c, c, c, c + r / 2}) v.push_back(x);
    Session s;
    LoadSheet(s, {"Width"}, Column(v));
    auto setup = Committed(4, ChartType::Mean, ChartType::Range, Method::AverageRange, Method::AverageRange);
    setup.settings.SubgroupSize = 5;
    const auto d = Load(s, setup);
    ASSERT_EQ(d.N, 25);
    EXPECT_NEAR(d.table.at(VarCol::LocCL, 1), 1.5056, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::LocUCL, 1), 1.69319, 1e-5);
    EXPECT_NEAR(d.table.at(VarCol::LocLCL, 25), 1.31801, 1e-5);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 1), 0.32521, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::DispUCL, 1), 0.68766, 2e-5);
    EXPECT_EQ(d.table.at(VarCol::DispLCL, 1), M);
    EXPECT_EQ(d.SigmaMethod, Method::AverageRange);
    EXPECT_NEAR(d.table.at(VarCol::ProcessSigma, 1), 0.32521 / 2.325928947, 1e-6);  // d2 as tabled
    // Rows N + 1 and N + 2: smallest and largest of each column.
    EXPECT_NEAR(d.table.at(VarCol::Location, 26), c, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::Dispersion, 27), r, 1e-12);
}

TEST(VarChartEngine, OneValueSubgroupsStayOutOfTheSigmaEstimates) {
    Session s;
    LoadSheet(s, {"X"}, Column(std::vector<double>{10, 12, 11, 13, 9, 10, 11, 12, 10, 12, 11}));
    auto setup = Committed(4, ChartType::Mean, ChartType::Range, Method::AverageRange, Method::AverageRange);
    setup.settings.SubgroupSize = 5;
    auto d = Load(s, setup);
    ASSERT_EQ(d.N, 3);
    const double K = (4 + 2) / 2.0 / 2.325928947;  // 1.2898
    for (int p = 1; p <= 3; ++p) {
        EXPECT_NEAR(d.table.at(VarCol::LocCL, p), 11.0, 1e-12);
        EXPECT_NEAR(d.table.at(VarCol::DispCL, p == 3 ? 1 : p), K * 2.325928947, 1e-9);
    }
    EXPECT_NEAR(d.table.at(VarCol::LocUCL, 1), 12.730, 5e-4);
    EXPECT_NEAR(d.table.at(VarCol::LocLCL, 1), 9.270, 5e-4);
    // The single value: a location point with standard error sigma.
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 3), K, 1e-5);
    for (int c : {VarCol::Dispersion, VarCol::RangeSigma, VarCol::StdDev, VarCol::DispCL, VarCol::DispUCL,
                  VarCol::DispSE})
        EXPECT_EQ(d.table.at(c, 3), M) << c;

    // The same under a median chart, a variance chart and the median methods:
    // nothing divides by zero and no limit collapses.
    for (int disp : {ChartType::Range, ChartType::StdDev, ChartType::Variance}) {
        for (int method : {Method::MedianRange, Method::MedianStdDev, Method::AverageVariance}) {
            auto med = Committed(4, ChartType::Median, disp, method, method);
            med.settings.SubgroupSize = 5;
            d = Load(s, med);
            for (int p = 1; p <= 3; ++p) {
                const double se = d.table.at(VarCol::LocSE, p);
                EXPECT_TRUE(se != M && se > 0 && std::isfinite(se)) << disp << " " << method << " " << p;
            }
            EXPECT_EQ(d.table.at(VarCol::DispUCL, 3), M);
        }
    }

    // A set of single values only: no subgroup-based limits at all.
    LoadSheet(s, {"X"}, Column(std::vector<double>{10, 12, 11}));
    auto ones = Committed(2, ChartType::Mean, ChartType::Variance, Method::AverageVariance, Method::AverageVariance,
                      {1});
    d = Load(s, ones);
    ASSERT_EQ(d.N, 3);
    for (int p = 1; p <= 3; ++p)
        for (int c : {VarCol::LocUCL, VarCol::LocSE, VarCol::DispCL, VarCol::DispUCL, VarCol::ProcessSigma})
            EXPECT_EQ(d.table.at(c, p), M) << c;
}

TEST(VarChartEngine, KnownSigmaOnTheDispersionCharts) {
    Session s;
    LoadSheet(s, {"X"}, Column(std::vector<double>{10, 12, 11, 13, 9, 10, 11, 12, 10, 12}));
    // R: 2*c4(5) and 2*c4(5) + 3*2*sqrt(1 - c4(5)^2), c4 = sqrt(2/(n-1))*exp(lgamma(n/2)-lgamma((n-1)/2))
    auto sd = Committed(4, ChartType::Mean, ChartType::StdDev, Method::KnownStdDev, Method::KnownStdDev);
    sd.settings.SubgroupSize = 5;
    sd.settings.SigmaKnown = true;
    sd.settings.KnownSigma = 2;
    sd.settings.DispCenterline = 6;
    auto d = Load(s, sd);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 1), 1.879971206, 1e-8);
    EXPECT_NEAR(d.table.at(VarCol::DispUCL, 1), 3.927255842, 1e-8);
    EXPECT_EQ(d.table.at(VarCol::DispLCL, 1), M);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 1), 2 / std::sqrt(5.0), 1e-12);

    // Variance chart, pooled variance U = 1.75:
    // U*qchisq(pnorm(-3),4,lower.tail=FALSE)/4 and U*qchisq(pnorm(-3),4)/4
    auto var = Committed(4, ChartType::Mean, ChartType::Variance, Method::AverageVariance, Method::AverageVariance);
    var.settings.SubgroupSize = 5;
    d = Load(s, var);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 2), 1.75, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::DispUCL, 2), 7.78775401391, 1e-7);
    EXPECT_NEAR(d.table.at(VarCol::DispLCL, 2), 0.04627133291, 1e-9);
    EXPECT_NEAR(d.table.at(VarCol::DispSE, 2), (7.78775401391 - 1.75) / 3, 1e-7);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 1), std::sqrt(1.75 / 5), 1e-12);
}

TEST(VarChartEngine, MedianChartProcessSigmaUndoesTheMedianFactor) {
    Session s;
    LoadSheet(s, {"X"}, Column(std::vector<double>{10, 12, 11, 13, 9, 10, 11, 12, 10, 12}));
    auto med = Committed(4, ChartType::Median, ChartType::None, Method::KnownStdDev, Method::None);
    med.settings.SubgroupSize = 5;
    med.settings.SigmaKnown = true;
    med.settings.KnownSigma = 1;
    const auto d = Load(s, med);
    // sqrt(0.2868337): standard deviation of the median of five.
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 1), 0.5355685764, 1e-7);
    EXPECT_NEAR(d.table.at(VarCol::ProcessSigma, 1), 1.0, 1e-12);
    EXPECT_EQ(d.SigmaMethod, Method::KnownStdDev);
    EXPECT_NEAR(d.table.at(VarCol::LocCL, 1), 11.0, 1e-12);  // grand mean of the values
}

TEST(VarChartEngine, IndividualsAndMovingRanges) {
    // R: x <- c(5.1,4.8,5.6,5.0,4.7,5.3,5.9,5.2,4.9,5.4); mr <- abs(diff(x))
    //    s <- mean(mr)/(2/sqrt(pi)): 5.19 +- 3*s = 6.5784221832, 3.8015778168;
    //    MR chart CL mean(mr) = 0.5222222222, UCL mean(mr) + 3*sqrt(2-4/pi)*s = 1.7058555579
    const std::vector<double> x{5.1, 4.8, 5.6, 5.0, 4.7, 5.3, 5.9, 5.2, 4.9, 5.4};
    Session s;
    LoadSheet(s, {"X"}, Column(x));
    auto ind = Committed(1, ChartType::X, ChartType::MovingRange, Method::AverageMR, Method::AverageMR);
    auto d = Load(s, ind);
    ASSERT_EQ(d.N, 10);
    EXPECT_EQ(d.table.at(VarCol::Dispersion, 1), M);
    EXPECT_NEAR(d.table.at(VarCol::Dispersion, 2), 0.3, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::LocUCL, 5), 6.5784221832, 1e-5);  // d2(2) as tabled
    EXPECT_NEAR(d.table.at(VarCol::LocLCL, 5), 3.8015778168, 1e-5);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 5), 0.5222222222, 1e-9);
    EXPECT_NEAR(d.table.at(VarCol::DispUCL, 5), 1.7058555579, 1e-4);
    EXPECT_NEAR(d.table.at(VarCol::ProcessSigma, 5), 0.4628073944, 1e-6);

    // Median MR: median(abs(diff(x)))/0.9538725524 (median range of two).
    auto medMR = Committed(1, ChartType::X, ChartType::MovingRange, Method::MedianMR, Method::MedianMR);
    medMR.settings.DispCenterline = 5;
    d = Load(s, medMR);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 3), 0.6 / 0.9538725524, 1e-3);
    // Std Dev: H = sd(x) = 0.3725288952.
    auto sd = Committed(1, ChartType::X, ChartType::None, Method::StdDev, Method::None);
    d = Load(s, sd);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 3), 0.3725288952, 1e-9);
}

TEST(VarChartEngine, SetsSplitEverythingAndMissingSetsStandAlone) {
    Session s;
    Rows rows;
    const std::vector<double> x{5, 6, 5, 7, 6, 5, 6, 7, 5, 6, 9, 10, 9, 11, 10};
    for (std::size_t i = 0; i < x.size(); ++i)
        rows.push_back({std::to_string(x[i]), i < 10 ? "1" : i < 14 ? "2" : ""});
    LoadSheet(s, {"X", "Set"}, rows);
    auto ind = Committed(1, ChartType::X, ChartType::MovingRange, Method::AverageMR, Method::AverageMR);
    ind.settings.MRSpan = 3;
    ind.settings.SetsColumn = 2;
    auto d = Load(s, ind);
    ASSERT_EQ(d.N, 15);
    // w = 3, sets changing between points 10 and 11: 11 and 12 have no MR.
    EXPECT_NE(d.table.at(VarCol::Dispersion, 10), M);
    EXPECT_EQ(d.table.at(VarCol::Dispersion, 11), M);
    EXPECT_EQ(d.table.at(VarCol::Dispersion, 12), M);
    EXPECT_NEAR(d.table.at(VarCol::Dispersion, 13), 1.0, 1e-12);
    ASSERT_EQ(d.sets.size(), 3u);
    EXPECT_EQ(d.sets[0].name, "1");
    EXPECT_EQ(d.sets[2].name, "Missing");
    EXPECT_NEAR(d.table.at(VarCol::GrandMean, 1), 5.8, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::GrandMean, 11), 9.75, 1e-12);
    EXPECT_EQ(d.table.at(VarCol::Set, 15), M);
    EXPECT_NEAR(d.table.at(VarCol::GrandMean, 15), 10, 1e-12);
    // The missing set's single point has no moving range: no limits.
    EXPECT_EQ(d.table.at(VarCol::LocUCL, 15), M);
    EXPECT_NE(d.table.at(VarCol::LocUCL, 10), d.table.at(VarCol::LocUCL, 11));

    // H of a set with one statistic divides by 0: that set gets no limits.
    auto sdx = Committed(1, ChartType::X, ChartType::None, Method::StdDev, Method::None);
    sdx.settings.SetsColumn = 2;
    d = Load(s, sdx);
    EXPECT_NE(d.table.at(VarCol::LocUCL, 1), M);
    EXPECT_EQ(d.table.at(VarCol::LocUCL, 15), M);
    EXPECT_EQ(d.table.at(VarCol::LocSE, 15), M);
}

TEST(VarChartEngine, MixedSizesUserLimitsAndOptions) {
    Session s;
    Rows rows;
    const std::vector<std::vector<double>> sg{{1, 2, 3, 4}, {2, 3, 4, 5, 6, 7}, {1, 3, 2, 2}, {0, 2, 4, 3, 5, 1}};
    for (std::size_t g = 0; g < sg.size(); ++g)
        for (double v : sg[g]) rows.push_back({std::to_string(v), std::to_string(g + 1)});
    LoadSheet(s, {"X", "Sample"}, rows);
    auto setup = Committed(3, ChartType::Mean, ChartType::Range, Method::AverageRange, Method::AverageRange);
    setup.settings.SampleColumn = 2;
    auto d = Load(s, setup);
    ASSERT_EQ(d.N, 4);
    // K = mean(R/d2(n)); R-chart CL = K d2(n) per point, mean SE = K / sqrt(n).
    const double d2_4 = 2.058750746, d2_6 = 2.534413;
    const double K = (3 / d2_4 + 5 / d2_6 + 2 / d2_4 + 5 / d2_6) / 4;
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 1), K / 2, 1e-5);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 2), K / std::sqrt(6.0), 1e-5);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 2), K * d2_6, 1e-5);
    EXPECT_EQ(d.sets[0].sizes.size(), 2u);

    // User-defined location limits with UCL and CL only: SE = (UCL - CL)/k;
    // the dispersion side keeps its own method.
    auto user = setup;
    user.settings.LocLimitMethod = Method::UserDefined;
    user.settings.LocUserUCL = 9;
    user.settings.LocUserCL = 3;
    d = Load(s, user);
    EXPECT_EQ(d.table.at(VarCol::LocUCL, 2), 9);
    EXPECT_EQ(d.table.at(VarCol::LocLCL, 2), M);
    EXPECT_NEAR(d.table.at(VarCol::LocSE, 2), 2, 1e-12);
    EXPECT_NEAR(d.table.at(VarCol::DispCL, 2), K * d2_6, 1e-5);

    // Positive limits only: a negative LCL is left out, the UCL stays.
    auto pos = setup;
    pos.settings.StdErrors = 8;
    pos.settings.PositiveLimitsOnly = true;
    d = Load(s, pos);
    EXPECT_EQ(d.table.at(VarCol::LocLCL, 1), M);
    EXPECT_NE(d.table.at(VarCol::LocUCL, 1), M);

    // No location chart: column 15 is the dispersion method's sigma K.
    auto noLoc = setup;
    noLoc.settings.LocChartType = ChartType::None;
    d = Load(s, noLoc);
    EXPECT_EQ(d.table.at(VarCol::Location, 1), M);
    EXPECT_EQ(d.table.at(VarCol::LocCL, 1), M);
    EXPECT_NEAR(d.table.at(VarCol::ProcessSigma, 1), K, 1e-5);
}

}  // namespace
}  // namespace amx
