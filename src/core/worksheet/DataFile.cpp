#include "worksheet/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "common/NumberText.h"
#include "common/TextUtils.h"
#include "session/Session.h"
#include "worksheet/DataList.h"
#include "worksheet/FileModificationHooks.h"
#include "worksheet/TextEncoding.h"

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

void ResetToEmptyWorksheet(Session& s) {
    ResetDataList(s);
    s.worksheet.Clear();
    ResetModificationsForNewWorksheet(s);
    s.WantVarNames = false;
    s.WantDescriptions = false;
    s.DataFilename.clear();
    s.LineCount = 0;
    s.DataDirty = false;
    s.VariablesChanged = true;
    s.DataChanged = true;
    s.FileModified = false;
}

}  // namespace

bool NewWorksheet(Session& s, const SaveAsFn& saveAs) {
    s.StatErrorCode = 0;
    if (s.FileModified) {
        Answer a = s.messages->Ask(FileNotSavedText, QuestionButtons::YesNoCancel);
        // Dropping the sheet is only safe once it really was saved.
        if (a == Answer::Yes && !(saveAs && saveAs())) a = Answer::Cancel;
        if (a == Answer::Cancel) {
            s.StatErrorCode = 1;
            return false;
        }
    }
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

// One pass over the file in one encoding.
ReadOutcome ReadLines(Session& s, std::FILE* f, bool utf8, std::uint64_t fileSize, const LoadProgress& progress,
                      bool& truncated) {
    Worksheet& ws = s.worksheet;
    ws.BeginLoad(1);
    s.LineCount = 0;
    s.WantVarNames = false;
    s.WantDescriptions = false;
    truncated = false;
    std::array<std::vector<std::string>, 4> descriptions;

    LineReader reader(f);
    std::string_view raw;
    std::string converted;
    std::vector<std::string_view> cells;
    int lineNumber = 0;
    int lastPercent = -1;
    bool reserved = false;
    if (progress) {
        progress(0);
        lastPercent = 0;
    }
    while (reader.Next(raw)) {
        std::string_view line = raw;
        if (lineNumber == 0 && line.size() >= 3 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
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
        ++lineNumber;
        if (!line.empty() && line.find(':') != std::string_view::npos) {
            if (int d = DescriptionLineRow(line)) {
                std::size_t colon = line.find(':');
                // The character after the colon is a separator and is skipped.
                std::string_view rest = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string_view();
                auto& row = descriptions[d - 1];
                int i = 0;
                std::size_t start = 0;
                for (;;) {
                    std::size_t at = rest.find('\t', start);
                    std::string_view value =
                        rest.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
                    if (i >= Worksheet::MaxColumns) {
                        truncated = true;
                        break;
                    }
                    if (static_cast<int>(row.size()) <= i) row.resize(i + 1);
                    row[i++].assign(value);
                    if (at == std::string_view::npos) break;
                    start = at + 1;
                }
                s.WantDescriptions = true;
                line = {};
            }
        }
        if (lineNumber == 1 && !line.empty() && IsNamesLine(line)) {
            auto names = SplitNamesLine(line);
            if (static_cast<int>(names.size()) > Worksheet::MaxColumns) {
                names.resize(Worksheet::MaxColumns);
                truncated = true;
            }
            s.WantVarNames = true;
            ws.BeginLoad(static_cast<int>(names.size()));
            for (std::size_t i = 0; i < names.size(); ++i) ws.SetColumnName(static_cast<int>(i) + 1, names[i]);
            line = {};
        }
        if (!line.empty()) {
            SplitDataLineInto(line, cells);
            if (!ws.AppendRow(cells.data(), static_cast<int>(cells.size()))) truncated = true;
            ++s.LineCount;
            if (!reserved && reader.consumed() >= (1u << 20) && fileSize > reader.consumed()) {
                // Size the columns for the whole file from the first megabyte.
                double rowsPerByte = static_cast<double>(ws.RowCount()) / static_cast<double>(reader.consumed());
                ws.ReserveForLoad(static_cast<std::size_t>(rowsPerByte * static_cast<double>(fileSize) * 1.02) + 16);
                reserved = true;
            }
        }
    }
    if (reader.failed()) return ReadOutcome::ReadError;
    ws.EndLoad();
    for (int d = 0; d < 4; ++d)
        for (std::size_t i = 0; i < descriptions[d].size(); ++i)
            if (static_cast<int>(i) < ws.ColumnCount()) ws.SetDescription(d + 1, static_cast<int>(i) + 1, descriptions[d][i]);
    if (progress && lastPercent != 100) progress(100);
    return ReadOutcome::Done;
}

}  // namespace

bool FileToDataGrid(Session& s, const std::string& fileName, const LoadProgress& progress, const SaveAsFn& saveAs) {
    if (!NewWorksheet(s, saveAs)) return false;

    std::error_code ec;
    auto status = std::filesystem::status(fileName, ec);
    std::uint64_t fileSize = 0;
    if (!ec && std::filesystem::is_regular_file(status)) fileSize = std::filesystem::file_size(fileName, ec);
    if (ec || !std::filesystem::is_regular_file(status)) {
        s.messages->Error(FileErrorMeasureText);
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(fileName.c_str(), "rb"));
    if (!f) {
        s.messages->Error(FileErrorText);
        return false;
    }

    bool truncated = false;
    ReadOutcome outcome = ReadLines(s, f.get(), true, fileSize, progress, truncated);
    if (outcome == ReadOutcome::NotUtf8) {
        // Not UTF-8 after all: the whole file is Windows-1252.
        std::rewind(f.get());
        outcome = ReadLines(s, f.get(), false, fileSize, progress, truncated);
    }
    if (outcome == ReadOutcome::ReadError) {
        ResetToEmptyWorksheet(s);
        s.messages->Error(FileErrorText);
        return false;
    }
    f.reset();

    if (truncated) s.messages->Warning(ColumnsTruncatedText);
    s.DataFilename = fileName;
    s.FileModified = false;
    UpdateData(s);
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
        cp1252_ = AllFitCp1252();
        out_.clear();
        out_.reserve(1 << 20);

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
        if (!writeNames && descLines.empty() && IsNamesLine(first)) writeNames = true;
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
    bool AllFitCp1252() const {
        for (int c = block_.left; c <= block_.right; ++c) {
            if (!FitsCp1252(ws_.ColumnName(c))) return false;
            for (int r = block_.top; r <= block_.bottom; ++r)
                if (!FitsCp1252(ws_.CellView(c, r))) return false;
        }
        if (descriptions_ && !selection_)
            for (int c = 1; c <= ws_.ColumnCount(); ++c)
                for (int d = 1; d <= 4; ++d)
                    if (!FitsCp1252(ws_.Description(d, c))) return false;
        return true;
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
            if (c == block_.left && !cell.empty() && (cell.front() == '*' || DescriptionLineRow(cell) != 0))
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
                             (i == 0 && (n.front() == '*' || DescriptionLineRow(n) != 0)) ||
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
    bool lastColumnEmpty_ = false;
    std::string out_;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Writes through a temporary file in the target's folder renamed over the
// target, so the old file survives any failure.
bool WriteFileAtomically(const std::string& fileName, FileTextWriter& writer) {
    namespace fs = std::filesystem;
    fs::path target(fileName);
    if (target.filename().empty()) return false;
    fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = writer.Write([fd](std::string_view chunk) { return WriteAll(fd, chunk); });
    // Keep the old file's permissions, or give a new one the usual ones.
    struct stat st {};
    mode_t mode;
    if (::stat(fileName.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(name.data(), fileName.c_str()) == 0;
    if (!ok) ::unlink(name.data());
    return ok;
}

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

bool SaveFile(Session& s, const std::string& fileName, bool namesWanted, bool selectionOnly,
              bool descriptionsWanted, const CellBlock& selection) {
    FileTextWriter writer(s.worksheet, namesWanted, selectionOnly, descriptionsWanted, selection);
    if (!WriteFileAtomically(fileName, writer)) {
        s.messages->Error(ErrorWritingFileText);
        return false;
    }
    if (!selectionOnly) {
        s.DataFilename = fileName;
        s.FileModified = false;
        s.WantVarNames = namesWanted;
    }
    return true;
}

bool SaveWorksheet(Session& s, const SaveAsFn& saveAs) {
    bool saved = !s.DataFilename.empty() ? SaveFile(s, s.DataFilename, true, false, true)
                                         : (saveAs && saveAs());
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
