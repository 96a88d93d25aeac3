#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "common/SafeWrite.h"
#include "worksheet/Worksheet.h"
#include "worksheet/xlsx/Xlsx.h"

namespace amx {
namespace {

std::string Shortest(double x) {
    char buf[64];
    const double a = std::fabs(x);
    const auto format = (a == 0 || (a >= 1e-5 && a < 1e15)) ? std::chars_format::fixed : std::chars_format::scientific;
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, format);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

std::string Fixed(double x, int decimals) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

// How a cell is written: as a number (decimals >= 0: with a fixed-decimals
// format, -1: general) when the reader turns that number back into exactly
// the same text; else as text.
struct NumberPlan {
    bool number = false;
    double value = 0;
    int decimals = -1;
};

NumberPlan PlanCell(std::string_view text) {
    NumberPlan plan;
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    int digits = 0, decimals = -1;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (decimals >= 0) ++decimals;
        } else if (c == '.' && decimals < 0) {
            decimals = 0;
        } else {
            return plan;
        }
    }
    if (digits == 0 || digits > 15 || decimals == 0) return plan;
    double x = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (ec != std::errc() || ptr != text.data() + text.size() || (x == 0 && text[0] == '-')) return plan;
    if (Shortest(x) == text) {
        plan.number = true;
        plan.value = x;
    } else if (std::fabs(x) < 1e15 && Fixed(x, std::max(decimals, 0)) == text) {
        plan.number = true;
        plan.value = x;
        plan.decimals = std::max(decimals, 0);
    }
    return plan;
}

class WorkbookWriter {
public:
    explicit WorkbookWriter(const std::string& path) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        wb_ = workbook_new_opt(path.c_str(), &options);
    }
    ~WorkbookWriter() {
        if (wb_) workbook_close(wb_);
    }
    bool ok() const { return wb_ && error_.empty(); }
    const std::string& error() const { return error_; }
    lxw_worksheet* AddSheet(const char* name) { return wb_ ? workbook_add_worksheet(wb_, name) : nullptr; }

    void Text(lxw_worksheet* ws, int row, int col, std::string_view text) {
        if (!error_.empty() || text.empty()) return;
        const std::string t(text);
        const lxw_error e = worksheet_write_string(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                                   t.c_str(), nullptr);
        if (e == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            error_ = XlsxCellTooLongText;
        else if (e != LXW_NO_ERROR)
            error_ = lxw_strerror(e);
    }
    void Cell(lxw_worksheet* ws, int row, int col, std::string_view text) {
        const NumberPlan plan = PlanCell(text);
        if (!plan.number) return Text(ws, row, col, text);
        if (!error_.empty()) return;
        const lxw_error e = worksheet_write_number(ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                                   plan.value, plan.decimals < 0 ? nullptr : Format(plan.decimals));
        if (e != LXW_NO_ERROR) error_ = lxw_strerror(e);
    }
    bool Close() {
        if (!wb_) return false;
        const lxw_error e = workbook_close(wb_);
        wb_ = nullptr;
        if (e != LXW_NO_ERROR && error_.empty()) error_ = lxw_strerror(e);
        return error_.empty();
    }

private:
    lxw_format* Format(int decimals) {
        auto it = formats_.find(decimals);
        if (it != formats_.end()) return it->second;
        lxw_format* f = workbook_add_format(wb_);
        format_set_num_format(f, decimals == 0 ? "0" : ("0." + std::string(static_cast<std::size_t>(decimals), '0')).c_str());
        formats_[decimals] = f;
        return f;
    }

    lxw_workbook* wb_ = nullptr;
    std::map<int, lxw_format*> formats_;
    std::string error_;
};

}  // namespace

bool WriteWorkbook(const Worksheet& ws, const std::string& fileName, bool namesWanted, bool selectionOnly,
                   bool descriptionsWanted, const CellBlock& selection, std::string& error) {
    CellBlock block{1, 1, ws.ColumnCount(), ws.RowCount()};
    if (selectionOnly) {
        block.left = std::clamp(std::min(selection.left, selection.right), 1, ws.ColumnCount());
        block.right = std::clamp(std::max(selection.left, selection.right), 1, ws.ColumnCount());
        block.top = std::clamp(std::min(selection.top, selection.bottom), 1, ws.RowCount());
        block.bottom = std::clamp(std::max(selection.top, selection.bottom), 1, ws.RowCount());
    }
    // libxlsxwriter writes only to a file name: the temporary one of the safe
    // write, which then replaces the target.
    auto write = [&](const std::string& temp) {
        bool ok = false;
        WorkbookWriter out(temp);
        lxw_worksheet* data = out.AddSheet("Data");
        lxw_worksheet* desc = (namesWanted || descriptionsWanted) ? out.AddSheet("Descriptions") : nullptr;
        if (data && (desc || !(namesWanted || descriptionsWanted))) {
            int row = 0;
            if (namesWanted) {
                for (int c = block.left; c <= block.right; ++c) out.Text(data, 0, c - block.left, ws.ColumnName(c));
                row = 1;
            }
            for (int r = block.top; r <= block.bottom && out.ok(); ++r, ++row)
                for (int c = block.left; c <= block.right; ++c) {
                    const std::string_view cell = ws.CellView(c, r);
                    if (!cell.empty()) out.Cell(data, row, c - block.left, cell);
                }
            if (desc) {
                // "Column" heads the names (the reader's sign that row 1 of
                // the data holds names), then one row per description.
                int drow = 0;
                if (namesWanted) {
                    out.Text(desc, 0, 0, "Column");
                    for (int c = block.left; c <= block.right; ++c)
                        out.Text(desc, 0, c - block.left + 1, ws.ColumnName(c));
                    drow = 1;
                }
                if (descriptionsWanted)
                    for (int d = 1; d <= Worksheet::DescriptionRows; ++d, ++drow) {
                        out.Text(desc, drow, 0, DescriptionHeader(d));
                        for (int c = block.left; c <= block.right; ++c)
                            out.Text(desc, drow, c - block.left + 1, ws.Description(d, c));
                    }
            }
            ok = out.ok();
        }
        ok = out.Close() && ok;
        error = out.error();
        return ok;
    };
    return SafeWriteFileVia(fileName, write) == SafeWriteResult::Written;
}

}  // namespace amx
