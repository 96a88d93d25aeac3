#include "worksheet/Worksheet.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <utility>

namespace amx {

namespace {

const std::string kEmpty;

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

const std::string& DescriptionHeader(int descriptionRow) {
    static const std::string headers[] = {"", "Title:", "USL:", "Target:", "LSL:"};
    if (descriptionRow < 1 || descriptionRow > 4) return kEmpty;
    return headers[descriptionRow];
}

std::string DefaultColumnName(int column) { return "Col" + std::to_string(column); }

Worksheet::Worksheet() { Clear(); }

Worksheet::Column Worksheet::MakeColumn(int number) {
    Column c;
    c.name = DefaultColumnName(number);
    return c;
}

void Worksheet::Clear() {
    columns_.clear();
    columns_.push_back(MakeColumn(1));
    rows_ = 1;
    Touch();
}

void Worksheet::StoreText(Column& col, CellRef& ref, std::string_view text) {
    col.deadBytes += ref.length;
    if (text.empty()) {
        ref = CellRef{};
        return;
    }
    // Offsets are 32-bit: compact before the arena would outgrow them, and
    // whenever more than half of it is dead.
    const std::size_t limit = std::numeric_limits<std::uint32_t>::max();
    if (col.arena.size() + text.size() > limit ||
        (col.deadBytes > 4096 && col.deadBytes * 2 > col.arena.size())) {
        ref = CellRef{};
        Compact(col);
    }
    if (col.arena.size() + text.size() > limit || text.size() > limit) {
        ref = CellRef{};  // a column of over 4 GB of text: keep the sheet sound
        return;
    }
    ref.offset = static_cast<std::uint32_t>(col.arena.size());
    ref.length = static_cast<std::uint32_t>(text.size());
    col.arena.append(text);
}

void Worksheet::Compact(Column& col) {
    std::string fresh;
    fresh.reserve(col.arena.size() - std::min(col.deadBytes, col.arena.size()));
    for (CellRef& ref : col.cells) {
        if (ref.length == 0) {
            ref.offset = 0;
            continue;
        }
        std::uint32_t at = static_cast<std::uint32_t>(fresh.size());
        fresh.append(col.arena, ref.offset, ref.length);
        ref.offset = at;
    }
    col.arena = std::move(fresh);
    col.deadBytes = 0;
}

void Worksheet::SetCell(int column, int row, std::string_view text) {
    if (!ValidCell(column, row)) return;
    Column& c = columns_[column - 1];
    if (static_cast<std::size_t>(row) > c.cells.size()) {
        if (text.empty()) return;
        c.cells.resize(static_cast<std::size_t>(row));
    }
    CellRef& ref = c.cells[row - 1];
    if (std::string_view(c.arena.data() + ref.offset, ref.length) == text) return;
    // text may point into this very arena; copy before the arena can move.
    if (!text.empty() && text.data() >= c.arena.data() &&
        text.data() < c.arena.data() + c.arena.size()) {
        std::string copy(text);
        StoreText(c, ref, copy);
    } else {
        StoreText(c, ref, text);
    }
    Touch();
}

const std::string& Worksheet::ColumnName(int column) const {
    if (column < 1 || column > ColumnCount()) return kEmpty;
    return columns_[column - 1].name;
}

void Worksheet::SetColumnName(int column, std::string_view name) {
    if (column < 1 || column > ColumnCount()) return;
    columns_[column - 1].name.assign(name);
    Touch();
}

const std::string& Worksheet::Description(int descriptionRow, int column) const {
    if (descriptionRow < 1 || descriptionRow > DescriptionRows || column < 1 ||
        column > ColumnCount())
        return kEmpty;
    return columns_[column - 1].descriptions[descriptionRow - 1];
}

void Worksheet::SetDescription(int descriptionRow, int column, std::string_view text) {
    if (descriptionRow < 1 || descriptionRow > DescriptionRows || column < 1 ||
        column > ColumnCount())
        return;
    columns_[column - 1].descriptions[descriptionRow - 1].assign(text);
    Touch();
}

bool Worksheet::HasDescriptions() const {
    for (const Column& c : columns_)
        for (const std::string& d : c.descriptions)
            if (!d.empty()) return true;
    return false;
}

bool Worksheet::HasModifiedColumnNames() const {
    for (int i = 1; i <= ColumnCount(); ++i)
        if (!EqualsIgnoreCase(columns_[i - 1].name, DefaultColumnName(i))) return true;
    return false;
}

void Worksheet::RepairColumnNames() {
    for (int i = 1; i <= ColumnCount(); ++i) {
        std::string& name = columns_[i - 1].name;
        bool repair = name.empty();
        if (!repair && name.size() > 3 && EqualsIgnoreCase(std::string_view(name).substr(0, 3), "COL")) {
            std::string_view digits = std::string_view(name).substr(3);
            bool allDigits = std::all_of(digits.begin(), digits.end(),
                                         [](char ch) { return ch >= '0' && ch <= '9'; });
            if (allDigits) {
                // Compare as numbers without overflowing: strip leading zeros.
                std::string_view d = digits;
                while (d.size() > 1 && d.front() == '0') d.remove_prefix(1);
                repair = d != std::to_string(i);
            }
        }
        if (repair) name = DefaultColumnName(i);
    }
    Touch();
}

void Worksheet::InsertRows(int beforeRow, int count) {
    if (count <= 0) return;
    beforeRow = std::clamp(beforeRow, 1, rows_ + 1);
    for (Column& c : columns_)
        if (static_cast<std::size_t>(beforeRow - 1) < c.cells.size())
            c.cells.insert(c.cells.begin() + (beforeRow - 1), static_cast<std::size_t>(count), CellRef{});
    rows_ += count;
    Touch();
}

void Worksheet::DeleteRows(int firstRow, int count) {
    if (count <= 0 || firstRow > rows_) return;
    if (firstRow < 1) {
        count -= 1 - firstRow;
        firstRow = 1;
    }
    int last = std::min(rows_, firstRow + count - 1);
    if (last < firstRow) return;
    for (Column& c : columns_) {
        const int stored = static_cast<int>(c.cells.size());
        const int end = std::min(last, stored);
        if (end < firstRow) continue;
        for (int r = firstRow; r <= end; ++r) c.deadBytes += c.cells[r - 1].length;
        c.cells.erase(c.cells.begin() + (firstRow - 1), c.cells.begin() + end);
    }
    rows_ -= last - firstRow + 1;
    if (rows_ == 0) {
        rows_ = 1;
        for (Column& c : columns_) c.cells.clear();
    }
    for (Column& c : columns_)
        if (c.deadBytes > 4096 && c.deadBytes * 2 > c.arena.size()) Compact(c);
    Touch();
}

bool Worksheet::InsertColumns(int beforeColumn, int count) {
    if (count <= 0) return true;
    if (ColumnCount() + count > MaxColumns) return false;
    beforeColumn = std::clamp(beforeColumn, 1, ColumnCount() + 1);
    std::vector<Column> fresh;
    fresh.reserve(count);
    for (int k = 0; k < count; ++k) fresh.push_back(MakeColumn(beforeColumn + k));
    columns_.insert(columns_.begin() + (beforeColumn - 1), std::make_move_iterator(fresh.begin()),
                    std::make_move_iterator(fresh.end()));
    Touch();
    return true;
}

void Worksheet::DeleteColumns(int firstColumn, int count) {
    if (count <= 0 || firstColumn > ColumnCount()) return;
    if (firstColumn < 1) {
        count -= 1 - firstColumn;
        firstColumn = 1;
    }
    int last = std::min(ColumnCount(), firstColumn + count - 1);
    if (last < firstColumn) return;
    columns_.erase(columns_.begin() + (firstColumn - 1), columns_.begin() + last);
    if (columns_.empty()) columns_.push_back(MakeColumn(1));
    Touch();
}

void Worksheet::SetRowCount(int rows) {
    rows = std::max(rows, 1);
    if (rows < rows_) {
        DeleteRows(rows + 1, rows_ - rows);
    } else if (rows > rows_) {
        rows_ = rows;
        Touch();
    }
}

void Worksheet::SetColumnCount(int columns) {
    columns = std::clamp(columns, 1, MaxColumns);
    if (columns < ColumnCount())
        DeleteColumns(columns + 1, ColumnCount() - columns);
    else if (columns > ColumnCount())
        InsertColumns(ColumnCount() + 1, columns - ColumnCount());
}

bool Worksheet::Transpose() {
    if (rows_ > MaxColumns) return false;
    const int oldCols = ColumnCount();
    const int oldRows = rows_;
    std::vector<Column> fresh;
    fresh.reserve(oldRows);
    for (int r = 1; r <= oldRows; ++r) {
        Column c = MakeColumn(r);
        for (int col = 1; col <= oldCols; ++col) {
            std::string_view text = CellView(col, r);
            if (text.empty()) continue;
            c.cells.resize(static_cast<std::size_t>(col));
            StoreText(c, c.cells[col - 1], text);
        }
        c.deadBytes = 0;
        fresh.push_back(std::move(c));
    }
    columns_ = std::move(fresh);
    rows_ = oldCols;
    Touch();
    return true;
}

void Worksheet::BeginLoad(int columns, std::size_t expectedRows) {
    columns = std::clamp(columns, 1, MaxColumns);
    columns_.clear();
    columns_.reserve(static_cast<std::size_t>(columns));
    for (int i = 1; i <= columns; ++i) {
        columns_.push_back(MakeColumn(i));
        columns_.back().cells.reserve(expectedRows);
    }
    rows_ = 0;
    Touch();
}

bool Worksheet::AppendRow(const std::string_view* cells, int count) {
    bool complete = true;
    if (count > MaxColumns) {
        count = MaxColumns;
        complete = false;
    }
    while (ColumnCount() < count) columns_.push_back(MakeColumn(ColumnCount() + 1));
    for (int i = 0; i < count; ++i) {
        if (cells[i].empty()) continue;
        Column& c = columns_[i];
        c.cells.resize(static_cast<std::size_t>(rows_) + 1);
        StoreText(c, c.cells.back(), cells[i]);
    }
    ++rows_;
    Touch();
    return complete;
}

void Worksheet::EndLoad() {
    if (rows_ == 0) rows_ = 1;
    Touch();
}

void Worksheet::ReserveForLoad(std::size_t rows) {
    if (rows <= static_cast<std::size_t>(rows_)) return;
    if (rows_ <= 0) return;
    for (Column& c : columns_) {
        // Each column grows as far as it has filled so far, in proportion.
        const double share = static_cast<double>(c.cells.size()) / rows_;
        c.cells.reserve(static_cast<std::size_t>(share * 1.02 * static_cast<double>(rows)));
        double perRow = static_cast<double>(c.arena.size()) / rows_;
        c.arena.reserve(static_cast<std::size_t>(perRow * 1.02 * static_cast<double>(rows)) + 64);
    }
}

std::size_t Worksheet::MemoryUsed() const {
    std::size_t total = 0;
    for (const Column& c : columns_) total += c.arena.capacity() + c.cells.capacity() * sizeof(CellRef);
    return total;
}

}  // namespace amx
