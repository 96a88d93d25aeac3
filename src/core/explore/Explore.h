#pragma once
// The Explore analysis: a first look at worksheet columns, or at one measure
// split by reference columns. Each result page is a grid with one row per
// analysed set (and a first row on all data when there are several sets):
// descriptives, quartiles, normality tests, confidence intervals, natural
// tolerances and a user-assembled page of custom statistics. The window and
// the command-line tool fill an ExploreRequest, and everything from the
// selection to the cell texts, their shading and the printed report is built
// here.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "report/ReportDocument.h"
#include "report/ResultTable.h"
#include "worksheet/DataList.h"

namespace amx {

struct Session;

enum class ExploreMode { SingleColumn, Columns, Reference };

// The result pages, in the order of the window's tabs and of the report.
enum class ExplorePage { Descriptives = 0, Quartiles, Normality, ConfInt, NatTol, Custom };
inline constexpr int ExplorePageCount = 6;

// ---- custom statistics --------------------------------------------------------

inline constexpr int CustomStatCount = 82;

struct CustomStatInfo {
    const char* name;         // the column heading
    const char* description;  // "" when the item has none
    int group;                // items drawn on one background colour
};
// Items 0..81 in list order.
const CustomStatInfo& CustomStat(int item);
// The list item text: the name, or name + "@" + description.
std::string CustomStatItemText(int item);
// The item whose name (any letter case) or number is given; -1 when none.
int FindCustomStat(const std::string& nameOrNumber);

// ---- request --------------------------------------------------------------------

struct ExploreRequest {
    ExploreMode mode = ExploreMode::Columns;
    std::vector<int> columns;     // analysis variables (column analysis)
    int measure = 0;              // dependent variable (reference analysis)
    std::vector<int> references;  // independent variables, in list order
    std::string confText = "95";  // "Conf:" in percent
    int decimals = 2;             // 0..9
    bool pool = false;            // "Use Pooled Variance" on the Conf. Int. page
    bool poolNT = false;          // the same on the Nat. Tol. page
    std::vector<int> custom;      // ticked custom statistics, in list order
    std::string title;            // report title
    // Report sections: Descriptives, Quartiles, Normality Tests, Confidence
    // Intervals, Natural Tolerance, Custom.
    std::array<bool, ExplorePageCount> outputSections{true, true, true, true, true, true};
};

// ---- results --------------------------------------------------------------------

enum class CellShade : std::uint8_t { Plain, Significant, NotAvailable };

// A result page of the window: the shared result table plus what the window
// and the printed report add.
struct ExploreGrid : ResultTable {
    std::string printTitle;  // title of the printed grid
    std::string reportTitle; // heading of the section in the printed report
    // Lines the printed report adds below the grid (why a cell is empty or
    // not available).
    std::vector<std::string> notes;

    // Yellow for a significant p-value cell ("*" at the end), grey for one not
    // available ("999.000 "); both only in columns headed "p-value".
    CellShade Shade(int col, int row) const;
    bool RedHeader(int col) const;
};

// Pooled standard deviation over the runs with n >= 2 and its interval.
struct ExplorePooled {
    unsigned dfTotal = 0;
    long double pooledStd = 0, Ps1 = 0, Ps2 = 0, mdiff = 0;
};

// Results of the simulated exponential test kept for the session: the same
// sample size and statistic give the same p-value without drawing again.
struct ExpTestCacheEntry {
    int n;
    long double T;
    long double p;
};

// Progress of the simulated exponential test. Begin/End bracket a run; Step is
// called every 100 draws with the draws so far and returns false to abort.
class ExpTestMonitor {
public:
    virtual ~ExpTestMonitor() = default;
    virtual void Begin(const std::string& rowTitle) = 0;
    virtual bool Step(int draws) = 0;
    virtual void End() = 0;
};

struct ExploreState {
    std::vector<ExpTestCacheEntry> expTestCache;
    ExplorePooled pooled;
    TRunInfo runInfo;
    ExpTestMonitor* monitor = nullptr;  // none: the simulation runs silently
    // Set when the user aborts the simulation: the other rows of the same page
    // show 999 without drawing again.
    bool expTestAborted = false;
};

// ---- computation ------------------------------------------------------------------

// Fills the run description for the request. With nothing to analyse it beeps,
// sets StatErrorCode to 1 and returns false; columns outside the worksheet give
// an error message.
bool BuildExploreSelection(Session& s, const ExploreRequest& rq, TRunInfo& ri);

// Reads the confidence level into the shared TConfI and checks the decimals;
// shows the error and returns false when either is unusable.
bool ApplyExploreSettings(Session& s, const ExploreRequest& rq);

// Status-bar texts: the analysis (column name, "Variable List" or measure with
// the reference titles) and the active file modifications.
std::string ExploreAnalysisText(Session& s, const ExploreRequest& rq);
std::string ExploreFileModText(const Session& s);

// The page caption without a transform suffix, e.g. "95% Confidence Intervals".
std::string ExplorePageTitle(const ExploreRequest& rq, ExplorePage page);

// Builds the selection, loads every set and computes one page. An empty grid
// with StatErrorCode set when the selection or settings are unusable.
ExploreGrid ComputeExplorePage(Session& s, ExploreState& st, const ExploreRequest& rq,
                               ExplorePage page);

// The simulated two-tailed p-value of T = (mean - min)²/s² for an exponential
// sample of n (a million samples drawn from the session's generator). 999 when
// aborted; earlier results are reused.
long double SimulatedExponentialP(Session& s, ExploreState& st, int n, long double T,
                                  const std::string& rowTitle);
inline constexpr int ExpTestDraws = 1000000;

// ---- output ----------------------------------------------------------------------

// The grid as text, cells joined by tabs, lines ended by CR LF (saving, copying).
inline std::string ExploreGridText(const ExploreGrid& g) { return ResultTableText(g); }
// The grid as aligned lines for a fixed-pitch font: row titles left-aligned,
// values right-aligned, two blanks between columns.
inline std::vector<std::string> ExploreGridLines(const ExploreGrid& g) { return ResultTableLines(g); }

// The Output page report: title, file, reference line, file modifications,
// then each ticked section recomputed under its heading. Replaces the pane.
void WriteExploreReport(Session& s, ExploreState& st, const ExploreRequest& rq,
                        ReportDocument& pane);

}  // namespace amx
