#pragma once
// Pieces of the fuzz targets that load and compare worksheets.
#include <string>

#include "FuzzSupport.h"
#include "session/Session.h"
#include "worksheet/DataFile.h"

namespace amx::fuzz {

// Every name, description and cell of a worksheet, for comparing two loads.
inline std::string Describe(const Worksheet& ws) {
    std::string out = std::to_string(ws.ColumnCount()) + "x" + std::to_string(ws.RowCount()) + "\n";
    for (int c = 1; c <= ws.ColumnCount(); ++c) {
        out += "[" + ws.ColumnName(c) + "]";
        for (int d = 1; d <= 4; ++d) out += "{" + ws.Description(d, c) + "}";
        for (int r = 1; r <= ws.RowCount(); ++r) out += "|" + ws.Cell(c, r);
        out += "\n";
    }
    return out;
}

// Loads a file with no one to answer its messages.
inline bool Load(Session& s, const std::string& path) {
    static SilentMessages silent;
    s.messages = &silent;
    return FileToDataGrid(s, path);
}

}  // namespace amx::fuzz
