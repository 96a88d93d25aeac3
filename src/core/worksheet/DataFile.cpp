#include "worksheet/DataFile.h"

#include "common/UnsavedWorksheet.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>

#include "common/NumberText.h"
#include "common/SafeWrite.h"
#include "common/TextUtils.h"
#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/FileModificationHooks.h"
#include "worksheet/TextEncoding.h"
#include "worksheet/xlsx/Xlsx.h"

namespace amx {

// ============================================================================
// Line syntax
// ============================================================================

namespace {

inline bool IsTrimmable(char c) { return static_cast<unsigned char>(c) <= 0x20 || c == 0x7F; }

std::string_view TrimCell(std::string_view t) {
    while (!t.empty() && IsTrimmable(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsTrimmable(t.back())) t.remove_suffix(1);
    return t;
}

void SplitDataLineInto(std::string_view line, std::vector<std::string_view>& out) {
    out.clear();
    char sep = 0;
    if (line.find('\t') != std::string_view::npos)
        sep = '\t';
    else if (line.find(',') != std::string_view::npos)
        sep = ',';
    if (sep) {
        std::size_t start = 0;
        for (;;) {
            std::size_t at = line.find(sep, start);
            if (at == std::string_view::npos) {
                // A separator at the very end adds no cell.
                if (start < line.size() || out.empty()) out.push_back(TrimCell(line.substr(start)));
                break;
            }
            out.push_back(TrimCell(line.substr(start, at - start)));
            start = at + 1;
        }
        return;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        std::string_view cell = TrimCell(line.substr(start, i - start));
        if (!cell.empty()) out.push_back(cell);
    }
}

// Raw fields of a names line, quotes still on.
std::vector<std::string_view> RawNameFields(std::string_view line) {
    std::vector<std::string_view> fields;
    if (line.find('\t') != std::string_view::npos) {
        std::size_t start = 0;
        for (;;) {
            std::size_t at = line.find('\t', start);
            fields.push_back(line.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
            if (at == std::string_view::npos) break;
            start = at + 1;
        }
        return fields;
    }
    auto isSep = [](char c) { return c == ' ' || c == ','; };
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isSep(line[i])) ++i;
        if (i == line.size()) break;
        std::size_t start = i;
        std::size_t end = std::string_view::npos;
        if (line[i] == '"') {
            // A quoted name runs to the quote that ends a field.
            for (std::size_t q = line.find('"', i + 1); q != std::string_view::npos; q = line.find('"', q + 1)) {
                if (q + 1 == line.size() || isSep(line[q + 1])) {
                    end = q + 1;
                    break;
                }
            }
        }
        if (end == std::string_view::npos) {
            end = i;
            while (end < line.size() && !isSep(line[end])) ++end;
        }
        fields.push_back(line.substr(start, end - start));
        i = end;
    }
    return fields;
}

bool IsQuoted(std::string_view t) { return t.size() >= 2 && t.front() == '"' && t.back() == '"'; }

bool ConvertsAsNumber(std::string_view t) {
    int errorPos = 0;
    ConvertExtended(t, errorPos);
    return errorPos == 0;
}

}  // namespace

std::vector<std::string_view> SplitDataLine(std::string_view line) {
    std::vector<std::string_view> out;
    SplitDataLineInto(line, out);
    return out;
}

std::vector<std::string> SplitNamesLine(std::string_view line) {
    std::vector<std::string> names;
    auto fields = RawNameFields(line);
    names.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string_view f = fields[i];
        if (IsQuoted(f)) f = f.substr(1, f.size() - 2);
        names.push_back(f.empty() ? DefaultColumnName(static_cast<int>(i) + 1) : std::string(f));
    }
    return names;
}

bool IsNamesLine(std::string_view line) {
    if (line.empty() || !ContainsNonNumericChar(line)) return false;
    auto fields = RawNameFields(line);
    if (fields.empty()) return false;
    for (auto f : fields)
        if (!f.empty() && ConvertsAsNumber(f)) return false;
    return true;
}

int DescriptionLineRow(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon > 6) return 0;
    std::string key;
    for (std::size_t i = 0; i <= colon; ++i) key.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(line[i]))));
    if (key == "TITLE:") return 1;
    if (key == "USL:") return 2;
    if (key == "TARGET:") return 3;
    if (key == "LSL:") return 4;
    return 0;
}

// ============================================================================
// File state
// ============================================================================

std::string DataWindowCaption(const WorksheetState& ws) {
    std::string caption = ws.DataFilename.empty() ? "Data" : "Data - " + ws.DataFilename;
    if (ws.FileModified) caption += "  (modified)";
    return caption;
}

void SetFileModified(WorksheetState& ws, bool modified) { ws.FileModified = modified; }

namespace {

// Everything a new worksheet resets besides the cells and their numeric view.
void ResetSheetState(Session& s) {
    ResetModificationsForNewWorksheet(s);
    s.WantVarNames = false;
    s.WantDescriptions = false;
    s.DataFilename.clear();
    s.TruncatedFileColumns = 0;
    s.LineCount = 0;
    s.DataDirty = false;
    s.VariablesChanged = true;
    s.DataChanged = true;
    s.FileModified = false;
}

void ResetToEmptyWorksheet(Session& s) {
    ResetDataList(s);
    s.worksheet.Clear();
    ResetSheetState(s);
}

}  // namespace

bool NewWorksheet(Session& s, const SaveAsFn& saveAs) {
    if (!MayDiscardWorksheet(s, s.FileModified, saveAs)) return false;
    ResetToEmptyWorksheet(s);
    ++s.NewWorksheetCount;
    return true;
}

// ============================================================================
// Reading
// ============================================================================

namespace {

// Lines of a file read in large blocks; LF, CR LF and a lone CR all end a line.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : f_(f), buf_(1 << 20) {}

    // False at the end of the file or on a read error (see failed()).
    bool Next(std::string_view& line) {
        for (;;) {
            std::size_t end = FindLineEnd();
            if (end != std::string_view::npos) {
                char c = buf_[end];
                if (c == '\r' && end + 1 == len_ && !eof_) {
                    // Is the CR followed by an LF? Read on before deciding.
                    if (!Refill()) return false;
                    continue;
                }
                line = std::string_view(buf_.data() + pos_, end - pos_);
                std::size_t next = end + 1;
                if (c == '\r' && next < len_ && buf_[next] == '\n') ++next;
                consumed_ += next - pos_;
                pos_ = next;
                return true;
            }
            if (eof_) {
                if (pos_ == len_) return false;
                line = std::string_view(buf_.data() + pos_, len_ - pos_);
                consumed_ += len_ - pos_;
                pos_ = len_;
                return true;
            }
            if (!Refill()) return false;
        }
    }
    bool failed() const { return failed_; }
    std::uint64_t consumed() const { return consumed_; }

private:
    std::size_t FindLineEnd() {
        // The next LF and CR are remembered so that a file of CR-only lines
        // is scanned once, not once per line.
        if (nextLf_ < pos_ || nextLf_ == kUnknown) nextLf_ = Find('\n');
        if (nextCr_ < pos_ || nextCr_ == kUnknown) nextCr_ = Find('\r');
        std::size_t end = std::min(nextLf_, nextCr_);
        return end == len_ ? std::string_view::npos : end;
    }
    std::size_t Find(char c) {
        const void* p = std::memchr(buf_.data() + pos_, c, len_ - pos_);
        return p ? static_cast<std::size_t>(static_cast<const char*>(p) - buf_.data()) : len_;
    }
    bool Refill() {
        if (pos_ > 0) {
            std::memmove(buf_.data(), buf_.data() + pos_, len_ - pos_);
            len_ -= pos_;
            pos_ = 0;
        }
        if (len_ == buf_.size()) buf_.resize(buf_.size() * 2);  // a line longer than the block
        std::size_t got = std::fread(buf_.data() + len_, 1, buf_.size() - len_, f_);
        len_ += got;
        if (got == 0 || len_ < buf_.size()) {
            if (std::ferror(f_)) {
                failed_ = true;
                return false;
            }
            if (std::feof(f_)) eof_ = true;
        }
        nextLf_ = nextCr_ = kUnknown;
        return true;
    }

    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::FILE* f_;
    std::vector<char> buf_;
    std::size_t pos_ = 0, len_ = 0;
    std::size_t nextLf_ = kUnknown, nextCr_ = kUnknown;
    bool eof_ = false, failed_ = false;
    std::uint64_t consumed_ = 0;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

enum class ReadOutcome { Done, NotUtf8, ReadError };

// What one pass over a file produces; it becomes the session's worksheet only
// when the whole file was read.
struct LoadedSheet {
    Worksheet ws;
    int lineCount = 0;
    bool names = false;
    bool descriptions = false;
    bool truncated = false;
    int widest = 0;  // the most values a line held
};

// Bytes in a UTF-8 sequence that starts with `lead` (1 for a stray byte).
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    return 1;
}

// The separator of a data line as SplitDataLine chooses it: tab, comma, or
// 0 for runs of blanks.
char DataLineSeparator(std::string_view line) {
    if (line.find('\t') != std::string_view::npos) return '\t';
    if (line.find(',') != std::string_view::npos) return ',';
    return 0;
}

// The values of a description line after its keyword. A line with a tab
// (the writer's form, a tab right after the colon) is split at tabs and its
// values kept as they are; otherwise it is split at the file's separator and
// each value trimmed.
void SplitDescriptionValues(std::string_view rest, bool lineHasTab, char fileSeparator,
                            std::vector<std::string_view>& out) {
    out.clear();
    if (lineHasTab || fileSeparator == '\t') {
        std::size_t start = 0;
        for (;;) {
            std::size_t at = rest.find('\t', start);
            out.push_back(rest.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
            if (at == std::string_view::npos) break;
            start = at + 1;
        }
        return;
    }
    if (fileSeparator == ',') {
        std::size_t start = 0;
        for (;;) {
            std::size_t at = rest.find(',', start);
            out.push_back(TrimCell(rest.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start)));
            if (at == std::string_view::npos) break;
            start = at + 1;
        }
        return;
    }
    SplitDataLineInto(rest, out);
    if (out.empty()) out.push_back({});
}

// One pass over the file in one encoding.
ReadOutcome ReadLines(LoadedSheet& out, std::FILE* f, bool utf8, std::uint64_t fileSize, const LoadProgress& progress) {
    Worksheet& ws = out.ws;
    ws.BeginLoad(1);
    out.lineCount = 0;
    out.names = false;
    out.descriptions = false;
    out.truncated = false;
    // Description lines keep their text until the file's separator is known.
    std::array<std::string, 4> descriptionText;
    std::array<bool, 4> descriptionSeen{};
    std::array<bool, 4> descriptionTab{};

    LineReader reader(f);
    std::string_view raw;
    std::string converted;
    std::vector<std::string_view> cells;
    bool firstLine = true;
    bool namesPossible = true;  // no line has yet been a names or data line
    char fileSeparator = 0;
    bool separatorKnown = false;
    int lastPercent = -1;
    bool reserved = false;
    if (progress) {
        progress(0);
        lastPercent = 0;
    }
    while (reader.Next(raw)) {
        std::string_view line = raw;
        if (firstLine && line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        firstLine = false;
        if (utf8) {
            if (!IsValidUtf8(line)) return ReadOutcome::NotUtf8;
        } else {
            converted.clear();
            AppendCp1252AsUtf8(line, converted);
            line = converted;
        }
        if (progress && fileSize > 0) {
            int percent = static_cast<int>(std::min<std::uint64_t>(100, reader.consumed() * 100 / fileSize));
            if (percent != lastPercent) {
                progress(percent);
                lastPercent = percent;
            }
        }

        if (!line.empty() && line[0] == '*') line = {};
        if (!line.empty() && line.find(':') != std::string_view::npos) {
            if (int d = DescriptionLineRow(line)) {
                // The character after the colon is a separator and is
                // skipped whole, never a part of one.
                std::string_view rest = line.substr(line.find(':') + 1);
                if (!rest.empty())
                    rest.remove_prefix(std::min(rest.size(), Utf8SequenceLength(static_cast<unsigned char>(rest[0]))));
                descriptionText[d - 1].assign(rest);
                descriptionSeen[d - 1] = true;
                descriptionTab[d - 1] = line.find('\t') != std::string_view::npos;
                out.descriptions = true;
                line = {};
            }
        }
        if (line.empty()) continue;
        if (!separatorKnown) {
            fileSeparator = DataLineSeparator(line);
            separatorKnown = true;
        }
        if (namesPossible) {
            namesPossible = false;
            if (IsNamesLine(line)) {
                auto names = SplitNamesLine(line);
                out.widest = std::max(out.widest, static_cast<int>(names.size()));
                if (static_cast<int>(names.size()) > Worksheet::MaxColumns) {
                    names.resize(Worksheet::MaxColumns);
                    out.truncated = true;
                }
                out.names = true;
                ws.BeginLoad(static_cast<int>(names.size()));
                for (std::size_t i = 0; i < names.size(); ++i) ws.SetColumnName(static_cast<int>(i) + 1, names[i]);
                continue;
            }
        }
        SplitDataLineInto(line, cells);
        out.widest = std::max(out.widest, static_cast<int>(cells.size()));
        if (!ws.AppendRow(cells.data(), static_cast<int>(cells.size()))) out.truncated = true;
        ++out.lineCount;
        if (!reserved && reader.consumed() >= (1u << 20) && fileSize > reader.consumed()) {
            // Size the columns for the whole file from the first megabyte.
            double rowsPerByte = static_cast<double>(ws.RowCount()) / static_cast<double>(reader.consumed());
            ws.ReserveForLoad(static_cast<std::size_t>(rowsPerByte * static_cast<double>(fileSize) * 1.02) + 16);
            reserved = true;
        }
    }
    if (reader.failed()) return ReadOutcome::ReadError;
    ws.EndLoad();
    std::vector<std::string_view> values;
    for (int d = 0; d < 4; ++d) {
        if (!descriptionSeen[d]) continue;
        SplitDescriptionValues(descriptionText[d], descriptionTab[d], fileSeparator, values);
        out.widest = std::max(out.widest, static_cast<int>(values.size()));
        if (static_cast<int>(values.size()) > Worksheet::MaxColumns) out.truncated = true;
        for (std::size_t i = 0; i < values.size() && static_cast<int>(i) < ws.ColumnCount(); ++i)
            ws.SetDescription(d + 1, static_cast<int>(i) + 1, values[i]);
    }
    if (progress && lastPercent != 100) progress(100);
    return ReadOutcome::Done;
}

// A file that is no text: a NUL byte in its first 64 KiB, or more than a few
// control characters there that no text file holds.
bool LooksBinary(std::FILE* f) {
    std::vector<char> head(64 * 1024);
    std::size_t got = std::fread(head.data(), 1, head.size(), f);
    std::rewind(f);
    std::string_view bytes(head.data(), got);
    if (bytes.find('\0') != std::string_view::npos) return true;
    // Line breaks, tabs, form feeds and the old end-of-file mark are text;
    // any other C0 control or DEL is not. (The C1 range is left alone: it is
    // valid text in both encodings.)
    int controls = 0;
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        bool control = (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A) || b == 0x7F;
        if (control && ++controls > 8) return true;
    }
    return false;
}

}  // namespace

bool FileToDataGrid(Session& s, const std::string& fileName, const LoadProgress& progress, const SaveAsFn& saveAs) {
    if (IsWorkbookFile(fileName)) return WorkbookToDataGrid(s, fileName, {}, progress, saveAs);
    if (!MayDiscardWorksheet(s, s.FileModified, saveAs)) return false;

    std::error_code ec;
    auto status = std::filesystem::status(fileName, ec);
    std::uint64_t fileSize = 0;
    if (!ec && std::filesystem::is_regular_file(status)) fileSize = std::filesystem::file_size(fileName, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
        ResetToEmptyWorksheet(s);
        ++s.NewWorksheetCount;
        s.messages->Error(FileErrorMeasureText);
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(fileName.c_str(), "rb"));
    if (!f) {
        ResetToEmptyWorksheet(s);
        ++s.NewWorksheetCount;
        s.messages->Error(FileErrorText);
        return false;
    }

    // The file is read aside; a file that is no worksheet, or one too large
    // for the memory left, leaves the worksheet as it was.
    std::unique_ptr<LoadedSheet> loaded;
    ReadOutcome outcome = ReadOutcome::ReadError;
    bool refused = false;
    try {
        if (LooksBinary(f.get())) {
            refused = true;
        } else {
            loaded = std::make_unique<LoadedSheet>();
            outcome = ReadLines(*loaded, f.get(), true, fileSize, progress);
            if (outcome == ReadOutcome::NotUtf8) {
                // Not UTF-8 after all: the whole file is Windows-1252.
                std::rewind(f.get());
                outcome = ReadLines(*loaded, f.get(), false, fileSize, progress);
            }
        }
    } catch (const std::bad_alloc&) {
        refused = true;
    }
    f.reset();
    if (refused) {
        loaded.reset();
        s.messages->Error(FileErrorText);
        return false;
    }
    if (outcome == ReadOutcome::ReadError) {
        loaded.reset();
        ResetToEmptyWorksheet(s);
        ++s.NewWorksheetCount;
        s.messages->Error(FileErrorText);
        return false;
    }

    // Swap the new sheet in; should its numeric view not fit in memory, the
    // old sheet comes back.
    Worksheet previous = std::move(s.worksheet);
    TDataList previousList = std::move(s.DataList);
    ResetDataList(s);
    s.worksheet = std::move(loaded->ws);
    s.worksheet.MoveRevisionPast(previous.Revision());
    try {
        UpdateData(s);
    } catch (const std::bad_alloc&) {
        s.worksheet = std::move(previous);
        s.DataList = std::move(previousList);
        loaded.reset();
        s.messages->Error(FileErrorText);
        return false;
    }
    ResetSheetState(s);
    ++s.NewWorksheetCount;
    s.LineCount = loaded->lineCount;
    s.WantVarNames = loaded->names;
    s.WantDescriptions = loaded->descriptions;
    if (loaded->truncated) s.messages->Warning(ColumnsTruncatedText);
    s.DataFilename = fileName;
    // Saving over this file would drop the columns that were cut.
    s.TruncatedFileColumns = loaded->truncated ? std::max(loaded->widest, Worksheet::MaxColumns + 1) : 0;
    s.FileModified = false;
    s.DataChanged = true;
    s.BlankCommaQuestionPending = true;
    return true;
}

// ============================================================================
// Writing
// ============================================================================

namespace {

// Appends a cell or name with the characters a line cannot hold (tab, CR,
// LF) turned into blanks.
void AppendSanitised(std::string& out, std::string_view text) {
    std::size_t start = out.size();
    out.append(text);
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

// A text that, written first in a file, would begin with the bytes of a
// byte-order mark the reader drops: U+FEFF itself, or "ï»¿" whose
// Windows-1252 bytes are the same.
bool LooksLikeByteOrderMark(std::string_view t) {
    return t.substr(0, 3) == "\xEF\xBB\xBF" || t.substr(0, 6) == "\xC3\xAF\xC2\xBB\xC2\xBF";
}

bool HasSeparatorChar(std::string_view t) { return t.find_first_of(" ,") != std::string_view::npos; }

class FileTextWriter {
public:
    using Sink = std::function<bool(std::string_view)>;

    FileTextWriter(const Worksheet& ws, bool namesWanted, bool selectionOnly, bool descriptionsWanted,
                   const CellBlock& selection)
        : ws_(ws), names_(namesWanted), selection_(selectionOnly), descriptions_(descriptionsWanted) {
        if (selectionOnly) {
            block_.left = std::clamp(std::min(selection.left, selection.right), 1, ws.ColumnCount());
            block_.right = std::clamp(std::max(selection.left, selection.right), 1, ws.ColumnCount());
            block_.top = std::clamp(std::min(selection.top, selection.bottom), 1, ws.RowCount());
            block_.bottom = std::clamp(std::max(selection.top, selection.bottom), 1, ws.RowCount());
        } else {
            block_ = {1, 1, ws.ColumnCount(), ws.RowCount()};
        }
        width_ = block_.right - block_.left + 1;
    }

    bool Write(const Sink& sink) {
        ChooseEncoding();
        out_.clear();
        out_.reserve(1 << 20);
        if (bom_) out_.append("\xEF\xBB\xBF");

        std::vector<std::string> descLines;
        if (descriptions_ && !selection_) {
            for (int d = 1; d <= 4; ++d) {
                bool any = false;
                for (int c = 1; c <= ws_.ColumnCount() && !any; ++c) any = !ws_.Description(d, c).empty();
                if (!any) continue;
                std::string line = DescriptionHeader(d);
                for (int c = 1; c <= ws_.ColumnCount(); ++c) {
                    line.push_back('\t');
                    AppendSanitised(line, ws_.Description(d, c));
                }
                descLines.push_back(std::move(line));
            }
        }

        // The last column would shrink away on reading when none of its
        // cells is filled, unless a names line or one extra tab keeps it.
        lastColumnEmpty_ = width_ >= 2;
        for (int r = block_.top; r <= block_.bottom && lastColumnEmpty_; ++r)
            if (!ws_.CellEmpty(block_.right, r)) lastColumnEmpty_ = false;

        bool writeNames = names_ && ws_.HasModifiedColumnNames();
        std::string first;
        ComposeRow(block_.top, first, !writeNames);
        // A first data line that would read as names needs a names line above it.
        if (!writeNames && IsNamesLine(first)) writeNames = true;
        if (writeNames) {
            Emit(NamesLine());
            ComposeRow(block_.top, first, false);
        }
        for (const auto& l : descLines) Emit(l);
        Emit(first);
        std::string line;
        for (int r = block_.top + 1; r <= block_.bottom; ++r) {
            ComposeRow(r, line, false);
            Emit(line);
            if (out_.size() >= (1 << 20)) {
                if (!sink(out_)) return false;
                out_.clear();
            }
        }
        return out_.empty() || sink(out_);
    }

private:
    // Windows-1252 when every character fits, unless those bytes would read
    // back as UTF-8 ("Â°C" is "°C" in UTF-8): then UTF-8 with a byte-order mark.
    void ChooseEncoding() {
        cp1252_ = true;
        bom_ = false;
        bool nonAscii = false, readsAsUtf8 = true;
        std::string scratch;
        auto check = [&](std::string_view text) {
            if (!cp1252_) return;
            if (!FitsCp1252(text)) {
                cp1252_ = false;
                return;
            }
            if (!readsAsUtf8 && nonAscii) return;
            scratch.clear();
            AppendUtf8AsCp1252(text, scratch);
            if (scratch == text) return;  // all ASCII
            nonAscii = true;
            if (!IsValidUtf8(scratch)) readsAsUtf8 = false;
        };
        for (int c = block_.left; c <= block_.right && cp1252_; ++c) {
            check(ws_.ColumnName(c));
            for (int r = block_.top; r <= block_.bottom && cp1252_; ++r) check(ws_.CellView(c, r));
        }
        if (descriptions_ && !selection_)
            for (int c = 1; c <= ws_.ColumnCount() && cp1252_; ++c)
                for (int d = 1; d <= 4; ++d) check(ws_.Description(d, c));
        if (cp1252_ && nonAscii && readsAsUtf8) {
            cp1252_ = false;
            bom_ = true;
        }
    }

    void Emit(std::string_view line) {
        if (cp1252_)
            AppendUtf8AsCp1252(line, out_);
        else
            out_.append(line);
        out_.append("\r\n");
    }

    void ComposeRow(int r, std::string& line, bool keepLastColumn) {
        line.clear();
        for (int c = block_.left; c <= block_.right; ++c) {
            if (c > block_.left) line.push_back('\t');
            std::string_view cell = ws_.CellView(c, r);
            // A first cell the reader would take for a comment or a
            // description keyword gets a blank in front, which it trims.
            if (c == block_.left && !cell.empty() &&
                (cell.front() == '*' || DescriptionLineRow(cell) != 0 || LooksLikeByteOrderMark(cell)))
                line.push_back(' ');
            AppendSanitised(line, cell);
        }
        if (width_ == 1) {
            // A lone cell that is empty or holds a comma or a blank is only
            // read as one cell from a line with a tab.
            std::string_view only(line);
            if (only.empty() || HasSeparatorChar(only)) line.push_back('\t');
        } else if (keepLastColumn && lastColumnEmpty_) {
            line.push_back('\t');
        }
    }

    std::string NamesLine() const {
        std::vector<std::string> names;
        for (int c = block_.left; c <= block_.right; ++c) {
            int k = c - block_.left + 1;
            std::string name;
            if (names_) AppendSanitised(name, ws_.ColumnName(c));
            // An empty name reads back as "Col" + its position anyway.
            if (name.empty()) name = DefaultColumnName(k);
            names.push_back(std::move(name));
        }
        // Quote the names the reader would take for numbers, comments,
        // description keywords or several names, and check the line reads back.
        std::string line;
        for (int attempt = 0; attempt < 2; ++attempt) {
            line.clear();
            for (std::size_t i = 0; i < names.size(); ++i) {
                const std::string& n = names[i];
                bool quote = attempt == 1 || ConvertsAsNumber(n) || IsQuoted(n) ||
                             (i == 0 && (n.front() == '*' || DescriptionLineRow(n) != 0 || LooksLikeByteOrderMark(n))) ||
                             (names.size() == 1 && HasSeparatorChar(n));
                if (i > 0) line.push_back('\t');
                if (quote) line.push_back('"');
                line += n;
                if (quote) line.push_back('"');
            }
            if (IsNamesLine(line) && SplitNamesLine(line) == names) break;
        }
        return line;
    }

    const Worksheet& ws_;
    bool names_, selection_, descriptions_;
    CellBlock block_;
    int width_ = 1;
    bool cp1252_ = true;
    bool bom_ = false;
    bool lastColumnEmpty_ = false;
    std::string out_;
};

}  // namespace

std::string WorksheetFileText(const Worksheet& ws, bool namesWanted, bool selectionOnly, bool descriptionsWanted,
                              const CellBlock& selection) {
    FileTextWriter writer(ws, namesWanted, selectionOnly, descriptionsWanted, selection);
    std::string text;
    writer.Write([&text](std::string_view chunk) {
        text.append(chunk);
        return true;
    });
    return text;
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

bool SaveFile(Session& s, const std::string& fileName, bool namesWanted, bool selectionOnly,
              bool descriptionsWanted, const CellBlock& selection) {
    bool written = false;
    if (IsWorkbookName(fileName)) {
        std::string why;
        written = WriteWorkbook(s.worksheet, fileName, namesWanted, selectionOnly, descriptionsWanted, selection, why);
        if (!written && why == XlsxCellTooLongText) {
            s.messages->Error(why);
            return false;
        }
    } else {
        FileTextWriter writer(s.worksheet, namesWanted, selectionOnly, descriptionsWanted, selection);
        auto produce = [&writer](const ChunkSink& sink) { return writer.Write(sink); };
        written = SafeWriteFile(fileName, produce) == SafeWriteResult::Written;
    }
    if (!written) {
        s.messages->Error(ErrorWritingFileText);
        return false;
    }
    if (!selectionOnly) {
        s.DataFilename = fileName;
        s.FileModified = false;
        s.WantVarNames = namesWanted;
        s.TruncatedFileColumns = 0;  // the file now holds the whole worksheet
    } else if (SameFile(fileName, s.DataFilename)) {
        // The worksheet's own file now holds only the block: the rest of the
        // worksheet is unsaved.
        s.FileModified = true;
    }
    return true;
}

std::string TruncatedSaveQuestion(const WorksheetState& ws) {
    return ws.DataFilename + " has " + std::to_string(ws.TruncatedFileColumns) +
           " columns, but only the first " + std::to_string(Worksheet::MaxColumns) +
           " were read. Saving over it loses columns " + std::to_string(Worksheet::MaxColumns + 1) + " to " +
           std::to_string(ws.TruncatedFileColumns) + ".  Save over it anyway?";
}

bool SaveWorksheet(Session& s, const SaveAsFn& saveAs) {
    bool saved = false;
    if (s.DataFilename.empty()) {
        saved = saveAs && saveAs();
    } else if (s.TruncatedFileColumns > 0) {
        switch (s.messages->Ask(TruncatedSaveQuestion(s), QuestionButtons::YesNoCancel)) {
        case Answer::Yes: saved = SaveFile(s, s.DataFilename, true, false, true); break;
        case Answer::No: saved = saveAs && saveAs(); break;
        default: return false;
        }
    } else {
        saved = SaveFile(s, s.DataFilename, true, false, true);
    }
    if (s.DataChanged) {
        ++s.DataVersion;
        s.DataChanged = false;
    }
    return saved;
}

SaveChoices ConfigureSaveChoices(const Worksheet& ws, long long selectedCells) {
    SaveChoices c;
    c.selectionOnly = selectedCells > 1;
    c.variableNames = ws.HasModifiedColumnNames();
    c.descriptions = ws.HasDescriptions();
    return c;
}

}  // namespace amx
