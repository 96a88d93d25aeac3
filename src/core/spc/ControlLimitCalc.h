#pragma once
// The Control Limit Calculations window without its widgets: what the user
// typed, the checks run when "&Action" is pressed, and the report the window
// shows. The window only reads its controls into a request and shows the
// result.
#include <string>
#include <vector>

#include "report/ReportDocument.h"
#include "spc/ControlLimits.h"

namespace amx {

struct ControlLimitRequest {
    // The tab: chart code 1 ("X-Bar") to 10 ("u").
    int chartType = ChartMean;
    // The radio item, 1-based (item index + 1).
    int method = 1;
    // Field texts as typed; numbers may carry thousands commas.
    std::string centreText = "0";     // "&X:" (tabs 1 to 3)
    std::string statisticText = "0";  // "&Statistic:", "&p:", "&np:", "&c:", "&u:"
    std::string nText = "0";          // "&n:" (not on tab 9)
    std::string stdErrText = "3";     // "Std &Err:"
    // "&Decimals:" spin field, 0 to 9; empty means 4.
    std::string decimalsText = "4";
    // The window's font scale (starts at 1).
    double fontScale = 1.0;
};

// The field that takes the focus after a failed check.
enum class ControlLimitField { None, Centre, Statistic, N, StdErr };

struct ControlLimitResult {
    // A check failed: the error message (shown in an error box) and the
    // field to focus; nothing was computed and the pane is left alone.
    std::string error;
    ControlLimitField focus = ControlLimitField::None;

    // The calculation reported a problem (a positive status): beep.
    bool beep = false;

    int status = 0;
    long double CL = 0, UCL = 0, LCL = 0, sigma = 0;
    MissingLimits missing;

    bool Failed() const { return !error.empty(); }
};

// Captions of a tab's fields: "&Statistic:" (tabs 1 to 6) or "&p:", "&np:",
// "&c:", "&u:" (drawn with a bar above the letter); the radio group's
// "Statistic Used" or "Method".
std::string StatisticCaption(int chartType);
std::string MethodGroupCaption(int chartType);
// The centre field exists on tabs 1 to 3; the n field on all but tab 9.
bool CalculatorHasCentre(int chartType);
bool CalculatorHasN(int chartType);

// The caption of the n field on the individuals tab for a method:
// "&n (range):" for the moving-range methods, "&k (values):" otherwise; the
// field is hidden with "Known Std Dev".
std::string IndividualsNCaption(int method);
bool IndividualsNVisible(int method);

// Presses "&Action": the checks in order; when they pass, the tab's pane is
// cleared, ControlLimits runs and its report is written into the pane. A
// failed check shows its error and leaves the pane as it was.
ControlLimitResult CalculateControlLimits(SpcContext ctx, const ControlLimitRequest& request,
                                          ReportDocument& pane);

}  // namespace amx
