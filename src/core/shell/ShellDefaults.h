#pragma once
// The process-wide texts the shell sets before the main window exists.
#include <string>

#include "common/Settings.h"

namespace amx {

inline const std::string AppProductName = "Ambrolux";
inline const std::string MakerName = "Helmridge";
inline const std::string MRUKey = "\\Software\\Helmridge\\Ambrolux\\MRU Files";
inline const std::string BuildId = "20120906";
inline const std::string AppHelpFile = "Ambrolux.hlp";

// The maker's pages. A help address, when set, gets the help topic (or
// "contents") appended directly; it is empty so that help opens the manual
// bundled with the program, which needs no network and always exists.
inline const std::string MakerHomePage = "https://www.helmridge.example/";
inline const std::string HelpBaseAddress = "";

// The update-check page: product letter and six characters of the build id
// from its third on ("120906" for build "20120906").
inline std::string UpdateCheckAddress() {
    return "https://www.helmridge.example/update/updatecheck.php?p=A&rev=" + BuildId.substr(2, 6);
}

// The name the main window passes when it shows another window on its behalf.
inline const std::string MainFormName = "Main Form";

}  // namespace amx
