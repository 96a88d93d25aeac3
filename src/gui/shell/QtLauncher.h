#pragma once
// Web addresses and the help file through the desktop's default handlers.
#include "common/Launcher.h"

namespace amx::gui {

class QtLauncher : public Launcher {
public:
    bool OpenAddress(const std::string& address) override;
    bool FileExists(const std::string& path) override;
    bool OpenHelpFile(const std::string& path, int topic) override;
};

}  // namespace amx::gui
