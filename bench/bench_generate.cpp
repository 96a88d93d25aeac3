// Writes the benchmark worksheet: bench_generate FILE [ROWS [COLUMNS]]
// (default 1,000,000 rows of 10 numeric columns, about 80 MB).
#include <cstdio>
#include <cstdlib>

#include "GenerateWorksheet.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("Usage: bench_generate FILE [ROWS [COLUMNS]]\n", stderr);
        return 2;
    }
    long rows = argc > 2 ? std::atol(argv[2]) : 1000000;
    int columns = argc > 3 ? std::atoi(argv[3]) : 10;
    if (!amx::bench::GenerateWorksheetFile(argv[1], rows, columns)) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
