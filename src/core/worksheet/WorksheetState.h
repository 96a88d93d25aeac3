#pragma once
// The worksheet and its numeric view, as kept by each Session.
#include "worksheet/Worksheet.h"

namespace amx {

struct WorksheetState {
    // The worksheet text the data editor shows and edits.
    Worksheet worksheet;
};

}  // namespace amx
