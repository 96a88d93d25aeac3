// Cost of the control-chart arithmetic: the range-constant integrals for sizes
// beyond the tables (paid once per size, then cached), and the exact
// probability limits, which the attribute charts compute for every subgroup
// size they meet.
#include <benchmark/benchmark.h>

#include <cmath>

#include "spc/ControlConstants.h"
#include "spc/ControlLimits.h"

namespace {

struct SpcFixture : amx::CommonState, amx::SpcState {};

void BM_D2Integral(benchmark::State& state) {
    for (auto _ : state) {
        SpcFixture s;
        benchmark::DoNotOptimize(amx::D2Factor(s, state.range(0)));
    }
}
BENCHMARK(BM_D2Integral)->Arg(31)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_D3Integral(benchmark::State& state) {
    for (auto _ : state) {
        SpcFixture s;
        benchmark::DoNotOptimize(amx::D3Factor(s, state.range(0)));
    }
}
BENCHMARK(BM_D3Integral)->Arg(31)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_D3Cached(benchmark::State& state) {
    SpcFixture s;
    amx::D3Factor(s, 50);
    for (auto _ : state) benchmark::DoNotOptimize(amx::D3Factor(s, 50));
}
BENCHMARK(BM_D3Cached);

// Exact p-chart limits: range(0) is the subgroup size, p-bar 0.05.
void BM_ExactBinomialLimits(benchmark::State& state) {
    SpcFixture s;
    const long double n = static_cast<long double>(state.range(0));
    for (auto _ : state) {
        long double CL = 0, UCL, LCL, sigma;
        benchmark::DoNotOptimize(amx::ControlLimits(s, amx::ChartProportion, amx::MethodExact, CL, 0.05L, 3, n,
                                                    UCL, LCL, sigma));
    }
}
BENCHMARK(BM_ExactBinomialLimits)
    ->Arg(50)
    ->Arg(5000)
    ->Arg(1000000)
    ->Arg(1000000000000LL)
    ->Arg(1000000000000000LL)
    ->Unit(benchmark::kMicrosecond);

// Exact c-chart limits: range(0) is c-bar.
void BM_ExactPoissonLimits(benchmark::State& state) {
    SpcFixture s;
    const long double c = static_cast<long double>(state.range(0));
    for (auto _ : state) {
        long double CL = 0, UCL, LCL, sigma;
        benchmark::DoNotOptimize(
            amx::ControlLimits(s, amx::ChartDefects, amx::MethodExact, CL, c, 3, 1, UCL, LCL, sigma));
    }
}
BENCHMARK(BM_ExactPoissonLimits)->Arg(4)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

// Exact c-chart limits for c-bar = 10^range(0): every call is meant to stay
// under 10 ms, however large the mean.
void BM_ExactPoissonLimitsHugeMean(benchmark::State& state) {
    SpcFixture s;
    const long double c = std::pow(10.0L, static_cast<long double>(state.range(0)));
    for (auto _ : state) {
        long double CL = 0, UCL, LCL, sigma;
        benchmark::DoNotOptimize(
            amx::ControlLimits(s, amx::ChartDefects, amx::MethodExact, CL, c, 3, 1, UCL, LCL, sigma));
    }
}
BENCHMARK(BM_ExactPoissonLimitsHugeMean)
    ->Arg(9)
    ->Arg(15)
    ->Arg(18)
    ->Arg(19)
    ->Arg(100)
    ->Arg(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
