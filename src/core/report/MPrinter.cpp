#include "report/MPrinter.h"

#include <algorithm>
#include <cctype>

namespace amx {
namespace {

std::size_t FindNoCase(const std::string& text, char a, char b) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == a && std::toupper(static_cast<unsigned char>(text[i + 1])) == b) return i;
    return std::string::npos;
}

}  // namespace

std::string ExpandHeaderFooterMacros(std::string text, int page, const std::string& date) {
    if (auto at = FindNoCase(text, '&', 'P'); at != std::string::npos)
        text.replace(at, 2, std::to_string(page));
    if (auto at = FindNoCase(text, '&', 'D'); at != std::string::npos) text.replace(at, 2, date);
    return text;
}

TMPrinter::TMPrinter(PrinterGeometry geometry, PrintMeasure& measure)
    : geometry_(geometry), measure_(measure) {
    InitMPrinter();
}

void TMPrinter::InitMPrinter() {
    Header.Active = false;
    Footer.Active = false;
    pages_.assign(1, PrintedPage{});
    PenToMargin();
}

int TMPrinter::ToPixelsX(int v) const {
    return static_cast<int>(static_cast<long long>(v) * geometry_.dpiX / 1000) - geometry_.offsetX;
}

int TMPrinter::ToPixelsY(int v) const {
    return static_cast<int>(static_cast<long long>(v) * geometry_.dpiY / 1000) - geometry_.offsetY;
}

PrintRect TMPrinter::InchesToPixels(const PrintRect& r) const {
    return {ToPixelsX(r.left), ToPixelsY(r.top), ToPixelsX(r.right), ToPixelsY(r.bottom)};
}

void TMPrinter::SetMargins(int left, int right, int bottom, int top) {
    const int w = geometry_.pageWidth, h = geometry_.pageHeight;
    const PrintRect c = InchesToPixels({left, top, right, bottom});
    Margins.left = (c.left > 0 && c.left < w) ? c.left : 0;
    Margins.right = w - c.right;
    if (c.right <= 0 || Margins.right <= Margins.left) Margins.right = w;
    Margins.top = (c.top > 0 && c.top < h) ? c.top : 0;
    Margins.bottom = h - c.bottom;
    if (c.bottom <= 0 || Margins.bottom <= Margins.top) Margins.bottom = h;
}

void TMPrinter::SetHeaderFooter(const std::string& t1, const std::string& t2, const TextFont& font,
                                int kind, bool firstPage, int location, const std::string& t3) {
    THFRec* rec = kind == 1 ? &Header : kind == 2 ? &Footer : nullptr;
    if (!rec) return;
    rec->T1 = t1;
    rec->T2 = t2;
    rec->T3 = t3;
    rec->HFFont = font;
    rec->FirstPage = firstPage;
    rec->Active = true;
    const int at = ToPixelsY(location);
    if (kind == 1) rec->VLoc = at < 1 ? 0 : at;
    else rec->VLoc = at < 1 ? geometry_.pageHeight : geometry_.pageHeight - at;
    if (firstPage && PageNumber() == 1) PrintOutHeaderFooter();
}

void TMPrinter::ClearHeaderFooter(int kind) {
    if (kind == 1) Header.Active = false;
    if (kind == 2) Footer.Active = false;
}

void TMPrinter::PrintOutHeaderFooter() {
    const int page = PageNumber();
    for (const THFRec* rec : {&Header, &Footer}) {
        if (!rec->Active || (page == 1 && !rec->FirstPage)) continue;
        const TextFont& f = rec->HFFont;
        int y = rec->VLoc;
        if (rec == &Footer) y -= 2 * measure_.CapitalHeight(f);
        if (!rec->T1.empty()) Draw(ExpandHeaderFooterMacros(rec->T1, page, DateText), Margins.left, y, f, false);
        if (!rec->T2.empty()) {
            std::string t = ExpandHeaderFooterMacros(rec->T2, page, DateText);
            const int x = Margins.left + (Margins.right - Margins.left - measure_.TextWidth(f, t)) / 2;
            Draw(t, x, y, f, false);
        }
        if (!rec->T3.empty()) {
            std::string t = ExpandHeaderFooterMacros(rec->T3, page, DateText);
            Draw(t, Margins.right - measure_.TextWidth(f, t), y, f, false);
        }
    }
    // The body font stays as it was: a page break inside a text must not
    // print the rest of it in the header's font.
    PenToMargin();
}

void TMPrinter::NewPage() {
    pages_.emplace_back();
    PenToMargin();
    PrintOutHeaderFooter();
}

void TMPrinter::NewLine() {
    const int h = measure_.LineHeight(Font);
    penX_ = Margins.left;
    penY_ += h;
    if (penY_ > Margins.bottom - h) NewPage();
}

void TMPrinter::PrnOutStr(const std::string& text) {
    if (text.empty()) return;
    const int x = std::max(penX_, Margins.left);
    const int y = std::max(penY_, Margins.top);
    Draw(text, x, y, Font, true);
    // The pen is where the text went, so the next line starts below it.
    penX_ = x + measure_.TextWidth(Font, text);
    penY_ = y;
}

void TMPrinter::PrintString(const std::string& text) {
    std::string piece;
    for (char c : text) {
        if (c == '\t') {
            piece += TabSpace;
        } else if (c == '\n') {
        } else if (c == '\r') {
            PrnOutStr(piece);
            piece.clear();
            NewLine();
        } else if (c == '\f') {
            PrnOutStr(piece);
            piece.clear();
            NewPage();
        } else {
            piece += c;
        }
    }
    PrnOutStr(piece);
}

namespace {

std::string ExpandTabs(const std::string& text, const std::string& tab) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\t')
            out += tab;
        else if (c != '\r' && c != '\n' && c != '\f')
            out += c;
    }
    return out;
}

// Byte positions where a UTF-8 text may be cut: not inside a character.
bool IsCharacterStart(const std::string& t, std::size_t i) {
    return i >= t.size() || (static_cast<unsigned char>(t[i]) & 0xC0) != 0x80;
}

}  // namespace

void TMPrinter::PrintFittedLines(const std::vector<PrintLine>& lines) {
    const int width = std::max(1, Margins.right - Margins.left);
    std::vector<PrintLine> fitted;
    fitted.reserve(lines.size());
    for (const auto& l : lines) fitted.push_back({ExpandTabs(l.text, TabSpace), l.font});
    auto allFit = [&] {
        for (const auto& l : fitted)
            if (measure_.TextWidth(l.font, l.text) > width) return false;
        return true;
    };
    for (;;) {
        if (allFit()) break;
        bool shrunk = false;
        for (auto& l : fitted) {
            if (l.font.size > MinimumFittedFontSize) {
                --l.font.size;
                shrunk = true;
            }
        }
        if (!shrunk) break;
    }
    for (const auto& l : fitted) {
        Font = l.font;
        std::string rest = l.text;
        while (measure_.TextWidth(Font, rest) > width) {
            // The longest start of the rest that fits (binary search over
            // character boundaries), at least one character.
            std::size_t lo = 0, hi = rest.size();
            while (lo < hi) {
                std::size_t mid = (lo + hi + 1) / 2;
                while (mid < rest.size() && !IsCharacterStart(rest, mid)) ++mid;
                if (mid > hi) mid = hi;
                if (measure_.TextWidth(Font, rest.substr(0, mid)) <= width) {
                    lo = mid;
                } else {
                    std::size_t back = mid - 1;
                    while (back > lo && !IsCharacterStart(rest, back)) --back;
                    hi = back;
                }
            }
            std::size_t cut = lo;
            if (cut == 0) {
                cut = 1;
                while (cut < rest.size() && !IsCharacterStart(rest, cut)) ++cut;
            }
            // Prefer a blank in the last third of the piece.
            std::size_t blank = rest.rfind(' ', cut);
            if (blank != std::string::npos && blank >= cut * 2 / 3 && blank > 0 && cut < rest.size()) cut = blank + 1;
            PrnOutStr(rest.substr(0, cut));
            NewLine();
            rest.erase(0, cut);
        }
        PrnOutStr(rest);
        NewLine();
    }
}

int TMPrinter::CharactersPerLine() {
    const int w = std::max(1, measure_.AverageCharWidth(Font));
    return (Margins.right - Margins.left) / w;
}

int TMPrinter::LinesPerPage() {
    return (Margins.bottom - Margins.top) / (measure_.LineHeight(Font) + 2);
}

int TMPrinter::LinesLeftOnPage() {
    return (Margins.bottom - penY_) / (measure_.LineHeight(Font) + 2);
}

void TMPrinter::PlacePicture(const PrintRect& pixels) {
    pages_.back().picture = pixels;
    pages_.back().hasBody = true;
}

std::vector<PrintedPage> TMPrinter::FinishedPages() const {
    std::vector<PrintedPage> out = pages_;
    while (out.size() > 1 && !out.back().hasBody) out.pop_back();
    return out;
}

void TMPrinter::PenToMargin() {
    penX_ = Margins.left;
    penY_ = Margins.top;
}

void TMPrinter::Draw(const std::string& text, int x, int y, const TextFont& font, bool body) {
    pages_.back().items.push_back({text, x, y, font});
    if (body) pages_.back().hasBody = true;
}

TextFont HeaderFooterFont() {
    TextFont f;
    f.face = FaceCourier;
    f.size = 9;
    f.color = ColorBlack;
    return f;
}

namespace {

int HeaderLocation(bool landscape) { return landscape ? 650 : 250; }

// The font a printed line takes: face and style of its first character, two
// points larger, in black.
TextFont LineFont(const Paragraph& p) {
    TextFont f = p.runs.empty() ? p.endFont : p.runs.front().font;
    f.size += 2;
    f.color = ColorBlack;
    return f;
}

}  // namespace

std::vector<PrintedPage> LayoutReport(const ReportDocument& doc, const ReportPrintSetup& setup,
                                      const PrinterGeometry& geometry, PrintMeasure& measure) {
    TMPrinter p(geometry, measure);
    p.DateText = setup.dateText;
    p.InitMPrinter();
    if (setup.landscape) p.SetMargins(1000, 1000, 500, 1000);
    else p.SetMargins(1000, 500, 500, 600);
    p.Font = doc.defaultFont;
    const TextFont hf = HeaderFooterFont();
    p.SetHeaderFooter(setup.title, "", hf, 1, true, HeaderLocation(setup.landscape), "&D");
    p.SetHeaderFooter("", "Page (&P)", hf, 2, false, 250, "");
    // Each page of the report is fitted to the paper on its own.
    std::vector<PrintLine> page;
    for (const auto& line : doc.Lines()) {
        if (line.kind == ParagraphKind::PageMark) {
            p.PrintFittedLines(page);
            page.clear();
            p.NewPage();
            continue;
        }
        page.push_back({line.Text(), LineFont(line)});
    }
    p.PrintFittedLines(page);
    return p.FinishedPages();
}

std::vector<PrintedPage> LayoutReportWithSketch(const ReportDocument& doc,
                                                const ReportPrintSetup& setup,
                                                const PrinterGeometry& geometry,
                                                PrintMeasure& measure) {
    TMPrinter p(geometry, measure);
    p.DateText = setup.dateText;
    p.InitMPrinter();
    const int hloc = HeaderLocation(setup.landscape);
    p.SetMargins(2000, 500, 500, hloc + 4250);
    p.Font = doc.defaultFont;
    p.SetHeaderFooter(setup.title, "", HeaderFooterFont(), 1, true, hloc, "&D");
    p.NewLine();
    std::vector<PrintLine> lines;
    for (const auto& line : doc.Lines()) lines.push_back({line.Text(), LineFont(line)});
    p.PrintFittedLines(lines);
    // Drawn after the text, on the last page that holds some of it (the
    // picture area is kept free on every page).
    std::vector<PrintedPage> pages = p.FinishedPages();
    pages.back().picture = p.InchesToPixels({2000, hloc + 750, 6000, hloc + 3750});
    return pages;
}

}  // namespace amx
