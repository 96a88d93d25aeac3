#pragma once
// Small worksheets for the tests, written as rows of cell texts.
#include <string>
#include <string_view>
#include <vector>

#include "session/Session.h"
#include "worksheet/DataList.h"

namespace amx::test {

using Rows = std::vector<std::vector<std::string>>;

// Replaces the session's worksheet by `rows` with the given column names
// (columns beyond the names keep "Col" + number) and parses it.
inline void LoadSheet(Session& s, const std::vector<std::string>& names, const Rows& rows) {
    std::size_t cols = names.size();
    for (const auto& r : rows) cols = std::max(cols, r.size());
    s.worksheet.BeginLoad(static_cast<int>(std::max<std::size_t>(cols, 1)));
    for (const auto& r : rows) {
        std::vector<std::string_view> cells(r.begin(), r.end());
        s.worksheet.AppendRow(cells);
    }
    s.worksheet.EndLoad();
    for (std::size_t i = 0; i < names.size(); ++i) s.worksheet.SetColumnName(static_cast<int>(i) + 1, names[i]);
    UpdateData(s);
}

// The current sample A_Array[1..ATop].
inline std::vector<double> Sample(const Session& s) {
    return std::vector<double>(s.A_Array.begin() + 1, s.A_Array.begin() + 1 + s.ATop);
}

}  // namespace amx::test
