#pragma once
// The variables control chart engine: for one chart selection, the
// statistics of every subgroup and, set by set, the centerlines, standard
// errors and limits of the location and dispersion charts, then the tests for
// statistical control on both series.
#include <array>
#include <string>
#include <vector>

#include "spc/ChartArray.h"
#include "spc/VarChartSetup.h"

namespace amx {

// Centerline and limits of one set at one subgroup size, as the first point
// of that size has them (MissingValue where none).
struct VarChartSizeLimits {
    long long n = 0;
    double locLCL = MissingValue, locCL = MissingValue, locUCL = MissingValue, locSE = MissingValue;
    double dispLCL = MissingValue, dispCL = MissingValue, dispUCL = MissingValue, dispSE = MissingValue;
    double sigma = MissingValue;
};

struct VarChartSetSummary {
    double set = 0.0;  // MissingValue for the "Missing" set
    std::string name;  // the set number, or "Missing"
    int points = 0;
    double grandMean = MissingValue;
    std::vector<VarChartSizeLimits> sizes;  // distinct n ascending
};

struct VarChartData {
    ChartArrayType table;
    int N = 0;   // points
    int NB = 0;  // points followed by a break
    // Test codes of the location (0) and dispersion (1) series, index 1 .. N.
    std::array<std::vector<std::string>, 2> Codes;
    // The user's point labels, N + NB + 1 entries each.
    std::array<std::vector<std::string>, 2> Labels;
    // Method behind column 15: the dispersion method when the dispersion
    // chart supplies the process sigma, else the location method, else 0.
    int SigmaMethod = 0;
    // Values of every point, kept only while all points are shown.
    std::vector<std::vector<double>> RawValues;
    std::vector<VarChartSetSummary> sets;

    const std::string& CodesOf(int series, int point) const;
};

// Loads a selection into `data`, keeping the label entries that still fit.
void LoadVarChart(Session& s, const VarChartSetup& setup, const ChartSelection& sel, bool showBreaks,
                  bool showAllPoints, VarChartData& data);

}  // namespace amx
