#pragma once
// The nine tests for statistical control (outside limits, run, trend, excess
// and lack of variability, alternating values, two zone rules, excessive
// moving range), their names, the stored defaults and the run over one
// plotted series.
#include <string>
#include <vector>

#include "common/CommonState.h"
#include "spc/ChartArray.h"
#include "spc/ControlTestSettings.h"

namespace amx {

// One letter per test, in test order.
inline constexpr const char* ControlTestCodes = "ORTELA12M";

// Smallest and largest count the window allows for entry i of the values;
// both 0 for the entries that are not editable.
int ControlTestValueMin(int entry);
int ControlTestValueMax(int entry);

// The test's name with the current counts ("Run of 8 or More Above/Below the
// Centerline"); empty outside 1 .. 9.
std::string ControlTestName(const ControlTestSettings& t, int test);

// The three stored texts and back. Counts are stored as the character with
// code point 64 + value, written as UTF-8 so counts of 64 and more survive a
// text store. Decoding works by code point; a text of the wrong length falls
// back to its defaults, a flag other than "0"/"1" or a count outside its
// range falls back to that entry's default, and a zone rule whose k is not
// below its m takes the default pair.
std::string EncodeTestFlags(const std::array<bool, ControlTestCount + 1>& flags);
std::string EncodeTestValues(const std::array<std::uint8_t, ControlTestValueCount>& values);
void DecodeTestFlags(const std::string& text, std::array<bool, ControlTestCount + 1>& flags, bool movingRange);
void DecodeTestValues(const std::string& text, std::array<std::uint8_t, ControlTestValueCount>& values);

// Reads "StdControlTestCheck", "MRControlTestCheck" and "ControlTestValues"
// from the settings store; without "StdControlTestCheck" all three take the
// built-in defaults.
ControlTestSettings LoadControlTestSettings(CommonState& cs);
// Writes the three values.
void SaveControlTestSettings(CommonState& cs, const ControlTestSettings& t);

// The zone-rule spins keep k < m: k raised to m or beyond pulls m to k + 1
// (k itself ending at m's maximum - 1); m lowered to k or below pulls k to m - 1.
void CoupleZoneK(int& k, int& m);
void CoupleZoneM(int& k, int& m);

// Where a series lives in a point table.
struct TestSeries {
    int statistic = 0, lcl = 0, cl = 0, ucl = 0, se = 0;
    int set = 0, brk = 0;
    bool movingRange = false;  // the moving-range flags apply
};

// Runs the active tests over points 1 .. N and returns the code texts of
// every point (index 0 unused). Work is linear in N whatever the counts:
// every windowed test keeps running counters instead of re-walking windows.
template <std::size_t C>
std::vector<std::string> RunControlTests(const ControlTestSettings& t, const ChartTable<C>& table, int N,
                                         const TestSeries& series);

std::vector<std::string> RunControlTests(const ControlTestSettings& t, const std::vector<double>* columns[7],
                                         int N, bool movingRange);

template <std::size_t C>
std::vector<std::string> RunControlTests(const ControlTestSettings& t, const ChartTable<C>& table, int N,
                                         const TestSeries& s) {
    const std::vector<double>* cols[7] = {&table.col[s.statistic], &table.col[s.lcl], &table.col[s.cl],
                                          &table.col[s.ucl],       &table.col[s.se],  &table.col[s.set],
                                          &table.col[s.brk]};
    return RunControlTests(t, cols, N, s.movingRange);
}

}  // namespace amx
