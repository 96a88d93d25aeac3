// Grid text for saving and copying, aligned grid lines and the Output report.
#include <algorithm>

#include "explore/Explore.h"
#include "report/OutputWriter.h"
#include "session/Session.h"
#include "worksheet/modifications/FileModText.h"

namespace amx {
namespace {

// Characters on screen: UTF-8 continuation bytes take no room ("²").
size_t DisplayWidth(const std::string& t) {
    size_t w = 0;
    for (unsigned char c : t)
        if ((c & 0xC0) != 0x80) ++w;
    return w;
}

}  // namespace

std::string ExploreGridText(const ExploreGrid& g) {
    std::string text;
    for (int r = 0; r <= g.RowCount(); ++r) {
        for (int c = 0; c < g.ColumnCount(); ++c) {
            if (c) text += '\t';
            text += g.Cell(c, r);
        }
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ExploreGridLines(const ExploreGrid& g) {
    std::vector<size_t> width(static_cast<size_t>(g.ColumnCount()), 0);
    for (int r = 0; r <= g.RowCount(); ++r)
        for (int c = 0; c < g.ColumnCount(); ++c)
            width[static_cast<size_t>(c)] = std::max(width[static_cast<size_t>(c)], DisplayWidth(g.Cell(c, r)));
    std::vector<std::string> lines;
    for (int r = 0; r <= g.RowCount(); ++r) {
        std::string line;
        for (int c = 0; c < g.ColumnCount(); ++c) {
            const std::string& t = g.Cell(c, r);
            const size_t pad = width[static_cast<size_t>(c)] - DisplayWidth(t);
            if (c == 0) {
                line += t + std::string(pad, ' ');
            } else {
                line += "  " + std::string(pad, ' ') + t;
            }
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void WriteExploreReport(Session& s, ExploreState& st, const ExploreRequest& rq, ReportDocument& pane) {
    OutputWriter out;
    out.SetOutputPane(&pane);
    out.ClearPane();
    if (!rq.title.empty()) {
        out.SetFontArial();
        out.SetFontSize(10);
        out.SetBold();
        out.WriteLine(rq.title);
    }
    out.SetFontCourier();
    out.SetRegular();
    out.SetFontSize(9);
    if (!s.DataFilename.empty()) out.WriteLine("File: " + s.DataFilename);
    if (rq.mode == ExploreMode::Reference) {
        TRunInfo ri;
        if (!BuildExploreSelection(s, rq, ri)) return;
        out.WriteLine("Reference = " + ri.GroupName + "    " + "Measure = " + ri.MeasureName);
    }
    if (GetFileModString(s)) {
        std::string mods = s.FileModString;
        while (!mods.empty() && (mods.back() == '\n' || mods.back() == '\r')) mods.pop_back();
        out.WriteLine(mods);
    }
    out.WriteBlankLine();
    for (int p = 0; p < ExplorePageCount; ++p) {
        if (!rq.outputSections[static_cast<size_t>(p)]) continue;
        const auto page = static_cast<ExplorePage>(p);
        if (page == ExplorePage::Custom && rq.custom.empty()) continue;
        ExploreGrid g = ComputeExplorePage(s, st, rq, page);
        if (s.StatErrorCode != 0) return;
        out.SetBold();
        out.WriteLine(g.reportTitle);
        out.SetRegular();
        for (const auto& line : ExploreGridLines(g)) out.WriteLine(line);
        out.WriteBlankLine();
    }
}

}  // namespace amx
