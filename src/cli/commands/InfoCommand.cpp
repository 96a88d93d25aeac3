// ambrolux-cli info FILE: what a data file holds, column by column.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "../DataInput.h"
#include "../ResultOutput.h"
#include "CliMessages.h"
#include "common/Sentinels.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx::cli {
namespace {

// Text columns list at most this many levels; the count is always complete.
constexpr int kLevelsShown = 20;

struct InfoOptions {
    DataSource source;
    OutputOptions output;
};

void PrintLimit(const char* label, const std::string& text, long double value) {
    if (text.empty()) return;
    std::printf("  %s %s%s\n", label, text.c_str(), value == MissingValue ? " (not a number)" : "");
}

int RunInfo(const InfoOptions& o) {
    Session s;
    StderrMessages messages;
    s.messages = &messages;
    if (!LoadDataFile(s, o.source, false)) return 1;

    const TDataList& dl = s.DataList;
    std::vector<int> present(static_cast<size_t>(MaxCol(s)) + 1, 0);
    for (int c = 1; c <= MaxCol(s); ++c)
        for (int r = 1; r <= dl.Ncount; ++r)
            if (dl.Value(c, r) != MissingValue) ++present[c];
    auto levels = [&](int c) { return static_cast<int>(dl.LevelRows[c].size()) - 1; };

    if (o.output.format != OutputFormat::Text) {
        // One row per column, the text output's facts as named cells.
        ResultTable t;
        t.caption = "Columns";
        t.header = {"Column", "Name", "Kind", "Rows", "Present", "Levels", "Title", "USL", "Target", "LSL"};
        for (int c = 1; c <= MaxCol(s); ++c) {
            t.rows.push_back({std::to_string(c), ColumnName(s, c), dl.StringVar[c] ? "text" : "numeric",
                              std::to_string(dl.Ncount), std::to_string(present[c]),
                              dl.StringVar[c] ? std::to_string(levels(c)) : "", ColumnTitle(s, c),
                              s.worksheet.Description(DescriptionRow::USL, c),
                              s.worksheet.Description(DescriptionRow::Target, c),
                              s.worksheet.Description(DescriptionRow::LSL, c)});
        }
        ResultOutput out("info", o.output);
        out.SetSource(s, o.source.file);
        out.Table("columns", t);
        return out.Finish();
    }

    std::printf("File: %s\n", o.source.file.c_str());
    std::printf("Columns: %d\n", MaxCol(s));
    std::printf("Rows: %d\n", dl.Ncount);
    for (int c = 1; c <= MaxCol(s); ++c) {
        std::printf("\nColumn %d: %s\n", c, ColumnName(s, c).c_str());
        std::printf("  Kind: %s\n", dl.StringVar[c] ? "text" : "numeric");
        std::printf("  Present: %d\n", present[c]);
        if (dl.StringVar[c]) {
            std::string list;
            for (int l = 1; l <= levels(c) && l <= kLevelsShown; ++l) list += (l > 1 ? ", " : "") + GetLevelName(s, c, l);
            if (levels(c) > kLevelsShown) list += ", ...";
            std::printf("  Levels: %d (%s)\n", levels(c), list.c_str());
        }
        const std::string title = ColumnTitle(s, c);
        if (!title.empty()) std::printf("  Title: %s\n", title.c_str());
        PrintLimit("USL:", s.worksheet.Description(DescriptionRow::USL, c), ColumnUSL(s, c));
        PrintLimit("Target:", s.worksheet.Description(DescriptionRow::Target, c), ColumnTarget(s, c));
        PrintLimit("LSL:", s.worksheet.Description(DescriptionRow::LSL, c), ColumnLSL(s, c));
    }
    return 0;
}

const CliCommandRegistration kInfo{"info", "show the columns of a data file", [](CLI::App& app) {
    auto o = std::make_shared<InfoOptions>();
    app.description(
        "Reads a data file (tab-, comma- or space-separated text, or an .xlsx workbook) and lists, for each\n"
        "column: its name, whether it is numeric or text, how many values are present, the levels of a text\n"
        "column, and the title and specification limits (USL, Target, LSL) when the file gives them.");
    AddDataFileArgument(app, o->source);
    AddFormatOption(app, o->output);
    app.footer("Exit status: 0 on success, 1 when the file cannot be read, 2 on bad usage.");
    return [o] { return RunInfo(*o); };
}};

}  // namespace
}  // namespace amx::cli
