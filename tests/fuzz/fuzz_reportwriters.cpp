// The report writers: plain text, rich text, the code-page conversion and the
// printed layout, on reports of any text, fonts and page marks.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "report/MPrinter.h"
#include "report/OutputWriter.h"
#include "report/ReportDocument.h"
#include "report/ReportWriters.h"

namespace {

class FixedMeasure : public amx::PrintMeasure {
public:
    int LineHeight(const amx::TextFont& f) override { return f.size * 10; }
    int TextWidth(const amx::TextFont& f, const std::string& t) override { return static_cast<int>(t.size()) * f.size * 5; }
    int AverageCharWidth(const amx::TextFont& f) override { return f.size * 5; }
    int CapitalHeight(const amx::TextFont& f) override { return f.size * 7; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    ReportDocument doc;
    OutputWriter out;
    out.SetOutputPane(&doc);
    while (!in.empty()) {
        const unsigned op = fuzz::TakeByte(in);
        const std::string text(fuzz::TakeField(in));
        switch (op % 9) {
            case 0: out.WriteLine(text); break;
            case 1: out.WriteText(text); break;
            case 2: out.WriteBlankLine(); break;
            case 3: out.WritePageMark(); break;
            case 4: out.WriteRedLine(text); break;
            case 5: out.SetFontArial(); break;
            case 6: out.SetFontCourier(); break;
            case 7: out.SetFontSize(static_cast<int>(op / 9) - 5); break;
            default: out.SetFontColor(static_cast<TextColor>(op / 9 % 4)); break;
        }
    }
    const std::string plain = PlainTextReport(doc);
    RtfReport(doc);
    std::string cp;
    Utf8ToWindows1252(plain, cp);
    FixedMeasure m;
    ReportPrintSetup setup;
    LayoutReport(doc, setup, PrinterGeometry{5100, 6600, 600, 600, 0, 0}, m);
    setup.landscape = true;
    LayoutReportWithSketch(doc, setup, PrinterGeometry{6600, 5100, 600, 600, 0, 0}, m);
    return 0;
}
