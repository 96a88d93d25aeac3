#pragma once
// Which tests for statistical control are active and their counts: one set of
// flags for ordinary charts, one for moving-range charts, shared counts.
#include <array>
#include <cstdint>

namespace amx {

inline constexpr int ControlTestCount = 9;
inline constexpr int ControlTestValueCount = 18;

// Entries of ControlTestSettings::Values.
namespace TestValue {
inline constexpr int Run = 1;          // n of the run test
inline constexpr int Trend = 2;        // n of the trend test
inline constexpr int Excess = 3;       // n of the excess-variability test
inline constexpr int Lack = 4;         // n of the lack-of-variability test
inline constexpr int Alternating = 5;  // n of the alternating test
inline constexpr int Zone1K = 6, Zone2K = 7;
inline constexpr int Zone1M = 15, Zone2M = 16;
}  // namespace TestValue

struct ControlTestSettings {
    // Index 1 .. 9 = test number; index 0 unused.
    std::array<bool, ControlTestCount + 1> Std{false, true, true, true, true, true, true, false, false, false};
    std::array<bool, ControlTestCount + 1> MR{false, true, false, false, false, false, false, false, false, false};
    std::array<std::uint8_t, ControlTestValueCount> Values{0, 8, 6, 8, 15, 14, 4, 2, 0, 0, 0, 0, 0, 0, 0, 5, 3, 0};

    bool operator==(const ControlTestSettings&) const = default;
};

}  // namespace amx
