#include "spc/ControlTests.h"

#include <algorithm>
#include <cmath>

#include "common/Settings.h"

namespace amx {

namespace {

const ControlTestSettings Defaults{};

// Window ranges of the editable counts; the rest stay 0.
struct Range {
    int lo, hi;
};
Range ValueRange(int entry) {
    switch (entry) {
        case TestValue::Run:
        case TestValue::Trend:
        case TestValue::Lack: return {2, 99};
        case TestValue::Excess:
        case TestValue::Alternating: return {3, 99};
        case TestValue::Zone1K:
        case TestValue::Zone2K: return {1, 99};
        case TestValue::Zone1M:
        case TestValue::Zone2M: return {2, 99};
        default: return {0, 0};
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Code points of a UTF-8 text. A byte that does not start a well-formed
// sequence stands for itself (a value written as one raw byte by an older
// store); the replacement character a lossy store leaves stays U+FFFD and is
// then out of every range.
std::vector<char32_t> CodePoints(const std::string& text) {
    std::vector<char32_t> out;
    const auto* b = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = b[i];
        const int extra = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 0;
        char32_t cp = c & (0x3F >> extra);
        bool wellFormed = extra > 0 && i + static_cast<std::size_t>(extra) < n;
        for (int k = 1; wellFormed && k <= extra; ++k) {
            if ((b[i + k] & 0xC0) != 0x80) wellFormed = false;
            else cp = (cp << 6) | (b[i + k] & 0x3F);
        }
        if (wellFormed) {
            out.push_back(cp);
            i += static_cast<std::size_t>(extra) + 1;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

}  // namespace

int ControlTestValueMin(int entry) { return ValueRange(entry).lo; }
int ControlTestValueMax(int entry) { return ValueRange(entry).hi; }

std::string ControlTestName(const ControlTestSettings& t, int test) {
    auto v = [&](int e) { return std::to_string(t.Values[e]); };
    switch (test) {
        case 1: return "Points Outside Control Limits";
        case 2: return "Run of " + v(TestValue::Run) + " or More Above/Below the Centerline";
        case 3: return "Trend of " + v(TestValue::Trend) + " or More Increasing/Decreasing";
        case 4: return "Excessive Variability, " + v(TestValue::Excess) + " or More Outside One Standard Error";
        case 5: return "Lack of Variability, " + v(TestValue::Lack) + " or More Inside One Standard Error";
        case 6: return v(TestValue::Alternating) + " or More Alternating Values";
        case 7: return v(TestValue::Zone1K) + " of " + v(TestValue::Zone1M) + " Outside One Standard Error";
        case 8: return v(TestValue::Zone2K) + " of " + v(TestValue::Zone2M) + " Outside Two Standard Error";
        case 9: return "Excessive Moving Range Between Two Points";
        default: return {};
    }
}

std::string EncodeTestFlags(const std::array<bool, ControlTestCount + 1>& flags) {
    std::string s;
    for (int i = 1; i <= ControlTestCount; ++i) s += flags[i] ? '1' : '0';
    return s;
}

std::string EncodeTestValues(const std::array<std::uint8_t, ControlTestValueCount>& values) {
    std::string s;
    for (auto v : values) AppendUtf8(s, static_cast<char32_t>(64 + v));
    return s;
}

void DecodeTestFlags(const std::string& text, std::array<bool, ControlTestCount + 1>& flags, bool movingRange) {
    const auto& defaults = movingRange ? Defaults.MR : Defaults.Std;
    flags = defaults;
    const auto cps = CodePoints(text);
    if (cps.size() == static_cast<std::size_t>(ControlTestCount)) {
        for (int i = 1; i <= ControlTestCount; ++i) {
            char32_t c = cps[i - 1];
            if (c == U'0' || c == U'1') flags[i] = c == U'1';
        }
    }
    // The moving-range chart has no moving-range test of its own.
    if (movingRange) flags[9] = false;
}

void DecodeTestValues(const std::string& text, std::array<std::uint8_t, ControlTestValueCount>& values) {
    values = Defaults.Values;
    const auto cps = CodePoints(text);
    if (cps.size() != static_cast<std::size_t>(ControlTestValueCount)) return;
    for (int i = 0; i < ControlTestValueCount; ++i) {
        const long v = static_cast<long>(cps[i]) - 64;
        const Range r = ValueRange(i);
        if (v >= r.lo && v <= r.hi) values[i] = static_cast<std::uint8_t>(v);
    }
    for (auto [k, m] : {std::pair{TestValue::Zone1K, TestValue::Zone1M}, std::pair{TestValue::Zone2K, TestValue::Zone2M}}) {
        if (values[k] >= values[m]) {
            values[k] = Defaults.Values[k];
            values[m] = Defaults.Values[m];
        }
    }
}

ControlTestSettings LoadControlTestSettings(CommonState& cs) {
    ControlTestSettings t;
    const std::string std = ReadSettingString(cs, SettingsKey, "StdControlTestCheck");
    if (cs.StatErrorCode != 0 || std.empty()) {
        cs.StatErrorCode = 0;
        return t;
    }
    DecodeTestFlags(std, t.Std, false);
    DecodeTestFlags(ReadSettingString(cs, SettingsKey, "MRControlTestCheck"), t.MR, true);
    DecodeTestValues(ReadSettingString(cs, SettingsKey, "ControlTestValues"), t.Values);
    cs.StatErrorCode = 0;
    return t;
}

void SaveControlTestSettings(CommonState& cs, const ControlTestSettings& t) {
    WriteSettingString(cs, SettingsKey, "StdControlTestCheck", EncodeTestFlags(t.Std));
    WriteSettingString(cs, SettingsKey, "MRControlTestCheck", EncodeTestFlags(t.MR));
    WriteSettingString(cs, SettingsKey, "ControlTestValues", EncodeTestValues(t.Values));
}

void CoupleZoneK(int& k, int& m) {
    const int top = ValueRange(TestValue::Zone1M).hi;
    if (k >= top) k = top - 1;
    if (k >= m) m = k + 1;
}

void CoupleZoneM(int& k, int& m) {
    if (m <= k) k = m - 1;
}

std::vector<std::string> RunControlTests(const ControlTestSettings& t, const std::vector<double>* columns[7],
                                         int N, bool movingRange) {
    std::vector<std::string> codes(static_cast<std::size_t>(std::max(N, 0)) + 1);
    if (N <= 0) return codes;
    const auto& x = *columns[0];
    const auto& lcl = *columns[1];
    const auto& cl = *columns[2];
    const auto& ucl = *columns[3];
    const auto& se = *columns[4];
    const auto& set = *columns[5];
    const auto& brk = *columns[6];
    auto ok = [](double v) { return v != MissingValue; };

    auto flags = movingRange ? t.MR : t.Std;
    if (movingRange) flags[9] = false;
    // Counts below a test's smallest meaningful window are raised to it, so
    // settings set in code can never make a test fire on every point.
    auto count = [&](int entry) { return std::max<int>(t.Values[entry], std::max(ValueRange(entry).lo, 1)); };
    const int nRun = count(TestValue::Run), nTrend = count(TestValue::Trend);
    const int nExcess = count(TestValue::Excess), nLack = count(TestValue::Lack);
    const int nAlt = count(TestValue::Alternating);
    int k1 = count(TestValue::Zone1K), m1 = count(TestValue::Zone1M);
    int k2 = count(TestValue::Zone2K), m2 = count(TestValue::Zone2M);
    if (k1 >= m1) k1 = m1 - 1;
    if (k2 >= m2) k2 = m2 - 1;

    // Outside counts of the zone bands as prefix sums, so a window's count is
    // one subtraction.
    std::vector<int> out1(static_cast<std::size_t>(N) + 1, 0), out2(static_cast<std::size_t>(N) + 1, 0);
    std::array<int, ControlTestCount + 1> marked{};  // last point already holding each letter
    int chain = 0, above = 0, below = 0, inc = 0, dec = 0, outRun = 0, inRun = 0, altRun = 0;
    int lastAbove = 0, lastBelow = 0, lastNoBand = 0;

    for (int p = 1; p <= N; ++p) {
        out1[p] = out1[p - 1];
        out2[p] = out2[p - 1];
        if (!ok(x[p])) continue;
        const bool link = p > 1 && ok(x[p - 1]) && brk[p - 1] != 1.0 && set[p - 1] == set[p];
        if (!link) chain = above = below = inc = dec = outRun = inRun = altRun = 0;
        ++chain;
        const double xp = x[p];
        const bool haveCL = ok(cl[p]);
        const bool band = haveCL && ok(se[p]);

        above = haveCL && xp > cl[p] ? above + 1 : 0;
        below = haveCL && xp < cl[p] ? below + 1 : 0;
        if (link) {
            inc = xp > x[p - 1] ? inc + 1 : 0;
            dec = xp < x[p - 1] ? dec + 1 : 0;
        }
        bool outside1 = false;
        if (band) {
            const double hi = cl[p] + se[p], lo = cl[p] - se[p];
            outside1 = xp > hi || xp < lo;
            if (xp > hi) lastAbove = p;
            if (xp < lo) lastBelow = p;
            outRun = outside1 ? outRun + 1 : 0;
            inRun = xp > lo && xp < hi ? inRun + 1 : 0;
            if (outside1) ++out1[p];
            if (xp > cl[p] + 2 * se[p] || xp < cl[p] - 2 * se[p]) ++out2[p];
        } else {
            outRun = inRun = 0;
            lastNoBand = p;
        }
        if (chain >= 3) {
            const double a = x[p - 2], b = x[p - 1];
            const bool extreme = (b > a && b > xp) || (b < a && b < xp);
            altRun = extreme ? altRun + 1 : 0;
        } else {
            altRun = 0;
        }

        std::string own;
        auto fire = [&](int test, int length) {
            const char letter = ControlTestCodes[test - 1];
            own += letter;
            for (int j = std::max({p - length + 1, marked[test] + 1, 1}); j < p; ++j)
                if (codes[j].find(letter) == std::string::npos) codes[j] += letter;
            marked[test] = p;
        };
        auto zone = [&](const std::vector<int>& out, int k, int m) {
            if (chain < m) return false;
            const int from = std::max(p - m, lastNoBand);
            return from < p && out[p] - out[from] == k;
        };

        if (flags[1] && ((ok(ucl[p]) && xp > ucl[p]) || (ok(lcl[p]) && xp < lcl[p]))) fire(1, 1);
        if (flags[2] && (above >= nRun || below >= nRun)) fire(2, nRun);
        if (flags[3] && (inc >= nTrend - 1 || dec >= nTrend - 1)) fire(3, nTrend);
        if (flags[4] && outRun >= nExcess && lastAbove > p - nExcess && lastBelow > p - nExcess) fire(4, nExcess);
        if (flags[5] && inRun >= nLack) fire(5, nLack);
        if (flags[6] && altRun >= nAlt - 2) fire(6, nAlt);
        if (flags[7] && zone(out1, k1, m1)) fire(7, m1);
        if (flags[8] && zone(out2, k2, m2)) fire(8, m2);
        if (flags[9] && chain >= 2 && ok(se[p]) && se[p] > 0 &&
            std::fabs(xp - x[p - 1]) > 3.6864 * se[p])
            fire(9, 1);
        codes[p] = std::move(own);
    }
    return codes;
}

}  // namespace amx
