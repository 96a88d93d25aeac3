#pragma once
// The statistical engine's process-wide values (shared confidence level,
// log-factorial cache, random generator), as kept by each Session.
#include <array>

#include "engine/distributions/RandomGenerator.h"

namespace amx {

// ln(k!) for k = 0..300, built on first use and kept for the session.
struct LnFactTableType {
    std::array<long double, 301> entry{};
    bool built = false;
};

struct EngineState {
    LnFactTableType LnFactTable;

    // The uniform generator and the normal generator's spare deviate.
    RandomState RandSeed;
    // RandSeed as it was at the start of the last sample load (see
    // SaveRandSeed / RestoreRandSeed), so a reload repeats random transforms.
    RandomState SavedRandSeed;

    void SaveRandSeed() { SavedRandSeed = RandSeed; }
    void RestoreRandSeed() { RandSeed = SavedRandSeed; }
};

}  // namespace amx
