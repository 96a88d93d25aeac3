#include "shell/MainPosition.h"

#include <algorithm>

#include "shell/ShellDefaults.h"

namespace amx {

WindowPosition ReadMainPosition(CommonState& cs, WindowPosition current) {
    WindowPosition p;
    p.top = std::max(2, ReadSettingInteger(cs, SettingsKey, "MainTop", current.top));
    p.left = std::max(2, ReadSettingInteger(cs, SettingsKey, "MainLeft", current.left));
    return p;
}

void WriteMainPosition(CommonState& cs, WindowPosition pos) {
    WriteSettingInteger(cs, SettingsKey, "MainTop", pos.top);
    WriteSettingInteger(cs, SettingsKey, "MainLeft", pos.left);
}

}  // namespace amx
