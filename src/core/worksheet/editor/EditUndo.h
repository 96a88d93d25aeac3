#pragma once
// Undo records for the data editor's changes. A record holds only what an
// edit replaced: the cells of the block it wrote, the rows or columns it
// removed, the sheet's shape, and the names and descriptions (a few strings
// per column). Applying a record exchanges its contents with the worksheet's,
// so the one object first undoes the edit and then, applied again, redoes it,
// and never holds more than one copy of the changed text.
//
// Typical use: capture a record for the edit about to happen, run the edit
// (GridEdit.h), keep the record if the edit changed anything.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "worksheet/Worksheet.h"
#include "worksheet/editor/GridEdit.h"

namespace amx {

class WorksheetUndo {
public:
    WorksheetUndo() = default;

    // Before an edit that writes cells in place, possibly growing the sheet
    // at its end and renaming columns: `block` is every cell the edit may
    // write (it may reach past the sheet).
    static WorksheetUndo ForBlock(const Worksheet& ws, GridRect block);
    // Before a change to names or descriptions only (or a growth at the end).
    static WorksheetUndo ForHeaders(const Worksheet& ws) { return ForBlock(ws, {1, 1, 0, 0}); }
    // Before deleting `count` rows from `first` (the rows' cells are kept).
    static WorksheetUndo ForRowsDeleted(const Worksheet& ws, int first, int count);
    // Before inserting `count` rows at `first`.
    static WorksheetUndo ForRowsInserted(const Worksheet& ws, int first, int count);
    static WorksheetUndo ForColumnsDeleted(const Worksheet& ws, int first, int count);
    static WorksheetUndo ForColumnsInserted(const Worksheet& ws, int first, int count);
    // Before exchanging rows and columns.
    static WorksheetUndo ForTranspose(const Worksheet& ws);

    // The block a paste of `text` at `selection` may write: the selection and
    // the pasted text's extent from its top-left cell.
    static GridRect PasteBlock(std::string_view text, GridRect selection);

    // Puts back what the record holds and keeps what it replaced.
    void Apply(Worksheet& ws);

    // Bytes held, for the memory bound.
    std::size_t MemoryUsed() const;
    // Whether applying moves columns (a filter by column number no longer fits).
    bool MovesColumns() const {
        return shift_ == Shift::InsertColumns || shift_ == Shift::DeleteColumns || shift_ == Shift::Transpose;
    }

private:
    enum class Shift { None, InsertRows, DeleteRows, InsertColumns, DeleteColumns, Transpose };
    struct Header {
        std::string name;
        std::string descriptions[Worksheet::DescriptionRows];
    };
    // Cells of `block_`, column by column, back to back in one string.
    void CaptureBlock(const Worksheet& ws);
    static std::vector<Header> HeadersOf(const Worksheet& ws);
    void SetHeaders(Worksheet& ws) const;

    Shift shift_ = Shift::None;
    int first_ = 0, count_ = 0;
    int columns_ = 1, rows_ = 1;
    std::vector<Header> headers_;
    GridRect block_{1, 1, 0, 0};  // empty when right < left
    std::string text_;
    std::vector<std::uint32_t> ends_;
};

}  // namespace amx
