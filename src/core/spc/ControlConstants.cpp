#include "spc/ControlConstants.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "engine/descriptive/RangeOfTwo.h"

namespace amx {

namespace {

// Index n - 2 for n = 2 ... 30. d2 and d3 as tabulated for the range of
// normal samples (Harter 1960); the median of the range from the same
// distribution; the variance of the median of n standard normal values
// (n <= 20 only).
constexpr std::array<double, 29> D2Table = {
    MeanRangeOfTwo, 1.69257, 2.05875, 2.32593, 2.53441, 2.70436, 2.8472,  2.97003,
    3.07751, 3.17287, 3.25846, 3.33598, 3.40676, 3.47183, 3.53198, 3.58788,
    3.64006, 3.68896, 3.73495, 3.77834, 3.81938, 3.85832, 3.89535, 3.93063,
    3.96432, 3.99654, 4.02741, 4.05704, 4.08552};
constexpr std::array<double, 29> D3Table = {
    0.8525, 0.8884, 0.8798, 0.8641, 0.848,  0.8332, 0.8198, 0.8078, 0.7971, 0.7873,
    0.7785, 0.7704, 0.763,  0.7562, 0.7499, 0.7441, 0.7386, 0.7335, 0.7287, 0.7242,
    0.7199, 0.7159, 0.7121, 0.7084, 0.705,  0.7017, 0.6986, 0.6955, 0.6927};
constexpr std::array<double, 29> MedianRangeTable = {
    MedianRangeOfTwo, 1.5878, 1.9783, 2.2569, 2.4717, 2.6455, 2.7908, 2.9154, 3.0242, 3.1205,
    3.2069, 3.285,  3.3562, 3.4217, 3.4821, 3.5383, 3.5907, 3.6398, 3.6859, 3.7294,
    3.7706, 3.8097, 3.8468, 3.8821, 3.9159, 3.9482, 3.9791, 4.0088, 4.0373};
constexpr int MedianVarianceTableMax = 20;
constexpr std::array<double, 19> MedianVarianceTable = {
    0.5,          0.4486711046,  0.2981996185, 0.2868336616,  0.2147426666,
    0.2104468615, 0.1681808552,  0.1661012814, 0.1383264359,  0.1371624335,
    0.1175161871, 0.116798995,   0.1021678368, 0.1016946521,  0.0903752113,
    0.0900465814, 0.0810285101,  0.0807909751, 0.0734370277};
// d2* for g = 1..4 ranges (rows) of m = 2..4 values (columns), as used in
// gauge studies (Duncan 1955).
constexpr double D2StarTable[4][3] = {
    {1.41, 1.91, 2.24}, {1.28, 1.81, 2.15}, {1.23, 1.77, 2.12}, {1.21, 1.75, 2.11}};

constexpr long double Sqrt2 = 1.414213562373095048801688724209698L;
constexpr long double Pi = 3.141592653589793238462643383279503L;

// P(Z > x) for a standard normal Z.
long double UpperNormal(long double x) { return 0.5L * std::erfc(x / Sqrt2); }

bool TooSmall(SpcContext ctx, long long n) {
    if (n >= 2) return false;
    ctx.common.StatErrorCode = 1;
    return true;
}

// 1 - (1 - q)^n without losing the digits of a tiny q.
long double OneMinusPowComplement(long double q, long long n) {
    return -std::expm1(static_cast<long double>(n) * std::log1p(-q));
}

// d2(n) = 2 * integral over (0, inf) of 1 - Phi(x)^n - (1 - Phi(x))^n, the
// expected range (Tippett 1925). The integrand is even in x, so the trapezoid
// rule on the half line is accurate far beyond its usual second order.
long double IntegrateD2(long long n) {
    constexpr long double h = 0.03L;
    auto f = [n](long double x) {
        long double q = UpperNormal(x);
        return OneMinusPowComplement(q, n) - std::pow(q, static_cast<long double>(n));
    };
    long double previous = f(0.0L);
    long double sum = 0.0L;
    for (int i = 1; i < 100000; ++i) {
        long double current = f(h * i);
        long double panel = h * (previous + current) / 2.0L;
        sum += panel;
        if (panel < 1e-20L) break;
        previous = current;
    }
    return 2.0L * sum;
}

// Var(W) = E(W^2) - d2^2 with
//   E(W^2) = 2 * double integral over x < y of
//            1 - Phi(y)^n - (1 - Phi(x))^n + (Phi(y) - Phi(x))^n,
// taken by the trapezoid rule on a 0.01 grid over [-L, L] with Phi read from
// a table at the grid points (Harter 1960, the second moment of the range).
// L is 6, widened for large n until n values seldom reach past it
// (n * Q(L) <= 1e-9): with L fixed at 6, d3 would be 0.1% low at n = 65535
// and 3% low at n = 10^6.
long double IntegrateD3(RangeConstantsCache& cache, long long n, long double d2) {
    constexpr long double h = 0.01L;
    const long double nn = static_cast<long double>(n);
    int Half = 600;  // grid points on each side of 0
    while (nn * UpperNormal(h * Half) > 1e-9L && Half < 4000) Half += 10;
    const int Nodes = 2 * Half + 1;  // x = -L, ..., L
    if (static_cast<int>(cache.normalTable.size()) < Half + 2) {
        size_t from = cache.normalTable.size();
        cache.normalTable.resize(std::max<size_t>(602, Half + 2));
        for (size_t i = from; i < cache.normalTable.size(); ++i)
            cache.normalTable[i] = i == 0 ? 0.5L : UpperNormal(0.01L * static_cast<long double>(i));
    }
    const auto& T = cache.normalTable;
    std::vector<long double> F(Nodes), U(Nodes), topTail(Nodes), bottomPow(Nodes);
    for (int j = 0; j < Nodes; ++j) {
        int offset = j - Half;
        long double t = T[offset < 0 ? -offset : offset];
        F[j] = offset >= 0 ? 1.0L - t : t;  // Phi(x_j)
        U[j] = offset >= 0 ? t : 1.0L - t;  // 1 - Phi(x_j)
        topTail[j] = OneMinusPowComplement(U[j], n);  // 1 - Phi^n
        bottomPow[j] = std::pow(U[j], nn);            // (1 - Phi)^n
    }
    // (Phi(y) - Phi(x))^n is below e^-60 for differences under this, and
    // most of the triangle lies there: skipping the power keeps the integral
    // quick without changing a printed digit.
    const long double negligible = std::exp(-60.0L / nn);
    auto g = [&](int i, int j) {
        // Phi(y) - Phi(x), from whichever side keeps its digits.
        long double d = F[j] <= 0.5L ? F[j] - F[i] : U[i] - U[j];
        // The grid error of the rule (about 1e-5) dwarfs double rounding,
        // and the double power is many times quicker.
        long double dn = d > negligible ? std::pow(static_cast<double>(d), static_cast<double>(n)) : 0.0;
        return topTail[j] - bottomPow[i] + dn;
    };
    long double outer = 0.0L;
    for (int j = 1; j < Nodes; ++j) {
        long double inner = (g(0, j) + g(j, j)) / 2.0L;
        for (int i = 1; i < j; ++i) inner += g(i, j);
        inner *= h;
        outer += (j == Nodes - 1) ? inner / 2.0L : inner;
    }
    long double S = outer * h;
    long double variance = 2.0L * S - d2 * d2;
    return variance > 0.0L ? std::sqrt(variance) : 0.0L;
}

// Variance of the median of n standard normal values. Odd n = 2m + 1: the
// second moment of the order statistic X(m+1). Even n = 2m: the median is
// (X(m) + X(m+1))/2 and, X(m) and -X(m+1) having one distribution,
//   Var = [E X(m)² + E X(m)X(m+1)] / 2,
//   E X(m)X(m+1) = n!/((m-1)!)² ∫ y φ(y) (1-Φ(y))^(m-1) G(y) dy,
//   G(y) = ∫_{-∞}^y x Φ(x)^(m-1) φ(x) dx
// (the joint density of adjacent order statistics; David and Nagaraja, Order
// Statistics, 3rd ed., 2.2). On a grid of step h scaled to the spread of the
// median, the outer integrals are trapezoid sums of smooth, fast-decaying
// integrands and G is accumulated panel by panel; Richardson extrapolation
// from steps h and h/2 removes the h² error of the accumulation.
long double MedianVarianceOnGrid(long long n, long double h, long double L) {
    const long double nn = static_cast<long double>(n);
    const long long m = n / 2;
    const bool odd = n % 2 == 1;
    // ln of the order statistic's density X(r): n!/((r-1)!(n-r)!) Φ^(r-1) (1-Φ)^(n-r) φ.
    const long long r = odd ? m + 1 : m;
    const long double lnC = std::lgamma(nn + 1.0L) - std::lgamma(static_cast<long double>(r)) -
                            std::lgamma(nn - r + 1.0L);
    const long double lnJoint = std::lgamma(nn + 1.0L) - 2.0L * std::lgamma(static_cast<long double>(m));
    constexpr long double LnSqrt2Pi = 0.918938533204672741780329736405617639861L;
    const int N = static_cast<int>(std::ceil(L / h));
    long double second = 0.0L, cross = 0.0L, G = 0.0L, previousInner = 0.0L;
    for (int i = -N; i <= N; ++i) {
        const long double x = h * i;
        const long double lnPhi = -0.5L * x * x - LnSqrt2Pi;
        const long double lower = UpperNormal(-x), upper = UpperNormal(x);  // Φ(x), 1 - Φ(x)
        const long double lnLower = std::log(lower), lnUpper = std::log(upper);
        second += x * x * std::exp(lnC + (r - 1) * lnLower + (nn - r) * lnUpper + lnPhi);
        if (!odd) {
            const long double inner = x * std::exp((m - 1) * lnLower + lnPhi);
            if (i > -N) G += h * (previousInner + inner) / 2.0L;
            previousInner = inner;
            cross += x * std::exp(lnJoint + lnPhi + (m - 1) * lnUpper) * G;
        }
    }
    second *= h;
    cross *= h;
    return odd ? second : (second + cross) / 2.0L;
}

long double IntegrateMedianVariance(long long n) {
    // The median's standard deviation is near √(π/(2n)); 14 of them reach
    // past any digit that matters, but never beyond where Φ is resolved.
    const long double spread = std::sqrt(Pi / (2.0L * static_cast<long double>(n)));
    const long double L = std::min(9.0L, 14.0L * spread + 1.0L);
    const long double h = spread / 160.0L;
    const long double coarse = MedianVarianceOnGrid(n, h, L);
    const long double fine = MedianVarianceOnGrid(n, h / 2.0L, L);
    return fine + (fine - coarse) / 3.0L;
}

}  // namespace

long double D2Factor(SpcContext ctx, long long n) {
    if (TooSmall(ctx, n)) return 0.0L;
    if (n <= ConstantTableMax) return D2Table[n - 2];
    auto& cache = ctx.spc.RangeConstants.d2;
    auto it = cache.find(n);
    if (it != cache.end()) return it->second;
    double value = static_cast<double>(IntegrateD2(n));
    cache.emplace(n, value);
    return value;
}

long double D3Factor(SpcContext ctx, long long n) {
    if (TooSmall(ctx, n)) return 0.0L;
    if (n <= ConstantTableMax) return D3Table[n - 2];
    auto& cache = ctx.spc.RangeConstants.d3;
    auto it = cache.find(n);
    if (it != cache.end()) return it->second;
    long double value = IntegrateD3(ctx.spc.RangeConstants, n, D2Factor(ctx, n));
    cache.emplace(n, value);
    return value;
}

long double MedianRangeFactor(SpcContext ctx, long long n) {
    if (TooSmall(ctx, n)) return 0.0L;
    if (n <= ConstantTableMax) return MedianRangeTable[n - 2];
    // A polynomial in d2 fitted to the median range beyond the table; it meets
    // the table at n = 30.
    long double d = D2Factor(ctx, n);
    long double value = ((((1.5678783e-5L * d - 0.00052043421L) * d + 0.006798329575L) * d -
                          0.043371568875L) * d + 1.135844528837L) * d - 0.215703930721L;
    return static_cast<double>(value);
}

long double C4Factor(SpcContext ctx, long long n) {
    if (TooSmall(ctx, n)) return 0.0L;
    long double m = static_cast<long double>(n);
    long double value = std::exp(0.5L * std::log(2.0L / (m - 1.0L)) + std::lgamma(m / 2.0L) -
                                 std::lgamma((m - 1.0L) / 2.0L));
    return static_cast<double>(value);
}

double MedianSDFactor(SpcContext ctx, long long n, long double x) {
    if (TooSmall(ctx, n)) return 0.0;
    if (n <= MedianVarianceTableMax)
        return static_cast<double>(x * std::sqrt(static_cast<long double>(MedianVarianceTable[n - 2])));
    // The variance depends on n alone: one process-wide cache (the
    // calculations run on the interface thread only).
    static std::map<long long, long double> cache;
    auto it = cache.find(n);
    if (it == cache.end()) it = cache.emplace(n, IntegrateMedianVariance(n)).first;
    return static_cast<double>(x * std::sqrt(it->second));
}

double D2StarFactor(SpcContext ctx, long long g, long long m, long long loadedCount) {
    if (TooSmall(ctx, m)) return 0.0;
    if (g < 1) {
        ctx.common.StatErrorCode = 1;
        return 0.0;
    }
    if (m < 5 && g < 5) return D2StarTable[g - 1][m - 2];
    long double d2 = D2Factor(ctx, m);
    if (g >= 15 || loadedCount >= 16) return static_cast<double>(d2);
    long double r = D3Factor(ctx, m) / d2;
    return static_cast<double>(d2 * (1.0L + (std::sqrt(1.0L + 2.0L * r * r / g) - 1.0L) / 2.0L));
}

}  // namespace amx
