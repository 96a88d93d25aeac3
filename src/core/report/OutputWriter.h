#pragma once
// The writer every procedure uses for its report: one current pane at a time,
// always written at its end in the current font.
#include <string>
#include <vector>

#include "report/ReportDocument.h"

namespace amx {

class OutputWriter {
public:
    ReportDocument* CurrentPane = nullptr;
    TextFont CurrentFont;

    // Makes the pane current and takes its default attributes as the font.
    void SetOutputPane(ReportDocument* pane);

    void WriteLine(const std::string& text);
    void WriteText(const std::string& text);
    void WriteBlankLine();
    // "-Page-" on a line of its own, Arial regular 8 points, red.
    void WritePageMark();
    // WriteLine, then the line turns red and regular.
    void WriteRedLine(const std::string& text);
    void ClearPane();
    void ScaleOutputFonts(int delta);

    void HeadingFont(int size);
    void UnderlinedHeadingFont(int size);
    void BodyFont(int size);
    void SetFontArial();
    void SetFontCourier();
    void SetBold();
    void SetItalic();
    void SetUnderline();
    void SetBoldUnderline();
    void SetRegular();
    void SetFontSize(int size);
    void SetFontColor(TextColor color);
};

// A window's report font sizes and the limits of the font buttons.
struct ReportFontSizes {
    static constexpr int MaxHeading = 72;
    static constexpr int MinBody = 6;
    int heading = 10;
    int body = 9;
    // Both sizes up (or down) one point; false, with nothing changed, at the
    // limit. The caller then runs ScaleOutputFonts(+1 or -1).
    bool Increase();
    bool Decrease();
};

// What a window states before the lines of one run.
struct ReportPreamble {
    std::string title;                        // e.g. "Mean/Dispersion Tests"
    int headingSize = 10;
    int bodySize = 9;
    bool clearBeforeDisplay = false;
    bool fromWorksheet = true;                // results come from worksheet data
    std::string fileName;                     // empty when the worksheet has none
    std::vector<std::string> selectionLines;  // group or measure names
    std::string fileModText;                  // the active file modifications, one line each
};

// Clears or separates with a page mark, then the heading, "File: ", the
// selection and file-modification lines and a blank line, leaving the body
// font set for the report lines.
void WriteReportPreamble(OutputWriter& out, const ReportPreamble& preamble);

}  // namespace amx
