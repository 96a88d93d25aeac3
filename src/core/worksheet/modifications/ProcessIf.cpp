#include "worksheet/modifications/ProcessIf.h"

#include <algorithm>

#include "common/NumberText.h"
#include "common/ValueLists.h"
#include "session/Session.h"

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

    auto setValue = [&s](std::uint8_t sign, const std::string& text, double& X, std::string& XV,
                         std::vector<double>& LA, std::vector<std::string>& SLA) {
        LA.clear();
        SLA.clear();
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
    setValue(p.Sign1, c1.value, p.X1, p.XV1, p.LA1, p.SLA1);
    setValue(p.Sign2, c2.value, p.X2, p.XV2, p.LA2, p.SLA2);

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
