#pragma once
// The engine's current sample and everything computed on it: moments, order
// statistics, percentiles, mode, moving ranges, skewness and kurtosis with
// their significance, natural tolerances and the three normality tests.
//
// The values and their count are not a copy: values() and n() are the
// session's A_Array and ATop, so whatever a loader put there is what these
// routines compute on (and the order-statistics routines sort it in place).
// Results stay in the fields below until the next computation overwrites them.
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace amx {

struct CommonState;
struct CurrentSample;
class TConfI;

class SampleData {
public:
    // Unattached; Attach before use (a session attaches its own on first use,
    // see SessionSample.h).
    SampleData() = default;
    SampleData(CurrentSample& sample, CommonState& common) { Attach(sample, common); }
    void Attach(CurrentSample& sample, CommonState& common);
    bool Attached() const { return sample_ != nullptr; }

    // x[1..n], 1-based; entry 0 is unused.
    std::vector<double>& values();
    const std::vector<double>& values() const;
    int& n();
    int n() const;
    // Replaces the sample with the given values (x[1..size]).
    void SetValues(std::span<const double> xs);

    // ---- results -------------------------------------------------------
    long double nReal = 0, sum = 0, mean = 0, variance = 0, stdDev = 0;
    long double m2 = 0, m3 = 0, m4 = 0;
    long double minimum = 0, maximum = 0, range = 0, median = 0, q1 = 0, q3 = 0;
    int quartileIndex = 0, quartileRemainder = 0;
    long double interpolatedMedian = 0;
    int distinctCount = 0;
    long double mode = 0;
    int modeTies = 0;
    long double meanAbsDevMean = 0, meanAbsDevMedian = 0;
    long double avgMovingRange = 0, sigmaAvgMR = 0, medianMovingRange = 0, sigmaMedianMR = 0;
    long double lowerNatTol = 0, upperNatTol = 0;
    long double skewness = 0, kurtosis = 0, adjSkewness = 0, adjKurtosis = 0;
    long double minSpacing = 0;
    long double adStat = 0, adP = 0, swW = 0, swP = 0, lmR = 0, lmP = 0;
    long double kurtosisP = 0;

    // ---- loading ---------------------------------------------------------
    // cell(col, row) for col in firstCol..lastCol, row in firstRow..lastRow,
    // read column by column; MissingValue cells are skipped.
    using CellReader = std::function<double(int col, int row)>;
    void LoadSample(const CellReader& cell, int firstCol, int lastCol, int firstRow, int lastRow);
    void LoadSampleMinMax(const CellReader& cell, int firstCol, int lastCol, int firstRow,
                          int lastRow);
    void LoadSampleMean(const CellReader& cell, int firstCol, int lastCol, int firstRow,
                        int lastRow);
    // The same for an array of columns indexed cols[col][row].
    void LoadSample(const std::vector<std::vector<double>>& cols, int firstCol, int lastCol,
                    int firstRow, int lastRow);
    void LoadSampleMinMax(const std::vector<std::vector<double>>& cols, int firstCol, int lastCol,
                          int firstRow, int lastRow);
    void LoadSampleMean(const std::vector<std::vector<double>>& cols, int firstCol, int lastCol,
                        int firstRow, int lastRow);

    // ---- computations ------------------------------------------------------
    void SampleRange();
    void SortSample(int lo, int hi);
    void OrderStats();
    void MeanStdDev();
    void SampleMean();
    void SampleMode();
    void MeanDeviations();
    void SkewKurt();
    void MovingRangeStats();
    long double Percentile(long double p);
    long double MedianRankPercentile(long double p);
    void MinSpacing();
    void TiedMedian();
    int CountAbove(long double x) const;
    int CountBelow(long double x) const;
    void SpreadTies();
    void NaturalTolerance();
    void AndersonDarlingTest();
    void ShapiroWilkTest(bool resort);
    void LinMudholkarTest();
    // Significance text of the kurtosis g2 for a sample of n; sets kurtosisP.
    void KurtosisPValueText(int sampleN, std::string& text, long double g2);
    // x = (n - 1)·variance/mean and its chi-square upper tail with n - 1 df.
    void DispersionIndexTest(long double& x, long double& p);
    // Always MeanDeviations, then by selector: 'T' the normality tests with
    // skewness and kurtosis, 'S' SkewKurt, 'L' Lin-Mudholkar, 'A'
    // Anderson-Darling, 'I' the session's shared TConfI, 'N' natural
    // tolerance, 'D' nothing more.
    void ComputeStats(char selector);

    // The session's shared confidence interval object, for selector 'I'.
    TConfI* sharedConfI = nullptr;

private:
    void EnsureSorted();
    void BuildShapiroWilkCoefficients(int n);

    CurrentSample* sample_ = nullptr;
    CommonState* common_ = nullptr;
    // Shapiro-Wilk coefficients a[1..n div 2] for swCacheN (rebuilt when n changes).
    std::vector<long double> swA_;
    int swCacheN_ = -1;
};

// Anderson-Darling p-value of A²* (1 for A²* <= 0.1, 999 for 999).
long double ADPValue(long double a2star);
// Lin-Mudholkar p-value of r for a sample of n.
long double LMPValue(int n, long double r);
// Two-sided p-value of the skewness g1 (999 for n < 8 or g1 = 999).
long double SkewnessPValue(CommonState& cs, int n, long double g1);
// Significance text of the kurtosis g2 (">.10", ".10-.05", ".05-.02", "<.02",
// "1.000", "999.000" or the p with three decimals above n = 5000); kurtosisP
// receives the numeric companion.
void KurtosisPValueText(int n, std::string& text, long double g2, long double& kurtosisP);

}  // namespace amx
