#include "common/NumberText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

#include "common/TextUtils.h"

namespace amx {
namespace {

// The decimal digits and exponent of x (x != 0, finite) rounded to 18
// significant digits: x ~ 0.d1d2...d18 * 10^(exponent + 1).
struct Decimal18 {
    std::string digits;  // exactly 18 digits, first nonzero
    int exponent = 0;    // of the first digit: x = d1.d2... * 10^exponent
};

Decimal18 ToDecimal18(long double x) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                           ExtendedDigits - 1);
    std::string_view s(buf, r.ptr - buf);  // d.ddddde+XX
    Decimal18 d;
    auto e = s.find('e');
    for (char c : s.substr(0, e))
        if (c != '.') d.digits += c;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+'), s.data() + s.size(), d.exponent);
    return d;
}

std::string NonFinite(long double x) {
    if (std::isnan(x)) return "NAN";
    return x < 0 ? "-INF" : "INF";
}

// Thousands separators into the integer digits of a fixed-notation text.
std::string GroupThousands(const std::string& s) {
    std::size_t start = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
    std::size_t end = start;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
    std::size_t n = end - start;
    if (n <= 3) return s;
    std::string out = s.substr(0, start);
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += s[start + i];
    }
    out += s.substr(end);
    return out;
}

bool AllZeroDigits(const std::string& s) {
    for (char c : s)
        if (c >= '1' && c <= '9') return false;
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string ToFixed(long double x, int decimals) {
    std::string buf(static_cast<std::size_t>(decimals) + 48, '\0');
    auto r = std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::fixed,
                           decimals);
    buf.resize(r.ptr - buf.data());
    return buf;
}

// Fixed notation rounded half away from zero, as report readers expect
// (0.125 -> "0.13", 2.5 -> "3"); the library rounds exact ties to even. A value
// is a tie when its text with one more place ends in 5 and reads back as the
// same extended value, so 2.675 typed in extended precision gives 2.68 while
// the double nearest 2.675 (2.67499999999999982) gives 2.67.
std::string RoundedFixed(long double x, int decimals) {
    std::string longer = ToFixed(x, decimals + 1);
    long double back = 0;
    const bool tie = longer.back() == '5' &&
                     std::from_chars(longer.data(), longer.data() + longer.size(), back).ec ==
                         std::errc() &&
                     back == x;
    if (!tie) return ToFixed(x, decimals);
    longer.pop_back();
    if (decimals == 0) longer.pop_back();  // the "."
    // Add one unit in the last place to the magnitude.
    int i = static_cast<int>(longer.size()) - 1;
    for (; i >= 0; --i) {
        char& c = longer[i];
        if (c == '.') continue;
        if (c == '-') break;
        if (c == '9') {
            c = '0';
            continue;
        }
        ++c;
        return longer;
    }
    longer.insert(static_cast<std::size_t>(i + 1), "1");
    return longer;
}

}  // namespace

std::string FormatFixed(int decimals, long double x, bool commas) {
    if (!std::isfinite(x)) return NonFinite(x);
    if (decimals < 0) decimals = 0;
    std::string out;
    if (x == 0) {
        out = "0";
        if (decimals > 0) out += "." + std::string(decimals, '0');
        return out;
    }
    // An upper bound of the decimal exponent from the binary one spares the
    // 18-digit conversion in the everyday case of few digits.
    int binaryExponent = 0;
    std::frexp(x, &binaryExponent);
    const long long exponentBound =
        static_cast<long long>(std::floor(binaryExponent * 0.30103)) + 1;
    Decimal18 d;
    bool fewDigits = exponentBound + 1 + decimals < ExtendedDigits;
    if (!fewDigits) {
        d = ToDecimal18(x);
        if (d.exponent >= ExtendedDigits) return FormatGeneral(x);
        fewDigits = static_cast<long long>(d.exponent) + 1 + decimals < ExtendedDigits;
    }
    if (fewDigits) {
        // Fewer digits than the 18 available: round the exact value once.
        out = RoundedFixed(x, decimals);
    } else {
        // All 18 digits show; the places beyond them print as zeros.
        std::string intPart, frac;
        if (d.exponent >= 0) {
            intPart = d.digits.substr(0, d.exponent + 1);
            frac = d.digits.substr(d.exponent + 1);
        } else {
            intPart = "0";
            frac = std::string(-d.exponent - 1, '0') + d.digits;
        }
        frac.resize(decimals, '0');
        out = (x < 0 ? "-" : "") + intPart;
        if (decimals > 0) out += "." + frac;
    }
    if (out[0] == '-' && AllZeroDigits(out)) out.erase(0, 1);
    return commas ? GroupThousands(out) : out;
}

std::string FormatNumber(NumberFormatKind kind, int decimals, long double x) {
    return FormatFixed(decimals, x, kind == NumberFormatKind::WithCommas);
}

std::string FormatNumber(const CommonState& cs, int decimals, long double x) {
    return FormatNumber(cs.numberFormat, decimals, x);
}

std::string FormatWithCommas(int decimals, long double x) { return FormatFixed(decimals, x, true); }

std::string FormatGeneral(long double x) {
    if (!std::isfinite(x)) return NonFinite(x);
    if (x == 0) return "0";
    Decimal18 d = ToDecimal18(x);
    std::string digits = d.digits;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = x < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= ExtendedDigits || e < -4) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(e);
    } else if (e >= 0) {
        if (digits.size() <= static_cast<std::size_t>(e) + 1) {
            out += digits + std::string(e + 1 - digits.size(), '0');
        } else {
            out += digits.substr(0, e + 1) + "." + digits.substr(e + 1);
        }
    } else {
        out += "0." + std::string(-e - 1, '0') + digits;
    }
    return out;
}

std::string FormatFixedOrGeneral(int decimals, long double x) {
    if (decimals == -1) return FormatGeneral(x);
    return FormatFixed(decimals, x, false);
}

int SignificantDecimals(int digits, long double x) {
    if (x == 0 || !std::isfinite(x)) return std::max(0, digits);
    // digits - 1 - floor(log10|x|), with the decimal exponent taken from the
    // 18-digit decimal form rather than from log10, which lands a hair below
    // -3 for 0.001 and would show one digit too many.
    const long long e = ToDecimal18(x).exponent;
    // Beyond the smallest extended values nothing more can show.
    return static_cast<int>(std::clamp(digits - 1 - e, 0LL, 4999LL));
}

std::string FormatSignificant(NumberFormatKind kind, int digits, long double x) {
    return FormatNumber(kind, SignificantDecimals(digits, x), x);
}

std::string FormatSignificant(const CommonState& cs, int digits, long double x) {
    return FormatSignificant(cs.numberFormat, digits, x);
}

std::string FormatNumberPadLeft(const CommonState& cs, int width, int decimals, long double x) {
    std::string s = FormatNumber(cs, decimals, x);
    return width == 0 ? s : PadLeft(s, width);
}

std::string FormatNumberPadRight(const CommonState& cs, int width, int decimals, long double x) {
    std::string s = FormatNumber(cs, decimals, x);
    return width == 0 ? s : PadRight(s, width);
}

std::string IntToTextPadLeft(long long n, int width) {
    std::string s = std::to_string(n);
    return width == 0 ? s : PadLeft(s, width);
}

std::string RemoveCommas(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ',') out += c;
    return out;
}

long double ConvertExtended(std::string_view text, int& errorPos) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto fail = [&](std::size_t at) {
        errorPos = static_cast<int>(at) + 1;
        return 0.0L;
    };
    while (i < n && IsBlank(text[i])) ++i;
    const std::size_t first = i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t numberStart = i;
    std::size_t intDigits = 0, fracDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++intDigits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++fracDigits;
    }
    if (intDigits + fracDigits == 0) return fail(i);
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) ++i, ++expDigits;
        if (expDigits == 0) return fail(i);
    }
    const std::size_t numberEnd = i;
    while (i < n && IsBlank(text[i])) ++i;
    if (i < n) return fail(i);

    std::string clean(text.substr(numberStart, numberEnd - numberStart));
    long double value = 0;
    auto r = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // Tell overflow from underflow with the C library under the "C" locale.
        static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        value = strtold_l(clean.c_str(), nullptr, cLocale);
        if (std::isinf(value)) return fail(first);
    } else if (r.ec != std::errc() || r.ptr != clean.data() + clean.size()) {
        return fail(first);
    }
    errorPos = 0;
    return negative ? -value : value;
}

int ConvertInteger(std::string_view text, int& errorPos) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto fail = [&](std::size_t at) {
        errorPos = static_cast<int>(at) + 1;
        return 0;
    };
    while (i < n && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    long long value = 0;
    std::size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) return fail(i);
        ++i, ++digits;
    }
    if (digits == 0) return fail(i);
    while (i < n && IsBlank(text[i])) ++i;
    if (i < n) return fail(i);
    errorPos = 0;
    return static_cast<int>(negative ? -value : value);
}

long double TextToExtended(CommonState& cs, std::string_view text) {
    return ConvertExtended(RemoveCommas(text), cs.StatErrorCode);
}

int TextToInteger(CommonState& cs, std::string_view text) {
    return ConvertInteger(RemoveCommas(text), cs.StatErrorCode);
}

std::string NormaliseNumberText(std::string_view text) {
    std::string s(text);
    if (s.empty()) return "0";
    if (s[0] == '.') s.insert(0, "0");
    else if (s.size() >= 2 && s[0] == '-' && s[1] == '.') s.insert(1, "0");
    if (s.size() > 1 && s.back() == '.') s.pop_back();
    return s;
}

std::string ReformatNumberText(NumberFormatKind kind, std::string_view text) {
    std::string s = RemoveCommas(text);
    if (kind == NumberFormatKind::WithoutCommas) return s;
    std::size_t start = 0;
    while (start < s.size() && IsBlank(s[start])) ++start;
    if (start < s.size() && (s[start] == '-' || s[start] == '+')) ++start;
    std::size_t end = start;
    while (end < s.size() && IsDigit(s[end])) ++end;
    std::string out = s.substr(0, start);
    const std::size_t run = end - start;
    for (std::size_t k = 0; k < run; ++k) {
        if (k > 0 && (run - k) % 3 == 0) out += ',';
        out += s[start + k];
    }
    return out + s.substr(end);
}

std::string ReformatNumberText(const CommonState& cs, std::string_view text) {
    return ReformatNumberText(cs.numberFormat, text);
}

}  // namespace amx
