#pragma once
// Numbers to report text and typed text to numbers. Everything here reads and
// writes "." as the decimal point and "," as the thousands separator whatever
// the desktop locale, so a text the program writes is always one it can read
// back.
#include <limits>
#include <string>
#include <string_view>

#include "common/CommonState.h"

namespace amx {

static_assert(std::numeric_limits<long double>::digits == 64,
              "extended precision must be the 80-bit x87 format");

// Significant digits shown for an extended value.
inline constexpr int ExtendedDigits = 18;

// ---- number to text -------------------------------------------------------

// Fixed notation with `decimals` digits after the point and at most 18
// significant digits (further digits print as zeros), thousands separators
// when `commas`. A value with more than 18 integer digits comes out as
// FormatGeneral. A negative value that rounds to zero prints without its sign.
std::string FormatFixed(int decimals, long double x, bool commas);

// The routine for all report numbers: follows the session's number format.
std::string FormatNumber(NumberFormatKind kind, int decimals, long double x);
std::string FormatNumber(const CommonState& cs, int decimals, long double x);
std::string FormatWithCommas(int decimals, long double x);

// Shortest text with 18 significant digits; scientific ("1.5E-7", "1E20") when
// the decimal exponent is below -4 or above 17.
std::string FormatGeneral(long double x);

// decimals = -1: FormatGeneral; otherwise fixed without thousands separators.
std::string FormatFixedOrGeneral(int decimals, long double x);

// FormatNumber with as many decimals as `digits` significant digits need.
std::string FormatSignificant(const CommonState& cs, int digits, long double x);
std::string FormatSignificant(NumberFormatKind kind, int digits, long double x);
// The decimals FormatSignificant uses.
int SignificantDecimals(int digits, long double x);

std::string FormatNumberPadLeft(const CommonState& cs, int width, int decimals, long double x);
std::string FormatNumberPadRight(const CommonState& cs, int width, int decimals, long double x);
std::string IntToTextPadLeft(long long n, int width);

// ---- text to number -------------------------------------------------------

std::string RemoveCommas(std::string_view text);

// The standard conversion without the comma removal: optional leading and
// trailing blanks, optional sign, digits with an optional "." (".5" and "5."
// are numbers), optional exponent. `errorPos` gets 0 on success, else the
// 1-based position of the first character that does not fit (the length + 1
// when the text ends too early). Overflow is an error; underflow gives 0.
long double ConvertExtended(std::string_view text, int& errorPos);
// A 32-bit integer; overflow is an error at the digit that overflows.
int ConvertInteger(std::string_view text, int& errorPos);

// RemoveCommas, then the conversion; the error position goes to StatErrorCode.
// The result is 0 when the text is not a number.
long double TextToExtended(CommonState& cs, std::string_view text);
int TextToInteger(CommonState& cs, std::string_view text);

// Completes a typed number: ".5" -> "0.5", "-.5" -> "-0.5", "5." -> "5",
// "" -> "0".
std::string NormaliseNumberText(std::string_view text);

// The text of a numeric edit box once the user leaves it: commas removed and,
// with the with-commas format, put back between the groups of three integer
// digits ("-1234.5" -> "-1,234.5").
std::string ReformatNumberText(NumberFormatKind kind, std::string_view text);
std::string ReformatNumberText(const CommonState& cs, std::string_view text);

}  // namespace amx
