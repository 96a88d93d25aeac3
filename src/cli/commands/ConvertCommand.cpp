// ambrolux-cli convert IN OUT: any data file the program reads, written in
// its own tab-separated format.
#include <cstdio>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "CliMessages.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"

namespace amx::cli {
namespace {

int RunConvert(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::fputs("Usage: ambrolux-cli convert IN OUT\n", stderr);
        return 2;
    }
    Session s;
    StderrMessages messages;
    s.messages = &messages;
    if (!FileToDataGrid(s, args[0])) return 1;
    if (!SaveFile(s, args[1], true, false, true)) return 1;
    return 0;
}

const CliCommandRegistration kConvert{CliCommand{
    "convert",
    "write a data file in the program's own format",
    "Usage: ambrolux-cli convert IN OUT\n"
    "\n"
    "Reads IN (tab-, comma- or space-separated, UTF-8 or Windows-1252, any\n"
    "line ends) and writes OUT as the program saves a worksheet: tab-separated,\n"
    "CR LF line ends, with the column names and the title and specification\n"
    "lines. A file already in that format is written back unchanged.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written,\n"
    "2 on bad usage.\n",
    RunConvert}};

}  // namespace
}  // namespace amx::cli
