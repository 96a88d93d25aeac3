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

void PrintGridInJob(const GridCellReader& cell, int columns, int rows, const std::string& heading,
                    int rowsPerPage, int lineWidth, GridJobSink& out) {
    if (columns < 1) return;
    rowsPerPage = std::max(1, rowsPerPage);
    auto width = [&](int c) {
        std::size_t w = TextWidth(cell(c, 0));
        for (int r = 1; r <= rows; ++r) w = std::max<std::size_t>(w, TextWidth(cell(c, r)));
        return w + 2;
    };
    const std::size_t w0 = width(0);
    std::vector<std::size_t> widths(columns + 1, 0);
    for (int c = 1; c <= columns; ++c) widths[c] = width(c);
    auto padLeft = [](const std::string& s, std::size_t w) {
        const std::size_t len = TextWidth(s);
        return len >= w ? s : std::string(w - len, ' ') + s;
    };

    // The blocks in print order: row blocks, and within each the column runs.
    struct Block {
        int top, bottom, first, last;
    };
    std::vector<Block> blocks;
    for (int top = 1; top <= std::max(rows, 1); top += rowsPerPage) {
        const int bottom = std::min(rows, top + rowsPerPage - 1);
        for (int first = 1; first <= columns;) {
            int last = first;
            std::size_t running = w0 + widths[first];
            while (last + 1 <= columns && running + widths[last + 1] <= static_cast<std::size_t>(lineWidth)) {
                ++last;
                running += widths[last];
            }
            blocks.push_back({top, bottom, first, last});
            first = last + 1;
        }
    }

    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const Block& k = blocks[b];
        const int need = (k.bottom - k.top + 1) + 6;
        const int left = out.LinesLeftOnPage();
        if (left < need && left < out.LinesPerPage()) {
            out.PageFeed();
        } else if (b == 0) {
            for (int i = 0; i < 3; ++i) out.EmptyLine();
        }
        if (b == 0) {
            out.Heading(heading);
            out.EmptyLine();
        }
        std::string header = padLeft(cell(0, 0), w0 - 2) + " |";
        for (int c = k.first; c <= k.last; ++c) header += padLeft(cell(c, 0), widths[c]);
        out.Line(header, true);
        for (int r = k.top; r <= k.bottom; ++r) {
            std::string line = padLeft(cell(0, r), w0 - 2) + " |";
            for (int c = k.first; c <= k.last; ++c) line += padLeft(cell(c, r), widths[c]);
            out.Line(line, false);
        }
        if (b + 1 < blocks.size()) out.EmptyLine();
    }
}

}  // namespace amx
