#pragma once
// Small text helpers for building report lines and reading typed lists.
// Widths count characters (UTF-8 code points), not bytes.
#include <string>
#include <string_view>
#include <vector>

#include "common/CommonState.h"

namespace amx {

std::string Spaces(int n);
std::string Dashes(int n);
// Number of characters (code points) of a UTF-8 text.
int TextWidth(std::string_view text);
std::string PadLeft(std::string_view text, int width);
std::string PadRight(std::string_view text, int width);
// Only the space character is removed.
std::string TrimSpaces(std::string_view text);
std::string RemoveSpaces(std::string_view text);
std::string CollapseSpaces(std::string_view text);
std::string DropLastChar(std::string_view text);
// A column-list item without its two-letter column code.
std::string DropColumnCode(std::string_view text);
// Pieces between the delimiters, each trimmed of blanks and control
// characters; a delimiter at the very end adds no empty piece; an empty text
// gives no pieces.
std::vector<std::string> SplitAt(std::string_view delimiter, std::string_view text);
bool ContainsNonNumericChar(std::string_view text);

// values is 1-based (entry 0 unused). The first i in from..count with
// values[i] == x, else 0.
int IndexOfValue(const std::vector<double>& values, int from, int count, double x);
// Sorts values[1..count] ascending in place.
void SortAscending(std::vector<double>& values, int count);

// Seconds since local midnight, with the fraction.
double SecondsOfDay();

bool HasUserTitle(const CommonState& cs);
void AppendWork(CommonState& cs, std::string_view text);

}  // namespace amx
