#pragma once
// Process-wide values of the shell's toolbox: the status code every conversion
// and engine routine leaves behind, the report number format, and the
// messages, settings and launcher services. One lives in each Session.
#include <string>

#include "common/Launcher.h"
#include "common/Messages.h"
#include "common/SettingsStore.h"

namespace amx {

enum class NumberFormatKind { WithCommas, WithoutCommas };

struct CommonState {
    // 0 = the last operation succeeded. Callers test it right after the call.
    int StatErrorCode = 0;

    NumberFormatKind numberFormat = NumberFormatKind::WithCommas;
    std::string UserChartTitle;
    bool BlankCommaQuestionPending = true;
    bool BlankCommasAreMissing = false;
    std::string WorkString;

    // Never null: a session starts with silent messages and an in-memory store;
    // the desktop and the command-line tool plug in their own.
    Messages* messages = &silentMessages_;
    SettingsStore* settings = &memorySettings_;
    Launcher* launcher = &nullLauncher_;

    CommonState() = default;
    CommonState(const CommonState&) = delete;
    CommonState& operator=(const CommonState&) = delete;

private:
    SilentMessages silentMessages_;
    MemorySettingsStore memorySettings_;
    NullLauncher nullLauncher_;
};

}  // namespace amx
