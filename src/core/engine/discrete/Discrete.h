#pragma once
// Binomial, Poisson and hypergeometric probabilities and the exact tests and
// intervals built on them: Fisher's exact test of a 2x2 table, the sign test,
// the binomial test, the Clopper-Pearson interval of a proportion, the exact
// interval of a Poisson rate and the comparison of two Poisson rates.
//
// Probabilities are floored at 0 and capped at 1; tails keep their relative
// accuracy far out (down to the extended range, about 1e-4900).
// alternative: 0 = two-sided, 1 = lower, 2 = upper.

namespace amx {

struct CommonState;

// P(X = k), X ~ Binomial(n, p). StatErrorCode := 0 on entry, 1 for n < 0 or p
// outside [0, 1] (the result is then 0).
long double BinomProb(CommonState& cs, long long k, long long n, long double p);
// P(X >= k) (1 for k <= 0, 0 for k > n).
long double BinomAtLeast(CommonState& cs, long long k, long long n, long double p);
// P(X >= k) as the incomplete beta I_p(k, n - k + 1); for whole counts the two
// are the same number.
long double BinomAtLeastBeta(CommonState& cs, long long k, long long n, long double p);
// P(X <= k).
long double BinomAtMost(CommonState& cs, long long k, long long n, long double p);

// P(X = k), X ~ Poisson(lambda); k is rounded to the nearest whole number.
long double PoissonProb(long double k, long double lambda);
// P(X >= round(x)); 1 when x < 1.
long double PoissonAtLeast(long double lambda, long double x);
// P(X <= round(x)) for x >= 1, P(X = 0) for 0 <= x < 1, 0 for x < 0.
long double PoissonAtMost(long double lambda, long double x);

// P(X = k) for a sample of n from N items of which round(p·N) are marked; 0
// outside the support. lnTotal is ln C(N, n): pass 0 on the first call and
// keep what it returns for the following terms.
long double HyperProb(long long k, long long n, long long N, long double p, long double& lnTotal);
// P(X >= k).
long double HyperAtLeast(long long k, long long n, long long N, long double p);

// Fisher's exact test for successes x1, x2 and failures f1, f2 of two samples
// (cells rounded to whole numbers); 999 for an empty sample or margin or more
// than 10,000,000 observations. Two-sided tables are ordered by the distance
// between the success proportions.
void FisherExactP(int alternative, long double& p, long double x1, long double x2,
                  long double f1, long double f2);
void SignTestP(CommonState& cs, long long a, long long b, int alternative, long double& p);
// Exact test of k successes in n trials against p0 (two-sided: twice the
// smaller tail, capped at 1).
void BinomTestP(CommonState& cs, long long k, long long n, long double& p, int alternative,
                long double p0);
// Clopper-Pearson interval of the proportion phat of n.
void ProportionCI(CommonState& cs, long double& lower, long double& upper, long double alpha,
                  long long n, long double phat);
// Exact interval of a Poisson rate: count events in units; 999 for units <= 0.
void PoissonRateCI(CommonState& cs, long double& lower, long double& upper, long double alpha,
                   long double units, long double count);
// z test of two Poisson rates c1/t1 and c2/t2; p = 999, z = 0 for t1 or t2 <= 0.
void PoissonRatesTest(long double c1, long double c2, int alternative, long double& p,
                      long double& z, long double t1, long double t2);

}  // namespace amx
