#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/Sentinels.h"
#include "common/TextUtils.h"

namespace amx {
namespace {

TEST(TextUtils, PaddingAndSpaces) {
    EXPECT_EQ(Spaces(3), "   ");
    EXPECT_EQ(Spaces(0), "");
    EXPECT_EQ(Spaces(-2), "");
    EXPECT_EQ(Dashes(4), "----");
    EXPECT_EQ(PadLeft("ab", 5), "   ab");
    EXPECT_EQ(PadRight("ab", 5), "ab   ");
    EXPECT_EQ(PadLeft("abcdef", 3), "abcdef");
    EXPECT_EQ(PadRight("abcdef", 3), "abcdef");
    // Widths count characters, so a degree sign pads like one letter.
    EXPECT_EQ(PadLeft("5\xC2\xB0", 4), "  5\xC2\xB0");
    EXPECT_EQ(DropLastChar("5\xC2\xB0"), "5");
    EXPECT_EQ(DropLastChar(""), "");
    EXPECT_EQ(DropColumnCode("N1Weight"), "Weight");
    EXPECT_EQ(DropColumnCode("N"), "");
}

TEST(TextUtils, SpaceHandling) {
    const struct {
        const char* in;
        const char* trimmed;
        const char* removed;
        const char* collapsed;
    } cases[] = {
        {"  a  b   c ", "a  b   c", "abc", "a b c"},
        {"\tx ", "\tx", "\tx", "\tx"},
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrimSpaces(c.in), c.trimmed) << c.in;
        EXPECT_EQ(RemoveSpaces(c.in), c.removed) << c.in;
        EXPECT_EQ(CollapseSpaces(c.in), c.collapsed) << c.in;
    }
}

TEST(TextUtils, SplitAt) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitAt(",", "a, b ,c"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitAt(",", "a,b,"), (V{"a", "b"}));
    EXPECT_EQ(SplitAt(",", "a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitAt(",", ",a"), (V{"", "a"}));
    EXPECT_EQ(SplitAt("::", "x :: y\t"), (V{"x", "y"}));
    EXPECT_EQ(SplitAt(",", "single"), (V{"single"}));
    EXPECT_EQ(SplitAt(",", ""), V{});
}

TEST(TextUtils, NonNumericCharacters) {
    EXPECT_FALSE(ContainsNonNumericChar(" $1,234.5%\t-2E+3e"));
    EXPECT_FALSE(ContainsNonNumericChar(""));
    EXPECT_TRUE(ContainsNonNumericChar("12a"));
    EXPECT_TRUE(ContainsNonNumericChar("1/2"));
}

TEST(TextUtils, IndexOfValueIsOneBased) {
    const std::vector<double> v = {0, 5, 7, 5, MissingValue};
    EXPECT_EQ(IndexOfValue(v, 1, 4, 5), 1);
    EXPECT_EQ(IndexOfValue(v, 2, 4, 5), 3);
    EXPECT_EQ(IndexOfValue(v, 1, 2, 9), 0);
    EXPECT_EQ(IndexOfValue(v, 1, 4, 0), 0);  // entry 0 is not a value
    EXPECT_EQ(IndexOfValue(v, 1, 99, MissingValue), 4);
}

TEST(TextUtils, SortAscendingAnyCount) {
    std::vector<double> v = {-1, 3, 1, 2, 9};
    SortAscending(v, 3);
    EXPECT_EQ(v, (std::vector<double>{-1, 1, 2, 3, 9}));

    // Well beyond the 65535 of a 16-bit count.
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    std::vector<double> big(1 + 100000);
    for (std::size_t i = 1; i < big.size(); ++i) big[i] = u(gen);
    big[0] = 42;
    SortAscending(big, 100000);
    EXPECT_EQ(big[0], 42);
    EXPECT_TRUE(std::is_sorted(big.begin() + 1, big.end()));

    std::vector<double> w = {0, 2, 1};
    SortAscending(w, 10);  // a count past the end sorts what there is
    EXPECT_EQ(w, (std::vector<double>{0, 1, 2}));
}

TEST(TextUtils, SessionTextsAndClock) {
    CommonState cs;
    EXPECT_FALSE(HasUserTitle(cs));
    cs.UserChartTitle = "Line 3";
    EXPECT_TRUE(HasUserTitle(cs));
    AppendWork(cs, "a");
    AppendWork(cs, "bc");
    EXPECT_EQ(cs.WorkString, "abc");
    const double s = SecondsOfDay();
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 86401.0);
}

}  // namespace
}  // namespace amx
