#include "shell/WindowOrder.h"

#include <algorithm>

namespace amx {

void WindowOrder::Activate(int id) {
    Remove(id);
    ids_.insert(ids_.begin(), id);
}

void WindowOrder::AddLast(int id) {
    Remove(id);
    ids_.push_back(id);
}

void WindowOrder::Remove(int id) { ids_.erase(std::remove(ids_.begin(), ids_.end(), id), ids_.end()); }

std::vector<FormsMenuEntry> FormsMenuEntries(const std::vector<WindowInfo>& windows) {
    std::vector<FormsMenuEntry> out;
    for (std::size_t i = 1; i < windows.size(); ++i)
        out.push_back({windows[i].caption, windows[i].visible, windows[i].id});
    // The list is sorted on caption + " 1" / " 2"; sorting on the caption and
    // then on hidden-after-visible gives the same order.
    std::stable_sort(out.begin(), out.end(), [](const FormsMenuEntry& a, const FormsMenuEntry& b) {
        if (a.caption != b.caption) return a.caption < b.caption;
        return a.checked && !b.checked;
    });
    return out;
}

std::optional<int> NextWindow(const std::vector<WindowInfo>& windows, bool onlyVisible) {
    if (windows.size() < 3) return std::nullopt;
    for (std::size_t i = windows.size() - 1; i > 0; --i) {
        const WindowInfo& w = windows[i];
        if (w.dialogBorder) continue;
        if (onlyVisible && !w.visible) continue;
        return w.id;
    }
    return std::nullopt;
}

}  // namespace amx
