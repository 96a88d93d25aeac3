#include "report/ReportDocument.h"

#include <algorithm>

namespace amx {

std::string Paragraph::Text() const {
    std::string s;
    for (const auto& r : runs) s += r.text;
    return s;
}

void ReportDocument::Clear() {
    paragraphs_.clear();
    current_ = Paragraph{};
}

void ReportDocument::AppendText(const std::string& text, const TextFont& font) {
    std::size_t start = 0;
    while (true) {
        std::size_t nl = text.find('\n', start);
        std::string piece = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        // "\r\n" ends a line like "\n"; a lone carriage return is dropped.
        piece.erase(std::remove(piece.begin(), piece.end(), '\r'), piece.end());
        if (!piece.empty()) {
            auto& runs = current_.runs;
            if (!runs.empty() && runs.back().font == font) runs.back().text += piece;
            else runs.push_back({piece, font});
        }
        if (nl == std::string::npos) break;
        EndLine(font);
        start = nl + 1;
    }
}

void ReportDocument::EndLine(const TextFont& font) {
    current_.endFont = font;
    paragraphs_.push_back(std::move(current_));
    current_ = Paragraph{};
}

void ReportDocument::AppendPageMark(const TextFont& font) {
    if (!current_.runs.empty()) EndLine(font);
    Paragraph mark;
    mark.kind = ParagraphKind::PageMark;
    mark.runs.push_back({PageMarkText, font});
    mark.endFont = font;
    paragraphs_.push_back(std::move(mark));
}

void ReportDocument::RecolourLastLine(TextColor color) {
    if (paragraphs_.empty()) return;
    Paragraph& p = paragraphs_.back();
    auto recolour = [color](TextFont& f) {
        f.color = color;
        f.bold = f.italic = f.underline = false;
    };
    for (auto& r : p.runs) recolour(r.font);
    recolour(p.endFont);
    // Neighbouring runs may now look alike.
    std::vector<TextRun> merged;
    for (auto& r : p.runs) {
        if (!merged.empty() && merged.back().font == r.font) merged.back().text += r.text;
        else merged.push_back(std::move(r));
    }
    p.runs = std::move(merged);
}

void ReportDocument::ScaleFonts(int delta) {
    auto scale = [delta](TextFont& f) { f.size = std::max(1, f.size + delta); };
    auto scaleParagraph = [&](Paragraph& p) {
        for (auto& r : p.runs) scale(r.font);
        scale(p.endFont);
    };
    for (auto& p : paragraphs_) scaleParagraph(p);
    scaleParagraph(current_);
    scale(defaultFont);
}

std::vector<Paragraph> ReportDocument::Lines() const {
    std::vector<Paragraph> out = paragraphs_;
    if (!current_.runs.empty()) out.push_back(current_);
    return out;
}

}  // namespace amx
