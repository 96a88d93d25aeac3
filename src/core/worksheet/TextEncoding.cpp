#include "worksheet/TextEncoding.h"

#include <cstdint>
#include <cstring>

namespace amx {

namespace {

// Unicode code points of Windows-1252 bytes 0x80..0x9F.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one code point of valid UTF-8 at text[i], advancing i.
char32_t NextCodePoint(std::string_view t, std::size_t& i) {
    auto b = static_cast<unsigned char>(t[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : 1;
    char32_t cp = b & (0x3F >> extra);
    ++i;
    for (int k = 0; k < extra && i < t.size(); ++k, ++i) cp = (cp << 6) | (static_cast<unsigned char>(t[i]) & 0x3F);
    return cp;
}

int Cp1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int k = 0; k < 32; ++k)
        if (kCp1252High[k] == cp) return 0x80 + k;
    return -1;
}

bool AllAscii(std::string_view t) {
    std::size_t i = 0;
    for (; i + 8 <= t.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, t.data() + i, 8);
        if (w & 0x8080808080808080ull) return false;
    }
    for (; i < t.size(); ++i)
        if (static_cast<unsigned char>(t[i]) >= 0x80) return false;
    return true;
}

}  // namespace

bool IsValidUtf8(std::string_view t) {
    std::size_t i = 0, n = t.size();
    while (i < n) {
        // Skip ASCII eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t w;
            std::memcpy(&w, t.data() + i, 8);
            if (!(w & 0x8080808080808080ull)) {
                i += 8;
                continue;
            }
        }
        auto b = static_cast<unsigned char>(t[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t min;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            min = 0x10000;
        } else {
            return false;
        }
        if (n - i <= static_cast<std::size_t>(extra)) return false;
        char32_t cp = b & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto c = static_cast<unsigned char>(t[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

void AppendCp1252AsUtf8(std::string_view bytes, std::string& out) {
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out.push_back(ch);
        else if (b < 0xA0)
            AppendUtf8(kCp1252High[b - 0x80], out);
        else
            AppendUtf8(b, out);
    }
}

bool FitsCp1252(std::string_view utf8) {
    if (AllAscii(utf8)) return true;
    if (!IsValidUtf8(utf8)) return false;
    std::size_t i = 0;
    while (i < utf8.size())
        if (Cp1252Byte(NextCodePoint(utf8, i)) < 0) return false;
    return true;
}

void AppendUtf8AsCp1252(std::string_view utf8, std::string& out) {
    if (AllAscii(utf8)) {
        out.append(utf8);
        return;
    }
    std::size_t i = 0;
    while (i < utf8.size()) {
        int b = Cp1252Byte(NextCodePoint(utf8, i));
        out.push_back(static_cast<char>(b < 0 ? '?' : b));
    }
}

}  // namespace amx
