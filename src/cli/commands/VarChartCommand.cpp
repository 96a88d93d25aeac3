// ambrolux-cli varchart: the variables chart setup and engine without a
// desktop. The options mirror the setup and test windows; each chart
// selection prints its points with limits and test codes, then each set's
// centerlines and limits per subgroup size.
#include <algorithm>
#include <array>
#include <cstring>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../CliCommand.h"
#include "../DataInput.h"
#include "../ArgumentText.h"
#include "CliMessages.h"
#include "common/NumberText.h"
#include "common/TextUtils.h"
#include "report/ReportDocument.h"
#include "report/ReportWriters.h"
#include "session/Session.h"
#include "spc/ControlTests.h"
#include "spc/VarChartEngine.h"
#include "worksheet/DataFile.h"
#include "worksheet/DataList.h"

namespace amx::cli {
namespace {

int Usage(const std::string& problem) { return UsageError("varchart", problem); }

// Position of `text` in a list, by letter case and by prefix ("std dev" finds
// "Std Dev (s)"); -1 when none.
int FindItem(const std::vector<std::string>& list, const std::string& text) {
    const std::string t = Lower(text);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (Lower(list[i]) == t) return static_cast<int>(i);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (Lower(list[i]).rfind(t, 0) == 0) return static_cast<int>(i);
    return -1;
}

struct Table {
    std::vector<std::string> head;
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> Lines() const {
        std::vector<std::size_t> w(head.size());
        for (std::size_t c = 0; c < head.size(); ++c) w[c] = static_cast<std::size_t>(TextWidth(head[c]));
        for (const auto& r : rows)
            for (std::size_t c = 0; c < r.size(); ++c) w[c] = std::max(w[c], static_cast<std::size_t>(TextWidth(r[c])));
        auto line = [&](const std::vector<std::string>& r) {
            std::string out;
            for (std::size_t c = 0; c < r.size(); ++c) {
                if (c) out += "  ";
                out += c < 2 || c == r.size() - 1 ? PadRight(r[c], static_cast<int>(w[c])) : PadLeft(r[c], static_cast<int>(w[c]));
            }
            while (!out.empty() && out.back() == ' ') out.pop_back();
            return out;
        };
        std::vector<std::string> out{line(head)};
        for (const auto& r : rows) out.push_back(line(r));
        return out;
    }
};

struct VarChartOptions {
    DataSource source;
    std::string measures, sample, size, sets, groups, loc, disp, locLimits, dispLimits, locCentre, dispCentre, axis,
        selection, rtfPath, tests, mrTests;
    std::string mu, sigma, stdErr = "3", mrCount = "2";
    std::array<std::string, 3> locUser, dispUser;
    bool rows = false, positive = false, breaks = false;
    int decimals = 4;
    // Test counts by entry, and the zone rules as K/M.
    std::vector<std::pair<int, std::string>> counts;
    std::string zone1, zone2;
};

int RunVarChart(VarChartOptions o) {
    const std::string &measures = o.measures, &sample = o.sample, &size = o.size,
                      &sets = o.sets, &groups = o.groups, &loc = o.loc, &disp = o.disp, &locLimits = o.locLimits,
                      &dispLimits = o.dispLimits, &locCentre = o.locCentre, &dispCentre = o.dispCentre,
                      &axis = o.axis, &selection = o.selection, &rtfPath = o.rtfPath, &tests = o.tests,
                      &mrTests = o.mrTests, &mu = o.mu, &sigma = o.sigma, &stdErr = o.stdErr, &mrCount = o.mrCount;
    const std::array<std::string, 3>&locUser = o.locUser, &dispUser = o.dispUser;
    std::array<bool, 3> locGiven{}, dispGiven{};
    for (int i = 0; i < 3; ++i) {
        locGiven[static_cast<std::size_t>(i)] = !locUser[static_cast<std::size_t>(i)].empty();
        dispGiven[static_cast<std::size_t>(i)] = !dispUser[static_cast<std::size_t>(i)].empty();
    }
    const bool rows = o.rows, positive = o.positive, breaks = o.breaks;
    const int decimals = o.decimals;
    std::vector<std::pair<int, std::string>>& counts = o.counts;
    for (const auto& [zone, text] : {std::pair{1, o.zone1}, std::pair{2, o.zone2}}) {
        if (text.empty()) continue;
        const std::string name = zone == 1 ? "--zone1" : "--zone2";
        const auto slash = text.find('/');
        if (slash == std::string::npos) return Usage(name + " takes K/M, for example 4/5");
        counts.emplace_back(zone == 1 ? TestValue::Zone1K : TestValue::Zone2K, text.substr(0, slash));
        counts.emplace_back(zone == 1 ? TestValue::Zone1M : TestValue::Zone2M, text.substr(slash + 1));
    }
    if (!sample.empty() && !size.empty()) return Usage("Give either --sample or --size");

    Session s;
    StderrMessages messages;
    s.messages = &messages;
    s.ControlTests = LoadControlTestSettings(s);
    if (!LoadDataFile(s, o.source)) return 1;

    // The tests window.
    auto flags = [&](const std::string& letters, std::array<bool, ControlTestCount + 1>& f, bool mr) {
        f.fill(false);
        for (char c : letters) {
            const char* at = std::strchr(ControlTestCodes, std::toupper(static_cast<unsigned char>(c)));
            if (!at || c == 0 || (mr && *at == 'M')) return false;
            f[static_cast<std::size_t>(at - ControlTestCodes) + 1] = true;
        }
        return true;
    };
    if (!tests.empty() && !flags(tests, s.ControlTests.Std, false)) return Usage("--tests takes letters of ORTELA12M");
    if (!mrTests.empty() && !flags(mrTests, s.ControlTests.MR, true)) return Usage("--mr-tests takes letters of ORTELA12");
    for (const auto& [entry, text] : counts) {
        int err = 0;
        const int v = ConvertInteger(text, err);
        if (err != 0 || v < ControlTestValueMin(entry) || v > ControlTestValueMax(entry))
            return Usage("Count out of range: " + text);
        s.ControlTests.Values[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(v);
    }
    for (auto [k, m] : {std::pair{TestValue::Zone1K, TestValue::Zone1M}, std::pair{TestValue::Zone2K, TestValue::Zone2M}})
        if (s.ControlTests.Values[k] >= s.ControlTests.Values[m]) return Usage("A zone rule needs K below M");

    // The setup window.
    VarSetupState st;
    st.columnCount = MaxCol(s);
    std::vector<int> measureCols;
    if (measures.empty() && MaxCol(s) == 1) measureCols = {1};
    for (const auto& item : SplitList(measures)) {
        const int c = FindColumn(s, item);
        if (c == 0) return Usage("No such column: " + item);
        measureCols.push_back(c);
    }
    if (measureCols.empty()) return Usage("Choose the measures with --measures");
    SetMeasures(st, measureCols);
    if (rows) SetLayoutRows(st, true);
    if (!sample.empty()) {
        const int c = FindColumn(s, sample);
        if (c == 0) return Usage("No such column: " + sample);
        SetSampleColumn(st, c);
    }
    if (!size.empty()) {
        int err = 0;
        const int n = ConvertInteger(size, err);
        if (err != 0 || n < 2 || n > 999) return Usage("--size takes a whole number from 2 to 999");
        SetConstantSize(st, true);
        st.sampleSize = n;
    }
    if (!sets.empty()) {
        st.setsColumn = FindColumn(s, sets);
        if (st.setsColumn == 0) return Usage("No such column: " + sets);
    }
    for (const auto& item : SplitList(groups)) {
        const int c = FindColumn(s, item);
        if (c == 0) return Usage("No such column: " + item);
        st.groupColumns.push_back(c);
    }
    RefreshMode(st);
    auto choose = [&](const std::string& text, const std::vector<std::string>& list, auto apply,
                      const char* what) {
        if (text.empty()) return true;
        const int pos = FindItem(list, text);
        if (pos < 0) {
            std::string items;
            for (const auto& l : list) items += (items.empty() ? "" : ", ") + l;
            Usage(std::string("Unknown ") + what + ": " + text + " (choose from " + items + ")");
            return false;
        }
        apply(pos);
        return true;
    };
    if (!choose(loc, ListsOf(st).locType, [&](int p) { ChooseLocType(st, p); }, "location chart")) return 2;
    if (!choose(disp, ListsOf(st).dispType, [&](int p) { ChooseDispType(st, p); }, "dispersion chart")) return 2;
    if (!choose(dispLimits, ListsOf(st).dispLimit, [&](int p) { ChooseDispLimit(st, p); }, "dispersion limits"))
        return 2;
    if (!choose(locLimits, ListsOf(st).locLimit, [&](int p) { ChooseLocLimit(st, p); }, "location limits"))
        return 2;
    auto centre = [](const std::string& t) {
        const std::string l = Lower(t);
        return l == "average" ? 0 : l == "median" ? 1 : l == "known" ? 2 : -1;
    };
    if (!locCentre.empty() && (st.locCenter = centre(locCentre)) < 0) return Usage("--loc-centerline: average, median or known");
    if (!dispCentre.empty() && (st.dispCenter = centre(dispCentre)) < 0)
        return Usage("--disp-centerline: average, median or known");
    st.muText = mu;
    st.sigmaText = sigma;
    st.stdErrText = stdErr;
    st.mrCountText = mrCount;
    st.locUserText = locUser;
    st.dispUserText = dispUser;
    st.locUserBox = locGiven;
    st.dispUserBox = dispGiven;
    st.positiveLimitsOnly = positive;
    if (!axis.empty()) {
        st.axisLabelColumn = FindColumn(s, axis);
        if (st.axisLabelColumn == 0) return Usage("No such column: " + axis);
    }

    VarChartSetup setup;
    std::string error;
    if (!ValidateVarChartSetup(s, st, setup, error)) {
        if (!error.empty()) messages.Error(error);
        return 1;
    }
    auto selections = BuildChartSelections(s, setup);
    if (!selection.empty()) {
        std::erase_if(selections, [&](const ChartSelection& c) { return Lower(c.name) != Lower(selection); });
        if (selections.empty()) {
            std::fprintf(stderr, "No chart selection named %s\n", selection.c_str());
            return 1;
        }
    }
    if (selections.empty()) {
        std::fputs("No chart selection holds a point.\n", stderr);
        return 1;
    }

    const TVarChartSettings& cs = setup.settings;
    const std::string locName = cs.LocChartType ? ChartTypeName(cs.LocChartType) : "Location";
    const std::string dispName = cs.DispChartType ? ChartTypeName(cs.DispChartType) : "Dispersion";
    auto num = [&](double x) { return x == MissingValue ? std::string() : FormatFixed(decimals, x, false); };
    std::vector<std::string> out;
    for (const auto& sel : selections) {
        VarChartData d;
        LoadVarChart(s, setup, sel, breaks, false, d);
        out.push_back("Variables Control Chart: " + sel.name);
        out.push_back("File: " + s.DataFilename);
        out.push_back("");
        Table t;
        t.head = {"Point", "Label", "Set", "n", locName, "LCL", "CL", "UCL", "SE", "Codes (Loc)", dispName, "LCL",
                  "CL", "UCL", "SE", "Codes (Disp)", "Sigma Est", "Break"};
        for (int p = 1; p <= d.N; ++p) {
            const auto& T = d.table;
            const double set = T.at(VarCol::Set, p);
            std::string label = std::to_string(p);
            if (cs.AxisLabelColumn > 0)
                label = s.worksheet.Cell(cs.AxisLabelColumn, static_cast<int>(T.at(VarCol::Axis, p)));
            t.rows.push_back({std::to_string(p), label, set == MissingValue ? "Missing" : FormatGeneral(set),
                              FormatGeneral(T.at(VarCol::N, p)), num(T.at(1, p)), num(T.at(3, p)), num(T.at(4, p)),
                              num(T.at(5, p)), num(T.at(13, p)), d.CodesOf(0, p), num(T.at(2, p)), num(T.at(6, p)),
                              num(T.at(7, p)), num(T.at(8, p)), num(T.at(14, p)), d.CodesOf(1, p), num(T.at(15, p)),
                              T.at(VarCol::Break, p) == 1 ? "yes" : ""});
        }
        for (auto& l : t.Lines()) out.push_back(std::move(l));
        const std::string method = MethodTableName(d.SigmaMethod, cs.LocChartType, cs.DispChartType);
        for (const auto& set : d.sets) {
            out.push_back("");
            out.push_back("Set " + set.name + ": " + std::to_string(set.points) + " points, grand mean " +
                          (set.grandMean == MissingValue ? std::string("none") : num(set.grandMean)));
            Table lim;
            lim.head = {"n", "", "Loc LCL", "Loc CL", "Loc UCL", "Disp LCL", "Disp CL", "Disp UCL", "Sigma"};
            for (const auto& z : set.sizes)
                lim.rows.push_back({std::to_string(z.n), "", num(z.locLCL), num(z.locCL), num(z.locUCL),
                                    num(z.dispLCL), num(z.dispCL), num(z.dispUCL), num(z.sigma)});
            out.push_back("Sigma method: " + (d.SigmaMethod ? method : std::string("none")));
            for (auto& l : lim.Lines()) out.push_back(std::move(l));
        }
        out.push_back("");
    }
    for (const auto& l : out) std::printf("%s\n", l.c_str());
    if (!rtfPath.empty()) {
        ReportDocument doc;
        TextFont body;
        for (const auto& l : out) {
            doc.AppendText(l, body);
            doc.EndLine(body);
        }
        if (!SaveReport(doc, rtfPath)) {
            std::fprintf(stderr, "File Error!\n");
            return 1;
        }
    }
    return 0;
}

const CliCommandRegistration kVarChart{
    "varchart", "variables control charts: subgroup statistics, limits and test codes", [](CLI::App& app) {
        auto o = std::make_shared<VarChartOptions>();
        AddDataFileArgument(app, o->source);
        auto text = [&](const char* name, std::string& to, const char* type, const char* help, const char* group) {
            app.add_option(name, to, help)->type_name(type)->group(group);
        };
        const char* data = "Data (names or numbers of columns)";
        text("--measures", o->measures, "A,B", "measure columns (a one-column file needs none)", data);
        app.add_flag("--rows", o->rows, "subgroups in rows (each row one subgroup)")->group(data);
        text("--sample", o->sample, "COL", "subgroups by the sample variable COL", data);
        text("--size", o->size, "N", "constant sample size N (2-999)", data);
        text("--sets", o->sets, "COL", "sets column", data);
        text("--groups", o->groups, "G1,G2", "chart-group columns", data);
        const char* charts = "Charts and limits (texts of the setup window's lists)";
        text("--loc", o->loc, "TYPE", "X, Mean, Median or None", charts);
        text("--disp", o->disp, "TYPE", "\"Moving Range\", Range, \"Std Dev (s)\", \"Variance (s²)\" or None", charts);
        text("--loc-limits", o->locLimits, "TEXT", "for example \"Average Range\", \"Known Std Dev\"", charts);
        text("--disp-limits", o->dispLimits, "TEXT", "the dispersion chart's limits", charts);
        text("--loc-centerline", o->locCentre, "WHICH", "average, median or known", charts);
        text("--disp-centerline", o->dispCentre, "WHICH", "average, median or known", charts);
        text("--mu", o->mu, "X", "known mean", charts);
        text("--sigma", o->sigma, "S", "known standard deviation", charts);
        const char* limitNames[3][2] = {{"--loc-ucl", "--disp-ucl"}, {"--loc-cl", "--disp-cl"}, {"--loc-lcl", "--disp-lcl"}};
        for (std::size_t i = 0; i < 3; ++i) {
            text(limitNames[i][0], o->locUser[i], "V", "user-defined location limit (with \"User Defined\")", charts);
            text(limitNames[i][1], o->dispUser[i], "V", "user-defined dispersion limit (with \"User Defined\")", charts);
        }
        text("--std-err", o->stdErr, "K", "standard errors to each limit (default 3)", charts);
        text("--mr-count", o->mrCount, "W", "moving-range span, 2-30 (default 2)", charts);
        text("--axis-labels", o->axis, "COL", "label points by this column", charts);
        app.add_flag("--positive-limits-only", o->positive, "leave out negative location LCLs")->group(charts);
        app.add_flag("--show-breaks", o->breaks, "a subgroup without values breaks the chart")->group(charts);
        const char* testsGroup = "Tests for statistical control (stored defaults otherwise)";
        text("--tests", o->tests, "ORTELA12M", "active tests for ordinary charts, by letter", testsGroup);
        text("--mr-tests", o->mrTests, "O", "active tests for moving-range charts", testsGroup);
        const std::pair<const char*, int> counts[] = {{"--run", TestValue::Run}, {"--trend", TestValue::Trend},
                                                      {"--excess", TestValue::Excess}, {"--lack", TestValue::Lack},
                                                      {"--alternating", TestValue::Alternating}};
        for (const auto& [name, entry] : counts) {
            const int e = entry;
            app.add_option_function<std::string>(
                   name, [o, e](const std::string& v) { o->counts.emplace_back(e, v); }, "the test's count")
                ->type_name("N")
                ->group(testsGroup);
        }
        text("--zone1", o->zone1, "K/M", "zone rule 1: K of M points", testsGroup);
        text("--zone2", o->zone2, "K/M", "zone rule 2: K of M points", testsGroup);
        const char* output = "Output";
        text("--selection", o->selection, "NAME", "only this chart selection (default: all)", output);
        app.add_option("--decimals", o->decimals, "decimals, 0-9 (default 4)")
            ->type_name("D")
            ->check(CLI::Range(0, 9))
            ->group(output);
        text("--rtf", o->rtfPath, "PATH", "also save the output (rich text for .rtf, else text)", output);
        app.footer("Exit status: 0 on success, 1 when the setup is refused (the message goes to stderr), 2 on bad\n"
                   "usage.");
        return [o] { return RunVarChart(*o); };
    }};

}  // namespace
}  // namespace amx::cli
