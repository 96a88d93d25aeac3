// Every public engine routine answers any argument promptly: NaN, the
// infinities, zero, a negative one and huge finite values in every argument
// position, one at a time, the others held at ordinary values. Each routine is
// its own test, so the ctest TIMEOUT of this target (see CMakeLists) bounds
// each one; a routine that loops on NaN or sums 10^9 terms fails by timing
// out. Results are only required to be a number or the routine's error
// value, never a crash or a hang.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/CommonState.h"
#include "engine/EngineState.h"
#include "engine/descriptive/Intervals.h"
#include "engine/descriptive/SampleData.h"
#include "engine/discrete/Discrete.h"
#include "engine/distributions/Distributions.h"
#include "engine/distributions/RandomDeviates.h"
#include "engine/special/SpecialFunctions.h"
#include "session/CurrentSample.h"

namespace amx {
namespace {

using LD = long double;
constexpr LD Inf = std::numeric_limits<LD>::infinity();
constexpr LD NaN = std::numeric_limits<LD>::quiet_NaN();

struct EngineSession : CommonState, CurrentSample, EngineState {};

// Integer arguments receive the same values saturated to their type: NaN is
// 0, the infinities and 1e300 are the type's extremes.
template <class I>
I Whole(LD x) {
    if (std::isnan(x)) return 0;
    if (x >= static_cast<LD>(std::numeric_limits<I>::max())) return std::numeric_limits<I>::max();
    if (x <= static_cast<LD>(std::numeric_limits<I>::min())) return std::numeric_limits<I>::min();
    return static_cast<I>(x);
}
long long L(LD x) { return Whole<long long>(x); }
int I(LD x) { return Whole<int>(x); }

struct Routine {
    std::string name;
    std::vector<LD> nominal;  // ordinary values of the arguments
    std::function<void(EngineSession&, const std::vector<LD>&)> call;
};

std::ostream& operator<<(std::ostream& os, const Routine& r) { return os << r.name; }

std::vector<Routine> Routines() {
    using A = const std::vector<LD>&;
    using S = EngineSession&;
    return {
        {"GammLn", {3.5}, [](S, A a) { GammLn(a[0]); }},
        {"FactLn", {12}, [](S s, A a) { FactLn(s, a[0]); }},
        {"LnBinomCoef", {20, 7}, [](S, A a) { LnBinomCoef(L(a[0]), L(a[1])); }},
        {"GSer", {3, 2}, [](S s, A a) { LD g, l; GSer(s, g, l, a[0], a[1]); }},
        {"GCF", {3, 5}, [](S s, A a) { LD g, l; GCF(s, g, l, a[0], a[1]); }},
        {"GammP", {3, 2}, [](S s, A a) { GammP(s, a[0], a[1]); }},
        {"GammQ", {3, 2}, [](S s, A a) { GammQ(s, a[0], a[1]); }},
        {"IncompleteGammaPQ", {3, 2}, [](S s, A a) { LD p, q; IncompleteGammaPQ(s, a[0], a[1], p, q); }},
        {"BetaCF", {2, 3, 0.3}, [](S s, A a) { BetaCF(s, a[0], a[1], a[2]); }},
        {"BetaI", {2, 3, 0.3}, [](S s, A a) { BetaI(s, a[0], a[1], a[2]); }},
        {"BetaIUpper", {2, 3, 0.3}, [](S s, A a) { BetaIUpper(s, a[0], a[1], a[2]); }},
        {"IncompleteBetaPair", {2, 3, 0.3, 0.7},
         [](S s, A a) { LD w, w1; IncompleteBetaPair(s, a[0], a[1], a[2], a[3], w, w1); }},
        {"PowerX", {2, 0.5}, [](S, A a) { PowerX(a[0], a[1]); }},
        {"Elementary", {0.5},
         [](S, A a) {
             FisherZ(a[0]); InvFisherZ(a[0]); SinhX(a[0]); ArcSinhX(a[0]); ArcCoshX(a[0]);
             SignX(a[0]); Log10X(a[0]); Pow10(I(a[0]));
         }},
        {"VarFromSums", {5, 30, 10},
         [](S, A a) { VarFromSums(L(a[0]), a[1], a[2]); StdDevFromSums(L(a[0]), a[1], a[2]); }},
        {"NormalTail", {1, 1.5},
         [](S, A a) { FoldTails(I(a[0]), a[1]); NormalTail(I(a[0]), a[1]); NormalTailSeries(I(a[0]), a[1]); }},
        {"InvNormal", {1, 0.05},
         [](S, A a) { InvNormal(I(a[0]), a[1]); InvNormalSeries(I(a[0]), a[1]); LD p = a[1]; ToUpperTail(p, I(a[0])); }},
        {"TTail", {2, 10, 2.1}, [](S s, A a) { TTail(s, I(a[0]), a[1], a[2]); }},
        {"InvT", {2, 10, 0.05}, [](S s, A a) { InvT(s, I(a[0]), a[1], a[2]); }},
        {"ChiSqTail", {1, 10, 12}, [](S s, A a) { ChiSqTail(s, I(a[0]), a[1], a[2]); }},
        {"InvChiSq", {1, 10, 0.05}, [](S s, A a) { InvChiSq(s, I(a[0]), a[1], a[2]); }},
        {"FTail", {1, 3, 20, 2.5}, [](S s, A a) { FTail(s, I(a[0]), a[1], a[2], a[3]); }},
        {"InvF", {1, 3, 20, 0.05}, [](S s, A a) { InvF(s, I(a[0]), a[1], a[2], a[3]); }},
        {"InverseRefine", {1.5, 3, 0.05, 10, 20},
         [](S s, A a) {
             for (int kind = RefineNormal; kind <= RefineNormalSeries; ++kind) {
                 LD x = a[0];
                 InverseRefine(s, x, kind, a[2], a[3], a[4]);
             }
             LD x = a[0];
             InverseRefine(s, x, I(a[1]), a[2], a[3], a[4]);
         }},
        {"NoncentralFPower", {3, 20, 8, 3.1},
         [](S s, A a) { NoncentralFPower(s, I(a[0]), I(a[1]), a[2], a[3]); }},
        {"StudentizedRangeProb", {20, 4, 3.5},
         [](S s, A a) { StudentizedRangeProb(s, I(a[0]), I(a[1]), a[2]); }},
        {"StudentizedRangeInv", {20, 4, 0.05},
         [](S s, A a) { StudentizedRangeInv(s, I(a[0]), I(a[1]), a[2]); }},
        {"ZTestP", {0, 1.7}, [](S, A a) { LD p; ZTestP(p, I(a[0]), a[1]); }},
        {"TTestP", {1, 12, 1.7}, [](S s, A a) { LD p; TTestP(s, p, I(a[0]), a[1], a[2]); }},
        {"CorrelatedMeansT", {0, 10, 9, 2, 2.5, 0.4, 12},
         [](S s, A a) { LD t, p; CorrelatedMeansT(s, I(a[0]), t, p, a[1], a[2], a[3], a[4], a[5], a[6]); }},
        {"NormalRandom", {10, 2}, [](S s, A a) { NormalRandom(s, a[0], a[1]); }},
        {"ChiSquareRandom", {4}, [](S s, A a) { ChiSquareRandom(s, a[0]); }},
        {"BinomProb", {3, 10, 0.3}, [](S s, A a) { BinomProb(s, L(a[0]), L(a[1]), a[2]); }},
        {"BinomAtLeast", {3, 10, 0.3},
         [](S s, A a) { BinomAtLeast(s, L(a[0]), L(a[1]), a[2]); BinomAtLeastBeta(s, L(a[0]), L(a[1]), a[2]); }},
        {"BinomAtMost", {3, 10, 0.3}, [](S s, A a) { BinomAtMost(s, L(a[0]), L(a[1]), a[2]); }},
        {"PoissonProb", {3, 2.5}, [](S, A a) { PoissonProb(a[0], a[1]); }},
        {"PoissonAtLeast", {2.5, 3}, [](S, A a) { PoissonAtLeast(a[0], a[1]); }},
        {"PoissonAtMost", {2.5, 3}, [](S, A a) { PoissonAtMost(a[0], a[1]); }},
        {"HyperProb", {2, 10, 50, 0.2},
         [](S, A a) { LD t = 0; HyperProb(L(a[0]), L(a[1]), L(a[2]), a[3], t); }},
        {"HyperAtLeast", {2, 10, 50, 0.2},
         [](S, A a) { HyperAtLeast(L(a[0]), L(a[1]), L(a[2]), a[3]); }},
        {"FisherExactP", {0, 3, 8, 7, 2},
         [](S, A a) { LD p; FisherExactP(I(a[0]), p, a[1], a[2], a[3], a[4]); }},
        {"SignTestP", {3, 9, 0}, [](S s, A a) { LD p; SignTestP(s, L(a[0]), L(a[1]), I(a[2]), p); }},
        {"BinomTestP", {3, 20, 0, 0.3},
         [](S s, A a) { LD p; BinomTestP(s, L(a[0]), L(a[1]), p, I(a[2]), a[3]); }},
        {"ProportionCI", {0.05, 40, 0.25},
         [](S s, A a) { LD lo, hi; ProportionCI(s, lo, hi, a[0], L(a[1]), a[2]); }},
        {"PoissonRateCI", {0.05, 2, 7},
         [](S s, A a) { LD lo, hi; PoissonRateCI(s, lo, hi, a[0], a[1], a[2]); }},
        {"PoissonRatesTest", {7, 12, 0, 2, 3},
         [](S, A a) { LD p, z; PoissonRatesTest(a[0], a[1], I(a[2]), p, z, a[3], a[4]); }},
        {"MeanCI", {0.05, 9, 10, 2, 5},
         [](S s, A a) { LD lo, hi; MeanCI(s, a[0], a[1], a[2], a[3], a[4], lo, hi); }},
        {"StdDevCI", {0.05, 9, 2}, [](S s, A a) { LD lo, hi; StdDevCI(s, a[0], a[1], a[2], lo, hi); }},
        {"CorrCI", {0.05, 20, 0.4}, [](S, A a) { LD lo, hi; CorrCI(a[0], a[1], a[2], lo, hi); }},
        {"ADPValue", {0.6}, [](S, A a) { ADPValue(a[0]); }},
        {"LMPValue", {30, 0.2}, [](S, A a) { LMPValue(I(a[0]), a[1]); }},
        {"SkewnessPValue", {30, 0.5}, [](S s, A a) { SkewnessPValue(s, I(a[0]), a[1]); }},
        {"KurtosisPValueText", {30, 0.5},
         [](S, A a) { std::string t; LD p; KurtosisPValueText(I(a[0]), t, a[1], p); }},
    };
}

class EngineArguments : public ::testing::TestWithParam<Routine> {};

TEST_P(EngineArguments, AnswersEveryArgumentPromptly) {
    const Routine& r = GetParam();
    const std::vector<LD> odd = {NaN, Inf, -Inf, 0, -1, 1e18L, 1e300L};
    EngineSession s;
    r.call(s, r.nominal);
    for (size_t i = 0; i < r.nominal.size(); ++i) {
        for (LD v : odd) {
            std::vector<LD> args = r.nominal;
            args[i] = v;
            SCOPED_TRACE("argument " + std::to_string(i) + " = " + std::to_string(static_cast<double>(v)));
            s.StatErrorCode = 0;
            r.call(s, args);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllRoutines, EngineArguments, ::testing::ValuesIn(Routines()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace amx
