// Variables control charts on 1,000,000 loaded rows: individuals with all
// nine tests, means and ranges at n = 5, a sample variable with a million
// distinct values spread over 10^9, 10,000 chart-group runs, and the tests
// alone with every count at 99. Targets: 0.5 s, 0.5 s, 1 s, 1 s and 0.2 s.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "session/Session.h"
#include "spc/ControlTests.h"
#include "spc/VarChartEngine.h"
#include "worksheet/DataList.h"

namespace {

using namespace amx;
constexpr int Rows = 1000000;

// Columns: X (normal values), Sample (distinct values over 1e9, shuffled),
// Group (10,000 levels).
Session& Sheet() {
    static Session* s = [] {
        auto* session = new Session;
        std::mt19937_64 gen(5);
        std::normal_distribution<double> normal(10, 1);
        std::vector<long long> sample(Rows);
        for (int r = 0; r < Rows; ++r) sample[r] = static_cast<long long>(r) * 1000 + 7;
        std::shuffle(sample.begin(), sample.end(), gen);
        session->worksheet.BeginLoad(3);
        char x[32];
        for (int r = 0; r < Rows; ++r) {
            std::snprintf(x, sizeof x, "%.4f", normal(gen));
            const std::string a = x, b = std::to_string(sample[r]), c = std::to_string(r % 10000);
            std::vector<std::string_view> cells{a, b, c};
            session->worksheet.AppendRow(cells);
        }
        session->worksheet.EndLoad();
        session->worksheet.SetColumnName(1, "X");
        session->worksheet.SetColumnName(2, "Sample");
        session->worksheet.SetColumnName(3, "Group");
        UpdateData(*session);
        return session;
    }();
    return *s;
}

VarChartSetup Commit(Session& s, VarSetupState st) {
    st.columnCount = 3;
    VarChartSetup out;
    std::string message;
    ValidateVarChartSetup(s, st, out, message);
    return out;
}

void BM_IndividualsAllTests(benchmark::State& state) {
    Session& s = Sheet();
    s.ControlTests.Std.fill(true);
    VarSetupState st;
    SetMeasures(st, {1});
    const auto setup = Commit(s, st);
    VarChartData d;
    for (auto _ : state) LoadVarChart(s, setup, {1, 0, "X"}, false, false, d);
    state.counters["points"] = d.N;
}
BENCHMARK(BM_IndividualsAllTests)->Unit(benchmark::kMillisecond);

void BM_MeanRangeSize5(benchmark::State& state) {
    Session& s = Sheet();
    s.ControlTests = {};
    VarSetupState st;
    st.columnCount = 3;
    SetMeasures(st, {1});
    SetConstantSize(st, true);
    const auto setup = Commit(s, st);
    VarChartData d;
    for (auto _ : state) LoadVarChart(s, setup, {1, 0, "X"}, false, false, d);
    state.counters["points"] = d.N;
}
BENCHMARK(BM_MeanRangeSize5)->Unit(benchmark::kMillisecond);

void BM_SampleVariableSpread(benchmark::State& state) {
    Session& s = Sheet();
    s.ControlTests = {};
    VarSetupState st;
    st.columnCount = 3;
    SetMeasures(st, {1});
    SetSampleColumn(st, 2);
    const auto setup = Commit(s, st);
    VarChartData d;
    for (auto _ : state) LoadVarChart(s, setup, {1, 0, "X"}, true, false, d);
    state.counters["points"] = d.N;
}
BENCHMARK(BM_SampleVariableSpread)->Unit(benchmark::kMillisecond);

void BM_TenThousandRuns(benchmark::State& state) {
    Session& s = Sheet();
    s.ControlTests = {};
    VarSetupState st;
    st.columnCount = 3;
    SetMeasures(st, {1});
    st.groupColumns = {3};
    VarChartData d;
    std::size_t count = 0;
    for (auto _ : state) {
        const auto setup = Commit(s, st);
        const auto sel = BuildChartSelections(s, setup);
        LoadVarChart(s, setup, sel.front(), false, false, d);
        count = sel.size();
    }
    state.counters["selections"] = static_cast<double>(count);
}
BENCHMARK(BM_TenThousandRuns)->Unit(benchmark::kMillisecond);

// The tests alone on a zig-zag series that keeps most windows firing; the
// time must not grow with the counts.
void BM_TestsOnly(benchmark::State& state) {
    ControlTestSettings t;
    t.Std.fill(true);
    const auto c = static_cast<std::uint8_t>(state.range(0));
    for (int e : {1, 2, 3, 4, 5, 15, 16}) t.Values[e] = c;
    t.Values[6] = t.Values[7] = static_cast<std::uint8_t>(c - 1);
    ChartArrayType table;
    table.Reset(Rows);
    for (int p = 1; p <= Rows; ++p) {
        table.at(1, p) = (p % 2 ? 2.5 : -2.5);
        table.at(3, p) = -3;
        table.at(4, p) = 0;
        table.at(5, p) = 3;
        table.at(13, p) = 1;
        table.at(12, p) = 0;
        table.at(18, p) = 0;
    }
    const TestSeries series{1, 3, 4, 5, 13, 12, 18, false};
    for (auto _ : state) benchmark::DoNotOptimize(RunControlTests(t, table, Rows, series));
}
BENCHMARK(BM_TestsOnly)->Arg(8)->Arg(99)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
