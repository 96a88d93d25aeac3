// The Explore pages against R, the cells that cannot be computed, the
// selection modes, the simulated exponential test and the Output report.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/Messages.h"
#include "explore/Explore.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"

namespace amx {
namespace {

const std::string kShafts = std::string(AMX_TEST_DATA_DIR) + "/../core/explore/data/shafts.amx";

// Columns of shafts.amx.
enum { Diameter = 1, Line = 2, Shift = 3, Batch = 4, Flat = 5, Single = 6 };

// Diameter in R, for the reference values below:
// x <- c(25.012,24.987,25.031,24.968,25.004,24.995,25.046,24.979,25.018,25.001,
//        24.962,25.027,25.039,25.008,24.991,25.052,25.015,24.984,25.067,25.023,
//        25.002,25.044,24.997,25.031); L <- rep(c("A","B"), each = 12)

class ExploreTest : public ::testing::Test {
protected:
    void SetUp() override {
        s.messages = &messages;
        ASSERT_TRUE(FileToDataGrid(s, kShafts));
    }
    ExploreGrid Page(const ExploreRequest& rq, ExplorePage page) {
        return ComputeExplorePage(s, st, rq, page);
    }
    static ExploreRequest Columns(std::vector<int> cols, int decimals = 9) {
        ExploreRequest rq;
        rq.columns = std::move(cols);
        rq.decimals = decimals;
        return rq;
    }
    static ExploreRequest Reference(int measure, std::vector<int> refs, int decimals = 9) {
        ExploreRequest rq;
        rq.mode = ExploreMode::Reference;
        rq.measure = measure;
        rq.references = std::move(refs);
        rq.decimals = decimals;
        return rq;
    }
    // The cell under `header` (the first such column after `after`) in `row`.
    static std::string Cell(const ExploreGrid& g, int row, const std::string& header, int after = 0) {
        for (int c = after + 1; c < g.ColumnCount(); ++c)
            if (g.Cell(c, 0) == header) return g.Cell(c, row);
        ADD_FAILURE() << "no column " << header;
        return {};
    }
    static double Number(const std::string& text) {
        std::string t;
        for (char ch : text)
            if (ch != ',' && ch != '*' && ch != ' ' && ch != '%') t += ch;
        EXPECT_FALSE(t.empty()) << "empty cell";
        return t.empty() ? NAN : std::stod(t);
    }

    Session s;
    RecordingMessages messages;
    ExploreState st;
};

struct Ref {
    ExplorePage page;
    int row;
    const char* header;
    double value;
    double tol;
};

TEST_F(ExploreTest, OneColumnPagesMatchR) {
    ExploreRequest rq = Columns({Diameter});
    // mean(x); sd(x); min(x); max(x); quantile(x, c(.25,.5,.75), type = 6);
    // shapiro.test(x); t.test(x)$conf.int;
    // sqrt(23*var(x)/qchisq(c(.975,.025), 23))
    const Ref refs[] = {
        {ExplorePage::Descriptives, 1, "n", 24, 0},
        {ExplorePage::Descriptives, 1, "Mean", 25.0117916667, 1e-9},
        {ExplorePage::Descriptives, 1, "Std Dev", 0.0270554650377, 1e-9},
        {ExplorePage::Descriptives, 1, "Low", 24.962, 1e-9},
        {ExplorePage::Descriptives, 1, "High", 25.067, 1e-9},
        {ExplorePage::Descriptives, 1, "Range", 0.105, 1e-9},
        {ExplorePage::Quartiles, 1, "Q1", 24.992, 1e-9},
        {ExplorePage::Quartiles, 1, "Median", 25.01, 1e-9},
        {ExplorePage::Quartiles, 1, "Q3", 25.031, 1e-9},
        {ExplorePage::Normality, 1, "(S-W)W", 0.990, 0.0006},
        {ExplorePage::ConfInt, 1, "Mean(L)", 25.0003671457, 1e-9},
        {ExplorePage::ConfInt, 1, "Mean(H)", 25.0232161876, 1e-9},
        {ExplorePage::ConfInt, 1, "Std Dev(L)", 0.0210278750562, 1e-9},
        {ExplorePage::ConfInt, 1, "Std Dev(H)", 0.0379523406901, 1e-9},
        {ExplorePage::NatTol, 1, "NT Low", 25.0117916667 - 3 * 0.0270554650377, 1e-9},
        {ExplorePage::NatTol, 1, "NT (6s)", 6 * 0.0270554650377, 1e-9},
    };
    for (const Ref& r : refs) {
        ExploreGrid g = Page(rq, r.page);
        SCOPED_TRACE(g.caption + " / " + r.header);
        ASSERT_EQ(g.RowCount(), 1) << "one column: no all-data row";
        EXPECT_EQ(g.Cell(0, 0), "Variable");
        EXPECT_EQ(g.Cell(0, 1), "Shaft Diameter");
        EXPECT_NEAR(Number(Cell(g, r.row, r.header)), r.value, r.tol);
    }
    // shapiro.test(x)$p.value = 0.995198842556
    EXPECT_EQ(Page(rq, ExplorePage::Normality).Cell(5, 1), "0.995 ");
}

TEST_F(ExploreTest, ConfidenceLevelSetsCaptionAndLimits) {
    ExploreRequest rq = Columns({Diameter});
    rq.confText = "99";
    ExploreGrid g = Page(rq, ExplorePage::ConfInt);
    EXPECT_EQ(g.caption, "99% Confidence Intervals");
    EXPECT_EQ(g.reportTitle, "99% CONFIDENCE INTERVALS");
    // t.test(x, conf.level = .99)$conf.int
    EXPECT_NEAR(Number(Cell(g, 1, "Mean(L)")), 24.9962876678, 1e-9);
    EXPECT_NEAR(Number(Cell(g, 1, "Mean(H)")), 25.0272956655, 1e-9);

    for (const char* bad : {"abc", "0", "100", "-5"}) {
        rq.confText = bad;
        messages.entries.clear();
        EXPECT_EQ(Page(rq, ExplorePage::ConfInt).RowCount(), 0) << bad;
        EXPECT_EQ(messages.Errors().size(), 1u) << bad;
    }
}

TEST_F(ExploreTest, ReferenceAnalysisByOneColumnMatchesR) {
    ExploreRequest rq = Reference(Diameter, {Line});
    ExploreGrid d = Page(rq, ExplorePage::Descriptives);
    ASSERT_EQ(d.RowCount(), 3);
    EXPECT_EQ(d.Cell(0, 0), "Production Line");  // the reference column's title
    EXPECT_EQ(d.Cell(0, 1), "(All)");
    EXPECT_EQ(d.Cell(0, 2), "A");
    EXPECT_EQ(d.Cell(0, 3), "B");
    // tapply(x, L, mean); tapply(x, L, sd)
    EXPECT_NEAR(Number(Cell(d, 2, "Mean")), 25.0025, 1e-9);
    EXPECT_NEAR(Number(Cell(d, 3, "Std Dev")), 0.0260155839077, 1e-9);
    EXPECT_NEAR(Number(Cell(d, 1, "Std Dev")), 0.0270554650377, 1e-9);

    // quantile(x[L == "B"], c(.25, .75), type = 6)
    ExploreGrid q = Page(rq, ExplorePage::Quartiles);
    EXPECT_NEAR(Number(Cell(q, 3, "Q1")), 24.99825, 1e-9);
    EXPECT_NEAR(Number(Cell(q, 3, "Q3")), 25.04275, 1e-9);

    // sp <- sqrt((11*var(x[L=="A"]) + 11*var(x[L=="B"]))/22)
    // sqrt(22*sp^2/qchisq(c(.975,.025), 22)); qt(.975, 22)*sp
    rq.pool = true;
    ExploreGrid ci = Page(rq, ExplorePage::ConfInt);
    const double sp = 0.0259053492779, half = 0.0537244061822;
    for (int row = 1; row <= 3; ++row) {
        EXPECT_NEAR(Number(Cell(ci, row, "Std Dev")), sp, 1e-9);
        EXPECT_NEAR(Number(Cell(ci, row, "Std Dev(L)")), 0.020035063631, 1e-9);
        EXPECT_NEAR(Number(Cell(ci, row, "Std Dev(H)")), 0.0366651723769, 1e-9);
    }
    EXPECT_NEAR(Number(Cell(ci, 2, "Mean(L)")), 25.0025 - half / std::sqrt(12.0), 1e-9);
    EXPECT_NEAR(Number(Cell(ci, 1, "Mean(H)")), 25.0117916667 + half / std::sqrt(24.0), 1e-9);

    rq.poolNT = true;
    ExploreGrid nt = Page(rq, ExplorePage::NatTol);
    EXPECT_NEAR(Number(Cell(nt, 3, "NT High")), 25.0210833333 + 3 * sp, 1e-9);
}

TEST_F(ExploreTest, SelectionHeadersAndStatusTexts) {
    ExploreRequest two = Reference(Diameter, {Line, Shift});
    ExploreGrid g = Page(two, ExplorePage::Descriptives);
    EXPECT_EQ(g.Cell(0, 0), "Run");
    ASSERT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Cell(0, 2), "A, 1");
    EXPECT_EQ(g.Cell(0, 5), "B, 2");
    EXPECT_EQ(ExploreAnalysisText(s, two), "Shaft Diameter (Production Line, Shift)");

    EXPECT_EQ(ExploreAnalysisText(s, Columns({Diameter})), "Diameter");
    EXPECT_EQ(ExploreAnalysisText(s, Columns({Diameter, Flat})), "Variable List");

    // Several columns: the all-data row first, then the columns in sheet order.
    ExploreGrid cols = Page(Columns({Flat, Diameter}), ExplorePage::Descriptives);
    ASSERT_EQ(cols.RowCount(), 3);
    EXPECT_EQ(cols.Cell(0, 1), "(All)");
    EXPECT_EQ(cols.Cell(1, 1), "48");
    EXPECT_EQ(cols.Cell(0, 2), "Shaft Diameter");
    EXPECT_EQ(cols.Cell(0, 3), "Flat");
}

TEST_F(ExploreTest, NothingSelectedBeepsAndComputesNothing) {
    for (ExploreRequest rq : {Columns({}), Reference(Diameter, {}), Reference(0, {Line})}) {
        messages.beeps = 0;
        ExploreGrid g = Page(rq, ExplorePage::Descriptives);
        EXPECT_EQ(g.RowCount(), 0);
        EXPECT_EQ(s.StatErrorCode, 1);
        EXPECT_EQ(messages.beeps, 1);
    }
}

TEST_F(ExploreTest, FailingTransformIsSwitchedOffAndThePageComputedAgain) {
    const std::string path = (std::filesystem::temp_directory_path() / "explore_log.amx").string();
    std::ofstream(path) << "Value\r\n-1\r\n2\r\n5\r\n";
    ASSERT_TRUE(FileToDataGrid(s, path));
    std::filesystem::remove(path);
    s.Transform.no = TransformKind::Log;
    ExploreRequest rq;
    rq.mode = ExploreMode::SingleColumn;
    ExploreGrid g = Page(rq, ExplorePage::Descriptives);
    EXPECT_EQ(s.Transform.no, TransformKind::None);
    EXPECT_FALSE(s.Transform.Error);
    EXPECT_EQ(messages.Errors().size() + messages.Warnings().size(), 1u);
    EXPECT_EQ(g.caption, "Descriptives");
    ASSERT_EQ(g.RowCount(), 1);
    EXPECT_EQ(Cell(g, 1, "n"), "3");
    EXPECT_EQ(Cell(g, 1, "Mean"), "2.00");
}

// Values that do not exist show as empty cells, never as 0, inf or NaN.
TEST_F(ExploreTest, RowWithOneValueLeavesSpreadCellsEmpty) {
    ExploreRequest rq = Columns({Single});
    rq.custom = {4, 5, 6, 8, 15, 32, 40, 42, 56};
    struct Expect {
        ExplorePage page;
        const char* header;
    };
    const Expect empties[] = {
        {ExplorePage::Descriptives, "Std Dev"}, {ExplorePage::ConfInt, "Mean(L)"},
        {ExplorePage::ConfInt, "Std Dev"},      {ExplorePage::ConfInt, "Std Dev(H)"},
        {ExplorePage::NatTol, "NT Low"},        {ExplorePage::NatTol, "NT (6s)"},
        {ExplorePage::Custom, "Std Dev"},       {ExplorePage::Custom, "Std Dev CI(L)"},
        {ExplorePage::Custom, "Variance"},      {ExplorePage::Custom, "Std(MR)"},
        {ExplorePage::Custom, "Coeff Var"},     {ExplorePage::Custom, "-3s"},
        {ExplorePage::Custom, "6s"},            {ExplorePage::Custom, "n Below -3s"},
    };
    for (const Expect& e : empties) {
        ExploreGrid g = Page(rq, e.page);
        ASSERT_EQ(g.RowCount(), 1);
        EXPECT_EQ(Cell(g, 1, e.header), "") << g.caption << " / " << e.header;
    }
    EXPECT_EQ(Cell(Page(rq, ExplorePage::Descriptives), 1, "Mean"), "7.250000000");
}

TEST_F(ExploreTest, PooledRowsWithoutDegreesOfFreedomAreEmpty) {
    // Every run of the reference column holds one value: no pooled estimate.
    const std::string path = (std::filesystem::temp_directory_path() / "explore_ones.amx").string();
    std::ofstream(path) << "Value\tId\r\n1.5\ta\r\n2.5\tb\r\n4\tc\r\n";
    ASSERT_TRUE(FileToDataGrid(s, path));
    std::filesystem::remove(path);
    ExploreRequest rq = Reference(1, {2}, 2);
    rq.pool = rq.poolNT = true;
    ExploreGrid ci = Page(rq, ExplorePage::ConfInt);
    ASSERT_EQ(ci.RowCount(), 4);
    for (int row = 1; row <= 4; ++row)
        for (const char* h : {"Mean(L)", "Mean(H)", "Std Dev", "Std Dev(L)", "Std Dev(H)"})
            EXPECT_EQ(Cell(ci, row, h), "") << row << " " << h;
    EXPECT_EQ(Cell(ci, 3, "Mean"), "2.50");
    ExploreGrid nt = Page(rq, ExplorePage::NatTol);
    for (const char* h : {"Std Dev", "NT Low", "NT High", "NT (6s)"}) EXPECT_EQ(Cell(nt, 2, h), "") << h;
}

TEST_F(ExploreTest, PoolingSkipsRunsOfOneValue) {
    // Batch Q holds one value; P (11) and R (12) give 21 df.
    // sp2 <- sqrt((10*var(x[B=="P"]) + 11*var(x[B=="R"]))/21); qt(.975, 21)*sp2
    ExploreRequest rq = Reference(Diameter, {Batch});
    rq.pool = true;
    ExploreGrid ci = Page(rq, ExplorePage::ConfInt);
    ASSERT_EQ(ci.Cell(0, 3), "Q");
    EXPECT_NEAR(Number(Cell(ci, 3, "Std Dev")), 0.0259202976953, 1e-9);
    EXPECT_NEAR(Number(Cell(ci, 3, "Mean(L)")), 25.027 - 0.0539042099466, 1e-9);
    EXPECT_NEAR(Number(Cell(ci, 2, "Std Dev(L)")), 0.0199418160917, 1e-9);
}

TEST_F(ExploreTest, ConstantColumnWithEqualLimits) {
    // Flat: every value 3.5, and USL = Target = LSL = 3.5.
    ExploreRequest rq = Columns({Flat}, 2);
    rq.custom = {4, 15, 23, 24, 53, 55, 56, 57, 58, 59, 62, 49};
    ExploreGrid g = Page(rq, ExplorePage::Custom);
    EXPECT_EQ(Cell(g, 1, "Std Dev"), "0.00");
    EXPECT_EQ(Cell(g, 1, "Coeff Var"), "0.00");
    EXPECT_EQ(Cell(g, 1, "A-D"), "999.000");
    // Constant data have no shape: not a W of 0 flagged significant.
    EXPECT_EQ(Cell(g, 1, "S-W"), "999.000");
    EXPECT_EQ(Cell(g, 1, "p-value", 5), "999.000 ");  // the S-W p-value
    for (const char* h : {"Est %Below Spec", "Est %Out Spec", "Cp", "Cpk", "Cpm", "Pp", "%Off-Target"})
        EXPECT_EQ(Cell(g, 1, h), "") << h;
    EXPECT_EQ(Cell(g, 1, "n Out Spec"), "0");
}

// Tests that cannot judge a sample say so: a pair always gives the same A²
// and T = 1/2, and Shapiro-Wilk is not valid beyond 5,000 values (with a note
// under the grid in the report).
TEST_F(ExploreTest, NormalityTestsNotAvailableForPairsAndHugeSamples) {
    const std::string path = (std::filesystem::temp_directory_path() / "explore_edges.amx").string();
    {
        std::ofstream out(path);
        out << "Pair\tMany\r\n";
        for (int i = 1; i <= 5001; ++i) {
            out << (i == 1 ? "1.5" : i == 2 ? "9.25" : "") << '\t' << std::sin(i) * 3 + i / 1000.0 << "\r\n";
        }
    }
    ASSERT_TRUE(FileToDataGrid(s, path));
    std::filesystem::remove(path);
    ExploreRequest rq = Columns({1, 2}, 3);
    rq.custom = {23, 29};
    ExploreGrid normality = Page(rq, ExplorePage::Normality);
    ASSERT_EQ(normality.RowCount(), 3);  // (All), Pair, Many
    ASSERT_EQ(normality.Cell(0, 2), "Pair");
    EXPECT_EQ(Cell(normality, 2, "(A-D)A²*"), "999.000");
    EXPECT_EQ(Cell(normality, 2, "p-value"), "999.000 ");
    EXPECT_EQ(Cell(normality, 2, "(S-W)W"), "999.000");
    EXPECT_EQ(Cell(normality, 2, "p-value", 3), "999.000 ");
    EXPECT_EQ(Cell(normality, 3, "(S-W)W"), "999.000");
    EXPECT_NE(Cell(normality, 3, "(A-D)A²*"), "999.000");
    EXPECT_EQ(normality.notes, std::vector<std::string>{"Shapiro-Wilk test not available for n > 5,000."});
    ExploreGrid custom = Page(rq, ExplorePage::Custom);
    EXPECT_EQ(Cell(custom, 2, "AMX(E)"), "0.5000");
    EXPECT_EQ(Cell(custom, 2, "p-value", 3), "999.000 ");
    EXPECT_TRUE(custom.notes.empty());
}

// The "(All)" row pools several columns: their specification limits apply
// to it only when they are the same for all of them.
TEST_F(ExploreTest, PooledRowHasSpecCellsOnlyForCommonLimits) {
    ExploreRequest rq = Columns({Diameter, Flat}, 3);
    rq.custom = {44, 46, 49, 56, 57};
    ExploreGrid g = Page(rq, ExplorePage::Custom);
    ASSERT_EQ(g.Cell(0, 1), "(All)");
    for (const char* h : {"LSL", "USL", "n Out Spec", "Cp", "Cpk"}) EXPECT_EQ(Cell(g, 1, h), "") << h;
    EXPECT_EQ(Cell(g, 2, "USL"), "25.100");
    EXPECT_EQ(Cell(g, 3, "USL"), "3.500");

    const std::string path = (std::filesystem::temp_directory_path() / "explore_same_specs.amx").string();
    std::ofstream(path) << "A\tB\r\nUSL:\t12\t12\r\nLSL:\t8\t8\r\n9\t10\r\n11\t10.5\r\n10\t9.5\r\n";
    ASSERT_TRUE(FileToDataGrid(s, path));
    std::filesystem::remove(path);
    rq.columns = {1, 2};
    g = Page(rq, ExplorePage::Custom);
    // mean 10, sd(c(9, 11, 10, 10, 10.5, 9.5)) = 0.7071068: Cp = 4/(6 * 0.7071068)
    EXPECT_EQ(Cell(g, 1, "USL"), "12.000");
    EXPECT_EQ(Cell(g, 1, "n Out Spec"), "0");
    EXPECT_EQ(Cell(g, 1, "Cp"), "0.943");
}

TEST_F(ExploreTest, CustomStatisticsMatchR) {
    ExploreRequest rq = Columns({Diameter});
    // Moving ranges first, as they depend on the worksheet order.
    rq.custom = {8, 9, 1, 3, 5, 7, 10, 11, 12, 13, 14, 15, 19, 28, 29, 53, 54, 55,
                 56, 57, 58, 59, 62, 63, 66, 67, 78, 81, 47, 48};
    ExploreGrid g = Page(rq, ExplorePage::Custom);
    ASSERT_EQ(g.RowCount(), 1);
    const Ref refs[] = {
        // mean(abs(diff(x)))/1.12838; median(abs(diff(x)))/0.9539, the
        // median-range factor of the control limits
        {ExplorePage::Custom, 1, "Std(MR)", 0.0352563929666, 1e-9},
        {ExplorePage::Custom, 1, "Std(MMR)", 0.039 / 0.9539, 1e-9},
        {ExplorePage::Custom, 1, "Sum", 600.283, 1e-9},
        {ExplorePage::Custom, 1, "Mean CI(L)", 25.0003671457, 1e-9},
        {ExplorePage::Custom, 1, "Std Dev CI(H)", 0.0379523406901, 1e-9},
        {ExplorePage::Custom, 1, "Variance CI(L)", 0.0210278750562 * 0.0210278750562, 1e-9},
        // q <- quantile(x, c(.25,.75), type = 6); diff(q); diff(q)/1.3489795
        {ExplorePage::Custom, 1, "IR", 0.039, 1e-9},
        {ExplorePage::Custom, 1, "PSD", 0.039 / 1.3489795, 1e-9},
        {ExplorePage::Custom, 1, "SIR", 0.0195, 1e-9},
        // mean(abs(x - mean(x))); mean(abs(x - median(x))); 100*sd(x)/mean(x)
        {ExplorePage::Custom, 1, "MD(Avg)", 0.0219583333333, 1e-9},
        {ExplorePage::Custom, 1, "MD(Med)", 0.0219583333333, 1e-9},
        {ExplorePage::Custom, 1, "Coeff Var", 0.108170839571, 1e-9},
        // 24*(mean(x)-min(x))^2/(var(x)*23^2); (mean(x)-min(x))^2/var(x)
        {ExplorePage::Custom, 1, "W(E)", 0.1537, 1e-12},
        {ExplorePage::Custom, 1, "AMX(E)", 3.3869, 1e-12},
        // 100*pnorm((24.9 - mean(x))/sd(x)); 100*pnorm((mean(x) - 25.1)/sd(x))
        {ExplorePage::Custom, 1, "Est %Below Spec", 0.00179854026571, 1e-9},
        {ExplorePage::Custom, 1, "Est %Above Spec", 0.0556515604071, 1e-9},
        {ExplorePage::Custom, 1, "Est %Out Spec", 0.00179854026571 + 0.0556515604071, 1e-9},
        // 0.2/(6*sd(x)); min(25.1-mean(x), mean(x)-24.9)/(3*sd(x));
        // 0.2/(6*sqrt(sd(x)^2 + (mean(x)-25)^2*24/23))
        {ExplorePage::Custom, 1, "Cp", 1.232, 1e-12},
        {ExplorePage::Custom, 1, "Cpk", 1.087, 1e-12},
        {ExplorePage::Custom, 1, "Cpm", 1.126, 1e-12},
        {ExplorePage::Custom, 1, "Pp", 1.232, 1e-12},
        // 100*abs(mean(x) - 25)/0.2
        {ExplorePage::Custom, 1, "%Off-Target", 5.9, 1e-12},
        // quantile(x, c(.05, .10, .95), type = 6)
        {ExplorePage::Custom, 1, "P(.05)", 24.9635, 1e-9},
        {ExplorePage::Custom, 1, "P(.10)", 24.9735, 1e-9},
        {ExplorePage::Custom, 1, "n Below Spec", 0, 0},
        {ExplorePage::Custom, 1, "n Above Spec", 0, 0},
    };
    for (const Ref& r : refs) EXPECT_NEAR(Number(Cell(g, 1, r.header)), r.value, r.tol) << r.header;
    // (n + 1)p below 1 or above n: no percentile.
    EXPECT_EQ(Cell(g, 1, "P(.005)"), "");
    EXPECT_EQ(Cell(g, 1, "P(.995)"), "");
    // Far beyond every simulated exponential sample: p = 0 after 20,000 draws.
    EXPECT_EQ(Cell(g, 1, "p-value", 15), "0.000*");
}

TEST_F(ExploreTest, CustomHeadersAndShading) {
    ExploreRequest rq = Columns({Diameter, Flat});
    rq.custom = {3};
    ExploreGrid g = Page(rq, ExplorePage::Custom);
    EXPECT_EQ(g.header, (std::vector<std::string>{"Variable", "Mean CI(L)", "Mean CI(H)"}));

    ExploreGrid n = Page(rq, ExplorePage::Normality);
    // Row 2 Shaft Diameter: S-W p 0.995; row 3 Flat (constant): S-W and A-D
    // not available.
    EXPECT_TRUE(n.RedHeader(3));
    EXPECT_FALSE(n.RedHeader(2));
    EXPECT_EQ(n.Shade(5, 2), CellShade::Plain);
    EXPECT_EQ(n.Shade(5, 3), CellShade::NotAvailable);
    EXPECT_EQ(n.Shade(3, 3), CellShade::NotAvailable);
    EXPECT_EQ(n.Shade(2, 3), CellShade::Plain) << "statistic columns are never shaded";
    EXPECT_EQ(n.Shade(3, 0), CellShade::Plain);
    // A significant p-value: the simulated exponential test on Diameter.
    rq.custom = {29};
    ExploreGrid e = Page(rq, ExplorePage::Custom);
    EXPECT_EQ(e.Shade(2, 2), CellShade::Significant);
}

// The example worksheet (four diameters missing), split by operator, in R:
// d <- read.delim("examples/shaft-diameters.amx", header = FALSE, skip = 5,
//                 colClasses = "character")
// x <- as.numeric(d$V1); ok <- !is.na(x); x <- x[ok]; op <- d$V3[ok]
// then per operator v: length(v), mean(v), sd(v), quantile(v, c(.25,.75), type = 6),
// shapiro.test(v), t.test(v)$conf.int; the all-data row on x itself.
TEST(ExploreExample, ShaftDiametersByOperatorMatchR) {
    Session s;
    ASSERT_TRUE(FileToDataGrid(s, std::string(AMX_EXAMPLES_DIR) + "/shaft-diameters.amx"));
    ExploreRequest rq;
    rq.mode = ExploreMode::Reference;
    rq.measure = 1;
    rq.references = {3};
    rq.decimals = 9;
    ExploreState st;
    const ExploreGrid d = ComputeExplorePage(s, st, rq, ExplorePage::Descriptives);
    const ExploreGrid q = ComputeExplorePage(s, st, rq, ExplorePage::Quartiles);
    const ExploreGrid nt = ComputeExplorePage(s, st, rq, ExplorePage::Normality);
    const ExploreGrid ci = ComputeExplorePage(s, st, rq, ExplorePage::ConfInt);
    struct Row {
        const char* title;
        int n;
        double mean, sd, q1, q3, w, p, lo, hi;
    };
    const Row rows[] = {
        {"(All)", 96, 10.00109375, 0.0125640071759, 9.99325, 10.01, 0.985801300173, 0.391057477735,
         9.99854804554, 10.0036394545},
        {"Ben", 33, 10.005969697, 0.0125062105784, 9.9975, 10.0135, 0.988671506665, 0.975917992683,
         10.0015351875, 10.0104042064},
        {"Carla", 33, 9.99963636364, 0.0117282196587, 9.994, 10.0065, 0.974424618174, 0.611111551429,
         9.99547771777, 10.0037950095},
        {"Anna", 30, 9.99733333333, 0.0121919513681, 9.98925, 10.0085, 0.947970208315, 0.14913111663,
         9.99278078387, 10.0018858828},
    };
    ASSERT_EQ(d.RowCount(), 4);
    EXPECT_EQ(d.Cell(0, 0), "Operator");
    auto num = [](const std::string& t) { return std::stod(t); };
    for (int i = 0; i < 4; ++i) {
        const Row& r = rows[i];
        const int row = i + 1;
        SCOPED_TRACE(r.title);
        EXPECT_EQ(d.Cell(0, row), r.title);
        EXPECT_EQ(d.Cell(1, row), std::to_string(r.n));
        EXPECT_NEAR(num(d.Cell(2, row)), r.mean, 1e-9);
        EXPECT_NEAR(num(d.Cell(3, row)), r.sd, 1e-9);
        EXPECT_NEAR(num(q.Cell(3, row)), r.q1, 1e-9);
        EXPECT_NEAR(num(q.Cell(5, row)), r.q3, 1e-9);
        EXPECT_NEAR(num(nt.Cell(4, row)), r.w, 5e-4);
        EXPECT_NEAR(num(nt.Cell(5, row)), r.p, 5e-4);
        EXPECT_NEAR(num(ci.Cell(3, row)), r.lo, 1e-9);
        EXPECT_NEAR(num(ci.Cell(4, row)), r.hi, 1e-9);
    }
}

class ScriptedMonitor : public ExpTestMonitor {
public:
    int begins = 0, steps = 0, ends = 0, abortAt = -1;
    std::string title;
    void Begin(const std::string& t) override {
        ++begins;
        title = t;
    }
    bool Step(int draws) override {
        ++steps;
        return abortAt < 0 || draws < abortAt;
    }
    void End() override { ++ends; }
};

TEST(ExponentialTest, SimulatedPValueCacheAndAbort) {
    Session s;
    ExploreState st;
    ScriptedMonitor mon;
    st.monitor = &mon;
    // T <- function(v) (mean(v) - min(v))^2/var(v)
    // sim <- replicate(200000, T(rexp(24))); d <- mean(sim > 1.2); 2*min(d, 1-d)
    // = 0.6407 (standard error about 0.002)
    const long double p = SimulatedExponentialP(s, st, 24, 1.2L, "Shaft Diameter");
    EXPECT_NEAR(static_cast<double>(p), 0.6407, 0.01);
    EXPECT_EQ(mon.title, "Shaft Diameter");
    EXPECT_EQ(mon.steps, ExpTestDraws / 100);
    EXPECT_EQ(mon.ends, 1);

    // The same n and T: the stored result, without drawing.
    EXPECT_EQ(SimulatedExponentialP(s, st, 24, 1.2L, "again"), p);
    EXPECT_EQ(mon.begins, 1);

    // Aborted: 999, not stored, and the rest of the page does not draw again.
    mon.abortAt = 500;
    EXPECT_EQ(SimulatedExponentialP(s, st, 10, 1.0L, "x"), 999.0L);
    EXPECT_EQ(mon.ends, 2);
    EXPECT_EQ(st.expTestCache.size(), 1u);
    EXPECT_EQ(SimulatedExponentialP(s, st, 11, 1.0L, "y"), 999.0L);
    EXPECT_EQ(mon.begins, 2);
}

TEST_F(ExploreTest, OutputReportGolden) {
    ExploreRequest rq = Reference(Diameter, {Line}, 3);
    rq.title = "Shaft check";
    rq.outputSections = {true, false, false, true, false, true};
    rq.custom = {0, 62};
    s.DataFilename = "shafts.amx";
    ReportDocument pane;
    WriteExploreReport(s, st, rq, pane);
    std::string text;
    for (const Paragraph& p : pane.Lines()) text += p.Text() + "\n";
    std::ifstream in(std::string(AMX_TEST_DATA_DIR) + "/../core/explore/data/report.golden");
    std::stringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(text, golden.str());
    // Lines() builds its list anew: keep it while its fonts are looked at.
    const auto lines = pane.Lines();
    ASSERT_GE(lines.size(), 2u);
    const TextFont& titleFont = lines[0].runs.at(0).font;
    EXPECT_EQ(titleFont.face, FaceArial);
    EXPECT_TRUE(titleFont.bold);
    EXPECT_EQ(lines[1].runs.at(0).font.face, FaceCourier);
}

TEST(ExploreGridText, TabsAndAlignment) {
    ExploreGrid g;
    g.header = {"Variable", "n", "(A-D)A²*"};
    g.rows = {{"Long name", "12", "0.5"}, {"B", "3", ""}};
    EXPECT_EQ(ExploreGridText(g), "Variable\tn\t(A-D)A²*\r\nLong name\t12\t0.5\r\nB\t3\t\r\n");
    EXPECT_EQ(ExploreGridLines(g), (std::vector<std::string>{"Variable    n  (A-D)A²*",
                                                              "Long name  12       0.5",
                                                              "B           3"}));
}

TEST(CustomStats, ListItemsAndLookup) {
    EXPECT_EQ(CustomStatItemText(0), "n");
    EXPECT_EQ(CustomStatItemText(29), "AMX(E)@AMX Exponential Test");
    EXPECT_EQ(CustomStatItemText(81), "P(.995)");
    EXPECT_EQ(FindCustomStat("cpk"), 57);
    EXPECT_EQ(FindCustomStat("40"), 40);
    EXPECT_EQ(FindCustomStat("82"), -1);
    EXPECT_EQ(FindCustomStat("nope"), -1);
}

}  // namespace
}  // namespace amx
