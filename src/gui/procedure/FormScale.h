#pragma once
// The scale a procedure window takes when its enlarge button is pressed: from
// 1 up to the largest that still fits the work area, and from any other scale
// back to 1.
#include <QRect>
#include <QSize>

class QWidget;

namespace amx::gui {

// The new scale; equal to `current` when the window stays as it is (a window
// that does not fit the work area is only ever shrunk).
double EnlargeTarget(double current, QSize window, QSize workArea);

// The enlarge button's work on any window: takes `scale` to its target,
// scales the window's font and size by the same ratio and centres it on the
// work area (the window's screen when `workArea` is empty). Returns the ratio
// applied, or 0 when the window stays as it is.
double EnlargeWindow(QWidget* window, double& scale, QRect workArea);

}  // namespace amx::gui
