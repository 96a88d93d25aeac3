// Workbook speed on 1,000,000 rows x 20 numeric columns (numbers with four
// decimals, written by our own workbook writer): open (FileToDataGrid, read
// and parse, ending with UpdateData) and save. Target: open under 3 s.
//
// The workbook is AMX_BENCH_XLSX when set, else generated once in the
// temporary folder from the text benchmark worksheet of that shape.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GenerateWorksheet.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace {

const std::string& BenchWorkbook() {
    static const std::string path = [] {
        if (const char* env = std::getenv("AMX_BENCH_XLSX")) return std::string(env);
        const auto dir = std::filesystem::temp_directory_path();
        const std::string xlsx = (dir / "ambrolux-bench-1m-x20.xlsx").string();
        std::error_code ec;
        if (std::filesystem::file_size(xlsx, ec) < 50'000'000 || ec) {
            const std::string text = (dir / "ambrolux-bench-1m-x20.amx").string();
            amx::bench::GenerateWorksheetFile(text, 1000000, 20);
            amx::Session s;
            if (!amx::FileToDataGrid(s, text) || !amx::SaveFile(s, xlsx, true, false, true)) std::abort();
            std::remove(text.c_str());
        }
        return xlsx;
    }();
    return path;
}

void BM_OpenWorkbook(benchmark::State& state) {
    const std::string& file = BenchWorkbook();
    for (auto _ : state) {
        amx::Session s;
        if (!amx::FileToDataGrid(s, file)) state.SkipWithError("open failed");
        if (s.DataList.Ncount != 1000000 || s.worksheet.ColumnCount() != 20) state.SkipWithError("wrong shape");
        benchmark::DoNotOptimize(s.DataList.Ncount);
    }
    state.counters["cells"] = 20e6;
}
BENCHMARK(BM_OpenWorkbook)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveWorkbook(benchmark::State& state) {
    amx::Session s;
    amx::FileToDataGrid(s, BenchWorkbook());
    const std::string out = BenchWorkbook() + ".saved.xlsx";
    for (auto _ : state)
        if (!amx::SaveFile(s, out, true, false, true)) state.SkipWithError("save failed");
    std::remove(out.c_str());
}
BENCHMARK(BM_SaveWorkbook)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
