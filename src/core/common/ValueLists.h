#pragma once
// Lists of numbers typed by the user ("1, 2.5, -3"), as read by the Process If
// dialog and the control chart setup.
#include <string>
#include <string_view>
#include <vector>

#include "common/CommonState.h"

namespace amx {

inline constexpr int MaxListEntries = 512;

// Parallel lists: the text of each entry and its value (MissingValue for an
// empty entry or a text that is not a number).
struct ValueList {
    std::vector<std::string> texts;
    std::vector<double> values;
    std::size_t size() const { return values.size(); }
};

// A value starts at "-", "." or a digit and runs over "+-.", digits and "Ee".
// A tab outside a value is an empty entry. A comma with no entry since the
// previous comma (or the start) is a blank comma: the first one after a file
// load asks whether blank commas mean missing values, and they give empty
// entries only while the answer stands as Yes.
ValueList ParseValueList(CommonState& cs, std::string_view text);

// The same value syntax with every other character a separator; no question.
std::vector<double> ParseNumbers(std::string_view text);

// The runs of digits as integers (a run too long for 64 bits saturates).
std::vector<long long> ParseIntegers(std::string_view text);

// -1 for an empty text or one without digits; else the first run of digits
// worth at least 1, or the last run's value when every run is 0.
long long FirstPositiveInteger(std::string_view text);

}  // namespace amx
