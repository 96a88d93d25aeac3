#pragma once
// The variables chart setup window without its widgets: the chart type and
// method tables, the item lists and linked defaults, which controls are shown,
// the checks of "&Action", and how the worksheet rows are cut into chart
// selections and subgroups for every data layout.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Sentinels.h"
#include "worksheet/DataList.h"

namespace amx {

struct Session;

// ---- names -----------------------------------------------------------------

namespace ChartType {
inline constexpr int None = 0, X = 1, Mean = 2, Median = 3, MovingRange = 4, Range = 5, StdDev = 6,
                     Variance = 7, IndividualPoints = 8;
}
// "None", "X", "Mean", "Median", "Moving Range", "Range", "Std Dev (s)",
// "Variance (s²)", "Individual Points"; empty outside 0 .. 8.
std::string ChartTypeName(int type);

// Indices of the method and centerline table.
namespace Method {
inline constexpr int None = 0, CenterlineOnly = 1, UserDefined = 2, KnownStdDev = 3, AverageMR = 4,
                     MedianMR = 5, StdDev = 6, AverageRange = 7, MedianRange = 8, AverageStdDev = 9,
                     MedianStdDev = 10, AverageVariance = 11, AverageMRofMeans = 12,
                     AverageMRofMedians = 13, MedianMRofMeans = 14, MedianMRofMedians = 15,
                     StdDevOfMeans = 16, StdDevOfMedians = 17, DispAverageMR = 18, DispMedianMR = 19,
                     DispStdDev = 20;
inline constexpr int Count = 28;
}  // namespace Method
// Entry i of the table as it reads under the location chart type T and the
// dispersion chart type D (entries 18 to 20, 22, 23, 25, 26 are completed).
std::string MethodTableName(int index, int locType, int dispType);

// ---- the window's state ------------------------------------------------------

// What the controls hold. List choices are positions in the lists that
// VarSetupLists gives for this state.
struct VarSetupState {
    int columnCount = 0;           // worksheet columns
    std::vector<int> measures;     // listed measure columns, worksheet order
    int sampleColumn = 0;          // the sample variable, 0 for none
    bool constantSize = false;     // "Constant Sample Size"
    int sampleSize = 5;            // 2 .. 999
    int setsColumn = 0;
    std::vector<int> groupColumns; // "Chart Groups"
    bool layoutRows = false;       // "Subgroups in Rows"

    int locType = 0, dispType = 0;
    int locLimit = 0, locCenter = 0, dispLimit = 0, dispCenter = 0;
    // Mode the lists were last built for; -1 before they are built.
    int listsMode = -1;

    std::array<bool, 3> locUserBox{true, true, true};  // UCL, CL, LCL
    std::array<std::string, 3> locUserText;
    std::array<bool, 3> dispUserBox{true, true, true};
    std::array<std::string, 3> dispUserText;
    std::string muText, sigmaText;
    std::string mrCountText = "2";
    std::string stdErrText = "3";
    int axisLabelColumn = 0;  // 0 = "(Use Order Number)"
    bool positiveLimitsOnly = false;
};

struct VarSetupLists {
    std::vector<std::string> locType, dispType, locLimit, dispLimit, locCenter, dispCenter;
};

struct VarSetupVisibility {
    bool layoutBox = false, constantBox = false, sampleButton = false, sampleSpin = false, sampleCaption = false;
    bool setsControls = false, groupControls = false;
    bool locLimits = false, locCenter = false, positiveLimits = false, locUser = false;
    bool dispLimits = false, dispCenter = false, dispUser = false;
    bool mu = false, sigma = false, stdErr = false, mrCount = false;
    bool action = false;
    std::string measureCaption;  // "     Chart Variables" or "Subgroup Measures"
    std::string sampleCaptionText;  // "Sample Variable" or "  Sample Size"
};

// Only what is shown counts: the layout box while more than one measure is
// listed, the sample variable while its field is shown, the size while the
// box is shown and ticked.
bool RowsLayoutUsed(const VarSetupState& st);
int SampleColumnUsed(const VarSetupState& st);
bool ConstantSizeUsed(const VarSetupState& st);
// Individual values: no sample variable, no constant size, not by rows.
bool IndividualMode(const VarSetupState& st);

VarSetupLists ListsOf(const VarSetupState& st);
VarSetupVisibility VisibilityOf(const VarSetupState& st);
// The selected texts (empty when a position is outside its list).
std::string LocTypeText(const VarSetupState& st);
std::string DispTypeText(const VarSetupState& st);
std::string LocLimitText(const VarSetupState& st);
std::string DispLimitText(const VarSetupState& st);
std::string LocCenterText(const VarSetupState& st);
std::string DispCenterText(const VarSetupState& st);

// Change handlers: each applies the change, rebuilds the lists when the mode
// changed (all six back to their first item) and applies the linked defaults.
void SetMeasures(VarSetupState& st, std::vector<int> measures);
void SetSampleColumn(VarSetupState& st, int column);
void SetConstantSize(VarSetupState& st, bool on);
void SetLayoutRows(VarSetupState& st, bool rows);
void ChooseLocType(VarSetupState& st, int position);
void ChooseDispType(VarSetupState& st, int position);
void ChooseDispLimit(VarSetupState& st, int position);
void ChooseLocLimit(VarSetupState& st, int position);
// Rebuilds the lists if the mode changed (or they were never built).
void RefreshMode(VarSetupState& st);

// ---- "&Action" -----------------------------------------------------------------

struct TVarChartSettings {
    std::uint8_t LocChartType = 0, DispChartType = 0;
    std::uint8_t LocLimitMethod = 0, DispLimitMethod = 0;
    std::uint8_t LocCenterline = 0;   // 0, 1 average, 2 median, 3 known mean
    std::uint8_t DispCenterline = 0;  // 0, 4 average, 5 median, 6 known sigma
    double StdErrors = 3.0;
    std::string StdErrorsText = "3";
    int MRSpan = 2;
    int SubgroupSize = 0;
    bool SigmaKnown = false;
    double KnownSigma = 0.0;
    bool MeanKnown = false;
    double KnownMean = 0.0;
    double LocUserUCL = MissingValue, LocUserCL = MissingValue, LocUserLCL = MissingValue;
    double DispUserUCL = MissingValue, DispUserCL = MissingValue, DispUserLCL = MissingValue;
    bool PositiveLimitsOnly = false;
    int AxisLabelColumn = 0;
    std::uint8_t Layout = 0;
    int SampleColumn = 0;
    int SetsColumn = 0;
};

// Everything a successful "&Action" hands to the chart: the settings, the
// include flag of every column, the run descriptor and the measure columns.
struct VarChartSetup {
    TVarChartSettings settings;
    std::array<bool, ColumnSlots> include{};
    TRunInfo run;
    std::vector<int> measures;
};

// The layout code of the data choices (0: no valid combination).
int LayoutCode(const VarSetupState& st);
int LayoutFromCode(int code);

// The checks of "&Action" in order. On failure returns false with the message
// to show (empty when the run assignment has shown its own) and leaves `out`
// untouched; on success fills `out` in one assignment (and assigns the runs of
// the chart-group columns in the worksheet's numeric view).
bool ValidateVarChartSetup(Session& s, const VarSetupState& st, VarChartSetup& out, std::string& message);

// ---- selections and subgroups -------------------------------------------------

struct ChartSelection {
    int column = 0;  // measure column (the first one for the rows layouts)
    int run = 0;     // run number, 0 without chart groups
    std::string name;
};

// The points of one selection, flat: the values of point i (0-based) are
// values[offset[i] .. offset[i + 1]).
struct SubgroupList {
    std::vector<double> values;       // transformed
    std::vector<std::size_t> offset;  // size points + 1
    std::vector<std::int32_t> startRow;
    std::vector<double> set;          // rounded sets value, MissingValue when the cell is missing, 0 without sets
    std::vector<std::uint8_t> breakAfter;
    std::size_t size() const { return startRow.size(); }
    std::size_t count(std::size_t i) const { return offset[i + 1] - offset[i]; }
};

// Worksheet rows of a selection that pass Process If, in worksheet order.
std::vector<std::int32_t> SelectionRows(const Session& s, const VarChartSetup& setup, int run);
// Cuts the selection into points. With showBreaks a subgroup that yields no
// value marks the point before it as followed by a break.
SubgroupList FormSubgroups(Session& s, const VarChartSetup& setup, const ChartSelection& sel, bool showBreaks);
// Every (column, run) pair that yields at least one point, with its name.
std::vector<ChartSelection> BuildChartSelections(Session& s, const VarChartSetup& setup);

}  // namespace amx
