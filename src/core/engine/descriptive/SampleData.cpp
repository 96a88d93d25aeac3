#include "engine/descriptive/SampleData.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "common/CommonState.h"
#include "common/Sentinels.h"
#include "engine/descriptive/Intervals.h"
#include "engine/descriptive/RangeOfTwo.h"
#include "engine/distributions/Distributions.h"
#include "session/CurrentSample.h"

namespace amx {

namespace {

constexpr long double NA = NotAvailable;

// Upper tail of the standard normal through the complementary error function:
// full relative accuracy far into the tail, which the polynomial tail lacks.
long double UpperNormal(long double z) { return 0.5L * std::erfc(z / std::sqrt(2.0L)); }

long double TwoSidedNormal(long double z) { return 2.0L * UpperNormal(std::fabs(z)); }

}  // namespace

// ---------------------------------------------------------------------------
// storage

void SampleData::Attach(CurrentSample& sample, CommonState& common) {
    sample_ = &sample;
    common_ = &common;
}

std::vector<double>& SampleData::values() { return sample_->A_Array; }
const std::vector<double>& SampleData::values() const { return sample_->A_Array; }
int& SampleData::n() { return sample_->ATop; }
int SampleData::n() const { return sample_->ATop; }

void SampleData::SetValues(std::span<const double> xs) {
    auto& v = values();
    v.assign(xs.size() + 1, 0.0);
    std::copy(xs.begin(), xs.end(), v.begin() + 1);
    n() = static_cast<int>(xs.size());
}

// ---------------------------------------------------------------------------
// loading

void SampleData::LoadSample(const CellReader& cell, int firstCol, int lastCol, int firstRow,
                            int lastRow) {
    auto& v = values();
    v.assign(1, 0.0);
    for (int c = firstCol; c <= lastCol; ++c)
        for (int r = firstRow; r <= lastRow; ++r) {
            double x = cell(c, r);
            if (NotMissing(x)) v.push_back(x);
        }
    n() = static_cast<int>(v.size()) - 1;
}

void SampleData::LoadSampleMinMax(const CellReader& cell, int firstCol, int lastCol, int firstRow,
                                  int lastRow) {
    // The values are kept as well, so that n always counts what the sample holds.
    LoadSample(cell, firstCol, lastCol, firstRow, lastRow);
    SampleRange();
}

void SampleData::LoadSampleMean(const CellReader& cell, int firstCol, int lastCol, int firstRow,
                                int lastRow) {
    LoadSample(cell, firstCol, lastCol, firstRow, lastRow);
    SampleMean();
    if (n() == 0) mean = MissingValue;
}

namespace {
SampleData::CellReader ColumnsReader(const std::vector<std::vector<double>>& cols) {
    return [&cols](int c, int r) -> double {
        if (c < 0 || c >= static_cast<int>(cols.size())) return MissingValue;
        const auto& col = cols[static_cast<size_t>(c)];
        if (r < 0 || r >= static_cast<int>(col.size())) return MissingValue;
        return col[static_cast<size_t>(r)];
    };
}
}  // namespace

void SampleData::LoadSample(const std::vector<std::vector<double>>& cols, int firstCol,
                            int lastCol, int firstRow, int lastRow) {
    LoadSample(ColumnsReader(cols), firstCol, lastCol, firstRow, lastRow);
}
void SampleData::LoadSampleMinMax(const std::vector<std::vector<double>>& cols, int firstCol,
                                  int lastCol, int firstRow, int lastRow) {
    LoadSampleMinMax(ColumnsReader(cols), firstCol, lastCol, firstRow, lastRow);
}
void SampleData::LoadSampleMean(const std::vector<std::vector<double>>& cols, int firstCol,
                                int lastCol, int firstRow, int lastRow) {
    LoadSampleMean(ColumnsReader(cols), firstCol, lastCol, firstRow, lastRow);
}

// ---------------------------------------------------------------------------
// order statistics

void SampleData::SampleRange() {
    const int N = n();
    if (N <= 0) {
        minimum = maximum = range = 0;
        return;
    }
    const auto& x = values();
    auto [lo, hi] = std::minmax_element(x.begin() + 1, x.begin() + 1 + N);
    minimum = *lo;
    maximum = *hi;
    range = maximum - minimum;
}

void SampleData::SortSample(int lo, int hi) {
    lo = std::max(lo, 1);
    hi = std::min(hi, n());
    if (hi <= lo) return;
    auto& x = values();
    std::sort(x.begin() + lo, x.begin() + hi + 1);
}

void SampleData::EnsureSorted() {
    auto& x = values();
    const int N = n();
    if (!std::is_sorted(x.begin() + 1, x.begin() + 1 + N)) std::sort(x.begin() + 1, x.begin() + 1 + N);
}

void SampleData::OrderStats() {
    const int N = n();
    if (N <= 0) {
        minimum = maximum = range = median = q1 = q3 = NA;
        quartileIndex = quartileRemainder = 0;
        return;
    }
    EnsureSorted();
    const auto& x = values();
    minimum = x[1];
    maximum = x[static_cast<size_t>(N)];
    range = maximum - minimum;
    if (N % 2 == 1)
        median = x[static_cast<size_t>((N + 1) / 2)];
    else
        median = (static_cast<long double>(x[static_cast<size_t>(N / 2)]) + x[static_cast<size_t>(N / 2 + 1)]) / 2;
    quartileIndex = (N + 1) / 4;
    quartileRemainder = (N + 1) % 4;
    if (N < 4) {
        q1 = minimum;
        q3 = maximum;
        return;
    }
    // Q1 at position (n + 1)/4 and Q3 at 3(n + 1)/4, linearly interpolated.
    const int j = quartileIndex, r = quartileRemainder;
    auto at = [&](int i) { return static_cast<long double>(x[static_cast<size_t>(i)]); };
    q1 = ((4 - r) * at(j) + r * at(j + 1)) / 4;
    q3 = (r * at(N - j) + (4 - r) * at(N - j + 1)) / 4;
}

// ---------------------------------------------------------------------------
// moments

void SampleData::MeanStdDev() {
    const int N = n();
    const auto& x = values();
    nReal = N;
    sum = 0;
    mean = variance = stdDev = m2 = 0;
    if (N <= 0) return;
    bool constant = true;
    const double first = x[1];
    for (int i = 1; i <= N; ++i) {
        sum += x[static_cast<size_t>(i)];
        if (x[static_cast<size_t>(i)] != first) constant = false;
    }
    if (constant) {
        mean = first;
        return;
    }
    mean = sum / N;
    if (N < 2) return;
    long double ss = 0;
    for (int i = 1; i <= N; ++i) {
        long double d = x[static_cast<size_t>(i)] - mean;
        ss += d * d;
    }
    variance = ss / (N - 1);
    m2 = ss / N;
    stdDev = std::sqrt(variance);
}

void SampleData::SampleMean() {
    const int N = n();
    const auto& x = values();
    sum = 0;
    mean = 0;
    if (N <= 0) return;
    for (int i = 1; i <= N; ++i) sum += x[static_cast<size_t>(i)];
    mean = sum / N;
}

void SampleData::SampleMode() {
    const int N = n();
    auto& x = values();
    if (N < 1) {
        distinctCount = 0;
        mode = MissingValue;
        modeTies = 0;
        return;
    }
    if (N <= 2) {
        mode = x[1];
        modeTies = 1;
        distinctCount = (N == 2 && x[1] != x[2]) ? 2 : 1;
        return;
    }
    EnsureSorted();
    distinctCount = 1;
    for (int i = 2; i <= N; ++i)
        if (x[static_cast<size_t>(i)] != x[static_cast<size_t>(i - 1)]) ++distinctCount;
    // Scan the runs of equal values; the first longest run gives the mode and
    // runs as long as the best so far count as ties. A run is closed by the
    // next different value; a run still open at the end counts only when it
    // holds more than one value.
    int best = 1;
    modeTies = 0;
    mode = x[1];
    int runStart = 1;
    auto closeRun = [&](int start, int len) {
        if (len > best) {
            best = len;
            mode = x[static_cast<size_t>(start)];
        } else if (len == best) {
            ++modeTies;
        }
    };
    for (int i = 2; i <= N; ++i) {
        if (x[static_cast<size_t>(i)] != x[static_cast<size_t>(i - 1)]) {
            closeRun(runStart, i - runStart);
            runStart = i;
        }
    }
    const int lastLen = N + 1 - runStart;
    if (lastLen > 1) closeRun(runStart, lastLen);
}

void SampleData::MeanDeviations() {
    OrderStats();
    MeanStdDev();
    meanAbsDevMean = meanAbsDevMedian = 0;
    const int N = n();
    if (N <= 0) return;
    const auto& x = values();
    long double a = 0, b = 0;
    for (int i = 1; i <= N; ++i) {
        a += std::fabs(x[static_cast<size_t>(i)] - mean);
        b += std::fabs(x[static_cast<size_t>(i)] - median);
    }
    meanAbsDevMean = a / N;
    meanAbsDevMedian = b / N;
}

void SampleData::SkewKurt() {
    MeanStdDev();
    const int N = n();
    nReal = N;
    if (N == 0) {
        skewness = kurtosis = adjSkewness = adjKurtosis = 0;
        m3 = m4 = 0;
        return;
    }
    const auto& x = values();
    long double s3 = 0, s4 = 0;
    for (int i = 1; i <= N; ++i) {
        long double d = x[static_cast<size_t>(i)] - mean;
        long double d2 = d * d;
        s3 += d2 * d;
        s4 += d2 * d2;
    }
    m3 = s3 / N;
    m4 = s4 / N;
    const long double nn = N;
    const bool flat = stdDev < 1e-20L || m2 == 0;
    if (N < 3 || flat)
        skewness = NA;
    else
        skewness = m3 / std::sqrt(m2 * m2 * m2);
    if (skewness == NA)
        adjSkewness = NA;
    else if (skewness == 0)
        adjSkewness = 0;
    else
        adjSkewness = skewness * std::sqrt(nn * (nn - 1)) / (nn - 2);
    if (N < 4 || flat)
        kurtosis = NA;
    else
        kurtosis = m4 / (m2 * m2) - 3;
    if (kurtosis == NA)
        adjKurtosis = NA;
    else if (kurtosis == 0)
        adjKurtosis = 0;
    else
        adjKurtosis = (kurtosis + 3) * (nn + 1) * (nn - 1) / ((nn - 3) * (nn - 2)) -
                      3 * (nn - 1) * (nn - 1) / ((nn - 3) * (nn - 2));
}

void SampleData::MovingRangeStats() {
    const int N = n();
    if (N < 2) {
        avgMovingRange = sigmaAvgMR = medianMovingRange = sigmaMedianMR = 0;
        return;
    }
    // The moving ranges replace the values in place; callers reload the sample
    // before computing anything else on it.
    auto& x = values();
    long double s = 0;
    for (int i = 1; i < N; ++i) {
        x[static_cast<size_t>(i)] = std::fabs(x[static_cast<size_t>(i + 1)] - x[static_cast<size_t>(i)]);
        s += x[static_cast<size_t>(i)];
    }
    n() = N - 1;
    avgMovingRange = s / (N - 1);
    sigmaAvgMR = avgMovingRange / MeanRangeOfTwo;
    OrderStats();
    medianMovingRange = median;
    sigmaMedianMR = medianMovingRange / MedianRangeOfTwo;
    n() = N;
}

// ---------------------------------------------------------------------------
// percentiles and ties

long double SampleData::Percentile(long double p) {
    common_->StatErrorCode = 0;
    const int N = n();
    const long double h = p * (N + 1);
    if (N <= 0 || h < 1 || h > N) {
        common_->StatErrorCode = 1;
        return 0;
    }
    EnsureSorted();
    const auto& x = values();
    const int j = static_cast<int>(h);
    if (j >= N) return x[static_cast<size_t>(N)];
    return x[static_cast<size_t>(j)] + (h - j) * (static_cast<long double>(x[static_cast<size_t>(j + 1)]) - x[static_cast<size_t>(j)]);
}

long double SampleData::MedianRankPercentile(long double p) {
    common_->StatErrorCode = 0;
    const int N = n();
    if (N <= 0) {
        common_->StatErrorCode = 1;
        return 0;
    }
    EnsureSorted();
    const auto& x = values();
    const long double h = 0.3L + p * (N + 0.4L);
    if (h < 1) return x[1];
    const int j = static_cast<int>(h);
    if (j >= N) return x[static_cast<size_t>(N)];
    return x[static_cast<size_t>(j)] + (h - j) * (static_cast<long double>(x[static_cast<size_t>(j + 1)]) - x[static_cast<size_t>(j)]);
}

void SampleData::MinSpacing() {
    const int N = n();
    minSpacing = 0;
    if (N < 2) return;
    EnsureSorted();
    const auto& x = values();
    bool found = false;
    for (int i = 2; i <= N; ++i) {
        long double gap = static_cast<long double>(x[static_cast<size_t>(i)]) - x[static_cast<size_t>(i - 1)];
        if (gap > 0 && (!found || gap < minSpacing)) {
            minSpacing = gap;
            found = true;
        }
    }
}

void SampleData::TiedMedian() {
    const int N = n();
    OrderStats();
    interpolatedMedian = median;
    if (N < 3) return;
    const auto& x = values();
    const int h = (N + 1) / 2;
    auto X = [&](int i) { return x[static_cast<size_t>(i)]; };
    const bool tied = (N % 2 == 1) ? (X(h - 1) == X(h) || X(h) == X(h + 1)) : (X(h) == X(h + 1));
    if (!tied) return;
    MinSpacing();
    const long double w = minSpacing;
    int i = h;
    while (i >= 1 && X(i) == median) --i;
    int j = h + 1;
    while (j <= N && X(j) == median) ++j;
    if (j - i - 1 <= 0) return;
    interpolatedMedian = median - w / 2 + w * (N / 2.0L - i) / (j - i - 1);
}

int SampleData::CountAbove(long double x) const {
    const auto& v = values();
    int c = 0;
    for (int i = 1; i <= n(); ++i)
        if (v[static_cast<size_t>(i)] > x + 1e-20L) ++c;
    return c;
}

int SampleData::CountBelow(long double x) const {
    const auto& v = values();
    int c = 0;
    for (int i = 1; i <= n(); ++i)
        if (v[static_cast<size_t>(i)] < x - 1e-20L) ++c;
    return c;
}

void SampleData::SpreadTies() {
    const int N = n();
    if (N <= 1) return;
    EnsureSorted();
    MinSpacing();
    const long double w = minSpacing;
    auto& x = values();
    int s = 1;
    while (s <= N) {
        int e = s;
        while (e < N && x[static_cast<size_t>(e + 1)] == x[static_cast<size_t>(s)]) ++e;
        const int L = e - s + 1;
        if (L > 1) {
            const long double base = x[static_cast<size_t>(s)];
            for (int k = 1; k <= L; ++k)
                x[static_cast<size_t>(s + k - 1)] = static_cast<double>(base - w / 2 + k * w / (L + 1));
        }
        s = e + 1;
    }
    minimum = x[1];
    maximum = x[static_cast<size_t>(N)];
    range = maximum - minimum;
}

void SampleData::NaturalTolerance() {
    lowerNatTol = mean - 3 * stdDev;
    upperNatTol = mean + 3 * stdDev;
}

void SampleData::DispersionIndexTest(long double& x, long double& p) {
    MeanStdDev();
    const int N = n();
    if (N < 2 || mean == 0) {
        // The index divides by the mean: not available for a zero mean.
        x = NA;
        p = NA;
        return;
    }
    x = (N - 1) * variance / mean;
    p = ChiSqTail(*common_, 2, N - 1, x);
}

void SampleData::KurtosisPValueText(int sampleN, std::string& text, long double g2) {
    amx::KurtosisPValueText(sampleN, text, g2, kurtosisP);
}

void SampleData::ComputeStats(char selector) {
    MeanDeviations();
    switch (selector) {
        case 'T':
            ShapiroWilkTest(false);
            SkewKurt();
            LinMudholkarTest();
            AndersonDarlingTest();
            break;
        case 'S': SkewKurt(); break;
        case 'L': LinMudholkarTest(); break;
        case 'A': AndersonDarlingTest(); break;
        case 'I':
            if (sharedConfI) sharedConfI->Intervals(*common_, *this);
            break;
        case 'N': NaturalTolerance(); break;
        default: break;
    }
}

// ---------------------------------------------------------------------------
// skewness and kurtosis significance

long double SkewnessPValue(CommonState& cs, int n, long double g1) {
    if (n < 8 || g1 == NA) return NA;
    // D'Agostino's transformation: a Student t whose kurtosis matches that of
    // the sample skewness under normality.
    const long double N = n;
    const long double sigma = std::sqrt(6 * (N - 2) / ((N + 1) * (N + 3)));
    const long double beta2 =
        3 * (N * N + 27 * N - 70) * (N + 1) * (N + 3) / ((N - 2) * (N + 5) * (N + 7) * (N + 9));
    const long double nu = (4 * beta2 - 6) / (beta2 - 3);
    const long double t = g1 * std::sqrt(nu / (nu - 2)) / sigma;
    return TTail(cs, 2, std::floor(nu), t);
}

namespace {

struct KurtRow {
    int n;
    double lo10, up10, lo05, up05, lo02, up02;
};

// Critical values of g2 at two-sided levels .10, .05 and .02.
constexpr std::array<KurtRow, 25> kKurtosisTable{{
    {7, -1.59, 0.55, -1.66, 0.85, -1.75, 1.23},
    {8, -1.54, 0.70, -1.60, 1.09, -1.69, 1.53},
    {9, -1.47, 0.86, -1.55, 1.28, -1.65, 1.82},
    {10, -1.44, 0.95, -1.51, 1.40, -1.61, 2.00},
    {12, -1.36, 1.05, -1.44, 1.56, -1.54, 2.20},
    {15, -1.28, 1.13, -1.36, 1.66, -1.45, 2.30},
    {20, -1.18, 1.17, -1.26, 1.68, -1.35, 2.36},
    {25, -1.09, 1.16, -1.17, 1.65, -1.28, 2.30},
    {30, -1.02, 1.11, -1.10, 1.59, -1.21, 2.21},
    {35, -0.97, 1.10, -1.05, 1.53, -1.16, 2.13},
    {40, -0.93, 1.06, -1.02, 1.46, -1.11, 2.04},
    {45, -0.89, 1.00, -0.97, 1.39, -1.07, 1.94},
    {50, -0.85, 0.99, -0.94, 1.33, -1.05, 1.88},
    {75, -0.73, 0.87, -0.812, 1.159, -0.92, 1.59},
    {100, -0.65, 0.77, -0.731, 1.027, -0.82, 1.39},
    {125, -0.60, 0.71, -0.671, 0.928, -0.76, 1.24},
    {150, -0.55, 0.65, -0.624, 0.854, -0.71, 1.13},
    {200, -0.49, 0.57, -0.556, 0.743, -0.63, 0.98},
    {250, -0.45, 0.52, -0.507, 0.665, -0.58, 0.87},
    {300, -0.41, 0.47, -0.469, 0.608, -0.54, 0.79},
    {400, -0.36, 0.41, -0.415, 0.524, -0.48, 0.67},
    {500, -0.33, 0.37, -0.377, 0.466, -0.43, 0.60},
    {1000, -0.24, 0.26, -0.277, 0.324, -0.32, 0.41},
    {2000, -0.17, 0.18, -0.202, 0.226, -0.23, 0.28},
    {5000, -0.11, 0.12, -0.131, 0.141, -0.15, 0.17},
}};

std::string ThreeDecimals(long double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v));
    return buf;
}

}  // namespace

void KurtosisPValueText(int n, std::string& text, long double g2, long double& kurtosisP) {
    if (n < 7 || g2 == NA) {
        text = "999.000";
        kurtosisP = NA;
        return;
    }
    if (n > 5000) {
        const long double N = n;
        const long double se = std::sqrt(6 * N * (N - 1) / ((N - 2) * (N + 1) * (N + 3)) * 4 *
                                         (N * N - 1) / ((N - 3) * (N + 5)));
        kurtosisP = TwoSidedNormal(g2 / se);
        text = ThreeDecimals(kurtosisP);
        return;
    }
    size_t k = 0;
    while (kKurtosisTable[k].n < n) ++k;
    std::array<long double, 6> c;
    const KurtRow& r = kKurtosisTable[k];
    const std::array<double, 6> hi{r.lo10, r.up10, r.lo05, r.up05, r.lo02, r.up02};
    if (r.n == n || k == 0) {
        for (size_t i = 0; i < 6; ++i) c[i] = hi[i];
    } else {
        const KurtRow& q = kKurtosisTable[k - 1];
        const std::array<double, 6> lo{q.lo10, q.up10, q.lo05, q.up05, q.lo02, q.up02};
        const long double f = static_cast<long double>(n - q.n) / (r.n - q.n);
        for (size_t i = 0; i < 6; ++i) c[i] = lo[i] + f * (hi[i] - lo[i]);
    }
    text = ">.10";
    kurtosisP = NA;
    if (g2 == 0) {
        text = "1.000";
    } else if (g2 > 0) {
        if (g2 >= c[5]) {
            text = "<.02";
            kurtosisP = 0.02L;
        } else if (g2 >= c[3]) {
            text = ".05-.02";
            kurtosisP = 0.05L;
        } else if (g2 >= c[1]) {
            text = ".10-.05";
            kurtosisP = 0.10L;
        }
    } else {
        if (g2 <= c[4]) {
            text = "<.02";
            kurtosisP = 0.02L;
        } else if (g2 <= c[2]) {
            text = ".05-.02";
            kurtosisP = 0.05L;
        } else if (g2 <= c[0]) {
            text = ".10-.05";
            kurtosisP = 0.10L;
        }
    }
    // Just under the band's level, so that "significant when p <= alpha" marks
    // a kurtosis beyond the critical value at that very level.
    kurtosisP -= 1e-10L;
}

}  // namespace amx
