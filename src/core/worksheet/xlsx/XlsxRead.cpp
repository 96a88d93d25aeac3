#include "worksheet/xlsx/Xlsx.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/Worksheet.h"

namespace amx {

bool IsWorkbookName(const std::string& fileName) {
    auto dot = fileName.find_last_of('.');
    if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos) return false;
    std::string ext = fileName.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "xlsx" || ext == "xlsm";
}

namespace {

constexpr unsigned char kZipMagic[4] = {'P', 'K', 3, 4};
constexpr unsigned char kCompoundMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Size caps. An entry may inflate to at most kMaxEntryBytes, and past
// kRatioFloor bytes to at most kMaxRatio times its compressed size: real
// sheet XML compresses 5 to 50 times, a zip bomb thousands of times.
constexpr std::uint64_t kMaxEntryBytes = 3ull << 30;
constexpr std::uint64_t kRatioFloor = 16ull << 20;
constexpr std::uint64_t kMaxRatio = 400;
// The grid a workbook can hold, and cell slots (rows x columns) kept in
// memory: about 800 MB of cell references.
constexpr int kMaxSheetRows = 1048576;
constexpr int kMaxSheetColumns = 16384;
constexpr std::uint64_t kMaxCellSlots = 100'000'000;
constexpr std::uint64_t kMaxMergedCells = 10'000'000;

enum class Magic { Zip, Compound, Other, Unreadable };

Magic FileMagic(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) return Magic::Unreadable;
    unsigned char head[8] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    // A text worksheet may begin with the letters "PK" and two control bytes;
    // a real zip's local header has a NUL in its version and flag fields,
    // which no worksheet text holds.
    if (got == 8 && std::memcmp(head, kZipMagic, 4) == 0 && std::memchr(head + 4, 0, 4)) return Magic::Zip;
    if (got == 8 && std::memcmp(head, kCompoundMagic, 8) == 0) return Magic::Compound;
    return Magic::Other;
}

struct Failure {
    WorkbookError error;
};

[[noreturn]] void Fail(WorkbookError e) { throw Failure{e}; }

// A whole number attribute, clamped to 0..limit (0 when it is none).
int Number(const char* text, int limit) {
    long long v = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > limit) return limit;
    }
    return static_cast<int>(v);
}

std::string_view LocalName(const XML_Char* name) {
    std::string_view n(name);
    const auto bar = n.rfind('|');
    return bar == std::string_view::npos ? n : n.substr(bar + 1);
}

const char* Attr(const XML_Char** atts, std::string_view local) {
    for (int i = 0; atts[i]; i += 2)
        if (LocalName(atts[i]) == local) return atts[i + 1];
    return nullptr;
}

// ---- zip -------------------------------------------------------------------

class Archive {
public:
    explicit Archive(const std::string& fileName) {
        int err = 0;
        zip_ = zip_open(fileName.c_str(), ZIP_RDONLY, &err);
        if (!zip_) Fail(err == ZIP_ER_OPEN || err == ZIP_ER_NOENT ? WorkbookError::Open : WorkbookError::Corrupt);
    }
    ~Archive() {
        if (zip_) zip_discard(zip_);
    }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool Has(const std::string& name) const { return zip_name_locate(zip_, name.c_str(), 0) >= 0; }

    // Streams the entry's bytes to `sink`; false when there is no such entry.
    // `total` receives the size the directory declares.
    bool Read(const std::string& name, const std::function<void(const char*, std::size_t, std::uint64_t)>& sink) {
        const zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
        if (index < 0) return false;
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0) Fail(WorkbookError::Corrupt);
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            Fail(WorkbookError::Protected);
        const std::uint64_t declared = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
        const std::uint64_t packed = (st.valid & ZIP_STAT_COMP_SIZE) ? st.comp_size : 0;
        if (declared > kMaxEntryBytes) Fail(WorkbookError::TooLarge);
        zip_file_t* f = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
        if (!f) Fail(WorkbookError::Corrupt);
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> guard(f, zip_fclose);
        std::vector<char> buf(1 << 18);
        std::uint64_t done = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(f, buf.data(), buf.size());
            if (got < 0) Fail(WorkbookError::Corrupt);
            if (got == 0) break;
            done += static_cast<std::uint64_t>(got);
            if (done > kMaxEntryBytes || (done > kRatioFloor && done / std::max<std::uint64_t>(packed, 1) > kMaxRatio))
                Fail(WorkbookError::TooLarge);
            sink(buf.data(), static_cast<std::size_t>(got), declared);
        }
        return true;
    }

private:
    zip_t* zip_ = nullptr;
};

// ---- XML ---------------------------------------------------------------------

// An expat parser with namespaces split as "uri|local" and no DOCTYPE.
class XmlParser {
public:
    XmlParser() : p_(XML_ParserCreateNS(nullptr, '|')) {
        if (!p_) throw std::bad_alloc();
        XML_SetUserData(p_, this);
        XML_SetElementHandler(p_, &XmlParser::OnStart, &XmlParser::OnEnd);
        XML_SetCharacterDataHandler(p_, &XmlParser::OnText);
        XML_SetStartDoctypeDeclHandler(p_, &XmlParser::OnDoctype);
    }
    virtual ~XmlParser() { XML_ParserFree(p_); }
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    void Feed(const char* data, std::size_t size) {
        const bool ok = XML_Parse(p_, data, static_cast<int>(size), XML_FALSE) == XML_STATUS_OK;
        Rethrow();
        if (!ok) Fail(WorkbookError::Corrupt);
    }
    void Finish() {
        const bool ok = XML_Parse(p_, "", 0, XML_TRUE) == XML_STATUS_OK;
        Rethrow();
        if (!ok) Fail(WorkbookError::Corrupt);
    }
    // Parses a whole entry; false when the archive has no such entry.
    bool ParseEntry(Archive& zip, const std::string& name, const std::function<void(std::uint64_t, std::uint64_t)>&
                                                               progress = {}) {
        std::uint64_t done = 0;
        const bool found = zip.Read(name, [&](const char* d, std::size_t n, std::uint64_t total) {
            Feed(d, n);
            done += n;
            if (progress) progress(done, total);
        });
        if (found) Finish();
        return found;
    }

protected:
    virtual void Start(std::string_view, const XML_Char**) {}
    virtual void End(std::string_view) {}
    virtual void Text(const char*, int) {}

private:
    // Exceptions never cross expat's C frames: a handler's failure stops the
    // parser and is thrown again once XML_Parse has returned.
    template <typename F>
    static void Guard(void* self, F&& f) {
        auto* me = static_cast<XmlParser*>(self);
        if (me->pending_) return;
        try {
            f(*me);
        } catch (...) {
            me->pending_ = std::current_exception();
            XML_StopParser(me->p_, XML_FALSE);
        }
    }
    void Rethrow() {
        if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
    }
    static void OnStart(void* self, const XML_Char* name, const XML_Char** atts) {
        Guard(self, [&](XmlParser& p) { p.Start(LocalName(name), atts); });
    }
    static void OnEnd(void* self, const XML_Char* name) {
        Guard(self, [&](XmlParser& p) { p.End(LocalName(name)); });
    }
    static void OnText(void* self, const XML_Char* s, int len) {
        Guard(self, [&](XmlParser& p) { p.Text(s, len); });
    }
    static void OnDoctype(void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
        XML_StopParser(static_cast<XmlParser*>(self)->p_, XML_FALSE);
    }

    XML_Parser p_;
    std::exception_ptr pending_;
};

// ---- package parts ---------------------------------------------------------

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A relationship target relative to the part's folder, as a zip entry name.
std::string ResolveTarget(const std::string& baseDir, const std::string& target) {
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : baseDir + target;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

struct Relationship {
    std::string target, type;
};

class RelsParser : public XmlParser {
public:
    std::map<std::string, Relationship> byId;

protected:
    void Start(std::string_view name, const XML_Char** atts) override {
        if (name != "Relationship") return;
        const char* id = Attr(atts, "Id");
        const char* target = Attr(atts, "Target");
        const char* type = Attr(atts, "Type");
        if (id && target) byId[id] = {target, type ? type : ""};
    }
};

struct SheetEntry {
    std::string name, relId;
};

class WorkbookParser : public XmlParser {
public:
    std::vector<SheetEntry> sheets;
    bool date1904 = false;

protected:
    void Start(std::string_view name, const XML_Char** atts) override {
        if (name == "sheet") {
            const char* n = Attr(atts, "name");
            const char* id = Attr(atts, "id");  // r:id
            if (n && id) sheets.push_back({n, id});
        } else if (name == "workbookPr") {
            const char* d = Attr(atts, "date1904");
            date1904 = d && (std::string_view(d) == "1" || std::string_view(d) == "true");
        }
    }
};

class SharedStringsParser : public XmlParser {
public:
    std::vector<std::string> strings;

protected:
    void Start(std::string_view name, const XML_Char**) override {
        if (name == "si") {
            inItem_ = true;
            current_.clear();
        } else if (name == "rPh") {
            ++skip_;  // phonetic runs are not the cell's text
        } else if (name == "t" && inItem_ && skip_ == 0) {
            inText_ = true;
        }
    }
    void End(std::string_view name) override {
        if (name == "si") {
            strings.push_back(std::move(current_));
            current_.clear();
            inItem_ = false;
        } else if (name == "rPh") {
            --skip_;
        } else if (name == "t") {
            inText_ = false;
        }
    }
    void Text(const char* s, int len) override {
        if (inText_) current_.append(s, static_cast<std::size_t>(len));
    }

private:
    std::string current_;
    bool inItem_ = false, inText_ = false;
    int skip_ = 0;
};

// How a cell format shows a number.
struct NumberShape {
    enum Kind { General, Decimals, Date, Time, DateTime } kind = General;
    int decimals = 0;
};

NumberShape ShapeOfFormatCode(const std::string& code) {
    // The first section, without quoted text, escapes, fill and padding
    // characters and bracketed colours or locales ([h], [mm], [ss] are
    // elapsed time).
    std::string plain;
    bool elapsed = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;
        if (c == '"') {
            const auto close = code.find('"', i + 1);
            if (close == std::string::npos) break;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const auto close = code.find(']', i + 1);
            if (close == std::string::npos) break;
            const std::string inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && std::strchr("hHmMsS", inside[0]) && inside.find_first_not_of(inside[0]) == std::string::npos)
                elapsed = true;
            i = close;
        } else {
            plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    NumberShape shape;
    const bool hasDate = plain.find_first_of("yd") != std::string::npos;
    const bool hasTime = elapsed || plain.find_first_of("hs") != std::string::npos;
    const bool hasM = plain.find('m') != std::string::npos;
    if (hasDate || hasTime || hasM) {
        const bool date = hasDate || (hasM && !hasTime);
        shape.kind = date && hasTime ? NumberShape::DateTime : date ? NumberShape::Date : NumberShape::Time;
        return shape;
    }
    if (plain.find_first_of("%e?/") != std::string::npos || plain.find_first_of("0#") == std::string::npos)
        return shape;
    shape.kind = NumberShape::Decimals;
    const auto dot = plain.find('.');
    if (dot != std::string::npos)
        for (std::size_t i = dot + 1; i < plain.size() && (plain[i] == '0' || plain[i] == '#'); ++i)
            ++shape.decimals;
    return shape;
}

NumberShape ShapeOfBuiltinFormat(int id) {
    NumberShape s;
    switch (id) {
        case 1: case 3: case 37: case 38: s.kind = NumberShape::Decimals; s.decimals = 0; break;
        case 2: case 4: case 39: case 40: s.kind = NumberShape::Decimals; s.decimals = 2; break;
        case 14: case 15: case 16: case 17: s.kind = NumberShape::Date; break;
        case 18: case 19: case 20: case 21: case 45: case 46: case 47: s.kind = NumberShape::Time; break;
        case 22: s.kind = NumberShape::DateTime; break;
        default:
            if ((id >= 27 && id <= 36) || (id >= 50 && id <= 58)) s.kind = NumberShape::Date;
            break;
    }
    return s;
}

class StylesParser : public XmlParser {
public:
    std::map<int, std::string> customFormats;
    std::vector<int> cellFormatIds;  // numFmtId of each cellXfs entry

protected:
    void Start(std::string_view name, const XML_Char** atts) override {
        if (name == "numFmt") {
            const char* id = Attr(atts, "numFmtId");
            const char* code = Attr(atts, "formatCode");
            if (id && code) customFormats[Number(id, 1 << 20)] = code;
        } else if (name == "cellXfs") {
            inCellXfs_ = true;
        } else if (name == "xf" && inCellXfs_) {
            const char* id = Attr(atts, "numFmtId");
            cellFormatIds.push_back(id ? Number(id, 1 << 20) : 0);
        }
    }
    void End(std::string_view name) override {
        if (name == "cellXfs") inCellXfs_ = false;
    }

private:
    bool inCellXfs_ = false;
};

// ---- numbers and dates -------------------------------------------------------

// The shortest text that reads back as x; fixed notation in the usual range.
std::string NumberText(double x) {
    char buf[64];
    const double a = std::fabs(x);
    const auto format = (a == 0 || (a >= 1e-5 && a < 1e15)) ? std::chars_format::fixed : std::chars_format::scientific;
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, format);
    if (ec != std::errc()) return {};
    std::string t(buf, end);
    if (t == "-0") t = "0";
    return t;
}

std::string FixedText(double x, int decimals) {
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return NumberText(x);
    return std::string(buf, end);
}

// A plain decimal with at most 15 significant digits is already the text a
// person would read; only others go through a double.
bool CleanDecimal(std::string_view v) {
    std::size_t i = (!v.empty() && v[0] == '-') ? 1 : 0;
    int digits = 0;
    bool dot = false, any = false;
    for (; i < v.size(); ++i) {
        if (v[i] >= '0' && v[i] <= '9') {
            ++digits;
            any = true;
        } else if (v[i] == '.' && !dot) {
            dot = true;
        } else {
            return false;
        }
    }
    return any && digits <= 15 && v.back() != '.';
}

std::string TwoDigits(int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

// Civil date from days since 1970-01-01 (H. Hinnant's days_from_civil inverse).
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long yy = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// A date serial as ISO 8601 text. The 1900 system counts the nonexistent
// 1900-02-29 as day 60 (kept from early spreadsheet programs), so serials
// from 61 on are one day ahead.
std::string DateText(double serial, NumberShape::Kind kind, bool date1904) {
    if (!(serial >= 0 && serial < 2958466)) return NumberText(serial);
    long long seconds = std::llround(serial * 86400.0);
    long long days = seconds / 86400;
    long long secs = seconds % 86400;
    std::string date;
    if (kind != NumberShape::Time) {
        if (!date1904 && days == 60) {
            date = "1900-02-29";
        } else {
            long long fromEpoch = date1904 ? days - 24107 : (days < 60 ? days - 25568 : days - 25569);
            int y, m, d;
            CivilFromDays(fromEpoch, y, m, d);
            date = std::to_string(y) + "-" + TwoDigits(m) + "-" + TwoDigits(d);
        }
    }
    const std::string time = TwoDigits(static_cast<int>(secs / 3600)) + ":" +
                             TwoDigits(static_cast<int>(secs / 60 % 60)) + ":" + TwoDigits(static_cast<int>(secs % 60));
    if (kind == NumberShape::Date) return date;
    if (kind == NumberShape::Time) return days > 0 ? NumberText(serial) : time;
    return date + "T" + time;
}

// ---- the sheet ---------------------------------------------------------------

// "BC12" -> column 55, row 12 (either 0 when absent or malformed).
void ParseCellRef(const char* ref, int& col, int& row) {
    col = 0;
    row = 0;
    const char* p = ref;
    while (*p >= 'A' && *p <= 'Z') {
        col = col * 26 + (*p - 'A' + 1);
        if (col > kMaxSheetColumns) {
            col = kMaxSheetColumns + 1;
            break;
        }
        ++p;
    }
    while (*p >= '0' && *p <= '9') {
        row = row * 10 + (*p - '0');
        if (row > kMaxSheetRows) {
            row = kMaxSheetRows + 1;
            break;
        }
        ++p;
    }
}

class SheetParser : public XmlParser {
public:
    SheetParser(Worksheet& ws, const std::vector<std::string>& strings, const std::vector<NumberShape>& shapes,
                bool date1904, const std::vector<std::string>* knownNames)
        : ws_(ws), strings_(strings), shapes_(shapes), date1904_(date1904), knownNames_(knownNames) {
        ws_.BeginLoad(1);
    }

    bool truncated = false;
    bool hasNames = false;

    // After the parse: the rows seen, the names decision and merged ranges.
    void Complete() {
        for (const auto& m : merges_) FillMerge(m);
        ws_.EndLoad();
    }

protected:
    void Start(std::string_view name, const XML_Char** atts) override {
        switch (name.size()) {
            case 1:
                if (name == "c") {
                    StartCell(atts);
                    return;
                }
                if (name == "v" && inCell_) {
                    text_.clear();
                    collect_ = true;
                    return;
                }
                if (name == "t" && inInline_ && phonetic_ == 0) {
                    collect_ = true;
                    return;
                }
                return;
            case 2:
                if (name == "is" && inCell_) {
                    inInline_ = true;
                    text_.clear();
                }
                return;
            case 3:
                if (name == "row") StartRow(atts);
                if (name == "rPh") ++phonetic_;
                return;
            default:
                if (name == "mergeCell") {
                    const char* ref = Attr(atts, "ref");
                    if (ref) AddMerge(ref);
                }
                return;
        }
    }
    void End(std::string_view name) override {
        if (name == "v" || name == "t") {
            collect_ = false;
        } else if (name == "c") {
            EndCell();
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "row") {
            EndRow();
        } else if (name == "rPh") {
            --phonetic_;
        }
    }
    void Text(const char* s, int len) override {
        if (collect_) text_.append(s, static_cast<std::size_t>(len));
    }

private:
    enum class CellType { Number, Shared, Inline, Str, Bool, Error, Date };
    struct Merge {
        int c1, r1, c2, r2;
    };

    void StartRow(const XML_Char** atts) {
        const char* r = Attr(atts, "r");
        int row = r ? Number(r, kMaxSheetRows + 1) : sheetRow_ + 1;
        if (row <= sheetRow_ || row > kMaxSheetRows) Fail(WorkbookError::Corrupt);
        // Rows skipped by the sheet are empty rows of the worksheet.
        while (sheetRow_ + 1 < row) {
            ++sheetRow_;
            FlushRow();
        }
        sheetRow_ = row;
        rowCells_.clear();
        rowAllText_ = true;
        nextCol_ = 1;
        inRow_ = true;
    }

    void StartCell(const XML_Char** atts) {
        if (!inRow_) Fail(WorkbookError::Corrupt);
        inCell_ = true;
        text_.clear();
        col_ = nextCol_;
        type_ = CellType::Number;
        style_ = 0;
        for (int i = 0; atts[i]; i += 2) {
            const std::string_view a = atts[i];
            const char* v = atts[i + 1];
            if (a == "r") {
                int c, r;
                ParseCellRef(v, c, r);
                if (c == 0 || (r != 0 && r != sheetRow_)) Fail(WorkbookError::Corrupt);
                col_ = c;
            } else if (a == "t") {
                const std::string_view t = v;
                type_ = t == "s" ? CellType::Shared : t == "inlineStr" ? CellType::Inline : t == "str" ? CellType::Str
                      : t == "b" ? CellType::Bool : t == "e" ? CellType::Error : t == "d" ? CellType::Date
                      : CellType::Number;
            } else if (a == "s") {
                style_ = Number(v, 1 << 20);
            }
        }
        if (col_ < nextCol_ || col_ > kMaxSheetColumns) Fail(WorkbookError::Corrupt);
        nextCol_ = col_ + 1;
    }

    void EndCell() {
        inCell_ = false;
        if (col_ > Worksheet::MaxColumns) {
            if (!text_.empty()) truncated = true;
            return;
        }
        std::string cell;
        bool isText = true;
        switch (type_) {
            case CellType::Shared: {
                char* end = nullptr;
                const unsigned long index = std::strtoul(text_.c_str(), &end, 10);
                if (text_.empty() || *end != '\0' || index >= strings_.size()) Fail(WorkbookError::Corrupt);
                cell = strings_[index];
                break;
            }
            case CellType::Inline:
            case CellType::Str:
            case CellType::Date: cell = text_; break;
            case CellType::Bool: cell = text_ == "1" ? "TRUE" : text_.empty() ? "" : "FALSE"; break;
            case CellType::Error: cell.clear(); break;
            case CellType::Number:
                isText = false;
                cell = NumberCell();
                break;
        }
        if (cell.empty()) return;
        if (!isText) rowAllText_ = false;
        if (static_cast<int>(rowCells_.size()) < col_) rowCells_.resize(static_cast<std::size_t>(col_));
        rowCells_[static_cast<std::size_t>(col_ - 1)] = std::move(cell);
    }

    std::string NumberCell() {
        if (text_.empty()) return {};
        const NumberShape shape =
            style_ >= 0 && static_cast<std::size_t>(style_) < shapes_.size() ? shapes_[style_] : NumberShape{};
        if (shape.kind == NumberShape::General && CleanDecimal(text_)) {
            std::string t = text_;
            if (t.find('.') != std::string::npos) {
                while (t.back() == '0') t.pop_back();
                if (t.back() == '.') t.pop_back();
            }
            return t == "-0" ? "0" : t;
        }
        double x = 0;
        auto [ptr, ec] = std::from_chars(text_.data(), text_.data() + text_.size(), x);
        if (ec != std::errc() || ptr != text_.data() + text_.size() || !std::isfinite(x)) Fail(WorkbookError::Corrupt);
        switch (shape.kind) {
            case NumberShape::Decimals: return std::fabs(x) < 1e15 ? FixedText(x, shape.decimals) : NumberText(x);
            case NumberShape::Date:
            case NumberShape::Time:
            case NumberShape::DateTime: return DateText(x, shape.kind, date1904_);
            default: return NumberText(x);
        }
    }

    void EndRow() {
        inRow_ = false;
        FlushRow();
    }

    void FlushRow() {
        if (sheetRow_ == 1 && Names(rowCells_, rowAllText_)) {
            hasNames = true;
            const int count = std::min<int>(static_cast<int>(rowCells_.size()), Worksheet::MaxColumns);
            if (count > ws_.ColumnCount()) ws_.SetColumnCount(count);
            for (int c = 1; c <= count; ++c)
                if (!rowCells_[static_cast<std::size_t>(c - 1)].empty())
                    ws_.SetColumnName(c, rowCells_[static_cast<std::size_t>(c - 1)]);
        } else {
            AppendCells(rowCells_);
        }
        rowCells_.clear();
    }

    // Row 1 names the columns when the Descriptions sheet lists the same
    // names, or as the text reader decides a names line: every cell of it
    // text (no number cells) and none that reads as a number.
    bool Names(const std::vector<std::string>& row, bool allText) const {
        if (row.empty()) return false;
        if (knownNames_) {
            bool same = true;
            for (std::size_t i = 0; i < row.size() && same; ++i)
                same = i < knownNames_->size() && (*knownNames_)[i] == row[i];
            if (same) return true;
        }
        if (!allText) return false;
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) line += (i ? "\t" : "") + row[i];
        return IsNamesLine(line);
    }

    void AppendCells(const std::vector<std::string>& cells) {
        views_.assign(cells.begin(), cells.end());
        const int columns = std::max<int>(ws_.ColumnCount(), static_cast<int>(views_.size()));
        if (static_cast<std::uint64_t>(appended_ + 1) * static_cast<std::uint64_t>(columns) > kMaxCellSlots)
            Fail(WorkbookError::TooLarge);
        if (!ws_.AppendRow(views_)) truncated = true;
        ++appended_;
    }

    void AddMerge(const char* ref) {
        const char* colon = std::strchr(ref, ':');
        if (!colon) return;
        Merge m;
        ParseCellRef(ref, m.c1, m.r1);
        const std::string second(colon + 1);
        ParseCellRef(second.c_str(), m.c2, m.r2);
        if (m.c1 == 0 || m.r1 == 0 || m.c2 < m.c1 || m.r2 < m.r1) return;
        merges_.push_back(m);
    }

    // Every cell of a merged range shows its top-left value, within the rows
    // and columns the sheet has.
    void FillMerge(const Merge& m) {
        const int offset = hasNames ? 1 : 0;
        const int r1 = m.r1 - offset, r2 = std::min(m.r2 - offset, ws_.RowCount());
        const int c2 = std::min(m.c2, ws_.ColumnCount());
        if (r1 < 1 || r1 > ws_.RowCount() || m.c1 > c2) return;
        const std::string value = ws_.Cell(m.c1, r1);
        if (value.empty()) return;
        for (int r = r1; r <= r2; ++r)
            for (int c = m.c1; c <= c2; ++c) {
                if (++mergedCells_ > kMaxMergedCells) Fail(WorkbookError::TooLarge);
                if (r != r1 || c != m.c1) ws_.SetCell(c, r, value);
            }
    }

    Worksheet& ws_;
    const std::vector<std::string>& strings_;
    const std::vector<NumberShape>& shapes_;
    bool date1904_;
    const std::vector<std::string>* knownNames_;

    int sheetRow_ = 0, nextCol_ = 1, col_ = 0, style_ = 0, phonetic_ = 0;
    int appended_ = 0;
    std::uint64_t mergedCells_ = 0;
    bool inRow_ = false, inCell_ = false, inInline_ = false, collect_ = false;
    CellType type_ = CellType::Number;
    std::string text_;
    std::vector<std::string> rowCells_;
    bool rowAllText_ = true;
    std::vector<std::string_view> views_;
    std::vector<Merge> merges_;
};

// The Descriptions sheet: its first row after "Column" lists the names; rows
// headed "Title:", "USL:", "Target:", "LSL:" give the description rows.
struct Descriptions {
    std::vector<std::string> names;
    std::array<std::vector<std::string>, 4> rows;
    bool present = false;
};

class DescriptionsParser : public XmlParser {
public:
    explicit DescriptionsParser(const std::vector<std::string>& strings) : strings_(strings) {}
    Descriptions out;

protected:
    void Start(std::string_view name, const XML_Char** atts) override {
        if (name == "row") {
            cells_.clear();
            next_ = 1;
        } else if (name == "c") {
            col_ = next_;
            shared_ = false;
            if (const char* r = Attr(atts, "r")) {
                int c, row;
                ParseCellRef(r, c, row);
                if (c >= 1 && c <= Worksheet::MaxColumns + 1) col_ = c;
            }
            if (const char* t = Attr(atts, "t")) shared_ = std::string_view(t) == "s";
            next_ = col_ + 1;
            text_.clear();
        } else if (name == "v" || name == "t") {
            collect_ = true;
        }
    }
    void End(std::string_view name) override {
        if (name == "v" || name == "t") {
            collect_ = false;
        } else if (name == "c") {
            std::string value = text_;
            if (shared_) {
                const unsigned long i = std::strtoul(text_.c_str(), nullptr, 10);
                value = i < strings_.size() ? strings_[i] : std::string();
            }
            if (col_ >= 1 && col_ <= Worksheet::MaxColumns + 1) {
                if (static_cast<int>(cells_.size()) < col_) cells_.resize(static_cast<std::size_t>(col_));
                cells_[static_cast<std::size_t>(col_ - 1)] = std::move(value);
            }
        } else if (name == "row" && !cells_.empty()) {
            std::vector<std::string> rest(cells_.begin() + 1, cells_.end());
            const std::string head = cells_[0];
            if (head == "Column") {
                out.names = std::move(rest);
            } else {
                for (int d = 1; d <= Worksheet::DescriptionRows; ++d)
                    if (head == DescriptionHeader(d)) out.rows[static_cast<std::size_t>(d - 1)] = std::move(rest);
            }
        }
    }
    void Text(const char* s, int len) override {
        if (collect_) text_.append(s, static_cast<std::size_t>(len));
    }

private:
    const std::vector<std::string>& strings_;
    std::vector<std::string> cells_;
    std::string text_;
    int col_ = 1, next_ = 1;
    bool shared_ = false, collect_ = false;
};

struct Package {
    std::string workbookPath;
    std::vector<SheetEntry> sheets;  // worksheets only
    std::map<std::string, Relationship> rels;
    bool date1904 = false;
};

Package ReadPackage(Archive& zip) {
    Package p;
    p.workbookPath = "xl/workbook.xml";
    {
        RelsParser root;
        if (root.ParseEntry(zip, "_rels/.rels"))
            for (const auto& [id, rel] : root.byId)
                if (rel.type.size() >= 14 && rel.type.compare(rel.type.size() - 14, 14, "officeDocument") == 0)
                    p.workbookPath = ResolveTarget("", rel.target);
    }
    WorkbookParser wb;
    if (!wb.ParseEntry(zip, p.workbookPath)) Fail(WorkbookError::Corrupt);
    p.date1904 = wb.date1904;
    const std::string dir = DirectoryOf(p.workbookPath);
    RelsParser rels;
    rels.ParseEntry(zip, dir + "_rels/" + p.workbookPath.substr(dir.size()) + ".rels");
    p.rels = rels.byId;
    for (const auto& s : wb.sheets) {
        auto it = p.rels.find(s.relId);
        if (it == p.rels.end()) continue;
        const std::string& type = it->second.type;
        if (type.size() >= 10 && type.compare(type.size() - 10, 10, "/worksheet") == 0) p.sheets.push_back(s);
    }
    return p;
}

std::string SheetPath(const Package& p, const SheetEntry& s) {
    return ResolveTarget(DirectoryOf(p.workbookPath), p.rels.at(s.relId).target);
}

std::string PartOfType(const Package& p, std::string_view suffix) {
    for (const auto& [id, rel] : p.rels)
        if (rel.type.size() >= suffix.size() && rel.type.compare(rel.type.size() - suffix.size(), suffix.size(), suffix) == 0)
            return ResolveTarget(DirectoryOf(p.workbookPath), rel.target);
    return {};
}

WorkbookError Guarded(const std::string& fileName, const std::function<void()>& body) {
    switch (FileMagic(fileName)) {
        case Magic::Unreadable: return WorkbookError::Open;
        case Magic::Compound: return WorkbookError::Protected;
        case Magic::Other: return WorkbookError::Corrupt;
        case Magic::Zip: break;
    }
    try {
        body();
    } catch (const Failure& f) {
        return f.error;
    } catch (const std::bad_alloc&) {
        return WorkbookError::TooLarge;
    } catch (const std::exception&) {
        return WorkbookError::Corrupt;
    }
    return WorkbookError::None;
}

}  // namespace

bool IsWorkbookFile(const std::string& fileName) {
    if (IsWorkbookName(fileName)) return true;
    const Magic m = FileMagic(fileName);
    return m == Magic::Zip || m == Magic::Compound;
}

bool WorkbookSheetNames(const std::string& fileName, std::vector<std::string>& names) {
    names.clear();
    std::vector<std::string> found;
    const WorkbookError e = Guarded(fileName, [&] {
        Archive zip(fileName);
        for (const auto& s : ReadPackage(zip).sheets)
            if (s.name != "Descriptions") found.push_back(s.name);
    });
    if (e != WorkbookError::None) return false;
    names = std::move(found);
    return true;
}

WorkbookError ReadWorkbookSheet(const std::string& fileName, const std::string& sheet, WorkbookSheet& out,
                                const LoadProgress& progress) {
    Worksheet ws;
    bool truncated = false, hasNames = false;
    const WorkbookError e = Guarded(fileName, [&] {
        Archive zip(fileName);
        const Package p = ReadPackage(zip);
        if (p.sheets.empty()) Fail(WorkbookError::NoSuchSheet);
        const SheetEntry* chosen = nullptr;
        if (sheet.empty()) {
            chosen = &p.sheets.front();
        } else {
            for (const auto& s : p.sheets)
                if (s.name == sheet) chosen = &s;
            auto lower = [](std::string t) {
                for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                return t;
            };
            if (!chosen)
                for (const auto& s : p.sheets)
                    if (lower(s.name) == lower(sheet)) chosen = &s;
            if (!chosen && sheet.find_first_not_of("0123456789") == std::string::npos && sheet.size() < 6) {
                const std::size_t n = std::stoul(sheet);
                if (n >= 1 && n <= p.sheets.size()) chosen = &p.sheets[n - 1];
            }
            if (!chosen) Fail(WorkbookError::NoSuchSheet);
        }

        SharedStringsParser shared;
        if (const std::string path = PartOfType(p, "/sharedStrings"); !path.empty()) shared.ParseEntry(zip, path);
        std::vector<NumberShape> shapes;
        if (const std::string path = PartOfType(p, "/styles"); !path.empty()) {
            StylesParser styles;
            styles.ParseEntry(zip, path);
            for (int id : styles.cellFormatIds) {
                auto it = styles.customFormats.find(id);
                shapes.push_back(it != styles.customFormats.end() ? ShapeOfFormatCode(it->second)
                                                                  : ShapeOfBuiltinFormat(id));
            }
        }
        Descriptions descriptions;
        for (const auto& s : p.sheets)
            if (s.name == "Descriptions" && &s != chosen) {
                DescriptionsParser d(shared.strings);
                d.ParseEntry(zip, SheetPath(p, s));
                descriptions = std::move(d.out);
                descriptions.present = true;
            }

        SheetParser parser(ws, shared.strings, shapes, p.date1904,
                           descriptions.present && !descriptions.names.empty() ? &descriptions.names : nullptr);
        int lastPercent = -1;
        auto onProgress = [&](std::uint64_t done, std::uint64_t total) {
            if (!progress || total == 0) return;
            const int percent = static_cast<int>(std::min<std::uint64_t>(100, done * 100 / total));
            if (percent != lastPercent) progress(lastPercent = percent);
        };
        if (!parser.ParseEntry(zip, SheetPath(p, *chosen), onProgress)) Fail(WorkbookError::Corrupt);
        parser.Complete();
        truncated = parser.truncated;
        hasNames = parser.hasNames;
        if (descriptions.present)
            for (int d = 1; d <= Worksheet::DescriptionRows; ++d) {
                const auto& row = descriptions.rows[static_cast<std::size_t>(d - 1)];
                for (int c = 1; c <= ws.ColumnCount() && c <= static_cast<int>(row.size()); ++c)
                    ws.SetDescription(d, c, row[static_cast<std::size_t>(c - 1)]);
            }
    });
    if (e != WorkbookError::None) return e;
    *out.sheet = std::move(ws);
    out.truncated = truncated;
    out.hasNames = hasNames;
    return WorkbookError::None;
}

bool WorkbookToDataGrid(Session& s, const std::string& fileName, const std::string& sheet,
                        const LoadProgress& progress, const SaveAsFn& saveAs) {
    s.StatErrorCode = 0;
    Worksheet ws;
    WorkbookSheet read;
    read.sheet = &ws;
    switch (ReadWorkbookSheet(fileName, sheet, read, progress)) {
        case WorkbookError::None: break;
        case WorkbookError::Open:
            s.messages->Error(FileErrorMeasureText);
            return false;
        case WorkbookError::Protected:
            s.messages->Error(XlsxProtectedText);
            return false;
        case WorkbookError::NoSuchSheet:
            s.messages->Error("The workbook has no worksheet " + (sheet.empty() ? std::string() : "\"" + sheet + "\""));
            return false;
        default:
            s.messages->Error(FileErrorText);
            return false;
    }
    if (!NewWorksheet(s, saveAs)) return false;
    ws.MoveRevisionPast(s.worksheet.Revision());
    s.worksheet = std::move(ws);
    if (read.truncated) s.messages->Warning(ColumnsTruncatedText);
    s.DataFilename = fileName;
    s.WantVarNames = read.hasNames;
    s.WantDescriptions = s.worksheet.HasDescriptions();
    s.LineCount = s.worksheet.RowCount();
    s.FileModified = false;
    UpdateData(s);
    s.DataChanged = true;
    s.BlankCommaQuestionPending = true;
    return true;
}

}  // namespace amx
