#include "report/ReportWriters.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "common/SafeWrite.h"

namespace amx {
namespace {

// Next code point of a UTF-8 text; U+FFFD for a malformed sequence.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    int extra = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        ++i;
        return c;
    } else if ((c & 0xE0) == 0xC0) {
        extra = 1, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3, cp = c & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        if (i + k >= s.size() || (b(i + k) & 0xC0) != 0x80) {
            i += k;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    i += extra + 1;
    const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string RtfEscape(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t cp = NextCodePoint(text, i);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp < 0x20) {
            // Other control characters have no place in a report line.
        } else if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            auto unit = [&](long u) {
                if (u > 32767) u -= 65536;  // \u takes a signed 16-bit number
                out += "\\u" + std::to_string(u) + "?";
            };
            if (cp > 0xFFFF) {
                const char32_t v = cp - 0x10000;
                unit(0xD800 + (v >> 10));
                unit(0xDC00 + (v & 0x3FF));
            } else {
                unit(static_cast<long>(cp));
            }
        }
    }
    return out;
}

std::string FontFamily(const std::string& face) {
    if (face == FaceArial) return "\\fswiss";
    if (face == FaceCourier) return "\\fmodern";
    return "\\fnil";
}

}  // namespace

std::string PlainTextReport(const ReportDocument& doc) {
    std::string out;
    for (const auto& p : doc.Lines()) {
        if (p.kind == ParagraphKind::PageMark) continue;
        out += p.Text();
        out += "\r\n";
    }
    return out;
}

std::string RtfReport(const ReportDocument& doc) {
    const auto lines = doc.Lines();
    std::vector<std::string> faces;
    std::vector<TextColor> colors;
    auto note = [&](const TextFont& f) {
        if (std::find(faces.begin(), faces.end(), f.face) == faces.end()) faces.push_back(f.face);
        if (std::find(colors.begin(), colors.end(), f.color) == colors.end())
            colors.push_back(f.color);
    };
    note(doc.defaultFont);
    for (const auto& p : lines) {
        if (p.kind == ParagraphKind::PageMark) continue;
        for (const auto& r : p.runs) note(r.font);
        note(p.endFont);
    }
    auto faceIndex = [&](const TextFont& f) {
        return std::find(faces.begin(), faces.end(), f.face) - faces.begin();
    };
    auto colorIndex = [&](const TextFont& f) {
        return std::find(colors.begin(), colors.end(), f.color) - colors.begin() + 1;
    };
    auto fontWords = [&](const TextFont& f) {
        return "\\f" + std::to_string(faceIndex(f)) + "\\fs" + std::to_string(2 * f.size);
    };

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (std::size_t k = 0; k < faces.size(); ++k)
        out += "{\\f" + std::to_string(k) + FontFamily(faces[k]) + "\\fcharset0 " +
               RtfEscape(faces[k]) + ";}";
    out += "}\r\n{\\colortbl ;";
    for (TextColor c : colors)
        out += "\\red" + std::to_string((c >> 16) & 0xFF) + "\\green" +
               std::to_string((c >> 8) & 0xFF) + "\\blue" + std::to_string(c & 0xFF) + ";";
    out += "}\r\n";
    for (const auto& p : lines) {
        if (p.kind == ParagraphKind::PageMark) {
            out += "\\page\r\n";
            continue;
        }
        out += "\\pard\\plain" + fontWords(p.endFont) + " ";
        for (const auto& r : p.runs) {
            const TextFont& f = r.font;
            out += "{" + fontWords(f);
            if (f.bold) out += "\\b";
            if (f.italic) out += "\\i";
            if (f.underline) out += "\\ul";
            out += "\\cf" + std::to_string(colorIndex(f)) + " " + RtfEscape(r.text) + "}";
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

bool IsRtfFileName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ext == ".RTF";
}

bool Utf8ToWindows1252(const std::string& utf8, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < utf8.size()) {
        // Malformed bytes come back as U+FFFD, which the code page lacks.
        const char32_t cp = NextCodePoint(utf8, i);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        const char16_t* hit = std::find(std::begin(Cp1252High), std::end(Cp1252High), cp);
        if (hit == std::end(Cp1252High)) return false;
        out += static_cast<char>(0x80 + (hit - Cp1252High));
    }
    return true;
}

bool SaveReport(const ReportDocument& doc, const std::string& path) {
    std::string bytes;
    if (IsRtfFileName(path)) {
        bytes = RtfReport(doc);
    } else {
        const std::string text = PlainTextReport(doc);
        if (!Utf8ToWindows1252(text, bytes)) bytes = text;
    }
    return SafeWriteFile(path, bytes) == SafeWriteResult::Written;
}

}  // namespace amx
