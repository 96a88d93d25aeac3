#include "worksheet/modifications/Transform.h"

#include <cfloat>
#include <cmath>

#include "common/NumberText.h"
#include "engine/distributions/Distributions.h"
#include "engine/distributions/RandomDeviates.h"
#include "engine/special/SpecialFunctions.h"
#include "session/Session.h"

namespace amx {

const char* TransformCaption(int no) {
    static const char* const items[TransformKind::Count] = {
        "No Transform",
        "LINEAR  Y = AX + B",
        "POWER1  Y = (AX + B)^C",
        "POWER2  Y = (AX + B)^1/C",
        "INV     Y = B/(AX)^C",
        "LOG     Y = Ln(AX + B)",
        "EXP     Y = Exp(AX + B)",
        "ARCSIN  Y = Arcsin(AX + B)",
        "SIN     Y = Sin(AX + B) Rad",
        "Random: Uniform (A, B)",
        "Random: Normal (A=mean, B=std)",
        "Random: Exponential (A=min, B=mean)",
        "Random: Chi-Square(A=df, B=scale, C=min)",
    };
    return no >= 0 && no < TransformKind::Count ? items[no] : items[0];
}

std::string TransformText(const TransformRec& t) {
    const std::string a = t.astr == "1" ? std::string() : t.astr;
    std::string bterm;
    if (t.B > 0)
        bterm = " + " + t.Bstr;
    else if (t.B < 0)
        bterm = " " + t.Bstr;
    const std::string inner = a + "X" + bterm;
    switch (t.no) {
    case TransformKind::Linear: return inner;
    case TransformKind::Power1: return "(" + inner + ")^" + t.Cstr;
    case TransformKind::Power2: return "(" + inner + ")^(1/" + t.Cstr + ")";
    case TransformKind::Inv: return t.Bstr + "/(" + a + "X)^" + t.Cstr;
    case TransformKind::Log: return "LN(" + inner + ")";
    case TransformKind::Exp: return "EXP(" + inner + ")";
    case TransformKind::Arcsin: return "ARCSIN(" + inner + ")";
    case TransformKind::Sin: return "SIN(" + inner + ")";
    case TransformKind::RandomUniform: return "Uniform(" + t.astr + "," + t.Bstr + ")";
    case TransformKind::RandomNormal: return "Normal(" + t.astr + "," + t.Bstr + ")";
    case TransformKind::RandomExponential: return "Exponential(" + t.astr + "," + t.Bstr + ")";
    case TransformKind::RandomChiSquare: return "Chi-Square(" + t.astr + "," + t.Bstr + "," + t.Cstr + ")";
    default: return "None";
    }
}

bool ApplyTransform(Session& s, double& value) {
    TransformRec& t = s.Transform;
    if (t.no == TransformKind::None || t.no >= TransformKind::Count) return true;
    long double v = value;
    if (t.NORMFirst) v = 10.0L + GaussRandom(s);
    const long double A = t.A, B = t.B, C = t.C;
    const long double w = A * v + B;
    long double y = v;
    const char* error = nullptr;
    switch (t.no) {
    case TransformKind::Linear: y = w; break;
    case TransformKind::Power1:
        // (0)^C with C < 0 has no value; the guarded power would give 0.
        if (w < 0)
            error = "X < 0";
        else if (w == 0 && C < 0)
            error = "X = 0";
        else
            y = PowerX(w, C);
        break;
    case TransformKind::Power2:
        if (C == 0)
            error = "C = 0";
        else if (w < 0)
            error = "X < 0";
        else if (w == 0 && C < 0)
            error = "X = 0";
        else
            y = PowerX(w, 1.0L / C);
        break;
    case TransformKind::Inv: {
        // The base is A·v, not v: a negative A would otherwise raise a
        // negative base and divide by the guarded power's 0.
        const long double base = A * v;
        if (base <= 0) {
            error = "X <= 0";
            break;
        }
        const long double d = PowerX(base, C);
        if (d == 0)
            error = "Y out of range";
        else
            y = B / d;
        break;
    }
    case TransformKind::Log:
        if (w <= 0)
            error = "X <= 0";
        else
            y = std::log(w);
        break;
    case TransformKind::Exp: y = std::exp(w); break;
    case TransformKind::Arcsin:
        if (std::fabs(w) >= 1)
            error = "ABS(X) >= 1";
        else
            y = std::atan(w / std::sqrt(1.0L - w * w));
        break;
    case TransformKind::Sin: y = std::sin(w); break;
    case TransformKind::RandomUniform:
        y = std::fmin(A, B) + static_cast<long double>(RandomUniform(s.RandSeed)) * std::fabs(A - B);
        break;
    case TransformKind::RandomNormal: y = A + B * GaussRandom(s); break;
    case TransformKind::RandomExponential:
        if (A >= B)
            error = "B <= A";
        else
            y = A - std::log(OpenUniform(s.RandSeed)) * (B - A);
        break;
    case TransformKind::RandomChiSquare:
        if (A <= 0) {
            error = "A <= 0";
        } else {
            y = ChiSquareRandom(s, A) * B + C;
        }
        break;
    default: break;
    }
    // A cell holds a double: a result beyond its range is an error, not an infinity.
    if (!error && !(std::fabs(y) <= static_cast<long double>(DBL_MAX))) error = "Y out of range";
    if (error) {
        t.Error = true;
        t.ErrorString = std::string("Error: ") + error;
        return false;
    }
    value = static_cast<double>(y);
    return true;
}

bool TransformSample(Session& s, int n) {
    s.Transform.Error = false;
    for (int i = 1; i <= n && i < static_cast<int>(s.A_Array.size()); ++i)
        if (!ApplyTransform(s, s.A_Array[static_cast<std::size_t>(i)])) return false;
    return true;
}

void ReportTransformError(Session& s) {
    s.messages->Error("Transform Error - Turning Off Transform!\nTransform: " + TransformText(s.Transform) + "\n" +
                      s.Transform.ErrorString);
    s.Transform.no = TransformKind::None;
}

bool DirectTransform::Apply(double& value) {
    if (failed_) return false;
    if (ApplyTransform(s_, value)) return true;
    failed_ = true;
    s_.Transform.no = TransformKind::None;
    s_.messages->Error("Transform Error - Turning off Transform");
    return false;
}

bool TransformUsesC(int no) {
    return no == TransformKind::Power1 || no == TransformKind::Power2 || no == TransformKind::Inv ||
           no == TransformKind::RandomChiSquare;
}

bool TransformOkEnabled(int no, std::string_view a, std::string_view b, std::string_view c) {
    if (no < 0 || no >= TransformKind::Count) return false;
    if (!TransformUsesC(no)) return true;
    return !a.empty() && !b.empty() && !c.empty();
}

void SetTransformFromDialog(CommonState& cs, TransformRec& t, int no, std::string_view a, std::string_view b,
                            std::string_view c, bool normFirst) {
    t.no = static_cast<std::uint8_t>(no >= 0 && no < TransformKind::Count ? no : 0);
    t.astr = std::string(a);
    t.Bstr = std::string(b);
    t.Cstr = std::string(c);
    if (!b.empty()) {
        const int saved = cs.StatErrorCode;
        t.B = TextToExtended(cs, b);
        cs.StatErrorCode = saved;
    }
    t.NORMFirst = normFirst;
}

bool ValidateTransformConstants(CommonState& cs, TransformRec& t, std::string& message) {
    message.clear();
    if (t.no == TransformKind::None) return true;
    long double values[3] = {t.A, t.B, t.C};
    const std::string* texts[3] = {&t.astr, &t.Bstr, &t.Cstr};
    const char* names[3] = {"A", "B", "C"};
    const int used = TransformUsesC(t.no) ? 3 : 2;
    for (int i = 0; i < used; ++i) {
        values[i] = TextToExtended(cs, *texts[i]);
        if (cs.StatErrorCode != 0) {
            cs.StatErrorCode = 0;
            message = std::string("Constant ") + names[i] + " is not a number.";
            return false;
        }
    }
    const long double A = values[0], B = values[1], C = values[2];
    if (t.no == TransformKind::Power2 && C == 0)
        message = "C must not be 0: the transform divides by C.";
    else if (t.no == TransformKind::Inv && A == 0)
        message = "A must not be 0: the transform divides by (AX)^C.";
    else if (t.no == TransformKind::RandomExponential && B <= A)
        message = "B (the mean) must be greater than A (the minimum).";
    else if (t.no == TransformKind::RandomChiSquare && A <= 0)
        message = "A (the degrees of freedom) must be greater than 0.";
    if (!message.empty()) return false;
    t.A = A;
    t.B = B;
    t.C = C;
    return true;
}

std::string TransformStatusText(const TransformRec& t) {
    return t.no == TransformKind::None ? "Transform Off" : "Transform: " + TransformText(t);
}

}  // namespace amx
