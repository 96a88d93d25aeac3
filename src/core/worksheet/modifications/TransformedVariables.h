#pragma once
// Writes the transform into the worksheet: new columns "f(" + name + ")" or
// the chosen columns themselves.
#include <vector>

namespace amx {

struct Session;

struct TransformedVariableRequest {
    std::vector<int> columns;  // the checked columns, 1-based
    bool modify = false;       // false: add new columns; true: rewrite these
    bool turnOffWhenDone = false;
};

// Rows that pass Process If and whose value passes the missing-value rule get
// the transformed value (FormatGeneral); other rows get an empty cell in a new
// column and keep their old text in a modified one. A column whose transform
// fails is not written ("Transform Failed for: " + name). Nothing happens
// without a transform; too many columns gives "Maximum Number of Columns
// Exceeded." and adds nothing. Returns the number of columns written.
int AddTransformedVariables(Session& s, const TransformedVariableRequest& request);

}  // namespace amx
