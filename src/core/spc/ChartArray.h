#pragma once
// The point table of a control chart: doubles by column and point 1 .. N,
// MissingValue for an entry that does not exist. Rows N + 1 and N + 2 of the
// first columns hold their smallest and largest valid values once a chart is
// loaded.
#include <array>
#include <cstddef>
#include <vector>

#include "common/Sentinels.h"

namespace amx {

template <std::size_t Columns>
struct ChartTable {
    std::array<std::vector<double>, Columns> col;

    // Room for points 1 .. n plus the two summary rows; every entry missing.
    void Reset(int n) {
        for (auto& c : col) c.assign(static_cast<std::size_t>(n) + 3, MissingValue);
    }
    double& at(int column, int point) { return col[column][point]; }
    double at(int column, int point) const { return col[column][point]; }
};

// Columns of the variables chart table.
namespace VarCol {
inline constexpr int N = 0;           // values in the subgroup
inline constexpr int Location = 1;    // plotted location statistic
inline constexpr int Dispersion = 2;  // plotted dispersion statistic
inline constexpr int LocLCL = 3, LocCL = 4, LocUCL = 5;
inline constexpr int DispLCL = 6, DispCL = 7, DispUCL = 8;
inline constexpr int RangeSigma = 9;  // R/d2(n), or MR/d2(w)
inline constexpr int StdDev = 10;     // subgroup s
inline constexpr int Axis = 11;       // order number or starting row
inline constexpr int Set = 12;        // set number (MissingValue: the "Missing" set)
inline constexpr int LocSE = 13, DispSE = 14;
inline constexpr int ProcessSigma = 15;
inline constexpr int Mean = 16;       // subgroup mean
inline constexpr int GrandMean = 17;  // the set's grand mean
inline constexpr int Break = 18;      // 1 when a break follows the point
inline constexpr int Count = 19;
}  // namespace VarCol

using ChartArrayType = ChartTable<VarCol::Count>;

}  // namespace amx
