#pragma once
// The main window's stored position ("MainTop", "MainLeft" under the settings
// key): a missing value is written with the current position, and a stored
// position is never placed above or left of pixel 2.
#include "common/CommonState.h"

namespace amx {

struct WindowPosition {
    int top = 0;
    int left = 0;
};

WindowPosition ReadMainPosition(CommonState& cs, WindowPosition current);
void WriteMainPosition(CommonState& cs, WindowPosition pos);

}  // namespace amx
