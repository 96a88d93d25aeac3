#pragma once
// The per-user settings store as the program uses it: each call opens the key,
// acts and lets go. Reads report through StatErrorCode (0 = the key could be
// opened); writes fail silently, so the program runs unchanged without a store.
#include <string>

#include "common/CommonState.h"

namespace amx {

// Where the program's own values live (the recent-files list has its own key).
inline const std::string SettingsKey = "\\Software\\Helmridge\\Ambrolux\\Settings";
inline const std::string NumberFormatValueName = "AmxNumberFormat";

// Without creating the key: the value, or "" when it does not exist.
std::string ReadSettingString(CommonState& cs, const std::string& key, const std::string& name);
// Creates the key, and an empty value when there is none.
std::string ReadSettingStringCreate(CommonState& cs, const std::string& key, const std::string& name);
void WriteSettingString(CommonState& cs, const std::string& key, const std::string& name,
                        const std::string& text);
// Creates the key; a missing (or unreadable) value is written with `defaultValue`.
int ReadSettingInteger(CommonState& cs, const std::string& key, const std::string& name,
                       int defaultValue);
void WriteSettingInteger(CommonState& cs, const std::string& key, const std::string& name, int value);

// Sets the report number format and stores it as "N" (with commas) or "F".
void SetNumberFormat(CommonState& cs, NumberFormatKind kind,
                     const std::string& key = SettingsKey);
// "F" selects without commas, "N" with; anything else keeps the current kind.
void ReadNumberFormat(CommonState& cs, const std::string& key = SettingsKey);

}  // namespace amx
