// The missing-value rule, the Process If filter and the report lines they
// produce, seen through the sample loaders.
#include <gtest/gtest.h>

#include "TestSheets.h"
#include "worksheet/FileModificationHooks.h"
#include "worksheet/modifications/FileModText.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/ProcessIf.h"

namespace amx {
namespace {

using test::LoadSheet;
using test::Sample;

std::vector<double> LoadColumn(Session& s, int column) {
    TRunInfo ri;
    ri.ColRefRun = SelectionMode::Columns;
    s.DataList.IncludeCol[column] = true;
    DataToA_Array(s, column, ri);
    return Sample(s);
}

MissingRec Relations(int sign1, int sign2) {
    MissingRec m;
    m.Sign1 = static_cast<std::uint8_t>(sign1);
    m.Sign2 = static_cast<std::uint8_t>(sign2);
    return m;
}

TEST(MissingRule, DialogSetsTheRuleTheLoadersApply) {
    struct Case {
        const char* label;
        int sign1, sign2;
        const char* box1;
        const char* box2;
        const char* status;
        std::vector<double> loaded;  // column 1 of the sheet below
        const char* panel;
    };
    const Case cases[] = {
        {"= 999 or > 1000", 1, 2, "999", "1000", "Missing: X = 999, or X > 1000", {998, 1000},
         "Missing: X = 999, X > 1000"},
        {"thousands commas convert", 3, 0, "1,000", "", "Missing: X >= 1,000", {998, 999}, "Missing: X >= 1,000"},
        {"only the second", 0, 5, "", "998", "Missing: X <= 998", {999, 1000, 1001}, "Missing: X <= 998"},
        {"a box that does not convert drops its condition", 4, 1, "abc", "1001", "Missing: X = 1001",
         {998, 999, 1000}, "Missing: X = 1001"},
        {"both none", 0, 0, "999", "", "Missing Off", {998, 999, 1000, 1001}, "Missing Off"},
        {"nothing converts", 1, 2, "", "x", "Missing Off", {998, 999, 1000, 1001}, "Missing Off"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        LoadSheet(s, {"W"}, {{"998"}, {"999"}, {""}, {"1000"}, {"1001"}});
        EXPECT_EQ(ApplyMissingDialog(s, Relations(c.sign1, c.sign2), c.box1, c.box2), c.status);
        EXPECT_EQ(LoadColumn(s, 1), c.loaded);
        EXPECT_EQ(MissingStatusText(s), c.panel);
    }
}

TEST(MissingRule, RelationsAgainstTheValue) {
    struct Case {
        int sign;
        double x;
        bool holds;
    };
    const Case cases[] = {{0, 5, false}, {1, 5, true}, {1, 4.999, false}, {2, 5, false}, {2, 5.1, true},
                          {3, 5, true},  {4, 5, false}, {4, 4, true},     {5, 5, true},  {5, 6, false}};
    for (const auto& c : cases) EXPECT_EQ(MissingConditionHolds(c.sign, c.x, 5.0), c.holds) << c.sign << " " << c.x;
}

// Columns: Lot (text levels a=1, b=2, c=3), Weight, Height.
void LoadLots(Session& s) {
    LoadSheet(s, {"Lot", "Weight", "Height"},
              {{"a", "5", "1"}, {"b", "7", "2"}, {"a", "", "3"}, {"c", "2", "4"}, {"b", "9", "5"}});
}

ProcessIfDialogInput Conditions(ProcessIfCondition c1, ProcessIfCondition c2 = {}, int andOr = 0) {
    ProcessIfDialogInput in;
    in.cond[0] = std::move(c1);
    in.cond[1] = std::move(c2);
    in.andOr = andOr;
    return in;
}

TEST(ProcessIf, ConditionsSelectTheRowsOfEveryLoad) {
    using namespace PiRelation;
    struct Case {
        const char* label;
        ProcessIfDialogInput input;
        const char* status;
        std::vector<double> heights;
        const char* panel;
    };
    const Case cases[] = {
        {"greater", Conditions({2, "Weight", Greater, "5"}), "Process If: Weight > 5", {2, 5},
         "Process If: Weight > 5"},
        {"text column compares by level number", Conditions({1, "Lot", Equal, "2"}), "Process If: Lot = 2", {2, 5},
         "Process If: Lot = 2"},
        {"a missing cell meets no ordering", Conditions({2, "Weight", Less, "8"}), "Process If: Weight < 8",
         {1, 2, 4}, "Process If: Weight < 8"},
        {"a missing cell differs from every value", Conditions({2, "Weight", NotEqual, "7"}),
         "Process If: Weight <> 7", {1, 3, 4, 5}, "Process If: Weight <> 7"},
        {"and", Conditions({1, "Lot", LessEqual, "2"}, {2, "Weight", GreaterEqual, "7"}),
         "Process If: Lot <= 2, Weight >= 7", {2, 5}, "Process If: Lot <= 2 and Weight >= 7"},
        {"or", Conditions({1, "Lot", Equal, "3"}, {2, "Weight", Equal, "5"}, 1), "Process If: Lot = 3, Weight = 5",
         {1, 4}, "Process If: Lot = 3 or Weight = 5"},
        {"All or a condition passes every row", Conditions({1, "Lot", All, ""}, {2, "Weight", Greater, "3"}, 1),
         "Process If: Weight > 3", {1, 2, 3, 4, 5}, "Process If: Weight > 3"},
        {"All and a condition is the condition", Conditions({1, "Lot", All, ""}, {2, "Weight", Greater, "6"}),
         "Process If: Weight > 6", {2, 5}, "Process If: Weight > 6"},
        {"in list", Conditions({2, "Weight", In, "2, 9"}), "Process If: Weight in [2,9]", {4, 5},
         "Process If: Weight in [2,9]"},
        {"not in list keeps missing cells", Conditions({2, "Weight", NotIn, "5,7,9"}),
         "Process If: Weight Not in [5,7,9]", {3, 4}, "Process If: Weight Not in [5,7,9]"},
        {"a value that does not convert compares as 0", Conditions({2, "Weight", Greater, "abc"}),
         "Process If: Weight > abc", {1, 2, 4, 5}, "Process If: Weight > abc"},
        {"a relation without a column is off", Conditions({0, "", Greater, "5"}), "Process If Off",
         {1, 2, 3, 4, 5}, "Process If Off"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Session s;
        LoadLots(s);
        const auto version = s.VariablesVersion;
        EXPECT_EQ(ApplyProcessIfDialog(s, c.input), c.status);
        EXPECT_EQ(LoadColumn(s, 3), c.heights);
        EXPECT_EQ(ProcessIfStatusText(s), c.panel);
        EXPECT_GT(s.VariablesVersion, version);
    }
}

TEST(ProcessIf, InListWithABlankEntryMatchesMissingCells) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        Session s;
        RecordingMessages msgs;
        msgs.scriptedAnswers = {answer};
        s.messages = &msgs;
        LoadLots(s);
        EXPECT_EQ(ApplyProcessIfDialog(s, Conditions({2, "Weight", PiRelation::In, "5, ,7"})),
                  answer == Answer::Yes ? "Process If: Weight in [5,,7]" : "Process If: Weight in [5,7]");
        ASSERT_EQ(msgs.Questions().size(), 1u);
        const std::vector<double> expected =
            answer == Answer::Yes ? std::vector<double>{1, 2, 3} : std::vector<double>{1, 2};
        EXPECT_EQ(LoadColumn(s, 3), expected);
    }
}

TEST(ProcessIf, DialogReopensOnTheLiveFilterAndResetTurnsItOff) {
    Session s;
    LoadLots(s);
    ApplyProcessIfDialog(s, Conditions({2, "Weight", PiRelation::NotIn, "5,7"}, {1, "Lot", PiRelation::Less, "3"}, 1));
    const ProcessIfDialogInput shown = CurrentProcessIfInput(s);
    EXPECT_EQ(shown.cond[0].value, "5,7");
    EXPECT_EQ(shown.cond[0].name, "Weight");
    EXPECT_EQ(shown.cond[1].relation, PiRelation::Less);
    EXPECT_EQ(shown.cond[1].value, "3");
    EXPECT_EQ(shown.andOr, 1);

    ResetProcessIf(s);
    EXPECT_FALSE(s.ProcessIf.Active);
    EXPECT_EQ(s.ProcessIf.Xstr1, "0");
    EXPECT_EQ(ProcessIfStatusText(s), "Process If Off");
    EXPECT_EQ(LoadColumn(s, 3).size(), 5u);
}

TEST(ProcessIf, ReopeningAListWithAMissingEntryChangesNothing) {
    // A tab in the list is a missing entry whatever the blank-commas answer;
    // the reopened box must give the same list again.
    for (Answer answer : {Answer::Yes, Answer::No}) {
        Session s;
        RecordingMessages msgs;
        msgs.scriptedAnswers = {answer};
        s.messages = &msgs;
        LoadLots(s);
        ApplyProcessIfDialog(s, Conditions({2, "Weight", PiRelation::In, "5,\t, ,7"}));
        const std::vector<double> before = LoadColumn(s, 3);
        const std::string text = s.ProcessIfText1;
        ApplyProcessIfDialog(s, CurrentProcessIfInput(s));
        EXPECT_EQ(LoadColumn(s, 3), before);
        EXPECT_EQ(s.ProcessIfText1, text);
        EXPECT_EQ(s.ProcessIf.LA1.size(), answer == Answer::Yes ? 4u : 3u);
    }
}

TEST(ProcessIf, ListBoxKeys) {
    for (char32_t key : {U'0', U'9', U' ', U',', U'.', U'-', char32_t{KeyBackspace}})
        EXPECT_TRUE(ProcessIfListKey({}, key).Accepted()) << static_cast<int>(key);
    for (char32_t key : {U'a', U'[', U'E', U';'}) EXPECT_FALSE(ProcessIfListKey({}, key).Accepted());
}

TEST(FileModString, LinesOfTheActiveRulesInOrder) {
    Session s;
    LoadLots(s);
    EXPECT_FALSE(GetFileModString(s));
    EXPECT_EQ(s.FileModString, "");

    ApplyMissingDialog(s, Relations(1, 2), "999", "1000");
    ApplyProcessIfDialog(s, Conditions({2, "Weight", PiRelation::Greater, "5"}, {1, "Lot", PiRelation::In, "1,2"}, 1));
    s.Transform.no = 1;
    s.Transform.astr = "2";
    s.Transform.Bstr = "3";
    s.Transform.B = 3;
    ASSERT_TRUE(GetFileModString(s));
    EXPECT_EQ(s.FileModString,
              "Missing When: X = 999\r\nMissing When: X > 1000\r\nProcess If: Weight > 5 or\r\n"
              "Process If: Lot in [1,2]\r\nTransform: 2X + 3");
    EXPECT_EQ(s.FileModStringTab,
              "Missing When: X = 999\r\n\tMissing When: X > 1000\r\n\tProcess If: Weight > 5 or\r\n\t"
              "Process If: Lot in [1,2]\r\n\tTransform: 2X + 3");
    EXPECT_EQ(s.FileModStringLine,
              "Missing When: X = 999  Missing When: X > 1000  Process If: Weight > 5 or  "
              "Process If: Lot in [1,2]  Transform: 2X + 3");

    ApplyMissingDialog(s, Relations(0, 0), "", "");
    ApplyProcessIfDialog(s, Conditions({1, "Lot", PiRelation::All, ""}, {2, "Weight", PiRelation::Less, "9"}));
    ASSERT_TRUE(GetFileModString(s));
    EXPECT_EQ(s.FileModString, "Process If: Weight < 9\r\nTransform: 2X + 3");
}

TEST(FileModString, ANewWorksheetKeepsOnlyTheMissingRule) {
    Session s;
    LoadLots(s);
    ApplyMissingDialog(s, Relations(1, 0), "999", "");
    ApplyProcessIfDialog(s, Conditions({2, "Weight", PiRelation::Greater, "5"}));
    s.Transform.no = 6;
    ResetModificationsForNewWorksheet(s);
    ASSERT_TRUE(GetFileModString(s));
    EXPECT_EQ(s.FileModString, "Missing When: X = 999");
}

}  // namespace
}  // namespace amx
