#include "common/KeyFilters.h"

#include <algorithm>

namespace amx {
namespace {

struct Typed {
    std::string rest;  // the text with the selection removed
    int caret = 0;
};

Typed Remove(const KeyBox& box) {
    const int size = static_cast<int>(box.text.size());
    const int start = std::clamp(box.selStart, 0, size);
    const int len = std::clamp(box.selLength, 0, size - start);
    Typed t;
    t.rest = box.text;
    t.rest.erase(start, len);
    t.caret = start;
    return t;
}

KeyResult Reject(const KeyBox& box) { return {KeyAction::Reject, box}; }

KeyResult Set(std::string text, int caret) {
    return {KeyAction::Apply, KeyBox{std::move(text), caret, 0}};
}

KeyResult Insert(const Typed& t, char c) {
    std::string s = t.rest;
    s.insert(s.begin() + t.caret, c);
    return Set(std::move(s), t.caret + 1);
}

KeyResult Backspace(const KeyBox& box) {
    if (box.selLength > 0) {
        Typed t = Remove(box);
        return Set(t.rest, t.caret);
    }
    const int caret = std::clamp(box.selStart, 0, static_cast<int>(box.text.size()));
    if (caret == 0) return {KeyAction::Apply, KeyBox{box.text, 0, 0}};
    std::string s = box.text;
    s.erase(caret - 1, 1);
    return Set(std::move(s), caret - 1);
}

bool IsClipboardKey(char32_t k) { return k == KeyCtrlC || k == KeyCtrlV || k == KeyCtrlX; }
bool IsDigit(char32_t k) { return k >= '0' && k <= '9'; }

// A "." into an empty box becomes "0.", with the caret after it.
KeyResult Point(const Typed& t, const KeyBox& box) {
    if (t.rest.find('.') != std::string::npos) return Reject(box);
    if (t.rest.empty()) return Set("0.", 2);
    return Insert(t, '.');
}

KeyResult Real(const KeyBox& box, char32_t key, bool allowMinus) {
    if (IsClipboardKey(key)) return {KeyAction::PassToBox, box};
    if (key == KeyBackspace) return Backspace(box);
    const Typed t = Remove(box);
    if (key == '.') {
        if (allowMinus && t.rest == "-" && t.caret == 1) return Set("-0.", 3);
        return Point(t, box);
    }
    if (key == '-') {
        if (!allowMinus || t.caret != 0 || (!t.rest.empty() && t.rest[0] == '-'))
            return Reject(box);
        return Insert(t, '-');
    }
    if (IsDigit(key) || key == ',' || key == 'E' || key == 'e') return Insert(t, static_cast<char>(key));
    return Reject(box);
}

}  // namespace

KeyResult RealKey(const KeyBox& box, char32_t key) { return Real(box, key, true); }

KeyResult PositiveRealKey(const KeyBox& box, char32_t key) { return Real(box, key, false); }

KeyResult ProbabilityKey(const KeyBox& box, char32_t key) {
    if (IsClipboardKey(key)) return {KeyAction::PassToBox, box};
    if (key == KeyBackspace) {
        // The "0." in front stays.
        if (box.selStart < 3) return Reject(box);
        return Backspace(box);
    }
    const Typed t = Remove(box);
    const auto dot = t.rest.find('.');
    if (key == '.') {
        if (dot != std::string::npos) return Reject(box);
        if (t.rest.empty()) return Set("0.", 2);
        if (t.rest == "0" && t.caret == 1) return Insert(t, '.');
        return Reject(box);
    }
    if (!IsDigit(key)) return Reject(box);
    if (dot == std::string::npos) {
        if (key == '0' && t.rest.empty()) return Insert(t, '0');
        return Reject(box);
    }
    if (key != '0' && t.caret < 2) return Reject(box);
    if (key == '0' && t.caret <= static_cast<int>(dot)) return Reject(box);
    return Insert(t, static_cast<char>(key));
}

KeyResult ComboRealKey(const KeyBox& box, char32_t key) {
    if (IsClipboardKey(key)) return {KeyAction::PassToBox, box};
    if (key == KeyBackspace) return Backspace(box);
    const Typed t = Remove(box);
    if (key == '.') return Point(t, box);
    if (IsDigit(key)) return Insert(t, static_cast<char>(key));
    return Reject(box);
}

KeyResult IntegerKey(const KeyBox& box, char32_t key) {
    if (IsClipboardKey(key)) return {KeyAction::PassToBox, box};
    if (key == KeyBackspace) return Backspace(box);
    if (IsDigit(key)) return Insert(Remove(box), static_cast<char>(key));
    return Reject(box);
}

}  // namespace amx
