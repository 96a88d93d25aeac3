#include <gtest/gtest.h>

#include "common/Sentinels.h"
#include "common/ValueLists.h"

namespace amx {
namespace {

constexpr double M = MissingValue;

struct Fixture {
    RecordingMessages rec;
    CommonState cs;
    Fixture() { cs.messages = &rec; }
};

const char* const Question = "Want blank Commas to indicate missing values?";

TEST(ParseValueList, BlankCommasFollowTheAnswer) {
    const struct {
        Answer answer;
        std::vector<double> values;
    } cases[] = {
        {Answer::Yes, {1, M, 3}},
        {Answer::No, {1, 3}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.rec.scriptedAnswers = {c.answer};
        EXPECT_EQ(ParseValueList(f.cs, "1, ,3").values, c.values);
        // Asked once: the next list keeps the answer without asking.
        EXPECT_EQ(ParseValueList(f.cs, "1,,3").values, c.values);
        EXPECT_EQ(f.rec.Questions(), std::vector<std::string>{Question});
        EXPECT_FALSE(f.cs.BlankCommaQuestionPending);
        EXPECT_EQ(f.cs.BlankCommasAreMissing, c.answer == Answer::Yes);
        // A file load re-arms the question.
        f.cs.BlankCommaQuestionPending = true;
        f.rec.scriptedAnswers = {Answer::No};
        EXPECT_EQ(ParseValueList(f.cs, ",5").values, std::vector<double>{5});
        EXPECT_EQ(f.rec.Questions().size(), 2u);
    }
}

TEST(ParseValueList, ValuesTextsAndSeparators) {
    const struct {
        const char* text;
        std::vector<std::string> texts;
        std::vector<double> values;
    } cases[] = {
        {"1, 2.5, -3", {"1", "2.5", "-3"}, {1, 2.5, -3}},
        {".5 -.25 7.", {".5", "-.25", "7."}, {0.5, -0.25, 7}},
        {"1e3;2E-1", {"1e3", "2E-1"}, {1000, 0.2}},
        {"1\t\t3", {"1", "", "3"}, {1, M, 3}},
        {"\t4", {"", "4"}, {M, 4}},
        {"1-2 x 5", {"1-2", "5"}, {M, 5}},
        {"a - . b", {}, {}},
        {"1 , 2 , 3,", {"1", "2", "3"}, {1, 2, 3}},
        {"", {}, {}},
    };
    for (const auto& c : cases) {
        Fixture f;
        ValueList r = ParseValueList(f.cs, c.text);
        EXPECT_EQ(r.texts, c.texts) << c.text;
        EXPECT_EQ(r.values, c.values) << c.text;
        EXPECT_TRUE(f.rec.Questions().empty()) << c.text;
    }
}

TEST(ParseValueList, KeepsAtMost512Entries) {
    Fixture f;
    std::string text;
    for (int i = 1; i <= 600; ++i) text += std::to_string(i) + ",";
    ValueList r = ParseValueList(f.cs, text);
    ASSERT_EQ(r.size(), 512u);
    EXPECT_EQ(r.values.back(), 512);
    EXPECT_EQ(ParseNumbers(text).size(), 512u);
}

TEST(ParseNumbers, SameSyntaxNoQuestion) {
    EXPECT_EQ(ParseNumbers("1,,2 abc -3.5e1 . -"), (std::vector<double>{1, 2, -35}));
    EXPECT_EQ(ParseNumbers("4..5 6"), (std::vector<double>{M, 6}));
    EXPECT_EQ(ParseNumbers("1e999"), (std::vector<double>{M}));
    EXPECT_TRUE(ParseNumbers("").empty());
}

TEST(ParseIntegers, RunsOfDigits) {
    EXPECT_EQ(ParseIntegers("a12b-3 4.5"), (std::vector<long long>{12, 3, 4, 5}));
    EXPECT_EQ(ParseIntegers("99999999999999999999999"),
              (std::vector<long long>{9223372036854775807LL}));
    const std::pair<const char*, long long> first[] = {
        {"Test 0 and 7", 7}, {"none", -1}, {"", -1}, {"0 00", 0}, {"x3y4", 3}, {"007", 7},
    };
    for (const auto& [text, value] : first) EXPECT_EQ(FirstPositiveInteger(text), value) << text;
}

}  // namespace
}  // namespace amx
