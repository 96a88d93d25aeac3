// The Output page report.
#include <algorithm>

#include "explore/Explore.h"
#include "report/OutputWriter.h"
#include "session/Session.h"
#include "worksheet/modifications/FileModText.h"

namespace amx {

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
        for (const auto& note : g.notes) out.WriteLine(note);
        out.WriteBlankLine();
    }
}

}  // namespace amx
