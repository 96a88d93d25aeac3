#include "worksheet/editor/GridEdit.h"

#include <algorithm>

#include "common/TextUtils.h"

namespace amx {
namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view TrimCell(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitEvery(std::string_view line, char sep, bool keepTrailing) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        std::size_t p = line.find(sep, start);
        if (p == std::string_view::npos) {
            if (start < line.size() || keepTrailing) out.push_back(line.substr(start));
            break;
        }
        out.push_back(line.substr(start, p - start));
        start = p + 1;
    }
    return out;
}

enum class Shape { Cell, Row, Column, Block };

Shape ShapeOf(int width, int height) {
    if (width == 1 && height == 1) return Shape::Cell;
    if (height == 1) return Shape::Row;
    if (width == 1) return Shape::Column;
    return Shape::Block;
}

// The cells a paste writes into: the data grid or the description rows.
struct Target {
    Worksheet& ws;
    bool descriptions;
    int Rows() const { return descriptions ? Worksheet::DescriptionRows : ws.RowCount(); }
    void Set(int c, int r, std::string_view text) {
        if (descriptions) {
            if (r >= 1 && r <= Worksheet::DescriptionRows) ws.SetDescription(r, c, text);
        } else {
            ws.SetCell(c, r, text);
        }
    }
};

struct Placement {
    int col, row;
    std::string_view text;
};

EditOutcome Paste(CommonState& cs, Worksheet& ws, std::string_view text, GridRect sel, bool descriptions) {
    EditOutcome out;
    if (text.empty()) {
        cs.messages->Information(NoClipboardTextMessage);
        return out;
    }
    std::vector<std::string_view> lines = SplitLines(text);
    const int left = sel.left, top = sel.top;

    std::vector<std::string_view> names;
    if (!descriptions && !lines.empty() && !lines[0].empty() && LooksLikeNames(lines[0]) &&
        cs.messages->Ask(NamesQuestion, QuestionButtons::YesNo) == Answer::Yes) {
        names = SplitPastedLine(lines[0]);
        lines.erase(lines.begin());
        if (left + static_cast<int>(names.size()) - 1 > Worksheet::MaxColumns) {
            cs.messages->Error(MaxColumnsExceededMessage);
            out.refused = true;
            return out;
        }
    }

    auto split = [descriptions](std::string_view l) { return descriptions ? SplitTabsOnly(l) : SplitPastedLine(l); };
    std::vector<std::vector<std::string_view>> cells;
    cells.reserve(lines.size());
    for (auto l : lines) cells.push_back(split(l));

    // Work out every placement first: a paste that would break the column
    // limit is refused before anything changes.
    int neededCols = left + static_cast<int>(names.size()) - 1;
    int neededRows = 0;
    const int n = static_cast<int>(cells.size());
    std::vector<Placement> place;
    if (n > 0) {
        const int k = static_cast<int>(cells[0].size());
        const Shape clip = ShapeOf(k, n), selShape = ShapeOf(sel.Width(), sel.Height());
        if (clip == selShape || sel.IsCell() || clip == Shape::Block) {
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < static_cast<int>(cells[j].size()); ++i)
                    place.push_back({left + i, top + j, cells[j][i]});
            neededRows = top + n - 1;
            out.touchedFirst = top;
            out.touchedLast = top + n - 1;
        } else if (clip == Shape::Cell) {
            for (int r = sel.top; r <= sel.bottom; ++r)
                for (int c = sel.left; c <= sel.right; ++c) place.push_back({c, r, cells[0][0]});
            out.touchedFirst = sel.top;
            out.touchedLast = sel.bottom;
        } else if (clip == Shape::Row) {
            for (int r = sel.top; r <= sel.bottom; ++r)
                for (int i = 0; i < k; ++i) place.push_back({left + i, r, cells[0][i]});
            out.touchedFirst = sel.top;
            out.touchedLast = sel.bottom;
        } else {  // a column into the selected columns
            for (int c = sel.left; c <= sel.right; ++c)
                for (int j = 0; j < n; ++j)
                    place.push_back({c, top + j, cells[j].empty() ? std::string_view() : cells[j][0]});
            neededRows = top + n - 1;
            out.touchedFirst = top;
            out.touchedLast = top + n - 1;
        }
        for (const auto& p : place) neededCols = std::max(neededCols, p.col);
    }
    if (neededCols > Worksheet::MaxColumns) {
        cs.messages->Error(MaxColumnsExceededMessage);
        out = EditOutcome();
        out.refused = true;
        return out;
    }

    Target target{ws, descriptions};
    const int oldCols = ws.ColumnCount();
    if (neededCols > oldCols) {
        ws.SetColumnCount(neededCols);
        out.allRowsTouched = true;
    }
    if (!descriptions && neededRows > ws.RowCount()) ws.SetRowCount(neededRows);
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const int c = left + i;
        ws.SetColumnName(c, names[i].empty() ? std::string_view(DefaultColumnName(c)) : names[i]);
    }
    for (const auto& p : place) target.Set(p.col, p.row, p.text);

    out.changed = true;
    out.namesPasted = !names.empty();
    out.columnsChanged = out.namesPasted || ws.ColumnCount() != oldCols;
    out.dataChanged = out.columnsChanged;
    out.dataDirty = true;
    const int rows = target.Rows();
    out.touchedFirst = std::clamp(out.touchedFirst, 0, rows);
    out.touchedLast = std::clamp(out.touchedLast, 0, rows);
    if (out.allRowsTouched) {
        out.touchedFirst = 1;
        out.touchedLast = ws.RowCount();
    }
    if (descriptions) out.touchedFirst = out.touchedLast = 0;  // no data rows changed
    return out;
}

}  // namespace

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

std::vector<std::string_view> SplitPastedLine(std::string_view line) {
    std::vector<std::string_view> out;
    char sep = line.find('\t') != std::string_view::npos ? '\t'
             : line.find(',') != std::string_view::npos ? ','
                                                        : ' ';
    if (sep == ' ') {
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && line[i] == ' ') ++i;
            std::size_t s = i;
            while (i < line.size() && line[i] != ' ') ++i;
            auto cell = TrimCell(line.substr(s, i - s));
            if (i > s && !cell.empty()) out.push_back(cell);
        }
        return out;
    }
    out = SplitEvery(line, sep, false);
    for (auto& c : out) c = TrimCell(c);
    return out;
}

std::vector<std::string_view> SplitTabsOnly(std::string_view line) { return SplitEvery(line, '\t', true); }

bool LooksLikeNames(std::string_view line) {
    if (line.empty() || !ContainsNonNumericChar(line)) return false;
    bool any = false;
    std::size_t i = 0;
    auto isSep = [](char c) { return c == '\t' || c == ' ' || c == ','; };
    while (i < line.size()) {
        while (i < line.size() && isSep(line[i])) ++i;
        std::size_t s = i;
        while (i < line.size() && !isSep(line[i])) ++i;
        if (i > s) {
            any = true;
            if (!ContainsNonNumericChar(line.substr(s, i - s))) return false;
        }
    }
    return any;
}

EditOutcome PasteText(CommonState& cs, Worksheet& ws, std::string_view text, GridRect selection) {
    return Paste(cs, ws, text, selection, false);
}

EditOutcome PasteDescriptionText(CommonState& cs, Worksheet& ws, std::string_view text, GridRect selection) {
    return Paste(cs, ws, text, selection, true);
}

EditOutcome FillSelection(Worksheet& ws, GridRect sel, std::string_view text) {
    EditOutcome out;
    for (int r = sel.top; r <= sel.bottom; ++r)
        for (int c = sel.left; c <= sel.right; ++c) ws.SetCell(c, r, text);
    out.changed = out.dataDirty = true;
    out.touchedFirst = sel.top;
    out.touchedLast = sel.bottom;
    return out;
}

EditOutcome FillDescriptionSelection(Worksheet& ws, GridRect sel, std::string_view text) {
    EditOutcome out;
    for (int r = std::max(1, sel.top); r <= std::min(Worksheet::DescriptionRows, sel.bottom); ++r)
        for (int c = sel.left; c <= sel.right; ++c) ws.SetDescription(r, c, text);
    out.changed = out.dataDirty = true;
    return out;
}

EditOutcome DeleteRows(Worksheet& ws, GridRect sel) {
    EditOutcome out;
    if (sel.top <= 1 && sel.bottom >= ws.RowCount()) {
        out.needsNew = true;
        return out;
    }
    const bool reachedEnd = sel.bottom >= ws.RowCount();
    ws.DeleteRows(sel.top, sel.Height());
    out.changed = out.variablesChanged = out.dataDirty = true;
    out.touchedFirst = std::min(sel.top, ws.RowCount());
    out.touchedLast = ws.RowCount();
    out.moveCurrent = true;
    out.current = {1, std::max(1, reachedEnd ? sel.top - 1 : sel.top)};
    return out;
}

EditOutcome InsertRows(Worksheet& ws, GridRect sel) {
    EditOutcome out;
    ws.InsertRows(sel.top, sel.Height());
    out.changed = out.variablesChanged = out.dataDirty = out.allRowsTouched = true;
    out.touchedFirst = 1;
    out.touchedLast = ws.RowCount();
    out.moveCurrent = true;
    out.current = {1, sel.top};
    return out;
}

EditOutcome DeleteColumns(Worksheet& ws, GridRect sel) {
    EditOutcome out;
    if (sel.left <= 1 && sel.right >= ws.ColumnCount()) {
        out.needsNew = true;
        return out;
    }
    const bool reachedEnd = sel.right >= ws.ColumnCount();
    ws.DeleteColumns(sel.left, sel.Width());
    ws.RepairColumnNames();
    out.changed = out.dataChanged = out.dataDirty = out.columnsChanged = out.allRowsTouched = true;
    out.resetProcessIf = true;
    out.touchedFirst = 1;
    out.touchedLast = ws.RowCount();
    out.moveCurrent = true;
    out.current = {std::max(1, reachedEnd ? sel.left - 1 : sel.left), 1};
    return out;
}

EditOutcome InsertColumns(CommonState& cs, Worksheet& ws, GridRect sel) {
    EditOutcome out;
    if (!ws.InsertColumns(sel.left, sel.Width())) {
        cs.messages->Error(MaxColumnsExceededMessage);
        out.refused = true;
        return out;
    }
    ws.RepairColumnNames();
    out.changed = out.dataChanged = out.dataDirty = out.columnsChanged = out.allRowsTouched = true;
    out.resetProcessIf = true;
    out.touchedFirst = 1;
    out.touchedLast = ws.RowCount();
    out.moveCurrent = true;
    out.current = {sel.left, 1};
    return out;
}

EditOutcome InsertCaseNumbers(CommonState& cs, Worksheet& ws) {
    EditOutcome out;
    if (!ws.InsertColumns(1, 1)) {
        cs.messages->Error(MaxColumnsExceededMessage);
        out.refused = true;
        return out;
    }
    ws.SetColumnName(1, "Case");
    for (int r = 1; r <= ws.RowCount(); ++r) ws.SetCell(1, r, std::to_string(r));
    ws.RepairColumnNames();
    out.changed = out.dataChanged = out.dataDirty = out.columnsChanged = out.allRowsTouched = true;
    out.resetProcessIf = true;
    out.touchedFirst = 1;
    out.touchedLast = ws.RowCount();
    out.moveCurrent = true;
    out.current = {1, 1};
    return out;
}

EditOutcome TransposeWorksheet(CommonState& cs, Worksheet& ws) {
    EditOutcome out;
    if (!ws.Transpose()) {
        cs.messages->Error(MaxColumnsExceededMessage);
        out.refused = true;
        return out;
    }
    out.changed = out.dataChanged = out.dataDirty = out.columnsChanged = out.allRowsTouched = true;
    out.resetProcessIf = true;
    out.touchedFirst = 1;
    out.touchedLast = ws.RowCount();
    return out;
}

bool GrowForTab(Worksheet& ws) {
    if (ws.ColumnCount() >= Worksheet::MaxColumns) return false;
    return ws.InsertColumns(ws.ColumnCount() + 1, 1);
}

bool GrowForEnter(Worksheet& ws, int currentRow) {
    if (currentRow < ws.RowCount()) return false;
    ws.SetRowCount(ws.RowCount() + 1);
    return true;
}

GridCell JumpTarget(const Worksheet& ws, GridCell from, JumpDirection dir) {
    const bool vertical = dir == JumpDirection::Up || dir == JumpDirection::Down;
    const int step = (dir == JumpDirection::Down || dir == JumpDirection::Right) ? 1 : -1;
    const int last = vertical ? ws.RowCount() : ws.ColumnCount();
    int pos = vertical ? from.row : from.col;
    auto empty = [&](int p) { return vertical ? ws.CellEmpty(from.col, p) : ws.CellEmpty(p, from.row); };
    auto inside = [&](int p) { return p >= 1 && p <= last; };
    int v = pos + step;
    if (!inside(v)) return from;
    if (!empty(v)) {
        while (inside(v + step) && !empty(v + step)) v += step;
    } else {
        while (inside(v + step) && empty(v)) v += step;
    }
    GridCell to = from;
    (vertical ? to.row : to.col) = v;
    return to;
}

}  // namespace amx
