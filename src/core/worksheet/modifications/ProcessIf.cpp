#include "worksheet/modifications/ProcessIf.h"

#include <algorithm>
#include <cctype>

#include "common/NumberText.h"
#include "common/ValueLists.h"
#include "session/Session.h"
#include "worksheet/DataList.h"

namespace amx {

std::string ProcessIfRelationText(int sign) {
    switch (sign) {
    case PiRelation::Greater: return ">";
    case PiRelation::GreaterEqual: return ">=";
    case PiRelation::Less: return "<";
    case PiRelation::LessEqual: return "<=";
    case PiRelation::NotEqual: return "<>";
    case PiRelation::In: return "in";
    case PiRelation::NotIn: return "Not in";
    default: return "=";
    }
}

std::string ProcessIfRelationSpaced(int sign) { return " " + ProcessIfRelationText(sign) + " "; }

const char* ProcessIfRelationItem(int sign) {
    static const char* const items[] = {"All", "=", ">", ">=", "<", "<=", "<>", "in", "Not in"};
    return sign >= 0 && sign <= 8 ? items[sign] : "All";
}

bool ProcessIfConditionHolds(const Session& s, int k, int row) {
    const ProcessIfRec& p = s.ProcessIf;
    const int sign = k == 1 ? p.Sign1 : p.Sign2;
    const int column = k == 1 ? p.PiIndex1 : p.PiIndex2;
    if (sign == PiRelation::All || sign > PiRelation::NotIn || column == 0) return true;
    const double v = s.DataList.Value(column, row);
    const double X = k == 1 ? p.X1 : p.X2;
    const std::vector<double>& list = k == 1 ? p.LA1 : p.LA2;
    switch (sign) {
    case PiRelation::Equal: return v == X;
    case PiRelation::NotEqual: return v != X;
    case PiRelation::In: return std::find(list.begin(), list.end(), v) != list.end();
    case PiRelation::NotIn: return std::find(list.begin(), list.end(), v) == list.end();
    default: break;
    }
    // An ordering against the missing-cell sentinel would let every missing
    // cell pass "< X": a row whose value is unknown meets no ordering.
    if (v == MissingValue) return false;
    switch (sign) {
    case PiRelation::Greater: return v > X;
    case PiRelation::GreaterEqual: return v >= X;
    case PiRelation::Less: return v < X;
    case PiRelation::LessEqual: return v <= X;
    default: return true;
    }
}

bool ProcessIfPasses(const Session& s, int row) {
    const ProcessIfRec& p = s.ProcessIf;
    if (!p.Active) return true;
    const bool c1 = ProcessIfConditionHolds(s, 1, row);
    const bool c2 = ProcessIfConditionHolds(s, 2, row);
    return p.AndOr == 1 ? (c1 || c2) : (c1 && c2);
}

void ResetProcessIf(FileModState& fm) {
    ProcessIfRec& p = fm.ProcessIf;
    p.Active = false;
    p.Sign1 = p.Sign2 = 0;
    p.Signtext1 = p.Signtext2 = "=";
    p.X1 = p.X2 = 0.0;
    p.PiIndex1 = p.PiIndex2 = 0;
    p.Xstr1 = p.Xstr2 = "0";
    p.XV1.clear();
    p.XV2.clear();
    p.LA1.clear();
    p.LA2.clear();
    p.SLA1.clear();
    p.SLA2.clear();
    p.AndOr = 0;
    fm.ProcessIfText1.clear();
    fm.ProcessIfText2.clear();
}

namespace {

std::string WithoutBrackets(const std::string& text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') return text.substr(1, text.size() - 2);
    return text;
}

bool IsListRelation(int sign) { return sign == PiRelation::In || sign == PiRelation::NotIn; }

bool IsTextColumn(const Session& s, int column) {
    return column >= 1 && column < ColumnSlots && column <= s.DataList.MaxCol() && s.DataList.StringVar[column];
}

void EnsureParsed(Session& s) {
    if (s.DataDirty || !s.DataList.Parsed() || s.DataList.ParsedRevision() != s.worksheet.Revision()) UpdateData(s);
}

std::string Trimmed(std::string_view t) {
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ') t.remove_prefix(1);
    while (!t.empty() && static_cast<unsigned char>(t.back()) <= ' ') t.remove_suffix(1);
    return std::string(t);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The level of a text column a typed name means, 0 when none. A whole
// number that names no level is the level's number, as the filter has
// always compared them.
int LevelOf(const std::vector<std::string>& levels, std::string_view name, bool* byNumber = nullptr) {
    if (byNumber) *byNumber = false;
    for (std::size_t i = 0; i < levels.size(); ++i)
        if (SameIgnoringCase(levels[i], name)) return static_cast<int>(i) + 1;
    if (name.empty() || name.size() > 9 ||
        !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int k = std::stoi(std::string(name));
    if (k < 1 || k > static_cast<int>(levels.size())) return 0;
    if (byNumber) *byNumber = true;
    return k;
}

// A text column's "in" list: names separated by commas.
std::vector<std::string> ListNames(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(',', start);
        std::string name = Trimmed(std::string_view(text).substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (!name.empty()) out.push_back(std::move(name));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return out;
}

}  // namespace

namespace {

// The value box of a list condition, from its entries: a missing entry
// (typed as a tab) goes back as a tab, so OK on the reopened dialog reads the
// same list whatever the blank-commas answer is by then.
std::string ListBoxText(const std::string& shown, const std::vector<std::string>& entries) {
    bool anyMissing = false;
    for (const auto& e : entries) anyMissing |= e.empty();
    if (!anyMissing) return WithoutBrackets(shown);
    std::string text;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) text += ',';
        text += entries[i].empty() ? std::string("\t") : entries[i];
    }
    return text;
}

}  // namespace

std::vector<std::string> ProcessIfLevels(Session& s, int column) {
    EnsureParsed(s);
    std::vector<std::string> out;
    if (!IsTextColumn(s, column)) return out;
    const int n = static_cast<int>(s.DataList.LevelRows[column].size());
    for (int level = 1; level < n; ++level) out.push_back(GetLevelName(s, column, level));
    return out;
}

std::string ProcessIfInputError(Session& s, const ProcessIfDialogInput& input) {
    for (const ProcessIfCondition& c : input.cond) {
        if (c.column == 0 || c.relation <= 0 || c.relation > 8) continue;
        const std::string value = Trimmed(c.value);
        // A list may hold just a missing entry (a tab).
        if (IsListRelation(c.relation) ? c.value.empty() : value.empty())
            return "Enter a value to compare " + c.name + " with.";
        const std::vector<std::string> levels = ProcessIfLevels(s, c.column);
        if (levels.empty()) continue;
        const std::vector<std::string> names =
            IsListRelation(c.relation) ? ListNames(value) : std::vector<std::string>{value};
        for (const std::string& n : names)
            if (!LevelOf(levels, n)) return "\"" + n + "\" is not a value of " + c.name + ".";
    }
    return {};
}

ProcessIfDialogInput CurrentProcessIfInput(const FileModState& fm) {
    const ProcessIfRec& p = fm.ProcessIf;
    ProcessIfDialogInput in;
    in.andOr = p.AndOr;
    in.cond[0] = {p.PiIndex1, p.PiIndex1 ? p.Xstr1 : std::string(), p.Sign1,
                  IsListRelation(p.Sign1) ? ListBoxText(p.XV1, p.SLA1) : p.XV1};
    in.cond[1] = {p.PiIndex2, p.PiIndex2 ? p.Xstr2 : std::string(), p.Sign2,
                  IsListRelation(p.Sign2) ? ListBoxText(p.XV2, p.SLA2) : p.XV2};
    return in;
}

std::string ApplyProcessIfDialog(Session& s, const ProcessIfDialogInput& input) {
    ProcessIfRec& p = s.ProcessIf;
    const ProcessIfCondition& c1 = input.cond[0];
    const ProcessIfCondition& c2 = input.cond[1];
    auto clampSign = [](int r) { return static_cast<std::uint8_t>(r >= 0 && r <= 8 ? r : 0); };
    p.Sign1 = clampSign(c1.relation);
    p.Sign2 = clampSign(c2.relation);
    p.Signtext1 = ProcessIfRelationText(p.Sign1);
    p.Signtext2 = ProcessIfRelationText(p.Sign2);
    auto clampColumn = [](int c) { return static_cast<std::uint16_t>(c >= 1 && c <= MaxColumns ? c : 0); };
    p.PiIndex1 = clampColumn(c1.column);
    p.PiIndex2 = clampColumn(c2.column);
    const bool has1 = p.Sign1 != 0 && p.PiIndex1 != 0;
    const bool has2 = p.Sign2 != 0 && p.PiIndex2 != 0;
    // Procedure windows refresh either way: what they would load has changed.
    ++s.VariablesVersion;
    if (!has1 && !has2) {
        p.Active = false;
        s.ProcessIfText1.clear();
        s.ProcessIfText2.clear();
        return "Process If Off";
    }
    p.AndOr = input.andOr == 1 ? 1 : 0;
    p.Xstr1 = c1.name;
    p.Xstr2 = c2.name;
    p.XV1 = c1.value;
    p.XV2 = c2.value;

    auto setValue = [&s](std::uint8_t sign, int column, const std::string& text, double& X, std::string& XV,
                         std::vector<double>& LA, std::vector<std::string>& SLA) {
        LA.clear();
        SLA.clear();
        // A text column compares its level numbers; the user names levels.
        const std::vector<std::string> levels = sign ? ProcessIfLevels(s, column) : std::vector<std::string>();
        if (!levels.empty()) {
            if (IsListRelation(sign)) {
                XV = "[";
                for (const std::string& n : ListNames(text)) {
                    bool byNumber = false;
                    const int level = LevelOf(levels, n, &byNumber);
                    if (!level || LA.size() >= MaxListEntries) continue;
                    LA.push_back(level);
                    SLA.push_back(byNumber ? n : levels[static_cast<std::size_t>(level) - 1]);
                    XV += (LA.size() > 1 ? "," : "") + SLA.back();
                }
                XV += "]";
            } else {
                bool byNumber = false;
                const int level = LevelOf(levels, Trimmed(text), &byNumber);
                X = level;
                if (level && !byNumber) XV = levels[static_cast<std::size_t>(level) - 1];
            }
            return;
        }
        if (IsListRelation(sign)) {
            ValueList list = ParseValueList(s, text);
            const std::size_t n = std::min<std::size_t>(list.size(), MaxListEntries);
            LA.assign(list.values.begin(), list.values.begin() + static_cast<std::ptrdiff_t>(n));
            SLA.assign(list.texts.begin(), list.texts.begin() + static_cast<std::ptrdiff_t>(n));
            XV = "[";
            for (std::size_t i = 0; i < n; ++i) XV += (i ? "," : "") + SLA[i];
            XV += "]";
        } else {
            // A value that does not convert compares as 0.
            X = static_cast<double>(TextToExtended(s, text));
            s.StatErrorCode = 0;
        }
    };
    setValue(p.Sign1, p.PiIndex1, c1.value, p.X1, p.XV1, p.LA1, p.SLA1);
    setValue(p.Sign2, p.PiIndex2, c2.value, p.X2, p.XV2, p.LA2, p.SLA2);

    p.Active = true;
    s.ProcessIfText1.clear();
    s.ProcessIfText2.clear();
    if (has1)
        s.ProcessIfText1 = p.Xstr1 + ProcessIfRelationSpaced(p.Sign1) + p.XV1;
    else
        p.Sign1 = 0;
    if (has2)
        s.ProcessIfText2 = p.Xstr2 + ProcessIfRelationSpaced(p.Sign2) + p.XV2;
    else
        p.Sign2 = 0;

    std::string status = "Process If: " + s.ProcessIfText1;
    if (has1 && has2) status += ", ";
    status += s.ProcessIfText2;
    return status;
}

std::string ProcessIfStatusText(const FileModState& fm) {
    if (!fm.ProcessIf.Active || (fm.ProcessIfText1.empty() && fm.ProcessIfText2.empty())) return "Process If Off";
    std::string text = "Process If: " + fm.ProcessIfText1;
    if (!fm.ProcessIfText1.empty() && !fm.ProcessIfText2.empty())
        text += fm.ProcessIf.AndOr == 1 ? " or " : " and ";
    return text + fm.ProcessIfText2;
}

KeyResult ProcessIfListKey(const KeyBox& box, char32_t key) {
    const bool ok = (key >= '0' && key <= '9') || key == ' ' || key == ',' || key == '.' || key == '-' ||
                    key == KeyBackspace;
    return {ok ? KeyAction::PassToBox : KeyAction::Reject, box};
}

}  // namespace amx
