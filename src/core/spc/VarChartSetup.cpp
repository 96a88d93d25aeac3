#include "spc/VarChartSetup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "common/NumberText.h"
#include "session/Session.h"
#include "worksheet/modifications/Transform.h"

namespace amx {

namespace {

const char* const TypeNames[] = {"None",         "X",     "Mean",        "Median",           "Moving Range",
                                 "Range",        "Std Dev (s)", "Variance (s²)", "Individual Points"};

const char* const MethodNames[Method::Count] = {
    "None",                "Centerline Only",      "User Defined",         "Known Std Dev",
    "Average MR",          "Median MR",            "Std Dev",              "Average Range",
    "Median Range",        "Average Std Dev",      "Median Std Dev",       "Average Variance",
    "Average MR of Means", "Average MR of Medians", "Median MR of Means",  "Median MR of Medians",
    "Std Dev of Means",    "Std Dev of Medians",   "Average MR of ",       "Median MR of ",
    "Std Dev of ",         "None",                 "Average ",             "Median of ",
    "Known Mean",          "Average ",             "Median ",              "Known Std Dev"};

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// Positions in the subgroup lists; the individual lists are shorter.
const int IndividualLocTypes[] = {ChartType::X, ChartType::None};
const int SubgroupLocTypes[] = {ChartType::Mean, ChartType::Median, ChartType::None};
const int IndividualDispTypes[] = {ChartType::MovingRange, ChartType::None};
const int SubgroupDispTypes[] = {ChartType::Range, ChartType::StdDev, ChartType::Variance, ChartType::None};

int LocTypeOf(const VarSetupState& st) {
    if (IndividualMode(st)) return st.locType >= 0 && st.locType < 2 ? IndividualLocTypes[st.locType] : 0;
    return st.locType >= 0 && st.locType < 3 ? SubgroupLocTypes[st.locType] : 0;
}
int DispTypeOf(const VarSetupState& st) {
    if (IndividualMode(st)) return st.dispType >= 0 && st.dispType < 2 ? IndividualDispTypes[st.dispType] : 0;
    return st.dispType >= 0 && st.dispType < 4 ? SubgroupDispTypes[st.dispType] : 0;
}

std::vector<int> LocLimitEntries(bool individual, int locType) {
    if (individual) return {4, 5, 6, 3, 1, 2, 0};
    const bool median = locType == ChartType::Median;
    return {7, 8, 9, 10, 11, median ? 13 : 12, median ? 15 : 14, median ? 17 : 16, 3, 1, 2, 0};
}
std::vector<int> DispLimitEntries(bool individual) {
    if (individual) return {4, 5, 6, 3, 1, 2, 0};
    return {7, 8, 9, 10, 11, 18, 19, 20, 3, 1, 2, 0};
}

std::string At(const std::vector<std::string>& list, int pos) {
    return pos >= 0 && pos < static_cast<int>(list.size()) ? list[pos] : std::string();
}

// Step 2 of the linked defaults.
void ApplyDispDefaults(VarSetupState& st) {
    const int disp = DispTypeOf(st);
    if (disp == ChartType::None) return;
    const bool median = LocTypeOf(st) == ChartType::Median;
    const int d = st.dispType;
    st.dispLimit = st.locLimit = 2 * d + (median && d < 2 ? 1 : 0);
    st.dispCenter = median ? 1 : 0;
}

bool ParseNumber(std::string_view text, long double& out) {
    std::string t = RemoveCommas(text);
    if (t.find_first_not_of(' ') == std::string::npos) return false;
    int err = 0;
    long double v = ConvertExtended(t, err);
    if (err != 0 || !std::isfinite(v)) return false;
    out = v;
    return true;
}

}  // namespace

std::string ChartTypeName(int type) { return type >= 0 && type <= 8 ? TypeNames[type] : std::string(); }

std::string MethodTableName(int index, int locType, int dispType) {
    if (index < 0 || index >= Method::Count) return {};
    std::string name = MethodNames[index];
    const std::string T = ChartTypeName(locType);
    const std::string U = ChartTypeName(dispType);
    std::string D = U;
    if (auto paren = D.find('('); paren != std::string::npos) D.resize(paren);
    switch (index) {
        case 18:
        case 19:
        case 20: return name + D;
        case 22: return name + T;
        case 23: return name + T + (!T.empty() && T.back() == 's' ? "" : "s");
        case 25:
        case 26: return name + U;
        default: return name;
    }
}

bool RowsLayoutUsed(const VarSetupState& st) { return st.measures.size() > 1 && st.layoutRows; }

bool ConstantSizeUsed(const VarSetupState& st) {
    return st.columnCount > 0 && !RowsLayoutUsed(st) && st.constantSize;
}

int SampleColumnUsed(const VarSetupState& st) {
    const bool shown = !st.constantSize && !RowsLayoutUsed(st) && st.columnCount >= 2;
    return shown ? st.sampleColumn : 0;
}

bool IndividualMode(const VarSetupState& st) {
    return SampleColumnUsed(st) == 0 && !ConstantSizeUsed(st) && !RowsLayoutUsed(st);
}

VarSetupLists ListsOf(const VarSetupState& st) {
    VarSetupLists l;
    const bool individual = IndividualMode(st);
    for (int t : individual ? std::vector<int>{1, 0} : std::vector<int>{2, 3, 0}) l.locType.push_back(ChartTypeName(t));
    for (int t : individual ? std::vector<int>{4, 0} : std::vector<int>{5, 6, 7, 0})
        l.dispType.push_back(ChartTypeName(t));
    const int loc = LocTypeOf(st), disp = DispTypeOf(st);
    for (int e : LocLimitEntries(individual, loc)) l.locLimit.push_back(MethodTableName(e, loc, disp));
    for (int e : DispLimitEntries(individual)) l.dispLimit.push_back(MethodTableName(e, loc, disp));
    for (int e : {22, 23, 24}) l.locCenter.push_back(MethodTableName(e, loc, disp));
    for (int e : {25, 26, 27}) l.dispCenter.push_back(MethodTableName(e, loc, disp));
    return l;
}

std::string LocTypeText(const VarSetupState& st) { return At(ListsOf(st).locType, st.locType); }
std::string DispTypeText(const VarSetupState& st) { return At(ListsOf(st).dispType, st.dispType); }
std::string LocLimitText(const VarSetupState& st) { return At(ListsOf(st).locLimit, st.locLimit); }
std::string DispLimitText(const VarSetupState& st) { return At(ListsOf(st).dispLimit, st.dispLimit); }
std::string LocCenterText(const VarSetupState& st) { return At(ListsOf(st).locCenter, st.locCenter); }
std::string DispCenterText(const VarSetupState& st) { return At(ListsOf(st).dispCenter, st.dispCenter); }

VarSetupVisibility VisibilityOf(const VarSetupState& st) {
    VarSetupVisibility v;
    const VarSetupLists l = ListsOf(st);
    const bool rows = RowsLayoutUsed(st);
    v.layoutBox = st.measures.size() > 1;
    v.constantBox = !rows && st.columnCount > 0;
    v.sampleButton = !st.constantSize && !rows && st.columnCount >= 2;
    v.sampleSpin = v.constantBox && st.constantSize;
    v.sampleCaption = v.sampleButton || v.sampleSpin;
    v.sampleCaptionText = st.constantSize ? "  Sample Size" : "Sample Variable";
    v.setsControls = v.groupControls = st.columnCount > 1;
    v.measureCaption = rows ? "Subgroup Measures" : "     Chart Variables";

    const std::string locLimit = At(l.locLimit, st.locLimit), dispLimit = At(l.dispLimit, st.dispLimit);
    const bool locOn = LocTypeOf(st) != ChartType::None, dispOn = DispTypeOf(st) != ChartType::None;
    v.locLimits = locOn;
    v.locCenter = v.positiveLimits = locOn && locLimit != "None" && locLimit != "User Defined";
    v.locUser = locOn && locLimit == "User Defined";
    v.dispLimits = dispOn;
    v.dispCenter = dispOn && dispLimit != "None" && dispLimit != "User Defined";
    v.dispUser = dispOn && dispLimit == "User Defined";
    // A known mean matters only where the centerline list it is chosen in is shown.
    v.mu = v.locCenter && At(l.locCenter, st.locCenter) == "Known Mean";
    v.sigma = (v.locLimits && locLimit == "Known Std Dev") ||
              (v.dispLimits && (dispLimit == "Known Std Dev" ||
                                (v.dispCenter && At(l.dispCenter, st.dispCenter) == "Known Std Dev")));
    v.stdErr = (v.locLimits && locLimit != "None") || (v.dispLimits && dispLimit != "None");
    v.mrCount = (v.locLimits && Contains(locLimit, "MR")) || (v.dispLimits && Contains(dispLimit, "MR")) ||
                DispTypeOf(st) == ChartType::MovingRange;
    v.action = (locOn || dispOn) && !st.measures.empty();
    return v;
}

void RefreshMode(VarSetupState& st) {
    if (!RowsLayoutUsed(st) && st.measures.size() <= 1) st.layoutRows = false;
    const int mode = IndividualMode(st) ? 0 : 1;
    if (mode == st.listsMode) return;
    st.listsMode = mode;
    st.locType = st.dispType = st.locLimit = st.locCenter = st.dispLimit = st.dispCenter = 0;
}

void SetMeasures(VarSetupState& st, std::vector<int> measures) {
    std::sort(measures.begin(), measures.end());
    measures.erase(std::unique(measures.begin(), measures.end()), measures.end());
    const bool rowsBefore = RowsLayoutUsed(st);
    st.measures = std::move(measures);
    if (st.measures.size() <= 1) st.layoutRows = false;
    RefreshMode(st);
    if (rowsBefore != RowsLayoutUsed(st)) ApplyDispDefaults(st);
}

void SetSampleColumn(VarSetupState& st, int column) {
    st.sampleColumn = column;
    RefreshMode(st);
    ApplyDispDefaults(st);
}

void SetConstantSize(VarSetupState& st, bool on) {
    st.constantSize = on;
    if (on) st.sampleColumn = 0;  // ticking gives the sample variable back
    RefreshMode(st);
}

void SetLayoutRows(VarSetupState& st, bool rows) {
    st.layoutRows = rows && st.measures.size() > 1;
    RefreshMode(st);
    ApplyDispDefaults(st);
}

void ChooseLocType(VarSetupState& st, int position) {
    RefreshMode(st);
    st.locType = position;
    if (LocTypeOf(st) != ChartType::None) {
        st.locCenter = LocTypeOf(st) == ChartType::Median ? 1 : 0;
        st.locLimit = st.dispLimit;
    }
    ApplyDispDefaults(st);
}

void ChooseDispType(VarSetupState& st, int position) {
    RefreshMode(st);
    st.dispType = position;
    ApplyDispDefaults(st);
}

void ChooseDispLimit(VarSetupState& st, int position) {
    st.dispLimit = position;
    if (DispTypeOf(st) == ChartType::None) return;
    st.locLimit = position;
    const std::string text = DispLimitText(st);
    st.dispCenter = Contains(text, "Median") && !Contains(text, "of") ? 1 : 0;
}

void ChooseLocLimit(VarSetupState& st, int position) { st.locLimit = position; }

int LayoutCode(const VarSetupState& st) {
    int code = 0;
    if (!st.groupColumns.empty()) code += 10000;
    if (st.measures.size() > 1) code += 1000;
    if (SampleColumnUsed(st) != 0) code += 100;
    if (ConstantSizeUsed(st)) code += 10;
    if (RowsLayoutUsed(st)) code += 1;
    return LayoutFromCode(code);
}

int LayoutFromCode(int code) {
    static const std::map<int, int> layouts = {{0, 1},      {10, 4},     {100, 3},    {1000, 5},   {1001, 2},
                                               {1010, 7},   {1100, 6},   {10000, 8},  {10010, 11}, {10100, 10},
                                               {11000, 12}, {11001, 9},  {11010, 14}, {11100, 13}};
    auto it = layouts.find(code);
    return it == layouts.end() ? 0 : it->second;
}

bool ValidateVarChartSetup(Session& s, const VarSetupState& stIn, VarChartSetup& out, std::string& message) {
    message.clear();
    auto fail = [&](const char* text) {
        message = text;
        return false;
    };
    VarSetupState st = stIn;
    RefreshMode(st);
    const VarSetupVisibility vis = VisibilityOf(st);
    const int locType = LocTypeOf(st), dispType = DispTypeOf(st);
    VarChartSetup next;
    TVarChartSettings& cs = next.settings;

    auto methodIndex = [&](const std::string& text) {
        for (int i = 0; i <= Method::DispStdDev; ++i)
            if (MethodTableName(i, locType, dispType) == text) return i;
        return 0;
    };
    cs.LocChartType = static_cast<std::uint8_t>(locType);
    cs.DispChartType = static_cast<std::uint8_t>(dispType);
    cs.LocLimitMethod = static_cast<std::uint8_t>(methodIndex(LocLimitText(st)));
    cs.DispLimitMethod = static_cast<std::uint8_t>(methodIndex(DispLimitText(st)));
    cs.LocCenterline = cs.LocLimitMethod == Method::None ? 0 : static_cast<std::uint8_t>(st.locCenter + 1);
    cs.DispCenterline = cs.DispLimitMethod == Method::None ? 0 : static_cast<std::uint8_t>(st.dispCenter + 4);
    cs.AxisLabelColumn = st.axisLabelColumn;
    cs.PositiveLimitsOnly = st.positiveLimitsOnly;
    cs.SubgroupSize = ConstantSizeUsed(st) ? std::clamp(st.sampleSize, 2, 999) : 0;
    {
        long double span = 2;
        cs.MRSpan = ParseNumber(st.mrCountText, span) ? static_cast<int>(std::clamp<long double>(std::nearbyint(span), 2, 30)) : 2;
    }
    // k divides the user-defined limits and multiplies every standard error:
    // it must be a number above 0.
    long double k = 0;
    if (!ParseNumber(st.stdErrText, k) || !(k > 0)) return fail("Std Err Not Valid!");
    cs.StdErrors = static_cast<double>(k);
    cs.StdErrorsText = st.stdErrText;

    if (vis.sigma) {
        long double v = 0;
        if (!ParseNumber(st.sigmaText, v) || !(v > 0)) return fail("Known Sigma Not Valid!");
        cs.SigmaKnown = true;
        cs.KnownSigma = static_cast<double>(v);
    }
    if (vis.mu) {
        long double v = 0;
        if (!ParseNumber(st.muText, v)) return fail("Known Location Parameter Not Valid!");
        cs.MeanKnown = true;
        cs.KnownMean = static_cast<double>(v);
    }
    auto userLimits = [&](bool on, const std::array<bool, 3>& box, const std::array<std::string, 3>& text,
                          double& ucl, double& cl, double& lcl, bool positive) {
        double* dest[3] = {&ucl, &cl, &lcl};
        if (!on) return true;
        for (int i = 0; i < 3; ++i) {
            *dest[i] = MissingValue;
            if (!box[i]) continue;
            long double v = 0;
            if (!ParseNumber(text[i], v) || (positive && v < 0)) return false;
            *dest[i] = static_cast<double>(v);
        }
        auto given = [](double x) { return x != MissingValue; };
        if (given(cl) && given(lcl) && cl < lcl) return false;
        if (given(ucl) && given(cl) && ucl < cl) return false;
        if (given(ucl) && given(lcl) && ucl < lcl) return false;
        return true;
    };
    if (!userLimits(cs.LocLimitMethod == Method::UserDefined && locType != 0, st.locUserBox, st.locUserText,
                    cs.LocUserUCL, cs.LocUserCL, cs.LocUserLCL, false))
        return fail("User Defined Location Limits Not Valid!");
    if (!userLimits(cs.DispLimitMethod == Method::UserDefined && dispType != 0, st.dispUserBox, st.dispUserText,
                    cs.DispUserUCL, cs.DispUserCL, cs.DispUserLCL, true))
        return fail("User Defined Dispersion Limits Not Valid!");

    cs.Layout = static_cast<std::uint8_t>(LayoutCode(st));
    cs.SampleColumn = SampleColumnUsed(st);
    cs.SetsColumn = st.columnCount > 1 ? st.setsColumn : 0;

    next.measures = st.measures;
    for (int c : st.measures)
        if (c >= 1 && c < ColumnSlots) next.include[c] = true;
    TRunInfo& ri = next.run;
    ri.InitRunInfo();
    const std::vector<int> groups = st.columnCount > 1 ? st.groupColumns : std::vector<int>{};
    ri.RefArray[0] = static_cast<std::uint16_t>(std::min<std::size_t>(groups.size(), MaxColumns));
    for (std::size_t i = 0; i < groups.size() && i < MaxColumns; ++i)
        ri.RefArray[i + 1] = static_cast<std::uint16_t>(groups[i]);
    if (!groups.empty()) {
        if (!SetRunData(s, ri)) return false;  // SetRunData has shown its error
    } else {
        ri.MinRun = ri.MaxRun = 0;
    }
    ri.ColFirst = st.measures.empty() ? 0 : st.measures.front();
    ri.ColLast = st.measures.empty() ? 0 : st.measures.back();
    ri.GroupName.clear();
    ri.MeasureName = "Value";
    out = std::move(next);
    return true;
}

// ---- selections and subgroups -----------------------------------------------------

std::vector<std::int32_t> SelectionRows(const Session& s, const VarChartSetup& setup, int run) {
    std::vector<std::int32_t> rows;
    const int layout = setup.settings.Layout;
    if (layout >= 8) {
        const auto span = s.DataList.RunRows(run);
        rows.reserve(span.size());
        for (const auto* r = span.first; r != span.last; ++r)
            if (ProcessOK(s, *r)) rows.push_back(*r);
    } else {
        const int n = s.DataList.Ncount;
        rows.reserve(static_cast<std::size_t>(std::max(n, 0)));
        for (int r = 1; r <= n; ++r)
            if (ProcessOK(s, r)) rows.push_back(r);
    }
    return rows;
}

namespace {

bool IsIndividualLayout(int layout) { return layout == 1 || layout == 5 || layout == 8 || layout == 12; }
bool IsRowsLayout(int layout) { return layout == 2 || layout == 9; }
bool IsSampleLayout(int layout) { return layout == 3 || layout == 6 || layout == 10 || layout == 13; }
bool IsConstantLayout(int layout) { return layout == 4 || layout == 7 || layout == 11 || layout == 14; }

class SubgroupBuilder {
public:
    SubgroupBuilder(Session& s, const VarChartSetup& setup, bool showBreaks)
        : s_(s), setup_(setup), showBreaks_(showBreaks), transform_(s) {
        out.offset.push_back(0);
    }
    // Adds the value of (column, row) to the open subgroup when it is valid.
    void Take(int column, int row) {
        double v = s_.DataList.Value(column, row);
        if (!DataValid(s_, v)) return;
        if (s_.Transform.no != TransformKind::None && !transform_.Apply(v)) {
            failed_ = true;
            return;
        }
        if (open_ == 0) startRow_ = row;
        out.values.push_back(v);
        ++open_;
    }
    // Closes the open subgroup: a point when it holds a value, else a break
    // after the point before.
    void Close() {
        if (open_ == 0) {
            if (showBreaks_ && !out.breakAfter.empty()) out.breakAfter.back() = 1;
            return;
        }
        out.offset.push_back(out.values.size());
        out.startRow.push_back(startRow_);
        out.breakAfter.push_back(0);
        double set = 0.0;
        if (setup_.settings.SetsColumn > 0) {
            const double v = s_.DataList.Value(setup_.settings.SetsColumn, startRow_);
            set = DataValid(s_, v) ? std::nearbyint(v) : MissingValue;
        }
        out.set.push_back(set);
        open_ = 0;
    }
    void Gap() {
        if (showBreaks_ && !out.breakAfter.empty()) out.breakAfter.back() = 1;
    }
    bool Failed() const { return failed_; }
    SubgroupList out;

private:
    Session& s_;
    const VarChartSetup& setup_;
    bool showBreaks_;
    DirectTransform transform_;
    std::size_t open_ = 0;
    std::int32_t startRow_ = 0;
    bool failed_ = false;
};

}  // namespace

SubgroupList FormSubgroups(Session& s, const VarChartSetup& setup, const ChartSelection& sel, bool showBreaks) {
    EnsureDataCurrent(s);
    const int layout = setup.settings.Layout;
    SubgroupBuilder b(s, setup, showBreaks);
    if (layout == 0) return std::move(b.out);
    const std::vector<std::int32_t> rows = SelectionRows(s, setup, sel.run);
    const int column = sel.column;

    if (IsIndividualLayout(layout)) {
        b.out.values.reserve(rows.size());
        for (auto r : rows) {
            b.Take(column, r);
            b.Close();
        }
    } else if (IsRowsLayout(layout)) {
        for (auto r : rows) {
            for (int c : setup.measures) b.Take(c, r);
            b.Close();
        }
    } else if (IsConstantLayout(layout)) {
        const long long n = std::max(setup.settings.SubgroupSize, 1);
        if (layout == 4 || layout == 7) {
            // Blocks of n worksheet rows; rows failing Process If add nothing.
            const long long N = s.DataList.Ncount;
            std::size_t i = 0;
            for (long long first = 1; first <= N; first += n) {
                const long long last = std::min(N, first + n - 1);
                for (; i < rows.size() && rows[i] <= last; ++i) b.Take(column, rows[i]);
                b.Close();
            }
        } else {
            // Grouped: blocks of n rows of the run that pass the filter.
            for (std::size_t first = 0; first < rows.size(); first += static_cast<std::size_t>(n)) {
                const std::size_t last = std::min(rows.size(), first + static_cast<std::size_t>(n));
                for (std::size_t i = first; i < last; ++i) b.Take(column, rows[i]);
                b.Close();
            }
        }
    } else if (IsSampleLayout(layout)) {
        // One pass buckets the rows by rounded sample value (64-bit keys);
        // a stable sort keeps worksheet order within a subgroup.
        const int sc = setup.settings.SampleColumn;
        std::vector<std::pair<long long, std::int32_t>> keyed;
        keyed.reserve(rows.size());
        for (auto r : rows) {
            const double v = s.DataList.Value(sc, r);
            if (!DataValid(s, v) || !std::isfinite(v) || std::fabs(v) > 9.2e18) continue;
            keyed.emplace_back(static_cast<long long>(std::llround(v)), r);
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t i = 0; i < keyed.size();) {
            const long long key = keyed[i].first;
            if (i > 0 && key != keyed[i - 1].first + 1) b.Gap();
            for (; i < keyed.size() && keyed[i].first == key; ++i) b.Take(column, keyed[i].second);
            b.Close();
        }
    }
    return std::move(b.out);
}

std::vector<ChartSelection> BuildChartSelections(Session& s, const VarChartSetup& setup) {
    std::vector<ChartSelection> out;
    const int layout = setup.settings.Layout;
    if (layout == 0 || setup.measures.empty()) return out;
    EnsureDataCurrent(s);
    const bool grouped = layout >= 8;
    const TRunInfo& ri = setup.run;
    const std::vector<int> columns = IsRowsLayout(layout) ? std::vector<int>{setup.measures.front()} : setup.measures;
    const int minRun = grouped ? ri.MinRun : 0, maxRun = grouped ? ri.MaxRun : 0;
    auto header = [&](int c) { return ColumnName(s, c); };
    // Whether a selection yields a point: a counted row with a valid measure
    // (and, by sample variable, a valid sample value).
    auto hasPoint = [&](int column, int run) {
        for (auto r : SelectionRows(s, setup, run)) {
            if (IsSampleLayout(layout) && !DataValid(s, s.DataList.Value(setup.settings.SampleColumn, r))) continue;
            if (IsRowsLayout(layout)) {
                for (int c : setup.measures)
                    if (DataValid(s, s.DataList.Value(c, r))) return true;
            } else if (DataValid(s, s.DataList.Value(column, r))) {
                return true;
            }
        }
        return false;
    };
    for (int c : columns) {
        for (int run = minRun; run <= maxRun; ++run) {
            if (!hasPoint(c, run)) continue;
            ChartSelection sel{c, run, {}};
            const std::string runName = grouped ? GetRunName(s, run, ri) : std::string();
            switch (layout) {
                case 2: sel.name = header(setup.measures.front()) + ".." + header(setup.measures.back()); break;
                case 9:
                    sel.name = header(setup.measures.front()) + ".." + header(setup.measures.back()) + "(" +
                               runName + ")";
                    break;
                case 12:
                case 13:
                case 14: sel.name = header(c) + "(" + runName + ")"; break;
                case 8:
                case 10:
                case 11: sel.name = runName; break;
                default: sel.name = header(c); break;
            }
            out.push_back(std::move(sel));
        }
    }
    return out;
}

}  // namespace amx
