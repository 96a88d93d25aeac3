#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <limits>

#include "common/NumberText.h"

namespace amx {
namespace {

constexpr auto With = NumberFormatKind::WithCommas;
constexpr auto Without = NumberFormatKind::WithoutCommas;

struct FixedCase {
    int decimals;
    long double x;
    const char* withCommas;
    const char* withoutCommas;
};

TEST(FormatNumber, FixedNotationInBothKinds) {
    // Reference digits of doubles from R: sprintf("%.17e", c(0.1, 1/3)) and
    // formatC(1234567.891, format="f", digits=2, big.mark=",").
    const FixedCase cases[] = {
        {2, 1234567.891L, "1,234,567.89", "1234567.89"},
        {2, 1234.5L, "1,234.50", "1234.50"},
        {2, -0.5L, "-0.50", "-0.50"},
        {2, -1234567.0L, "-1,234,567.00", "-1234567.00"},
        {0, 999.0L, "999", "999"},
        {3, 999.0L, "999.000", "999.000"},
        {0, 1000.0L, "1,000", "1000"},
        {2, 0.0L, "0.00", "0.00"},
        {0, 0.0L, "0", "0"},
        {3, 123.0L, "123.000", "123.000"},
        {2, 999.999L, "1,000.00", "1000.00"},
        // Exact ties round away from zero.
        {2, 0.125L, "0.13", "0.13"},
        {2, -0.375L, "-0.38", "-0.38"},
        {0, 2.5L, "3", "3"},
        // The double nearest 2.675 lies below it.
        {2, static_cast<long double>(2.675), "2.67", "2.67"},
        // A negative value that rounds to zero loses its sign.
        {2, -0.001L, "0.00", "0.00"},
        // At most 18 significant digits: further places print as zeros.
        {20, static_cast<long double>(0.1), "0.10000000000000000600", "0.10000000000000000600"},
        {17, static_cast<long double>(0.1), "0.10000000000000001", "0.10000000000000001"},
        {4, 123456789012345678.0L, "123,456,789,012,345,678.0000", "123456789012345678.0000"},
        // More than 18 integer digits: scientific.
        {2, 1.5e20L, "1.5E20", "1.5E20"},
        {-3, 12.7L, "13", "13"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.withCommas);
        EXPECT_EQ(FormatNumber(With, c.decimals, c.x), c.withCommas);
        EXPECT_EQ(FormatNumber(Without, c.decimals, c.x), c.withoutCommas);
        EXPECT_EQ(FormatWithCommas(c.decimals, c.x), c.withCommas);
        EXPECT_EQ(FormatFixedOrGeneral(c.decimals < 0 ? 0 : c.decimals, c.x), c.withoutCommas);
    }
}

TEST(FormatNumber, FollowsSessionKindFromTheSwitchOn) {
    CommonState cs;
    const std::string before = FormatNumber(cs, 2, 1234.5L);
    cs.numberFormat = NumberFormatKind::WithoutCommas;
    EXPECT_EQ(before, "1,234.50");
    EXPECT_EQ(FormatNumber(cs, 2, 1234.5L), "1234.50");
    EXPECT_EQ(FormatNumberPadLeft(cs, 10, 2, 1234.5L), "   1234.50");
    EXPECT_EQ(FormatNumberPadRight(cs, 10, 2, 1234.5L), "1234.50   ");
    EXPECT_EQ(FormatNumberPadLeft(cs, 0, 1, -2.25L), "-2.3");
    EXPECT_EQ(FormatNumberPadLeft(cs, 3, 2, 1234.5L), "1234.50");
    EXPECT_EQ(IntToTextPadLeft(42, 5), "   42");
    EXPECT_EQ(IntToTextPadLeft(-42, 0), "-42");
}

TEST(FormatNumber, NonFiniteValuesHaveTexts) {
    const long double inf = std::numeric_limits<long double>::infinity();
    EXPECT_EQ(FormatNumber(With, 2, inf), "INF");
    EXPECT_EQ(FormatNumber(With, 2, -inf), "-INF");
    EXPECT_EQ(FormatGeneral(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(FormatGeneral, EighteenSignificantDigitsShortestForm) {
    // Doubles' digits as R prints them: sprintf("%.17e", c(0.1, 1/3, pi)).
    const std::pair<long double, const char*> cases[] = {
        {static_cast<long double>(0.1), "0.100000000000000006"},
        {static_cast<long double>(1.0 / 3.0), "0.333333333333333315"},
        {static_cast<long double>(3.141592653589793), "3.14159265358979312"},
        {0.1L, "0.1"},
        {1.0L / 3.0L, "0.333333333333333333"},
        {0.0L, "0"},
        {-2.5L, "-2.5"},
        {100.0L, "100"},
        {123456789012345678.0L, "123456789012345678"},
        {1e18L, "1E18"},
        {1.5e20L, "1.5E20"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {-1.5e-7L, "-1.5E-7"},
        {999.0L, "999"},
    };
    for (const auto& [x, text] : cases) EXPECT_EQ(FormatGeneral(x), text);
    EXPECT_EQ(FormatFixedOrGeneral(-1, 0.1L), "0.1");
}

TEST(FormatSignificant, ShowsTheAskedDigits) {
    const struct {
        int digits;
        long double x;
        const char* text;
    } cases[] = {
        {4, 123.456L, "123.5"},    {4, 0.0123456L, "0.01235"}, {3, 0.001L, "0.00100"},
        {3, 0.0L, "0.000"},        {3, 1.0L, "1.00"},          {3, 0.1L, "0.100"},
        {2, 123456.0L, "123,456"}, {4, -0.5L, "-0.5000"},      {3, 10.0L, "10.0"},
        {3, 9.87L, "9.87"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatSignificant(With, c.digits, c.x), c.text) << c.text;
}

TEST(TextToExtended, ConvertsWithErrorPosition) {
    const struct {
        const char* text;
        long double value;
        int error;
    } cases[] = {
        {"1,234.5", 1234.5L, 0},  {"  -12.5", -12.5L, 0}, {"+3", 3.0L, 0},
        {".5", 0.5L, 0},          {"5.", 5.0L, 0},        {"1.5E3", 1500.0L, 0},
        {"2e-2", 0.02L, 0},       {"-1E+2", -100.0L, 0},  {"7 ", 7.0L, 0},
        {"1e-99999", 0.0L, 0},    {"", 0.0L, 1},          {"abc", 0.0L, 1},
        {"12a", 0.0L, 3},         {"1.2.3", 0.0L, 4},     {"-", 0.0L, 2},
        {"1e", 0.0L, 3},          {"1 2", 0.0L, 3},       {"1e99999", 0.0L, 1},
        {"inf", 0.0L, 1},         {"0x10", 0.0L, 2},
    };
    for (const auto& c : cases) {
        CommonState cs;
        cs.StatErrorCode = 99;
        EXPECT_EQ(TextToExtended(cs, c.text), c.value) << c.text;
        EXPECT_EQ(cs.StatErrorCode, c.error) << c.text;
    }
    CommonState cs;
    EXPECT_EQ(TextToExtended(cs, "0.1"), 0.1L);
    EXPECT_NE(TextToExtended(cs, "0.1"), static_cast<long double>(0.1));
}

TEST(TextToExtended, IgnoresTheProcessLocale) {
    // A locale with a decimal comma must not change how "." reads or prints.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no decimal-comma locale installed";
    CommonState cs;
    const long double x = TextToExtended(cs, "1e99999");
    EXPECT_EQ(cs.StatErrorCode, 1);
    EXPECT_EQ(x, 0.0L);
    EXPECT_EQ(TextToExtended(cs, "12.25"), 12.25L);
    EXPECT_EQ(cs.StatErrorCode, 0);
    EXPECT_EQ(FormatNumber(cs, 2, 1234.5L), "1,234.50");
    EXPECT_EQ(FormatGeneral(0.25L), "0.25");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextToInteger, ConvertsThirtyTwoBitIntegers) {
    const struct {
        const char* text;
        int value;
        int error;
    } cases[] = {
        {"1,234", 1234, 0},          {" -17", -17, 0},           {"+5", 5, 0},
        {"2147483647", 2147483647, 0}, {"-2147483648", -2147483647 - 1, 0},
        {"2147483648", 0, 10},       {"12.5", 0, 3},             {"", 0, 1},
        {"x", 0, 1},                 {"1e3", 0, 2},
    };
    for (const auto& c : cases) {
        CommonState cs;
        EXPECT_EQ(TextToInteger(cs, c.text), c.value) << c.text;
        EXPECT_EQ(cs.StatErrorCode, c.error) << c.text;
    }
}

TEST(NumberText, NormaliseAndReformat) {
    const std::pair<const char*, const char*> normalise[] = {
        {".5", "0.5"}, {"-.5", "-0.5"}, {"5.", "5"}, {"", "0"}, {".", "0"}, {"12", "12"},
        {"-5.", "-5"},
    };
    for (const auto& [in, out] : normalise) EXPECT_EQ(NormaliseNumberText(in), out) << in;

    const struct {
        const char* in;
        const char* with;
        const char* without;
    } reformat[] = {
        {"1234567", "1,234,567", "1234567"},
        {"12", "12", "12"},
        {"-123456.789", "-123,456.789", "-123456.789"},
        {"-1234.5", "-1,234.5", "-1234.5"},
        {"-123", "-123", "-123"},
        {"1,234", "1,234", "1234"},
        {"12,34,5678.12345", "12,345,678.12345", "12345678.12345"},
        {"1234E5", "1,234E5", "1234E5"},
        {".5", ".5", ".5"},
        {"", "", ""},
    };
    for (const auto& c : reformat) {
        EXPECT_EQ(ReformatNumberText(With, c.in), c.with) << c.in;
        EXPECT_EQ(ReformatNumberText(Without, c.in), c.without) << c.in;
    }
    EXPECT_EQ(RemoveCommas("1,2,,3"), "123");
}

}  // namespace
}  // namespace amx

namespace amx {
namespace {

// The C library's printf rounds the exact binary value correctly; away from
// exact ties and within 18 significant digits the fixed texts must agree.
TEST(FormatNumber, AgreesWithCorrectlyRoundedPrintf) {
    std::mt19937_64 gen(20261211);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-8, 12);
    std::uniform_int_distribution<int> places(0, 6);
    for (int i = 0; i < 20000; ++i) {
        const long double x = mantissa(gen) * std::pow(10.0L, exponent(gen));
        const int d = places(gen);
        // Beyond 18 significant digits the places print as zeros instead.
        if (std::floor(std::log10(std::fabs(x))) + 1 + d > 17) continue;
        char buf[128];
        std::snprintf(buf, sizeof buf, "%.*Lf", d, x);
        std::string expected = buf;
        if (expected.find_first_of("123456789") == std::string::npos && expected[0] == '-')
            expected.erase(0, 1);
        ASSERT_EQ(FormatNumber(NumberFormatKind::WithoutCommas, d, x), expected)
            << static_cast<double>(x) << " with " << d;
    }
}

// 18 significant digits are more than a double needs: its text reads back
// to the same double.
TEST(FormatGeneral, DoublesReadBackExactly) {
    std::mt19937_64 gen(7);
    std::uniform_int_distribution<std::uint64_t> bits;
    CommonState cs;
    int checked = 0;
    while (checked < 20000) {
        const std::uint64_t b = bits(gen);
        double x;
        std::memcpy(&x, &b, sizeof x);
        if (!std::isfinite(x) || std::fabs(x) < 1e-300) continue;
        ++checked;
        const std::string text = FormatGeneral(x);
        const long double back = TextToExtended(cs, text);
        ASSERT_EQ(cs.StatErrorCode, 0) << text;
        ASSERT_EQ(static_cast<double>(back), x) << text;
    }
}

}  // namespace
}  // namespace amx
