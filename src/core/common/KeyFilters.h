#pragma once
// Filters that keep edit boxes numeric, as pure functions of the box's state
// and the typed character. The desktop calls one from the box's key handler:
// Reject means beep and discard the key, PassToBox lets the box do its own
// clipboard work, Apply means the box takes the returned text and selection.
// The checks look at the box's text with the current selection removed, since
// the typed character replaces it.
#include <string>

namespace amx {

inline constexpr char32_t KeyBackspace = 8;
inline constexpr char32_t KeyCtrlC = 3;
inline constexpr char32_t KeyCtrlV = 22;
inline constexpr char32_t KeyCtrlX = 24;

struct KeyBox {
    std::string text;
    int selStart = 0;   // caret position when selLength is 0
    int selLength = 0;
    bool operator==(const KeyBox&) const = default;
};

enum class KeyAction { Reject, Apply, PassToBox };

struct KeyResult {
    KeyAction action = KeyAction::Reject;
    KeyBox box;  // the box after the key (unchanged for Reject and PassToBox)
    bool Accepted() const { return action != KeyAction::Reject; }
};

// Digits, ",", "-", ".", "E", "e": "." only once, "-" only at the start (and
// not twice); "." into an empty box gives "0.", after a lone "-" gives "-0.".
KeyResult RealKey(const KeyBox& box, char32_t key);
// As RealKey without "-".
KeyResult PositiveRealKey(const KeyBox& box, char32_t key);
// Keeps the form 0.ddd of a probability.
KeyResult ProbabilityKey(const KeyBox& box, char32_t key);
// Digits and one ".", for combo boxes.
KeyResult ComboRealKey(const KeyBox& box, char32_t key);
// Digits only.
KeyResult IntegerKey(const KeyBox& box, char32_t key);

}  // namespace amx
