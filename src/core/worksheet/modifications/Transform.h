#pragma once
// The transform: one formula applied to every loaded value, or a random
// generator that replaces the values. Random transforms draw from the
// session's generator, whose state the loaders save before each load so a
// reload repeats the same numbers.
#include <string>
#include <string_view>

#include "worksheet/modifications/FileModState.h"

namespace amx {

struct CommonState;
struct Session;

// The radio items of the transform dialog, transform 0..12.
const char* TransformCaption(int no);

// The transform as a formula: "None", "2X + 3", "LN(X -1)", "Uniform(0,1)"...
std::string TransformText(const TransformRec& t);

// Applies the live transform to one value in place. On failure sets Error and
// ErrorString ("Error: " + reason), leaves the value unchanged and returns false.
bool ApplyTransform(Session& s, double& value);

// Error := false, then ApplyTransform on A_Array[1..n] in order, stopping at
// the first error. False on an error.
bool TransformSample(Session& s, int n);

// "Transform Error - Turning Off Transform!" with the formula and the reason,
// then the transform is switched off.
void ReportTransformError(Session& s);

// For loaders that read cell values themselves and transform value by value:
// the first error switches the transform off and is reported once, as
// "Transform Error - Turning off Transform"; later values pass unchanged.
class DirectTransform {
public:
    explicit DirectTransform(Session& s) : s_(s) {}
    // False when this value (or an earlier one of this load) failed.
    bool Apply(double& value);
    bool Failed() const { return failed_; }

private:
    Session& s_;
    bool failed_ = false;
};

// ---- the dialog ---------------------------------------------------------------

// Box C is used by POWER1, POWER2, INV and the chi-square generator.
bool TransformUsesC(int no);
// OK is enabled for every item except those using C while a box is empty.
bool TransformOkEnabled(int no, std::string_view a, std::string_view b, std::string_view c);

// A change in the dialog updates the live transform at once (so its text can
// be shown): the item, the three texts, B when its box is not empty, and the
// random-normal-first choice.
void SetTransformFromDialog(CommonState& cs, TransformRec& t, int no, std::string_view a, std::string_view b,
                            std::string_view c, bool normFirst);

// OK: converts A, B and C and checks them against the chosen transform. On a
// constant that is not a number, or one that makes every value fail (a zero C
// for POWER2, a zero A for INV, a minimum not below the mean for the random
// exponential, degrees of freedom not above 0 for the random chi-square),
// returns false with the message to show; the transform keeps its old constants.
bool ValidateTransformConstants(CommonState& cs, TransformRec& t, std::string& message);

// "Transform: " + TransformText, or "Transform Off".
std::string TransformStatusText(const TransformRec& t);

}  // namespace amx
