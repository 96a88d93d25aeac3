#pragma once
// The file modifications set from typed texts rather than dialog controls:
// what the command-line tool's global options use. Each goes through the same
// routines as the dialog's OK, so the rules mean the same wherever they were set.
#include <string>
#include <string_view>
#include <vector>

#include "worksheet/modifications/ProcessIf.h"

namespace amx {

struct Session;

// One missing-value condition: a relation ("=", ">", ">=", "<", "<=") and a
// value, e.g. "=999" or ">= 1,000". False when the text is not one.
bool ParseMissingCondition(std::string_view text, int& sign, std::string& value);
// Up to two conditions joined by "or"; none turns the rule off. On a bad text
// the rule is left alone and `error` says why.
bool SetMissingRuleFromTexts(Session& s, const std::vector<std::string>& conditions, std::string& error);

// One Process If condition "COLUMN RELATION VALUE": the column by name (or
// number), a relation "=", ">", ">=", "<", "<=", "<>", "in", "Not in", and a
// value or a list ("1,2" or "[1,2]"); text columns compare by level number.
bool ParseProcessIfCondition(const Session& s, std::string_view text, ProcessIfCondition& condition,
                             std::string& error);
// Up to two conditions joined by And (or Or); none turns the filter off.
bool SetProcessIfFromTexts(Session& s, const std::vector<std::string>& conditions, bool useOr, std::string& error);

// 0..12 for "none", "linear", "power1", "power2", "inv", "log", "exp",
// "arcsin", "sin", "uniform", "normal", "exponential", "chisquare" (any case)
// or the number itself; -1 otherwise.
int TransformNumberFromName(std::string_view name);
// The transform with its constants as typed, checked as the dialog's OK checks them.
bool SetTransformFromTexts(Session& s, std::string_view name, std::string_view a, std::string_view b,
                           std::string_view c, bool normFirst, std::string& error);

}  // namespace amx
