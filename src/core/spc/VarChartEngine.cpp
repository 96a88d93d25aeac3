#include "spc/VarChartEngine.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <limits>
#include <numeric>

#include "common/NumberText.h"
#include "engine/distributions/Distributions.h"
#include "session/Session.h"
#include "spc/ControlConstants.h"
#include "spc/ControlLimits.h"
#include "spc/ControlTests.h"

namespace amx {

namespace {

constexpr double Missing = MissingValue;
bool Ok(double x) { return x != MissingValue; }

long double MeanOf(const std::vector<long double>& v) {
    if (v.empty()) return Missing;
    long double sum = 0;
    for (auto x : v) sum += x;
    return sum / static_cast<long double>(v.size());
}

long double MedianOf(std::vector<long double> v) {
    if (v.empty()) return Missing;
    const std::size_t mid = v.size() / 2;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid), v.end());
    long double hi = v[mid];
    if (v.size() % 2 == 1) return hi;
    long double lo = *std::max_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(mid));
    return (lo + hi) / 2.0L;
}

// Two-pass sample standard deviation; missing below two values.
long double StdDevOf(const std::vector<long double>& v) {
    if (v.size() < 2) return Missing;
    const long double m = MeanOf(v);
    long double ss = 0;
    for (auto x : v) ss += (x - m) * (x - m);
    return std::sqrt(ss / static_cast<long double>(v.size() - 1));
}

// Ranges of w consecutive values, one per position from the w-th value on.
std::vector<long double> MovingRanges(const std::vector<long double>& v, int w) {
    std::vector<long double> out;
    if (w < 2 || static_cast<int>(v.size()) < w) return out;
    out.reserve(v.size() - static_cast<std::size_t>(w) + 1);
    for (std::size_t i = static_cast<std::size_t>(w) - 1; i < v.size(); ++i) {
        long double lo = v[i], hi = v[i];
        for (std::size_t j = i + 1 - static_cast<std::size_t>(w); j < i; ++j) {
            lo = std::min(lo, v[j]);
            hi = std::max(hi, v[j]);
        }
        out.push_back(hi - lo);
    }
    return out;
}

bool IsIndividualLayout(int layout) { return layout == 1 || layout == 5 || layout == 8 || layout == 12; }

// Dispersion methods that give a process sigma B.
bool SuppliesSigma(int method) {
    return method == Method::KnownStdDev || (method >= Method::AverageMR && method <= Method::AverageVariance);
}
bool HasLocationSE(int method) {
    return method == Method::KnownStdDev || (method >= Method::AverageMR && method <= Method::StdDevOfMedians);
}

// The statistics of one subgroup.
struct Stats {
    long double mean, median, range, sd;
};

Stats SubgroupStats(const double* v, std::size_t n, std::vector<long double>& work) {
    work.assign(v, v + n);
    Stats st{};
    long double sum = 0;
    bool allEqual = true;
    for (auto x : work) {
        sum += x;
        allEqual = allEqual && x == work[0];
    }
    st.mean = allEqual ? work[0] : sum / static_cast<long double>(n);
    const auto [lo, hi] = std::minmax_element(work.begin(), work.end());
    st.range = *hi - *lo;
    st.sd = 0;
    if (n >= 2 && !allEqual) {
        long double ss = 0;
        for (auto x : work) ss += (x - st.mean) * (x - st.mean);
        st.sd = std::sqrt(ss / static_cast<long double>(n - 1));
    }
    st.median = MedianOf(work);
    return st;
}

// Everything that depends only on the set and n.
struct PerN {
    double locSE = Missing;
    double dispCL = Missing, dispUCL = Missing, dispLCL = Missing, dispSE = Missing;
};

}  // namespace

const std::string& VarChartData::CodesOf(int series, int point) const {
    static const std::string none;
    if (series < 0 || series > 1 || point < 1 || point >= static_cast<int>(Codes[series].size())) return none;
    return Codes[series][point];
}

void LoadVarChart(Session& s, const VarChartSetup& setup, const ChartSelection& sel, bool showBreaks,
                  bool showAllPoints, VarChartData& data) {
    SpcContext ctx(s);
    const TVarChartSettings& cs = setup.settings;
    const SubgroupList groups = FormSubgroups(s, setup, sel, showBreaks);
    const int N = static_cast<int>(groups.size());
    const bool individual = IsIndividualLayout(cs.Layout);
    const int locType = cs.LocChartType, dispType = cs.DispChartType;
    const int w = std::clamp(cs.MRSpan, 2, 30);
    const long double k = cs.StdErrors;
    const int savedStatus = s.StatErrorCode;

    ChartArrayType& T = data.table;
    T.Reset(N);
    data.N = N;
    data.RawValues.clear();
    data.sets.clear();
    data.SigmaMethod = 0;

    const long double d2w = D2Factor(ctx, w);
    std::vector<long double> work;
    // ---- point by point ----
    for (int p = 1; p <= N; ++p) {
        const std::size_t i = static_cast<std::size_t>(p - 1);
        const double* v = groups.values.data() + groups.offset[i];
        const std::size_t n = groups.count(i);
        if (showAllPoints) data.RawValues.emplace_back(v, v + n);
        T.at(VarCol::Axis, p) = cs.AxisLabelColumn > 0 ? groups.startRow[i] : p;
        T.at(VarCol::Set, p) = groups.set[i];
        T.at(VarCol::Break, p) = groups.breakAfter[i];
        if (individual) {
            T.at(VarCol::N, p) = 1;
            T.at(VarCol::Mean, p) = v[0];
            if (locType != ChartType::None) T.at(VarCol::Location, p) = v[0];
            T.at(VarCol::StdDev, p) = 0;
            // Moving range of the last w values, never across a set.
            if (p >= w) {
                bool sameSet = true;
                double lo = v[0], hi = v[0];
                for (int j = p - w + 1; j < p && sameSet; ++j) {
                    sameSet = T.at(VarCol::Set, j) == groups.set[i];
                    lo = std::min(lo, T.at(VarCol::Mean, j));
                    hi = std::max(hi, T.at(VarCol::Mean, j));
                }
                if (sameSet) {
                    if (dispType == ChartType::MovingRange) T.at(VarCol::Dispersion, p) = hi - lo;
                    T.at(VarCol::RangeSigma, p) = static_cast<double>((hi - lo) / d2w);
                }
            }
            continue;
        }
        const Stats st = SubgroupStats(v, n, work);
        T.at(VarCol::N, p) = static_cast<double>(n);
        T.at(VarCol::Mean, p) = static_cast<double>(st.mean);
        if (locType == ChartType::Mean) T.at(VarCol::Location, p) = static_cast<double>(st.mean);
        if (locType == ChartType::Median) T.at(VarCol::Location, p) = static_cast<double>(st.median);
        // A single value has no dispersion: it adds nothing to the sigma
        // estimates (R/d2 and s would be 0 and shrink them).
        if (n >= 2) {
            if (dispType == ChartType::Range) T.at(VarCol::Dispersion, p) = static_cast<double>(st.range);
            if (dispType == ChartType::StdDev) T.at(VarCol::Dispersion, p) = static_cast<double>(st.sd);
            if (dispType == ChartType::Variance) T.at(VarCol::Dispersion, p) = static_cast<double>(st.sd * st.sd);
            T.at(VarCol::RangeSigma, p) = static_cast<double>(st.range / D2Factor(ctx, static_cast<long long>(n)));
            T.at(VarCol::StdDev, p) = static_cast<double>(st.sd);
        }
    }
    auto dispPoint = [&](int p) { return individual || T.at(VarCol::N, p) >= 2; };

    // ---- user-defined limits ----
    auto userSE = [&](double ucl, double cl, double lcl) {
        if (Ok(ucl) && Ok(lcl)) return static_cast<double>((ucl - lcl) / (2 * k));
        if (Ok(ucl) && Ok(cl)) return static_cast<double>((ucl - cl) / k);
        if (Ok(cl) && Ok(lcl)) return static_cast<double>((cl - lcl) / k);
        return Missing;
    };
    const bool locOn = locType != ChartType::None, dispOn = dispType != ChartType::None;
    const int locMethod = cs.LocLimitMethod, dispMethod = cs.DispLimitMethod;
    if (locOn && locMethod == Method::UserDefined) {
        const double se = userSE(cs.LocUserUCL, cs.LocUserCL, cs.LocUserLCL);
        for (int p = 1; p <= N; ++p) {
            T.at(VarCol::LocUCL, p) = cs.LocUserUCL;
            T.at(VarCol::LocCL, p) = cs.LocUserCL;
            T.at(VarCol::LocLCL, p) = cs.LocUserLCL;
            T.at(VarCol::LocSE, p) = se;
        }
    }
    if (dispOn && dispMethod == Method::UserDefined) {
        const double se = userSE(cs.DispUserUCL, cs.DispUserCL, cs.DispUserLCL);
        for (int p = 1; p <= N; ++p) {
            if (!dispPoint(p)) continue;
            T.at(VarCol::DispUCL, p) = cs.DispUserUCL;
            T.at(VarCol::DispCL, p) = cs.DispUserCL;
            T.at(VarCol::DispLCL, p) = cs.DispUserLCL;
            T.at(VarCol::DispSE, p) = se;
        }
    }

    // ---- sets: only those present, by sorting; the missing set last ----
    std::vector<int> order(static_cast<std::size_t>(N));
    std::iota(order.begin(), order.end(), 1);
    auto setKey = [&](int p) {
        const double v = T.at(VarCol::Set, p);
        return Ok(v) ? v : std::numeric_limits<double>::infinity();
    };
    auto bySet = [&](int a, int b) { return setKey(a) < setKey(b); };
    if (!std::is_sorted(order.begin(), order.end(), bySet)) std::stable_sort(order.begin(), order.end(), bySet);

    const bool locComputed = locOn && locMethod != Method::UserDefined && locMethod != Method::None;
    const bool dispCentre = dispOn && dispMethod != Method::None && dispMethod != Method::UserDefined;
    const bool dispLimits = dispCentre && dispMethod != Method::CenterlineOnly;
    const long double sigmaKnown = cs.SigmaKnown ? cs.KnownSigma : Missing;
    struct Needs {
        bool J = false, M = false, locMR = false, H = false, dispMR = false, DSD = false;
    } need;
    {
        const int lm = locComputed ? locMethod : -1, dm = dispLimits ? dispMethod : -1;
        const int centre = dispCentre ? cs.DispCenterline : 0;
        const bool rangeLike = dispType == ChartType::Range || dispType == ChartType::MovingRange;
        need.J = lm == Method::MedianMR || lm == Method::MedianRange || dm == Method::MedianMR ||
                 dm == Method::MedianRange || (centre == 5 && rangeLike);
        need.M = lm == Method::MedianStdDev || dm == Method::MedianStdDev || (centre == 5 && !rangeLike);
        need.locMR = lm >= Method::AverageMRofMeans && lm <= Method::MedianMRofMedians;
        need.H = lm == Method::StdDev || lm == Method::StdDevOfMeans || lm == Method::StdDevOfMedians ||
                 dm == Method::StdDev || (individual && (lm == Method::AverageStdDev || dm == Method::AverageStdDev));
        need.dispMR = dm == Method::DispAverageMR || dm == Method::DispMedianMR;
        need.DSD = dm == Method::DispStdDev;
    }
    bool suppliedB = false, anyLocSE = false;

    for (std::size_t a = 0; a < order.size();) {
        std::size_t b = a;
        while (b < order.size() && setKey(order[b]) == setKey(order[a])) ++b;
        std::vector<int> P(order.begin() + static_cast<std::ptrdiff_t>(a), order.begin() + static_cast<std::ptrdiff_t>(b));
        a = b;
        VarChartSetSummary summary;
        summary.set = T.at(VarCol::Set, P.front());
        summary.name = Ok(summary.set) ? FormatGeneral(summary.set) : "Missing";
        summary.points = static_cast<int>(P.size());

        // 1. grand mean
        long double sn = 0, snm = 0;
        for (int p : P) {
            sn += T.at(VarCol::N, p);
            snm += T.at(VarCol::N, p) * static_cast<long double>(T.at(VarCol::Mean, p));
        }
        const double grand = sn >= 1 ? static_cast<double>(snm / sn) : Missing;
        for (int p : P) T.at(VarCol::GrandMean, p) = grand;
        summary.grandMean = grand;

        // The set's series.
        std::vector<long double> col9, sds, locStats, dispStats, sizes;
        long double vNum = 0, vDen = 0, uNum = 0, uDen = 0;
        for (int p : P) {
            const double n = T.at(VarCol::N, p);
            if (Ok(T.at(VarCol::RangeSigma, p))) col9.push_back(T.at(VarCol::RangeSigma, p));
            const double loc = locOn ? T.at(VarCol::Location, p) : T.at(VarCol::Mean, p);
            if (Ok(loc)) locStats.push_back(loc);
            if (Ok(T.at(VarCol::Dispersion, p))) dispStats.push_back(T.at(VarCol::Dispersion, p));
            if (!individual && n >= 2) {
                const long double sd = T.at(VarCol::StdDev, p);
                sds.push_back(sd);
                vNum += n * sd / C4Factor(ctx, static_cast<long long>(n));
                vDen += n;
                uNum += sd * sd * (n - 1);
                uDen += n - 1;
                sizes.push_back(n);
            }
        }
        // 2. location centerline
        double locCL = Missing;
        if (locComputed || (locOn && locMethod == Method::CenterlineOnly)) {
            if (cs.MeanKnown) locCL = cs.KnownMean;
            else if (cs.LocCenterline == 2) locCL = locStats.empty() ? Missing : static_cast<double>(MedianOf(locStats));
            else locCL = grand;
        }
        // 3. sigma aggregates
        // Only the aggregates the chosen methods and centerlines use.
        const long double K = MeanOf(col9);
        const long double J = need.J ? MedianOf(col9) : Missing;
        const long double V = vDen > 0 ? vNum / vDen : Missing;
        const long double M = need.M ? MedianOf(sds) : Missing;
        const long double U = uDen > 0 ? uNum / uDen : Missing;
        const auto locMR = need.locMR ? MovingRanges(locStats, w) : std::vector<long double>{};
        const long double AMR = MeanOf(locMR), MMR = need.locMR ? MedianOf(locMR) : Missing;
        const long double H = need.H ? StdDevOf(locStats) : Missing;
        const auto dispMR = need.dispMR ? MovingRanges(dispStats, w) : std::vector<long double>{};
        const long double DAMR = dispMR.empty() ? Missing : MeanOf(dispMR) / d2w;
        const long double DMMR = dispMR.empty() ? Missing : MedianOf(dispMR) / MedianRangeFactor(ctx, w);
        const long double DSD = need.DSD ? StdDevOf(dispStats) : Missing;
        const long long nTilde = sizes.empty() ? 0 : std::llround(static_cast<double>(MedianOf(sizes)));
        auto ok = [](long double x) { return x != Missing; };

        // A method's process sigma for subgroups of n (n = 1: the set's
        // estimate at the median size).
        auto methodSigma = [&](int method, long long n) -> long double {
            const long long m = n >= 2 ? n : nTilde;
            switch (method) {
                case Method::KnownStdDev: return sigmaKnown;
                case Method::AverageMR:
                case Method::AverageRange: return K;
                case Method::MedianMR:
                    return ok(J) ? J * d2w / MedianRangeFactor(ctx, w) : Missing;
                case Method::MedianRange:
                    if (individual) return ok(J) ? J * d2w / MedianRangeFactor(ctx, w) : Missing;
                    return ok(J) && m >= 2 ? J * D2Factor(ctx, m) / MedianRangeFactor(ctx, m) : Missing;
                case Method::StdDev: return H;
                case Method::AverageStdDev: return individual ? H : V;
                case Method::MedianStdDev:
                    return !individual && ok(M) && m >= 2 ? SigmaFromMedianStdDev(ctx, m, M) : Missing;
                case Method::AverageVariance: return !individual && ok(U) ? std::sqrt(U) : Missing;
                default: return Missing;
            }
        };
        auto locSEof = [&](long long n) -> long double {
            switch (locMethod) {
                case Method::AverageMRofMeans:
                case Method::AverageMRofMedians: return ok(AMR) ? AMR / d2w : Missing;
                case Method::MedianMRofMeans:
                case Method::MedianMRofMedians: return ok(MMR) ? MMR / MedianRangeFactor(ctx, w) : Missing;
                case Method::StdDevOfMeans:
                case Method::StdDevOfMedians: return H;
                default: break;
            }
            const long double sigma = methodSigma(locMethod, n);
            if (!ok(sigma)) return Missing;
            if (locType == ChartType::X || n < 2) return sigma;
            if (locType == ChartType::Mean) return sigma / std::sqrt(static_cast<long double>(n));
            return MedianSDFactor(ctx, n, sigma);
        };
        // B of the dispersion method for the whole set.
        long double B = Missing;
        if (dispLimits && SuppliesSigma(dispMethod)) B = methodSigma(dispMethod, nTilde);

        std::map<long long, PerN> perN;
        std::map<long long, int> firstOfSize;
        auto compute = [&](long long n) {
            PerN r;
            const bool single = !individual && n < 2;
            if (locOn && HasLocationSE(locMethod)) {
                const long double se = locSEof(n);
                if (ok(se)) r.locSE = static_cast<double>(se);
            }
            if (dispCentre && !single) {
                const long long dn = dispType == ChartType::MovingRange ? w : n;
                const int centre = cs.DispCenterline;
                long double cl = Missing;
                switch (dispType) {
                    case ChartType::Range:
                    case ChartType::MovingRange: {
                        const long double d2 = D2Factor(ctx, dn);
                        cl = centre == 6 ? (ok(sigmaKnown) ? sigmaKnown * d2 : Missing)
                             : centre == 5 ? (ok(J) ? J * d2 : Missing)
                                           : (ok(K) ? K * d2 : Missing);
                        break;
                    }
                    case ChartType::StdDev:
                        cl = centre == 6 ? (ok(sigmaKnown) ? sigmaKnown * C4Factor(ctx, n) : Missing)
                             : centre == 5 ? M
                                           : (ok(V) ? V * C4Factor(ctx, n) : Missing);
                        break;
                    case ChartType::Variance:
                        cl = centre == 6 ? (ok(sigmaKnown) ? sigmaKnown * sigmaKnown : Missing)
                             : centre == 5 ? (ok(M) ? M * M : Missing)
                                           : U;
                        break;
                }
                if (ok(cl)) r.dispCL = static_cast<double>(cl);
                if (dispLimits) {
                    if (SuppliesSigma(dispMethod)) {
                        if (ok(B) && B > 0) {
                            long double o = 0, t = 0;
                            bool sym = true;
                            if (dispType == ChartType::Variance) {
                                sym = false;
                                long double centreOut = 0, ucl = 0, lcl = 0, sigma = 0;
                                const int saved = s.StatErrorCode;
                                ControlLimits(ctx, ChartVariance, 6, centreOut, B, k, static_cast<long double>(n), ucl,
                                              lcl, sigma);
                                s.StatErrorCode = saved;
                                r.dispUCL = static_cast<double>(ucl);
                                r.dispLCL = static_cast<double>(lcl);
                                if (Ok(r.dispCL)) r.dispSE = static_cast<double>((ucl - r.dispCL) / k);
                            } else if (dispType == ChartType::StdDev) {
                                const long double c4 = C4Factor(ctx, n);
                                o = B * c4;
                                t = B * std::sqrt(1 - c4 * c4);
                            } else {
                                o = B * D2Factor(ctx, dn);
                                t = D3Factor(ctx, dn) * B;
                            }
                            if (sym) {
                                r.dispUCL = static_cast<double>(o + k * t);
                                const long double lcl = o - k * t;
                                if (lcl > 0) r.dispLCL = static_cast<double>(lcl);
                                r.dispSE = static_cast<double>(t);
                            }
                        }
                    } else {
                        const long double t = dispMethod == Method::DispAverageMR  ? DAMR
                                              : dispMethod == Method::DispMedianMR ? DMMR
                                              : dispMethod == Method::DispStdDev   ? DSD
                                                                                   : Missing;
                        if (ok(t) && Ok(r.dispCL)) {
                            r.dispUCL = static_cast<double>(r.dispCL + k * t);
                            const long double lcl = r.dispCL - k * t;
                            if (lcl > 0) r.dispLCL = static_cast<double>(lcl);
                            r.dispSE = static_cast<double>(t);
                        }
                    }
                }
            }
            return r;
        };

        for (int p : P) {
            const long long n = individual ? 1 : static_cast<long long>(T.at(VarCol::N, p));
            auto it = perN.find(n);
            if (it == perN.end()) {
                it = perN.emplace(n, compute(n)).first;
                firstOfSize.emplace(n, p);
            }
            const PerN& r = it->second;
            if (locComputed || (locOn && locMethod == Method::CenterlineOnly)) T.at(VarCol::LocCL, p) = locCL;
            if (locComputed && Ok(r.locSE)) {
                T.at(VarCol::LocSE, p) = r.locSE;
                if (Ok(locCL)) {
                    const double W = static_cast<double>(k * r.locSE);
                    T.at(VarCol::LocUCL, p) = locCL + W;
                    const double lcl = locCL - W;
                    T.at(VarCol::LocLCL, p) = cs.PositiveLimitsOnly && lcl < 0 ? Missing : lcl;
                }
            }
            if (dispCentre && dispPoint(p)) {
                T.at(VarCol::DispCL, p) = r.dispCL;
                T.at(VarCol::DispUCL, p) = r.dispUCL;
                T.at(VarCol::DispLCL, p) = r.dispLCL;
                T.at(VarCol::DispSE, p) = r.dispSE;
            }
            // Process sigma.
            if (ok(B) && B > 0) {
                T.at(VarCol::ProcessSigma, p) = static_cast<double>(B);
                suppliedB = true;
            } else if (Ok(T.at(VarCol::LocSE, p)) && locOn) {
                const double se = T.at(VarCol::LocSE, p);
                double sigma = se;
                if (n >= 2 && locType == ChartType::Mean) sigma = static_cast<double>(se * std::sqrt(static_cast<long double>(n)));
                // A median's standard error is MedianSDFactor(n, sigma).
                if (n >= 2 && locType == ChartType::Median) sigma = static_cast<double>(se / MedianSDFactor(ctx, n, 1.0L));
                T.at(VarCol::ProcessSigma, p) = sigma;
                anyLocSE = true;
            }
        }
        for (const auto& [n, p] : firstOfSize) {
            VarChartSizeLimits lim;
            lim.n = n;
            lim.locLCL = T.at(VarCol::LocLCL, p);
            lim.locCL = T.at(VarCol::LocCL, p);
            lim.locUCL = T.at(VarCol::LocUCL, p);
            lim.locSE = T.at(VarCol::LocSE, p);
            lim.dispLCL = T.at(VarCol::DispLCL, p);
            lim.dispCL = T.at(VarCol::DispCL, p);
            lim.dispUCL = T.at(VarCol::DispUCL, p);
            lim.dispSE = T.at(VarCol::DispSE, p);
            lim.sigma = T.at(VarCol::ProcessSigma, p);
            summary.sizes.push_back(lim);
        }
        data.sets.push_back(std::move(summary));
    }
    data.SigmaMethod = suppliedB ? dispMethod : anyLocSE ? locMethod : 0;
    s.StatErrorCode = savedStatus;

    // ---- tests for statistical control ----
    data.Codes[0] = RunControlTests(s.ControlTests, T, N,
                                    TestSeries{VarCol::Location, VarCol::LocLCL, VarCol::LocCL, VarCol::LocUCL,
                                               VarCol::LocSE, VarCol::Set, VarCol::Break, false});
    data.Codes[1] = RunControlTests(s.ControlTests, T, N,
                                    TestSeries{VarCol::Dispersion, VarCol::DispLCL, VarCol::DispCL, VarCol::DispUCL,
                                               VarCol::DispSE, VarCol::Set, VarCol::Break,
                                               dispType == ChartType::MovingRange});

    // ---- column extremes, breaks, labels ----
    for (int c = 1; c <= 8; ++c) {
        double lo = Missing, hi = Missing;
        for (int p = 1; p <= N; ++p) {
            const double x = T.at(c, p);
            if (!Ok(x)) continue;
            if (!Ok(lo) || x < lo) lo = x;
            if (!Ok(hi) || x > hi) hi = x;
        }
        T.at(c, N + 1) = lo;
        T.at(c, N + 2) = hi;
    }
    data.NB = 0;
    for (int p = 1; p <= N; ++p)
        if (T.at(VarCol::Break, p) == 1) ++data.NB;
    for (auto& l : data.Labels) l.resize(static_cast<std::size_t>(N + data.NB + 1));
}

}  // namespace amx
