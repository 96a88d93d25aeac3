#include "worksheet/modifications/MissingRule.h"

#include "common/NumberText.h"
#include "session/Session.h"

namespace amx {

std::string MissingRelationText(int sign) {
    switch (sign) {
    case 2: return ">";
    case 3: return ">=";
    case 4: return "<";
    case 5: return "<=";
    default: return "=";
    }
}

bool MissingConditionHolds(int sign, double x, double X) {
    switch (sign) {
    case 1: return x == X;
    case 2: return x > X;
    case 3: return x >= X;
    case 4: return x < X;
    case 5: return x <= X;
    default: return false;
    }
}

bool MissingRuleValid(const MissingRec& rule, double x) {
    if (!rule.Active) return true;
    return !MissingConditionHolds(rule.Sign1, x, rule.X1) && !MissingConditionHolds(rule.Sign2, x, rule.X2);
}

namespace {

// Converts one condition's box; a box that does not convert drops the condition.
bool ConvertCondition(CommonState& cs, std::uint8_t& sign, std::string& signText, double& X, std::string& xstr,
                      std::string_view box) {
    xstr = std::string(box);
    if (sign < 1 || sign > 5) {
        sign = 0;
        signText = "=";
        return false;
    }
    const long double value = TextToExtended(cs, box);
    if (cs.StatErrorCode != 0) {
        cs.StatErrorCode = 0;
        sign = 0;
        signText = "=";
        return false;
    }
    X = static_cast<double>(value);
    signText = MissingRelationText(sign);
    return true;
}

}  // namespace

std::string ApplyMissingDialog(Session& s, const MissingRec& working, std::string_view box1,
                               std::string_view box2) {
    MissingRec& m = s.Missing;
    m = working;
    s.MissingText1.clear();
    s.MissingText2.clear();
    if (m.Sign1 == 0 && m.Sign2 == 0) {
        m.Active = false;
        return "Missing Off";
    }
    const bool valid1 = ConvertCondition(s, m.Sign1, m.Signtext1, m.X1, m.Xstr1, box1);
    const bool valid2 = ConvertCondition(s, m.Sign2, m.Signtext2, m.X2, m.Xstr2, box2);
    std::string status;
    if (valid1) {
        s.MissingText1 = "X " + m.Signtext1 + " " + m.Xstr1;
        status = "Missing: " + s.MissingText1;
    }
    if (valid2) {
        s.MissingText2 = "X " + m.Signtext2 + " " + m.Xstr2;
        status += valid1 ? ", or " + s.MissingText2 : "Missing: " + s.MissingText2;
    }
    // With no condition left the rule would reject nothing; say so rather than
    // show an empty rule as active.
    m.Active = valid1 || valid2;
    return m.Active ? status : "Missing Off";
}

std::string MissingStatusText(const FileModState& fm) {
    if (!fm.Missing.Active || (fm.MissingText1.empty() && fm.MissingText2.empty())) return "Missing Off";
    std::string text = "Missing: " + fm.MissingText1;
    if (!fm.MissingText2.empty()) text += (fm.MissingText1.empty() ? "" : ", ") + fm.MissingText2;
    return text;
}

}  // namespace amx
