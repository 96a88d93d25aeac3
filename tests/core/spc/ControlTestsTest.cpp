// Tests for statistical control over hand-made series, their names, and the
// stored defaults.
#include <gtest/gtest.h>

#include <random>

#include "common/Settings.h"
#include "spc/ControlTests.h"

namespace amx {
namespace {

struct Series {
    Series() = default;
    Series(std::vector<double> values, double upper = 3, double lower = -3)
        : x(std::move(values)), ucl(upper), lcl(lower) {}
    std::vector<double> x;
    double cl = 0, se = 1, ucl = 3, lcl = -3;
    std::vector<double> sets, breaks;
};

// Location-style table: constant CL, SE and limits.
ChartArrayType Table(const Series& s) {
    const int N = static_cast<int>(s.x.size());
    ChartArrayType t;
    t.Reset(N);
    for (int p = 1; p <= N; ++p) {
        t.at(1, p) = s.x[p - 1];
        t.at(3, p) = s.lcl;
        t.at(4, p) = s.cl;
        t.at(5, p) = s.ucl;
        t.at(13, p) = s.se;
        t.at(12, p) = s.sets.empty() ? 0 : s.sets[p - 1];
        t.at(18, p) = s.breaks.empty() ? 0 : s.breaks[p - 1];
    }
    return t;
}

const TestSeries Loc{1, 3, 4, 5, 13, 12, 18, false};

std::vector<std::string> RunTests(const ControlTestSettings& t, const Series& s, bool mr = false) {
    TestSeries ts = Loc;
    ts.movingRange = mr;
    auto codes = RunControlTests(t, Table(s), static_cast<int>(s.x.size()), ts);
    return {codes.begin() + 1, codes.end()};
}

using Codes = std::vector<std::string>;

TEST(ControlTests, EachTestMarksItsPattern) {
    ControlTestSettings only[10];
    for (int i = 1; i <= 9; ++i) {
        only[i].Std.fill(false);
        only[i].Std[i] = true;
    }
    struct Case {
        const char* what;
        int test;
        Series s;
        Codes expected;
    };
    const Case cases[] = {
        {"test 1 both sides", 1, {{0, 3.5, 0, -3.2, 3}}, {"", "O", "", "O", ""}},
        {"run of eight, then a ninth", 2, {{-1, .5, .5, .5, .5, .5, .5, .5, .5, .5}},
         {"", "R", "R", "R", "R", "R", "R", "R", "R", "R"}},
        {"seven above: no run", 2, {{.5, .5, .5, .5, .5, .5, .5, -.5}}, {"", "", "", "", "", "", "", ""}},
        {"a point on the centerline ends the run", 2, {{.5, .5, .5, 0, .5, .5, .5, .5}},
         {"", "", "", "", "", "", "", ""}},
        {"trend of six", 3, {{1, 1, 2, 3, 4, 5, 6, 5}}, {"", "T", "T", "T", "T", "T", "T", ""}},
        {"equal neighbours end a trend", 3, {{1, 2, 3, 3, 4, 5, 6}}, {"", "", "", "", "", "", ""}},
        {"excess variability needs both sides", 4, {{2, 2, 2, 2, 2, 2, 2, 2, -2}},
         {"", "E", "E", "E", "E", "E", "E", "E", "E"}},
        {"excess variability on one side only", 4, {{2, 2, 2, 2, 2, 2, 2, 2}}, {"", "", "", "", "", "", "", ""}},
        {"fourteen alternating", 6, {{0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}},
         Codes(14, "A")},
        {"four of five beyond one SE", 7, {{0, 1.5, -1.5, 0.2, 1.5, 1.5}}, {"", "1", "1", "1", "1", "1"}},
        {"five of five do not fire", 7, {{1.5, 1.5, 1.5, 1.5, 1.5}}, {"", "", "", "", ""}},
        {"two of three beyond two SE", 8, {{0, 2.5, 0, -2.5}}, {"", "2", "2", "2"}},
        {"jump above 3.6864 SE", 9, {{0, 3.7, 0.1, 3.6}, 10, -10}, {"", "M", "", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(RunTests(only[c.test], c.s), c.expected) << c.what;
}

TEST(ControlTests, LackOfVariabilityAndCodeOrder) {
    ControlTestSettings t;
    Series s{std::vector<double>(15, 0.1)};
    auto codes = RunTests(t, s);
    // Fifteen inside one SE, all above the centerline: the run test fires
    // from the eighth point, the lack test at the fifteenth and marks all.
    EXPECT_EQ(codes[0], "RL");
    EXPECT_EQ(codes[7], "RL");
    EXPECT_EQ(codes[14], "RL");
}

TEST(ControlTests, WindowsNeverSpanSetsBreaksOrMissingPoints) {
    ControlTestSettings t;
    Series sets{std::vector<double>(8, 0.5)};
    sets.sets = {1, 1, 1, 1, 1, 1, 1, 2};
    EXPECT_EQ(RunTests(t, sets), Codes(8, ""));
    Series brk{std::vector<double>(8, 0.5)};
    brk.breaks = {0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(RunTests(t, brk), Codes(8, ""));
    Series gap{std::vector<double>(9, 0.5)};
    gap.x[4] = MissingValue;
    EXPECT_EQ(RunTests(t, gap), Codes(9, ""));
}

TEST(ControlTests, FlagsChooseTheTests) {
    ControlTestSettings t;
    Series wild{{0, 5, -5, 0, 1, 2, 3, 4, 5, 6, 7}};
    wild.ucl = 4.5;
    // Moving-range flags by default: test 1 only.
    for (const auto& c : RunTests(t, wild, true)) EXPECT_TRUE(c.empty() || c == "O") << c;
    t.Std[1] = false;
    for (const auto& c : RunTests(t, wild)) EXPECT_EQ(c.find('O'), std::string::npos);
    // Test 9 is never run on a moving-range chart.
    t.MR.fill(true);
    Series jump{{0, 3.7}, 10, -10};
    EXPECT_EQ(RunTests(t, jump, true), Codes({"", ""}));
}

// A naive window-walking reference of tests 2 to 8 for random series with
// random counts.
TEST(ControlTests, RunningCountersMatchWindowWalking) {
    std::mt19937 gen(7);
    for (int trial = 0; trial < 200; ++trial) {
        ControlTestSettings t;
        t.Std.fill(true);
        std::uniform_int_distribution<int> cnt(3, 7);
        for (int e : {1, 2, 3, 4, 5}) t.Values[e] = static_cast<std::uint8_t>(cnt(gen));
        t.Values[15] = static_cast<std::uint8_t>(cnt(gen));
        t.Values[6] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, t.Values[15] - 1)(gen));
        t.Values[16] = static_cast<std::uint8_t>(cnt(gen));
        t.Values[7] = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(1, t.Values[16] - 1)(gen));
        Series s;
        std::uniform_int_distribution<int> v(-5, 5);
        std::uniform_int_distribution<int> coin(0, 19);
        const int N = 60;
        for (int i = 0; i < N; ++i) {
            s.x.push_back(coin(gen) == 0 ? MissingValue : v(gen) * 0.5);
            s.sets.push_back(i < 30 ? 0 : 1);
            s.breaks.push_back(coin(gen) == 1 ? 1 : 0);
        }
        s.ucl = 2.2;
        s.lcl = -2.2;
        const auto got = RunTests(t, s);
        // Reference.
        const auto& x = s.x;
        auto usable = [&](int p, int L) {  // 0-based p
            if (p + 1 < L) return false;
            for (int j = p - L + 1; j < p; ++j)
                if (x[j] == MissingValue || s.breaks[j] == 1 || s.sets[j] != s.sets[j + 1]) return false;
            return true;
        };
        std::vector<std::string> ref(N);
        auto mark = [&](int p, int L, char c) {
            for (int j = p - L + 1; j < p; ++j)
                if (ref[j].find(c) == std::string::npos) ref[j] += c;
        };
        for (int p = 0; p < N; ++p) {
            if (x[p] == MissingValue) continue;
            std::string own;
            auto fire = [&](char c, int L) {
                own += c;
                mark(p, L, c);
            };
            if (x[p] > s.ucl || x[p] < s.lcl) fire('O', 1);
            auto all = [&](int L, auto pred) {
                if (!usable(p, L)) return false;
                for (int j = p - L + 1; j <= p; ++j)
                    if (!pred(j)) return false;
                return true;
            };
            int n = t.Values[1];
            if (all(n, [&](int j) { return x[j] > 0; }) || all(n, [&](int j) { return x[j] < 0; })) fire('R', n);
            n = t.Values[2];
            if (all(n, [&](int j) { return j == p - n + 1 || x[j] > x[j - 1]; }) ||
                all(n, [&](int j) { return j == p - n + 1 || x[j] < x[j - 1]; }))
                fire('T', n);
            n = t.Values[3];
            if (all(n, [&](int j) { return std::fabs(x[j]) > 1; }) && !all(n, [&](int j) { return x[j] > 1; }) &&
                !all(n, [&](int j) { return x[j] < -1; }))
                fire('E', n);
            n = t.Values[4];
            if (all(n, [&](int j) { return std::fabs(x[j]) < 1; })) fire('L', n);
            n = t.Values[5];
            if (all(n, [&](int j) {
                    if (j == p - n + 1 || j == p) return true;
                    return (x[j] > x[j - 1] && x[j] > x[j + 1]) || (x[j] < x[j - 1] && x[j] < x[j + 1]);
                }))
                fire('A', n);
            for (auto [k, m, band, c] : {std::tuple{t.Values[6], t.Values[15], 1.0, '1'},
                                         std::tuple{t.Values[7], t.Values[16], 2.0, '2'}}) {
                if (!usable(p, m)) continue;
                int out = 0;
                for (int j = p; j > p - m; --j) out += std::fabs(x[j]) > band;
                if (out == k) fire(c, m);
            }
            if (p > 0 && usable(p, 2) && std::fabs(x[p] - x[p - 1]) > 3.6864) fire('M', 1);
            ref[p] = own + ref[p];
        }
        ASSERT_EQ(got, ref) << "trial " << trial;
    }
}

TEST(ControlTests, NamesCarryTheCounts) {
    ControlTestSettings t;
    EXPECT_EQ(ControlTestName(t, 2), "Run of 8 or More Above/Below the Centerline");
    EXPECT_EQ(ControlTestName(t, 6), "14 or More Alternating Values");
    EXPECT_EQ(ControlTestName(t, 7), "4 of 5 Outside One Standard Error");
    EXPECT_EQ(ControlTestName(t, 8), "2 of 3 Outside Two Standard Error");
    EXPECT_EQ(ControlTestName(t, 10), "");
}

TEST(ControlTests, StoredDefaultsRoundTripEveryCount) {
    CommonState cs;
    EXPECT_EQ(LoadControlTestSettings(cs), ControlTestSettings{});  // nothing stored yet
    ControlTestSettings t;
    t.Values[1] = 10;
    SaveControlTestSettings(cs, t);
    EXPECT_EQ(ReadSettingString(cs, SettingsKey, "ControlTestValues").substr(0, 2), "@J");
    for (int v = 2; v <= 99; ++v) {
        t.Values[TestValue::Run] = static_cast<std::uint8_t>(v);
        t.Values[TestValue::Zone1M] = static_cast<std::uint8_t>(v);
        t.Values[TestValue::Zone1K] = static_cast<std::uint8_t>(v - 1);
        t.Std[v % 9 + 1] = !t.Std[v % 9 + 1];
        SaveControlTestSettings(cs, t);
        ASSERT_EQ(LoadControlTestSettings(cs), t) << v;
    }
}

TEST(ControlTests, DecodingFallsBackPerValue) {
    ControlTestSettings d;
    std::array<std::uint8_t, ControlTestValueCount> v{};
    DecodeTestValues("@A", v);  // wrong length
    EXPECT_EQ(v, d.Values);
    std::string s = EncodeTestValues(d.Values);
    s[1] = '@';  // run length 0
    s[5] = 'B';  // alternating 2
    DecodeTestValues(s, v);
    EXPECT_EQ(v, d.Values);
    auto bad = d.Values;
    bad[6] = 9;  // k of 9 with m of 5
    DecodeTestValues(EncodeTestValues(bad), v);
    EXPECT_EQ(v[6], 4);
    EXPECT_EQ(v[15], 5);
    // A raw byte 64 + 70 from an 8-bit store still reads as 70.
    std::string raw = EncodeTestValues(d.Values);
    raw.replace(1, 1, std::string(1, static_cast<char>(64 + 70)));
    DecodeTestValues(raw, v);
    EXPECT_EQ(v[1], 70);
    // A replacement character left by a lossy store gives the default.
    std::string lossy = EncodeTestValues(d.Values);
    lossy.replace(1, 1, "\xEF\xBF\xBD");
    DecodeTestValues(lossy, v);
    EXPECT_EQ(v[1], 8);

    std::array<bool, ControlTestCount + 1> f{};
    DecodeTestFlags("1x0000001", f, false);
    EXPECT_EQ(f, (std::array<bool, 10>{false, true, true, false, false, false, false, false, false, true}));
    DecodeTestFlags("111111111", f, true);
    EXPECT_FALSE(f[9]);
    DecodeTestFlags("11", f, false);
    EXPECT_EQ(f, d.Std);
}

TEST(ControlTests, ZoneSpinsKeepKBelowM) {
    int k = 99, m = 5;
    CoupleZoneK(k, m);
    EXPECT_EQ(k, 98);
    EXPECT_EQ(m, 99);
    k = 4, m = 5;
    CoupleZoneK(k, m);
    EXPECT_EQ(m, 5);
    k = 7, m = 7;
    CoupleZoneK(k, m);
    EXPECT_EQ(m, 8);
    k = 4, m = 3;
    CoupleZoneM(k, m);
    EXPECT_EQ(k, 2);
}

}  // namespace
}  // namespace amx
