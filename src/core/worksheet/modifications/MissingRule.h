#pragma once
// The missing-value rule: up to two conditions on a value ("X = 999",
// "X > 1000"), joined by "or"; a value that meets either counts as missing.
#include <string>
#include <string_view>

#include "worksheet/modifications/FileModState.h"

namespace amx {

struct Session;

// "=", ">", ">=", "<", "<=" for relations 1..5; "=" for none (0) and anything else.
std::string MissingRelationText(int sign);

// True when x meets a condition of relation `sign` against X; relation 0 never holds.
bool MissingConditionHolds(int sign, double x, double X);

// The rule's verdict on a present value: false when it counts as missing.
// True while the rule is off.
bool MissingRuleValid(const MissingRec& rule, double x);

// The dialog's OK: the working copy (relations as chosen) becomes the live
// rule, the two value boxes are converted (a condition whose box does not
// convert is dropped), and MissingText1/2 are set. Returns the status text,
// "Missing Off" or "Missing: X = 999, or X > 1000".
std::string ApplyMissingDialog(Session& s, const MissingRec& working, std::string_view box1,
                               std::string_view box2);

// The data editor's missing panel: "Missing: " + the texts, or "Missing Off".
std::string MissingStatusText(const FileModState& fm);

}  // namespace amx
