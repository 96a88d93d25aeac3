#include "spc/ControlLimitCalc.h"

#include <cmath>

#include "common/NumberText.h"
#include "common/TextUtils.h"
#include "report/OutputWriter.h"

namespace amx {

namespace {

constexpr int DefaultDecimals = 4;
constexpr double HeadingPoints = 10.0;
constexpr double BodyPoints = 8.0;

int Scaled(double points, double scale) {
    int size = static_cast<int>(points * (scale > 0 ? scale : 1.0) + 0.5);
    return size < 1 ? 1 : size;
}

bool UsesCentre(int chartType) { return chartType >= ChartMean && chartType <= ChartIndividuals; }
bool IsAttributeChart(int chartType) { return chartType >= ChartProportion; }

int ReadDecimals(CommonState& cs, const std::string& text) {
    std::string trimmed = TrimSpaces(text);
    if (trimmed.empty()) return DefaultDecimals;
    int d = TextToInteger(cs, trimmed);
    if (cs.StatErrorCode != 0) return DefaultDecimals;
    return d < 0 ? 0 : d > 9 ? 9 : d;
}

// The number in a field, or nothing when the text is not a number.
bool ReadNumber(CommonState& cs, const std::string& text, long double& value) {
    value = TextToExtended(cs, text);
    return cs.StatErrorCode == 0;
}

std::string StatusLine(int status, int chartType) {
    switch (status) {
        // On the attribute tabs the only way out of range is the proportion.
        case LimitsOutOfRange:
            if (chartType == ChartProportion) return "p must be less than 1";
            if (chartType == ChartNumberNonconforming) return "np must be less than n";
            return "Sample size outside table range";
        case LimitsZeroSampleSize: return "Zero sample size";
        case LimitsSampleSizeOne: return "Sample size must be larger than 1";
        // The statistic was checked before the calculation: a zero status
        // here means the number of standard errors is not a positive number.
        case LimitsZeroStatistic: return "Std Err must be greater than 0";
        default: return " Error";
    }
}

}  // namespace

std::string StatisticCaption(int chartType) {
    switch (chartType) {
        case ChartProportion: return "&p:";
        case ChartNumberNonconforming: return "&np:";
        case ChartDefects: return "&c:";
        case ChartDefectsPerUnit: return "&u:";
        default: return "&Statistic:";
    }
}

std::string MethodGroupCaption(int chartType) {
    return IsAttributeChart(chartType) ? "Method" : "Statistic Used";
}

bool CalculatorHasCentre(int chartType) { return UsesCentre(chartType); }
bool CalculatorHasN(int chartType) { return chartType != ChartDefects; }

std::string IndividualsNCaption(int method) {
    return method == 3 || method == IndividualsKnownStdDev ? "&k (values):" : "&n (range):";
}

bool IndividualsNVisible(int method) { return method != IndividualsKnownStdDev; }

ControlLimitResult CalculateControlLimits(SpcContext ctx, const ControlLimitRequest& request,
                                          ReportDocument& pane) {
    CommonState& cs = ctx.common;
    ControlLimitResult result;
    const int chart = request.chartType;
    auto fail = [&](std::string message, ControlLimitField field) {
        result.error = std::move(message);
        result.focus = field;
        cs.messages->Error(result.error);
        return result;
    };

    const int decimals = ReadDecimals(cs, request.decimalsText);
    long double k = 0, centre = 0, statistic = 0, n = 0;
    ReadNumber(cs, request.stdErrText, k);  // not a number: k = 0, reported as "Statistic = 0"
    const bool centreIsNumber = !UsesCentre(chart) || ReadNumber(cs, request.centreText, centre);
    if (!ReadNumber(cs, request.statisticText, statistic) || !(statistic > 0.0L))
        return fail("Statistic must be greater than 0!", ControlLimitField::Statistic);

    const bool nHidden = chart == ChartIndividuals && !IndividualsNVisible(request.method);
    if (chart == ChartDefects) {
        n = 1;
    } else {
        bool nIsNumber = ReadNumber(cs, request.nText, n);
        if (!nHidden && (!nIsNumber || !(n > 0.0L)))
            return fail("n must be greater than 0!", ControlLimitField::N);
        if (!nIsNumber) n = 0;
        // Subgroup sizes, spans and counts of values are whole numbers; only
        // the units per sample of the u chart may be fractional. A rounded n
        // would be computed with and another one printed.
        if (!nHidden && chart != ChartDefectsPerUnit && n != std::nearbyint(n))
            return fail("n must be a whole number!", ControlLimitField::N);
    }
    // A centre that is not a number would silently become 0 and put the
    // limits about the wrong centre.
    if (!centreIsNumber) return fail("X must be a number!", ControlLimitField::Centre);

    OutputWriter out;
    out.SetOutputPane(&pane);
    out.ClearPane();
    auto heading = [&](const std::string& text) {
        out.HeadingFont(Scaled(HeadingPoints, request.fontScale));
        out.WriteLine(text);
        out.BodyFont(Scaled(BodyPoints, request.fontScale));
    };
    auto body = [&](const std::string& text) { out.WriteLine(text); };

    result.CL = centre;
    result.status = ControlLimits(ctx, chart, request.method, result.CL, statistic, k, n, result.UCL,
                                  result.LCL, result.sigma, &result.missing);

    const std::string methodName = MethodName(chart, request.method);
    heading("Control Limit Calculations:  " + ChartCaption(chart) + " Chart");
    if (IsAttributeChart(chart)) body("Method used: " + methodName);
    else body("Statistic used: " + methodName + " = " + request.statisticText);
    body("Standard Errors = " + request.stdErrText);
    body("");
    if (result.status > 0) {
        result.beep = true;
        cs.messages->Beep();
        body(StatusLine(result.status, chart));
        cs.StatErrorCode = result.status;
        return result;
    }
    auto number = [&](long double x) { return FormatNumber(cs, decimals, x); };
    const std::string ucl = result.missing.upper ? PadLeft("none", 15) : PadRight(number(result.UCL), 15);
    body("       UCL = " + ucl + (IsAttributeChart(chart) ? "   SE" : "sigma") + " = " + number(result.sigma));
    body("Centerline = " + PadRight(number(result.CL), 19) + "n = " +
         FormatNumber(cs, chart == ChartDefectsPerUnit ? decimals : 0, n));
    body("       LCL = " + (result.missing.lower ? std::string("none") : number(result.LCL)));
    cs.StatErrorCode = result.status;
    return result;
}

}  // namespace amx
