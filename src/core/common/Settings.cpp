#include "common/Settings.h"

#include <limits>

namespace amx {

std::string ReadSettingString(CommonState& cs, const std::string& key, const std::string& name) {
    if (!cs.settings->OpenKey(key, false)) {
        cs.StatErrorCode = 1;
        return {};
    }
    cs.StatErrorCode = 0;
    return cs.settings->ReadString(key, name).value_or(std::string());
}

std::string ReadSettingStringCreate(CommonState& cs, const std::string& key,
                                    const std::string& name) {
    if (!cs.settings->OpenKey(key, true)) {
        cs.StatErrorCode = 1;
        return {};
    }
    cs.StatErrorCode = 0;
    if (auto v = cs.settings->ReadString(key, name)) return *v;
    cs.settings->WriteString(key, name, std::string());
    return {};
}

void WriteSettingString(CommonState& cs, const std::string& key, const std::string& name,
                        const std::string& text) {
    if (cs.settings->OpenKey(key, true)) cs.settings->WriteString(key, name, text);
}

int ReadSettingInteger(CommonState& cs, const std::string& key, const std::string& name,
                       int defaultValue) {
    if (!cs.settings->OpenKey(key, true)) {
        cs.StatErrorCode = 1;
        return defaultValue;
    }
    cs.StatErrorCode = 0;
    auto v = cs.settings->ReadInteger(key, name);
    if (v && *v >= std::numeric_limits<int>::min() && *v <= std::numeric_limits<int>::max())
        return static_cast<int>(*v);
    // Missing, or not an integer the program could have written: store the
    // default so the next read finds a sound value.
    cs.settings->WriteInteger(key, name, defaultValue);
    return defaultValue;
}

void WriteSettingInteger(CommonState& cs, const std::string& key, const std::string& name,
                         int value) {
    if (cs.settings->OpenKey(key, true)) cs.settings->WriteInteger(key, name, value);
}

void SetNumberFormat(CommonState& cs, NumberFormatKind kind, const std::string& key) {
    cs.numberFormat = kind;
    WriteSettingString(cs, key, NumberFormatValueName,
                       kind == NumberFormatKind::WithCommas ? "N" : "F");
}

void ReadNumberFormat(CommonState& cs, const std::string& key) {
    const std::string v = ReadSettingString(cs, key, NumberFormatValueName);
    if (v == "F") cs.numberFormat = NumberFormatKind::WithoutCommas;
    else if (v == "N") cs.numberFormat = NumberFormatKind::WithCommas;
}

}  // namespace amx
