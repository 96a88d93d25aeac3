#pragma once
// The one optional command-line argument: a data file path (quotes removed)
// or "@LAST" for the most recent file.
#include <string>
#include <vector>

#include "shell/MRUFiles.h"

namespace amx {

// Joins the arguments after the program name with single spaces (a path with
// blanks passed unquoted arrives split), removes every double quote and trims
// leading and trailing spaces. "@LAST" in any letter case becomes the most
// recent file of the list (empty when the list is empty). Paths are never
// shortened.
std::string CommandLineFile(const std::vector<std::string>& argsAfterProgram, const TMRUFiles& mru);

}  // namespace amx
