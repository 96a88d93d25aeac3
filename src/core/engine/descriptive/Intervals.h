#pragma once
// Confidence intervals of a mean, a standard deviation and a correlation; the
// confidence-level holder TConfI and the paired-sums accumulator TCorr.
#include <string>

namespace amx {

struct CommonState;
class SampleData;

// Limits mean -/+ s·t(df, alpha/2)/√n (normal quantile when df = 0; zero
// half-width when n <= 0).
void MeanCI(CommonState& cs, long double alpha, long double df, long double n, long double s,
            long double mean, long double& lower, long double& upper);
// Chi-square limits of a standard deviation; both 999 when df <= 0.
void StdDevCI(CommonState& cs, long double alpha, long double df, long double s,
              long double& lower, long double& upper);
// Fisher-z limits of a correlation; both 999 when n <= 3 or |r| >= 1.
void CorrCI(long double alpha, long double n, long double r, long double& lower,
            long double& upper);

class TConfI {
public:
    long double m = 0;    // mean
    long double S = 0;    // standard deviation
    int ni = 0;           // n
    long double m1 = 0, m2 = 0;  // limits of the mean
    long double s1 = 0, s2 = 0;  // limits of the standard deviation
    long double conf = 0.95L;
    long double alpha = 0.05L;

    void SetConf(long double c);
    // conf := number in text / 100; the conversion status goes to StatErrorCode
    // (0 = valid, else the 1-based position of the offending character).
    void SetConfText(CommonState& cs, const std::string& text);
    void SetAlpha(long double a);
    // Mean and standard deviation of the sample, then CalcIntervals.
    void StatsIntervals(CommonState& cs, SampleData& sample);
    // The same from the sample's current results, without recomputing them.
    void Intervals(CommonState& cs, const SampleData& sample);
    void CalcIntervals(CommonState& cs);
};

class TCorr {
public:
    int n = 0;
    long double sx2 = 0, sx = 0, sy = 0, sy2 = 0, sd = 0, sd2 = 0, sxy = 0;
    long double A = 0, B = 0;  // intercept and slope
    long double pvalue = 0;
    bool Error = false;

    void Init();
    // Pairs with a MissingValue on either side are ignored.
    void AddPair(double x, double y);
    // Pearson r with its two-sided t-test p-value; 0 with Error and pvalue 999
    // for fewer than two pairs or a constant variable.
    long double PearsonR(CommonState& cs);
    // Least-squares A + B·x; StatErrorCode 1 when x is constant, 2 when empty.
    void LinearRegression(CommonState& cs);
};

}  // namespace amx
