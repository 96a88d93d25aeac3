#include "ArgumentText.h"

#include <cctype>

#include "session/Session.h"
#include "worksheet/DataList.h"

namespace amx::cli {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::string cur;
    for (char c : text + ",") {
        if (c != ',') {
            cur += c;
            continue;
        }
        while (!cur.empty() && cur.front() == ' ') cur.erase(cur.begin());
        while (!cur.empty() && cur.back() == ' ') cur.pop_back();
        if (!cur.empty()) items.push_back(cur);
        cur.clear();
    }
    return items;
}

int FindColumn(const Session& s, const std::string& text) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 4) {
        const int c = std::stoi(text);
        return c >= 1 && c <= MaxCol(s) ? c : 0;
    }
    for (int c = 1; c <= MaxCol(s); ++c)
        if (Lower(ColumnName(s, c)) == Lower(text)) return c;
    return 0;
}

}  // namespace amx::cli
