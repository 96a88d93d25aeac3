#pragma once
// Web addresses through the desktop's default handlers; the help file is the
// manual built into the program, shown in its own help browser.
#include "common/Launcher.h"

namespace amx::gui {

class QtLauncher : public Launcher {
public:
    bool OpenAddress(const std::string& address) override;
    bool FileExists(const std::string& path) override;
    bool OpenHelpFile(const std::string& path, int topic) override;
};

}  // namespace amx::gui
