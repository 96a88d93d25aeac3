#pragma once
// Where the file modifications (the missing-value rule, the Process If row
// filter and the transform) meet the sample loaders. Every loader of
// DataList.h asks these four functions, and nothing else, so the rules plug in
// here without touching the loaders. Until the rules exist they accept every
// value and every row and change nothing.
namespace amx {

struct Session;

// The missing-value rule's verdict on a present value (MissingValue itself
// never reaches it): false when the value counts as missing.
bool MissingRuleAccepts(const Session& s, double x);

// The Process If filter's verdict on worksheet row `row` (1-based).
bool ProcessIfAccepts(const Session& s, int row);

// Applies the active transform in place to A_Array[1..ATop] after a load in
// selection mode `mode` (never called for the spare-column modes 8, 9 and 10,
// nor for an empty sample). A transform error is reported there and switches
// the transform off.
void TransformLoadedSample(Session& s, int mode);

// A new worksheet (and so every file load) turns Process If off and resets it
// and switches the transform off; the missing-value rule stays.
void ResetModificationsForNewWorksheet(Session& s);

}  // namespace amx
