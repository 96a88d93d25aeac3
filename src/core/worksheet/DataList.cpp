#include "worksheet/DataList.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "common/NumberText.h"
#include "session/Session.h"
#include "worksheet/FileModificationHooks.h"

namespace amx {

// ============================================================================
// Cell parsing
// ============================================================================

namespace {

// Character classes of cell text. Digits, blank, tab, "+", "-", ".", "E",
// "e" can make up a number; "," and "$" are dropped first; "%" divides by
// 100; anything else makes the cell text.
enum : unsigned char { kDigitLike = 1, kCommaDollar = 2, kPercent = 4, kOther = 8 };
struct CharClassTable {
    unsigned char cls[256] = {};
    constexpr CharClassTable() {
        for (auto& c : cls) c = kOther;
        for (char c : std::string_view("0123456789 \t+-.Ee")) cls[static_cast<unsigned char>(c)] = kDigitLike;
        cls[static_cast<unsigned char>(',')] = kCommaDollar;
        cls[static_cast<unsigned char>('$')] = kCommaDollar;
        cls[static_cast<unsigned char>('%')] = kPercent;
    }
};
constexpr CharClassTable kCharClass;

inline unsigned ClassesOf(std::string_view text) {
    unsigned seen = 0;
    for (char c : text) seen |= kCharClass.cls[static_cast<unsigned char>(c)];
    return seen;
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The standard decimal conversion of a cell: optional blanks, optional sign,
// digits with at most one "." (".5" and "5." are numbers), optional exponent,
// optional blanks. Most cells take Clinger's exact fast path (a mantissa below
// 2^53 scaled by a power of ten that is itself exact, W. D. Clinger, "How to
// read floating point numbers accurately", PLDI 1990); the rest go through
// std::from_chars, which rounds correctly. Overflow fails; underflow gives 0.
bool ConvertCellNumber(std::string_view t, double& out) {
    std::size_t i = 0, n = t.size();
    while (i < n && IsBlank(t[i])) ++i;
    while (n > i && IsBlank(t[n - 1])) --n;
    if (i == n) return false;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') {
        negative = t[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::uint64_t mantissa = 0;
    int digits = 0, significant = 0, dropped = 0, fraction = 0;
    bool point = false, overflowed = false;
    for (; i < n; ++i) {
        char c = t[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            if (significant == 0 && c == '0') {
                if (point) ++fraction;
                continue;
            }
            if (significant < 19) {
                mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
                ++significant;
                if (point) ++fraction;
            } else {
                overflowed = true;
                if (!point) ++dropped;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    long exponent = 0;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) {
            expNegative = t[i] == '-';
            ++i;
        }
        if (i == n || t[i] < '0' || t[i] > '9') return false;
        for (; i < n && t[i] >= '0' && t[i] <= '9'; ++i)
            if (exponent < 100000) exponent = exponent * 10 + (t[i] - '0');
        if (expNegative) exponent = -exponent;
    }
    if (i != n) return false;

    long scale = exponent + dropped - fraction;
    if (!overflowed && mantissa <= (std::uint64_t{1} << 53) && scale >= -22 && scale <= 22) {
        double m = static_cast<double>(mantissa);
        double v = scale >= 0 ? m * kPow10[scale] : m / kPow10[-scale];
        out = negative ? -v : v;
        return true;
    }
    if (mantissa == 0 && !overflowed) {
        out = negative ? -0.0 : 0.0;
        return true;
    }
    // from_chars wants no sign and no blanks; "5." and ".5" are fine for it.
    double v = 0.0;
    auto res = std::from_chars(t.data() + numberStart, t.data() + n, v, std::chars_format::general);
    if (res.ptr != t.data() + n) return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Tiny magnitudes underflow to zero; huge ones cannot be held.
        long magnitude = exponent + (significant - fraction) + dropped;
        if (magnitude >= 0) return false;
        v = 0.0;
    } else if (res.ec != std::errc()) {
        return false;
    }
    out = negative ? -v : v;
    return true;
}

}  // namespace

bool IsTextCell(std::string_view text) { return (ClassesOf(text) & kOther) != 0; }

namespace {

// ParseCell, also telling a text cell apart from a number that happens to
// equal TextValue.
double ParseCellKind(std::string_view text, bool& isText) {
    const unsigned seen = ClassesOf(text);
    isText = (seen & kOther) != 0;
    if (isText) return TextValue;
    // Thousands commas and "$" go first; a cell rarely has them, so the copy
    // is only made when needed.
    char buffer[128];
    std::string heap;
    if (seen & kCommaDollar) {
        char* out = buffer;
        if (text.size() > sizeof buffer) {
            heap.resize(text.size());
            out = heap.data();
        }
        std::size_t k = 0;
        for (char c : text)
            if (c != ',' && c != '$') out[k++] = c;
        text = std::string_view(out, k);
    }
    if (text.empty() || text == "." || text == "..") return MissingValue;

    // One trailing "." is dropped before converting ("7." is 7); the
    // converter itself takes ".5" and "-.5".
    if (text.size() > 1 && text.back() == '.') text.remove_suffix(1);
    double value;
    if (seen & kPercent) {
        std::string stripped;
        stripped.reserve(text.size());
        for (char c : text)
            if (c != '%') stripped.push_back(c);
        if (stripped.size() > 1 && stripped.back() == '.') stripped.pop_back();
        if (!ConvertCellNumber(stripped, value)) return MissingValue;
        value /= 100.0;
    } else if (!ConvertCellNumber(text, value)) {
        return MissingValue;
    }
    return value;
}

}  // namespace

double ParseCell(std::string_view text) {
    bool isText;
    return ParseCellKind(text, isText);
}

// ============================================================================
// TRunInfo
// ============================================================================

void TRunInfo::InitRunInfo() {
    v = Afirst = Alast = ColIndex = ColFirst = ColLast = measure = index = MinRun = MaxRun = 0;
    Col = Ref = Run = false;
    ColRefRun = 0;
    ColRefRunStr.clear();
    CurrentTitle.clear();
    CurrentName.clear();
    MeasureName.clear();
    GroupName.clear();
    for (int i = 1; i < ColumnSlots; ++i) {
        Cpower[i] = 0;
        MaxLevel[i] = 0;
        RefArray[i] = 0;
    }
    NumberOfGroups = TotalCount = 0;
}

// ============================================================================
// TDataList tables
// ============================================================================

void TDataList::InitData() {
    Highlow.fill(false);
    Ncount = Ccount = Rcount = 0;
}

void TDataList::Cleardata() { *this = TDataList(); }

void TDataList::Parse(const Worksheet& ws) {
    const int maxCol = ws.ColumnCount();
    const int n = ws.RowCount();
    const std::size_t rows = static_cast<std::size_t>(n) + 1;

    // Tables: columns 0..maxCol+3, rows 0..n. The spare columns survive a
    // re-parse of a sheet of the same shape.
    const bool sameShape = MaxCol() == maxCol && !CellValues.empty() && CellValues[0].size() == rows;
    MaxSizeCellChange = !sameShape && (static_cast<int>(CellValues.size()) < maxCol + 4 ||
                                       (!CellValues.empty() && CellValues[0].size() < rows));
    CellValues.resize(static_cast<std::size_t>(maxCol) + 4);
    for (int c = 0; c <= maxCol + 3; ++c) {
        auto& col = CellValues[c];
        if (c > maxCol && sameShape) continue;
        if (c >= 1 && c <= maxCol && ws.StoredRows(c) == 0) {
            // An empty column holds no table (ColumnData reads it as missing).
            std::vector<double>().swap(col);
            continue;
        }
        col.assign(rows, MissingValue);
    }
    missing_.assign(rows, MissingValue);
    LevelRows.assign(static_cast<std::size_t>(maxCol) + 1, {});
    Highlow.fill(false);
    StringVar.fill(false);

    for (int c = 1; c <= maxCol; ++c) {
        if (CellValues[c].empty()) {
            Highlow[c] = false;
            ColumnHigh[c] = ColumnLow[c] = 0.0;
            continue;
        }
        double* values = CellValues[c].data();
        bool text = false;
        const int stored = std::min(n, ws.StoredRows(c));
        for (int r = 1; r <= stored; ++r) {
            bool isText;
            values[r] = ParseCellKind(ws.CellView(c, r), isText);
            text |= isText;
        }
        if (text) {
            // Every non-empty cell of a text column is a level, numbered in
            // order of first appearance, compared exactly (case-sensitive).
            StringVar[c] = true;
            std::unordered_map<std::string_view, std::int32_t> levels;
            auto& firstRows = LevelRows[c];
            firstRows.assign(1, 0);
            for (int r = 1; r <= stored; ++r) {
                std::string_view cell = ws.CellView(c, r);
                if (cell.empty()) {
                    values[r] = MissingValue;
                    continue;
                }
                auto [it, added] = levels.try_emplace(cell, static_cast<std::int32_t>(firstRows.size()));
                if (added) firstRows.push_back(r);
                values[r] = it->second;
            }
        }
        double hi = -std::numeric_limits<double>::infinity();
        double lo = std::numeric_limits<double>::infinity();
        bool any = false;
        for (int r = 1; r <= n; ++r) {
            double x = values[r];
            if (x == MissingValue) continue;
            any = true;
            hi = std::max(hi, x);
            lo = std::min(lo, x);
        }
        Highlow[c] = any;
        ColumnHigh[c] = any ? hi : 0.0;
        ColumnLow[c] = any ? lo : 0.0;
    }
    for (int c = maxCol + 1; c < ColumnSlots; ++c) {
        ColumnHigh[c] = ColumnLow[c] = 0.0;
    }

    RowRunCode.assign(rows, 0);
    RowModified.assign(rows, 0);
    Rcount = static_cast<std::int32_t>(rows);
    groupIndexes_.clear();
    runSortedRows_.clear();
    runStart_.clear();
    runIndexValid_ = false;
    parsedRevision_ = ws.Revision();
    parsed_ = true;
}

const TDataList::GroupIndex& TDataList::IndexOf(int column) const {
    for (const auto& g : groupIndexes_)
        if (g.column == column) return g;
    GroupIndex g;
    g.column = column;
    if (column >= 1 && column < static_cast<int>(CellValues.size())) {
        const auto& values = CellValues[column];
        // (level, row) pairs of the present values whose level fits 32 bits,
        // sorted by level with rows ascending inside each level.
        std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
        pairs.reserve(values.size());
        for (std::size_t r = 1; r < values.size(); ++r) {
            double x = values[r];
            if (x == MissingValue) continue;
            double level = std::nearbyint(x);  // halves to even
            if (!(level >= std::numeric_limits<std::int32_t>::min() &&
                  level <= std::numeric_limits<std::int32_t>::max()))
                continue;
            pairs.emplace_back(static_cast<std::int32_t>(level), static_cast<std::int32_t>(r));
        }
        std::sort(pairs.begin(), pairs.end());
        g.rows.reserve(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            if (i == 0 || pairs[i].first != pairs[i - 1].first) {
                g.keys.push_back(pairs[i].first);
                g.start.push_back(static_cast<std::int32_t>(i));
            }
            g.rows.push_back(pairs[i].second);
        }
        g.start.push_back(static_cast<std::int32_t>(pairs.size()));
    } else {
        g.start.push_back(0);
    }
    groupIndexes_.push_back(std::move(g));
    return groupIndexes_.back();
}

TDataList::RowSpan TDataList::GroupRows(int column, std::int32_t v) const {
    const GroupIndex& g = IndexOf(column);
    auto it = std::lower_bound(g.keys.begin(), g.keys.end(), v);
    if (it == g.keys.end() || *it != v) return {};
    std::size_t k = static_cast<std::size_t>(it - g.keys.begin());
    return {g.rows.data() + g.start[k], g.rows.data() + g.start[k + 1]};
}

bool TDataList::NextGroupLevel(int column, std::int64_t v, std::int32_t& level) const {
    const GroupIndex& g = IndexOf(column);
    if (v > std::numeric_limits<std::int32_t>::max()) return false;
    std::int32_t from = static_cast<std::int32_t>(std::max<std::int64_t>(v, std::numeric_limits<std::int32_t>::min()));
    auto it = std::lower_bound(g.keys.begin(), g.keys.end(), from);
    if (it == g.keys.end()) return false;
    level = *it;
    return true;
}

TDataList::RowSpan TDataList::RunRows(int v) const {
    if (!runIndexValid_ || v < 1 || v + 1 > static_cast<int>(runStart_.size())) return {};
    if (v >= static_cast<int>(RunTableCodes.size()) || RunTableCodes[v] <= 0) return {};
    return {runSortedRows_.data() + runStart_[v - 1], runSortedRows_.data() + runStart_[v]};
}

void TDataList::SetRunIndex(std::vector<std::int32_t> sortedRows, std::vector<std::int32_t> runStart) {
    runSortedRows_ = std::move(sortedRows);
    runStart_ = std::move(runStart);
    runIndexValid_ = true;
}

// ============================================================================
// Worksheet queries
// ============================================================================

namespace {

long double DescriptionNumber(const WorksheetState& ws, int row, int c) {
    const std::string& text = ws.worksheet.Description(row, c);
    if (text.empty()) return MissingValue;
    int errorPos = 0;
    long double x = ConvertExtended(text, errorPos);
    return errorPos == 0 ? x : static_cast<long double>(MissingValue);
}

}  // namespace

int MaxCol(const WorksheetState& ws) { return ws.worksheet.ColumnCount(); }

std::string ColumnName(const WorksheetState& ws, int c) { return ws.worksheet.ColumnName(c); }

std::string ColumnTitle(const WorksheetState& ws, int c) {
    return ws.worksheet.Description(DescriptionRow::Title, c);
}

std::string ColumnTitleOrName(const WorksheetState& ws, int c) {
    std::string title = ColumnTitle(ws, c);
    return title.empty() ? ColumnName(ws, c) : title;
}

long double ColumnUSL(const WorksheetState& ws, int c) { return DescriptionNumber(ws, 2, c); }
long double ColumnTarget(const WorksheetState& ws, int c) { return DescriptionNumber(ws, 3, c); }
long double ColumnLSL(const WorksheetState& ws, int c) { return DescriptionNumber(ws, 4, c); }

bool HaveData(const WorksheetState& ws) { return ws.worksheet.HasData(); }

std::string ColumnCode(int column) {
    std::string code(2, 'A');
    code[0] = static_cast<char>(65 + column / 25);
    code[1] = static_cast<char>(65 + column % 25);
    return code;
}

int ColumnOfCode(std::string_view item) {
    if (item.size() < 2) return 0;
    return (static_cast<unsigned char>(item[0]) - 65) * 25 + (static_cast<unsigned char>(item[1]) - 65);
}

// ============================================================================
// Parsing and change tracking
// ============================================================================

void UpdateData(Session& s) {
    s.DataList.Parse(s.worksheet);
    s.DataList.Ncount = s.worksheet.RowCount();
    MaxSizeA_Array(s, s.DataList.Ncount);
    s.DataDirty = false;
    s.VariablesChanged = true;
}

void EnsureDataCurrent(Session& s) {
    if (s.DataDirty || !s.DataList.Parsed() || s.DataList.ParsedRevision() != s.worksheet.Revision())
        UpdateData(s);
}

void SetRowModifiedTrue(WorksheetState& ws, int row) {
    auto& marks = ws.DataList.RowModified;
    if (row >= 0 && row < static_cast<int>(marks.size())) marks[row] = 1;
    ws.DataDirty = true;
}

void SetRowsModified(WorksheetState& ws, int firstRow, int lastRow) {
    for (int r = std::max(firstRow, 0); r <= lastRow; ++r) {
        if (r >= static_cast<int>(ws.DataList.RowModified.size())) break;
        ws.DataList.RowModified[r] = 1;
    }
    ws.DataDirty = true;
}

void SetAllRowsModified(WorksheetState& ws) {
    std::fill(ws.DataList.RowModified.begin(), ws.DataList.RowModified.end(), std::uint8_t{1});
    ws.DataDirty = true;
}

void DataEditorDeactivated(Session& s) {
    if (s.DataDirty) UpdateData(s);
    if (s.VariablesChanged) {
        ++s.VariablesVersion;
        s.VariablesChanged = false;
    }
    if (s.DataChanged) {
        ++s.DataVersion;
        s.DataChanged = false;
    }
}

void ResetDataList(WorksheetState& ws) {
    ws.DataList.Cleardata();
    ws.DataList.InitData();
}

// ============================================================================
// The current sample
// ============================================================================

void MaxSizeA_Array(Session& s, long long n) {
    if (n < 0) n = 0;
    // A_Array[0] is unused, so n values need n + 1 entries.
    if (static_cast<long long>(s.A_Array.size()) < n + 1) s.A_Array.resize(static_cast<std::size_t>(n) + 1);
    s.DataList.Acount = static_cast<std::int32_t>(
        std::min<long long>(static_cast<long long>(s.A_Array.size()) - 1, std::numeric_limits<std::int32_t>::max()));
}

bool DataValid(const Session& s, double x) { return x != MissingValue && MissingRuleAccepts(s, x); }

bool ProcessOK(const Session& s, int row) {
    const TDataList& dl = s.DataList;
    if (dl.ProcessPairX > 0 &&
        (!DataValid(s, dl.Value(dl.ProcessPairX, row)) || !DataValid(s, dl.Value(dl.ProcessPairY, row))))
        return false;
    return ProcessIfAccepts(s, row);
}

void SetProcessPairs(Session& s, int x, int y) {
    if (x == 0 && y == 0) {
        s.DataList.ProcessPairX = s.DataList.ProcessPairY = 0;
        return;
    }
    const int cols = s.worksheet.ColumnCount();
    if (x >= 1 && x <= cols && y >= 1 && y <= cols) {
        s.DataList.ProcessPairX = x;
        s.DataList.ProcessPairY = y;
    }
}

namespace {

constexpr const char* kTooManyRunsMessage =
    "The grouping columns have too many combinations of levels to number.";

bool IsGroupMode(int mode) { return mode == 2 || mode == 6 || mode == 9 || mode == 11; }

int FirstIncludedColumn(const TDataList& dl) {
    for (int c = 1; c <= dl.MaxCol() && c < ColumnSlots; ++c)
        if (dl.IncludeCol[c]) return c;
    return 0;
}

int IncludedCount(const TDataList& dl, int from, int to) {
    int k = 0;
    for (int c = std::max(from, 1); c <= to && c <= dl.MaxCol() && c < ColumnSlots; ++c)
        if (dl.IncludeCol[c]) ++k;
    return k;
}

// Appends the valid values of one column over a list of rows, or over every
// row when `rows` is null.
struct SampleWriter {
    Session& s;
    double* a;
    int top = 0;

    explicit SampleWriter(Session& session) : s(session), a(session.A_Array.data()) {}

    void Add(double x) {
        if (DataValid(s, x)) a[++top] = x;
    }
    void Done() { s.ATop = top; }
};

template <typename RowFn>
void ForEachUsedRow(const Session& s, const TDataList::RowSpan* span, RowFn fn) {
    if (span) {
        for (const std::int32_t* r = span->first; r != span->last; ++r)
            if (ProcessOK(s, *r)) fn(*r);
    } else {
        for (int r = 1; r <= s.DataList.Ncount; ++r)
            if (ProcessOK(s, r)) fn(r);
    }
}

void LoadColumn(SampleWriter& w, int column, const TDataList::RowSpan* span) {
    const TDataList& dl = w.s.DataList;
    if (column < 1 || column >= static_cast<int>(dl.CellValues.size())) return;
    const double* values = dl.ColumnData(column);
    ForEachUsedRow(w.s, span, [&](int r) { w.Add(values[r]); });
}

void LoadIncludedColumns(SampleWriter& w, int from, int to, const TDataList::RowSpan* span) {
    const TDataList& dl = w.s.DataList;
    std::vector<const double*> cols;
    for (int c = std::max(from, 1); c <= to && c <= dl.MaxCol() && c < ColumnSlots; ++c)
        if (dl.IncludeCol[c]) cols.push_back(dl.ColumnData(c));
    if (cols.empty()) return;
    ForEachUsedRow(w.s, span, [&](int r) {
        for (const double* col : cols) w.Add(col[r]);
    });
}

// Rows whose run code is positive (LoadAllToA_Array's run modes).
template <typename Fn>
void ForEachRunRow(const Session& s, Fn fn) {
    const TDataList& dl = s.DataList;
    for (int r = 1; r <= dl.Ncount; ++r)
        if (r < static_cast<int>(dl.RowRunCode.size()) && dl.RowRunCode[r] > 0 && ProcessOK(s, r)) fn(r);
}

void FinishLoad(Session& s, int mode) {
    if (s.ATop > 0 && mode != 8 && mode != 9 && mode != 10) TransformLoadedSample(s, mode);
}

}  // namespace

bool SetRunData(Session& s, TRunInfo& ri) {
    EnsureDataCurrent(s);
    TDataList& dl = s.DataList;
    const int k = std::min<int>(ri.RefArray[0], MaxColumns);
    const int n = dl.Ncount;
    std::fill(dl.RowRunCode.begin(), dl.RowRunCode.end(), 0);

    auto singleEmptyRun = [&] {
        ri.MinRun = ri.MaxRun = 1;
        dl.RunTableCodes.assign(2, 0);
        dl.RunTableRows.assign(2, 0);
        dl.SetRunIndex({}, {0, 0});
        ri.Afirst = ri.MinRun;
        ri.Alast = ri.MaxRun;
    };

    // Levels and place values, checked so that no code leaves 32 bits: the
    // largest code is the product of the level counts.
    std::vector<int> groupCols(k + 1, 0);
    std::vector<double> lowLevel(k + 1, 0.0);
    bool usable = true;
    long double product = 1.0L;
    for (int i = 1; i <= k; ++i) {
        int g = ri.RefArray[i];
        groupCols[i] = g;
        if (g < 1 || g > dl.MaxCol() || !dl.Highlow[g]) {
            // No present value: every row's grouping value is missing.
            usable = false;
            ri.MaxLevel[i] = 1;
            continue;
        }
        long double levels = static_cast<long double>(std::nearbyint(dl.ColumnHigh[g])) -
                             static_cast<long double>(std::nearbyint(dl.ColumnLow[g])) + 1.0L;
        lowLevel[i] = std::nearbyint(dl.ColumnLow[g]);
        product *= levels;
        if (levels > std::numeric_limits<std::int32_t>::max() || product > std::numeric_limits<std::int32_t>::max()) {
            for (int j = 1; j <= k; ++j) ri.MaxLevel[j] = ri.Cpower[j] = 0;
            singleEmptyRun();
            s.StatErrorCode = 1;
            s.messages->Error(kTooManyRunsMessage);
            return false;
        }
        ri.MaxLevel[i] = static_cast<std::int32_t>(levels);
    }
    if (k >= 1) {
        ri.Cpower[k] = 1;
        for (int i = k - 1; i >= 1; --i) ri.Cpower[i] = ri.Cpower[i + 1] * ri.MaxLevel[i + 1];
    }
    if (n < 2) {
        singleEmptyRun();
        return true;
    }

    // code << 32 | row, sorted: runs in code order, rows ascending within.
    std::vector<std::uint64_t> keyed(static_cast<std::size_t>(n));
    for (int r = 1; r <= n; ++r) {
        std::int64_t code = 0;
        if (usable && k >= 1) {
            code = 1;
            for (int i = 1; i <= k; ++i) {
                double x = dl.ColumnData(groupCols[i])[r];
                if (x == MissingValue) {
                    code = 0;
                    break;
                }
                code += static_cast<std::int64_t>(std::nearbyint(x) - lowLevel[i]) * ri.Cpower[i];
            }
        }
        dl.RowRunCode[r] = static_cast<std::int32_t>(code);
        keyed[r - 1] = (static_cast<std::uint64_t>(code) << 32) | static_cast<std::uint32_t>(r);
    }
    std::sort(keyed.begin(), keyed.end());

    dl.RunTableCodes.assign(1, 0);
    dl.RunTableRows.assign(1, 0);
    std::vector<std::int32_t> sortedRows(keyed.size());
    std::vector<std::int32_t> runStart;
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        auto code = static_cast<std::int32_t>(keyed[i] >> 32);
        auto row = static_cast<std::int32_t>(keyed[i] & 0xffffffffu);
        if (i == 0 || code != dl.RunTableCodes.back()) {
            dl.RunTableCodes.push_back(code);
            dl.RunTableRows.push_back(row);
            runStart.push_back(static_cast<std::int32_t>(i));
        }
        sortedRows[i] = row;
    }
    runStart.push_back(static_cast<std::int32_t>(keyed.size()));
    dl.SetRunIndex(std::move(sortedRows), std::move(runStart));

    ri.MinRun = 1;
    ri.MaxRun = static_cast<std::int32_t>(dl.RunTableCodes.size()) - 1;
    ri.Afirst = ri.MinRun;
    ri.Alast = ri.MaxRun;
    return true;
}

void DataToA_Array(Session& s, int v, TRunInfo& ri) {
    EnsureDataCurrent(s);
    s.SaveRandSeed();
    TDataList& dl = s.DataList;
    const int mode = ri.ColRefRun;
    const int maxCol = dl.MaxCol();
    long long capacity = dl.Ncount;
    if (mode == 5) {
        capacity *= std::max(1, v > maxCol ? 1 : IncludedCount(dl, ri.Afirst, ri.Alast));
    } else if (mode == 6 || mode == 7) {
        capacity *= std::max(1, IncludedCount(dl, 1, maxCol));
    }
    MaxSizeA_Array(s, capacity);
    s.ATop = 0;

    SampleWriter w(s);
    const int firstIncluded = FirstIncludedColumn(dl);
    switch (mode) {
        case 1:
            if (v >= 1 && v <= maxCol) {
                if (dl.IncludeCol[v]) LoadColumn(w, v, nullptr);
            } else if (v > maxCol && v <= maxCol + 3) {
                LoadColumn(w, v, nullptr);  // spare row-statistics column
            }
            dl.DescCol = ri.v;
            break;
        case 2: {
            auto rows = dl.GroupRows(ri.index, v);
            if (!rows.empty()) LoadColumn(w, ri.measure, &rows);
            dl.DescCol = ri.measure;
            break;
        }
        case 3:
        case 20: {
            auto rows = dl.RunRows(v);
            if (!rows.empty()) LoadColumn(w, ri.measure, &rows);
            dl.DescCol = ri.measure;
            break;
        }
        case 5:
            if (v > maxCol)
                LoadColumn(w, v, nullptr);
            else
                LoadIncludedColumns(w, ri.Afirst, ri.Alast, nullptr);
            ri.v = ri.Alast;
            dl.DescCol = ri.Afirst;
            break;
        case 6: {
            auto rows = dl.GroupRows(ri.index, v);
            if (!rows.empty()) LoadIncludedColumns(w, 1, maxCol, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        case 7: {
            auto rows = dl.RunRows(v);
            if (!rows.empty()) LoadIncludedColumns(w, 1, maxCol, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        case 8:
            LoadColumn(w, maxCol + 1, nullptr);
            ri.v = ri.Alast;
            dl.DescCol = firstIncluded;
            break;
        case 9: {
            auto rows = dl.GroupRows(ri.index, v);
            if (!rows.empty()) LoadColumn(w, maxCol + 1, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        case 10: {
            auto rows = dl.RunRows(v);
            if (!rows.empty()) LoadColumn(w, maxCol + 1, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        case 11: {
            auto rows = dl.GroupRows(ri.index, v);
            if (!rows.empty()) LoadColumn(w, ri.ColIndex, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        case 12: {
            auto rows = dl.RunRows(v);
            if (!rows.empty()) LoadColumn(w, ri.ColIndex, &rows);
            dl.DescCol = firstIncluded;
            break;
        }
        default:
            break;
    }
    w.Done();
    FinishLoad(s, mode);
}

void LoadAllToA_Array(Session& s, TRunInfo& ri) {
    EnsureDataCurrent(s);
    s.SaveRandSeed();
    TDataList& dl = s.DataList;
    const int mode = ri.ColRefRun;
    const int maxCol = dl.MaxCol();
    const int included = IncludedCount(dl, 1, maxCol);
    MaxSizeA_Array(s, static_cast<long long>(dl.Ncount) * std::max(1, included));
    s.ATop = 0;

    SampleWriter w(s);
    const int firstIncluded = FirstIncludedColumn(dl);
    switch (mode) {
        case 1:
        case 5:
        case 6:
        case 11:
            LoadIncludedColumns(w, 1, maxCol, nullptr);
            break;
        case 2:
            LoadColumn(w, ri.measure, nullptr);
            break;
        case 3:
        case 20:
            if (ri.measure >= 1 && ri.measure <= maxCol) {
                const double* values = dl.ColumnData(ri.measure);
                ForEachRunRow(s, [&](int r) { w.Add(values[r]); });
            }
            break;
        case 7:
        case 12: {
            std::vector<const double*> cols;
            for (int c = 1; c <= maxCol; ++c)
                if (dl.IncludeCol[c]) cols.push_back(dl.ColumnData(c));
            ForEachRunRow(s, [&](int r) {
                for (const double* col : cols) w.Add(col[r]);
            });
            break;
        }
        case 8:
        case 9:
            LoadColumn(w, maxCol + 1, nullptr);
            break;
        case 10: {
            const double* values = dl.ColumnData(maxCol + 1);
            ForEachRunRow(s, [&](int r) { w.Add(values[r]); });
            break;
        }
        default:
            break;
    }
    w.Done();
    dl.DescCol = (mode == 2 || mode == 3 || mode == 20) ? ri.measure : firstIncluded;
    ri.CurrentName = ri.CurrentTitle = "(All)";
    FinishLoad(s, mode);
}

void SetupIndex(TRunInfo& ri) {
    ri.v = ri.Afirst - 1;
    ri.ColIndex = ri.ColFirst;
}

namespace {

// The next included column after `from` up to ColLast, or 0.
int NextIncludedColumn(const Session& s, const TRunInfo& ri, int from) {
    for (int c = from + 1; c <= ri.ColLast && c < ColumnSlots; ++c)
        if (s.DataList.IncludeCol[c]) return c;
    return 0;
}

// Moves ri.v to the first item >= ri.v that has data, loading it with
// `load`; in group modes empty levels are skipped through the group index
// rather than tried one integer at a time. False (v = Alast) when none.
template <typename LoadFn>
bool AdvanceToData(Session& s, TRunInfo& ri, LoadFn load) {
    const int mode = ri.ColRefRun;
    while (ri.v <= ri.Alast) {
        if (IsGroupMode(mode)) {
            EnsureDataCurrent(s);
            std::int32_t level;
            if (!s.DataList.NextGroupLevel(ri.index, ri.v, level) || level > ri.Alast) break;
            ri.v = level;
        }
        load(ri.v);
        if (s.ATop > 0) return true;
        if (ri.v >= ri.Alast) break;
        ++ri.v;
    }
    s.ATop = 0;
    ri.v = ri.Alast;
    return false;
}

}  // namespace

bool GetAR(Session& s, TRunInfo& ri) {
    const int mode = ri.ColRefRun;
    ++ri.v;
    auto load = [&](int v) { DataToA_Array(s, v, ri); };
    if (mode == 11 || mode == 12) {
        // Per column: every item of ColIndex, then the next included column.
        // An empty column does not end the walk.
        for (;;) {
            if (ri.v > ri.Alast) {
                int next = NextIncludedColumn(s, ri, ri.ColIndex);
                if (next == 0) break;
                ri.ColIndex = next;
                ri.v = ri.Afirst;
            }
            if (AdvanceToData(s, ri, load)) {
                SetCurrentTitles(s, ri);
                return true;
            }
            ri.v = ri.Alast + 1;
        }
        ri.v = ri.Alast;
        s.ATop = 0;
        return false;
    }
    if (ri.v <= ri.Alast && AdvanceToData(s, ri, load)) {
        SetCurrentTitles(s, ri);
        return true;
    }
    ri.v = std::min(ri.v, ri.Alast);
    s.ATop = 0;
    return false;
}

void GetGroupCount(Session& s, TRunInfo& ri) {
    // Counted by walking the items exactly as GetAR does, so the count always
    // matches what an analysis will visit (modes 11 and 12 span columns too).
    const std::string name = ri.CurrentName, title = ri.CurrentTitle;
    ri.NumberOfGroups = 0;
    ri.TotalCount = 0;
    SetupIndex(ri);
    while (GetAR(s, ri)) {
        ++ri.NumberOfGroups;
        ri.TotalCount += s.ATop;
    }
    ri.CurrentName = name;
    ri.CurrentTitle = title;
    SetupIndex(ri);
}

void SetupVarList(Session& s, TRunInfo& ri) {
    SetupIndex(ri);
    s.VarListNames.clear();
    s.VarListKeys.clear();
    while (GetAR(s, ri)) {
        s.VarListNames.push_back(ri.CurrentName);
        if (ri.ColRefRun == 11 || ri.ColRefRun == 12)
            s.VarListKeys.push_back(std::to_string(ri.ColIndex) + "," + std::to_string(ri.v));
        else
            s.VarListKeys.push_back(std::to_string(ri.v));
    }
    SetupIndex(ri);
}

void ReloadAR(Session& s, TRunInfo& ri) {
    s.RestoreRandSeed();
    DataToA_Array(s, ri.v, ri);
}

void SubgroupStatsToA_Array(Session& s, int m, TRunInfo& ri) {
    EnsureDataCurrent(s);
    TDataList& dl = s.DataList;
    s.ATop = 0;
    MaxSizeA_Array(s, dl.Ncount);
    if (m < 1 || m > 3) return;
    const int mode = ri.ColRefRun;
    const int spare = dl.MaxCol() + m;
    SampleWriter w(s);
    if (mode == 5 || mode == 8) {
        LoadColumn(w, spare, nullptr);
    } else if (mode == 6 || mode == 9 || mode == 11) {
        auto rows = dl.GroupRows(ri.index, ri.v);
        if (!rows.empty()) LoadColumn(w, spare, &rows);
    } else if (mode == 7 || mode == 10 || mode == 12) {
        auto rows = dl.RunRows(ri.v);
        if (!rows.empty()) LoadColumn(w, spare, &rows);
    }
    w.Done();
}

bool GetARsubgroupStats(Session& s, int m, TRunInfo& ri) {
    const int mode = ri.ColRefRun;
    ++ri.v;
    if (ri.v > ri.Alast) {
        ri.v = ri.Alast;
        s.ATop = 0;
        return false;
    }
    bool found = AdvanceToData(s, ri, [&](int v) {
        ri.v = v;
        SubgroupStatsToA_Array(s, m, ri);
    });
    if (!found) return false;
    // Modes 5 and 8 hold a single item: the next call finds nothing more.
    if (mode == 5 || mode == 8) {
        ri.CurrentName = mode == 5 ? "Group" : "Mean";
        ri.v = ri.Alast;
    } else if (mode == 7 || mode == 10 || mode == 12) {
        ri.CurrentName = GetRunName(s, ri.v, ri);
    } else {
        ri.CurrentName = std::to_string(ri.v);
    }
    ri.CurrentTitle = ri.CurrentName;
    return true;
}

// ============================================================================
// Names
// ============================================================================

std::string GetLevelName(const Session& s, int column, int level) {
    const TDataList& dl = s.DataList;
    if (column >= 1 && column < ColumnSlots && column <= dl.MaxCol() && dl.StringVar[column]) {
        const auto& rows = dl.LevelRows[column];
        if (level >= 1 && level < static_cast<int>(rows.size()))
            return s.worksheet.Cell(column, rows[level]);
        return std::string();
    }
    return std::to_string(level);
}

std::string GetRunName(const Session& s, int RN, const TRunInfo& ri) {
    const TDataList& dl = s.DataList;
    if (RN < 1 || RN >= static_cast<int>(dl.RunTableRows.size())) return "Missing";
    const int row = dl.RunTableRows[RN];
    if (row == 0 || dl.RunTableCodes[RN] <= 0) return "Missing";
    std::string name;
    for (int i = 1; i <= ri.RefArray[0] && i < ColumnSlots; ++i) {
        if (i > 1) name += ", ";
        name += s.worksheet.CellView(ri.RefArray[i], row);
    }
    return name;
}

void SetCurrentTitles(Session& s, TRunInfo& ri) {
    const int maxCol = s.DataList.MaxCol();
    std::string name;
    std::string title;
    switch (ri.ColRefRun) {
        case 1:
            if (ri.v > maxCol && ri.v <= maxCol + 3) {
                static const char* spare[] = {"Mean", "StdDev", "n"};
                name = title = spare[ri.v - maxCol - 1];
            } else {
                name = ColumnName(s, ri.v);
                title = ColumnTitleOrName(s, ri.v);
            }
            break;
        case 2:
        case 6:
        case 9:
            name = title = GetLevelName(s, ri.index, ri.v);
            break;
        case 3:
        case 7:
        case 10:
        case 20:
            name = title = GetRunName(s, ri.v, ri);
            break;
        case 5:
            name = title = "Group";
            break;
        case 8: {
            name = "Mean(";
            bool first = true;
            for (int c = 1; c <= maxCol; ++c) {
                if (!s.DataList.IncludeCol[c]) continue;
                if (!first) name += ",";
                name += ColumnName(s, c);
                first = false;
            }
            name += ")";
            title = name;
            break;
        }
        case 11: {
            // Items are group levels here, so they are named by level.
            std::string level = GetLevelName(s, ri.index, ri.v);
            name = ColumnName(s, ri.ColIndex) + "(" + level + ")";
            title = ColumnTitleOrName(s, ri.ColIndex) + "(" + level + ")";
            break;
        }
        case 12: {
            std::string run = GetRunName(s, ri.v, ri);
            name = ColumnName(s, ri.ColIndex) + "(" + run + ")";
            title = ColumnTitleOrName(s, ri.ColIndex) + "(" + run + ")";
            break;
        }
        default:
            break;
    }
    ri.CurrentName = std::move(name);
    ri.CurrentTitle = std::move(title);
}

}  // namespace amx
