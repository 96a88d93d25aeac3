#include "worksheet/FileModificationHooks.h"

namespace amx {

// No file modification is active yet: every value and row passes unchanged.

bool MissingRuleAccepts(const Session&, double) { return true; }

bool ProcessIfAccepts(const Session&, int) { return true; }

void TransformLoadedSample(Session&, int) {}

void ResetModificationsForNewWorksheet(Session&) {}

}  // namespace amx
