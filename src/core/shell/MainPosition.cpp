#include "shell/MainPosition.h"

#include <algorithm>
#include <climits>

#include "shell/ShellDefaults.h"

namespace amx {
namespace {

int ReadIntegerCreate(CommonState& cs, const std::string& name, int def) {
    SettingsStore& s = *cs.settings;
    if (!s.OpenKey(SettingsKey, true)) {
        cs.StatErrorCode = 1;
        return def;
    }
    cs.StatErrorCode = 0;
    auto v = s.ReadInteger(SettingsKey, name);
    if (!v) {
        s.WriteInteger(SettingsKey, name, def);
        return def;
    }
    return static_cast<int>(std::clamp<long long>(*v, INT_MIN / 2, INT_MAX / 2));
}

}  // namespace

WindowPosition ReadMainPosition(CommonState& cs, WindowPosition current) {
    WindowPosition p;
    p.top = std::max(2, ReadIntegerCreate(cs, "MainTop", current.top));
    p.left = std::max(2, ReadIntegerCreate(cs, "MainLeft", current.left));
    return p;
}

void WriteMainPosition(CommonState& cs, WindowPosition pos) {
    cs.settings->WriteInteger(SettingsKey, "MainTop", pos.top);
    cs.settings->WriteInteger(SettingsKey, "MainLeft", pos.left);
}

}  // namespace amx
