#include "worksheet/FileModificationHooks.h"

#include "session/Session.h"
#include "worksheet/modifications/MissingRule.h"
#include "worksheet/modifications/ProcessIf.h"
#include "worksheet/modifications/Transform.h"

namespace amx {

bool MissingRuleAccepts(const Session& s, double x) { return MissingRuleValid(s.Missing, x); }

bool ProcessIfAccepts(const Session& s, int row) { return ProcessIfPasses(s, row); }

void TransformLoadedSample(Session& s, int) {
    if (s.Transform.no == TransformKind::None) return;
    if (TransformSample(s, s.ATop)) return;
    ReportTransformError(s);
    // The load is abandoned: a sample transformed only up to the failing
    // value must never reach an analysis.
    s.ATop = 0;
    s.StatErrorCode = 1;
}

void ResetModificationsForNewWorksheet(Session& s) {
    ResetProcessIf(s);
    s.Transform.no = TransformKind::None;
    s.Transform.Error = false;
    s.Transform.ErrorString.clear();
}

}  // namespace amx
