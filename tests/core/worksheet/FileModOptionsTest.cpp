// The file modifications set from typed texts (the command line's options).
#include <gtest/gtest.h>

#include "TestSheets.h"
#include "worksheet/modifications/FileModText.h"
#include "worksheet/modifications/ModificationOptions.h"

namespace amx {
namespace {

TEST(ModificationOptions, ConditionTextsSetTheRules) {
    Session s;
    test::LoadSheet(s, {"Lot", "Fill Weight"}, {{"a", "5"}, {"b", "7"}});
    std::string error;
    ASSERT_TRUE(SetMissingRuleFromTexts(s, {"=999", ">= 1,000"}, error)) << error;
    ASSERT_TRUE(SetProcessIfFromTexts(s, {"fill weight > 5", "Lot Not in [1]"}, true, error)) << error;
    ASSERT_TRUE(SetTransformFromTexts(s, "LOG", "2", "1", "", false, error)) << error;
    ASSERT_TRUE(GetFileModString(s));
    EXPECT_EQ(s.FileModStringLine,
              "Missing When: X = 999  Missing When: X >= 1,000  Process If: Fill Weight > 5 or  "
              "Process If: Lot Not in [1]  Transform: LN(2X + 1)");

    ASSERT_TRUE(SetProcessIfFromTexts(s, {"2 in 5, 7"}, false, error)) << error;
    EXPECT_EQ(s.ProcessIfText1, "Fill Weight in [5,7]");
    ASSERT_TRUE(SetMissingRuleFromTexts(s, {}, error));
    ASSERT_TRUE(SetProcessIfFromTexts(s, {}, false, error));
    ASSERT_TRUE(SetTransformFromTexts(s, "none", "1", "0", "1", false, error));
    EXPECT_FALSE(GetFileModString(s));
}

TEST(ModificationOptions, BadTextsAreRefusedAndChangeNothing) {
    struct Case {
        int which;  // 0 missing, 1 process if, 2 transform
        std::vector<std::string> texts;
        const char* error;
    };
    const Case cases[] = {
        {0, {"999"}, "Missing-value condition not understood: 999"},
        {0, {"= abc"}, "Missing-value condition not understood: = abc"},
        {0, {"=1", "=2", "=3"}, "At most two missing-value conditions."},
        {1, {"Weight > 5"}, "Process If column not found: Weight"},
        {1, {"Lot 5"}, "Process If condition not understood: Lot 5"},
        {1, {"Lot = x"}, "Process If value is not a number: x"},
        {1, {"9 = 1"}, "Process If column not found: 9"},
        {2, {"cube", "1", "0", "1"}, "Unknown transform: cube"},
        {2, {"power2", "1", "0", "0"}, "C must not be 0: the transform divides by C."},
        {2, {"13", "1", "0", "1"}, "Unknown transform: 13"},
    };
    for (const auto& c : cases) {
        Session s;
        test::LoadSheet(s, {"Lot", "Fill Weight"}, {{"a", "5"}});
        std::string error;
        bool ok = true;
        if (c.which == 0) ok = SetMissingRuleFromTexts(s, c.texts, error);
        if (c.which == 1) ok = SetProcessIfFromTexts(s, c.texts, false, error);
        if (c.which == 2) ok = SetTransformFromTexts(s, c.texts[0], c.texts[1], c.texts[2], c.texts[3], false, error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, c.error);
        EXPECT_FALSE(GetFileModString(s)) << s.FileModString;
    }
    EXPECT_EQ(TransformNumberFromName("Chi-Square"), 12);
    EXPECT_EQ(TransformNumberFromName("7"), 7);
}

}  // namespace
}  // namespace amx
