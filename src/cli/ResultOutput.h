#pragma once
// --format text|json|csv for every command that prints results.
//
//   text  (default) each table as its caption and aligned columns (or tab-
//         separated with --tabs), then the report text; printed as produced.
//   json  one object per run, printed at the end:
//           {"command": ..., "file": ..., "modifications": [lines],
//            "tables": [{"name", "caption", "columns": [...],
//                        "rows": [{column: value, ...}, ...]}, ...],
//            "report": "text" or null}
//         numbers are JSON numbers; an empty or not-available cell is null.
//   csv   the one table of the run (choose it with the command's page
//         option), RFC 4180.
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "report/ResultTable.h"

namespace amx {
struct Session;
class ReportDocument;
}  // namespace amx

namespace amx::cli {

enum class OutputFormat { Text, Json, Csv };

struct OutputOptions {
    OutputFormat format = OutputFormat::Text;
    bool tabs = false;  // text tables tab-separated instead of aligned
};

// Declares --format (and --tabs when `withTabs`).
void AddFormatOption(CLI::App& app, OutputOptions& options, bool withTabs = false);

class ResultOutput {
public:
    ResultOutput(std::string command, const OutputOptions& options);

    // The data file and the active file modifications (the session's
    // FileModString), for the JSON object.
    void SetSource(Session& s, const std::string& file);
    // One result table; `name` is the page's name in JSON.
    void Table(const std::string& name, const ResultTable& table);
    // The report text (every line of the document).
    void Report(const ReportDocument& pane);
    // Prints what JSON and CSV collect. Returns the exit code: 0, or 2 when
    // CSV was asked for and the run holds not exactly one table.
    int Finish();

    bool Csv() const { return options_.format == OutputFormat::Csv; }

private:
    std::string command_;
    OutputOptions options_;
    std::optional<std::string> file_;
    std::vector<std::string> modifications_;
    std::vector<std::pair<std::string, ResultTable>> tables_;
    std::optional<std::string> report_;
};

}  // namespace amx::cli
