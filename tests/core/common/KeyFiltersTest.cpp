#include <gtest/gtest.h>

#include "common/KeyFilters.h"

namespace amx {
namespace {

using Filter = KeyResult (*)(const KeyBox&, char32_t);

struct KeyCase {
    const char* name;
    Filter filter;
    KeyBox before;
    char32_t key;
    bool accepted;
    KeyBox after;  // checked when accepted
};

void Check(const KeyCase& c) {
    SCOPED_TRACE(c.name);
    KeyResult r = c.filter(c.before, c.key);
    EXPECT_EQ(r.Accepted(), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(r.box, c.before);
    } else if (r.action == KeyAction::Apply) {
        EXPECT_EQ(r.box.text, c.after.text);
        EXPECT_EQ(r.box.selStart, c.after.selStart);
        EXPECT_EQ(r.box.selLength, 0);
    }
}

TEST(KeyFilters, RealAndPositiveReal) {
    const KeyCase cases[] = {
        {"point into empty", RealKey, {"", 0, 0}, '.', true, {"0.", 2}},
        {"point over whole selection", RealKey, {"12.5", 0, 4}, '.', true, {"0.", 2}},
        {"point after lone minus", RealKey, {"-", 1, 0}, '.', true, {"-0.", 3}},
        {"second point", RealKey, {"1.5", 3, 0}, '.', false, {}},
        {"point replacing the old one", RealKey, {"1.5", 1, 1}, '.', true, {"1.5", 2}},
        {"minus not at start", RealKey, {"12", 1, 0}, '-', false, {}},
        {"minus at start", RealKey, {"12", 0, 0}, '-', true, {"-12", 1}},
        {"second leading minus", RealKey, {"-12", 0, 0}, '-', false, {}},
        {"minus replacing the old one", RealKey, {"-12", 0, 1}, '-', true, {"-12", 1}},
        {"digit inserted at caret", RealKey, {"15", 1, 0}, '3', true, {"135", 2}},
        {"comma and exponent", RealKey, {"1", 1, 0}, 'E', true, {"1E", 2}},
        {"thousands comma", RealKey, {"1", 1, 0}, ',', true, {"1,", 2}},
        {"letter", RealKey, {"1", 1, 0}, 'x', false, {}},
        {"plus", RealKey, {"1", 1, 0}, '+', false, {}},
        {"enter", RealKey, {"1", 1, 0}, '\r', false, {}},
        {"backspace", RealKey, {"123", 2, 0}, KeyBackspace, true, {"13", 1}},
        {"backspace on selection", RealKey, {"123", 1, 2}, KeyBackspace, true, {"1", 1}},
        {"backspace at start", RealKey, {"123", 0, 0}, KeyBackspace, true, {"123", 0}},
        {"paste passes to box", RealKey, {"1", 1, 0}, KeyCtrlV, true, {}},
        {"positive refuses minus", PositiveRealKey, {"", 0, 0}, '-', false, {}},
        {"positive point into empty", PositiveRealKey, {"", 0, 0}, '.', true, {"0.", 2}},
        {"positive second point", PositiveRealKey, {"0.5", 1, 0}, '.', false, {}},
        {"positive exponent", PositiveRealKey, {"2", 1, 0}, 'e', true, {"2e", 2}},
    };
    for (const auto& c : cases) Check(c);
    EXPECT_EQ(RealKey({"1", 1, 0}, KeyCtrlC).action, KeyAction::PassToBox);
}

TEST(KeyFilters, ProbabilityKeepsZeroPointForm) {
    const KeyCase cases[] = {
        {"point into empty", ProbabilityKey, {"", 0, 0}, '.', true, {"0.", 2}},
        {"leading zero", ProbabilityKey, {"", 0, 0}, '0', true, {"0", 1}},
        {"point after zero", ProbabilityKey, {"0", 1, 0}, '.', true, {"0.", 2}},
        {"point before zero", ProbabilityKey, {"0", 0, 0}, '.', false, {}},
        {"second zero without point", ProbabilityKey, {"0", 1, 0}, '0', false, {}},
        {"digit without point", ProbabilityKey, {"", 0, 0}, '5', false, {}},
        {"digit after point", ProbabilityKey, {"0.", 2, 0}, '5', true, {"0.5", 3}},
        {"zero after point", ProbabilityKey, {"0.", 2, 0}, '0', true, {"0.0", 3}},
        {"digit in front", ProbabilityKey, {"0.5", 0, 0}, '1', false, {}},
        {"digit at position 1", ProbabilityKey, {"0.5", 1, 0}, '1', false, {}},
        {"zero in front of point", ProbabilityKey, {"0.5", 1, 0}, '0', false, {}},
        {"second point", ProbabilityKey, {"0.5", 3, 0}, '.', false, {}},
        {"backspace in first three", ProbabilityKey, {"0.5", 2, 0}, KeyBackspace, false, {}},
        {"backspace after digits", ProbabilityKey, {"0.55", 4, 0}, KeyBackspace, true, {"0.5", 3}},
        {"point over all", ProbabilityKey, {"0.25", 0, 4}, '.', true, {"0.", 2}},
        {"minus", ProbabilityKey, {"0.5", 3, 0}, '-', false, {}},
        {"exponent", ProbabilityKey, {"0.5", 3, 0}, 'E', false, {}},
    };
    for (const auto& c : cases) Check(c);
}

TEST(KeyFilters, ComboRealAndInteger) {
    const KeyCase cases[] = {
        {"combo point into empty", ComboRealKey, {"", 0, 0}, '.', true, {"0.", 2}},
        {"combo second point", ComboRealKey, {"1.2", 3, 0}, '.', false, {}},
        {"combo digit", ComboRealKey, {"1.2", 3, 0}, '7', true, {"1.27", 4}},
        {"combo minus", ComboRealKey, {"", 0, 0}, '-', false, {}},
        {"combo comma", ComboRealKey, {"1", 1, 0}, ',', false, {}},
        {"integer digit", IntegerKey, {"12", 2, 0}, '3', true, {"123", 3}},
        {"integer replaces selection", IntegerKey, {"12", 0, 2}, '9', true, {"9", 1}},
        {"integer point", IntegerKey, {"12", 2, 0}, '.', false, {}},
        {"integer minus", IntegerKey, {"", 0, 0}, '-', false, {}},
        {"integer backspace", IntegerKey, {"12", 2, 0}, KeyBackspace, true, {"1", 1}},
        {"integer cut", IntegerKey, {"12", 0, 2}, KeyCtrlX, true, {}},
    };
    for (const auto& c : cases) Check(c);
}

}  // namespace
}  // namespace amx
