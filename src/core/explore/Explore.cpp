// The Explore pages: selection, per-set statistics and the grid cells.
#include "explore/Explore.h"

#include <algorithm>
#include <cmath>

#include "common/MessageHelpers.h"
#include "common/NumberText.h"
#include "common/Sentinels.h"
#include "engine/descriptive/Intervals.h"
#include "engine/descriptive/NormalityLimits.h"
#include "engine/descriptive/SampleData.h"
#include "engine/descriptive/SessionSample.h"
#include "engine/distributions/Distributions.h"
#include "session/Session.h"
#include "spc/SpecLimits.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/ProcessIf.h"
#include "worksheet/modifications/Transform.h"

namespace amx {
namespace {

constexpr long double NotAvailable = 999.0L;

bool Usable(long double x) { return std::isfinite(static_cast<double>(x)) && x != MissingValue; }

// A value with the chosen decimals; empty when it cannot be shown (infinite,
// NaN or the missing sentinel).
std::string Num(const CommonState& cs, int decimals, long double x) {
    return Usable(x) ? FormatNumber(cs, decimals, x) : std::string();
}

std::string PCell(long double alpha, long double p) {
    std::string text;
    PCellText(text, alpha, Usable(p) ? p : NotAvailable);
    return text;
}

bool IsCiItem(int item) { return item == 3 || item == 5 || item == 7; }
bool HasPColumn(int item) {
    return (item >= 23 && item <= 27) || item == 29 || item == 30;
}

std::string TransformSuffix(const Session& s) {
    if (s.Transform.no == TransformKind::None) return {};
    return " (" + TransformText(s.Transform) + ")";
}

std::string FirstHeader(const TRunInfo& ri) {
    switch (ri.ColRefRun) {
        case SelectionMode::Runs: return "Run";
        case SelectionMode::SingleGroupRuns: return ri.GroupName;
        default: return "Variable";
    }
}

std::vector<std::string> PageColumns(const ExploreRequest& rq, ExplorePage page) {
    switch (page) {
        case ExplorePage::Descriptives: return {"n", "Mean", "Std Dev", "Low", "High", "Range"};
        case ExplorePage::Quartiles: return {"n", "Low", "Q1", "Median", "Q3", "High"};
        case ExplorePage::Normality:
            return {"n", "(A-D)A²*", "p-value", "(S-W)W", "p-value", "(L-M)r", "p-value",
                    "Skewness", "p-value", "Kurtosis", "p-value"};
        case ExplorePage::ConfInt:
            return {"n", "Mean", "Mean(L)", "Mean(H)", "Std Dev", "Std Dev(L)", "Std Dev(H)"};
        case ExplorePage::NatTol: return {"n", "Mean", "Std Dev", "NT Low", "NT High", "NT (6s)"};
        case ExplorePage::Custom: {
            std::vector<std::string> cols;
            for (int item : rq.custom) {
                const std::string name = CustomStat(item).name;
                if (IsCiItem(item)) {
                    cols.push_back(name + "(L)");
                    cols.push_back(name + "(H)");
                } else {
                    cols.push_back(name);
                }
                if (HasPColumn(item)) cols.push_back("p-value");
            }
            return cols;
        }
    }
    return {};
}

class PageBuilder {
public:
    // A column's title, with its name when another analysed column shares
    // the title, so the rows can be told apart.
    std::string RowLabel() const {
        const TRunInfo& ri = st_.runInfo;
        if (rq_.mode != ExploreMode::Columns || ri.CurrentTitle == ri.CurrentName) return ri.CurrentTitle;
        std::vector<int> cols = rq_.columns;
        std::sort(cols.begin(), cols.end());
        cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
        int same = 0;
        for (int c : cols) same += ColumnTitleOrName(s_, c) == ri.CurrentTitle;
        return same > 1 ? ri.CurrentTitle + " (" + ri.CurrentName + ")" : ri.CurrentTitle;
    }

    PageBuilder(Session& s, ExploreState& st, const ExploreRequest& rq, ExplorePage page)
        : s_(s), st_(st), rq_(rq), page_(page), sd_(SessionSample(s)), d_(rq.decimals) {}

    std::vector<std::string> Row() {
        std::vector<std::string> cells{RowLabel()};
        switch (page_) {
            case ExplorePage::Descriptives: Descriptives(cells); break;
            case ExplorePage::Quartiles: Quartiles(cells); break;
            case ExplorePage::Normality: Normality(cells); break;
            case ExplorePage::ConfInt: ConfInt(cells); break;
            case ExplorePage::NatTol: NatTol(cells); break;
            case ExplorePage::Custom: Custom(cells); break;
        }
        return cells;
    }

private:
    long double Alpha() const { return s_.confI.alpha; }
    std::string N(int n) const { return FormatNumber(s_, 0, n); }
    std::string V(long double x) const { return Num(s_, d_, x); }
    std::string V3(long double x) const { return Num(s_, 3, x); }
    // The standard deviation needs two values; one value has none.
    std::string Sd(long double x, int n) const { return n >= 2 ? V(x) : std::string(); }

    void Descriptives(std::vector<std::string>& c) {
        sd_.ComputeStats('D');
        const int n = sd_.n();
        c.insert(c.end(), {N(n), V(sd_.mean), Sd(sd_.stdDev, n), V(sd_.minimum), V(sd_.maximum),
                           V(sd_.range)});
    }

    void Quartiles(std::vector<std::string>& c) {
        sd_.OrderStats();
        c.insert(c.end(), {N(sd_.n()), V(sd_.minimum), V(sd_.q1), V(sd_.median), V(sd_.q3),
                           V(sd_.maximum)});
    }

    std::string KurtosisCell(int n, long double g2) {
        std::string text;
        long double kp = NotAvailable;
        KurtosisPValueText(n, text, g2, kp);
        return text + (Usable(kp) && kp <= Alpha() ? "*" : " ");
    }

public:
    // A row had more values than the Shapiro-Wilk test covers.
    bool ShapiroWilkTooLarge() const { return swTooLarge_; }
    // The pooled row of several columns whose specification limits differ:
    // no one set of limits applies to it.
    void SetMixedSpecLimits(bool mixed) { mixedSpecs_ = mixed; }

private:

    void Normality(std::vector<std::string>& c) {
        sd_.ComputeStats('T');
        const int n = sd_.n();
        if (n > ShapiroWilkMaxN) swTooLarge_ = true;
        c.push_back(N(n));
        c.push_back(V3(sd_.adStat));
        c.push_back(PCell(Alpha(), sd_.adP));
        c.push_back(V3(sd_.swW));
        c.push_back(PCell(Alpha(), sd_.swP));
        c.push_back(V3(sd_.lmR));
        c.push_back(PCell(Alpha(), sd_.lmP));
        c.push_back(V3(sd_.adjSkewness));
        c.push_back(PCell(Alpha(), SkewnessPValue(s_, n, sd_.skewness)));
        c.push_back(V3(sd_.adjKurtosis));
        c.push_back(KurtosisCell(n, sd_.kurtosis));
    }

    void ConfInt(std::vector<std::string>& c) {
        const int n = sd_.n();
        if (!rq_.pool) {
            s_.confI.StatsIntervals(s_, sd_);
            const TConfI& ci = s_.confI;
            const bool two = n >= 2;
            c.insert(c.end(), {N(n), V(ci.m), two ? V(ci.m1) : "", two ? V(ci.m2) : "", Sd(ci.S, n),
                               two ? V(ci.s1) : "", two ? V(ci.s2) : ""});
            return;
        }
        sd_.MeanStdDev();
        const ExplorePooled& p = st_.pooled;
        // Without any run of two values there is no pooled estimate at all.
        if (p.dfTotal == 0) {
            c.insert(c.end(), {N(n), V(sd_.mean), "", "", "", "", ""});
            return;
        }
        const long double h = n > 0 ? p.mdiff / std::sqrt(static_cast<long double>(n)) : 0;
        c.insert(c.end(), {N(n), V(sd_.mean), V(sd_.mean - h), V(sd_.mean + h), V(p.pooledStd),
                           V(p.Ps1), V(p.Ps2)});
    }

    void NatTol(std::vector<std::string>& c) {
        sd_.MeanStdDev();
        const int n = sd_.n();
        long double sdev = sd_.stdDev;
        bool have = n >= 2;
        if (rq_.poolNT) {
            sdev = st_.pooled.pooledStd;
            have = st_.pooled.dfTotal > 0;
        }
        const long double m = sd_.mean;
        c.insert(c.end(), {N(n), V(m), have ? V(sdev) : "", have ? V(m - 3 * sdev) : "",
                           have ? V(m + 3 * sdev) : "", have ? V(6 * sdev) : ""});
    }

    bool Ticked(int item) const {
        return std::find(rq_.custom.begin(), rq_.custom.end(), item) != rq_.custom.end();
    }

    void Custom(std::vector<std::string>& c);

    Session& s_;
    ExploreState& st_;
    const ExploreRequest& rq_;
    ExplorePage page_;
    SampleData& sd_;
    int d_;
    bool swTooLarge_ = false;
    bool mixedSpecs_ = false;
};

constexpr long double kPercentiles[19] = {0.005L, 0.01L, 0.025L, 0.05L, 0.10L, 0.20L, 0.25L,
                                          0.30L,  0.40L, 0.50L,  0.60L, 0.70L, 0.75L, 0.80L,
                                          0.90L,  0.95L, 0.975L, 0.99L, 0.995L};

void PageBuilder::Custom(std::vector<std::string>& c) {
    TRunInfo& ri = st_.runInfo;
    // Moving ranges need the values in their worksheet order, so they come
    // before anything sorts the sample; the row is then loaded again.
    long double sigmaMR = 0, sigmaMMR = 0;
    const bool wantMR = Ticked(8) || Ticked(9);
    if (wantMR) {
        // A copy of the loaded values gives back exactly what a reload would
        // (the reload repeats random transforms), without reading the sheet.
        const int n0 = sd_.n();
        std::vector<double> kept(s_.A_Array.begin(), s_.A_Array.begin() + n0 + 1);
        sd_.MovingRangeStats();
        sigmaMR = sd_.sigmaAvgMR;
        sigmaMMR = sd_.sigmaMedianMR;
        std::copy(kept.begin(), kept.end(), s_.A_Array.begin());
        s_.ATop = n0;
    }
    sd_.MeanDeviations();
    const int n = sd_.n();
    const long double mean = sd_.mean, sdev = sd_.stdDev, var = sd_.variance;
    const long double minimum = sd_.minimum;
    const bool two = n >= 2;
    const long double alpha = Alpha();

    bool needCI = Ticked(3) || Ticked(5) || Ticked(7);
    if (needCI) s_.confI.StatsIntervals(s_, sd_);
    const TConfI ci = s_.confI;

    // Order statistics and percentiles read the sorted sample, so they are
    // taken before the tests that may reorder or replace it.
    const long double q1 = sd_.q1, q3 = sd_.q3, median = sd_.median, maximum = sd_.maximum,
                      range = sd_.range, mdAvg = sd_.meanAbsDevMean, mdMed = sd_.meanAbsDevMedian;
    long double tiedMedian = median;
    if (Ticked(19)) {
        sd_.TiedMedian();
        tiedMedian = sd_.interpolatedMedian;
    }
    std::string pct[19];
    for (int k = 0; k < 19; ++k) {
        if (!Ticked(63 + k)) continue;
        long double v = sd_.Percentile(kPercentiles[k]);
        pct[k] = s_.StatErrorCode == 0 ? V(v) : std::string();
        s_.StatErrorCode = 0;
    }

    // Specification limits of the measured column.
    const int col = s_.DataList.DescCol;
    const long double LSL = ColumnLSL(s_, col), Target = ColumnTarget(s_, col), USL = ColumnUSL(s_, col);
    const bool haveL = !mixedSpecs_ && LSL != MissingValue, haveT = !mixedSpecs_ && Target != MissingValue,
               haveU = !mixedSpecs_ && USL != MissingValue;
    SetSpecLimits(s_, haveL ? static_cast<double>(LSL) : MissingValue,
                  haveT ? static_cast<double>(Target) : MissingValue,
                  haveU ? static_cast<double>(USL) : MissingValue);
    const int below = haveL ? sd_.CountBelow(LSL) : 0;
    const int above = haveU ? sd_.CountAbove(USL) : 0;
    const int below3 = two ? sd_.CountBelow(mean - 3 * sdev) : 0;
    const int above3 = two ? sd_.CountAbove(mean + 3 * sdev) : 0;

    // Capability indices need a spread and at least one limit.
    const bool capable = two && sdev > 0 && (haveL || haveU);
    const std::string cp = capable ? V3(CapabilityCp(s_, CapabilityNormalModel, mean, sdev)) : "";
    const std::string cpk = capable ? V3(CapabilityCpk(s_, CapabilityNormalModel, mean, sdev)) : "";
    const std::string cpm =
        capable && haveT ? V3(CapabilityCpm(s_, n, mean, sdev)) : "";

    // Exponential tests.
    const bool expOk = two && var > 0;
    const long double T = expOk ? (mean - minimum) * (mean - minimum) / var : 0;

    // Tests last: they work on the sorted sample.
    std::string adCells[2], swCells[2], lmCells[2], skCells[2], kuCells[2];
    if (Ticked(24)) {
        if (n > ShapiroWilkMaxN) swTooLarge_ = true;
        sd_.ShapiroWilkTest(false);
        swCells[0] = V3(sd_.swW);
        swCells[1] = PCell(alpha, sd_.swP);
    }
    if (Ticked(25)) {
        sd_.LinMudholkarTest();
        lmCells[0] = V3(sd_.lmR);
        lmCells[1] = PCell(alpha, sd_.lmP);
    }
    if (Ticked(26) || Ticked(27)) {
        sd_.SkewKurt();
        skCells[0] = V3(sd_.adjSkewness);
        skCells[1] = PCell(alpha, SkewnessPValue(s_, n, sd_.skewness));
        kuCells[0] = V3(sd_.adjKurtosis);
        kuCells[1] = KurtosisCell(n, sd_.kurtosis);
    }
    if (Ticked(23)) {
        sd_.AndersonDarlingTest();
        adCells[0] = V3(sd_.adStat);
        adCells[1] = PCell(alpha, sd_.adP);
    }
    std::string poisson[2];
    if (Ticked(30)) {
        long double x = 0, p = 0;
        sd_.DispersionIndexTest(x, p);
        poisson[0] = Usable(x) ? V3(x) : V3(NotAvailable);
        poisson[1] = PCell(alpha, p);
    }

    for (int item : rq_.custom) {
        switch (item) {
            case 0: c.push_back(N(n)); break;
            case 1: c.push_back(V(sd_.sum)); break;
            case 2: c.push_back(V(mean)); break;
            case 3:
                c.push_back(two ? V(ci.m1) : "");
                c.push_back(two ? V(ci.m2) : "");
                break;
            case 4: c.push_back(Sd(sdev, n)); break;
            case 5:
                c.push_back(two ? V(ci.s1) : "");
                c.push_back(two ? V(ci.s2) : "");
                break;
            case 6: c.push_back(Sd(var, n)); break;
            case 7:
                c.push_back(two ? V(ci.s1 * ci.s1) : "");
                c.push_back(two ? V(ci.s2 * ci.s2) : "");
                break;
            case 8: c.push_back(Sd(sigmaMR, n)); break;
            case 9: c.push_back(Sd(sigmaMMR, n)); break;
            case 10: c.push_back(V(q3 - q1)); break;
            case 11: c.push_back(V((q3 - q1) / 1.3489795L)); break;
            case 12: c.push_back(V((q3 - q1) / 2)); break;
            case 13: c.push_back(V(mdAvg)); break;
            case 14: c.push_back(V(mdMed)); break;
            case 15: c.push_back(two && mean > 0 ? V(100 * sdev / mean) : ""); break;
            case 16: c.push_back(V(minimum)); break;
            case 17: c.push_back(V(q1)); break;
            case 18: c.push_back(V(median)); break;
            case 19: c.push_back(V(tiedMedian)); break;
            case 20: c.push_back(V(q3)); break;
            case 21: c.push_back(V(maximum)); break;
            case 22: c.push_back(V(range)); break;
            case 23: c.push_back(adCells[0]); c.push_back(adCells[1]); break;
            case 24: c.push_back(swCells[0]); c.push_back(swCells[1]); break;
            case 25: c.push_back(lmCells[0]); c.push_back(lmCells[1]); break;
            case 26: c.push_back(skCells[0]); c.push_back(skCells[1]); break;
            case 27: c.push_back(kuCells[0]); c.push_back(kuCells[1]); break;
            case 28: {
                const long double nn = n;
                const long double W = expOk ? nn * (mean - minimum) * (mean - minimum) /
                                                  (var * (nn - 1) * (nn - 1))
                                            : 0;
                c.push_back(Num(s_, 4, W));
                break;
            }
            case 29: {
                c.push_back(Num(s_, 4, T));
                const long double p =
                    expOk ? SimulatedExponentialP(s_, st_, n, T, ri.CurrentTitle) : NotAvailable;
                c.push_back(PCell(alpha, p));
                break;
            }
            case 30: c.push_back(poisson[0]); c.push_back(poisson[1]); break;
            case 31: case 32: case 33: case 34: case 35: case 36: case 37: case 38: {
                static constexpr int k[] = {-4, -3, -2, -1, 1, 2, 3, 4};
                c.push_back(two ? V(mean + k[item - 31] * sdev) : "");
                break;
            }
            case 39: c.push_back(Sd(4 * sdev, n)); break;
            case 40: c.push_back(Sd(6 * sdev, n)); break;
            case 41: c.push_back(Sd(8 * sdev, n)); break;
            case 42: c.push_back(two ? N(below3) : ""); break;
            case 43: c.push_back(two ? N(above3) : ""); break;
            case 44: c.push_back(haveL ? V(LSL) : ""); break;
            case 45: c.push_back(haveT ? V(Target) : ""); break;
            case 46: c.push_back(haveU ? V(USL) : ""); break;
            case 47: c.push_back(haveL ? N(below) : ""); break;
            case 48: c.push_back(haveU ? N(above) : ""); break;
            case 49: c.push_back(haveL || haveU ? N(below + above) : ""); break;
            case 50: c.push_back(haveL && n > 0 ? V(100.0L * below / n) : ""); break;
            case 51: c.push_back(haveU && n > 0 ? V(100.0L * above / n) : ""); break;
            case 52: c.push_back((haveL || haveU) && n > 0 ? V(100.0L * (below + above) / n) : ""); break;
            case 53: case 54: case 55: {
                const bool spread = two && sdev > 0;
                const long double lo = haveL && spread ? 100 * NormalTail(1, (mean - LSL) / sdev) : 0;
                const long double hi = haveU && spread ? 100 * NormalTail(1, (USL - mean) / sdev) : 0;
                if (item == 53) c.push_back(haveL && spread ? V(lo) : "");
                if (item == 54) c.push_back(haveU && spread ? V(hi) : "");
                if (item == 55) c.push_back((haveL || haveU) && spread ? V(lo + hi) : "");
                break;
            }
            case 56: case 59: c.push_back(cp); break;
            case 57: case 60: c.push_back(cpk); break;
            case 58: case 61: c.push_back(cpm); break;
            case 62: {
                // A zero tolerance (USL = LSL) leaves nothing to divide by.
                const bool ok = haveL && haveT && haveU && USL != LSL;
                c.push_back(ok ? Num(s_, 1, 100 * std::fabs(mean - Target) / (USL - LSL)) + "%" : "");
                if (ok && c.back() == "%") c.back().clear();
                break;
            }
            default:
                if (item >= 63 && item < CustomStatCount) c.push_back(pct[item - 63]);
                break;
        }
    }
}

// Pooled variance over the runs with at least two values (all rows when there
// is only one set).
void ComputePooled(Session& s, ExploreState& st) {
    TRunInfo& ri = st.runInfo;
    SampleData& sd = SessionSample(s);
    ExplorePooled p;
    long double ss = 0;
    unsigned long long df = 0;
    SetupIndex(ri);
    while (GetAR(s, ri)) {
        sd.MeanStdDev();
        if (sd.n() < 2) continue;
        df += static_cast<unsigned>(sd.n() - 1);
        ss += (sd.n() - 1) * sd.variance;
    }
    SetupIndex(ri);
    p.dfTotal = static_cast<unsigned>(df);
    if (df > 0) {
        const long double V = ss / df;
        const long double alpha = s.confI.alpha, conf = s.confI.conf;
        p.Ps1 = std::sqrt(df * V / InvChiSq(s, 2, df, alpha));
        p.Ps2 = std::sqrt(df * V / InvChiSq(s, 2, df, conf));
        p.pooledStd = std::sqrt(V);
        p.mdiff = InvT(s, 2, df, alpha) * p.pooledStd;
    }
    st.pooled = p;
}

}  // namespace

// ---- grid ---------------------------------------------------------------------

bool ExploreGrid::RedHeader(int col) const { return Cell(col, 0) == "p-value"; }

CellShade ExploreGrid::Shade(int col, int row) const {
    if (row < 1 || !RedHeader(col)) return CellShade::Plain;
    const std::string& t = Cell(col, row);
    if (t == "999.000 ") return CellShade::NotAvailable;
    if (!t.empty() && t.back() == '*') return CellShade::Significant;
    return CellShade::Plain;
}

// ---- selection ------------------------------------------------------------------

bool BuildExploreSelection(Session& s, const ExploreRequest& rq, TRunInfo& ri) {
    EnsureDataCurrent(s);
    s.StatErrorCode = 0;
    const int maxCol = MaxCol(s);
    auto nothing = [&] {
        Beep(s);
        s.StatErrorCode = 1;
        return false;
    };
    auto outside = [&](int c) { return c < 1 || c > maxCol; };
    ri.InitRunInfo();
    s.DataList.IncludeCol.fill(false);
    switch (rq.mode) {
        case ExploreMode::SingleColumn:
            if (maxCol < 1) return nothing();
            ri.ColRefRun = SelectionMode::Columns;
            s.DataList.IncludeCol[1] = true;
            ri.Afirst = ri.Alast = 1;
            ri.MeasureName = "Value";
            break;
        case ExploreMode::Columns: {
            if (rq.columns.empty()) return nothing();
            std::vector<int> cols = rq.columns;
            std::sort(cols.begin(), cols.end());
            cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
            for (int c : cols)
                if (outside(c)) {
                    ErrorMessage(s, "Column " + std::to_string(c) + " is not in the worksheet.");
                    s.StatErrorCode = 1;
                    return false;
                }
            // A text column's level numbers are codes, not measurements.
            std::erase_if(cols, [&s](int c) { return s.DataList.StringVar[static_cast<std::size_t>(c)]; });
            if (cols.empty()) return nothing();
            for (int c : cols) s.DataList.IncludeCol[c] = true;
            ri.ColRefRun = SelectionMode::Columns;
            ri.Afirst = cols.front();
            ri.Alast = cols.back();
            ri.MeasureName = "Value";
            break;
        }
        case ExploreMode::Reference: {
            if (rq.references.empty() || rq.measure == 0) return nothing();
            for (int c : rq.references)
                if (outside(c)) {
                    ErrorMessage(s, "Column " + std::to_string(c) + " is not in the worksheet.");
                    s.StatErrorCode = 1;
                    return false;
                }
            if (outside(rq.measure)) {
                ErrorMessage(s, "Column " + std::to_string(rq.measure) + " is not in the worksheet.");
                s.StatErrorCode = 1;
                return false;
            }
            const int k = std::min<int>(static_cast<int>(rq.references.size()), MaxColumns);
            ri.RefArray[0] = static_cast<std::uint16_t>(k);
            for (int i = 1; i <= k; ++i) ri.RefArray[i] = static_cast<std::uint16_t>(rq.references[i - 1]);
            if (k == 1) {
                ri.ColRefRun = SelectionMode::SingleGroupRuns;
                ri.index = rq.references[0];
                ri.GroupName = ColumnTitleOrName(s, ri.index);
            } else {
                ri.ColRefRun = SelectionMode::Runs;
                for (int i = 0; i < k; ++i) {
                    if (i > 0) ri.GroupName += ", ";
                    ri.GroupName += ColumnTitleOrName(s, rq.references[i]);
                }
            }
            ri.measure = rq.measure;
            ri.MeasureName = ColumnTitleOrName(s, rq.measure);
            if (!SetRunData(s, ri)) return false;
            break;
        }
    }
    // One column is one set at most: no all-data row, and no need to load the
    // column once more just to count.
    const bool oneItem = rq.mode == ExploreMode::SingleColumn ||
                         (rq.mode == ExploreMode::Columns && ri.Afirst == ri.Alast);
    if (oneItem) {
        ri.NumberOfGroups = 1;
        SetupIndex(ri);
    } else {
        GetGroupCount(s, ri);
    }
    return true;
}

bool ApplyExploreSettings(Session& s, const ExploreRequest& rq) {
    s.StatErrorCode = 0;
    int pos = 0;
    const long double pct = ConvertExtended(rq.confText, pos);
    if (pos != 0 || !(pct > 0 && pct < 100)) {
        ErrorMessage(s, "Confidence level must be a number between 0 and 100.");
        s.StatErrorCode = 1;
        return false;
    }
    s.confI.SetConf(pct / 100);
    if (rq.decimals < 0 || rq.decimals > 9) {
        ErrorMessage(s, "Decimals must be between 0 and 9.");
        s.StatErrorCode = 1;
        return false;
    }
    for (int item : rq.custom)
        if (item < 0 || item >= CustomStatCount) {
            ErrorMessage(s, "Unknown custom statistic " + std::to_string(item) + ".");
            s.StatErrorCode = 1;
            return false;
        }
    return true;
}

std::string ExploreAnalysisText(Session& s, const ExploreRequest& rq) {
    switch (rq.mode) {
        case ExploreMode::SingleColumn: return ColumnName(s, 1);
        case ExploreMode::Columns:
            if (rq.columns.size() == 1) return ColumnName(s, rq.columns[0]);
            return rq.columns.empty() ? std::string() : "Variable List";
        case ExploreMode::Reference: {
            if (rq.measure == 0 || rq.references.empty()) return {};
            std::string groups;
            for (size_t i = 0; i < rq.references.size(); ++i)
                groups += (i ? ", " : "") + ColumnTitleOrName(s, rq.references[i]);
            return ColumnTitleOrName(s, rq.measure) + " (" + groups + ")";
        }
    }
    return {};
}

std::string ExploreFileModText(const Session& s) {
    std::vector<std::string> parts;
    if (s.Missing.Active) {
        std::string t = "Missing: " + s.MissingText1;
        if (!s.MissingText2.empty()) t += ", " + s.MissingText2;
        parts.push_back(t);
    }
    if (s.Transform.no != TransformKind::None) parts.push_back("Transform: " + TransformText(s.Transform));
    if (s.ProcessIf.Active) {
        std::string t = "Process If: " + s.ProcessIfText1;
        if (!s.ProcessIfText2.empty())
            t += (s.ProcessIf.AndOr == 0 ? " and " : " or ") + s.ProcessIfText2;
        parts.push_back(t);
    }
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) text += (i ? "   " : "") + parts[i];
    return text;
}

std::string ExplorePageTitle(const ExploreRequest& rq, ExplorePage page) {
    switch (page) {
        case ExplorePage::Descriptives: return "Descriptives";
        case ExplorePage::Quartiles: return "Quartiles";
        case ExplorePage::Normality: return "Normality Tests";
        case ExplorePage::ConfInt: return rq.confText + "%" + " Confidence Intervals";
        case ExplorePage::NatTol: return "Natural Tolerance (Assuming Normality)";
        case ExplorePage::Custom: return "Custom";
    }
    return {};
}

namespace {

std::string Upper(std::string t) {
    for (char& c : t)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return t;
}

// Whether the "(All)" row pools columns whose specification limits are not
// all the same (the selection modes that pool the included columns).
bool PooledColumnsDifferInSpecs(Session& s, const TRunInfo& ri) {
    switch (ri.ColRefRun) {
        case 1: case 5: case 6: case 7: case 11: case 12: break;
        default: return false;
    }
    const TDataList& dl = s.DataList;
    bool first = true;
    long double lsl = 0, target = 0, usl = 0;
    for (int c = 1; c <= dl.MaxCol(); ++c) {
        if (!dl.IncludeCol[c]) continue;
        const long double l = ColumnLSL(s, c), t = ColumnTarget(s, c), u = ColumnUSL(s, c);
        if (first) {
            lsl = l;
            target = t;
            usl = u;
            first = false;
        } else if (l != lsl || t != target || u != usl) {
            return true;
        }
    }
    return false;
}

ExploreGrid ComputeOnce(Session& s, ExploreState& st, const ExploreRequest& rq, ExplorePage page) {
    ExploreGrid g;
    TRunInfo& ri = st.runInfo;
    st.expTestAborted = false;
    if (!BuildExploreSelection(s, rq, ri)) return g;
    const std::string title = ExplorePageTitle(rq, page);
    g.caption = title + TransformSuffix(s);
    static const char* kPrint[] = {"DESCRIPTIVES", "QUARTILES", "NORMALITY TESTS", "",
                                   "NATURAL TOLERANCE", "CUSTOM"};
    static const char* kReport[] = {"DESCRIPTIVES", "QUARTILES", "NORMALITY TESTS", "",
                                    "NATURAL TOLERANCE (Assuming Normality)", "CUSTOM STATISTICS"};
    const int pi = static_cast<int>(page);
    g.printTitle = page == ExplorePage::ConfInt ? g.caption : kPrint[pi];
    g.reportTitle = page == ExplorePage::ConfInt ? Upper(g.caption) : kReport[pi];
    g.header.push_back(FirstHeader(ri));
    for (auto& h : PageColumns(rq, page)) g.header.push_back(h);

    if ((page == ExplorePage::ConfInt && rq.pool) || (page == ExplorePage::NatTol && rq.poolNT))
        ComputePooled(s, st);

    PageBuilder b(s, st, rq, page);
    if (ri.NumberOfGroups > 1) {
        LoadAllToA_Array(s, ri);
        b.SetMixedSpecLimits(PooledColumnsDifferInSpecs(s, ri));
        g.rows.push_back(b.Row());
        b.SetMixedSpecLimits(false);
    }
    SetupIndex(ri);
    while (GetAR(s, ri)) {
        g.rows.push_back(b.Row());
    }
    if (b.ShapiroWilkTooLarge())
        g.notes.push_back("Shapiro-Wilk test not available for n > 5,000.");
    return g;
}

}  // namespace

ExploreGrid ComputeExplorePage(Session& s, ExploreState& st, const ExploreRequest& rq,
                               ExplorePage page) {
    if (!ApplyExploreSettings(s, rq)) return {};
    ExploreGrid g = ComputeOnce(s, st, rq, page);
    // A transform that fails while loading turns itself off; the page is then
    // computed again on the untransformed data.
    if (s.Transform.Error) {
        s.Transform.Error = false;
        s.StatErrorCode = 0;
        g = ComputeOnce(s, st, rq, page);
    }
    return g;
}

}  // namespace amx
