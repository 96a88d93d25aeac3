#pragma once
// Values that stand for "no number here" throughout the program. They are
// compared, never computed with.
namespace amx {

// An empty or unreadable cell, or a result that was not computed.
inline constexpr double MissingValue = -2147483647.0;
// A text cell before its column's levels are assigned.
inline constexpr double TextValue = 2147483647.0;
// "Not available" for p-values, test statistics and indices; printed 999.000.
inline constexpr long double NotAvailable = 999.0L;

// Highest column number of a worksheet.
inline constexpr int MaxColumns = 512;

inline bool NotMissing(double x) { return x != MissingValue; }

}  // namespace amx
