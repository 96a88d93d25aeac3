#include "common/TextUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

namespace amx {
namespace {
bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(std::max(0, n)), ' '); }

std::string Dashes(int n) { return std::string(static_cast<std::size_t>(std::max(0, n)), '-'); }

int TextWidth(std::string_view text) {
    int n = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

std::string PadLeft(std::string_view text, int width) {
    int w = TextWidth(text);
    return w >= width ? std::string(text) : Spaces(width - w) + std::string(text);
}

std::string PadRight(std::string_view text, int width) {
    int w = TextWidth(text);
    return w >= width ? std::string(text) : std::string(text) + Spaces(width - w);
}

std::string TrimSpaces(std::string_view text) {
    auto b = text.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    auto e = text.find_last_not_of(' ');
    return std::string(text.substr(b, e - b + 1));
}

std::string RemoveSpaces(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out += c;
    return out;
}

std::string CollapseSpaces(std::string_view text) {
    std::string t = TrimSpaces(text), out;
    for (char c : t)
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
    return out;
}

std::string DropLastChar(std::string_view text) {
    if (text.empty()) return {};
    // Drop a whole UTF-8 character, not a stray byte of it.
    std::size_t n = text.size() - 1;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return std::string(text.substr(0, n));
}

std::string DropColumnCode(std::string_view text) {
    return text.size() <= 2 ? std::string() : std::string(text.substr(2));
}

std::vector<std::string> SplitAt(std::string_view delimiter, std::string_view text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    auto trim = [](std::string_view s) {
        while (!s.empty() && IsTrimmable(s.front())) s.remove_prefix(1);
        while (!s.empty() && IsTrimmable(s.back())) s.remove_suffix(1);
        return std::string(s);
    };
    if (delimiter.empty()) {
        out.push_back(trim(text));
        return out;
    }
    std::size_t pos = 0;
    while (true) {
        auto at = text.find(delimiter, pos);
        if (at == std::string_view::npos) {
            out.push_back(trim(text.substr(pos)));
            break;
        }
        out.push_back(trim(text.substr(pos, at - pos)));
        pos = at + delimiter.size();
        if (pos == text.size()) break;
    }
    return out;
}

bool ContainsNonNumericChar(std::string_view text) {
    static constexpr std::string_view allowed = "\t 0123456789$%+,-.Ee";
    return text.find_first_not_of(allowed) != std::string_view::npos;
}

int IndexOfValue(const std::vector<double>& values, int from, int count, double x) {
    const int last = std::min(count, static_cast<int>(values.size()) - 1);
    for (int i = std::max(from, 1); i <= last; ++i)
        if (values[i] == x) return i;
    return 0;
}

void SortAscending(std::vector<double>& values, int count) {
    const int last = std::min(count, static_cast<int>(values.size()) - 1);
    if (last < 2) return;
    std::sort(values.begin() + 1, values.begin() + 1 + last);
}

double SecondsOfDay() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    double frac = duration<double>(now.time_since_epoch()).count();
    frac -= std::floor(frac);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + frac;
}

bool HasUserTitle(const CommonState& cs) { return !cs.UserChartTitle.empty(); }

void AppendWork(CommonState& cs, std::string_view text) { cs.WorkString += text; }

}  // namespace amx
