#pragma once
// The one shared current sample: loaders of the worksheet's numeric view fill
// it, and the statistical engine computes on the same storage.
#include <vector>

namespace amx {

struct CurrentSample {
    // 1-based: A_Array[1..ATop] are the values, entry 0 is unused.
    std::vector<double> A_Array = std::vector<double>(1, 0.0);
    int ATop = 0;
};

}  // namespace amx
