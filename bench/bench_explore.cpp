// Explore on one column of a million values, every page (all custom
// statistics but the simulated exponential test): target under 1 s in all.
// The simulated exponential test for n = 30, a million samples: under 3 s.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "explore/Explore.h"
#include "session/Session.h"
#include "worksheet/DataList.h"

namespace {

void FillColumn(amx::Session& s, int rows) {
    std::mt19937_64 gen(42);
    std::normal_distribution<double> nd(10.0, 2.0);
    s.worksheet.BeginLoad(1, static_cast<std::size_t>(rows));
    std::string text;
    for (int r = 0; r < rows; ++r) {
        text = std::to_string(nd(gen));
        std::string_view cell = text;
        s.worksheet.AppendRow(&cell, 1);
    }
    s.worksheet.EndLoad();
    s.worksheet.SetColumnName(1, "X");
    s.worksheet.SetDescription(amx::DescriptionRow::USL, 1, "16");
    s.worksheet.SetDescription(amx::DescriptionRow::Target, 1, "10");
    s.worksheet.SetDescription(amx::DescriptionRow::LSL, 1, "4");
    amx::UpdateData(s);
}

void BM_ExploreAllPagesMillion(benchmark::State& state) {
    amx::Session s;
    FillColumn(s, 1000000);
    amx::ExploreRequest rq;
    rq.columns = {1};
    for (int k = 0; k < amx::CustomStatCount; ++k)
        if (k != 29) rq.custom.push_back(k);
    for (auto _ : state) {
        amx::ExploreState st;
        for (int p = 0; p < amx::ExplorePageCount; ++p) {
            auto g = amx::ComputeExplorePage(s, st, rq, static_cast<amx::ExplorePage>(p));
            benchmark::DoNotOptimize(g);
        }
    }
}
BENCHMARK(BM_ExploreAllPagesMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each page on its own, to see where the time goes.
void BM_ExplorePageMillion(benchmark::State& state) {
    amx::Session s;
    FillColumn(s, 1000000);
    amx::ExploreRequest rq;
    rq.columns = {1};
    for (int k = 0; k < amx::CustomStatCount; ++k)
        if (k != 29) rq.custom.push_back(k);
    const auto page = static_cast<amx::ExplorePage>(state.range(0));
    for (auto _ : state) {
        amx::ExploreState st;
        auto g = amx::ComputeExplorePage(s, st, rq, page);
        benchmark::DoNotOptimize(g);
    }
}
BENCHMARK(BM_ExplorePageMillion)->DenseRange(0, amx::ExplorePageCount - 1)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SimulatedExponentialTest30(benchmark::State& state) {
    amx::Session s;
    // A statistic inside the simulated range, so all million samples are drawn.
    for (auto _ : state) {
        amx::ExploreState st;
        benchmark::DoNotOptimize(amx::SimulatedExponentialP(s, st, 30, 1.0L, "X"));
    }
}
BENCHMARK(BM_SimulatedExponentialTest30)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
