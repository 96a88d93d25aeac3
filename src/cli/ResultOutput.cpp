#include "ResultOutput.h"

#include <cmath>
#include <cstdio>
#include <map>

#include <nlohmann/json.hpp>

#include "report/ReportDocument.h"
#include "session/Session.h"
#include "worksheet/modifications/FileModText.h"

namespace amx::cli {

// Keys keep the order of the columns.
using Json = nlohmann::ordered_json;

void AddFormatOption(CLI::App& app, OutputOptions& options, bool withTabs) {
    app.add_option_function<std::string>(
           "--format",
           [&options](const std::string& v) {
               options.format = v == "json" ? OutputFormat::Json : v == "csv" ? OutputFormat::Csv : OutputFormat::Text;
           },
           "text (default), json (one object per run) or csv (one table)")
        ->type_name("FORMAT")
        ->transform(CLI::IsMember({"text", "json", "csv"}, CLI::ignore_case).description(""))
        ->group("Output");
    if (withTabs) app.add_flag("--tabs", options.tabs, "text tables tab-separated instead of aligned")->group("Output");
}

ResultOutput::ResultOutput(std::string command, const OutputOptions& options)
    : command_(std::move(command)), options_(options) {}

void ResultOutput::SetSource(Session& s, const std::string& file) {
    file_ = file;
    modifications_.clear();
    if (!GetFileModString(s)) return;
    std::string line;
    for (char c : s.FileModString + "\n") {
        if (c == '\r') continue;
        if (c == '\n') {
            if (!line.empty()) modifications_.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
}

void ResultOutput::Table(const std::string& name, const ResultTable& table) {
    if (options_.format != OutputFormat::Text) {
        tables_.emplace_back(name, table);
        return;
    }
    std::printf("%s\n", table.caption.c_str());
    if (options_.tabs) {
        for (char c : ResultTableText(table))
            if (c != '\r') std::fputc(c, stdout);
    } else {
        for (const auto& line : ResultTableLines(table)) std::printf("%s\n", line.c_str());
    }
    std::printf("\n");
}

void ResultOutput::Report(const ReportDocument& pane) {
    std::string text;
    for (const Paragraph& line : pane.Lines()) text += line.Text() + "\n";
    if (options_.format == OutputFormat::Text)
        std::fputs(text.c_str(), stdout);
    else
        report_ = text;
}

namespace {

Json TableJson(const std::string& name, const ResultTable& t) {
    // Column names as keys, each unique so no value is lost.
    std::vector<std::string> keys;
    std::map<std::string, int> seen;
    for (int c = 0; c < t.ColumnCount(); ++c) {
        std::string key = t.Cell(c, 0);
        if (key.empty()) key = "Column " + std::to_string(c + 1);
        // A repeated heading (each test's "p-value") is named after the
        // column before it: "(S-W)W p-value".
        if (seen.count(key) && c > 0) key = keys.back() + " " + key;
        const int n = ++seen[key];
        keys.push_back(n == 1 ? key : key + " (" + std::to_string(n) + ")");
    }
    Json rows = Json::array();
    for (int r = 1; r <= t.RowCount(); ++r) {
        Json row = Json::object();
        for (int c = 0; c < t.ColumnCount(); ++c) {
            const CellValue v = ResultCellValue(t, c, r);
            switch (v.kind) {
                case CellValue::Kind::Null: row[keys[c]] = nullptr; break;
                case CellValue::Kind::Number:
                    // Counts stay whole numbers in the JSON text.
                    if (v.number == std::trunc(v.number) && std::fabs(v.number) < 9.0e15)
                        row[keys[c]] = static_cast<long long>(v.number);
                    else
                        row[keys[c]] = v.number;
                    break;
                case CellValue::Kind::Text: row[keys[c]] = v.text; break;
            }
        }
        rows.push_back(std::move(row));
    }
    return {{"name", name}, {"caption", t.caption}, {"columns", keys}, {"rows", std::move(rows)}};
}

}  // namespace

int ResultOutput::Finish() {
    if (options_.format == OutputFormat::Text) return 0;
    if (options_.format == OutputFormat::Csv) {
        if (tables_.size() != 1) {
            std::fprintf(stderr, "--format csv writes one table; this run has %zu (choose one page).\n",
                         tables_.size());
            return 2;
        }
        std::fputs(ResultTableCsv(tables_.front().second).c_str(), stdout);
        return 0;
    }
    Json run = {{"command", command_}};
    run["file"] = file_ ? Json(*file_) : Json(nullptr);
    run["modifications"] = modifications_;
    Json tables = Json::array();
    for (const auto& [name, table] : tables_) tables.push_back(TableJson(name, table));
    run["tables"] = std::move(tables);
    run["report"] = report_ ? Json(*report_) : Json(nullptr);
    // Invalid UTF-8 (a Windows-1252 file name) is replaced, never a throw.
    std::puts(run.dump(2, ' ', false, Json::error_handler_t::replace).c_str());
    return 0;
}

}  // namespace amx::cli
