#pragma once
// Everything the program keeps process-wide, in one object. The desktop and the
// command-line tool each own one; every test builds its own, so no state leaks
// between them. Each subsystem contributes its own state as a base, which lets
// a routine that needs only part of it take that part (a CommonState& for the
// status code and messages, say) while callers simply pass the session.
#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "session/CurrentSample.h"
#include "spc/SpcState.h"
#include "worksheet/WorksheetState.h"
#include "worksheet/modifications/FileModState.h"

namespace amx {

struct Session : CommonState, CurrentSample, WorksheetState, EngineState, SpcState, FileModState {
    Session() = default;
};

}  // namespace amx
