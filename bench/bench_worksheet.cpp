// Worksheet speed on a 1,000,000-row x 10-column numeric file (about 80 MB):
// load and parse (FileToDataGrid, which ends with UpdateData), save, and
// LoadAllToA_Array of one column. Targets: load under 1.0 s, save under
// 1.0 s, one column under 20 ms. Peak memory (under 4x the file size) is
// measured on the whole program: /usr/bin/time -v bench_worksheet
// --benchmark_filter=Load.
//
// The file is AMX_BENCH_FILE when set, else generated once in the temporary
// folder.
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

const std::string& BenchFile() {
    static const std::string path = [] {
        if (const char* env = std::getenv("AMX_BENCH_FILE")) return std::string(env);
        std::string p = (std::filesystem::temp_directory_path() / "ambrolux-bench-1m-x10.amx").string();
        std::error_code ec;
        if (std::filesystem::file_size(p, ec) < 70'000'000 || ec) amx::bench::GenerateWorksheetFile(p);
        return p;
    }();
    return path;
}

void SetBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(BenchFile())));
}

void BM_Load(benchmark::State& state) {
    const std::string& file = BenchFile();
    for (auto _ : state) {
        amx::Session s;
        if (!amx::FileToDataGrid(s, file)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(s.DataList.Ncount);
    }
    SetBytes(state);
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Save(benchmark::State& state) {
    amx::Session s;
    amx::FileToDataGrid(s, BenchFile());
    const std::string out = BenchFile() + ".saved";
    for (auto _ : state)
        if (!amx::SaveFile(s, out, true, false, true)) state.SkipWithError("save failed");
    std::remove(out.c_str());
    SetBytes(state);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadAllOneColumn(benchmark::State& state) {
    amx::Session s;
    amx::FileToDataGrid(s, BenchFile());
    amx::TRunInfo ri;
    ri.ColRefRun = 1;
    s.DataList.IncludeCol[3] = true;
    for (auto _ : state) {
        amx::LoadAllToA_Array(s, ri);
        benchmark::DoNotOptimize(s.ATop);
    }
}
BENCHMARK(BM_LoadAllOneColumn)->Unit(benchmark::kMillisecond);

void BM_UpdateData(benchmark::State& state) {
    amx::Session s;
    amx::FileToDataGrid(s, BenchFile());
    for (auto _ : state) amx::UpdateData(s);
}
BENCHMARK(BM_UpdateData)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
