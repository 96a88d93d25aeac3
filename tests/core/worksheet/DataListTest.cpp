#include "worksheet/DataList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "TestSheets.h"
#include "common/Sentinels.h"
#include "session/Session.h"

namespace amx {
namespace {

using test::LoadSheet;
using test::Rows;
using test::Sample;

// ---- cell parsing -------------------------------------------------------------

TEST(CellParsing, NumbersMissingAndText) {
    struct Case {
        const char* text;
        double expected;  // MissingValue / TextValue for the sentinels
    };
    const Case cases[] = {
        {"1,234.5", 1234.5}, {"$12", 12},        {"5%", 0.05},        {".5", 0.5},
        {"-.5", -0.5},       {"7.", 7},          {"1 2", MissingValue}, {"", MissingValue},
        {".", MissingValue}, {"..", MissingValue}, {"abc", TextValue}, {"1,000", 1000},
        {"$2.50", 2.5},      {"1 000", MissingValue}, {"-1.5e3", -1500}, {"+4", 4},
        {"2.5E-2", 0.025},   {"  42", 42},       {"1e", MissingValue}, {"--1", MissingValue},
        {"1.2.3", MissingValue}, {"12.5%", 0.125}, {"%", MissingValue}, {"$", MissingValue},
        {"1e400", MissingValue}, {"1e-400", 0},  {"N/A", TextValue},  {"12a", TextValue},
        {"0.1", 0.1},        {"123456789012345678901234", 123456789012345678901234.0},
        {"3.14159265358979323846", 3.14159265358979323846}, {"-0.000001", -0.000001},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCell(c.text), c.expected) << "cell '" << c.text << "'";
}

TEST(CellParsing, ConversionIsCorrectlyRoundedBeyondTheFastPath) {
    // Values whose nearest double needs more than a 53-bit mantissa or a big
    // exponent: the result must equal the compiler's own literal.
    EXPECT_EQ(ParseCell("9007199254740993"), 9007199254740993.0);
    EXPECT_EQ(ParseCell("1.7976931348623157e308"), 1.7976931348623157e308);
    EXPECT_EQ(ParseCell("4.9406564584124654e-324"), 4.9406564584124654e-324);
    EXPECT_EQ(ParseCell("0.30000000000000004"), 0.30000000000000004);
    EXPECT_EQ(ParseCell("123.456e-30"), 123.456e-30);
}

// ---- UpdateData: text levels and column ranges ---------------------------------

TEST(UpdateData, TextColumnLevelsInOrderOfFirstAppearance) {
    Session s;
    // Column 1: '1', '2', 'x', empty, '.', '2', 'x'. Column 2 stays numeric.
    LoadSheet(s, {"T", "N"},
              {{"1", "1,000"}, {"2", "$2.50"}, {"x", "1 000"}, {"", ""}, {".", "."}, {"2", "-3"}, {"x", "7."}});
    const TDataList& dl = s.DataList;
    EXPECT_TRUE(dl.StringVar[1]);
    EXPECT_FALSE(dl.StringVar[2]);
    std::vector<double> t(dl.CellValues[1].begin() + 1, dl.CellValues[1].end());
    EXPECT_EQ(t, (std::vector<double>{1, 2, 3, MissingValue, 4, 2, 3}));
    std::vector<double> n(dl.CellValues[2].begin() + 1, dl.CellValues[2].end());
    EXPECT_EQ(n, (std::vector<double>{1000, 2.5, MissingValue, MissingValue, MissingValue, -3, 7}));
    EXPECT_EQ(GetLevelName(s, 1, 3), "x");
    EXPECT_EQ(GetLevelName(s, 1, 4), ".");
    EXPECT_EQ(GetLevelName(s, 2, 17), "17");  // numeric column: the number itself
    EXPECT_EQ(dl.ColumnLow[1], 1);
    EXPECT_EQ(dl.ColumnHigh[1], 4);
    EXPECT_EQ(dl.ColumnLow[2], -3);
    EXPECT_EQ(dl.ColumnHigh[2], 1000);
    EXPECT_TRUE(dl.Highlow[2]);
    EXPECT_EQ(dl.Ncount, 7);
    EXPECT_FALSE(s.DataDirty);
    EXPECT_TRUE(s.VariablesChanged);
    EXPECT_GE(dl.Acount, 7);
}

TEST(UpdateData, LevelsAreCaseSensitiveAndScaleLinearly) {
    Session s;
    Rows rows;
    // 200,000 distinct levels: a quadratic level search would not finish.
    for (int i = 0; i < 200000; ++i) rows.push_back({"L" + std::to_string(i % 100000), i % 2 ? "a" : "A"});
    LoadSheet(s, {}, rows);
    EXPECT_EQ(s.DataList.ColumnHigh[1], 100000);
    EXPECT_EQ(s.DataList.ColumnHigh[2], 2);
    EXPECT_EQ(s.DataList.CellValues[1][100001], 1);  // "L0" again
}

TEST(UpdateData, ANumberEqualToTheTextSentinelStaysANumber) {
    Session s;
    LoadSheet(s, {}, {{"2147483647"}, {"1"}});
    EXPECT_FALSE(s.DataList.StringVar[1]);
    EXPECT_EQ(s.DataList.CellValues[1][1], 2147483647.0);
}

TEST(UpdateData, LoadersReparseAfterAnyEdit) {
    Session s;
    LoadSheet(s, {"A"}, {{"1"}, {"2"}});
    TRunInfo ri;
    ri.ColRefRun = 1;
    s.DataList.IncludeCol[1] = true;
    LoadAllToA_Array(s, ri);
    EXPECT_EQ(Sample(s), (std::vector<double>{1, 2}));
    // An edit without anybody setting DataDirty still reaches the analyses.
    s.worksheet.SetCell(1, 2, "5");
    LoadAllToA_Array(s, ri);
    EXPECT_EQ(Sample(s), (std::vector<double>{1, 5}));
}

// ---- worksheet queries ------------------------------------------------------------

TEST(WorksheetQueries, NamesTitlesAndLimits) {
    Session s;
    LoadSheet(s, {"Dia", "Lot"}, {{"1", "2"}});
    s.worksheet.SetDescription(DescriptionRow::Title, 1, "Shaft diameter");
    s.worksheet.SetDescription(DescriptionRow::USL, 1, "10.05");
    s.worksheet.SetDescription(DescriptionRow::Target, 1, "1e1");
    s.worksheet.SetDescription(DescriptionRow::LSL, 1, "9.95");
    s.worksheet.SetDescription(DescriptionRow::USL, 2, "abc");
    s.worksheet.SetDescription(DescriptionRow::LSL, 2, "1,000");  // no thousands separators here
    EXPECT_EQ(ColumnTitleOrName(s, 1), "Shaft diameter");
    EXPECT_EQ(ColumnTitleOrName(s, 2), "Lot");
    EXPECT_EQ(ColumnUSL(s, 1), 10.05L);
    EXPECT_EQ(ColumnTarget(s, 1), 10.0L);
    EXPECT_EQ(ColumnLSL(s, 1), 9.95L);
    EXPECT_EQ(ColumnUSL(s, 2), MissingValue);
    EXPECT_EQ(ColumnTarget(s, 2), MissingValue);
    EXPECT_EQ(ColumnLSL(s, 2), MissingValue);
    for (int bad : {0, 3, -1}) {
        EXPECT_EQ(ColumnName(s, bad), "");
        EXPECT_EQ(ColumnTitle(s, bad), "");
        EXPECT_EQ(ColumnUSL(s, bad), MissingValue);
    }
    EXPECT_EQ(MaxCol(s), 2);
    EXPECT_TRUE(HaveData(s));
    Session empty;
    EXPECT_FALSE(HaveData(empty));
}

TEST(WorksheetQueries, ColumnCodesRoundTrip) {
    EXPECT_EQ(ColumnCode(1), "AB");
    EXPECT_EQ(ColumnCode(25), "BA");
    EXPECT_EQ(ColumnCode(512), "UM");
    for (int c = 1; c <= 512; ++c) ASSERT_EQ(ColumnOfCode(ColumnCode(c) + "Name"), c);
    EXPECT_EQ(ColumnOfCode("A"), 0);
}

// ---- selection modes ------------------------------------------------------------------

// Columns A, B, C (measures), G (group 1/3/missing), T (text group x/y).
// The spare columns hold row statistics: Mean 11..55, StdDev 1..5, n 3.
void LoadModesSheet(Session& s) {
    LoadSheet(s, {"A", "B", "C", "G", "T"},
              {{"1", "10", "100", "1", "x"},
               {"2", "20", "200", "3", "y"},
               {"3", "", "300", "", "x"},
               {"4", "40", "", "1", "y"},
               {"", "50", "500", "3", "x"}});
    auto& cv = s.DataList.CellValues;
    for (int r = 1; r <= 5; ++r) {
        cv[6][r] = 11.0 * r;
        cv[7][r] = r;
        cv[8][r] = 3;
    }
}

using Items = std::vector<std::pair<std::string, std::vector<double>>>;

Items Walk(Session& s, TRunInfo& ri) {
    Items out;
    SetupIndex(ri);
    while (GetAR(s, ri)) {
        out.emplace_back(ri.CurrentName, Sample(s));
        EXPECT_LE(ri.v, ri.Alast);
        if (out.size() > 100) break;
    }
    EXPECT_LE(ri.v, ri.Alast);
    return out;
}

struct ModeCase {
    const char* label;
    int mode;
    std::vector<int> include;
    int afirst, alast, measure, index;
    std::vector<std::uint16_t> groups;  // grouping columns for SetRunData
    int colFirst, colLast;
    Items expected;
};

TEST(SelectionModes, EveryModeLoadsAndNamesItsItems) {
    const ModeCase cases[] = {
        {"columns", 1, {1, 3}, 1, 3, 0, 0, {}, 0, 0,
         {{"A", {1, 2, 3, 4}}, {"C", {100, 200, 300, 500}}}},
        {"spare column by number", 1, {}, 6, 6, 0, 0, {}, 0, 0, {{"Mean", {11, 22, 33, 44, 55}}}},
        {"groups", 2, {}, 1, 3, 1, 4, {}, 0, 0, {{"1", {1, 4}}, {"3", {2}}}},
        {"text groups", 2, {}, 1, 2, 2, 5, {}, 0, 0, {{"x", {10, 50}}, {"y", {20, 40}}}},
        {"runs", 3, {}, 0, 0, 2, 0, {4}, 0, 0, {{"1", {10, 40}}, {"3", {20, 50}}}},
        {"runs of two columns", 3, {}, 0, 0, 2, 0, {4, 5}, 0, 0,
         {{"1, x", {10}}, {"1, y", {40}}, {"3, x", {50}}, {"3, y", {20}}}},
        {"rows across", 5, {1, 2, 3}, 1, 3, 0, 0, {}, 0, 0,
         {{"Group", {1, 10, 100, 2, 20, 200, 3, 300, 4, 40, 50, 500}}}},
        {"rows across, spare", 5, {}, 7, 7, 0, 0, {}, 0, 0, {{"Group", {1, 2, 3, 4, 5}}}},
        {"group rows", 6, {1, 3}, 1, 3, 0, 4, {}, 0, 0, {{"1", {1, 100, 4}}, {"3", {2, 200, 500}}}},
        {"run rows", 7, {1, 3}, 0, 0, 0, 0, {4}, 0, 0, {{"1", {1, 100, 4}}, {"3", {2, 200, 500}}}},
        {"spare mean", 8, {1, 2, 3}, 1, 1, 0, 0, {}, 0, 0, {{"Mean(A,B,C)", {11, 22, 33, 44, 55}}}},
        {"spare mean by group", 9, {1}, 1, 3, 0, 4, {}, 0, 0, {{"1", {11, 44}}, {"3", {22, 55}}}},
        {"spare mean by run", 10, {1}, 0, 0, 0, 0, {4}, 0, 0, {{"1", {11, 44}}, {"3", {22, 55}}}},
        {"column by group", 11, {1, 3}, 1, 3, 0, 4, {}, 1, 3,
         {{"A(1)", {1, 4}}, {"A(3)", {2}}, {"C(1)", {100}}, {"C(3)", {200, 500}}}},
        {"column by text group", 11, {1}, 1, 2, 0, 5, {}, 1, 1, {{"A(x)", {1, 3}}, {"A(y)", {2, 4}}}},
        {"column by run", 12, {1, 3}, 0, 0, 0, 0, {4}, 1, 3,
         {{"A(1)", {1, 4}}, {"A(3)", {2}}, {"C(1)", {100}}, {"C(3)", {200, 500}}}},
        {"single-column runs", 20, {}, 0, 0, 2, 4, {4}, 0, 0, {{"1", {10, 40}}, {"3", {20, 50}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        LoadModesSheet(s);
        TRunInfo ri;
        ri.ColRefRun = static_cast<std::uint8_t>(c.mode);
        for (int col : c.include) s.DataList.IncludeCol[col] = true;
        ri.Afirst = c.afirst;
        ri.Alast = c.alast;
        ri.measure = c.measure;
        ri.index = c.index;
        ri.ColFirst = c.colFirst;
        ri.ColLast = c.colLast;
        if (!c.groups.empty()) {
            ri.RefArray[0] = static_cast<std::uint16_t>(c.groups.size());
            for (std::size_t i = 0; i < c.groups.size(); ++i) ri.RefArray[i + 1] = c.groups[i];
            ASSERT_TRUE(SetRunData(s, ri));
        }
        EXPECT_EQ(Walk(s, ri), c.expected);

        GetGroupCount(s, ri);
        std::size_t total = 0;
        for (const auto& item : c.expected) total += item.second.size();
        EXPECT_EQ(ri.NumberOfGroups, static_cast<int>(c.expected.size()));
        EXPECT_EQ(ri.TotalCount, static_cast<int>(total));
        EXPECT_EQ(ri.v, ri.Afirst - 1);  // rewound

        SetupVarList(s, ri);
        ASSERT_EQ(s.VarListNames.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) EXPECT_EQ(s.VarListNames[i], c.expected[i].first);
    }
}

TEST(SelectionModes, DescriptionColumnFollowsTheSample) {
    Session s;
    LoadModesSheet(s);
    TRunInfo ri;
    s.DataList.IncludeCol[2] = s.DataList.IncludeCol[3] = true;
    ri.ColRefRun = 2;
    ri.measure = 1;
    ri.index = 4;
    DataToA_Array(s, 1, ri);
    EXPECT_EQ(s.DataList.DescCol, 1);
    ri.ColRefRun = 6;
    DataToA_Array(s, 1, ri);
    EXPECT_EQ(s.DataList.DescCol, 2);
    ri.ColRefRun = 1;
    ri.v = 3;
    DataToA_Array(s, 3, ri);
    EXPECT_EQ(s.DataList.DescCol, 3);
}

TEST(SelectionModes, LoadAllTakesEverythingTheModeSelects) {
    struct Case {
        int mode;
        std::vector<int> include;
        int measure;
        bool runs;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {1, {1, 3}, 0, false, {1, 100, 2, 200, 3, 300, 4, 500}},
        {6, {1, 3}, 0, false, {1, 100, 2, 200, 3, 300, 4, 500}},
        {2, {}, 1, false, {1, 2, 3, 4}},
        {3, {}, 2, true, {10, 20, 40, 50}},  // rows with a missing group are left out
        {20, {}, 2, true, {10, 20, 40, 50}},
        {7, {1, 3}, 0, true, {1, 100, 2, 200, 4, 500}},
        {12, {1, 3}, 0, true, {1, 100, 2, 200, 4, 500}},
        {8, {1}, 0, false, {11, 22, 33, 44, 55}},
        {9, {1}, 0, false, {11, 22, 33, 44, 55}},
        {10, {1}, 0, true, {11, 22, 44, 55}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        Session s;
        LoadModesSheet(s);
        TRunInfo ri;
        ri.ColRefRun = static_cast<std::uint8_t>(c.mode);
        ri.measure = c.measure;
        for (int col : c.include) s.DataList.IncludeCol[col] = true;
        if (c.runs) {
            ri.RefArray[0] = 1;
            ri.RefArray[1] = 4;
            ASSERT_TRUE(SetRunData(s, ri));
        }
        LoadAllToA_Array(s, ri);
        EXPECT_EQ(Sample(s), c.expected);
        EXPECT_EQ(ri.CurrentName, "(All)");
        EXPECT_EQ(ri.CurrentTitle, "(All)");
    }
}

TEST(SelectionModes, GroupModeVisitsOnlyPresentLevelsWhateverTheRange) {
    Session s;
    LoadSheet(s, {"Y", "G"}, {{"5", "2"}, {"6", "4"}, {"7", "2"}, {"8", "4.4"}});
    TRunInfo ri;
    ri.ColRefRun = 2;
    ri.measure = 1;
    ri.index = 2;
    ri.Afirst = 1;
    ri.Alast = 5;
    EXPECT_EQ(Walk(s, ri), (Items{{"2", {5, 7}}, {"4", {6, 8}}}));
    // A range of four billion integers must not be tried one by one.
    ri.Afirst = std::numeric_limits<std::int32_t>::min() + 1;
    ri.Alast = std::numeric_limits<std::int32_t>::max() - 1;
    EXPECT_EQ(Walk(s, ri), (Items{{"2", {5, 7}}, {"4", {6, 8}}}));
}

TEST(SelectionModes, HalfLevelsRoundToEven) {
    Session s;
    LoadSheet(s, {"Y", "G"}, {{"1", "0.5"}, {"2", "1.5"}, {"3", "2.5"}, {"4", "-0.5"}});
    TRunInfo ri;
    ri.ColRefRun = 2;
    ri.measure = 1;
    ri.index = 2;
    ri.Afirst = -1;
    ri.Alast = 3;
    EXPECT_EQ(Walk(s, ri), (Items{{"0", {1, 4}}, {"2", {2, 3}}}));
}

TEST(SelectionModes, AnEmptyColumnDoesNotEndAColumnByGroupWalk) {
    Session s;
    LoadSheet(s, {"X", "Y", "Z", "G"}, {{"1", "", "10", "1"}, {"2", "", "20", "2"}});
    TRunInfo ri;
    ri.ColRefRun = 11;
    for (int c : {1, 2, 3}) s.DataList.IncludeCol[c] = true;
    ri.ColFirst = 1;
    ri.ColLast = 3;
    ri.index = 4;
    ri.Afirst = 1;
    ri.Alast = 2;
    EXPECT_EQ(Walk(s, ri), (Items{{"X(1)", {1}}, {"X(2)", {2}}, {"Z(1)", {10}}, {"Z(2)", {20}}}));
}

// ---- run codes ------------------------------------------------------------------------

TEST(RunCodes, CodesLevelsAndNames) {
    Session s;
    LoadModesSheet(s);
    TRunInfo ri;
    ri.RefArray[0] = 2;
    ri.RefArray[1] = 4;  // G: 1, 3, missing
    ri.RefArray[2] = 5;  // T: x, y
    ASSERT_TRUE(SetRunData(s, ri));
    EXPECT_EQ(ri.MaxLevel[1], 3);
    EXPECT_EQ(ri.MaxLevel[2], 2);
    EXPECT_EQ(ri.Cpower[1], 2);
    EXPECT_EQ(ri.Cpower[2], 1);
    EXPECT_EQ(s.DataList.RowRunCode, (std::vector<std::int32_t>{0, 1, 6, 0, 2, 5}));
    EXPECT_EQ(s.DataList.RunTableCodes, (std::vector<std::int32_t>{0, 0, 1, 2, 5, 6}));
    EXPECT_EQ(ri.MinRun, 1);
    EXPECT_EQ(ri.MaxRun, 5);
    EXPECT_EQ(ri.Afirst, 1);
    EXPECT_EQ(ri.Alast, 5);
    // Run 1 holds the row with the missing group: named but never loaded.
    EXPECT_EQ(GetRunName(s, 1, ri), "Missing");
    EXPECT_EQ(GetRunName(s, 2, ri), "1, x");
    EXPECT_EQ(GetRunName(s, 5, ri), "3, y");
    EXPECT_EQ(GetRunName(s, 9, ri), "Missing");
    ri.ColRefRun = 3;
    ri.measure = 1;
    DataToA_Array(s, 1, ri);
    EXPECT_EQ(s.ATop, 0);
}

TEST(RunCodes, RunsOfTwoTextColumnsInLevelOrder) {
    Session s;
    LoadSheet(s, {"Y", "P", "Q"}, {{"1", "B", "y"}, {"2", "A", "x"}, {"3", "A", "y"}, {"4", "B", "y"}});
    TRunInfo ri;
    ri.ColRefRun = 3;
    ri.measure = 1;
    ri.RefArray[0] = 2;
    ri.RefArray[1] = 2;
    ri.RefArray[2] = 3;
    ASSERT_TRUE(SetRunData(s, ri));
    // Levels: P B=1, A=2; Q y=1, x=2.
    EXPECT_EQ(Walk(s, ri), (Items{{"B, y", {1, 4}}, {"A, y", {3}}, {"A, x", {2}}}));
}

TEST(RunCodes, NoDataWithoutUsableGroupsOrRows) {
    struct Case {
        const char* label;
        Rows rows;
    };
    const Case cases[] = {
        {"grouping column without a present value", {{"1", ""}, {"2", ""}, {"3", ""}}},
        {"one worksheet row", {{"1", "1"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        LoadSheet(s, {"Y", "G"}, c.rows);
        for (int mode : {3, 7, 12, 20}) {
            TRunInfo ri;
            ri.ColRefRun = static_cast<std::uint8_t>(mode);
            ri.measure = 1;
            ri.RefArray[0] = 1;
            ri.RefArray[1] = 2;
            ri.ColFirst = ri.ColLast = 1;
            s.DataList.IncludeCol[1] = true;
            EXPECT_TRUE(SetRunData(s, ri));
            EXPECT_TRUE(Walk(s, ri).empty());
        }
        TRunInfo groups;
        groups.ColRefRun = 2;
        groups.measure = 1;
        groups.index = 2;
        groups.Afirst = 1;
        groups.Alast = 3;
        if (c.rows.size() > 1) {
            EXPECT_TRUE(Walk(s, groups).empty());
        }
    }
}

TEST(RunCodes, CodesBeyond32BitsAreAnErrorNotAWrongGrouping) {
    Session s;
    RecordingMessages messages;
    s.messages = &messages;
    // Three grouping columns of 2001 levels each: 2001^3 > 2^31 codes.
    LoadSheet(s, {"Y", "G1", "G2", "G3"}, {{"1", "0", "0", "0"}, {"2", "2000", "2000", "2000"}});
    TRunInfo ri;
    ri.ColRefRun = 3;
    ri.measure = 1;
    ri.RefArray[0] = 3;
    ri.RefArray[1] = 2;
    ri.RefArray[2] = 3;
    ri.RefArray[3] = 4;
    EXPECT_FALSE(SetRunData(s, ri));
    EXPECT_EQ(s.StatErrorCode, 1);
    EXPECT_EQ(messages.Errors(),
              (std::vector<std::string>{"The grouping columns have too many combinations of levels to number."}));
    EXPECT_TRUE(Walk(s, ri).empty());
    // Two of them fit.
    ri.RefArray[0] = 2;
    EXPECT_TRUE(SetRunData(s, ri));
    EXPECT_EQ(Walk(s, ri), (Items{{"0, 0", {1}}, {"2000, 2000", {2}}}));
}

TEST(RunCodes, StaleRunsAreRebuiltFromFreshData) {
    Session s;
    LoadSheet(s, {"Y", "G"}, {{"1", "1"}, {"2", "2"}});
    s.worksheet.SetCell(2, 2, "1");
    s.DataDirty = true;
    TRunInfo ri;
    ri.ColRefRun = 3;
    ri.measure = 1;
    ri.RefArray[0] = 1;
    ri.RefArray[1] = 2;
    ASSERT_TRUE(SetRunData(s, ri));
    EXPECT_EQ(Walk(s, ri), (Items{{"1", {1, 2}}}));
}

// ---- subgroup statistics, pairs, reload ------------------------------------------

TEST(SubgroupStats, LoadsTheSpareStatisticOfEachItem) {
    Session s;
    LoadModesSheet(s);
    TRunInfo ri;
    ri.ColRefRun = 9;
    ri.index = 4;
    ri.Afirst = 1;
    ri.Alast = 3;
    SetupIndex(ri);
    Items got;
    while (GetARsubgroupStats(s, 2, ri)) got.emplace_back(ri.CurrentName, Sample(s));
    EXPECT_EQ(got, (Items{{"1", {1, 4}}, {"3", {2, 5}}}));

    // A single-item mode yields its item once.
    ri.ColRefRun = 8;
    ri.Afirst = 1;
    ri.Alast = 3;
    SetupIndex(ri);
    got.clear();
    while (GetARsubgroupStats(s, 3, ri)) got.emplace_back(ri.CurrentName, Sample(s));
    EXPECT_EQ(got, (Items{{"Mean", {3, 3, 3, 3, 3}}}));

    ri.ColRefRun = 10;
    ri.RefArray[0] = 1;
    ri.RefArray[1] = 4;
    ASSERT_TRUE(SetRunData(s, ri));
    SetupIndex(ri);
    got.clear();
    while (GetARsubgroupStats(s, 1, ri)) got.emplace_back(ri.CurrentName, Sample(s));
    EXPECT_EQ(got, (Items{{"1", {11, 44}}, {"3", {22, 55}}}));
}

TEST(ProcessPairs, RowsNeedBothPairCells) {
    Session s;
    LoadSheet(s, {"X", "Y"}, {{"1", "10"}, {"", "20"}, {"3", ""}, {"4", "40"}});
    TRunInfo ri;
    ri.ColRefRun = 1;
    s.DataList.IncludeCol[1] = s.DataList.IncludeCol[2] = true;
    SetProcessPairs(s, 1, 2);
    LoadAllToA_Array(s, ri);
    EXPECT_EQ(Sample(s), (std::vector<double>{1, 10, 4, 40}));
    SetProcessPairs(s, 1, 9);  // beyond the sheet: unchanged
    EXPECT_EQ(s.DataList.ProcessPairY, 2);
    SetProcessPairs(s, 0, 0);
    LoadAllToA_Array(s, ri);
    EXPECT_EQ(Sample(s), (std::vector<double>{1, 10, 20, 3, 4, 40}));
}

TEST(ReloadAR, RestoresTheGeneratorOfTheFirstLoad) {
    Session s;
    LoadSheet(s, {"X"}, {{"1"}, {"2"}});
    TRunInfo ri;
    ri.ColRefRun = 1;
    ri.Afirst = ri.Alast = 1;
    s.DataList.IncludeCol[1] = true;
    RandomSeed(s.RandSeed, 42);
    SetupIndex(ri);
    ASSERT_TRUE(GetAR(s, ri));
    RandomState atLoad = s.RandSeed;
    RandomSeed(s.RandSeed, 7);  // the analysis drew numbers
    ReloadAR(s, ri);
    EXPECT_EQ(s.RandSeed, atLoad);
    EXPECT_EQ(Sample(s), (std::vector<double>{1, 2}));
}

TEST(TRunInfoRecord, InitKeepsEntryZeroOfTheArrays) {
    TRunInfo ri;
    ri.v = 3;
    ri.ColRefRun = 7;
    ri.CurrentName = "x";
    ri.RefArray[0] = 2;
    ri.RefArray[1] = 5;
    ri.Cpower[0] = 9;
    ri.InitRunInfo();
    EXPECT_EQ(ri.v, 0);
    EXPECT_EQ(ri.ColRefRun, 0);
    EXPECT_EQ(ri.CurrentName, "");
    EXPECT_EQ(ri.RefArray[0], 2);
    EXPECT_EQ(ri.RefArray[1], 0);
    EXPECT_EQ(ri.Cpower[0], 9);
    TRunInfo copy;
    copy.CopyFrom(ri);
    EXPECT_EQ(copy.RefArray[0], 2);
}

TEST(ChangeTracking, EditorDeactivationFoldsFlagsIntoCounters) {
    Session s;
    LoadSheet(s, {"X"}, {{"1"}});
    s.DataChanged = true;
    SetRowModifiedTrue(s, 1);
    EXPECT_TRUE(s.DataDirty);
    auto vars = s.VariablesVersion, data = s.DataVersion;
    DataEditorDeactivated(s);
    EXPECT_FALSE(s.DataDirty);
    EXPECT_EQ(s.VariablesVersion, vars + 1);  // the re-parse set VariablesChanged
    EXPECT_EQ(s.DataVersion, data + 1);
    EXPECT_FALSE(s.VariablesChanged);
    EXPECT_FALSE(s.DataChanged);
    DataEditorDeactivated(s);
    EXPECT_EQ(s.VariablesVersion, vars + 1);
}

}  // namespace
}  // namespace amx
