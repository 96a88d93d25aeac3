#pragma once
// The paged text printer used for reports and grids, as pure layout: it puts
// strings at printer-pixel positions page by page, with margins, a header and
// a footer, and the desktop only paints the result. Positions given in
// thousandths of an inch become printer pixels as value * dpi / 1000 minus the
// printer's physical offset.
#include <optional>
#include <string>
#include <vector>

#include "report/ReportDocument.h"

namespace amx {

struct PrintRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PrintRect&) const = default;
};

// The printer's page, in printer pixels.
struct PrinterGeometry {
    int pageWidth = 0;
    int pageHeight = 0;
    int dpiX = 600;
    int dpiY = 600;
    int offsetX = 0;  // physical offset of the printable area
    int offsetY = 0;
};

// Font measurements on the printer, in printer pixels; the desktop answers
// them from the real fonts.
class PrintMeasure {
public:
    virtual ~PrintMeasure() = default;
    virtual int LineHeight(const TextFont& font) = 0;
    virtual int TextWidth(const TextFont& font, const std::string& text) = 0;
    virtual int AverageCharWidth(const TextFont& font) = 0;
    // Height of the letter "A".
    virtual int CapitalHeight(const TextFont& font) = 0;
};

struct THFRec {
    std::string T1;  // left-aligned
    std::string T2;  // centred
    std::string T3;  // right-aligned
    int VLoc = 0;
    bool Active = false;
    bool FirstPage = false;  // print it on the first page too
    TextFont HFFont;
};

struct PrintItem {
    std::string text;
    int x = 0;
    int y = 0;  // top of the text
    TextFont font;
    bool operator==(const PrintItem&) const = default;
};

// One line of text in its font, for PrintFittedLines.
struct PrintLine {
    std::string text;
    TextFont font;
};

// The smallest font PrintFittedLines shrinks to before it wraps.
inline constexpr int MinimumFittedFontSize = 6;

struct PrintedPage {
    std::vector<PrintItem> items;
    bool hasBody = false;  // something besides header and footer
    std::optional<PrintRect> picture;
};

// The first "&P" (any letter case) becomes the page number, then the first
// "&D" the date text.
std::string ExpandHeaderFooterMacros(std::string text, int page, const std::string& date);

class TMPrinter {
public:
    PrintRect Margins;
    THFRec Header;
    THFRec Footer;
    std::string TabSpace = "        ";

    // The current printer font.
    TextFont Font;
    // Today's date as the user writes it, for "&D".
    std::string DateText;

    TMPrinter(PrinterGeometry geometry, PrintMeasure& measure);

    // A new document: header and footer inactive, page 1, pen at the margin.
    void InitMPrinter();
    void SetMargins(int left, int right, int bottom, int top);
    // kind 1 = header, 2 = footer; location in thousandths of an inch from the
    // top (header) or bottom (footer) of the page.
    void SetHeaderFooter(const std::string& t1, const std::string& t2, const TextFont& font, int kind,
                         bool firstPage, int location, const std::string& t3);
    void ClearHeaderFooter(int kind);
    void PrintOutHeaderFooter();
    void NewPage();
    void NewLine();
    void PrnOutStr(const std::string& text);
    // Tabs become TabSpace, line feeds are dropped, carriage returns end lines
    // and form feeds end pages.
    void PrintString(const std::string& text);
    // Prints the lines of one page of a report (each ends a line) so that
    // none is cut at the right margin: when the widest does not fit, every
    // line's font shrinks by the same number of points, to
    // MinimumFittedFontSize at least, until it does; a line still too wide
    // is then wrapped, at a blank where one is near the end, else between
    // characters.
    void PrintFittedLines(const std::vector<PrintLine>& lines);
    int CharactersPerLine();
    int LinesPerPage();
    int LinesLeftOnPage();
    PrintRect InchesToPixels(const PrintRect& thousandths) const;
    // A picture stretched into the rectangle on the current page.
    void PlacePicture(const PrintRect& pixels);

    int PageNumber() const { return static_cast<int>(pages_.size()); }
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }
    const std::vector<PrintedPage>& Pages() const { return pages_; }
    // The pages, without trailing ones that hold only header and footer.
    std::vector<PrintedPage> FinishedPages() const;

private:
    int ToPixelsX(int thousandths) const;
    int ToPixelsY(int thousandths) const;
    void PenToMargin();
    void Draw(const std::string& text, int x, int y, const TextFont& font, bool body);

    PrinterGeometry geometry_;
    PrintMeasure& measure_;
    std::vector<PrintedPage> pages_;
    int penX_ = 0;
    int penY_ = 0;
};

struct ReportPrintSetup {
    std::string title = "Ambrolux";
    bool landscape = false;
    std::string dateText;
};

// The header and footer font of printed reports.
TextFont HeaderFooterFont();

// A report as printed: title and date on every page, "Page (n)" from the
// second page on, each page mark starting a new page, each line in the font of
// its first character two points larger.
std::vector<PrintedPage> LayoutReport(const ReportDocument& doc, const ReportPrintSetup& setup,
                                      const PrinterGeometry& geometry, PrintMeasure& measure);

// A calculator's report under its distribution sketch: the text below the
// picture area, page marks printed as text, no footer; the picture rectangle
// is placed on the last page that holds text.
std::vector<PrintedPage> LayoutReportWithSketch(const ReportDocument& doc,
                                                const ReportPrintSetup& setup,
                                                const PrinterGeometry& geometry,
                                                PrintMeasure& measure);

}  // namespace amx
