// The Control Limit Calculations window's checks and report.
#include <gtest/gtest.h>

#include "spc/ControlLimitCalc.h"

namespace amx {
namespace {

struct CalcFixture : CommonState, SpcState {
    RecordingMessages recorder;
    CalcFixture() { messages = &recorder; }
};

std::vector<std::string> Texts(const ReportDocument& pane) {
    std::vector<std::string> out;
    for (const auto& line : pane.Lines()) out.push_back(line.Text());
    return out;
}

ControlLimitRequest Request(int chart, int method, std::string statistic, std::string n,
                            std::string centre = "0", std::string stdErr = "3", std::string decimals = "4") {
    ControlLimitRequest r;
    r.chartType = chart;
    r.method = method;
    r.statisticText = std::move(statistic);
    r.nText = std::move(n);
    r.centreText = std::move(centre);
    r.stdErrText = std::move(stdErr);
    r.decimalsText = std::move(decimals);
    return r;
}

TEST(ControlLimitCalc, Reports) {
    struct Case {
        const char* what;
        ControlLimitRequest request;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"range, known sigma, LCL none",
         Request(4, 6, "1", "5"),
         {"Control Limit Calculations:  R Chart", "Statistic used: Known Std Dev = 1", "Standard Errors = 3", "",
          "       UCL = 4.9182         sigma = 1.0000", "Centerline = 2.3259             n = 5",
          "       LCL = none"}},
        {"mean, average range, centre with commas",
         Request(1, 1, "2.32593", "5", "1,000", "3", "3"),
         {"Control Limit Calculations:  X-Bar Chart", "Statistic used: Average Range = 2.32593",
          "Standard Errors = 3", "", "       UCL = 1,001.342      sigma = 1.000",
          "Centerline = 1,000.000          n = 5", "       LCL = 998.658"}},
        {"p, exact binomial",
         Request(7, 2, "0.10", "50"),
         {"Control Limit Calculations:  p Chart", "Method used: Exact Binomial", "Standard Errors = 3", "",
          "       UCL = 0.2500            SE = 0.0424", "Centerline = 0.1000             n = 50",
          "       LCL = none"}},
        {"np, exact, neither limit exists",
         Request(8, 2, "1", "2"),
         {"Control Limit Calculations:  np Chart", "Method used: Exact Binomial", "Standard Errors = 3", "",
          "       UCL =            none   SE = 0.7071", "Centerline = 1.0000             n = 2",
          "       LCL = none"}},
        {"c, exact Poisson",
         Request(9, 2, "20", ""),
         {"Control Limit Calculations:  c Chart", "Method used: Exact Poisson", "Standard Errors = 3", "",
          "       UCL = 35.5000           SE = 4.4721", "Centerline = 20.0000            n = 1",
          "       LCL = 7.5000"}},
        {"u, fractional units, two decimals",
         Request(10, 1, "8", "2.5", "0", "3", "2"),
         {"Control Limit Calculations:  u Chart", "Method used: Approximate", "Standard Errors = 3", "",
          "       UCL = 13.37             SE = 1.79", "Centerline = 8.00               n = 2.50",
          "       LCL = 2.63"}},
        {"individuals, known sigma, hidden n of 1",
         Request(3, 4, "2", "1", "10", "2.5", ""),
         {"Control Limit Calculations:  X Chart", "Statistic used: Known Std Dev = 2", "Standard Errors = 2.5",
          "", "       UCL = 15.0000        sigma = 2.0000", "Centerline = 10.0000            n = 1",
          "       LCL = 5.0000"}},
        {"s-squared caption",
         Request(6, 6, "1", "5", "0", "3", "0"),
         {"Control Limit Calculations:  s² Chart", "Statistic used: Known Std Dev = 1", "Standard Errors = 3",
          "", "       UCL = 4              sigma = 1", "Centerline = 1                  n = 5",
          "       LCL = 0"}},
        {"mean, n of one",
         Request(1, 1, "1", "1"),
         {"Control Limit Calculations:  X-Bar Chart", "Statistic used: Average Range = 1", "Standard Errors = 3",
          "", "Sample size must be larger than 1"}},
        {"p-bar of one",
         Request(7, 1, "1", "50"),
         {"Control Limit Calculations:  p Chart", "Method used: Approximate", "Standard Errors = 3", "",
          "p must be less than 1"}},
        {"np-bar above n",
         Request(8, 2, "60", "50"),
         {"Control Limit Calculations:  np Chart", "Method used: Exact Binomial", "Standard Errors = 3", "",
          "np must be less than n"}},
        {"zero standard errors",
         Request(9, 1, "4", "", "0", "0"),
         {"Control Limit Calculations:  c Chart", "Method used: Approximate", "Standard Errors = 0", "",
          "Std Err must be greater than 0"}},
        {"negative standard errors",
         Request(1, 1, "2", "5", "10", "-3"),
         {"Control Limit Calculations:  X-Bar Chart", "Statistic used: Average Range = 2", "Standard Errors = -3",
          "", "Std Err must be greater than 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalcFixture s;
        ReportDocument pane;
        pane.AppendText("the last report", pane.defaultFont);
        ControlLimitResult r = CalculateControlLimits(s, c.request, pane);
        EXPECT_FALSE(r.Failed());
        EXPECT_EQ(Texts(pane), c.lines);
        EXPECT_TRUE(s.recorder.Errors().empty());
        EXPECT_EQ(r.beep, r.status > 0);
        EXPECT_EQ(s.recorder.beeps, r.status > 0 ? 1 : 0);
        const auto lines = pane.Lines();
        ASSERT_EQ(lines.size(), c.lines.size());
        const TextFont& head = lines[0].runs.at(0).font;
        EXPECT_EQ(head.face, FaceArial);
        EXPECT_TRUE(head.bold);
        EXPECT_EQ(head.size, 10);
        const TextFont& bodyFont = lines[1].runs.at(0).font;
        EXPECT_EQ(bodyFont.face, FaceCourier);
        EXPECT_FALSE(bodyFont.bold);
        EXPECT_EQ(bodyFont.size, 8);
    }
}

TEST(ControlLimitCalc, ChecksInOrder) {
    struct Case {
        const char* what;
        ControlLimitRequest request;
        std::string message;
        ControlLimitField focus;
    };
    const Case cases[] = {
        {"statistic zero", Request(1, 1, "0", "5"), "Statistic must be greater than 0!",
         ControlLimitField::Statistic},
        {"statistic zero wins over n zero", Request(1, 1, "0.000", "0"), "Statistic must be greater than 0!",
         ControlLimitField::Statistic},
        {"statistic not a number", Request(4, 1, "1.2.3", "5"), "Statistic must be greater than 0!",
         ControlLimitField::Statistic},
        {"negative statistic", Request(9, 1, "-4", ""), "Statistic must be greater than 0!",
         ControlLimitField::Statistic},
        {"n zero", Request(1, 1, "1", "0"), "n must be greater than 0!", ControlLimitField::N},
        {"n empty", Request(7, 1, "0.1", ""), "n must be greater than 0!", ControlLimitField::N},
        {"n zero on the individuals tab", Request(3, 1, "1", "0"), "n must be greater than 0!",
         ControlLimitField::N},
        {"centre not a number", Request(1, 1, "1", "5", "12-"), "X must be a number!", ControlLimitField::Centre},
        // Only the u chart's units per sample may be fractional.
        {"fractional subgroup size", Request(1, 1, "1", "2.5"), "n must be a whole number!", ControlLimitField::N},
        {"fractional np sample size", Request(8, 2, "5", "50.5"), "n must be a whole number!",
         ControlLimitField::N},
        {"fractional span", Request(3, 1, "1", "2.5"), "n must be a whole number!", ControlLimitField::N},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CalcFixture s;
        ReportDocument pane;
        pane.AppendText("the last report", pane.defaultFont);
        ControlLimitResult r = CalculateControlLimits(s, c.request, pane);
        EXPECT_TRUE(r.Failed());
        EXPECT_EQ(r.error, c.message);
        EXPECT_EQ(r.focus, c.focus);
        // The pane keeps the last report.
        EXPECT_EQ(Texts(pane), std::vector<std::string>{"the last report"});
        EXPECT_EQ(s.recorder.Errors(), std::vector<std::string>{c.message});
    }
}

TEST(ControlLimitCalc, HiddenSizeAndDecimalsField) {
    CalcFixture s;
    ReportDocument pane;
    // "Known Std Dev" hides n on the individuals tab: 0 and 1 both pass.
    for (const char* n : {"0", "1", ""}) {
        SCOPED_TRACE(n);
        ControlLimitResult r = CalculateControlLimits(s, Request(3, 4, "1", n, "0"), pane);
        EXPECT_FALSE(r.Failed());
        EXPECT_EQ(r.status, 0);
    }
    EXPECT_EQ(StatisticCaption(1), "&Statistic:");
    EXPECT_EQ(StatisticCaption(6), "&Statistic:");
    EXPECT_EQ(StatisticCaption(8), "&np:");
    EXPECT_EQ(StatisticCaption(10), "&u:");
    EXPECT_EQ(MethodGroupCaption(6), "Statistic Used");
    EXPECT_EQ(MethodGroupCaption(7), "Method");
    EXPECT_TRUE(CalculatorHasCentre(3));
    EXPECT_FALSE(CalculatorHasCentre(4));
    EXPECT_FALSE(CalculatorHasN(9));
    EXPECT_TRUE(CalculatorHasN(10));
    EXPECT_EQ(IndividualsNCaption(1), "&n (range):");
    EXPECT_EQ(IndividualsNCaption(2), "&n (range):");
    EXPECT_EQ(IndividualsNCaption(3), "&k (values):");
    EXPECT_EQ(IndividualsNCaption(4), "&k (values):");
    EXPECT_TRUE(IndividualsNVisible(3));
    EXPECT_FALSE(IndividualsNVisible(4));
    // An emptied decimals field means 4; out-of-range values are held to 0..9.
    CalculateControlLimits(s, Request(9, 1, "4", "", "0", "3", ""), pane);
    EXPECT_EQ(Texts(pane)[5], "Centerline = 4.0000             n = 1");
    EXPECT_EQ(Texts(pane)[6], "       LCL = none");
    CalculateControlLimits(s, Request(9, 1, "4", "", "0", "3", "12"), pane);
    EXPECT_EQ(Texts(pane)[5], "Centerline = 4.000000000        n = 1");
    // The font scale scales both styles.
    ControlLimitRequest scaled = Request(9, 1, "4", "");
    scaled.fontScale = 1.5;
    CalculateControlLimits(s, scaled, pane);
    EXPECT_EQ(pane.Lines()[0].runs.at(0).font.size, 15);
    EXPECT_EQ(pane.Lines()[1].runs.at(0).font.size, 12);
}

}  // namespace
}  // namespace amx
