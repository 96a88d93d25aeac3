#include "worksheet/editor/EditUndo.h"

#include <algorithm>
#include <utility>

namespace amx {

namespace {

bool EmptyBlock(const GridRect& b) { return b.right < b.left || b.bottom < b.top; }

}  // namespace

WorksheetUndo WorksheetUndo::ForBlock(const Worksheet& ws, GridRect block) {
    WorksheetUndo u;
    u.columns_ = ws.ColumnCount();
    u.rows_ = ws.RowCount();
    u.headers_ = HeadersOf(ws);
    block.left = std::max(block.left, 1);
    block.top = std::max(block.top, 1);
    block.right = std::min(block.right, Worksheet::MaxColumns);
    u.block_ = block;
    u.CaptureBlock(ws);
    return u;
}

WorksheetUndo WorksheetUndo::ForRowsDeleted(const Worksheet& ws, int first, int count) {
    const int last = std::min(ws.RowCount(), first + count - 1);
    WorksheetUndo u = ForBlock(ws, {1, first, ws.ColumnCount(), last});
    u.shift_ = Shift::InsertRows;
    u.first_ = first;
    u.count_ = last - first + 1;
    return u;
}

WorksheetUndo WorksheetUndo::ForRowsInserted(const Worksheet& ws, int first, int count) {
    WorksheetUndo u = ForHeaders(ws);
    u.shift_ = Shift::DeleteRows;
    u.first_ = first;
    u.count_ = count;
    u.block_ = {1, first, ws.ColumnCount(), first + count - 1};
    return u;
}

WorksheetUndo WorksheetUndo::ForColumnsDeleted(const Worksheet& ws, int first, int count) {
    const int last = std::min(ws.ColumnCount(), first + count - 1);
    WorksheetUndo u = ForBlock(ws, {first, 1, last, ws.RowCount()});
    u.shift_ = Shift::InsertColumns;
    u.first_ = first;
    u.count_ = last - first + 1;
    return u;
}

WorksheetUndo WorksheetUndo::ForColumnsInserted(const Worksheet& ws, int first, int count) {
    WorksheetUndo u = ForHeaders(ws);
    u.shift_ = Shift::DeleteColumns;
    u.first_ = first;
    u.count_ = count;
    u.block_ = {first, 1, first + count - 1, ws.RowCount()};
    return u;
}

WorksheetUndo WorksheetUndo::ForTranspose(const Worksheet& ws) {
    WorksheetUndo u = ForHeaders(ws);
    u.shift_ = Shift::Transpose;
    return u;
}

GridRect WorksheetUndo::PasteBlock(std::string_view text, GridRect sel) {
    GridRect b = sel;
    const std::vector<std::string_view> lines = SplitLines(text);
    int width = 0;
    for (auto l : lines) width = std::max(width, static_cast<int>(std::max(SplitPastedLine(l).size(), SplitTabsOnly(l).size())));
    const int height = static_cast<int>(lines.size());
    if (width > 0) b.right = std::max(b.right, sel.left + width - 1);
    if (height > 0) b.bottom = std::max(b.bottom, sel.top + height - 1);
    return b;
}

void WorksheetUndo::CaptureBlock(const Worksheet& ws) {
    text_.clear();
    ends_.clear();
    if (EmptyBlock(block_)) return;
    ends_.reserve(static_cast<std::size_t>(block_.Width()) * static_cast<std::size_t>(block_.Height()));
    for (int c = block_.left; c <= block_.right; ++c)
        for (int r = block_.top; r <= block_.bottom; ++r) {
            text_.append(ws.CellView(c, r));
            ends_.push_back(static_cast<std::uint32_t>(text_.size()));
        }
    text_.shrink_to_fit();
}

std::vector<WorksheetUndo::Header> WorksheetUndo::HeadersOf(const Worksheet& ws) {
    std::vector<Header> out(static_cast<std::size_t>(ws.ColumnCount()));
    for (int c = 1; c <= ws.ColumnCount(); ++c) {
        Header& h = out[c - 1];
        h.name = ws.ColumnName(c);
        for (int r = 1; r <= Worksheet::DescriptionRows; ++r) h.descriptions[r - 1] = ws.Description(r, c);
    }
    return out;
}

void WorksheetUndo::SetHeaders(Worksheet& ws) const {
    const int n = std::min(ws.ColumnCount(), static_cast<int>(headers_.size()));
    for (int c = 1; c <= n; ++c) {
        const Header& h = headers_[c - 1];
        if (ws.ColumnName(c) != h.name) ws.SetColumnName(c, h.name);
        for (int r = 1; r <= Worksheet::DescriptionRows; ++r)
            if (ws.Description(r, c) != h.descriptions[r - 1]) ws.SetDescription(r, c, h.descriptions[r - 1]);
    }
}

void WorksheetUndo::Apply(Worksheet& ws) {
    const int nowColumns = ws.ColumnCount(), nowRows = ws.RowCount();
    // Taken before any column goes, set after the shape is back.
    std::vector<Header> nowHeaders = HeadersOf(ws);
    auto writeBlock = [&](const std::string& text, const std::vector<std::uint32_t>& ends) {
        std::size_t i = 0, start = 0;
        for (int c = block_.left; c <= block_.right; ++c)
            for (int r = block_.top; r <= block_.bottom; ++r, ++i) {
                const std::size_t end = i < ends.size() ? ends[i] : start;
                const std::string_view cell(text.data() + start, end - start);
                if (ws.CellView(c, r) != cell) ws.SetCell(c, r, cell);
                start = end;
            }
    };
    switch (shift_) {
    case Shift::InsertRows:
        ws.InsertRows(first_, count_);
        writeBlock(text_, ends_);
        text_.clear();
        ends_.clear();
        shift_ = Shift::DeleteRows;
        break;
    case Shift::DeleteRows:
        CaptureBlock(ws);
        ws.DeleteRows(first_, count_);
        shift_ = Shift::InsertRows;
        break;
    case Shift::InsertColumns:
        ws.InsertColumns(first_, count_);
        writeBlock(text_, ends_);
        text_.clear();
        ends_.clear();
        shift_ = Shift::DeleteColumns;
        break;
    case Shift::DeleteColumns:
        CaptureBlock(ws);
        ws.DeleteColumns(first_, count_);
        shift_ = Shift::InsertColumns;
        break;
    case Shift::Transpose:
        ws.Transpose();
        break;
    case Shift::None: {
        // Grow first, so the block's far cells exist to be written; shrink
        // after, so what the growth held is kept in the record.
        ws.SetColumnCount(std::max(nowColumns, columns_));
        ws.SetRowCount(std::max(nowRows, rows_));
        std::string text = std::move(text_);
        std::vector<std::uint32_t> ends = std::move(ends_);
        CaptureBlock(ws);
        writeBlock(text, ends);
        break;
    }
    }
    ws.SetColumnCount(columns_);
    ws.SetRowCount(rows_);
    SetHeaders(ws);
    headers_ = std::move(nowHeaders);
    columns_ = nowColumns;
    rows_ = nowRows;
}

std::size_t WorksheetUndo::MemoryUsed() const {
    std::size_t n = sizeof(*this) + text_.capacity() + ends_.capacity() * sizeof(std::uint32_t);
    for (const Header& h : headers_) {
        n += sizeof(Header) + h.name.capacity();
        for (const auto& d : h.descriptions) n += d.capacity();
    }
    return n;
}

}  // namespace amx
