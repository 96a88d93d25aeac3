// The variables chart setup without widgets: lists and linked defaults,
// visibility, the checks of "&Action", layout codes, selections and the cut
// of rows into subgroups for every layout.
#include <gtest/gtest.h>

#include <random>

#include "../worksheet/TestSheets.h"
#include "spc/VarChartSetup.h"
#include "worksheet/modifications/ProcessIf.h"

namespace amx {
namespace {

using test::LoadSheet;
using test::Rows;

VarSetupState Fresh(int columns, std::vector<int> measures) {
    VarSetupState st;
    st.columnCount = columns;
    SetMeasures(st, std::move(measures));
    return st;
}

TEST(VarChartSetup, ListsFollowTheModeAndChartTypes) {
    VarSetupState st = Fresh(3, {1});
    auto l = ListsOf(st);
    EXPECT_EQ(l.locType, (std::vector<std::string>{"X", "None"}));
    EXPECT_EQ(l.dispType, (std::vector<std::string>{"Moving Range", "None"}));
    EXPECT_EQ(l.locLimit.front(), "Average MR");
    EXPECT_EQ(LocCenterText(st), "Average X");
    EXPECT_EQ(ListsOf(st).locCenter[1], "Median of Xs");

    SetConstantSize(st, true);
    EXPECT_FALSE(IndividualMode(st));
    ChooseLocType(st, 1);  // Median
    EXPECT_EQ(LocTypeText(st), "Median");
    EXPECT_EQ(LocLimitText(st), "Median Range");
    EXPECT_EQ(LocCenterText(st), "Median of Medians");
    EXPECT_EQ(DispLimitText(st), "Median Range");
    ChooseDispType(st, 1);  // Std Dev (s)
    EXPECT_EQ(DispLimitText(st), "Median Std Dev");
    EXPECT_EQ(LocLimitText(st), "Median Std Dev");
    EXPECT_EQ(DispCenterText(st), "Median Std Dev (s)");
    l = ListsOf(st);
    EXPECT_EQ(l.dispLimit[7], "Std Dev of Std Dev ");
    EXPECT_EQ(l.locLimit[5], "Average MR of Medians");
    ChooseDispType(st, 2);  // Variance
    EXPECT_EQ(DispLimitText(st), "Average Variance");
    ChooseDispLimit(st, 6);  // Median MR of Variance
    EXPECT_EQ(DispLimitText(st), "Median MR of Variance ");
    EXPECT_EQ(LocLimitText(st), "Median MR of Medians");
    EXPECT_EQ(DispCenterText(st), "Average Variance (s²)");  // "of" in the text: average entry
    ChooseDispLimit(st, 1);
    EXPECT_EQ(DispCenterText(st), "Median Variance (s²)");
    // Back to individual values: all six lists to their first item.
    SetConstantSize(st, false);
    EXPECT_EQ(LocTypeText(st), "X");
    EXPECT_EQ(DispLimitText(st), "Average MR");
}

TEST(VarChartSetup, VisibilityRules) {
    VarSetupState one = Fresh(1, {1});
    auto v = VisibilityOf(one);
    EXPECT_FALSE(v.setsControls || v.groupControls || v.sampleButton || v.layoutBox);
    EXPECT_TRUE(v.constantBox && v.action && v.mrCount && v.stdErr);

    VarSetupState st = Fresh(3, {1, 2});
    SetConstantSize(st, true);
    SetLayoutRows(st, true);
    v = VisibilityOf(st);
    EXPECT_FALSE(v.constantBox || v.sampleButton || v.sampleSpin);
    EXPECT_EQ(v.measureCaption, "Subgroup Measures");

    // Known Std Dev for location while the dispersion chart is None.
    VarSetupState k = Fresh(3, {1});
    SetConstantSize(k, true);
    ChooseDispType(k, 3);  // None
    ChooseLocLimit(k, 8);  // Known Std Dev
    v = VisibilityOf(k);
    EXPECT_TRUE(v.sigma);
    EXPECT_FALSE(v.dispLimits || v.dispCenter || v.mrCount);
    ChooseLocLimit(k, 10);  // User Defined
    v = VisibilityOf(k);
    EXPECT_TRUE(v.locUser);
    EXPECT_FALSE(v.locCenter || v.positiveLimits || v.sigma);
    ChooseLocType(k, 2);  // None, with the dispersion chart None too
    EXPECT_FALSE(VisibilityOf(k).action);
}

TEST(VarChartSetup, LayoutCodeCountsOnlyShownControls) {
    struct Case {
        const char* what;
        std::vector<int> measures;
        bool groups, constant, rows;
        int sample;
        int layout;
    };
    const Case cases[] = {
        {"one, individuals", {1}, false, false, false, 0, 1},
        {"one, constant", {1}, false, true, false, 0, 4},
        {"one, sample", {1}, false, false, false, 3, 3},
        {"two, columns", {1, 2}, false, false, false, 0, 5},
        {"two, rows", {1, 2}, false, false, true, 0, 2},
        {"two, constant", {1, 2}, false, true, false, 0, 7},
        {"two, sample", {1, 2}, false, false, false, 3, 6},
        {"groups, one", {1}, true, false, false, 0, 8},
        {"groups, rows", {1, 2}, true, false, true, 0, 9},
        {"groups, sample", {1}, true, false, false, 3, 10},
        {"groups, constant", {1}, true, true, false, 0, 11},
        {"groups, columns", {1, 2}, true, false, false, 0, 12},
        {"groups, two, sample", {1, 2}, true, false, false, 3, 13},
        {"groups, two, constant", {1, 2}, true, true, false, 0, 14},
        // Hidden but still set: a ticked box or a chosen sample variable
        // under "Subgroups in Rows" no longer count.
        {"rows hide the ticked box", {1, 2}, false, true, true, 0, 2},
        {"rows hide the sample variable", {1, 2}, false, false, true, 3, 2},
    };
    for (const auto& c : cases) {
        VarSetupState st = Fresh(4, c.measures);
        if (c.sample) SetSampleColumn(st, c.sample);
        if (c.constant) st.constantSize = true;  // as the box may be left ticked
        if (c.rows) SetLayoutRows(st, true);
        if (c.groups) st.groupColumns = {4};
        EXPECT_EQ(LayoutCode(st), c.layout) << c.what;
    }
    EXPECT_EQ(LayoutFromCode(1011), 0);
    EXPECT_EQ(LayoutFromCode(110), 0);
}

std::string ValidateVarChartSetup(Session& s, const VarSetupState& st, VarChartSetup& out) {
    std::string message;
    const bool ok = amx::ValidateVarChartSetup(s, st, out, message);
    EXPECT_EQ(ok, message.empty());
    return message;
}

TEST(VarChartSetup, ActionChecksInOrderAndCommitsAllOrNothing) {
    Session s;
    LoadSheet(s, {"A", "B"}, {{"1", "2"}, {"3", "4"}});
    VarSetupState st = Fresh(2, {1});
    SetConstantSize(st, true);
    VarChartSetup out;
    ASSERT_EQ(ValidateVarChartSetup(s, st, out), "");
    EXPECT_EQ(out.settings.LocLimitMethod, Method::AverageRange);
    EXPECT_EQ(out.settings.Layout, 4);
    EXPECT_EQ(out.settings.SubgroupSize, 5);
    EXPECT_EQ(out.run.MeasureName, "Value");
    const VarChartSetup before = out;

    struct Case {
        const char* what;
        void (*change)(VarSetupState&);
        const char* message;
    };
    const Case cases[] = {
        {"empty Std Err", [](VarSetupState& x) { x.stdErrText = ""; }, "Std Err Not Valid!"},
        {"zero Std Err", [](VarSetupState& x) { x.stdErrText = "0"; }, "Std Err Not Valid!"},
        {"known sigma 0",
         [](VarSetupState& x) {
             ChooseLocLimit(x, 8);
             x.sigmaText = "0";
         },
         "Known Sigma Not Valid!"},
        {"mu not a number",
         [](VarSetupState& x) {
             x.locCenter = 2;
             x.muText = "abc";
         },
         "Known Location Parameter Not Valid!"},
        {"UCL below CL",
         [](VarSetupState& x) {
             ChooseLocLimit(x, 10);
             x.locUserText = {"10", "12", ""};
             x.locUserBox = {true, true, false};
         },
         "User Defined Location Limits Not Valid!"},
        {"negative dispersion limit",
         [](VarSetupState& x) {
             x.dispLimit = 10;
             x.dispUserText = {"-1", "", ""};
             x.dispUserBox = {true, false, false};
         },
         "User Defined Dispersion Limits Not Valid!"},
    };
    for (const auto& c : cases) {
        VarSetupState bad = st;
        bad.sampleSize = 9;  // changed too, and must not leak into the settings
        c.change(bad);
        VarChartSetup kept = before;
        EXPECT_EQ(ValidateVarChartSetup(s, bad, kept), c.message) << c.what;
        EXPECT_EQ(kept.settings.SubgroupSize, 5) << c.what;
        EXPECT_EQ(kept.settings.LocLimitMethod, Method::AverageRange) << c.what;
    }
    // Only CL ticked: accepted, the others stored as missing.
    VarSetupState cl = st;
    ChooseLocLimit(cl, 10);
    cl.locUserBox = {false, true, false};
    cl.locUserText = {"", "12", ""};
    ASSERT_EQ(ValidateVarChartSetup(s, cl, out), "");
    EXPECT_EQ(out.settings.LocUserCL, 12);
    EXPECT_EQ(out.settings.LocUserUCL, MissingValue);
}

std::vector<std::size_t> Sizes(const SubgroupList& g) {
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < g.size(); ++i) out.push_back(g.count(i));
    return out;
}

VarChartSetup Committed(Session& s, VarSetupState st) {
    VarChartSetup out;
    EXPECT_EQ(ValidateVarChartSetup(s, st, out), "");
    return out;
}

TEST(VarChartSetup, SubgroupsOfEveryLayoutFamily) {
    Session s;
    LoadSheet(s, {"X", "Y", "Sample", "Group"},
              {{"1", "2", "1", "a"},
               {"2", "", "1", "a"},
               {"3", "4", "2", "b"},
               {"4", "5", "3", "a"},
               {"5", "6", "5", "b"},
               {"6", "7", "5", "a"},
               {"7", "8", "", "b"},
               {"8", "9", "7", "a"},
               {"9", "1", "7", "b"},
               {"10", "2", "7", "a"},
               {"11", "3", "7", "b"},
               {"12", "4", "7", "a"}});
    // Sample values 1, 1, 2, 3, 5, 5: points of 2, 1, 1, 2 values and a
    // break where 4 is missing; the missing sample cell joins nothing.
    VarSetupState st = Fresh(4, {1});
    SetSampleColumn(st, 3);
    auto setup = Committed(s, st);
    EXPECT_EQ(setup.settings.Layout, 3);
    auto g = FormSubgroups(s, setup, {1, 0, "X"}, true);
    EXPECT_EQ(Sizes(g), (std::vector<std::size_t>{2, 1, 1, 2, 5}));
    EXPECT_EQ(g.breakAfter, (std::vector<std::uint8_t>{0, 0, 1, 1, 0}));
    EXPECT_EQ(g.startRow, (std::vector<std::int32_t>{1, 3, 4, 5, 8}));

    // Constant size 5 on 12 rows: 5, 5, 2.
    st = Fresh(4, {1});
    SetConstantSize(st, true);
    setup = Committed(s, st);
    EXPECT_EQ(Sizes(FormSubgroups(s, setup, {1, 0, "X"}, false)), (std::vector<std::size_t>{5, 5, 2}));

    // Rows: each row one subgroup of its valid values.
    st = Fresh(4, {1, 2});
    SetLayoutRows(st, true);
    setup = Committed(s, st);
    EXPECT_EQ(setup.settings.Layout, 2);
    g = FormSubgroups(s, setup, {1, 0, ""}, false);
    EXPECT_EQ(g.size(), 12u);
    EXPECT_EQ(g.count(0), 2u);
    EXPECT_EQ(g.count(1), 1u);
    auto sel = BuildChartSelections(s, setup);
    ASSERT_EQ(sel.size(), 1u);
    EXPECT_EQ(sel[0].name, "X..Y");

    // Grouped constant size with rows failing Process If: subgroups of n
    // counted rows of the run.
    ProcessIfDialogInput pi;
    pi.cond[0] = {1, "X", PiRelation::Greater, "6"};
    ApplyProcessIfDialog(s, pi);
    st = Fresh(4, {1});
    SetConstantSize(st, true);
    st.sampleSize = 2;
    st.groupColumns = {4};
    setup = Committed(s, st);
    EXPECT_EQ(setup.settings.Layout, 11);
    sel = BuildChartSelections(s, setup);
    ASSERT_EQ(sel.size(), 2u);
    EXPECT_EQ(sel[0].name, "a");
    EXPECT_EQ(sel[1].name, "b");
    // Run a passing the filter: rows 8, 10, 12.
    g = FormSubgroups(s, setup, sel[0], false);
    EXPECT_EQ(Sizes(g), (std::vector<std::size_t>{2, 1}));
    EXPECT_EQ(g.values, (std::vector<double>{8, 10, 12}));

    // Columns by group: header(run) names.
    st = Fresh(4, {1, 2});
    st.groupColumns = {4};
    setup = Committed(s, st);
    sel = BuildChartSelections(s, setup);
    ASSERT_EQ(sel.size(), 4u);
    EXPECT_EQ(sel[1].name, "X(b)");
    EXPECT_EQ(sel[2].name, "Y(a)");
}

// Bucketing by sample value equals a scan of every row for every value.
TEST(VarChartSetup, SampleBucketsMatchBruteForce) {
    std::mt19937 gen(11);
    for (int trial = 0; trial < 30; ++trial) {
        Session s;
        Rows rows;
        std::uniform_int_distribution<int> sample(-3, 8), coin(0, 9);
        const int n = 40;
        for (int r = 0; r < n; ++r)
            rows.push_back({coin(gen) == 0 ? "" : std::to_string(r), coin(gen) == 0 ? "" : std::to_string(sample(gen))});
        LoadSheet(s, {"X", "S"}, rows);
        VarSetupState st = Fresh(2, {1});
        SetSampleColumn(st, 2);
        const auto setup = Committed(s, st);
        const auto g = FormSubgroups(s, setup, {1, 0, ""}, true);
        std::vector<std::vector<double>> ref;
        std::vector<std::uint8_t> refBreak;
        // Sample values from the smallest to the largest present.
        long lo = 99, hi = -99;
        for (int r = 1; r <= n; ++r) {
            const double sv = s.DataList.Value(2, r);
            if (sv == MissingValue) continue;
            lo = std::min(lo, std::lround(sv));
            hi = std::max(hi, std::lround(sv));
        }
        for (long v = lo; v <= hi; ++v) {
            std::vector<double> sub;
            for (int r = 1; r <= n; ++r) {
                const double sv = s.DataList.Value(2, r);
                if (sv == MissingValue || std::lround(sv) != v) continue;
                const double x = s.DataList.Value(1, r);
                if (x != MissingValue) sub.push_back(x);
            }
            if (sub.empty()) {
                if (!refBreak.empty()) refBreak.back() = 1;
                continue;
            }
            ref.push_back(sub);
            refBreak.push_back(0);
        }
        std::vector<std::vector<double>> got;
        for (std::size_t i = 0; i < g.size(); ++i)
            got.emplace_back(g.values.begin() + static_cast<std::ptrdiff_t>(g.offset[i]),
                             g.values.begin() + static_cast<std::ptrdiff_t>(g.offset[i + 1]));
        ASSERT_EQ(got, ref) << trial;
        ASSERT_EQ(g.breakAfter, refBreak) << trial;
    }
}

}  // namespace
}  // namespace amx
