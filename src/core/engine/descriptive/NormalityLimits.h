#pragma once
// Sample sizes the normality tests are computed for.
namespace amx {

// The largest sample the Shapiro-Wilk test is computed for (Royston 1995:
// his approximations hold for 3 <= n <= 5000); above it swW and swP are 999.
inline constexpr int ShapiroWilkMaxN = 5000;

}  // namespace amx
