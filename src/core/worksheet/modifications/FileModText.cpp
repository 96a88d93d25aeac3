#include "worksheet/modifications/FileModText.h"

#include <string>
#include <vector>

#include "session/Session.h"
#include "worksheet/modifications/Transform.h"

namespace amx {

bool GetFileModString(Session& s) {
    std::vector<std::string> lines;
    if (s.Missing.Active) {
        if (!s.MissingText1.empty()) lines.push_back("Missing When: " + s.MissingText1);
        if (!s.MissingText2.empty()) lines.push_back("Missing When: " + s.MissingText2);
    }
    if (s.ProcessIf.Active) {
        const bool both = !s.ProcessIfText1.empty() && !s.ProcessIfText2.empty();
        if (!s.ProcessIfText1.empty())
            lines.push_back("Process If: " + s.ProcessIfText1 + (both ? (s.ProcessIf.AndOr == 1 ? " or" : " and") : ""));
        if (!s.ProcessIfText2.empty()) lines.push_back("Process If: " + s.ProcessIfText2);
    }
    if (s.Transform.no != TransformKind::None) lines.push_back("Transform: " + TransformText(s.Transform));

    s.FileModString.clear();
    s.FileModStringTab.clear();
    s.FileModStringLine.clear();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            s.FileModString = s.FileModStringTab = s.FileModStringLine = lines[0];
            continue;
        }
        // CR LF: the report document ends a line there, and so does a saved text.
        s.FileModString += "\r\n" + lines[i];
        s.FileModStringTab += "\r\n\t" + lines[i];
        s.FileModStringLine += "  " + lines[i];
    }
    return !lines.empty();
}

}  // namespace amx
