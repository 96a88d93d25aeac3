#pragma once
// The recent-files list: the last nine data files opened or saved, kept in the
// settings store so every running copy of the program and the next start see
// the same list.
#include <array>
#include <string>

#include "common/CommonState.h"

namespace amx {

class TMRUFiles {
public:
    static constexpr int Size = 9;

    std::string KeyStr;
    unsigned char nfiles = 0;  // kept for layout; no operation uses it
    // Flist[0] is the most recent file ("File1"); an empty entry means no file.
    std::array<std::string, Size> Flist;

    // Re-reads "File1".."File9" (creating missing values empty). Returns false,
    // leaving the list empty, when the key cannot be opened.
    bool ReadList(CommonState& cs);
    // Puts a file at the top after a load or a save. Paths are compared
    // exactly: file names on Linux are case-sensitive.
    void UpdateList(CommonState& cs, const std::string& fileName);
    // The folder of the most recent file, or empty.
    std::string LastPath() const;
    const std::string& MostRecent() const { return Flist[0]; }
    void ClearFileInfo();
};

// What choosing a recent-file item should do.
enum class RecentFileAction { Load, Ignore };

// Checks a chosen recent file: a missing file gives "File Not Found!" with
// the path, a ".per" file only beeps.
RecentFileAction CheckRecentFile(CommonState& cs, const std::string& path);

// The caption of recent-file item i (1-based): "&" + i + two spaces + path.
// Ampersands in the path are doubled so the menu shows them as typed.
std::string RecentFileCaption(int i, const std::string& path);

}  // namespace amx
