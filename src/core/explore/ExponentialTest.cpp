// The simulated exponential test: how unusual is T = (mean - min)²/s² for a
// sample of n from an exponential distribution? Under exponentiality T does
// not depend on the scale, so its distribution is simulated once per n and T
// with a million unit-exponential samples (inverse-transform draws -ln u).
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/distributions/Distributions.h"
#include "engine/distributions/RandomGenerator.h"
#include "explore/Explore.h"
#include "session/Session.h"

namespace amx {

long double SimulatedExponentialP(Session& s, ExploreState& st, int n, long double T,
                                  const std::string& rowTitle) {
    constexpr long double NotAvailable = 999.0L;
    // For a pair T is 1/2 whatever the values: there is nothing to test.
    if (n < 3) return NotAvailable;
    for (const auto& e : st.expTestCache)
        if (e.n == n && e.T == T) return e.p;
    if (st.expTestAborted) return NotAvailable;

    ExpTestMonitor* mon = st.monitor;
    if (mon) mon->Begin(rowTitle);
    RandomState& rs = s.RandSeed;
    std::vector<double> x(static_cast<size_t>(n));
    const double nn = n;
    long long d = 0;
    long double p = -1;
    for (int i = 1; i <= ExpTestDraws; ++i) {
        double sum = 0, lo = 0;
        for (int k = 0; k < n; ++k) {
            double u = RandomUniform(rs);
            if (u == 0) u = 1e-10;
            const double v = -std::log(u);
            x[static_cast<size_t>(k)] = v;
            sum += v;
            lo = k == 0 ? v : std::min(lo, v);
        }
        const double mean = sum / nn;
        double ss = 0;
        for (double v : x) ss += (v - mean) * (v - mean);
        const double var = ss / (nn - 1);
        const double t = var > 0 ? (mean - lo) * (mean - lo) / var : 0;
        if (t > T) ++d;
        if (i % 100 == 0 && mon && !mon->Step(i)) {
            mon->End();
            st.expTestAborted = true;
            return NotAvailable;
        }
        // Clearly beyond every simulated value: no need for the full run.
        if (i == 20000 && (d == 0 || d == i)) {
            p = 0;
            break;
        }
    }
    if (p < 0) p = FoldTails(2, static_cast<long double>(d) / ExpTestDraws);
    st.expTestCache.push_back({n, T, p});
    if (mon) mon->End();
    return p;
}

}  // namespace amx
