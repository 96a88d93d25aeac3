#include "report/OutputWriter.h"

#include <algorithm>

namespace amx {

void OutputWriter::SetOutputPane(ReportDocument* pane) {
    CurrentPane = pane;
    if (pane) CurrentFont = pane->defaultFont;
}

void OutputWriter::WriteLine(const std::string& text) {
    if (!CurrentPane) return;
    CurrentPane->AppendText(text, CurrentFont);
    CurrentPane->EndLine(CurrentFont);
}

void OutputWriter::WriteText(const std::string& text) {
    if (CurrentPane) CurrentPane->AppendText(text, CurrentFont);
}

void OutputWriter::WriteBlankLine() { WriteLine(std::string()); }

void OutputWriter::WritePageMark() {
    if (!CurrentPane) return;
    TextFont mark;
    mark.face = FaceArial;
    mark.size = 8;
    mark.color = ColorRed;
    CurrentPane->AppendPageMark(mark);
}

void OutputWriter::WriteRedLine(const std::string& text) {
    if (!CurrentPane) return;
    WriteLine(text);
    CurrentPane->RecolourLastLine(ColorRed);
}

void OutputWriter::ClearPane() {
    if (CurrentPane) CurrentPane->Clear();
}

void OutputWriter::ScaleOutputFonts(int delta) {
    if (!CurrentPane) return;
    CurrentPane->ScaleFonts(delta);
    CurrentFont.size = std::max(1, CurrentFont.size + delta);
}

void OutputWriter::HeadingFont(int size) {
    CurrentFont.face = FaceArial;
    CurrentFont.bold = true;
    CurrentFont.italic = CurrentFont.underline = false;
    CurrentFont.size = size;
}

void OutputWriter::UnderlinedHeadingFont(int size) {
    HeadingFont(size);
    CurrentFont.underline = true;
}

void OutputWriter::BodyFont(int size) {
    CurrentFont.face = FaceCourier;
    CurrentFont.bold = CurrentFont.italic = CurrentFont.underline = false;
    CurrentFont.size = size;
}

void OutputWriter::SetFontArial() { CurrentFont.face = FaceArial; }
void OutputWriter::SetFontCourier() { CurrentFont.face = FaceCourier; }
void OutputWriter::SetBold() { CurrentFont.bold = true; }
void OutputWriter::SetItalic() { CurrentFont.italic = true; }
void OutputWriter::SetUnderline() { CurrentFont.underline = true; }
void OutputWriter::SetBoldUnderline() { CurrentFont.bold = CurrentFont.underline = true; }
void OutputWriter::SetRegular() { CurrentFont.bold = CurrentFont.italic = CurrentFont.underline = false; }
void OutputWriter::SetFontSize(int size) { CurrentFont.size = size; }
void OutputWriter::SetFontColor(TextColor color) { CurrentFont.color = color; }

bool ReportFontSizes::Increase() {
    if (heading >= MaxHeading) return false;
    ++heading;
    ++body;
    return true;
}

bool ReportFontSizes::Decrease() {
    if (body <= MinBody) return false;
    --heading;
    --body;
    return true;
}

void WriteReportPreamble(OutputWriter& out, const ReportPreamble& p) {
    if (!out.CurrentPane) return;
    if (p.clearBeforeDisplay) {
        out.ClearPane();
    } else if (!out.CurrentPane->Empty()) {
        out.WriteBlankLine();
        out.WritePageMark();
    }
    out.UnderlinedHeadingFont(p.headingSize);
    out.WriteLine(p.title);
    out.BodyFont(p.bodySize);
    if (p.fromWorksheet) {
        out.WriteBlankLine();
        if (!p.fileName.empty()) out.WriteLine("File: " + p.fileName);
        for (const auto& line : p.selectionLines) out.WriteLine(line);
        if (!p.fileModText.empty()) {
            std::string mods = p.fileModText;
            while (!mods.empty() && (mods.back() == '\n' || mods.back() == '\r')) mods.pop_back();
            out.WriteLine(mods);
        }
    }
    out.WriteBlankLine();
}

}  // namespace amx
