#pragma once
// The statistical engine's process-wide values (shared confidence level,
// log-factorial cache, random generator), as kept by each Session.
namespace amx {

struct EngineState {
};

}  // namespace amx
