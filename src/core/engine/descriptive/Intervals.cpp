#include "engine/descriptive/Intervals.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/CommonState.h"
#include "common/Sentinels.h"
#include "engine/descriptive/SampleData.h"
#include "engine/distributions/Distributions.h"
#include "engine/special/SpecialFunctions.h"

namespace amx {

void MeanCI(CommonState& cs, long double alpha, long double df, long double n, long double s,
            long double mean, long double& lower, long double& upper) {
    long double h = 0;
    if (n > 0) {
        const long double q = df != 0 ? InvT(cs, 1, df, alpha / 2) : InvNormal(1, alpha / 2);
        h = s * q / std::sqrt(n);
    }
    lower = mean - h;
    upper = mean + h;
}

void StdDevCI(CommonState& cs, long double alpha, long double df, long double s,
              long double& lower, long double& upper) {
    if (df <= 0) {
        // No degrees of freedom, no interval (the quotients would be 0/0).
        lower = upper = NotAvailable;
        return;
    }
    auto limit = [&](long double p) -> long double {
        const long double q = InvChiSq(cs, 1, df, p);
        if (q <= 0) return NotAvailable;
        const long double v = df * s * s / q;
        return v > 0 ? std::sqrt(v) : v;
    };
    lower = limit(alpha / 2);
    upper = limit(1 - alpha / 2);
}

void CorrCI(long double alpha, long double n, long double r, long double& lower,
            long double& upper) {
    if (n <= 3 || !(std::fabs(r) < 1)) {
        // Fisher's z needs n > 3 and |r| < 1.
        lower = upper = NotAvailable;
        return;
    }
    const long double z = FisherZ(r);
    const long double k = InvNormal(1, alpha / 2) * std::sqrt(1 / (n - 3));
    lower = InvFisherZ(z - k);
    upper = InvFisherZ(z + k);
}

// ---------------------------------------------------------------------------

void TConfI::SetConf(long double c) {
    conf = c;
    alpha = 1 - c;
}

void TConfI::SetConfText(CommonState& cs, const std::string& text) {
    // Thousands commas are dropped before conversion, as in every input box.
    std::string t;
    for (char ch : text)
        if (ch != ',') t += ch;
    size_t b = 0;
    while (b < t.size() && t[b] == ' ') ++b;
    size_t e = t.size();
    while (e > b && t[e - 1] == ' ') --e;
    const std::string core = t.substr(b, e - b);
    // Plain decimal syntax: sign, digits, one point, optional exponent.
    size_t i = 0;
    if (i < core.size() && (core[i] == '+' || core[i] == '-')) ++i;
    bool digits = false, point = false;
    while (i < core.size() && (std::isdigit(static_cast<unsigned char>(core[i])) || (core[i] == '.' && !point))) {
        if (core[i] == '.') point = true;
        else digits = true;
        ++i;
    }
    if (digits && i < core.size() && (core[i] == 'e' || core[i] == 'E')) {
        size_t j = i + 1;
        if (j < core.size() && (core[j] == '+' || core[j] == '-')) ++j;
        size_t k = j;
        while (k < core.size() && std::isdigit(static_cast<unsigned char>(core[k]))) ++k;
        if (k > j) i = k;
    }
    if (!digits || i != core.size()) {
        cs.StatErrorCode = static_cast<int>(b + (digits ? i : 0)) + 1;
        return;
    }
    cs.StatErrorCode = 0;
    conf = std::strtold(core.c_str(), nullptr) / 100;
    alpha = 1 - conf;
}

void TConfI::SetAlpha(long double a) {
    conf = 1 - a;
    alpha = a;
}

void TConfI::StatsIntervals(CommonState& cs, SampleData& sample) {
    sample.MeanStdDev();
    Intervals(cs, sample);
}

void TConfI::Intervals(CommonState& cs, const SampleData& sample) {
    m = sample.mean;
    S = sample.stdDev;
    ni = sample.n();
    CalcIntervals(cs);
}

void TConfI::CalcIntervals(CommonState& cs) {
    MeanCI(cs, alpha, ni - 1, ni, S, m, m1, m2);
    StdDevCI(cs, alpha, ni - 1, S, s1, s2);
}

// ---------------------------------------------------------------------------

void TCorr::Init() {
    n = 0;
    sx2 = sx = sy = sy2 = sd = sd2 = sxy = 0;
}

void TCorr::AddPair(double x, double y) {
    if (!NotMissing(x) || !NotMissing(y)) return;
    ++n;
    const long double X = x, Y = y, D = X - Y;
    sx2 += X * X;
    sx += X;
    sy += Y;
    sy2 += Y * Y;
    sd += D;
    sd2 += D * D;
    sxy += X * Y;
}

long double TCorr::PearsonR(CommonState& cs) {
    Error = false;
    const long double vx = n < 2 ? 0 : VarFromSums(n, sx2, sx);
    const long double vy = n < 2 ? 0 : VarFromSums(n, sy2, sy);
    const long double vd = n < 2 ? 0 : VarFromSums(n, sd2, sd);
    if (n > 1 && vx != 0 && vy != 0) {
        // Through the variance of the differences, which keeps r exact for
        // perfectly related pairs.
        long double r = (vx + vy - vd) / (2 * std::sqrt(vx) * std::sqrt(vy));
        if (std::fabs(r) < 1) {
            const long double t = r * std::sqrt((n - 2) / (1 - r * r));
            pvalue = n > 2 ? TTail(cs, 2, n - 2, t) : NotAvailable;
        } else {
            pvalue = 0;
        }
        return r;
    }
    pvalue = NotAvailable;
    Error = true;
    return 0;
}

void TCorr::LinearRegression(CommonState& cs) {
    cs.StatErrorCode = 0;
    const long double d = n * sx2 - sx * sx;
    B = d != 0 ? (n * sxy - sx * sy) / d : 0;
    A = n > 0 ? (sy - B * sx) / n : 0;
    if (d == 0) cs.StatErrorCode = 1;
    if (n == 0) cs.StatErrorCode = 2;
}

}  // namespace amx
