#pragma once
// Shared pieces of the fuzz targets.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace amx::fuzz {

// Stops the run with a message: libFuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.c_str());
    std::abort();
}

// A private folder for the files a target writes, made once per process.
inline const std::string& ScratchFolder() {
    static const std::string dir = [] {
        std::string tmpl = "/tmp/amx-fuzz-XXXXXX";
        if (!::mkdtemp(tmpl.data())) Fail("mkdtemp");
        return tmpl;
    }();
    return dir;
}

inline void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) Fail("cannot write", path);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) Fail("short write", path);
    std::fclose(f);
}

// Splits the input at the first NUL into a text and the rest, so one input
// can drive both a text and some choices.
inline std::string_view TakeField(std::string_view& in) {
    std::size_t at = in.find('\0');
    std::string_view field = in.substr(0, at);
    in.remove_prefix(at == std::string_view::npos ? in.size() : at + 1);
    return field;
}

inline unsigned TakeByte(std::string_view& in) {
    if (in.empty()) return 0;
    unsigned b = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    return b;
}

}  // namespace amx::fuzz
