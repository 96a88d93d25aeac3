#pragma once
// The control-chart arithmetic's process-wide values, as kept by each Session:
// the specification limits that capability indices are computed against, and
// the integrated range constants for sizes beyond the tables.
#include <concepts>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/CommonState.h"
#include "common/Sentinels.h"
#include "spc/ControlTestSettings.h"

namespace amx {

// LSL, target and USL of the column being reported, with what is known about
// them. A value equal to MissingValue is "not given".
struct SpecLimitsStore {
    double LSL = MissingValue;
    double Target = MissingValue;
    double USL = MissingValue;
    bool HaveLSL = false;
    bool HaveTarget = false;
    bool HaveUSL = false;
    bool HaveAnySpec = false;     // at least one of the three
    bool HaveUSLorLSL = false;    // at least one limit
    bool TwoSided = false;        // both limits
    double Tolerance = 0.0;       // USL - LSL, set only when two-sided
    // At least one pair of given values in order (USL > LSL, Target > LSL or
    // USL > Target); read by the chart point report.
    bool SpecsInOrder = false;
    // FormatGeneral of each given value, empty when not given.
    std::string LSLText, TargetText, USLText;
    // The spread Cp-type indices divide by: 6 sigma in the normal model, the
    // distance between the natural tolerance points of a fitted distribution
    // in the distribution model.
    double ProcessSpread = 0.0;
    // Distribution function of the fitted distribution, set with the spread
    // by the distribution fitting; empty until a fit exists.
    std::function<double(double)> FittedCDF;
};

// Range constants integrated for sizes the tables do not reach. Every size
// asked for is kept, so charts with several subgroup sizes pay each integral
// once.
struct RangeConstantsCache {
    std::map<long long, double> d2;
    std::map<long long, long double> d3;
    // Upper standard normal tail at 0.00, 0.01, ..., 6.01 (further for very
    // large sizes) for the d3 double integral; empty until first needed.
    std::vector<long double> normalTable;
};

struct SpcState {
    SpecLimitsStore SpecLimits;
    RangeConstantsCache RangeConstants;
    // The tests for statistical control as the user set them for this run.
    ControlTestSettings ControlTests;
};

// What the control-chart routines need from a session: the status code and
// the state above. Any object holding both (a Session) converts to it.
struct SpcContext {
    CommonState& common;
    SpcState& spc;

    SpcContext(CommonState& c, SpcState& s) : common(c), spc(s) {}
    template <class S>
        requires(std::derived_from<S, CommonState> && std::derived_from<S, SpcState>)
    SpcContext(S& session) : common(session), spc(session) {}
};

}  // namespace amx
