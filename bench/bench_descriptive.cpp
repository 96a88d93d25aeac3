// Descriptive statistics of the current sample.
// Targets: descriptives, quartiles and all three normality tests on 5,000
// values under 2 ms; mean, standard deviation and quartiles on 1,000,000
// values under 150 ms. Each iteration reloads the unsorted sample, as an
// analysis does.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "engine/descriptive/SessionSample.h"
#include "engine/discrete/Discrete.h"
#include "session/CurrentSample.h"

namespace {

struct EngineSession : amx::CommonState, amx::CurrentSample, amx::EngineState {};

std::vector<double> NormalData(size_t n) {
    std::mt19937_64 gen(12345);
    std::normal_distribution<double> d(10.0, 2.0);
    std::vector<double> xs(n);
    for (auto& x : xs) x = d(gen);
    return xs;
}

void BM_DescriptivesAndNormality5000(benchmark::State& state) {
    const auto xs = NormalData(5000);
    EngineSession s;
    amx::SampleData& sd = amx::SessionSample(s);
    for (auto _ : state) {
        sd.SetValues(xs);
        sd.ComputeStats('T');
        benchmark::DoNotOptimize(sd.swP + sd.adP + sd.lmP + sd.q1 + sd.q3);
    }
}
BENCHMARK(BM_DescriptivesAndNormality5000)->Unit(benchmark::kMillisecond);

void BM_MeanSdQuartiles1e6(benchmark::State& state) {
    const auto xs = NormalData(1000000);
    EngineSession s;
    amx::SampleData& sd = amx::SessionSample(s);
    for (auto _ : state) {
        sd.SetValues(xs);
        sd.OrderStats();
        sd.MeanStdDev();
        benchmark::DoNotOptimize(sd.stdDev + sd.q1 + sd.q3);
    }
}
BENCHMARK(BM_MeanSdQuartiles1e6)->Unit(benchmark::kMillisecond);

// Exact tails far from the mean, with the widest distributions the
// calculators accept.
void BM_BinomialTail(benchmark::State& state) {
    EngineSession s;
    for (auto _ : state)
        benchmark::DoNotOptimize(amx::BinomAtLeast(s, 500100000, 1000000000, 0.5L));
}
BENCHMARK(BM_BinomialTail)->Unit(benchmark::kMicrosecond);

void BM_ProportionCI(benchmark::State& state) {
    EngineSession s;
    for (auto _ : state) {
        long double lo = 0, hi = 0;
        amx::ProportionCI(s, lo, hi, 0.05L, 100000, 0.3L);
        benchmark::DoNotOptimize(lo + hi);
    }
}
BENCHMARK(BM_ProportionCI)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
