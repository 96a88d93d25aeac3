#include "worksheet/modifications/TransformedVariables.h"

#include <string>

#include "common/NumberText.h"
#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/modifications/Transform.h"

namespace amx {

int AddTransformedVariables(Session& s, const TransformedVariableRequest& request) {
    if (s.Transform.no == TransformKind::None) return 0;
    std::string message;
    if (!ValidateTransformConstants(s, s.Transform, message)) {
        s.messages->Error(message);
        return 0;
    }
    UpdateData(s);
    Worksheet& ws = s.worksheet;
    if (!request.modify &&
        ws.ColumnCount() + 1 + static_cast<int>(request.columns.size()) > Worksheet::MaxColumns) {
        s.messages->Error("Maximum Number of Columns Exceeded.");
        return 0;
    }

    // Every column is computed from this one parse, so a column rewritten
    // earlier never changes what a later one (or the filter) sees.
    const int rows = s.DataList.Ncount;
    int written = 0;
    for (int column : request.columns) {
        if (column < 1 || column > s.DataList.MaxCol()) continue;
        std::vector<std::string> texts(static_cast<std::size_t>(rows) + 1);
        std::vector<bool> keep(static_cast<std::size_t>(rows) + 1, false);
        s.Transform.Error = false;
        bool failed = false;
        for (int r = 1; r <= rows && !failed; ++r) {
            double v = s.DataList.Value(column, r);
            if (!ProcessOK(s, r) || !DataValid(s, v)) {
                // Rewriting a column in place must not lose the cells the
                // rules leave out; a new column shows them empty.
                keep[static_cast<std::size_t>(r)] = request.modify;
                continue;
            }
            if (!ApplyTransform(s, v)) {
                failed = true;
                break;
            }
            texts[static_cast<std::size_t>(r)] = FormatGeneral(v);
        }
        const std::string name = ws.ColumnName(column);
        if (failed) {
            s.messages->Error("Transform Failed for: " + name);
            continue;
        }
        int target = column;
        if (!request.modify) {
            target = ws.ColumnCount() + 1;
            ws.SetColumnCount(target);
            ws.SetColumnName(target, "f(" + name + ")");
        }
        if (ws.RowCount() < rows) ws.SetRowCount(rows);
        for (int r = 1; r <= rows; ++r)
            if (!keep[static_cast<std::size_t>(r)]) ws.SetCell(target, r, texts[static_cast<std::size_t>(r)]);
        ++written;
    }
    s.Transform.Error = false;
    if (request.turnOffWhenDone) s.Transform.no = TransformKind::None;
    s.FileModified = true;
    SetAllRowsModified(s);
    UpdateData(s);
    s.DataChanged = true;
    return written;
}

}  // namespace amx
