// ambrolux-cli limits: the Control Limit Calculations window without a
// desktop. One chart per run; the options are the window's fields.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "../CliCommand.h"
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

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

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

int Usage(const std::string& problem) {
    std::fprintf(stderr, "%s\nRun 'ambrolux-cli limits --help' for the options.\n", problem.c_str());
    return 2;
}

int RunLimits(const std::vector<std::string>& args) {
    ControlLimitRequest request;
    std::string chartText, methodText, rtfPath;
    bool haveStatistic = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name.rfind("--", 0) != 0) return Usage("Unexpected argument: " + args[i]);
        if (!inlineValue) {
            if (i + 1 >= args.size()) return Usage("Missing value for " + name);
            value = args[++i];
        }
        if (name == "--chart") chartText = value;
        else if (name == "--method") methodText = value;
        else if (name == "--x") request.centreText = value;
        else if (name == "--statistic") {
            request.statisticText = value;
            haveStatistic = true;
        } else if (name == "--n") request.nText = value;
        else if (name == "--std-err") request.stdErrText = value;
        else if (name == "--decimals") request.decimalsText = value;
        else if (name == "--rtf") rtfPath = value;
        else return Usage("Unknown option: " + name);
    }
    if (chartText.empty()) return Usage("--chart is required");
    request.chartType = ParseChart(chartText);
    if (request.chartType == 0) return Usage("Unknown chart: " + chartText);
    if (!methodText.empty()) {
        request.method = ParseMethod(request.chartType, methodText);
        if (request.method == 0)
            return Usage("Unknown method for the " + ChartCaption(request.chartType) + " chart: " + methodText +
                         "\nMethods:\n" + MethodList(request.chartType));
    }
    if (!haveStatistic) return Usage("--statistic is required");

    Session session;
    LimitsMessages messages;
    session.messages = &messages;
    ReportDocument pane;
    ControlLimitResult result = CalculateControlLimits(session, request, pane);
    if (result.Failed()) return 1;
    for (const Paragraph& line : pane.Lines()) std::printf("%s\n", line.Text().c_str());
    if (!rtfPath.empty() && !SaveReport(pane, rtfPath)) {
        std::fprintf(stderr, "Cannot write %s\n", rtfPath.c_str());
        return 1;
    }
    return result.status > 0 ? 1 : 0;
}

const CliCommandRegistration kLimits{CliCommand{
    "limits",
    "control limit calculations for one chart",
    "Usage: ambrolux-cli limits --chart CHART --statistic NUMBER [options]\n"
    "\n"
    "Computes the centerline and control limits of one control chart from a\n"
    "dispersion or attribute statistic, as the Control Limit Calculations\n"
    "window does, and prints its report. No data file is read.\n"
    "\n"
    "Options (the window's fields):\n"
    "  --chart CHART       X-Bar, Median, X, R, s, s2, p, np, c or u (or 1-10)\n"
    "  --method METHOD     the statistic used or the kind of limits, by name or\n"
    "                      number (default: the first); by chart:\n"
    "                        X-Bar, Median: Average Range, Median Range,\n"
    "                          Average Std Dev, Median Std Dev, Average Variance,\n"
    "                          Avg MR of X-bars / Avg MR of Medians,\n"
    "                          Median MR of X-bars / Med MR of Medians,\n"
    "                          Std Dev of X-bars / Std Dev of Medians, Known Std Dev\n"
    "                        X: Average MR, Median MR, Std Dev (k values),\n"
    "                          Known Std Dev\n"
    "                        R, s, s2: Average Range, Median Range, Average Std Dev,\n"
    "                          Median Std Dev, Average Variance, Known Std Dev\n"
    "                        p, np: Approximate, Exact Binomial\n"
    "                        c, u: Approximate, Exact Poisson\n"
    "  --x NUMBER          the centre (X-Bar, Median and X charts; default 0)\n"
    "  --statistic NUMBER  the statistic of the method, or p-bar, np-bar, c-bar,\n"
    "                      u-bar\n"
    "  --n NUMBER          subgroup size; moving-range span or number of values\n"
    "                      (X chart); units per sample (u chart); not used by\n"
    "                      the c chart or with Known Std Dev on the X chart\n"
    "  --std-err NUMBER    standard errors from the centerline (default 3)\n"
    "  --decimals N        decimals of the report, 0-9 (default 4)\n"
    "  --rtf PATH          also save the report as rich text\n"
    "\n"
    "Numbers may carry thousands commas (1,250.5).\n"
    "\n"
    "Exit status: 0 when the limits were computed; 1 when an input was refused\n"
    "(the message goes to stderr) or the calculation reported a problem (the\n"
    "report says which); 2 on bad usage.\n",
    RunLimits}};

}  // namespace
}  // namespace amx::cli
