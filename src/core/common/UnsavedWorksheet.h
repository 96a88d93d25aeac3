#pragma once
// The question before a modified worksheet would be lost (closing the program,
// a new worksheet, loading another file).
#include <functional>

#include "common/CommonState.h"

namespace amx {

inline constexpr const char* FileNotSavedQuestion = "File Not Saved.  Save?";

// Asks "File Not Saved.  Save?" when `modified`. Yes runs `saveAs`; the
// worksheet may be dropped only when that save really happened, so a
// cancelled or failed Save As counts as Cancel. Returns true when the caller
// may go on; on Cancel sets StatErrorCode to 1.
bool MayDiscardWorksheet(CommonState& cs, bool modified, const std::function<bool()>& saveAs);

}  // namespace amx
