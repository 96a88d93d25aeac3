#include "worksheet/modifications/ModificationOptions.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "common/NumberText.h"
#include "session/Session.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/Transform.h"

namespace amx {

namespace {

std::string Trim(std::string_view t) {
    std::size_t b = 0, e = t.size();
    while (b < e && std::isspace(static_cast<unsigned char>(t[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(t[e - 1]))) --e;
    return std::string(t.substr(b, e - b));
}

std::string Lower(std::string_view t) {
    std::string out(t);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

}  // namespace

bool ParseMissingCondition(std::string_view text, int& sign, std::string& value) {
    const std::string t = Trim(text);
    static const std::pair<const char*, int> relations[] = {{">=", 3}, {"<=", 5}, {"=", 1}, {">", 2}, {"<", 4}};
    for (const auto& [op, code] : relations) {
        const std::string_view o(op);
        if (t.compare(0, o.size(), o) != 0) continue;
        value = Trim(std::string_view(t).substr(o.size()));
        int pos = 0;
        ConvertExtended(RemoveCommas(value), pos);
        if (value.empty() || pos != 0) return false;
        sign = code;
        return true;
    }
    return false;
}

bool SetMissingRuleFromTexts(Session& s, const std::vector<std::string>& conditions, std::string& error) {
    if (conditions.size() > 2) {
        error = "At most two missing-value conditions.";
        return false;
    }
    MissingRec working = s.Missing;
    working.Sign1 = working.Sign2 = 0;
    std::string values[2];
    for (std::size_t i = 0; i < conditions.size(); ++i) {
        int sign = 0;
        if (!ParseMissingCondition(conditions[i], sign, values[i])) {
            error = "Missing-value condition not understood: " + conditions[i];
            return false;
        }
        (i == 0 ? working.Sign1 : working.Sign2) = static_cast<std::uint8_t>(sign);
    }
    ApplyMissingDialog(s, working, values[0], values[1]);
    return true;
}

bool ParseProcessIfCondition(const Session& s, std::string_view text, ProcessIfCondition& condition,
                             std::string& error) {
    const std::string t = Trim(text);
    const std::string lower = Lower(t);
    // The relation: the list words first (a column name may hold "<" no more
    // than " in "), then the earliest operator.
    std::size_t at = std::string::npos, len = 0;
    int relation = 0;
    for (const auto& [word, code] : {std::pair<const char*, int>{" not in ", PiRelation::NotIn}, {" in ", PiRelation::In}}) {
        const std::size_t p = lower.find(word);
        if (p != std::string::npos) {
            at = p;
            len = std::string_view(word).size();
            relation = code;
            break;
        }
    }
    if (at == std::string::npos) {
        at = t.find_first_of("=<>");
        if (at != std::string::npos) {
            const std::string two = t.substr(at, 2);
            if (two == "<>") relation = PiRelation::NotEqual, len = 2;
            else if (two == ">=") relation = PiRelation::GreaterEqual, len = 2;
            else if (two == "<=") relation = PiRelation::LessEqual, len = 2;
            else if (t[at] == '=') relation = PiRelation::Equal, len = 1;
            else if (t[at] == '>') relation = PiRelation::Greater, len = 1;
            else relation = PiRelation::Less, len = 1;
        }
    }
    if (at == std::string::npos) {
        error = "Process If condition not understood: " + t;
        return false;
    }
    const std::string name = Trim(std::string_view(t).substr(0, at));
    std::string value = Trim(std::string_view(t).substr(at + len));
    const int columns = s.worksheet.ColumnCount();
    int column = 0;
    for (int c = 1; c <= columns && column == 0; ++c)
        if (s.worksheet.ColumnName(c) == name) column = c;
    for (int c = 1; c <= columns && column == 0; ++c)
        if (Lower(s.worksheet.ColumnName(c)) == Lower(name)) column = c;
    if (column == 0 && !name.empty() && std::all_of(name.begin(), name.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        const long n = std::strtol(name.c_str(), nullptr, 10);
        if (n >= 1 && n <= columns) column = static_cast<int>(n);
    }
    if (column == 0) {
        error = "Process If column not found: " + name;
        return false;
    }
    if (relation == PiRelation::In || relation == PiRelation::NotIn) {
        if (value.size() >= 2 && value.front() == '[' && value.back() == ']') value = value.substr(1, value.size() - 2);
    } else {
        int pos = 0;
        ConvertExtended(RemoveCommas(value), pos);
        if (value.empty() || pos != 0) {
            error = "Process If value is not a number: " + value;
            return false;
        }
    }
    condition = {column, s.worksheet.ColumnName(column), relation, value};
    return true;
}

bool SetProcessIfFromTexts(Session& s, const std::vector<std::string>& conditions, bool useOr, std::string& error) {
    if (conditions.size() > 2) {
        error = "At most two Process If conditions.";
        return false;
    }
    ProcessIfDialogInput input;
    input.andOr = useOr ? 1 : 0;
    for (std::size_t i = 0; i < conditions.size(); ++i)
        if (!ParseProcessIfCondition(s, conditions[i], input.cond[i], error)) return false;
    ApplyProcessIfDialog(s, input);
    return true;
}

int TransformNumberFromName(std::string_view name) {
    static const char* const names[TransformKind::Count] = {
        "none", "linear", "power1", "power2", "inv", "log", "exp",
        "arcsin", "sin", "uniform", "normal", "exponential", "chisquare"};
    const std::string n = Lower(Trim(name));
    for (int i = 0; i < TransformKind::Count; ++i)
        if (n == names[i]) return i;
    if (n == "chi-square") return TransformKind::RandomChiSquare;
    if (!n.empty() && n.size() <= 2 && std::all_of(n.begin(), n.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        const int k = std::stoi(n);
        if (k < TransformKind::Count) return k;
    }
    return -1;
}

bool SetTransformFromTexts(Session& s, std::string_view name, std::string_view a, std::string_view b,
                           std::string_view c, bool normFirst, std::string& error) {
    const int no = TransformNumberFromName(name);
    if (no < 0) {
        error = "Unknown transform: " + std::string(name);
        return false;
    }
    TransformRec t = s.Transform;
    SetTransformFromDialog(s, t, no, a, b, c, normFirst);
    if (!ValidateTransformConstants(s, t, error)) return false;
    s.Transform = t;
    return true;
}

}  // namespace amx
