#include <cmath>

#include "engine/distributions/Distributions.h"
#include "spc/ControlConstants.h"

namespace amx {

namespace {

bool TooSmall(SpcContext ctx, long long n) {
    if (n >= 2) return false;
    ctx.common.StatErrorCode = 1;
    return true;
}

}  // namespace

long double SigmaFromRange(SpcContext ctx, long long n, long double R) {
    if (TooSmall(ctx, n)) return 0.0L;
    return R / D2Factor(ctx, n);
}

long double SigmaFromMedianRange(SpcContext ctx, long long n, long double R) {
    if (TooSmall(ctx, n)) return 0.0L;
    return R / MedianRangeFactor(ctx, n);
}

long double SigmaFromStdDev(SpcContext ctx, long long n, long double s) {
    if (TooSmall(ctx, n)) return 0.0L;
    return s / C4Factor(ctx, n);
}

long double SigmaFromMedianStdDev(SpcContext ctx, long long n, long double s) {
    if (TooSmall(ctx, n)) return 0.0L;
    long double df = static_cast<long double>(n - 1);
    int saved = ctx.common.StatErrorCode;
    long double median = InvChiSq(ctx.common, 1, df, 0.5L);
    ctx.common.StatErrorCode = saved;
    if (!(median > 0.0L)) {
        ctx.common.StatErrorCode = 1;
        return 0.0L;
    }
    return s * std::sqrt(df / median);
}

}  // namespace amx
