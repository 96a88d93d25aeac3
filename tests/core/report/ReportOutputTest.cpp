#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "report/OutputWriter.h"
#include "report/ReportWriters.h"

namespace amx {
namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

ReportPreamble Means() {
    ReportPreamble p;
    p.title = "Mean/Dispersion Tests";
    p.fileName = "bolts.amx";
    p.selectionLines = {"Measures: Length"};
    p.fileModText = "Missing Values: 0\nProcess If: Shift = 2";
    return p;
}

// Two runs of an analysis into one pane, the second separated by a page mark.
ReportDocument TwoRuns() {
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    for (int run = 1; run <= 2; ++run) {
        WriteReportPreamble(out, Means());
        out.WriteLine("Mean\t" + std::to_string(run) + ".50");
    }
    return pane;
}

TEST(ReportOutput, TwoRunsAsPlainText) {
    const std::string expected =
        "Mean/Dispersion Tests\r\n"
        "\r\n"
        "File: bolts.amx\r\n"
        "Measures: Length\r\n"
        "Missing Values: 0\r\n"
        "Process If: Shift = 2\r\n"
        "\r\n"
        "Mean\t1.50\r\n"
        "\r\n"
        "Mean/Dispersion Tests\r\n"
        "\r\n"
        "File: bolts.amx\r\n"
        "Measures: Length\r\n"
        "Missing Values: 0\r\n"
        "Process If: Shift = 2\r\n"
        "\r\n"
        "Mean\t2.50\r\n";
    EXPECT_EQ(PlainTextReport(TwoRuns()), expected);
}

TEST(ReportOutput, TwoRunsAsRichText) {
    ReportDocument pane = TwoRuns();
    const auto lines = pane.Lines();
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[9].kind, ParagraphKind::PageMark);
    EXPECT_EQ(lines[9].runs.front().font.color, ColorRed);

    const std::string head =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
        "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;}\r\n";
    const std::string run1 =
        "\\pard\\plain\\f1\\fs20 {\\f1\\fs20\\b\\ul\\cf1 Mean/Dispersion Tests}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 \\par\r\n"
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 File: bolts.amx}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 Measures: Length}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 Missing Values: 0}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 Process If: Shift = 2}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 \\par\r\n";
    const std::string expected = head + run1 +
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 Mean\\tab 1.50}\\par\r\n"
        "\\pard\\plain\\f0\\fs18 \\par\r\n"
        "\\page\r\n" + run1 +
        "\\pard\\plain\\f0\\fs18 {\\f0\\fs18\\cf1 Mean\\tab 2.50}\\par\r\n"
        "}\r\n";
    EXPECT_EQ(RtfReport(pane), expected);
}

TEST(ReportOutput, ClearBeforeDisplayAndWorksheetFreeRuns) {
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    WriteReportPreamble(out, Means());
    out.WriteLine("first");
    ReportPreamble calc;
    calc.title = "Binomial Distribution";
    calc.clearBeforeDisplay = true;
    calc.fromWorksheet = false;
    WriteReportPreamble(out, calc);
    out.WriteLine("P = 0.25");
    EXPECT_EQ(PlainTextReport(pane), "Binomial Distribution\r\n\r\nP = 0.25\r\n");

    // An empty pane gets no page mark; a worksheet without a name no "File: ".
    ReportDocument fresh;
    out.SetOutputPane(&fresh);
    ReportPreamble unnamed = Means();
    unnamed.fileName.clear();
    unnamed.fileModText.clear();
    WriteReportPreamble(out, unnamed);
    EXPECT_EQ(PlainTextReport(fresh), "Mean/Dispersion Tests\r\n\r\nMeasures: Length\r\n\r\n");
}

TEST(ReportOutput, UserLineReadingPageIsKept) {
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.WriteLine("-Page-");
    out.WriteLine("Group -Page- 2");
    out.WritePageMark();
    out.WriteText("open");
    EXPECT_EQ(PlainTextReport(pane), "-Page-\r\nGroup -Page- 2\r\nopen\r\n");
    const std::string rtf = RtfReport(pane);
    EXPECT_NE(rtf.find("{\\f0\\fs18\\cf1 -Page-}\\par"), std::string::npos);
    EXPECT_NE(rtf.find("{\\f0\\fs18\\cf1 Group -Page- 2}\\par\r\n\\page\r\n"), std::string::npos);
}

TEST(ReportOutput, FontsRunsAndRedLines) {
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.BodyFont(8);
    out.WriteText("n = ");
    out.SetBold();
    out.WriteText("12");
    out.SetRegular();
    out.WriteLine(" cases");
    out.SetBold();
    out.WriteRedLine("Warning: {few} data\\");
    out.HeadingFont(12);
    out.SetItalic();
    out.WriteLine("A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x9C\x87");  // A, e acute, euro sign, math italic x

    const auto lines = pane.Lines();
    ASSERT_EQ(lines.size(), 3u);
    ASSERT_EQ(lines[0].runs.size(), 3u);
    EXPECT_TRUE(lines[0].runs[1].font.bold);
    EXPECT_EQ(lines[1].runs.size(), 1u);
    EXPECT_EQ(lines[1].runs[0].font.color, ColorRed);
    EXPECT_FALSE(lines[1].runs[0].font.bold);

    const std::string expected =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n"
        "{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
        "\\pard\\plain\\f0\\fs16 {\\f0\\fs16\\cf1 n = }{\\f0\\fs16\\b\\cf1 12}{\\f0\\fs16\\cf1  cases}\\par\r\n"
        "\\pard\\plain\\f0\\fs16 {\\f0\\fs16\\cf2 Warning: \\{few\\} data\\\\}\\par\r\n"
        "\\pard\\plain\\f1\\fs24 {\\f1\\fs24\\b\\i\\cf1 A\\u233?\\u8364?\\u-10187?\\u-8441?}\\par\r\n"
        "}\r\n";
    EXPECT_EQ(RtfReport(pane), expected);

    out.ScaleOutputFonts(+1);
    EXPECT_EQ(pane.Lines()[2].runs[0].font.size, 13);
    EXPECT_EQ(pane.Lines()[0].endFont.size, 9);
    EXPECT_EQ(out.CurrentFont.size, 13);
}

TEST(ReportOutput, WriterWithoutPaneDoesNothing) {
    OutputWriter out;
    out.WriteLine("lost");
    out.WritePageMark();
    ReportPreamble p;
    WriteReportPreamble(out, p);
    EXPECT_EQ(out.CurrentPane, nullptr);
}

TEST(ReportOutput, FontButtonLimits) {
    ReportFontSizes up{71, 9};
    EXPECT_TRUE(up.Increase());
    EXPECT_EQ(up.heading, 72);
    EXPECT_EQ(up.body, 10);
    EXPECT_FALSE(up.Increase());
    EXPECT_EQ(up.heading, 72);

    ReportFontSizes down{10, 7};
    EXPECT_TRUE(down.Decrease());
    EXPECT_EQ(down.body, 6);
    EXPECT_FALSE(down.Decrease());
    EXPECT_EQ(down.heading, 9);
}

TEST(ReportSave, ChoosesFormatAndEncoding) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("amx_report_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.WriteLine("x\xC2\xB0 \xE2\x82\xAC");  // degree sign, euro sign: both in Windows-1252
    out.WritePageMark();
    out.WriteLine("end");

    ASSERT_TRUE(SaveReport(pane, (dir / "r.txt").string()));
    EXPECT_EQ(ReadFile(dir / "r.txt"), "x\xB0 \x80\r\nend\r\n");
    ASSERT_TRUE(SaveReport(pane, (dir / "r.Rtf").string()));
    EXPECT_EQ(ReadFile(dir / "r.Rtf"), RtfReport(pane));

    out.WriteLine("\xCE\xA3");  // Greek sigma: only UTF-8 can hold it
    ASSERT_TRUE(SaveReport(pane, (dir / "r.txt").string()));
    EXPECT_EQ(ReadFile(dir / "r.txt"), "x\xC2\xB0 \xE2\x82\xAC\r\nend\r\n\xCE\xA3\r\n");

    EXPECT_FALSE(SaveReport(pane, (dir / "missing" / "r.txt").string()));
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().extension(), e.path().filename() == "r.Rtf" ? ".Rtf" : ".txt");
    fs::remove_all(dir);

    EXPECT_TRUE(IsRtfFileName("a.RTF"));
    EXPECT_TRUE(IsRtfFileName("a.rtf"));
    EXPECT_FALSE(IsRtfFileName("a.rtf.txt"));
    EXPECT_FALSE(IsRtfFileName("rtf"));
    std::string cp;
    EXPECT_FALSE(Utf8ToWindows1252("bad \xFF byte", cp));
}

TEST(ReportSave, NeverFollowsOrDestroysAFixedTemporaryName) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("amx_report_planted_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ReportDocument pane;
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.WriteLine("report");
    // Someone planted a link where a fixed temporary name would go, and a
    // file of the other obvious name.
    {
        std::ofstream(dir / "victim") << "precious";
        std::ofstream(dir / "r.txt.tmp") << "mine";
    }
    fs::create_symlink(dir / "victim", dir / "r.txt.saving");
    ASSERT_TRUE(SaveReport(pane, (dir / "r.txt").string()));
    EXPECT_EQ(ReadFile(dir / "r.txt"), "report\r\n");
    EXPECT_EQ(ReadFile(dir / "victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(dir / "r.txt.saving"));
    EXPECT_EQ(ReadFile(dir / "r.txt.tmp"), "mine");
    // A device is refused, never replaced.
    EXPECT_FALSE(SaveReport(pane, "/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace amx
