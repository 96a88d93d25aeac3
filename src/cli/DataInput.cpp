#include "DataInput.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "GlobalOptions.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"

namespace amx::cli {

CLI::Option* AddDataFileArgument(CLI::App& app, std::string& file, const std::string& name) {
    return app.add_option(name, file, "data file (.amx, .dat, .txt, .csv, .xlsx ...); '-' reads standard input")
        ->required();
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

bool LoadDataFile(Session& s, const std::string& file, bool applyGlobals) {
    if (file == "-") {
        StdinCopy copy;
        if (!copy.ok()) {
            s.messages->Error(FileErrorText);
            return false;
        }
        if (!FileToDataGrid(s, copy.path())) return false;
        s.DataFilename = "-";
    } else if (!FileToDataGrid(s, file)) {
        return false;
    }
    return !applyGlobals || ApplyGlobalOptions(s);
}

}  // namespace amx::cli
