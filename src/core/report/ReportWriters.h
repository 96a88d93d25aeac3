#pragma once
// Saving a report: plain text (page marks left out) or rich text (page marks
// become page breaks). Both use CR LF line ends.
#include <string>

#include "report/ReportDocument.h"

namespace amx {

// Every line, UTF-8, each ended by CR LF; page marks are left out.
std::string PlainTextReport(const ReportDocument& doc);

// RTF 1.x, ASCII only: characters beyond ASCII as \uN? escapes, tabs as \tab,
// page marks as \page.
std::string RtfReport(const ReportDocument& doc);

// True when the file name ends in ".rtf", in any letter case.
bool IsRtfFileName(const std::string& path);

// UTF-8 to Windows-1252; false (and `out` unspecified) when some character
// has no place in that code page or the text is not valid UTF-8.
bool Utf8ToWindows1252(const std::string& utf8, std::string& out);

// Writes the report as rich text when the name ends in ".rtf", else as plain
// text in Windows-1252 (UTF-8 when some character does not fit), through
// SafeWriteFile, so a failed save leaves an existing file as it was. False
// when the file could not be written or the target is refused.
bool SaveReport(const ReportDocument& doc, const std::string& path);

}  // namespace amx
