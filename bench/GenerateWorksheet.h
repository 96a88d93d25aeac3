#pragma once
// The benchmark worksheet: a names line and `rows` rows of `columns` numbers
// with four decimals around 50, tab-separated with CR LF line ends, as the
// program writes its own files. Deterministic, so figures compare run to run.
#include <cstdint>
#include <cstdio>
#include <string>

namespace amx::bench {

inline bool GenerateWorksheetFile(const std::string& path, long rows = 1000000, int columns = 10) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::string line;
    for (int c = 1; c <= columns; ++c) line += (c > 1 ? "\tX" : "X") + std::to_string(c);
    line += "\r\n";
    std::fputs(line.c_str(), f);
    std::uint64_t state = 0x2545F4914F6CDD1Dull;
    char cell[32];
    for (long r = 0; r < rows; ++r) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            // xorshift64*: a sum of four uniforms is near enough to normal here.
            long sum = 0;
            for (int k = 0; k < 4; ++k) {
                state ^= state >> 12;
                state ^= state << 25;
                state ^= state >> 27;
                sum += static_cast<long>((state * 0x2545F4914F6CDD1Dull) >> 47) % 100000;
            }
            long v = 300000 + sum;  // 30.0000 .. 70.0000 in units of 1e-4
            int n = std::snprintf(cell, sizeof cell, "%s%ld.%04ld", c ? "\t" : "", v / 10000, v % 10000);
            line.append(cell, static_cast<std::size_t>(n));
        }
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), f) != line.size()) {
            std::fclose(f);
            return false;
        }
    }
    return std::fclose(f) == 0;
}

}  // namespace amx::bench
