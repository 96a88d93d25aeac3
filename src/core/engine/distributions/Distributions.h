#pragma once
// Continuous distributions of the statistical engine: standard normal,
// Student's t, chi-square and F tails and inverses, the noncentral F power,
// the studentized range, z and t test p-values, the normal random generator
// and the p-value texts of the reports.
//
// tails: 2 = two-tailed, any other value = one-tailed (upper tail).
// alternative: 0 = two-sided, 1 = lower ("less than"), 2 = upper ("greater than").
// Probability arguments of the inverses are clamped to [1e-9, 1 - 1e-9]
// (normal, t, chi-square) or [1e-8, 1 - 1e-8] (F).
#include <cmath>
#include <string>

#include "common/Sentinels.h"
#include "engine/distributions/RandomGenerator.h"

namespace amx {

struct CommonState;
struct EngineState;

// Kinds of InverseRefine.
inline constexpr int RefineNormal = 1;
inline constexpr int RefineT = 2;
inline constexpr int RefineChiSq = 3;
inline constexpr int RefineF = 4;
inline constexpr int RefineNormalSeries = 5;

// tails = 2: 2p, and 2 - 2p when 2p > 1; otherwise p.
long double FoldTails(int tails, long double p);
// p := |p|; tails = 2: p := p/2 when p <= 0.5, else (p + 1)/2.
void ToUpperTail(long double& p, int tails);

// Standard normal tail: P(Z > z) (tails 1) or P(|Z| > |z|) (tails 2).
long double NormalTail(int tails, long double z);
long double NormalTailSeries(int tails, long double z);
// z whose tail probability is p (after ToUpperTail).
long double InvNormal(int tails, long double p);
long double InvNormalSeries(int tails, long double p);

// Student's t: P(T > |t|) (tails 1) or P(|T| > |t|) (tails 2); any df > 0.
long double TTail(CommonState& cs, int tails, long double df, long double t);
// t value for probability p; 0 for df < 1.
long double InvT(CommonState& cs, int tails, long double df, long double p);

// Chi-square upper tail P(X > x); two-tailed 2·min(P, 1 - P). 1 for x <= 0 or df < 1.
long double ChiSqTail(CommonState& cs, int tails, long double df, long double x);
// x whose upper tail is p; 0 for df <= 0.
long double InvChiSq(CommonState& cs, int tails, long double df, long double p);

// F upper tail P(F > f); two-tailed 2·min(P, 1 - P).
long double FTail(CommonState& cs, int tails, long double df1, long double df2, long double f);
// f whose upper tail is p.
long double InvF(CommonState& cs, int tails, long double df1, long double df2, long double p);

// Newton refinement with bracketing of x so that the upper tail of the given
// kind equals target.
void InverseRefine(CommonState& cs, long double& x, int kind, long double target,
                   long double df1 = 0.0L, long double df2 = 0.0L);

// P(F' > f) for noncentral F with df1, df2 and noncentrality lambda (power).
long double NoncentralFPower(CommonState& cs, int df1, int df2, long double lambda, long double f);

// Upper tail P(Q > q) of the studentized range of r means with v df
// (v > 120 treated as infinite). r < 2: 0 with StatErrorCode 1; v < 1 or q <= 0: 0.
long double StudentizedRangeProb(CommonState& cs, int v, int r, long double q);
// q with StudentizedRangeProb(v, r, q) = p; 0 for p <= 0, p >= 1, r <= 0 or v < 1.
long double StudentizedRangeInv(CommonState& cs, int v, int r, long double p);

// p-value of a z statistic for the alternative.
void ZTestP(long double& p, int alternative, long double z);
// p-value of a t statistic with df degrees of freedom for the alternative.
void TTestP(CommonState& cs, long double& p, int alternative, long double df, long double t);
// Paired t test of two means from correlated samples (n pairs, n - 1 df);
// t = 0, p = 999 when the differences have no spread or n <= 0; p = 999 for n <= 1.
void CorrelatedMeansT(CommonState& cs, int alternative, long double& t, long double& p,
                      long double mean1, long double mean2, long double s1, long double s2,
                      long double r, long double n);

// One standard normal deviate (polar method, one deviate cached in the state).
long double GaussRandom(EngineState& es);

// The polar method of Marsaglia and Bray (SIAM Review 6, 1964) on any source
// of uniforms on [0, 1); the spare deviate is kept in st. A pair with s = 0
// (both uniforms exactly ½) is drawn again, like s >= 1: ln(0)/0 has no value.
template <class Uniform>
long double PolarGauss(RandomState& st, Uniform&& uniform) {
    if (st.gaussCached) {
        st.gaussCached = false;
        return st.gaussValue;
    }
    long double u, w, s;
    do {
        u = 2.0L * static_cast<long double>(uniform()) - 1.0L;
        w = 2.0L * static_cast<long double>(uniform()) - 1.0L;
        s = u * u + w * w;
    } while (s >= 1.0L || s == 0.0L);
    const long double m = std::sqrt(-2.0L * std::log(s) / s);
    st.gaussValue = u * m;
    st.gaussCached = true;
    return w * m;
}
long double NormalRandom(EngineState& es, long double mean, long double sd);

// p with 3 decimals, "*" appended when p <= alpha.
void PStarText(std::string& text, long double alpha, long double p);
// "   p = " + p with 3 decimals, "*" appended when p <= alpha.
void PEqualsText(std::string& text, long double alpha, long double p);
// p with 3 decimals followed by "*" when p <= alpha, else by " ".
void PCellText(std::string& text, long double alpha, long double p);

}  // namespace amx
