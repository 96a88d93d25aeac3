#include "procedure/FormScale.h"

#include <algorithm>

namespace amx::gui {

double EnlargeTarget(double current, QSize window, QSize workArea) {
    if (window.isEmpty() || workArea.isEmpty() || current <= 0) return current;
    const double w = window.width(), h = window.height();
    const double aw = workArea.width(), ah = workArea.height();
    double target = current == 1.0 ? std::max(ah / h, aw / w) : 1.0;
    if (target == current) return current;
    const bool fits = w <= aw && h <= ah;
    if (!fits && target > current) return current;
    // Lowered until both sides fit; sizes scale by target / current.
    target = std::min({target, aw * current / w, ah * current / h});
    return target;
}

}  // namespace amx::gui
