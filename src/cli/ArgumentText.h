#pragma once
// Reading the words users type into command options: letter case, lists and
// columns named by name or number.
#include <string>
#include <vector>

namespace amx {
struct Session;
}

namespace amx::cli {

std::string Lower(std::string text);

// The items of a comma-separated list, trimmed of blanks; empty items are
// dropped, so an empty text gives none.
std::vector<std::string> SplitList(const std::string& text);

// A column by its name (any letter case) or its number; 0 when none.
int FindColumn(const Session& s, const std::string& text);

}  // namespace amx::cli
