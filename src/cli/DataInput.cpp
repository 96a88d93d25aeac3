#include "DataInput.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "GlobalOptions.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/xlsx/Xlsx.h"

namespace amx::cli {

void AddDataFileArgument(CLI::App& app, DataSource& source, const std::string& name) {
    app.add_option(name, source.file, "data file (.amx, .dat, .txt, .csv, .xlsx ...); '-' reads standard input")
        ->required();
    app.add_option("--sheet", source.sheet, "the sheet of a workbook to read, by name or number (default: the first)")
        ->type_name("NAME|N");
}

namespace {

// Standard input copied to a private temporary file: the readers measure and
// re-read their file (a second pass in another encoding, a workbook's zip
// directory at its end), which a pipe cannot do.
class StdinCopy {
public:
    StdinCopy() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/ambrolux-stdin-XXXXXX";
        const int fd = ::mkstemp(path_.data());
        if (fd < 0) {
            path_.clear();
            return;
        }
        char buf[1 << 16];
        ok_ = true;
        for (;;) {
            const std::size_t got = std::fread(buf, 1, sizeof buf, stdin);
            if (got > 0 && ::write(fd, buf, got) != static_cast<ssize_t>(got)) ok_ = false;
            if (got < sizeof buf) break;
        }
        if (std::ferror(stdin)) ok_ = false;
        if (::close(fd) != 0) ok_ = false;
    }
    ~StdinCopy() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

}  // namespace

namespace {

bool Load(Session& s, const std::string& path, const std::string& sheet) {
    if (!sheet.empty() || IsWorkbookFile(path)) return WorkbookToDataGrid(s, path, sheet);
    return FileToDataGrid(s, path);
}

}  // namespace

bool LoadDataFile(Session& s, const DataSource& source, bool applyGlobals) {
    if (source.file == "-") {
        StdinCopy copy;
        if (!copy.ok()) {
            s.messages->Error(FileErrorText);
            return false;
        }
        if (!Load(s, copy.path(), source.sheet)) return false;
        s.DataFilename = "-";
    } else if (!Load(s, source.file, source.sheet)) {
        return false;
    }
    return !applyGlobals || ApplyGlobalOptions(s);
}

}  // namespace amx::cli
