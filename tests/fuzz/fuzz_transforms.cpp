// The transform dialog's constants and the transform of values.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "session/Session.h"
#include "worksheet/modifications/Transform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace amx;
    std::string_view in(reinterpret_cast<const char*>(data), size);
    Session s;
    const int no = static_cast<int>(fuzz::TakeByte(in) % TransformKind::Count);
    const bool normFirst = fuzz::TakeByte(in) & 1;
    const std::string_view a = fuzz::TakeField(in), b = fuzz::TakeField(in), c = fuzz::TakeField(in);
    TransformOkEnabled(no, a, b, c);
    SetTransformFromDialog(s, s.Transform, no, a, b, c, normFirst);
    TransformText(s.Transform);
    TransformStatusText(s.Transform);
    std::string message;
    if (!ValidateTransformConstants(s, s.Transform, message)) return 0;
    // Huge degrees of freedom make the present chi-square generator slow; the
    // smoke run keeps to sizes it answers quickly.
    if (s.Transform.no == TransformKind::RandomChiSquare && !(std::fabs(s.Transform.A) <= 1e6L)) return 0;
    for (double x : {0.0, 1.0, -1.0, 0.5, 1e300, -1e-300, 3.0}) {
        double v = x;
        if (!ApplyTransform(s, v)) break;
    }
    return 0;
}
