// ambrolux-cli limits: the Control Limit Calculations window without a
// desktop. One chart per run; the options are the window's fields.
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../ArgumentText.h"
#include "../CliCommand.h"
#include "../ResultOutput.h"
#include "common/Messages.h"
#include "report/ReportWriters.h"
#include "session/Session.h"
#include "spc/ControlLimitCalc.h"

namespace amx::cli {
namespace {

// Errors go to stderr as the program's own texts; beeps are dropped.
class LimitsMessages : public SilentMessages {
public:
    void Error(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    void Warning(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

bool AllDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A chart by its tab caption ("X-Bar", "s²" or "s2", ...) or its code 1-10.
int ParseChart(const std::string& text) {
    if (AllDigits(text) && text.size() <= 2) {
        int code = std::stoi(text);
        return code >= FirstChartCode && code <= LastChartCode ? code : 0;
    }
    std::string wanted = Lower(text);
    if (wanted == "s2" || wanted == "s^2") wanted = Lower(ChartCaption(ChartVariance));
    if (wanted == "xbar") wanted = "x-bar";
    for (int code = FirstChartCode; code <= LastChartCode; ++code)
        if (Lower(ChartCaption(code)) == wanted) return code;
    return 0;
}

// A method by its radio item ("Average Range", "Exact Poisson", ...) or its
// 1-based position.
int ParseMethod(int chart, const std::string& text) {
    if (AllDigits(text) && text.size() <= 2) {
        int m = std::stoi(text);
        return m >= 1 && m <= MethodCount(chart) ? m : 0;
    }
    for (int m = 1; m <= MethodCount(chart); ++m)
        if (Lower(MethodName(chart, m)) == Lower(text)) return m;
    return 0;
}

std::string MethodList(int chart) {
    std::string list;
    for (int m = 1; m <= MethodCount(chart); ++m)
        list += "    " + std::to_string(m) + "  " + MethodName(chart, m) + "\n";
    return list;
}

int Usage(const std::string& problem) { return UsageError("limits", problem); }

struct LimitsOptions {
    ControlLimitRequest request;
    std::string chartText, methodText, rtfPath;
    OutputOptions output;
};

int RunLimits(LimitsOptions o) {
    ControlLimitRequest& request = o.request;
    const std::string &chartText = o.chartText, &methodText = o.methodText, &rtfPath = o.rtfPath;
    request.chartType = ParseChart(chartText);
    if (request.chartType == 0) return Usage("Unknown chart: " + chartText);
    if (!methodText.empty()) {
        request.method = ParseMethod(request.chartType, methodText);
        if (request.method == 0)
            return Usage("Unknown method for the " + ChartCaption(request.chartType) + " chart: " + methodText +
                         "\nMethods:\n" + MethodList(request.chartType));
    }

    Session session;
    LimitsMessages messages;
    session.messages = &messages;
    ReportDocument pane;
    ControlLimitResult result = CalculateControlLimits(session, request, pane);
    if (result.Failed()) return 1;
    ResultOutput out("limits", o.output);
    out.Report(pane);
    if (const int code = out.Finish(); code != 0) return code;
    if (!rtfPath.empty() && !SaveReport(pane, rtfPath)) {
        std::fprintf(stderr, "Cannot write %s\n", rtfPath.c_str());
        return 1;
    }
    return result.status > 0 ? 1 : 0;
}

const CliCommandRegistration kLimits{"limits", "control limit calculations for one chart", [](CLI::App& app) {
    auto o = std::make_shared<LimitsOptions>();
    app.description(
        "Computes the centerline and control limits of one control chart from a dispersion or attribute\n"
        "statistic, as the Control Limit Calculations window does, and prints its report. No data file is\n"
        "read. Numbers may carry thousands commas (1,250.5).");
    const char* fields = "Options (the window's fields)";
    app.add_option("--chart", o->chartText, "X-Bar, Median, X, R, s, s2, p, np, c or u (or 1-10)")
        ->type_name("CHART")
        ->required()
        ->group(fields);
    app.add_option("--method", o->methodText,
                   "the statistic used or the kind of limits, by name or number (default: the first); by chart:\n"
                   "  X-Bar, Median: Average Range, Median Range, Average Std Dev, Median Std Dev, Average\n"
                   "    Variance, Avg MR of X-bars / Avg MR of Medians, Median MR of X-bars / Med MR of\n"
                   "    Medians, Std Dev of X-bars / Std Dev of Medians, Known Std Dev\n"
                   "  X: Average MR, Median MR, Std Dev (k values), Known Std Dev\n"
                   "  R, s, s2: Average Range, Median Range, Average Std Dev, Median Std Dev, Average\n"
                   "    Variance, Known Std Dev\n"
                   "  p, np: Approximate, Exact Binomial\n"
                   "  c, u: Approximate, Exact Poisson")
        ->type_name("METHOD")
        ->group(fields);
    app.add_option("--x", o->request.centreText, "the centre (X-Bar, Median and X charts; default 0)")
        ->type_name("NUMBER")
        ->group(fields);
    app.add_option("--statistic", o->request.statisticText,
                   "the statistic of the method, or p-bar, np-bar, c-bar, u-bar")
        ->type_name("NUMBER")
        ->required()
        ->group(fields);
    app.add_option("--n", o->request.nText,
                   "subgroup size; moving-range span or number of values (X chart); units per sample (u chart); "
                   "not used by the c chart or with Known Std Dev on the X chart")
        ->type_name("NUMBER")
        ->group(fields);
    app.add_option("--std-err", o->request.stdErrText, "standard errors from the centerline (default 3)")
        ->type_name("NUMBER")
        ->group(fields);
    app.add_option("--decimals", o->request.decimalsText, "decimals of the report, 0-9 (default 4)")
        ->type_name("N")
        ->group(fields);
    app.add_option("--rtf", o->rtfPath, "also save the report as rich text")->type_name("PATH")->group("Output");
    AddFormatOption(app, o->output);
    app.footer(
        "Exit status: 0 when the limits were computed; 1 when an input was refused (the message goes to\n"
        "stderr) or the calculation reported a problem (the report says which); 2 on bad usage.");
    return [o] { return RunLimits(*o); };
}};


}  // namespace
}  // namespace amx::cli
