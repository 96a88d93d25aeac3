#pragma once
// The numeric floor of the statistical engine: log-gamma, log-factorials,
// incomplete gamma and beta functions, a guarded power, a few elementary
// functions and the engine's error report. All arithmetic is 80-bit extended
// precision (long double).
#include <limits>
#include <span>
#include <string>

namespace amx {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the engine computes in 80-bit extended precision");

struct CommonState;
struct EngineState;

// StatErrorCode values written by the engine.
inline constexpr int StatOk = 0;
inline constexpr int StatOutOfRange = 1;
inline constexpr int StatNoData = 2;
inline constexpr int StatIterationFailed = 10;
inline constexpr int StatBetaArgument = 99;

// Sets StatErrorCode to 10 and shows the warning
// "Error in Statistical Routine " + suffix (e.g. "- GSER routine").
void StatError(CommonState& cs, const std::string& suffix);

// ln Γ(x) for x > 0; 0 for x <= 0.
long double GammLn(long double x);

// ln(n!) for a whole n >= 0 (rounded half to even); table lookup up to 300.
long double FactLn(EngineState& es, long double n);

// ln C(n, k) for 0 <= k <= n.
long double LnBinomCoef(long long n, long long k);

// Regularized lower incomplete gamma P(a, x) by its series; gln := ln Γ(a).
void GSer(CommonState& cs, long double& gamser, long double& gln, long double a, long double x);
// Regularized upper incomplete gamma Q(a, x) by its continued fraction; gln := ln Γ(a).
void GCF(CommonState& cs, long double& gammcf, long double& gln, long double a, long double x);
// Regularized lower incomplete gamma P(a, x); 0 with a warning for x < 0 or a <= 0.
long double GammP(CommonState& cs, long double a, long double x);
// Regularized upper incomplete gamma Q(a, x) = 1 - P(a, x), accurate when small;
// 1 with a warning for x < 0 or a <= 0.
long double GammQ(CommonState& cs, long double a, long double x);

// The continued fraction of the incomplete beta function used by BetaI.
long double BetaCF(CommonState& cs, long double a, long double b, long double x);
// Regularized incomplete beta I_x(a, b); StatErrorCode 99 and 0 for x outside [0, 1].
long double BetaI(CommonState& cs, long double a, long double b, long double x);
// 1 - I_x(a, b) = I_{1-x}(b, a), accurate when small; StatErrorCode 99 and 0
// for x outside [0, 1].
long double BetaIUpper(CommonState& cs, long double a, long double b, long double x);

// Both regularized incomplete gamma functions, p = P(a, x) and q = Q(a, x),
// the smaller of the two computed directly so each keeps full relative
// accuracy far into its tail. Needs a > 0, x >= 0 (checked by callers).
// Returns false (after StatError) when the series or fraction did not converge.
bool IncompleteGammaPQ(CommonState& cs, long double a, long double x, long double& p,
                       long double& q);
// Both regularized incomplete beta functions, w = I_x(a, b) and w1 = 1 - w,
// from x and its complement y = 1 - x given separately (so callers keep the
// digits of whichever is small). Needs a, b > 0, x, y in [0, 1].
bool IncompleteBetaPair(CommonState& cs, long double a, long double b, long double x,
                        long double y, long double& w, long double& w1);

// base^exponent with guards: 0^0 = 1, negative base with a fractional
// exponent = 0, overflow = 1.1e4932, underflow = 0.
long double PowerX(long double base, long double exponent);

long double FisherZ(long double x);
long double InvFisherZ(long double z);
long double SinhX(long double x);
long double ArcSinhX(long double x);
// 0 for x < 1.
long double ArcCoshX(long double x);
// +1 for x >= 0, else -1.
long double SignX(long double x);
// 99 for x <= 0.
long double Log10X(long double x);
long double Pow10(int n);
long double MinX(long double a, long double b);
long double MaxX(long double a, long double b);
int MinI(int a, int b);
int MaxI(int a, int b);

// Sample variance (sumSq - sum²/n)/(n - 1); 0 when n <= 1.
long double VarFromSums(long long n, long double sumSq, long double sum);
// Its square root; 0 when n <= 1 or the quotient is negative.
long double StdDevFromSums(long long n, long double sumSq, long double sum);

// c[0] + x(c[1] + x(c[2] + … + x·c[d])); c must hold d + 1 coefficients.
long double PolyValue(std::span<const long double> c, int d, long double x);

}  // namespace amx
