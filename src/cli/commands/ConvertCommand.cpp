// ambrolux-cli convert IN OUT: any data file the program reads, written in
// its own tab-separated format or, for an .xlsx name, as a workbook.
#include <memory>
#include <string>

#include "../CliCommand.h"
#include "../DataInput.h"
#include "CliMessages.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"

namespace amx::cli {
namespace {

struct ConvertOptions {
    DataSource in;
    std::string out;
};

int RunConvert(const ConvertOptions& o) {
    Session s;
    StderrMessages messages;
    s.messages = &messages;
    if (!LoadDataFile(s, o.in, false)) return 1;
    if (!SaveFile(s, o.out, true, false, true)) return 1;
    return 0;
}

const CliCommandRegistration kConvert{"convert", "write a data file in the program's own format or as a workbook",
                                      [](CLI::App& app) {
    auto o = std::make_shared<ConvertOptions>();
    app.description(
        "Reads IN (tab-, comma- or space-separated text in UTF-8 or Windows-1252 with any line ends, or an\n"
        ".xlsx workbook; '-' reads standard input) and writes OUT as the program saves a worksheet: for an\n"
        ".xlsx name a workbook, else tab-separated text with CR LF line ends. Either way with the column\n"
        "names and the title and specification lines. A file already in the text format is written back\n"
        "unchanged.");
    AddDataFileArgument(app, o->in, "IN");
    app.add_option("OUT", o->out, "the file to write")->required();
    app.footer("Exit status: 0 on success, 1 when a file cannot be read or written, 2 on bad usage.");
    return [o] { return RunConvert(*o); };
}};

}  // namespace
}  // namespace amx::cli
