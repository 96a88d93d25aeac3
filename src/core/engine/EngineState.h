#pragma once
// The statistical engine's process-wide values (shared confidence level,
// log-factorial cache, random generator), as kept by each Session.
#include <array>

#include "engine/descriptive/Intervals.h"
#include "engine/descriptive/SampleData.h"
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

    // The current sample's results (its values are A_Array/ATop), the shared
    // confidence level and the shared correlation accumulator. Reach the
    // sample through SessionSample(session), which binds it to the session.
    SampleData sampleData;
    TConfI confI;
    TCorr corr;

    void SaveRandSeed() { SavedRandSeed = RandSeed; }
    void RestoreRandSeed() { RandSeed = SavedRandSeed; }
};

}  // namespace amx
