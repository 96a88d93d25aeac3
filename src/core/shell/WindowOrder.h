#pragma once
// The list of open windows in activation order, most recently activated
// first, and the choices the main window's Forms menu and its two
// next-window commands make on it. Windows are identified by an opaque id.
#include <optional>
#include <string>
#include <vector>

namespace amx {

struct WindowInfo {
    int id = 0;
    std::string caption;
    bool visible = false;
    bool dialogBorder = false;  // modal dialogs and message boxes
};

class WindowOrder {
public:
    // Moves the window to the front, adding it when new.
    void Activate(int id);
    // Adds a window that has not been activated yet, behind all others.
    void AddLast(int id);
    void Remove(int id);
    const std::vector<int>& Ids() const { return ids_; }
    int Count() const { return static_cast<int>(ids_.size()); }

private:
    std::vector<int> ids_;
};

struct FormsMenuEntry {
    std::string caption;
    bool checked = false;  // the window is visible
    int id = 0;
};

// One entry per window except the first in activation order (the main window),
// sorted by caption; visible windows are checked.
std::vector<FormsMenuEntry> FormsMenuEntries(const std::vector<WindowInfo>& inActivationOrder);

// "View Next Open Form" (onlyVisible false) and "View Next Visible Form"
// (true): with fewer than three windows nothing happens; otherwise, starting
// at the last window and moving towards the front, the first window without a
// dialog border (and, for the visible variant, shown) that is not the front
// window. Showing it moves it to the front, so repeated use cycles.
std::optional<int> NextWindow(const std::vector<WindowInfo>& inActivationOrder, bool onlyVisible);

// Whether the File menu enables the two next-window commands.
inline bool NextWindowCommandsEnabled(int windowCount) { return windowCount > 2; }

}  // namespace amx
