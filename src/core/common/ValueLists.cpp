#include "common/ValueLists.h"

#include <limits>

#include "common/NumberText.h"
#include "common/Sentinels.h"

namespace amx {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool StartsValue(char c) { return c == '-' || c == '.' || IsDigit(c); }
bool ContinuesValue(char c) {
    return IsDigit(c) || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}
bool IsBarePiece(std::string_view p) {
    return p == "." || p == "-" || p == "+" || p == "E" || p == "e";
}

double ValueOfPiece(std::string_view piece) {
    int err = 0;
    long double v = ConvertExtended(NormaliseNumberText(piece), err);
    if (err != 0) return MissingValue;
    // A value beyond the double range cannot be held in a cell-sized list.
    if (v > std::numeric_limits<double>::max() || v < -std::numeric_limits<double>::max())
        return MissingValue;
    return static_cast<double>(v);
}

}  // namespace

ValueList ParseValueList(CommonState& cs, std::string_view text) {
    ValueList out;
    auto add = [&](std::string t, double v) {
        if (static_cast<int>(out.values.size()) >= MaxListEntries) return;
        out.texts.push_back(std::move(t));
        out.values.push_back(v);
    };
    bool entrySinceComma = false;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (StartsValue(c)) {
            std::size_t j = i;
            while (j < n && ContinuesValue(text[j])) ++j;
            std::string_view piece = text.substr(i, j - i);
            if (!IsBarePiece(piece)) {
                add(std::string(piece), ValueOfPiece(piece));
                entrySinceComma = true;
            }
            // The character that ends a value is its separator.
            if (j < n && text[j] == ',') entrySinceComma = false;
            i = j < n ? j + 1 : j;
        } else if (c == '\t') {
            add(std::string(), MissingValue);
            entrySinceComma = true;
            ++i;
        } else if (c == ',') {
            if (!entrySinceComma) {
                if (cs.BlankCommaQuestionPending) {
                    cs.BlankCommasAreMissing =
                        cs.messages->Ask("Want blank Commas to indicate missing values?",
                                         QuestionButtons::YesNo) == Answer::Yes;
                    cs.BlankCommaQuestionPending = false;
                }
                if (cs.BlankCommasAreMissing) add(std::string(), MissingValue);
            }
            entrySinceComma = false;
            ++i;
        } else {
            ++i;
        }
    }
    return out;
}

std::vector<double> ParseNumbers(std::string_view text) {
    std::vector<double> out;
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && static_cast<int>(out.size()) < MaxListEntries) {
        if (!StartsValue(text[i])) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < n && ContinuesValue(text[j])) ++j;
        std::string_view piece = text.substr(i, j - i);
        if (!IsBarePiece(piece)) out.push_back(ValueOfPiece(piece));
        i = j;
    }
    return out;
}

std::vector<long long> ParseIntegers(std::string_view text) {
    std::vector<long long> out;
    const std::size_t n = text.size();
    std::size_t i = 0;
    constexpr long long top = std::numeric_limits<long long>::max();
    while (i < n) {
        if (!IsDigit(text[i])) {
            ++i;
            continue;
        }
        long long v = 0;
        for (; i < n && IsDigit(text[i]); ++i) {
            const int d = text[i] - '0';
            v = v > (top - d) / 10 ? top : v * 10 + d;
        }
        out.push_back(v);
    }
    return out;
}

long long FirstPositiveInteger(std::string_view text) {
    const auto runs = ParseIntegers(text);
    if (runs.empty()) return -1;
    for (long long v : runs)
        if (v >= 1) return v;
    return runs.back();
}

}  // namespace amx
