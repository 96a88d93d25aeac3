#include "report/ResultTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace amx {
namespace {

const std::string kEmpty;

// Characters on screen: UTF-8 continuation bytes take no room ("²").
size_t DisplayWidth(const std::string& t) {
    size_t w = 0;
    for (unsigned char c : t)
        if ((c & 0xC0) != 0x80) ++w;
    return w;
}

void AppendCsvField(std::string& out, std::string field) {
    // Blanks that only align a grid column are not data.
    const size_t first = field.find_first_not_of(' ');
    field = first == std::string::npos ? std::string() : field.substr(first, field.find_last_not_of(' ') - first + 1);
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace

const std::string& ResultTable::Cell(int col, int row) const {
    if (col < 0 || row < 0 || row > RowCount()) return kEmpty;
    const auto& line = row == 0 ? header : rows[static_cast<size_t>(row - 1)];
    return col < static_cast<int>(line.size()) ? line[static_cast<size_t>(col)] : kEmpty;
}

std::string ResultTableText(const ResultTable& t) {
    std::string text;
    for (int r = 0; r <= t.RowCount(); ++r) {
        for (int c = 0; c < t.ColumnCount(); ++c) {
            if (c) text += '\t';
            text += t.Cell(c, r);
        }
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> ResultTableLines(const ResultTable& t) {
    std::vector<size_t> width(static_cast<size_t>(t.ColumnCount()), 0);
    for (int r = 0; r <= t.RowCount(); ++r)
        for (int c = 0; c < t.ColumnCount(); ++c)
            width[static_cast<size_t>(c)] = std::max(width[static_cast<size_t>(c)], DisplayWidth(t.Cell(c, r)));
    std::vector<std::string> lines;
    for (int r = 0; r <= t.RowCount(); ++r) {
        std::string line;
        for (int c = 0; c < t.ColumnCount(); ++c) {
            const std::string& cell = t.Cell(c, r);
            const size_t pad = width[static_cast<size_t>(c)] - DisplayWidth(cell);
            if (c == 0)
                line += cell + std::string(pad, ' ');
            else
                line += "  " + std::string(pad, ' ') + cell;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string ResultTableCsv(const ResultTable& t) {
    std::string out;
    for (int r = 0; r <= t.RowCount(); ++r) {
        for (int c = 0; c < t.ColumnCount(); ++c) {
            if (c) out += ',';
            AppendCsvField(out, t.Cell(c, r));
        }
        out += '\n';
    }
    return out;
}

CellValue ResultCellValue(const ResultTable& t, int col, int row) {
    CellValue v;
    const std::string& raw = t.Cell(col, row);
    size_t first = raw.find_first_not_of(' '), last = raw.find_last_not_of(' ');
    if (first == std::string::npos) return v;
    std::string text = raw.substr(first, last - first + 1);
    std::string digits;
    for (char c : text)
        if (c != ',') digits += c;
    if (row > 0 && !digits.empty() && digits.back() == '*') digits.pop_back();
    double x = 0;
    const char* end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, x);
    const bool whole = row > 0 && !digits.empty() && ec == std::errc() && ptr == end && std::isfinite(x);
    if (!whole) {
        v.kind = CellValue::Kind::Text;
        v.text = text;
        return v;
    }
    if (x == 999.0 && t.Cell(col, 0) == "p-value") return v;
    v.kind = CellValue::Kind::Number;
    v.number = x;
    return v;
}

}  // namespace amx
