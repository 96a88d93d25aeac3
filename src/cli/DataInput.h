#pragma once
// The data file every worksheet command reads: a path, or "-" for standard
// input (any format the program reads, a workbook included), and for a
// workbook the sheet.
#include <string>

#include <CLI/CLI.hpp>

namespace amx {
struct Session;
}

namespace amx::cli {

struct DataSource {
    std::string file;
    std::string sheet;  // a workbook's sheet by name or number; empty: the first
};

// Declares the required positional FILE (named `name`) and --sheet.
void AddDataFileArgument(CLI::App& app, DataSource& source, const std::string& name = "FILE");

// Loads the file ("-": standard input) into the session's worksheet and
// applies the global file modifications. Messages go to the session; false
// on error.
bool LoadDataFile(Session& s, const DataSource& source, bool applyGlobals = true);

}  // namespace amx::cli
