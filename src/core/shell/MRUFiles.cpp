#include "shell/MRUFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace amx {

bool TMRUFiles::ReadList(CommonState& cs) {
    SettingsStore& store = *cs.settings;
    if (!store.OpenKey(KeyStr, true)) {
        cs.StatErrorCode = 1;
        Flist.fill(std::string());
        return false;
    }
    for (int i = 0; i < Size; ++i) {
        const std::string name = "File" + std::to_string(i + 1);
        auto v = store.ReadString(KeyStr, name);
        if (!v) {
            store.WriteString(KeyStr, name, "");
            v = std::string();
        }
        Flist[i] = *v;
    }
    cs.StatErrorCode = 0;
    return true;
}

void TMRUFiles::UpdateList(CommonState& cs, const std::string& fileName) {
    if (fileName.empty()) return;
    // Read afresh under the store's lock: another copy may have changed the
    // list since this one last read it.
    const std::shared_ptr<void> lock = cs.settings->LockForUpdate();
    if (!ReadList(cs)) return;
    if (Flist[0] == fileName) return;
    int p = 0;  // last position among 2..8 (1-based) holding the name
    for (int i = 1; i < Size - 1; ++i)
        if (Flist[i] == fileName) p = i;
    const int last = p > 0 ? p : Size - 1;
    for (int i = last; i > 0; --i) Flist[i] = Flist[i - 1];
    Flist[0] = fileName;
    for (int i = 0; i < Size; ++i)
        cs.settings->WriteString(KeyStr, "File" + std::to_string(i + 1), Flist[i]);
}

std::string TMRUFiles::LastPath() const {
    if (Flist[0].empty()) return {};
    return std::filesystem::path(Flist[0]).parent_path().string();
}

void TMRUFiles::ClearFileInfo() { Flist.fill(std::string()); }

RecentFileAction CheckRecentFile(CommonState& cs, const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        cs.messages->Error("File Not Found!\n\n" + path);
        return RecentFileAction::Ignore;
    }
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::toupper(c); });
    if (ext == ".PER") {
        cs.messages->Beep();
        return RecentFileAction::Ignore;
    }
    return RecentFileAction::Load;
}

std::string RecentFileCaption(int i, const std::string& path) {
    std::string out = "&" + std::to_string(i) + "  ";
    for (char c : path) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

}  // namespace amx
