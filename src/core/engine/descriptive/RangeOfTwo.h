#pragma once
// The mean and the median of the range of two standard normal values (the
// first entries of the control-chart constant tables, Harter 1960). Moving
// ranges of span two are scaled to sigma by these, in the descriptive
// statistics and in the control limits alike.
namespace amx {

inline constexpr double MeanRangeOfTwo = 1.12838;    // d2(2)
inline constexpr double MedianRangeOfTwo = 0.9539;  // median-range factor(2)

}  // namespace amx
