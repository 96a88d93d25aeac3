#pragma once
// The session's current sample, bound to the session's A_Array/ATop, its
// status code and its shared confidence level. Works on the Session or on any
// object built from the same state parts.
#include <type_traits>

#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "session/CurrentSample.h"

namespace amx {

template <class S>
    requires std::is_base_of_v<CommonState, S> && std::is_base_of_v<CurrentSample, S> &&
             std::is_base_of_v<EngineState, S>
SampleData& SessionSample(S& s) {
    if (!s.sampleData.Attached()) {
        s.sampleData.Attach(static_cast<CurrentSample&>(s), static_cast<CommonState&>(s));
        s.sampleData.sharedConfI = &s.confI;
    }
    return s.sampleData;
}

}  // namespace amx
