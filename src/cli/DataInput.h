#pragma once
// The data file every worksheet command reads: a path, or "-" for standard
// input (any format the program reads, a workbook included).
#include <string>

#include <CLI/CLI.hpp>

namespace amx {
struct Session;
}

namespace amx::cli {

// Declares the required positional FILE.
CLI::Option* AddDataFileArgument(CLI::App& app, std::string& file, const std::string& name = "FILE");

// Loads `file` ("-": standard input) into the session's worksheet and applies
// the global file modifications. Messages go to the session; false on error.
bool LoadDataFile(Session& s, const std::string& file, bool applyGlobals = true);

}  // namespace amx::cli
