#include "shell/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace amx {

std::string CommandLineFile(const std::vector<std::string>& args, const TMRUFiles& mru) {
    std::string joined;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) joined += ' ';
        joined += args[i];
    }
    joined.erase(std::remove(joined.begin(), joined.end(), '"'), joined.end());
    const auto first = joined.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    joined = joined.substr(first, joined.find_last_not_of(' ') - first + 1);

    std::string upper = joined;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper == "@LAST") return mru.MostRecent();
    return joined;
}

}  // namespace amx
