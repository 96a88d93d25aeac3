// Cost of the distribution routines on the paths that call them in loops:
// normality-test coefficients (InvNormal per order statistic), p-values of
// grids of tests, power curves (NoncentralFPower per point) and the critical
// mean differences (StudentizedRangeInv per comparison family).
#include <benchmark/benchmark.h>

#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "engine/distributions/Distributions.h"

namespace {

using namespace amx;

void BM_NormalTail(benchmark::State& state) {
    long double z = 0.1L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NormalTail(2, z));
        z += 1e-3L;
        if (z > 8) z = 0.1L;
    }
}
BENCHMARK(BM_NormalTail);

void BM_InvNormal(benchmark::State& state) {
    long double p = 1e-6L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(InvNormal(1, p));
        p += 1e-4L;
        if (p > 0.999L) p = 1e-6L;
    }
}
BENCHMARK(BM_InvNormal);

void BM_TTail(benchmark::State& state) {
    CommonState cs;
    const long double df = static_cast<long double>(state.range(0));
    long double t = 0.1L;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TTail(cs, 2, df, t));
        t += 1e-3L;
        if (t > 10) t = 0.1L;
    }
}
BENCHMARK(BM_TTail)->Arg(3)->Arg(30)->Arg(1000)->Arg(1000000);

void BM_InvT(benchmark::State& state) {
    CommonState cs;
    const long double df = static_cast<long double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(InvT(cs, 2, df, 0.05L));
}
BENCHMARK(BM_InvT)->Arg(3)->Arg(30)->Arg(1000);

void BM_ChiSqTail(benchmark::State& state) {
    CommonState cs;
    const long double df = static_cast<long double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(ChiSqTail(cs, 1, df, df * 1.2L));
}
BENCHMARK(BM_ChiSqTail)->Arg(1)->Arg(30)->Arg(10000);

void BM_InvChiSq(benchmark::State& state) {
    CommonState cs;
    const long double df = static_cast<long double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(InvChiSq(cs, 1, df, 0.025L));
}
BENCHMARK(BM_InvChiSq)->Arg(1)->Arg(30)->Arg(10000);

void BM_InvF(benchmark::State& state) {
    CommonState cs;
    for (auto _ : state) benchmark::DoNotOptimize(InvF(cs, 1, 4, 40, 0.05L));
}
BENCHMARK(BM_InvF);

void BM_NoncentralFPower(benchmark::State& state) {
    CommonState cs;
    const long double lambda = static_cast<long double>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(NoncentralFPower(cs, 3, 40, lambda, 2.84L));
}
BENCHMARK(BM_NoncentralFPower)->Arg(5)->Arg(100)->Arg(2000);

void BM_StudentizedRangeProb(benchmark::State& state) {
    CommonState cs;
    for (auto _ : state)
        benchmark::DoNotOptimize(StudentizedRangeProb(cs, 20, static_cast<int>(state.range(0)), 3.5L));
}
BENCHMARK(BM_StudentizedRangeProb)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_StudentizedRangeInv(benchmark::State& state) {
    CommonState cs;
    for (auto _ : state)
        benchmark::DoNotOptimize(StudentizedRangeInv(cs, 20, static_cast<int>(state.range(0)), 0.05L));
}
BENCHMARK(BM_StudentizedRangeInv)->Arg(3)->Arg(20)->Unit(benchmark::kMillisecond);

void BM_GaussRandom(benchmark::State& state) {
    EngineState es;
    for (auto _ : state) benchmark::DoNotOptimize(GaussRandom(es));
}
BENCHMARK(BM_GaussRandom);

}  // namespace

BENCHMARK_MAIN();
