#pragma once
// The worksheet and its numeric view, as kept by each Session.
#include <cstdint>
#include <string>
#include <vector>

#include "worksheet/DataList.h"
#include "worksheet/Worksheet.h"

namespace amx {

struct WorksheetState {
    // The worksheet text the data editor shows and edits.
    Worksheet worksheet;
    // Its numeric view (DataList.h).
    TDataList DataList;

    // Change tracking. DataDirty: cells edited since the last parse.
    // VariablesChanged/DataChanged are folded into the two counters when the
    // data editor is deactivated; windows compare the counters on activation.
    bool DataDirty = false;
    bool VariablesChanged = false;
    bool DataChanged = false;
    std::uint32_t VariablesVersion = 0;
    std::uint32_t DataVersion = 0;
    // New worksheets so far (read by the compute-variables window).
    std::uint32_t NewWorksheetCount = 0;

    // The file behind the worksheet (empty for a new one) and its state.
    std::string DataFilename;
    bool FileModified = false;
    bool WantVarNames = false;      // the last file read had names, or the last full save wrote them
    bool WantDescriptions = false;  // the last file read had description lines
    int LineCount = 0;              // data lines of the last file read
    // The columns of DataFilename when reading it cut them to MaxColumns
    // (0 when nothing was cut): saving over that file asks first.
    int TruncatedFileColumns = 0;

    // The two shared lists SetupVarList fills for the group pick lists.
    std::vector<std::string> VarListNames;
    std::vector<std::string> VarListKeys;
};

}  // namespace amx
