#pragma once
// Centerline and control limits of every chart type, from a centre, a
// dispersion or attribute statistic, a subgroup size and a number of standard
// errors, with exact binomial and Poisson probability limits for the
// attribute charts.
#include <string>

#include "spc/SpcState.h"

namespace amx {

// Chart codes, the first input of ControlLimits.
enum ChartCode : int {
    ChartMean = 1,
    ChartMedian = 2,
    ChartIndividuals = 3,
    ChartRange = 4,
    ChartStdDev = 5,
    ChartVariance = 6,
    ChartProportion = 7,
    ChartNumberNonconforming = 8,
    ChartDefects = 9,
    ChartDefectsPerUnit = 10,
};
inline constexpr int FirstChartCode = ChartMean;
inline constexpr int LastChartCode = ChartDefectsPerUnit;

// Outcomes of ControlLimits (also left in StatErrorCode).
inline constexpr int LimitsComputed = 0;
// The LCL came out at or below zero, or no count is rare enough below the
// centre: LCL = 0, shown as "none".
inline constexpr int LimitsNoLower = -1;
// No UCL: a proportion's UCL reached 1 (n on an np chart), or no count is
// rare enough above the centre. Shown as "none".
inline constexpr int LimitsNoUpper = -2;
// A sample size outside the constants' range, or p-bar >= 1, or an unknown
// chart code or method.
inline constexpr int LimitsOutOfRange = 1;
inline constexpr int LimitsZeroSampleSize = 5;
inline constexpr int LimitsSampleSizeOne = 6;
// The statistic or k is zero (or not a positive number).
inline constexpr int LimitsZeroStatistic = 10;

// Method codes (1-based): for charts 1 to 6 the statistic sigma is estimated
// from, for charts 7 to 10 the kind of limits.
inline constexpr int MethodApproximate = 1;
inline constexpr int MethodExact = 2;
inline constexpr int IndividualsKnownStdDev = 4;

// Number of methods of a chart code (0 for an unknown code).
int MethodCount(int chartType);
// The method's name as the calculator lists it ("Average Range", "Exact
// Poisson"...); empty for an unknown pair.
std::string MethodName(int chartType, int method);
// The chart's short caption: "X-Bar", "Median", "X", "R", "s", "s²", "p",
// "np", "c", "u"; empty for an unknown code.
std::string ChartCaption(int chartType);

// Which limits do not exist. The status keeps one code; these say both when
// both limits are missing.
struct MissingLimits {
    bool upper = false;
    bool lower = false;
};

// CL is in-out: for charts 1 to 3 the caller's centre (left unchanged), for
// the others computed. sigma is in-out: on return the sigma estimate (charts
// 1 to 6) or the standard error of the plotted statistic (7 to 10); the
// individuals chart with a method outside 1 to 4 uses the sigma passed in.
// n is the subgroup size (charts 1, 2, 4 to 8), moving-range span or number
// of values (3), units per sample (10, may be fractional); chart 9 ignores it.
// Returns the status, which also goes to StatErrorCode. When the statistic or
// k is zero, or n rounds to 0 or 1, nothing else is set.
int ControlLimits(SpcContext ctx, int chartType, int method, long double& CL, long double statistic,
                  long double k, long double n, long double& UCL, long double& LCL, long double& sigma,
                  MissingLimits* missing = nullptr);

}  // namespace amx
