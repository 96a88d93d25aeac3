// Transforms: values, texts, errors, and how loads and the worksheet take them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestSheets.h"
#include "worksheet/modifications/ProcessIf.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/Transform.h"
#include "worksheet/modifications/TransformedVariables.h"

namespace amx {
namespace {

using test::LoadSheet;
using test::Sample;

void SetTransform(Session& s, int no, const char* a, const char* b, const char* c = "1", bool normFirst = false) {
    SetTransformFromDialog(s, s.Transform, no, a, b, c, normFirst);
    std::string message;
    ASSERT_TRUE(ValidateTransformConstants(s, s.Transform, message)) << message;
}

TEST(Transform, FormulasOnOneValue) {
    // Rscript -e 'options(digits=17); print(c(sqrt(7), 7^2, 3/4^0.5, log(7), exp(7), asin(0.4), sin(7),
    //             (2*2+3)^-2, 3/(4)^-1.5))'
    struct Case {
        int no;
        const char *a, *b, *c;
        double v, expected;
    };
    const Case cases[] = {
        {TransformKind::None, "2", "3", "1", 2, 2},
        {TransformKind::Linear, "2", "3", "1", 2, 7},
        {TransformKind::Power1, "2", "3", "0.5", 2, 2.6457513110645907},
        {TransformKind::Power1, "2", "3", "-2", 2, 2.0408163265306121e-02},
        {TransformKind::Power2, "2", "3", "0.5", 2, 49},
        {TransformKind::Inv, "2", "3", "0.5", 2, 1.5},
        {TransformKind::Inv, "2", "3", "-1.5", 2, 24},
        {TransformKind::Log, "2", "3", "1", 2, 1.9459101490553132},
        {TransformKind::Exp, "2", "3", "1", 2, 1.0966331584284585e+03},
        {TransformKind::Arcsin, "0.1", "0.2", "1", 2, 4.1151684606748806e-01},
        {TransformKind::Sin, "2", "3", "1", 2, 6.5698659871878906e-01},
    };
    for (const auto& c : cases) {
        Session s;
        SetTransform(s, c.no, c.a, c.b, c.c);
        double v = c.v;
        ASSERT_TRUE(ApplyTransform(s, v)) << c.no;
        EXPECT_NEAR(v, c.expected, 4e-16 * std::fabs(c.expected)) << c.no;
    }
}

TEST(Transform, ErrorsLeaveTheValueAndGiveTheReason) {
    struct Case {
        const char* label;
        int no;
        long double A, B, C;
        double v;
        const char* error;
    };
    const Case cases[] = {
        {"power1 negative base", TransformKind::Power1, 1, 0, 0.5L, -1, "Error: X < 0"},
        {"power1 zero base, negative power", TransformKind::Power1, 1, -2, -1, 2, "Error: X = 0"},
        {"power2 negative base", TransformKind::Power2, 1, 0, 2, -1, "Error: X < 0"},
        {"power2 C = 0", TransformKind::Power2, 1, 0, 0, 4, "Error: C = 0"},
        {"power2 zero base, negative C", TransformKind::Power2, 1, 0, -2, 0, "Error: X = 0"},
        {"inv zero", TransformKind::Inv, 1, 1, 1, 0, "Error: X <= 0"},
        {"inv negative A", TransformKind::Inv, -1, 1, 0.5L, 4, "Error: X <= 0"},
        {"inv underflowing power", TransformKind::Inv, 1, 1, 1e6L, 0.5, "Error: Y out of range"},
        {"log of 0", TransformKind::Log, 1, 0, 1, 0, "Error: X <= 0"},
        {"exp beyond a double", TransformKind::Exp, 1, 0, 1, 1000, "Error: Y out of range"},
        {"arcsin of 1", TransformKind::Arcsin, 1, 0, 1, 1, "Error: ABS(X) >= 1"},
        {"exponential min = mean", TransformKind::RandomExponential, 2, 2, 1, 5, "Error: B <= A"},
        {"chi-square df 0", TransformKind::RandomChiSquare, 0, 1, 0, 5, "Error: A <= 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        s.Transform.no = static_cast<std::uint8_t>(c.no);
        s.Transform.A = c.A;
        s.Transform.B = c.B;
        s.Transform.C = c.C;
        double v = c.v;
        EXPECT_FALSE(ApplyTransform(s, v));
        EXPECT_EQ(v, c.v);
        EXPECT_TRUE(s.Transform.Error);
        EXPECT_EQ(s.Transform.ErrorString, c.error);
    }
}

TEST(Transform, Texts) {
    struct Case {
        int no;
        const char *a, *b, *c, *text;
    };
    const Case cases[] = {
        {0, "1", "0", "1", "None"},
        {1, "2", "3", "1", "2X + 3"},
        {1, "1", "-3", "1", "X -3"},
        {1, "1", "0", "1", "X"},
        {1, "1", "-2.5", "1", "X -2.5"},
        {2, "2", "1", "0.5", "(2X + 1)^0.5"},
        {3, "1", "0", "3", "(X)^(1/3)"},
        {4, "2", "5", "2", "5/(2X)^2"},
        {5, "1", "1", "1", "LN(X + 1)"},
        {6, "0.5", "0", "1", "EXP(0.5X)"},
        {7, "1", "-0.5", "1", "ARCSIN(X -0.5)"},
        {8, "3", "0", "1", "SIN(3X)"},
        {9, "1", "0", "1", "Uniform(1,0)"},
        {10, "10", "2", "1", "Normal(10,2)"},
        {11, "1", "5", "1", "Exponential(1,5)"},
        {12, "3", "2", "1", "Chi-Square(3,2,1)"},
    };
    for (const auto& c : cases) {
        Session s;
        SetTransformFromDialog(s, s.Transform, c.no, c.a, c.b, c.c, false);
        EXPECT_EQ(TransformText(s.Transform), c.text) << c.no;
        EXPECT_EQ(TransformStatusText(s.Transform), c.no == 0 ? std::string("Transform Off")
                                                              : std::string("Transform: ") + c.text);
    }
}

TEST(Transform, DialogChecksTheConstantsOnOk) {
    struct Case {
        int no;
        const char *a, *b, *c, *message;
    };
    const Case cases[] = {
        {1, "2", "1,000", "", ""},
        {1, "x", "0", "1", "Constant A is not a number."},
        {5, "1", "", "1", "Constant B is not a number."},
        {2, "1", "0", "1e", "Constant C is not a number."},
        {9, "1", "0", "junk", ""},  // C is not used
        {3, "1", "0", "0", "C must not be 0: the transform divides by C."},
        {4, "0", "1", "1", "A must not be 0: the transform divides by (AX)^C."},
        {11, "5", "5", "1", "B (the mean) must be greater than A (the minimum)."},
        {12, "0", "1", "0", "A (the degrees of freedom) must be greater than 0."},
    };
    for (const auto& c : cases) {
        Session s;
        SetTransformFromDialog(s, s.Transform, c.no, c.a, c.b, c.c, false);
        std::string message;
        EXPECT_EQ(ValidateTransformConstants(s, s.Transform, message), *c.message == '\0') << c.no;
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(s.StatErrorCode, 0);
    }
    Session s;
    SetTransformFromDialog(s, s.Transform, 1, "2", "1,000", "", false);
    std::string message;
    ASSERT_TRUE(ValidateTransformConstants(s, s.Transform, message));
    EXPECT_EQ(s.Transform.A, 2.0L);
    EXPECT_EQ(s.Transform.B, 1000.0L);

    // OK needs every box of a transform that uses C.
    EXPECT_TRUE(TransformOkEnabled(1, "", "", ""));
    EXPECT_FALSE(TransformOkEnabled(2, "1", "0", ""));
    EXPECT_TRUE(TransformOkEnabled(12, "1", "0", "2"));
}

void LoadNumbers(Session& s) { LoadSheet(s, {"Wt"}, {{"3"}, {"1"}, {"0"}, {"4"}, {"2"}}); }

std::vector<double> LoadWt(Session& s) {
    TRunInfo ri;
    ri.ColRefRun = SelectionMode::Columns;
    s.DataList.IncludeCol[1] = true;
    DataToA_Array(s, 1, ri);
    return Sample(s);
}

TEST(Transform, AnErrorAbandonsTheLoadAndIsReportedOnce) {
    Session s;
    RecordingMessages msgs;
    s.messages = &msgs;
    LoadNumbers(s);
    SetTransform(s, TransformKind::Log, "1", "0");
    EXPECT_TRUE(LoadWt(s).empty());  // nothing partly transformed reaches an analysis
    EXPECT_EQ(s.StatErrorCode, 1);
    EXPECT_EQ(msgs.Errors(),
              std::vector<std::string>{"Transform Error - Turning Off Transform!\nTransform: LN(X)\nError: X <= 0"});
    EXPECT_EQ(s.Transform.no, TransformKind::None);
    // The transform is off: the next load is the plain data, with no second report.
    EXPECT_EQ(LoadWt(s), (std::vector<double>{3, 1, 0, 4, 2}));
    EXPECT_EQ(msgs.Errors().size(), 1u);

    // Loaders that transform cell by cell report once per load too.
    SetTransform(s, TransformKind::Log, "1", "0");
    DirectTransform direct(s);
    std::vector<double> values{1, 0, -1, 2};
    for (double& v : values) direct.Apply(v);
    EXPECT_EQ(values, (std::vector<double>{0, 0, -1, 2}));
    EXPECT_TRUE(direct.Failed());
    EXPECT_EQ(msgs.Errors().back(), "Transform Error - Turning off Transform");
    EXPECT_EQ(msgs.Errors().size(), 2u);
    EXPECT_EQ(s.Transform.no, TransformKind::None);
}

TEST(Transform, RandomTransformsRepeatOnReload) {
    struct Case {
        int no;
        const char *a, *b, *c;
        bool normFirst;
        double low, high;  // every value lies in [low, high]
    };
    const Case cases[] = {
        {TransformKind::Linear, "1", "0", "1", true, 0, 20},
        {TransformKind::RandomUniform, "5", "2", "1", false, 2, 5},
        {TransformKind::RandomNormal, "100", "1", "1", false, 80, 120},
        {TransformKind::RandomExponential, "1", "3", "1", false, 1, 1e300},
        {TransformKind::RandomChiSquare, "3", "2", "10", false, 10, 1e300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.no);
        Session s;
        RandomSeed(s.RandSeed, 20261211);
        LoadNumbers(s);
        SetTransform(s, c.no, c.a, c.b, c.c, c.normFirst);
        TRunInfo ri;
        ri.ColRefRun = SelectionMode::Columns;
        s.DataList.IncludeCol[1] = true;
        ri.Afirst = ri.Alast = 1;
        SetupIndex(ri);
        ASSERT_TRUE(GetAR(s, ri));
        const std::vector<double> first = Sample(s);
        ASSERT_EQ(first.size(), 5u);
        for (double v : first) {
            EXPECT_GE(v, c.low);
            EXPECT_LE(v, c.high);
        }
        EXPECT_NE(first[0], first[1]);
        ReloadAR(s, ri);
        EXPECT_EQ(Sample(s), first);
        DataToA_Array(s, 1, ri);  // a fresh load draws fresh numbers
        EXPECT_NE(Sample(s), first);
    }
}

TEST(Transform, RandomExponentialAndChiSquareHaveTheirMeans) {
    // Exponential(A=min 1, B=mean 3) has mean 3; Chi-Square(df 4, scale 0.5, min 1) has mean 4*0.5 + 1 = 3.
    for (int no : {TransformKind::RandomExponential, TransformKind::RandomChiSquare}) {
        Session s;
        RandomSeed(s.RandSeed, 7);
        if (no == TransformKind::RandomExponential)
            SetTransform(s, no, "1", "3");
        else
            SetTransform(s, no, "4", "0.5", "1");
        const int n = 20000;
        double sum = 0;
        for (int i = 0; i < n; ++i) {
            double v = 0;
            ASSERT_TRUE(ApplyTransform(s, v));
            sum += v;
        }
        EXPECT_NEAR(sum / n, 3.0, 0.06) << no;  // about 3 standard errors
    }
}

// Chi-square deviates for any degrees of freedom, small, ordinary and huge:
// the sample mean and variance of 20,000 draws against df and 2·df (within
// about four standard errors), and never an engine warning.
TEST(Transform, RandomChiSquareForAnyDegreesOfFreedom) {
    struct Case {
        const char* df;
        const char* scale;
        double mean, variance;  // of the scaled values
    };
    const Case cases[] = {
        {"0.5", "1", 0.5, 1.0},
        {"3", "1", 3.0, 6.0},
        {"1e12", "1e-12", 1.0, 2e-12},
        {"1e18", "1e-18", 1.0, 2e-18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.df);
        Session s;
        RecordingMessages messages;
        s.messages = &messages;
        RandomSeed(s.RandSeed, 11);
        SetTransform(s, TransformKind::RandomChiSquare, c.df, c.scale, "0");
        const int n = 20000;
        std::vector<double> xs(n);
        long double sum = 0;
        for (double& v : xs) {
            ASSERT_TRUE(ApplyTransform(s, v));
            sum += v;
        }
        const long double m = sum / n;
        long double squares = 0;
        for (double v : xs) squares += (v - m) * (v - m);
        const double mean = static_cast<double>(m);
        const double variance = static_cast<double>(squares / (n - 1));
        EXPECT_NEAR(mean, c.mean, 4 * std::sqrt(c.variance / n));
        // The variance of s² is about (μ4 - σ⁴)/n; for a chi-square that is
        // (2·σ⁴ + 12·σ⁴/df)/n, at most 26·σ⁴/n here.
        EXPECT_NEAR(variance / c.variance, 1.0, 4 * std::sqrt(26.0 / n));
        EXPECT_TRUE(messages.entries.empty());
    }
}

TEST(Transform, RandomExponentialNeverTakesTheLogOfZero) {
    Session s;
    SetTransform(s, TransformKind::RandomExponential, "1", "3");
    // With the second state word 0 the generator's next output is exactly 0.
    s.RandSeed.s[0] = 1;
    s.RandSeed.s[1] = 0;
    s.RandSeed.s[2] = 2;
    s.RandSeed.s[3] = 3;
    RandomState probe = s.RandSeed;
    ASSERT_EQ(RandomUniform(probe), 0.0);
    double v = 0;
    ASSERT_TRUE(ApplyTransform(s, v));
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_GE(v, 1.0);
}

TEST(TransformedVariables, AddAndModifyKeepTheRulesCells) {
    // Rows 2 and 4 fail Process If (Lot = 1); the empty cell and 999 are missing.
    const test::Rows rows = {{"1", "4"}, {"2", "9"}, {"1", ""}, {"2", "16"}, {"1", "999"}, {"1", "25"}};
    struct Case {
        bool modify;
        int columns;
        std::vector<std::string> texts;  // of the written column
    };
    const Case cases[] = {
        {false, 3, {"2", "", "", "", "", "5"}},
        {true, 2, {"2", "9", "", "16", "999", "5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.modify);
        Session s;
        RecordingMessages msgs;
        s.messages = &msgs;
        LoadSheet(s, {"Lot", "Wt"}, rows);
        ApplyMissingDialog(s, [] { MissingRec m; m.Sign1 = 1; return m; }(), "999", "");
        ApplyProcessIfDialog(s, {{{1, "Lot", PiRelation::Equal, "1"}, {}}, 0});
        SetTransform(s, TransformKind::Power1, "1", "0", "0.5");
        EXPECT_EQ(AddTransformedVariables(s, {{2}, c.modify, true}), 1);
        ASSERT_EQ(s.worksheet.ColumnCount(), c.columns);
        const int target = c.modify ? 2 : 3;
        EXPECT_EQ(s.worksheet.ColumnName(target), c.modify ? "Wt" : "f(Wt)");
        for (int r = 1; r <= 6; ++r) EXPECT_EQ(s.worksheet.Cell(target, r), c.texts[r - 1]) << r;
        EXPECT_EQ(s.Transform.no, TransformKind::None);  // turned off when done
        EXPECT_TRUE(s.FileModified);
        EXPECT_TRUE(s.DataChanged);
        EXPECT_TRUE(msgs.Errors().empty());
    }
}

TEST(TransformedVariables, FailuresAndLimits) {
    Session s;
    RecordingMessages msgs;
    s.messages = &msgs;
    LoadSheet(s, {"A", "B"}, {{"1", "-1"}, {"4", "2"}});
    SetTransform(s, TransformKind::Log, "1", "0");
    // B fails at its first row and is not written; A is.
    EXPECT_EQ(AddTransformedVariables(s, {{2, 1}, false, false}), 1);
    EXPECT_EQ(msgs.Errors(), std::vector<std::string>{"Transform Failed for: B"});
    ASSERT_EQ(s.worksheet.ColumnCount(), 3);
    EXPECT_EQ(s.worksheet.ColumnName(3), "f(A)");
    EXPECT_EQ(s.worksheet.Cell(3, 1), "0");
    EXPECT_EQ(s.Transform.no, TransformKind::Log);

    s.worksheet.SetColumnCount(510);
    EXPECT_EQ(AddTransformedVariables(s, {{1, 2}, false, false}), 0);
    EXPECT_EQ(msgs.Errors().back(), "Maximum Number of Columns Exceeded.");
    EXPECT_EQ(s.worksheet.ColumnCount(), 510);

    s.Transform.no = TransformKind::None;
    EXPECT_EQ(AddTransformedVariables(s, {{1}, false, false}), 0);
    EXPECT_EQ(s.worksheet.ColumnCount(), 510);
}

}  // namespace
}  // namespace amx
