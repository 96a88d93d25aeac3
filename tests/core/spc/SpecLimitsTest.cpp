// The specification store and the capability indices computed against it.
#include <gtest/gtest.h>

#include <cmath>

#include "spc/SpecLimits.h"

namespace amx {
namespace {

constexpr double NA = MissingValue;

TEST(SpecLimits, StoreFlagsTextsAndOrder) {
    struct Case {
        double LSL, Target, USL;
        bool any, oneLimit, twoSided, inOrder;
        const char *lslText, *targetText, *uslText;
    };
    const Case cases[] = {
        {4, 10, 16, true, true, true, true, "4", "10", "16"},
        {NA, NA, NA, false, false, false, false, "", "", ""},
        {NA, 10.25, NA, true, false, false, false, "", "10.25", ""},
        // A single limit without a target has no pair to be in order.
        {NA, NA, 16, true, true, false, false, "", "", "16"},
        {4, NA, NA, true, true, false, false, "4", "", ""},
        {NA, 10, 16, true, true, false, true, "", "10", "16"},
        {4, 10, NA, true, true, false, true, "4", "10", ""},
        // Reversed limits: no pair in order.
        {16, 10, 4, true, true, true, false, "16", "10", "4"},
        {-0.5, NA, 0.5, true, true, true, true, "-0.5", "", "0.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.LSL << " " << c.Target << " " << c.USL);
        SpcState spc;
        SetSpecLimits(spc, c.LSL, c.Target, c.USL);
        const SpecLimitsStore& s = spc.SpecLimits;
        EXPECT_EQ(s.HaveLSL, c.LSL != NA);
        EXPECT_EQ(s.HaveTarget, c.Target != NA);
        EXPECT_EQ(s.HaveUSL, c.USL != NA);
        EXPECT_EQ(s.HaveAnySpec, c.any);
        EXPECT_EQ(s.HaveUSLorLSL, c.oneLimit);
        EXPECT_EQ(s.TwoSided, c.twoSided);
        EXPECT_EQ(s.SpecsInOrder, c.inOrder);
        EXPECT_EQ(s.LSLText, c.lslText);
        EXPECT_EQ(s.TargetText, c.targetText);
        EXPECT_EQ(s.USLText, c.uslText);
        if (c.twoSided) {
            EXPECT_EQ(s.Tolerance, c.USL - c.LSL);
        }
    }
}

TEST(SpecLimits, NormalModelIndices) {
    struct Case {
        const char* what;
        double LSL, Target, USL;
        long double centre, sigma;
        long long n;
        double Cp, Cpk, Cpm;
    };
    const double tauCpm = 12 / (6 * std::sqrt(1 + 10.0 / 9));  // tau^2 = 1 + 1^2 * 10/9
    const Case cases[] = {
        {"two-sided, off centre", 4, 10, 16, 11, 1, 10, 2, 5.0 / 3, tauCpm},
        {"two-sided, outside", 4, 10, 16, 17, 1, 10, 2, -1.0 / 3, 12 / (6 * std::sqrt(1 + 49 * 10.0 / 9))},
        {"upper only", NA, 10, 16, 13, 0.5, 10, 2, 2, 3 / (3 * std::sqrt(0.25 + 9 * 10.0 / 9))},
        {"lower only", 4, 10, NA, 7, 0.5, 10, 2, 2, 3 / (3 * std::sqrt(0.25 + 9 * 10.0 / 9))},
        {"no target: no Cpm", 4, NA, 16, 10, 1, 10, 2, 2, 0},
        {"no limit", NA, 10, NA, 10, 1, 10, 0, 0, 0},
        {"zero sigma", 4, 10, 16, 10, 0, 10, 0, 0, 0},
        {"one value: no Cpm", 4, 10, 16, 11, 1, 1, 2, 5.0 / 3, 0},
        {"negative n: plain offset", 4, 10, 16, 11, 1, -1, 2, 5.0 / 3, 12 / (6 * std::sqrt(2.0))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SpcState spc;
        SetSpecLimits(spc, c.LSL, c.Target, c.USL);
        EXPECT_NEAR(CapabilityCp(spc, CapabilityNormalModel, c.centre, c.sigma), c.Cp, 1e-12);
        EXPECT_DOUBLE_EQ(spc.SpecLimits.ProcessSpread, static_cast<double>(6 * c.sigma));
        EXPECT_NEAR(CapabilityCpk(spc, CapabilityNormalModel, c.centre, c.sigma), c.Cpk, 1e-12);
        EXPECT_NEAR(CapabilityCpm(spc, c.n, c.centre, c.sigma), c.Cpm, 1e-12);
    }
}

TEST(SpecLimits, DistributionModelUsesTheFittedSpreadAndDistribution) {
    SpcState spc;
    SetSpecLimits(spc, 7, NA, 14);
    // Without a fit there is nothing to compute with.
    EXPECT_EQ(CapabilityCpk(spc, CapabilityDistributionModel, 10, 1), 0.0);
    // A fit of N(10, 1): natural tolerance points 10 -+ 3, spread 6.
    spc.SpecLimits.ProcessSpread = 6.0;
    spc.SpecLimits.FittedCDF = [](double x) { return 0.5 * std::erfc(-(x - 10) / std::sqrt(2.0)); };
    EXPECT_NEAR(CapabilityCp(spc, CapabilityDistributionModel, 10, 1), 7.0 / 6, 1e-12);
    // The larger fraction outside is below the LSL, 3 sigma away: Cpk = 1.
    EXPECT_NEAR(CapabilityCpk(spc, CapabilityDistributionModel, 10, 1), 1.0, 1e-6);
    // The distribution model never overwrites the fitted spread.
    EXPECT_EQ(spc.SpecLimits.ProcessSpread, 6.0);
}

}  // namespace
}  // namespace amx
