#include <gtest/gtest.h>

#include "report/MPrinter.h"
#include "report/OutputWriter.h"

namespace amx {
namespace {

// A fixed-pitch stand-in for the printer's fonts: every character is
// size * 5 pixels wide, a line size * 10 high, the letter A size * 7.
class FixedMeasure : public PrintMeasure {
public:
    int LineHeight(const TextFont& f) override { return f.size * 10; }
    int TextWidth(const TextFont& f, const std::string& t) override {
        return static_cast<int>(t.size()) * f.size * 5;
    }
    int AverageCharWidth(const TextFont& f) override { return f.size * 5; }
    int CapitalHeight(const TextFont& f) override { return f.size * 7; }
};

// Letter paper at 600 dpi.
constexpr PrinterGeometry Letter{5100, 6600, 600, 600, 0, 0};

TEST(HeaderFooterMacros, FirstOccurrenceAnyCase) {
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"Printed &d, page &p", "Printed 11.12.2026, page 3"},
        {"Page (&P)", "Page (3)"},
        {"&P of &P", "3 of &P"},
        {"&D &D", "11.12.2026 &D"},
        {"no macros & such", "no macros & such"},
        {"&", "&"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandHeaderFooterMacros(c.text, 3, "11.12.2026"), c.expanded) << c.text;
}

TEST(TMPrinter, MarginsAndPositions) {
    FixedMeasure m;
    const struct {
        PrinterGeometry g;
        int left, right, bottom, top;
        PrintRect expected;
    } cases[] = {
        {Letter, 1000, 500, 500, 600, {600, 360, 4800, 6300}},
        {{5100, 6600, 600, 600, 50, 40}, 1000, 500, 500, 600, {550, 320, 4850, 6340}},
        // Left or top outside the page: 0; right or bottom leaving no room: the edge.
        {Letter, 9000, 9000, 12000, 12000, {0, 0, 5100, 6600}},
        {Letter, 0, 0, 0, 0, {0, 0, 5100, 6600}},
    };
    for (const auto& c : cases) {
        TMPrinter p(c.g, m);
        p.SetMargins(c.left, c.right, c.bottom, c.top);
        EXPECT_EQ(p.Margins, c.expected);
    }
    TMPrinter p(Letter, m);
    EXPECT_EQ(p.InchesToPixels({2000, 1000, 6000, 4000}), (PrintRect{1200, 600, 3600, 2400}));
    p.SetMargins(1000, 500, 500, 600);
    p.Font.size = 10;  // 50 px wide, 100 px high
    EXPECT_EQ(p.CharactersPerLine(), 84);
    EXPECT_EQ(p.LinesPerPage(), 58);
    p.PrintString("a\r\nb\r\n");
    EXPECT_EQ(p.LinesLeftOnPage(), (6300 - 560) / 102);
}

TEST(TMPrinter, TabsLinesAndPageBreaks) {
    FixedMeasure m;
    TMPrinter p(Letter, m);
    p.SetMargins(1000, 500, 500, 600);
    p.Font.size = 10;
    p.PrintString("a\tb\r\nline\ntwo\fnext");
    const auto& pages = p.Pages();
    ASSERT_EQ(pages.size(), 2u);
    const std::vector<PrintItem> first = {
        {"a        b", 600, 360, p.Font},
        {"linetwo", 600, 460, p.Font},
    };
    EXPECT_EQ(pages[0].items, first);
    EXPECT_EQ(pages[1].items, (std::vector<PrintItem>{{"next", 600, 360, p.Font}}));
    // The last piece has no terminator: the pen stays on its line.
    EXPECT_EQ(p.PenY(), 360);
    EXPECT_EQ(p.PenX(), 600 + 4 * 50);
}

TEST(TMPrinter, NewLineBreaksPageBeforeTheBottom) {
    FixedMeasure m;
    TMPrinter p(Letter, m);
    p.SetMargins(1000, 500, 500, 600);
    p.Font.size = 10;
    // Lines at 360, 460, ... while the next still fits above 6300 - 100.
    int lines = 0;
    while (p.PageNumber() == 1) {
        p.PrintString("x\r");
        ++lines;
    }
    EXPECT_EQ(lines, (6200 - 360) / 100 + 1);
    EXPECT_EQ(p.Pages()[0].items.back().y, 360 + (lines - 1) * 100);
}

ReportDocument ThreePageReport() {
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.HeadingFont(10);
    out.WriteLine("Heading");
    out.BodyFont(8);
    out.WriteLine("a\tb");
    out.WriteBlankLine();
    out.WritePageMark();
    out.WriteLine("-Page-");  // a user's line, printed as text
    out.WritePageMark();
    out.WriteLine("last");
    return pane;
}

TEST(ReportPrint, HeaderOnEveryPageFooterFromTheSecond) {
    FixedMeasure m;
    ReportPrintSetup setup;
    setup.dateText = "11/12/2026";
    const auto pages = LayoutReport(ThreePageReport(), setup, Letter, m);
    ASSERT_EQ(pages.size(), 3u);

    const TextFont hf = HeaderFooterFont();  // Courier New 9: 45 px a character
    TextFont heading;
    heading.face = FaceArial;
    heading.bold = true;
    heading.size = 12;
    TextFont body;
    body.size = 10;
    const PrintItem header1{"Ambrolux", 600, 150, hf};
    const PrintItem date{"11/12/2026", 4800 - 10 * 45, 150, hf};
    EXPECT_EQ(pages[0].items, (std::vector<PrintItem>{
                                  header1, date,
                                  {"Heading", 600, 360, heading},
                                  {"a        b", 600, 480, body},
                              }));
    // Footer: 250 thousandths above the page end, less twice the height of "A".
    const int footerY = 6600 - 150 - 2 * 63;
    const std::string page2 = "Page (2)";
    const int centred = 600 + (4200 - static_cast<int>(page2.size()) * 45) / 2;
    EXPECT_EQ(pages[1].items, (std::vector<PrintItem>{
                                  header1, date,
                                  {page2, centred, footerY, hf},
                                  {"-Page-", 600, 360, body},
                              }));
    EXPECT_EQ(pages[2].items.size(), 4u);
    EXPECT_EQ(pages[2].items[2].text, "Page (3)");
    EXPECT_EQ(pages[2].items[3].text, "last");
}

TEST(ReportPrint, LandscapeAndNoTrailingEmptyPage) {
    FixedMeasure m;
    ReportPrintSetup setup;
    setup.landscape = true;
    setup.title = "Ambrolux";
    const PrinterGeometry land{6600, 5100, 600, 600, 0, 0};
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.BodyFont(8);  // printed at 10 points: 100 px lines
    // Exactly enough lines that the last line break starts a new page.
    const int perPage = (5100 - 300 - 100 - 600) / 100 + 1;
    for (int i = 0; i < perPage; ++i) out.WriteLine("row");
    const auto pages = LayoutReport(pane, setup, land, m);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].items[0], (PrintItem{"Ambrolux", 600, 390, HeaderFooterFont()}));
    EXPECT_EQ(pages[0].items[2].y, 600);
}

TEST(ReportPrint, WithSketchReservesThePictureArea) {
    FixedMeasure m;
    ReportPrintSetup setup;
    ReportDocument pane = ThreePageReport();
    const auto pages = LayoutReportWithSketch(pane, setup, Letter, m);
    ASSERT_EQ(pages.size(), 1u);
    const auto& items = pages[0].items;
    // Header only (no footer); text starts one empty line below the top margin
    // of 250 + 4250 thousandths; page marks print as text.
    ASSERT_EQ(items.size(), 2u + 6u);
    EXPECT_EQ(items[0].text, "Ambrolux");
    EXPECT_EQ(items[2].text, "Heading");
    EXPECT_EQ(items[2].x, 1200);
    EXPECT_EQ(items[2].y, 2700 + 90);
    EXPECT_EQ(items[4].text, "-Page-");
    EXPECT_EQ(items[5].text, "-Page-");
    ASSERT_TRUE(pages[0].picture.has_value());
    EXPECT_EQ(*pages[0].picture, (PrintRect{1200, 600, 3600, 2400}));
}

TEST(ReportPrint, WideLinesShrinkThenWrapNeverCut) {
    // Letter portrait: 4200 pixels between the margins; a line prints two
    // points above the report font, so 11 pt (55 pixels a character) here.
    FixedMeasure m;
    ReportPrintSetup setup;
    struct Case {
        const char* label;
        std::size_t chars;
        int size;             // the font the page prints in
        std::size_t pieces;   // lines the wide one becomes
    };
    const Case cases[] = {
        {"fits", 76, 11, 1},
        {"shrinks to fit", 100, 8, 1},    // 100 * 8 * 5 = 4000
        {"down to 6 pt", 140, 6, 1},      // 140 * 6 * 5 = 4200
        {"then wraps", 300, 6, 3},        // 140 characters a line at 6 pt
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ReportDocument pane;
        OutputWriter out;
        out.SetOutputPane(&pane);
        std::string wide;
        for (std::size_t i = 0; i < c.chars; ++i) wide += static_cast<char>('a' + i % 26);
        out.WriteLine("short");
        out.WriteLine(wide);
        out.WritePageMark();
        out.WriteLine("next page keeps its font");
        const auto pages = LayoutReport(pane, setup, Letter, m);
        ASSERT_EQ(pages.size(), 2u);
        std::string printed;
        std::size_t bodyLines = 0;
        for (const auto& it : pages[0].items) {
            if (it.y < 360) continue;  // the header
            ++bodyLines;
            EXPECT_EQ(it.font.size, c.size) << it.text;
            EXPECT_LE(it.x + m.TextWidth(it.font, it.text), 4800) << it.text;
            if (it.text != "short") printed += it.text;
        }
        EXPECT_EQ(printed, wide);  // nothing lost
        EXPECT_EQ(bodyLines, 1 + c.pieces);
        for (const auto& it : pages[1].items)
            if (it.text == "next page keeps its font") EXPECT_EQ(it.font.size, 11);
    }

    // Wrapping prefers a blank near the end of a piece and never splits a
    // UTF-8 character.
    FixedMeasure m2;
    TMPrinter p(Letter, m2);
    p.InitMPrinter();
    p.SetMargins(1000, 500, 500, 600);
    TextFont f;
    f.size = 6;
    std::string words;
    for (int i = 0; i < 40; ++i) words += "word\xC3\xA9 ";  // 6 bytes, 7 with the blank
    p.PrintFittedLines({{words, f}});
    std::string joined;
    for (const auto& it : p.Pages()[0].items) {
        EXPECT_LE(it.x + m2.TextWidth(it.font, it.text), 4800);
        EXPECT_TRUE(it.text.size() < 2 || it.text.back() == ' ') << it.text;
        joined += it.text;
    }
    EXPECT_EQ(joined, words);
}

}  // namespace
}  // namespace amx
