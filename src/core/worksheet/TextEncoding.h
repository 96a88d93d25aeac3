#pragma once
// The two encodings of data files. Worksheet text is UTF-8 in memory; files
// are read as UTF-8 when their bytes are valid UTF-8 and as Windows-1252
// otherwise, and written in Windows-1252 whenever every character fits, so
// files stay readable by older programs that know only the 8-bit code page.
#include <string>
#include <string_view>

namespace amx {

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates,
// nothing beyond U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of Windows-1252 bytes. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of
// the same number, as Windows itself maps them, so they survive a round trip.
void AppendCp1252AsUtf8(std::string_view bytes, std::string& out);

// True when every character of the UTF-8 text has a Windows-1252 byte.
bool FitsCp1252(std::string_view utf8);
// Appends the Windows-1252 bytes of UTF-8 text that FitsCp1252.
void AppendUtf8AsCp1252(std::string_view utf8, std::string& out);

}  // namespace amx
