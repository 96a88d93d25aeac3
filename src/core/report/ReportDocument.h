#pragma once
// The content of a report pane: paragraphs (lines) of styled runs, and page
// marks that separate successive runs of an analysis. A page mark is its own
// kind of paragraph, so a report line that happens to read "-Page-" is kept
// as text by every writer.
#include <cstdint>
#include <string>
#include <vector>

namespace amx {

inline const std::string FaceArial = "Arial";
inline const std::string FaceCourier = "Courier New";
inline const std::string PageMarkText = "-Page-";

// 0xRRGGBB
using TextColor = std::uint32_t;
inline constexpr TextColor ColorBlack = 0x000000;
inline constexpr TextColor ColorRed = 0xFF0000;

struct TextFont {
    std::string face = FaceCourier;
    int size = 9;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    TextColor color = ColorBlack;
    bool operator==(const TextFont&) const = default;
};

struct TextRun {
    std::string text;  // UTF-8, no line breaks
    TextFont font;
    bool operator==(const TextRun&) const = default;
};

enum class ParagraphKind { Text, PageMark };

struct Paragraph {
    ParagraphKind kind = ParagraphKind::Text;
    std::vector<TextRun> runs;
    // The font in effect at the line break: an empty line keeps its height.
    TextFont endFont;
    std::string Text() const;
    bool operator==(const Paragraph&) const = default;
};

class ReportDocument {
public:
    // The attributes a fresh pane starts with and SetOutputPane restores.
    TextFont defaultFont;

    // Finished lines; `current` is the line being written (no break yet).
    const std::vector<Paragraph>& Paragraphs() const { return paragraphs_; }
    const Paragraph& Current() const { return current_; }

    bool Empty() const { return paragraphs_.empty() && current_.runs.empty(); }
    void Clear();

    // Appends text in `font` to the current line; "\n" (or "\r\n") ends lines.
    void AppendText(const std::string& text, const TextFont& font);
    // Ends the current line.
    void EndLine(const TextFont& font);
    // A page mark on a line of its own; an unfinished line is ended first.
    void AppendPageMark(const TextFont& font);
    // Recolours the last finished line and makes it regular.
    void RecolourLastLine(TextColor color);
    // Every size in the document (and the default) changes by delta points,
    // never below 1.
    void ScaleFonts(int delta);

    // The lines as a reader sees them: every finished line, then the current
    // one when it has text. Page marks read as "-Page-".
    std::vector<Paragraph> Lines() const;

private:
    std::vector<Paragraph> paragraphs_;
    Paragraph current_;
};

}  // namespace amx
