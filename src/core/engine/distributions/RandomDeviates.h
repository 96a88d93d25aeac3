#pragma once
// Random deviates of the engine's distributions beyond the normal one.
namespace amx {

struct EngineState;

// One chi-square deviate with df > 0 degrees of freedom, twice a gamma deviate
// of shape df/2 (Marsaglia and Tsang 2000): constant expected time for any
// df. 0 for a df that is not a positive finite number.
long double ChiSquareRandom(EngineState& es, long double df);

}  // namespace amx
