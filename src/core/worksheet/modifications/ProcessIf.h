#pragma once
// The Process If filter: up to two conditions on worksheet columns, joined by
// "And" or "Or"; rows that fail are left out of every analysis. Conditions
// compare the parsed cell (MissingValue for a missing cell, the level number
// in a text column).
#include <string>
#include <string_view>
#include <vector>

#include "common/KeyFilters.h"
#include "worksheet/modifications/FileModState.h"

namespace amx {

struct Session;

// "=", ">", ">=", "<", "<=", "<>", "in", "Not in" for relations 1..8; "=" otherwise.
std::string ProcessIfRelationText(int sign);
// The same with the blanks a condition text has around it (" > ", " Not in ").
std::string ProcessIfRelationSpaced(int sign);
// The relation items of the dialog, relation 0..8: "All", "=", ... "Not in".
const char* ProcessIfRelationItem(int sign);

// Condition k (1 or 2) of the live filter on row `row`.
bool ProcessIfConditionHolds(const Session& s, int k, int row);
// The filter's verdict on a worksheet row; true while it is off.
bool ProcessIfPasses(const Session& s, int row);

// Off, both conditions "All" on no column, values 0, And. A new worksheet,
// every file load and inserting or deleting columns call it.
void ResetProcessIf(FileModState& fm);

// What the dialog shows and hands back for one condition.
struct ProcessIfCondition {
    int column = 0;     // 0 = none
    std::string name;   // the column name in the name box
    int relation = 0;   // 0..8
    std::string value;  // the value box; for "in"/"Not in" the list without brackets
};

struct ProcessIfDialogInput {
    ProcessIfCondition cond[2];
    int andOr = 0;  // 0 And, 1 Or
};

// The boxes as the dialog opens on the live filter.
ProcessIfDialogInput CurrentProcessIfInput(const FileModState& fm);

// The dialog's OK: the input becomes the live filter ("in" lists go through
// the value-list parser, which may ask the blank-commas question), the
// condition texts are set and VariablesVersion is bumped so procedure windows
// refresh. Returns the status text, "Process If Off" or "Process If: ...".
std::string ApplyProcessIfDialog(Session& s, const ProcessIfDialogInput& input);

// The levels of a text column in level order (the worksheet is parsed
// first when it changed since the last parse); empty for a numeric column.
std::vector<std::string> ProcessIfLevels(Session& s, int column);
// What keeps the dialog's boxes from becoming the filter, "" when nothing:
// a condition on a column with an empty value box, or a value of a text
// column that names none of its levels (matched without letter case).
std::string ProcessIfInputError(Session& s, const ProcessIfDialogInput& input);

// The data editor's Process If panel: "Process If: " + text 1 + " and "/" or "
// + text 2, or "Process If Off".
std::string ProcessIfStatusText(const FileModState& fm);

// Key filter of a value box while its relation is "in" or "Not in": digits,
// blank, comma, ".", "-" and backspace go in; anything else is rejected.
KeyResult ProcessIfListKey(const KeyBox& box, char32_t key);

}  // namespace amx
