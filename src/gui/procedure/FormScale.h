#pragma once
// The scale a procedure window takes when its enlarge button is pressed: from
// 1 up to the largest that still fits the work area, and from any other scale
// back to 1.
#include <QSize>

namespace amx::gui {

// The new scale; equal to `current` when the window stays as it is (a window
// that does not fit the work area is only ever shrunk).
double EnlargeTarget(double current, QSize window, QSize workArea);

}  // namespace amx::gui
