// ambrolux-cli info FILE: what a data file holds, column by column.
#include <cstdio>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "CliMessages.h"
#include "common/Sentinels.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx::cli {
namespace {

// Text columns list at most this many levels; the count is always complete.
constexpr int kLevelsShown = 20;

void PrintLimit(const char* label, const std::string& text, long double value) {
    if (text.empty()) return;
    std::printf("  %s %s%s\n", label, text.c_str(), value == MissingValue ? " (not a number)" : "");
}

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-' && args[0] != "-")) {
        std::fputs("Usage: ambrolux-cli info FILE\n", stderr);
        return 2;
    }
    Session s;
    StderrMessages messages;
    s.messages = &messages;
    if (!FileToDataGrid(s, args[0])) return 1;

    const TDataList& dl = s.DataList;
    std::printf("File: %s\n", args[0].c_str());
    std::printf("Columns: %d\n", MaxCol(s));
    std::printf("Rows: %d\n", dl.Ncount);
    for (int c = 1; c <= MaxCol(s); ++c) {
        int present = 0;
        for (int r = 1; r <= dl.Ncount; ++r)
            if (dl.Value(c, r) != MissingValue) ++present;
        std::printf("\nColumn %d: %s\n", c, ColumnName(s, c).c_str());
        std::printf("  Kind: %s\n", dl.StringVar[c] ? "text" : "numeric");
        std::printf("  Present: %d\n", present);
        if (dl.StringVar[c]) {
            const int levels = static_cast<int>(dl.LevelRows[c].size()) - 1;
            std::string list;
            for (int l = 1; l <= levels && l <= kLevelsShown; ++l) list += (l > 1 ? ", " : "") + GetLevelName(s, c, l);
            if (levels > kLevelsShown) list += ", ...";
            std::printf("  Levels: %d (%s)\n", levels, list.c_str());
        }
        const std::string title = ColumnTitle(s, c);
        if (!title.empty()) std::printf("  Title: %s\n", title.c_str());
        PrintLimit("USL:", s.worksheet.Description(DescriptionRow::USL, c), ColumnUSL(s, c));
        PrintLimit("Target:", s.worksheet.Description(DescriptionRow::Target, c), ColumnTarget(s, c));
        PrintLimit("LSL:", s.worksheet.Description(DescriptionRow::LSL, c), ColumnLSL(s, c));
    }
    return 0;
}

const CliCommandRegistration kInfo{CliCommand{
    "info",
    "show the columns of a data file",
    "Usage: ambrolux-cli info FILE\n"
    "\n"
    "Reads a data file (tab-, comma- or space-separated) and lists, for each\n"
    "column: its name, whether it is numeric or text, how many values are\n"
    "present, the levels of a text column, and the title and specification\n"
    "limits (USL, Target, LSL) when the file gives them.\n"
    "\n"
    "Exit status: 0 on success, 1 when the file cannot be read, 2 on bad usage.\n",
    RunInfo}};

}  // namespace
}  // namespace amx::cli
