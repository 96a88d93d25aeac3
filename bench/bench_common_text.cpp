// Throughput of the toolbox routines every report and cell goes through, and
// the scaling of SortAscending, which must stay O(n log n) for any count.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "common/NumberText.h"
#include "common/TextUtils.h"
#include "common/ValueLists.h"

namespace {

void BM_SortAscending(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 gen(1);
    std::normal_distribution<double> d(10.0, 2.0);
    std::vector<double> source(n + 1);
    for (int i = 1; i <= n; ++i) source[i] = d(gen);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<double> v = source;
        state.ResumeTiming();
        amx::SortAscending(v, n);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_SortAscending)->RangeMultiplier(8)->Range(1 << 10, 1 << 22)->Complexity(benchmark::oNLogN);

void BM_FormatNumber(benchmark::State& state) {
    amx::CommonState cs;
    long double x = 1234567.891L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(amx::FormatNumber(cs, 4, x));
        x += 0.37L;
    }
}
BENCHMARK(BM_FormatNumber);

void BM_FormatGeneral(benchmark::State& state) {
    long double x = 0.1L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(amx::FormatGeneral(x));
        x *= 1.0001L;
    }
}
BENCHMARK(BM_FormatGeneral);

void BM_TextToExtended(benchmark::State& state) {
    amx::CommonState cs;
    const std::string cells[] = {"1,234.5678", "-0.000123", "42", "6.02E23", "not a number"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(amx::TextToExtended(cs, cells[i++ % 5]));
    }
}
BENCHMARK(BM_TextToExtended);

void BM_ParseNumbers(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 512; ++i) text += std::to_string(i * 0.25) + ", ";
    for (auto _ : state) benchmark::DoNotOptimize(amx::ParseNumbers(text));
    state.SetItemsProcessed(state.iterations() * 512);
}
BENCHMARK(BM_ParseNumbers);

}  // namespace

BENCHMARK_MAIN();
