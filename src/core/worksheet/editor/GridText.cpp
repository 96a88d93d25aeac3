#include "worksheet/editor/GridText.h"

#include <algorithm>

#include "common/TextUtils.h"

namespace amx {

std::string GridBlockText(const GridCellReader& cell, GridRect b) {
    std::string out;
    for (int r = b.top; r <= b.bottom; ++r) {
        for (int c = b.left; c <= b.right; ++c) {
            if (c > b.left) out += '\t';
            out += cell(c, r);
        }
        out += "\r\n";
    }
    return out;
}

std::vector<GridPrintPage> LayoutGridPrint(const GridCellReader& cell, GridRect range, int rowsPerPage,
                                           int lineWidth) {
    std::vector<GridPrintPage> pages;
    rowsPerPage = std::max(1, rowsPerPage);
    auto width = [&](int c) {
        std::size_t w = TextWidth(cell(c, 0));
        for (int r = range.top; r <= range.bottom; ++r) w = std::max<std::size_t>(w, TextWidth(cell(c, r)));
        return w + 3;
    };
    const std::size_t w0 = width(0);
    std::vector<std::size_t> widths(range.right + 1, 0);
    for (int c = range.left; c <= range.right; ++c) widths[c] = width(c);
    auto padLeft = [](const std::string& s, std::size_t w) {
        const std::size_t len = TextWidth(s);
        return len >= w ? s : std::string(w - len, ' ') + s;
    };

    for (int top = range.top; top <= range.bottom; top += rowsPerPage) {
        const int bottom = std::min(range.bottom, top + rowsPerPage - 1);
        for (int first = range.left; first <= range.right;) {
            int last = first;
            std::size_t running = w0 + widths[first];
            while (last + 1 <= range.right && running + widths[last + 1] <= static_cast<std::size_t>(lineWidth)) {
                ++last;
                running += widths[last];
            }
            GridPrintPage page;
            page.header = padLeft(cell(0, 0), w0 - 3) + " | ";
            for (int c = first; c <= last; ++c) page.header += padLeft(cell(c, 0), widths[c]);
            for (int r = top; r <= bottom; ++r) {
                std::string line = padLeft(cell(0, r), w0 - 3) + " | ";
                for (int c = first; c <= last; ++c) line += padLeft(cell(c, r), widths[c]);
                page.lines.push_back(std::move(line));
            }
            pages.push_back(std::move(page));
            first = last + 1;
        }
    }
    return pages;
}

}  // namespace amx
